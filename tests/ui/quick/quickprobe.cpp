// A child program for the tests that need a real display: it runs on the
// display it is given and reports on standard output what the panel and
// the tray item do.
//   quick_probe hotkey        grabs Ctrl+Shift+Space, toggling the panel
//   quick_probe tray FOLDER   the tray item; "on"/"off" on standard input switch it
#include "quicktesting.h"

#include "files/thumbs.h"
#include "quick/globalshortcut.h"
#include "quick/quicksearch.h"
#include "quick/quicksearchview.h"
#include "state/appstate.h"
#include "tray/trayitem.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTextStream>

#include <unistd.h>

namespace {

void say(const QString &line)
{
    QTextStream out(stdout);
    out << line << '\n';
    out.flush();
}

QString grabName(HotKey::Grab grab)
{
    switch (grab) {
    case HotKey::Grab::taken:
        return QStringLiteral("taken");
    case HotKey::Grab::refused:
        return QStringLiteral("refused");
    case HotKey::Grab::unavailable:
        break;
    }
    return QStringLiteral("unavailable");
}

QString hostName(TrayItem::Host host)
{
    switch (host) {
    case TrayItem::Host::statusNotifier:
        return QStringLiteral("statusNotifier");
    case TrayItem::Host::xembed:
        return QStringLiteral("xembed");
    case TrayItem::Host::none:
        break;
    }
    return QStringLiteral("none");
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    Thumbs thumbs;
    AppState state;
    std::unique_ptr<Library> library = catalogOf({record("/home/ana/Documents/a.pdf", 3)});

    if (mode == u"hotkey") {
        QuickSearch quick(*library, state, thumbs);
        // One "painted" after each "shown": the first picture of that show.
        bool awaitingPaint = false;
        bool watching = false;
        QObject::connect(&quick, &QuickSearch::shown, [&]() {
            say(QStringLiteral("shown"));
            awaitingPaint = true;
            if (watching)
                return;
            watching = true;
            QObject::connect(quick.view(), &QuickSearchView::painted, [&]() {
                if (awaitingPaint)
                    say(QStringLiteral("painted"));
                awaitingPaint = false;
            });
        });
        QObject::connect(&quick, &QuickSearch::hidden, []() { say(QStringLiteral("hidden")); });
        GlobalShortcut::shared().registerKey(QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Space),
                                             [&quick]() { quick.toggle(); });
        say(QStringLiteral("grab ") + grabName(GlobalShortcut::shared().x11Grab()));
        return app.exec();
    }

    if (mode == u"tray" && argc > 2) {
        const QByteArray folder = argv[2];
        TrayItem tray([folder]() { return folder; }, thumbs, []() {}, true);
        QObject::connect(&tray, &TrayItem::hostChanged,
                         [](TrayItem::Host host) { say(QStringLiteral("host ") + hostName(host)); });
        QObject::connect(&tray, &TrayItem::shownChanged,
                         [](bool shown) { say(QStringLiteral("shown %1").arg(shown ? 1 : 0)); });
        QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
        QObject::connect(&input, &QSocketNotifier::activated, [&]() {
            char buffer[64];
            const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
            if (n <= 0) {
                QCoreApplication::quit();
                return;
            }
            for (const QByteArray &line : QByteArray(buffer, int(n)).split('\n')) {
                if (line == "on" || line == "off")
                    tray.setEnabled(line == "on");
            }
        });
        say(QStringLiteral("host ") + hostName(tray.host()));
        say(QStringLiteral("shown %1").arg(tray.shown() ? 1 : 0));
        return app.exec();
    }
    QTextStream(stderr) << "usage: quick_probe hotkey | tray FOLDER\n";
    return 2;
}
