#include "ocrindex.h"

#include "imageanalysis.h"
#include "library/library.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>
#include <sys/resource.h>
#include <unistd.h>

namespace {

double seconds(Millis ms)
{
    return double(ms) / 1000.0;
}

// The store's answer holds only while the file has the date and size it had when read.
bool answers(const OcrStore::Entry &entry, const FileItem &item)
{
    return entry.m == seconds(item.modified()) && entry.s == item.size();
}

} // namespace

const QSet<QString> &OCRIndex::skippedExtensions()
{
    static const QSet<QString> skip{QStringLiteral("svg"), QStringLiteral("psd"), QStringLiteral("ico"),
                                    QStringLiteral("gif"), QStringLiteral("raw"), QStringLiteral("cr2"),
                                    QStringLiteral("cr3"), QStringLiteral("nef"), QStringLiteral("arw"),
                                    QStringLiteral("dng")};
    return skip;
}

OCRIndex::Environment OCRIndex::Environment::fromProcess()
{
    Environment env;
    env.storePath = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                    + QStringLiteral("/Tovalo/text-in-images.json");
    env.look = &OCRIndex::look;
    env.now = [] { return QDateTime::currentMSecsSinceEpoch(); };
    env.library = &Library::shared();
    return env;
}

OCRIndex &OCRIndex::shared()
{
    static OCRIndex *instance = [] {
        auto *index = new OCRIndex(Environment::fromProcess());
        // Quitting during a pass keeps what it has read so far.
        if (QCoreApplication *app = QCoreApplication::instance())
            QObject::connect(app, &QCoreApplication::aboutToQuit, index, [index] { index->stop(); });
        return index;
    }();
    return *instance;
}

OCRIndex::OCRIndex(Environment env, QObject *parent) : QObject(parent), m_env(std::move(env))
{
    // A folder that cannot be made shows later as a store that cannot be written.
    QDir().mkpath(QFileInfo(m_env.storePath).absolutePath());
    m_thread = new QThread;
    m_thread->setObjectName(QStringLiteral("tovalo.ocr"));
    m_queue = new QObject;
    m_queue->moveToThread(m_thread);
    m_thread->start();
    // Background work: the thread gives way to anything the user is doing.
    QMetaObject::invokeMethod(m_queue, [] { ::setpriority(PRIO_PROCESS, ::gettid(), 10); }, Qt::QueuedConnection);
}

OCRIndex::~OCRIndex()
{
    stop();
}

void OCRIndex::stop()
{
    if (!m_thread)
        return;
    ++m_generation;
    wakeHeld();
    m_thread->quit();
    m_thread->wait();
    delete m_queue;
    m_queue = nullptr;
    delete m_thread;
    m_thread = nullptr;
}

void OCRIndex::start(const QList<FileItem> &items)
{
    if (!m_queue)
        return;
    const quint64 generation = ++m_generation;
    wakeHeld();
    QMetaObject::invokeMethod(
        m_queue, [this, items, generation] { runPass(items, generation); }, Qt::QueuedConnection);
}

void OCRIndex::setHeld(bool held)
{
    {
        std::lock_guard guard(m_holdLock);
        m_held = held;
    }
    m_holdWake.notify_all();
}

bool OCRIndex::isHeld() const
{
    std::lock_guard guard(m_holdLock);
    return m_held;
}

void OCRIndex::wakeHeld()
{
    // Taking the lock orders the new generation before the waiter's next look at it.
    { std::lock_guard guard(m_holdLock); }
    m_holdWake.notify_all();
}

bool OCRIndex::waitWhileHeld(quint64 generation)
{
    std::unique_lock guard(m_holdLock);
    m_holdWake.wait(guard, [&] { return !m_held || m_generation.load() != generation; });
    return m_generation.load() == generation;
}

