#include "keytest.h"

#include "devharness.h"

#include "files/previewpanel.h"
#include "files/quicklook.h"
#include "shell/mainwindow.h"
#include "state/appstate.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

namespace {

struct Step
{
    double at;
    const char *label;
    std::function<void()> action;
};

void pressRight()
{
    KeyTest::press(Qt::Key_Right, {});
}

void pressDown()
{
    KeyTest::press(Qt::Key_Down, {});
}

void pressSpace()
{
    KeyTest::press(Qt::Key_Space, QStringLiteral(" "));
}

void bringForward()
{
    if (QWidget *main = MainWindow::find()) {
        main->raise();
        main->activateWindow();
    }
}

} // namespace

namespace KeyTest {

QString report(const QString &label)
{
    QuickLook &look = QuickLook::shared();
    const bool open = look.isOpen();
    const int showing = open ? look.panel()->currentIndex() : -1;
    const AppState &state = AppState::shared();
    int selected = -1;
    if (state.anchor()) {
        for (qsizetype i = 0; i < state.visible().size(); ++i) {
            if (state.visible().at(i).path() == *state.anchor()) {
                selected = int(i);
                break;
            }
        }
    }
    const QWidget *active = QApplication::activeWindow();
    const QString front = !active ? QStringLiteral("none")
                          : active == look.panel() ? QStringLiteral("preview")
                                                   : QStringLiteral("grid");
    return QStringLiteral("key-test %1: preview open=%2 showing=%3 selected=%4 front=%5")
        .arg(label, open ? QStringLiteral("true") : QStringLiteral("false"), QString::number(showing),
             QString::number(selected), front);
}

void press(int key, const QString &text)
{
    QWidget *target = QApplication::activeWindow();
    if (!target)
        target = MainWindow::find();
    if (!target || !target->windowHandle())
        return;
    // Into the window, as the window system would deliver it: the window hands
    // it to its focused widget, and the key map sees it on the way.
    QCoreApplication::postEvent(target->windowHandle(),
                                new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
    QCoreApplication::postEvent(target->windowHandle(),
                                new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, text));
}

void start()
{
    const QList<Step> steps = {
        {3.0, nullptr,
         [] {
             bringForward();
             DevHarness::selectFirstVisible();
         }},
        // Activating a window puts the focus back into its first field once the
        // window system confirms it, which can land after the release above.
        {3.3, nullptr, [] { AppState::releaseSearchFocus(); }},
        {3.5, "start", pressRight},
        {4.0, "→ in grid", pressSpace},
        {5.5, "Space opens", pressRight},
        {6.5, "→ with preview open", pressDown},
        {7.5, "↓ with preview open", pressSpace},
        {9.0, "Space closes", pressSpace},
        {10.5, "Space reopens", bringForward},
        {11.0, "grid clicked while preview open", pressSpace},
        {12.5, "Space closes from grid", [] { QCoreApplication::exit(0); }},
    };
    for (const Step &step : steps) {
        DevHarness::after(step.at, [step] {
            if (step.label)
                DevHarness::print(report(QString::fromUtf8(step.label)));
            step.action();
        });
    }
}

} // namespace KeyTest
