#include "indexservice.h"

#include "extractclient.h"
#include "folderwatcher.h"
#include "indexer.h"
#include "indexsettings.h"
#include "indexstore.h"
#include "sqlitemetadataindex.h"
#include "library/library.h"

#include <QDir>
#include <QFile>
#include <QMetaObject>

IndexService &IndexService::shared()
{
    static IndexService *service = new IndexService(IndexStore::defaultFile());
    return *service;
}

IndexService::IndexService(QString file, QObject *parent)
    : QObject(parent), m_file(std::move(file)), m_enabled(IndexSettings::enabled()),
      m_paused(IndexSettings::paused()), m_self(std::make_shared<IndexService *>(this))
{
    if (const auto saved = IndexStatus::read(m_file))
        m_status = *saved;
    m_status.state = m_enabled ? IndexStatus::State::idle : IndexStatus::State::off;
}

IndexService::~IndexService()
{
    *m_self = nullptr;
    m_indexer.reset();
}

void IndexService::start(Library &library)
{
    start({library.home().isEmpty() ? QFile::encodeName(QDir::homePath()) : library.home()}, library.watcher());
}

void IndexService::start(const QList<QByteArray> &roots, FolderWatcher *watcher)
{
    if (m_started)
        return;
    m_started = true;
    m_roots = roots;
    m_watcher = watcher;
    if (m_watcher) {
        m_watcher->setFoldersListener([this](const QList<QByteArray> &folders) {
            if (m_indexer)
                m_indexer->foldersChanged(folders);
        });
    }
    launch();
}

void IndexService::launch()
{
    if (!m_started || !m_enabled || m_indexer)
        return;
    m_indexer = std::make_unique<Indexer>(m_file, m_roots, ExtractClient::helperCommand());
    std::weak_ptr<IndexService *> self = m_self;
    m_indexer->setProgress([self](const IndexStatus &status) {
        const auto alive = self.lock();
        if (!alive || !*alive)
            return;
        IndexService *service = *alive;
        QMetaObject::invokeMethod(
            service,
            [self, status] {
                const auto still = self.lock();
                if (still && *still)
                    (*still)->setStatus(status);
            },
            Qt::QueuedConnection);
    });
    m_indexer->setPaused(indexerWaits());
    m_indexer->start();
}

void IndexService::setPaused(bool paused)
{
    IndexSettings::setPaused(paused);
    m_paused = paused;
    if (m_indexer)
        m_indexer->setPaused(indexerWaits());
    emit statusChanged();
}

void IndexService::setPowerSaving(PowerSaving saving)
{
    if (m_powerSaving == saving)
        return;
    m_powerSaving = saving;
    if (m_indexer)
        m_indexer->setPaused(indexerWaits());
    emit statusChanged();
}

void IndexService::setEnabled(bool enabled)
{
    IndexSettings::setEnabled(enabled);
    // Off means the wide search finds nothing, from this moment.
    SqliteMetadataIndex::installDefault();
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    if (!enabled) {
        m_indexer.reset();
        IndexStatus off = m_status;
        off.state = IndexStatus::State::off;
        setStatus(off);
        return;
    }
    IndexStatus on = m_status;
    on.state = IndexStatus::State::idle;
    setStatus(on);
    launch();
}

void IndexService::rebuild()
{
    if (m_indexer)
        m_indexer->requestPass(true);
}

QString IndexService::indexProgressText() const
{
    if (m_enabled && !m_paused) {
        switch (m_powerSaving) {
        case PowerSaving::battery:
            return QStringLiteral("Paused while on battery");
        case PowerSaving::powerSaver:
            return QStringLiteral("Paused in power saver mode");
        case PowerSaving::none:
            break;
        }
    }
    return m_status.text();
}

void IndexService::setStatus(const IndexStatus &status)
{
    IndexStatus s = status;
    if (!m_enabled)
        s.state = IndexStatus::State::off;
    m_status = s;
    emit statusChanged();
}
