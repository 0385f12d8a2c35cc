// The Quick Search panel from the hot key to its first picture, after it has
// been shown once. Run on an X display (Xvfb is fine) with xdotool present:
//   DISPLAY=:99 QT_QPA_PLATFORM=xcb bench_quickpanel [ROUNDS]
// Timed from the moment the key press reaches this process (a native event
// filter ahead of the grab's) to the end of the panel's first paint; the
// same show called directly, without the key, is timed in the same run.
#include "files/thumbs.h"
#include "library/library.h"
#include "quick/globalshortcut.h"
#include "quick/quicksearch.h"
#include "quick/quicksearchview.h"
#include "state/appstate.h"
#include "theme/fonts.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTextStream>
#include <QTimer>

#include <xcb/xcb.h>

#include <algorithm>

namespace {

class PressClock final : public QAbstractNativeEventFilter
{
public:
    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        if (type == "xcb_generic_event_t" &&
            (static_cast<xcb_generic_event_t *>(message)->response_type & 0x7f) == XCB_KEY_PRESS)
            pressedAt = clock.nsecsElapsed();
        return false;
    }
    QElapsedTimer clock;
    qint64 pressedAt = -1;
};

bool spinUntil(const std::function<bool()> &done, int ms = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

void press()
{
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+shift+space")});
}

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    Fonts::ensureLoaded();
    Thumbs thumbs;
    AppState state;
    Library::Environment env = Library::Environment::fromProcess();
    env.watchFolders = false;
    Library library(std::move(env));
    library.rescan(false);
    spinUntil([&] { return library.hasScanned(); }, 60000);
    QuickSearch quick(library, state, thumbs);
    if (GlobalShortcut::shared().registerKey(QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Space),
                                             [&] { quick.toggle(); }) != GlobalShortcut::Mechanism::x11) {
        QTextStream(stderr) << "bench_quickpanel: needs an X display where Ctrl+Shift+Space is free\n";
        return 1;
    }
    PressClock presses;
    presses.clock.start();
    app.installNativeEventFilter(&presses); // installed last, so it sees the press first

    // Shown once: the panel, its fonts and the recent files' thumbnails exist.
    quick.show();
    qint64 paintedAt = -1;
    QObject::connect(quick.view(), &QuickSearchView::painted, [&] { paintedAt = presses.clock.nsecsElapsed(); });
    spinUntil([&] { return paintedAt > 0; });
    thumbs.waitForDone();
    quick.hide();

    QList<double> keyed, direct;
    for (int i = 0; i < rounds; ++i) {
        paintedAt = -1;
        presses.pressedAt = -1;
        press();
        if (!spinUntil([&] { return paintedAt > 0 && presses.pressedAt > 0; }))
            continue;
        keyed.append((paintedAt - presses.pressedAt) / 1e6);
        press();
        spinUntil([&] { return !quick.isVisible(); });

        paintedAt = -1;
        const qint64 start = presses.clock.nsecsElapsed();
        quick.show();
        spinUntil([&] { return paintedAt > 0; });
        direct.append((paintedAt - start) / 1e6);
        quick.hide();
        spinUntil([] { return false; }, 30);
    }
    out << "bench_quickpanel: " << library.items().size() << " catalog records, " << rounds << " rounds, "
        << QGuiApplication::platformName() << "\n";
    out << "  key press -> first paint: median " << median(keyed) << " ms, max "
        << (keyed.isEmpty() ? 0 : *std::max_element(keyed.begin(), keyed.end())) << " ms (" << keyed.size()
        << " measured)\n";
    out << "  show() -> first paint:    median " << median(direct) << " ms, max "
        << (direct.isEmpty() ? 0 : *std::max_element(direct.begin(), direct.end())) << " ms\n";
    out << "  goal < 50 ms: " << (median(keyed) < 50 ? "met" : "missed") << "\n";
    return 0;
}
