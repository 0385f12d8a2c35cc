#include "indexstatus.h"

#include "indexstore.h"

#include <QLocale>

namespace {

std::optional<qint64> optionalInt(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return std::nullopt;
    return v.toLongLong();
}

} // namespace

std::optional<IndexStatus> IndexStatus::read(const QString &file)
{
    std::optional<SqliteDb> db = IndexStore::openReader(file);
    if (!db)
        return std::nullopt;
    SqliteStatement s = db->prepare("SELECT key, value FROM meta");
    if (!s.isValid())
        return std::nullopt;
    IndexStatus out;
    while (s.step()) {
        const QString key = s.text(0);
        if (key == u"state") {
            const QString v = s.text(1);
            out.state = v == u"indexing" ? State::indexing
                        : v == u"paused" ? State::paused
                        : v == u"off"    ? State::off
                                         : State::idle;
        } else if (key == u"files_done") {
            out.done = s.int64(1);
        } else if (key == u"files_found") {
            out.found = s.int64(1);
        } else if (key == u"last_pass" && !s.isNull(1)) {
            out.lastPass = s.int64(1);
        } else if (key == u"last_full_pass" && !s.isNull(1)) {
            out.lastFullPass = s.int64(1);
        }
    }
    SqliteStatement count = db->prepare("SELECT count(*) FROM files");
    if (count.isValid() && count.step())
        out.files = count.int64(0);
    return out;
}

void IndexStatus::write(IndexStore &store) const
{
    store.setMeta(QStringLiteral("state"), stateName(state));
    store.setMeta(QStringLiteral("files_done"), done);
    store.setMeta(QStringLiteral("files_found"), found);
    store.setMeta(QStringLiteral("last_pass"), lastPass ? QVariant(*lastPass) : QVariant());
    store.setMeta(QStringLiteral("last_full_pass"), lastFullPass ? QVariant(*lastFullPass) : QVariant());
}

QString IndexStatus::stateName(State state)
{
    switch (state) {
    case State::indexing:
        return QStringLiteral("indexing");
    case State::paused:
        return QStringLiteral("paused");
    case State::off:
        return QStringLiteral("off");
    case State::idle:
        break;
    }
    return QStringLiteral("idle");
}

QString IndexStatus::text() const
{
    const QLocale locale;
    switch (state) {
    case State::off:
        return QStringLiteral("Index is off");
    case State::paused:
        return QStringLiteral("Indexing paused: %1 of %2 files").arg(locale.toString(done), locale.toString(found));
    case State::indexing:
        return QStringLiteral("Indexing files: %1 of %2").arg(locale.toString(done), locale.toString(found));
    case State::idle:
        break;
    }
    if (!lastPass)
        return QStringLiteral("Index not built yet");
    return QStringLiteral("Index up to date: %1 files").arg(locale.toString(files));
}
