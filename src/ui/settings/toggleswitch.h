#pragma once

#include <QAbstractButton>

class QVariantAnimation;

// An on/off switch: a capsule track that fills with the accent when on and a
// round knob that slides across. Space and a click flip it, as a check box.
class ToggleSwitch final : public QAbstractButton
{
    Q_OBJECT

public:
    explicit ToggleSwitch(QWidget *parent = nullptr);

    QSize sizeHint() const override;
    // Where the knob is drawn: 0 off, 1 on; between the two while it slides.
    qreal knobPosition() const { return m_position; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    // Return flips it as Space does, as on a settings row anywhere.
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;
    // Called on every change of the checked state, also with signals blocked.
    void checkStateSet() override;

private:
    QVariantAnimation *m_slide = nullptr;
    qreal m_position = 0;
    bool m_hovered = false;
    bool m_keyboardFocus = false;
    bool m_dark = false;
};
