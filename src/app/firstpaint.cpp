#include "firstpaint.h"

#include "devharness.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace {

QElapsedTimer &startClock()
{
    static QElapsedTimer started;
    return started;
}

} // namespace

void FirstPaint::markStart()
{
    startClock().start();
}

void FirstPaint::watchIfAsked(QWidget *window)
{
    if (!qEnvironmentVariableIsSet("TOVALO_FIRST_PAINT") || !window)
        return;
    qApp->installEventFilter(new FirstPaint(window));
}

FirstPaint::FirstPaint(QWidget *window) : QObject(window), m_window(window) {}

bool FirstPaint::eventFilter(QObject *watched, QEvent *event)
{
    if (m_seen || event->type() != QEvent::Paint || !watched->isWidgetType())
        return false;
    if (static_cast<QWidget *>(watched)->window() != m_window)
        return false;
    m_seen = true;
    // The window is painted in one pass that ends with the flush to the
    // screen; the line goes out once that pass is over.
    QTimer::singleShot(0, this, [this] {
        DevHarness::print(QStringLiteral("first-paint ms=%1").arg(startClock().isValid() ? startClock().elapsed() : -1));
        qApp->removeEventFilter(this);
    });
    return false;
}
