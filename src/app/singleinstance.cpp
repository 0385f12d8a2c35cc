#include "singleinstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace {

constexpr int kConnectMs = 1000;
constexpr int kAnswerMs = 5000;
constexpr QByteArrayView kShow = "show\n";
constexpr QByteArrayView kQuickSearch = "quick-search\n";
constexpr QByteArrayView kShown = "shown\n";

} // namespace

QString SingleInstance::socketPath()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return runtime + QStringLiteral("/tovalo.socket");
    return QDir::tempPath() + QStringLiteral("/tovalo-%1.socket").arg(::getuid());
}

SingleInstance::SingleInstance(QObject *parent) : QObject(parent) {}

SingleInstance::Outcome SingleInstance::claim(Request request)
{
    const QString path = socketPath();
    {
        QLocalSocket other;
        other.connectToServer(path);
        if (other.waitForConnected(kConnectMs)) {
            const QByteArrayView ask = request == Request::quickSearch ? kQuickSearch : kShow;
            other.write(ask.data(), ask.size());
            other.waitForBytesWritten(kAnswerMs);
            QByteArray reply;
            while (!reply.contains('\n') && other.waitForReadyRead(kAnswerMs))
                reply += other.readAll();
            return reply.startsWith(kShown.data()) ? Outcome::handedOver : Outcome::noAnswer;
        }
    }
    QLocalServer::removeServer(path);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(path))
        qWarning("tovalo: cannot listen on %s: %s; a second launch will start another window", qPrintable(path),
                 qPrintable(m_server->errorString()));
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::answer);
    return Outcome::first;
}

void SingleInstance::answer()
{
    while (QLocalSocket *peer = m_server->nextPendingConnection()) {
        connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
            if (!peer->canReadLine())
                return;
            const QByteArray line = peer->readLine();
            if (line == kShow.data() || line == kQuickSearch.data()) {
                if (line == kShow.data())
                    emit showRequested();
                else
                    emit quickSearchRequested();
                peer->write(kShown.data(), kShown.size());
            }
            peer->disconnectFromServer();
        });
    }
}
