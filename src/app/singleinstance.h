#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// One Tovalo per user session: the first launch listens on a socket in the
// user's runtime directory, and a later launch asks it to bring its window
// forward instead of starting a second catalog.
class SingleInstance final : public QObject
{
    Q_OBJECT

public:
    enum class Outcome { first, handedOver, noAnswer };
    // What a later launch hands over: its window, or the Quick Search panel.
    enum class Request { show, quickSearch };

    // $XDG_RUNTIME_DIR/tovalo.socket; without a runtime directory, a per-user
    // name in the temporary folder.
    static QString socketPath();

    explicit SingleInstance(QObject *parent = nullptr);

    // Becomes the listening instance, or hands the launch to the one running.
    // A socket nobody answers on is left over from a crash and is taken over.
    Outcome claim(Request request = Request::show);

signals:
    // A later launch asked for the main window.
    void showRequested();
    // A later launch was started with --quick-search.
    void quickSearchRequested();

private:
    void answer();

    QLocalServer *m_server = nullptr;
};
