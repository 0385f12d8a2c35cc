#pragma once

#include "analysis/ocrstore.h"
#include "imageclassifier.h"
#include "model/fileitem.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

class Library;
class QThread;

// Makes pictures findable by the words in them and by what they show. Each
// pass takes the catalog's recent images, publishes what the store already
// knows about them at once, then reads the others, newest first, on its own
// background thread, handing results to the catalog every few images and
// writing the store every so often.
class OCRIndex final : public QObject
{
    Q_OBJECT

public:
    struct Look
    {
        // One line per line of text found, in reading order.
        QString text;
        QStringList subjects;
        // False when the file could not be read as an image.
        bool readable = true;
        // False when no picture can be read here at all (the image reader
        // could not be loaded): nothing was learnt about this file.
        bool analysed = true;
    };
    using LookFunction = std::function<Look(const QByteArray &path, bool readText)>;

    // Everything the index takes from the outside world, so tests can stand
    // in for the image reader, the clock and the store's place.
    struct Environment
    {
        // The store file; its folder is made when the index is made.
        QString storePath;
        LookFunction look;
        std::function<Millis()> now;
        // Where results are published; nothing is published once it is gone.
        QPointer<Library> library;

        // $XDG_DATA_HOME/Tovalo/text-in-images.json, the real image reader,
        // the clock and the shared catalog.
        static Environment fromProcess();
    };

    static constexpr int kBatch = 12;
    static constexpr int kSaveEvery = 150;
    static constexpr int kMaxPerPass = 6000;
    static constexpr qint64 kMaxBytes = 40'000'000;
    // Images touched in the last two years are read; screenshots of any age.
    static constexpr Millis kRecentMs = 63'072'000'000;
    static constexpr float kMinConfidence = 0.3f;
    static constexpr int kMaxLabels = 10;
    // Vector, layered, icon, animated and camera-raw formats.
    static const QSet<QString> &skippedExtensions();

    static OCRIndex &shared();
    explicit OCRIndex(Environment env, QObject *parent = nullptr);
    // Cuts a running pass short, keeping what it read, and waits for it.
    ~OCRIndex() override;

    // Queues a pass over `items`; a pass still running ends at its next image
    // (keeping what it read), since the newer catalog supersedes it.
    void start(const QList<FileItem> &items);
    // Holds the reading of images (on battery, in power saver) until released:
    // a running pass waits before its next image, keeping what it read.
    void setHeld(bool held);
    bool isHeld() const;

    // Reads one image now; blocking, safe on any thread.
    static Look look(const QByteArray &path, bool readText);
    // The labels worth keeping from classifier observations: confident
    // enough, at most kMaxLabels, "_" as a space, lower case.
    static QStringList subjectLabels(const QList<ImageClassifier::Observation> &observations);

signals:
    // A pass ended, read everything it had to or was cut short.
    void passFinished();

private:
    struct Batch
    {
        QHash<QByteArray, QString> texts;
        QHash<QByteArray, QStringList> labels;
    };

    // These run on the index's thread and alone touch m_cache, m_loaded and m_unsaved.
    void runPass(const QList<FileItem> &items, quint64 generation);
    // Waits while held; false when a newer pass or the end came meanwhile.
    bool waitWhileHeld(quint64 generation);
    // Wakes a pass waiting while held, after the generation moved on.
    void wakeHeld();
    void save();

    // Ends the running pass at its next image and the thread after it; no
    // pass runs afterwards.
    void stop();

    // On the main thread.
    void publishCached(Batch cached, int total);
    void publishBatch(Batch batch, int done, int total);

    Environment m_env;
    QThread *m_thread = nullptr;
    QObject *m_queue = nullptr;
    std::atomic<quint64> m_generation{0};
    mutable std::mutex m_holdLock;
    std::condition_variable m_holdWake;
    bool m_held = false;

    OcrStore::Entries m_cache;
    bool m_loaded = false;
    int m_unsaved = 0;
};
