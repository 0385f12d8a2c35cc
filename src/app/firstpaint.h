#pragma once

#include <QElapsedTimer>
#include <QObject>

class QWidget;

// With TOVALO_FIRST_PAINT set, prints "first-paint ms=N" once, when the main
// window has been painted for the first time; N counts from the start of main().
// For the start-up benchmark.
class FirstPaint final : public QObject
{
    Q_OBJECT

public:
    // The clock starts here; call first thing in main().
    static void markStart();
    // Watches `window` when the variable asks for it.
    static void watchIfAsked(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit FirstPaint(QWidget *window);

    QWidget *m_window = nullptr;
    bool m_seen = false;
};
