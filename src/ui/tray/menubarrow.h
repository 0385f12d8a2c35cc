#pragma once

#include <QByteArray>
#include <QPoint>
#include <QWidget>

#include <optional>

class QToolButton;
class Thumbs;

// One arrival of the downloads list: thumbnail and name; under the pointer
// a button that shows the file in the file manager appears. A click opens
// the file, a drag carries it into another application. From the keyboard
// the row takes the focus (Return or Space opens) and shows its button,
// which Tab reaches next.
class MenuBarRow final : public QWidget
{
    Q_OBJECT

public:
    static constexpr double kThumbSize = 80;
    static constexpr int kHeight = 40;

    MenuBarRow(const QByteArray &path, Thumbs &thumbs, QWidget *parent = nullptr);

    const QByteArray &path() const { return m_path; }
    bool hover() const { return m_hover; }
    QToolButton *revealButton() const { return m_reveal; }
    QSize sizeHint() const override;

signals:
    void openRequested(const QByteArray &path);
    void revealRequested(const QByteArray &path);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void setHover(bool hover);
    // The button shows while the pointer or the keyboard is on the row.
    void showReveal();
    void styleButton();

    QByteArray m_path;
    Thumbs &m_thumbs;
    QToolButton *m_reveal;
    bool m_hover = false;
    bool m_dark = false;
    bool m_keyboardFocus = false;
    std::optional<QPoint> m_pressedAt;
};