void OCRIndex::runPass(const QList<FileItem> &items, quint64 generation)
{
    const auto finish = [this] { QMetaObject::invokeMethod(this, &OCRIndex::passFinished, Qt::QueuedConnection); };
    // A newer catalog was queued before this pass began: that pass does the work.
    if (m_generation.load() != generation)
        return finish();
    if (!m_loaded) {
        m_loaded = true;
        if (std::optional<OcrStore::Entries> stored = OcrStore::load(m_env.storePath))
            m_cache = std::move(*stored);
    }
    // What was read from pictures that left the catalog leaves the store with
    // them: it is the user's text, and nothing would ever ask for it again.
    QSet<QByteArray> pictures;
    for (const FileItem &item : items)
        if (item.kind() == Kind::image)
            pictures.insert(item.path());
    const qsizetype before = m_cache.size();
    m_cache.removeIf([&](const OcrStore::Entries::iterator &it) { return !pictures.contains(it.key()); });
    const bool pruned = m_cache.size() != before;
    if (pruned)
        ++m_unsaved;

    const Millis cutoff = m_env.now() - kRecentMs;
    const QSet<QString> &skip = skippedExtensions();
    Batch cached;
    QList<FileItem> pending;
    for (const FileItem &item : items) {
        if (item.kind() != Kind::image || item.isCloudOnly() || item.size() >= kMaxBytes)
            continue;
        if (!item.isScreenshot() && item.activity() <= cutoff)
            continue;
        if (skip.contains(item.ext()))
            continue;
        const auto known = m_cache.constFind(item.path());
        if (known == m_cache.cend() || !answers(*known, item)) {
            pending.append(item);
            continue;
        }
        if (!known->t.isEmpty())
            cached.texts.insert(item.path(), known->t);
        if (!known->l)
            pending.append(item); // read before labels were kept: only those are missing
        else if (!known->l->isEmpty())
            cached.labels.insert(item.path(), *known->l);
    }
    std::stable_sort(pending.begin(), pending.end(), [](const FileItem &a, const FileItem &b) {
        if (a.isScreenshot() != b.isScreenshot())
            return a.isScreenshot();
        return a.activity() > b.activity();
    });
    if (pending.size() > kMaxPerPass)
        pending.resize(kMaxPerPass);
    const int total = int(pending.size());
    QMetaObject::invokeMethod(
        this, [this, cached = std::move(cached), total]() mutable { publishCached(std::move(cached), total); },
        Qt::QueuedConnection);

    Batch batch;
    for (int i = 1; i <= total; ++i) {
        if (m_generation.load() != generation || !waitWhileHeld(generation)) {
            // Superseded: the next pass publishes; what was read is kept.
            if (m_unsaved > 0)
                save();
            return finish();
        }
        const FileItem &item = pending.at(i - 1);
        const auto known = m_cache.constFind(item.path());
        const bool labelsOnly = known != m_cache.cend() && answers(*known, item);
        const QString keptText = labelsOnly ? known->t : QString();
        const Look seen = m_env.look(item.path(), !labelsOnly);
        if (!seen.analysed) {
            // Said once in the log; the files stay unread for a later run.
            if (m_unsaved > 0)
                save();
            return finish();
        }
        const QString text = labelsOnly ? keptText : seen.text;
        m_cache.insert(item.path(), OcrStore::Entry{seconds(item.modified()), item.size(), text, seen.subjects});
        ++m_unsaved;
        if (!labelsOnly && !text.isEmpty())
            batch.texts.insert(item.path(), text);
        if (!seen.subjects.isEmpty())
            batch.labels.insert(item.path(), seen.subjects);
        if (i % kBatch == 0 || i == total) {
            QMetaObject::invokeMethod(
                this,
                [this, batch = std::exchange(batch, Batch{}), i, total]() mutable {
                    publishBatch(std::move(batch), i, total);
                },
                Qt::QueuedConnection);
        }
        if (i % kSaveEvery == 0)
            save();
    }
    if (total > 0 || pruned)
        save();
    finish();
}

void OCRIndex::save()
{
    // A failed write is tried again at the next save.
    if (OcrStore::save(m_env.storePath, m_cache))
        m_unsaved = 0;
}

void OCRIndex::publishCached(Batch cached, int total)
{
    Library *library = m_env.library;
    if (!library)
        return;
    library->setOcr(std::move(cached.texts));
    library->setSubjects(std::move(cached.labels));
    library->setOcrProgress(0, total);
}

void OCRIndex::publishBatch(Batch batch, int done, int total)
{
    Library *library = m_env.library;
    if (!library)
        return;
    if (!batch.texts.isEmpty()) {
        QHash<QByteArray, QString> ocr = library->ocr();
        for (auto it = batch.texts.cbegin(); it != batch.texts.cend(); ++it)
            ocr.insert(it.key(), it.value());
        library->setOcr(std::move(ocr));
    }
    if (!batch.labels.isEmpty()) {
        QHash<QByteArray, QStringList> subjects = library->subjects();
        for (auto it = batch.labels.cbegin(); it != batch.labels.cend(); ++it)
            subjects.insert(it.key(), it.value());
        library->setSubjects(std::move(subjects));
    }
    library->setOcrProgress(done, total);
}

OCRIndex::Look OCRIndex::look(const QByteArray &path, bool readText)
{
    const ImageAnalysis::Result result = ImageAnalysis::perform(path, readText);
    if (!result.performed)
        return Look{{}, {}, false, result.analyzerLoaded};
    return Look{result.lines.join(u'\n'), subjectLabels(result.observations), true};
}

QStringList OCRIndex::subjectLabels(const QList<ImageClassifier::Observation> &observations)
{
    QStringList labels;
    for (const ImageClassifier::Observation &o : observations) {
        if (labels.size() == kMaxLabels)
            break;
        if (!(o.confidence >= kMinConfidence))
            continue;
        QString label = o.identifier;
        label.replace(u'_', u' ');
        labels.append(label.toLower());
    }
    return labels;
}
