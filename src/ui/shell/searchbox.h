#pragma once

#include <QWidget>

class QAbstractButton;
class QLineEdit;

// The search field of the top bar: a magnifying glass, the text field, and
// at the end either a clear button (while there is text) or the Ctrl+F
// hint, on a rounded surface that shows a ring while the field has focus.
// It only presents; the top bar decides what typing does.
class SearchBox final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kHeight = 34;
    static constexpr int kMaxWidth = 440;
    static constexpr int kMinWidth = 180;

    explicit SearchBox(QWidget *parent = nullptr);

    QLineEdit *field() const { return m_field; }
    QAbstractButton *clearButton() const { return m_clear; }
    // Whether the hint shows (no text) rather than the clear button.
    bool showsHint() const;
    // The field holds the keyboard focus: the ring is drawn.
    bool searching() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // Escape was pressed in the field.
    void escaped();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void relayout();
    void followText();
    void styleField();
    QRectF hintRect() const;

    QLineEdit *m_field;
    QAbstractButton *m_clear;
    bool m_dark = false;
};
