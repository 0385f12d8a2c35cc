#pragma once

#include <QToolButton>

class AppState;
class QActionGroup;

// The sort menu of the top bar: a borderless label with the current order's
// name that opens "Sort by" with one checkable entry per order.
class SortMenuButton final : public QToolButton
{
    Q_OBJECT

public:
    explicit SortMenuButton(AppState &state, QWidget *parent = nullptr);

    // The entries, in the orders' declared sequence.
    QList<QAction *> entries() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void follow();

    AppState &m_state;
    QActionGroup *m_group;
    bool m_hovered = false;
    bool m_dark = false;
};
