#include "trasher.h"

#include "appstate.h"
#include "library/library.h"
#include "model/fmt.h"

#include <QLocale>
#include <QTimer>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

enum class Standing
{
    same,
    changed,
    missing
};

// Whether the file at the record's path is still the one the record was read
// from: the same file (device and inode), and for a plain file the same size
// and modification time. Records not read from the disk carry nothing to compare.
Standing standing(const FileItem &item)
{
    struct stat st;
    // Whatever keeps it from being read, the Trash itself says for the file.
    if (::lstat(item.path().constData(), &st) != 0)
        return Standing::missing;
    if (!item.hasIdentity())
        return Standing::same;
    if (st.st_ino != item.inode() ||
        FileItem::deviceOf(major(st.st_dev), minor(st.st_dev)) != item.device())
        return Standing::changed;
    if (S_ISREG(st.st_mode)) {
        const Millis modified = Millis(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
        if (st.st_size != item.size() || modified != item.modified())
            return Standing::changed;
    }
    return Standing::same;
}

// Why the file must stay where it is; empty when it may go.
QString refusal(const FileItem &item, const QHash<QByteArray, FileItem> *keepers)
{
    if (standing(item) == Standing::changed)
        return QStringLiteral("%1 has changed since it was scanned, so it was not moved")
            .arg(item.pathString());
    if (!keepers)
        return {};
    const auto keeper = keepers->constFind(item.path());
    if (keeper == keepers->cend())
        return QStringLiteral("%1 is no longer a duplicate, so it was not moved")
            .arg(item.pathString());
    // The kept copy gone or changed would make this the last copy left.
    if (standing(*keeper) != Standing::same)
        return QStringLiteral("The copy kept of %1 (%2) is gone or has changed, so it was not moved")
            .arg(item.pathString(), keeper->pathString());
    return {};
}

QString plural(qsizetype count)
{
    return count == 1 ? QStringLiteral(" item") : QStringLiteral(" items");
}

QString movedMessage(qsizetype moved, qsizetype failed, qint64 bytes)
{
    QString text = QStringLiteral("Moved ") + QLocale().toString(moved) + plural(moved) +
                   QStringLiteral(" to the Trash · ") + Fmt::size(bytes) + QStringLiteral(" freed");
    if (failed > 0)
        text +=
            QStringLiteral(" (") + QString::number(failed) + QStringLiteral(" could not be moved)");
    return text;
}

QString putBackMessage(qsizetype back, qsizetype batch)
{
    if (back == batch)
        return QStringLiteral("Put back ") + QLocale().toString(back) + plural(back);
    return QStringLiteral("Put back ") + QString::number(back) + QStringLiteral("; ") +
           QString::number(batch - back) + QStringLiteral(" are still in the Trash");
}

} // namespace

Trasher::Environment Trasher::Environment::fromProcess()
{
    Environment env;
    env.library = &Library::shared();
    env.state = &AppState::shared();
    return env;
}

Trasher &Trasher::shared()
{
    static Trasher *instance = new Trasher(Environment::fromProcess());
    return *instance;
}

Trasher::Trasher(Environment env, QObject *parent) : QObject(parent), m_env(std::move(env))
{
    Q_ASSERT(m_env.library);
    if (!m_env.later) {
        m_env.later = [this](int delayMs, std::function<void()> action) {
            QTimer::singleShot(delayMs, Qt::PreciseTimer, this, std::move(action));
        };
    }
}

void Trasher::trash(const QList<FileItem> &items)
{
    trashBatch(items, nullptr);
}

void Trasher::trashExtras(const QList<FileItem> &extras)
{
    QHash<QByteArray, FileItem> keepers;
    for (const DupGroup &group : m_env.library->dupGroups()) {
        for (const FileItem &kept : group.items) {
            if (kept.path() != group.keep)
                continue;
            for (const FileItem &item : group.items)
                if (item.path() != group.keep)
                    keepers.insert(item.path(), kept);
        }
    }
    trashBatch(extras, &keepers);
}

void Trasher::trashBatch(const QList<FileItem> &items, const QHash<QByteArray, FileItem> *keepers)
{
    if (items.isEmpty())
        return;
    QList<Move> batch;
    QSet<QByteArray> gone;
    qint64 bytes = 0;
    for (const FileItem &item : items) {
        if (const QString why = refusal(item, keepers); !why.isEmpty()) {
            emit moveFailed(item.path(), why);
            continue;
        }
        const FreedesktopTrash::Outcome outcome = m_env.trash.trash(item.path());
        if (!outcome.ok()) {
            emit moveFailed(item.path(), outcome.error);
            continue;
        }
        batch.append({item.path(), outcome.path});
        gone.insert(item.path());
        bytes += item.size();
    }
    // Replaced even when nothing moved: the batch before can no longer be undone.
    m_last = batch;
    m_env.library->remove(gone);
    if (m_env.state)
        m_env.state->setSelection(m_env.state->selection() - gone);
    if (!gone.isEmpty())
        emit moved(gone);
    const qsizetype moved = batch.size();
    show(movedMessage(moved, items.size() - moved, bytes), moved > 0);
}

void Trasher::undo()
{
    const QList<Move> batch = std::exchange(m_last, {});
    qsizetype back = 0;
    for (const Move &move : batch) {
        const FreedesktopTrash::Outcome outcome = m_env.trash.restore(move.to, move.from);
        if (outcome.ok())
            ++back;
        else
            emit moveFailed(move.from, outcome.error);
    }
    m_env.library->rescan(false);
    show(putBackMessage(back, batch.size()), false);
}

void Trasher::show(const QString &message, bool undo)
{
    setMessage(message);
    setCanUndo(undo);
    const quint64 ticket = ++m_ticket;
    // Stale countdowns run and find a newer ticket: they clear nothing.
    m_env.later(undo ? kUndoMessageMs : kMessageMs, [this, ticket] {
        if (m_ticket != ticket)
            return;
        setMessage(std::nullopt);
        setCanUndo(false);
    });
}

void Trasher::setMessage(std::optional<QString> message)
{
    if (m_message == message)
        return;
    m_message = std::move(message);
    emit messageChanged();
}

void Trasher::setCanUndo(bool canUndo)
{
    if (m_canUndo == canUndo)
        return;
    m_canUndo = canUndo;
    emit canUndoChanged();
}
