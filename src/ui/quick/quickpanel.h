#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>

// The floating window of Quick Search: frameless, above other windows, on
// every workspace, taking the keyboard without bringing the main window
// along. Its content is a rounded card; where a compositor blends
// translucent windows, a soft shadow surrounds it, and elsewhere the
// window is cut to the card's shape. It hides itself whenever it loses the
// keyboard focus, as a click into another window does.
class QuickPanel final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kShadowMargin = 26;
    static constexpr qreal kCornerRadius = 18;
    // How far up the available height, from its bottom, the panel's centre sits.
    static constexpr double kHeightFraction = 0.62;

    // Takes ownership of `content`, which keeps its own fixed size.
    explicit QuickPanel(QWidget *content, QWidget *parent = nullptr);

    QWidget *content() const { return m_content; }
    int margin() const { return m_margin; }
    // Drops the shadow and cuts the window to the card, for desktops that
    // draw translucent pixels opaque.
    void setShadowed(bool shadowed);
    bool shadowed() const { return m_margin > 0; }

    // The top-left corner of a window whose content of `content` size, inset
    // by `margin`, is centred horizontally in `available` and vertically at
    // kHeightFraction of it counted from the bottom.
    static QPoint origin(const QRect &available, const QSize &content, int margin);
    void placeOn(const QRect &available);
    // Shows the window in front and gives it the keyboard.
    void present();

signals:
    void focusLost();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    const QImage &shadow(qreal ratio);

    QWidget *m_content;
    int m_margin = kShadowMargin;
    QImage m_shadow;
};
