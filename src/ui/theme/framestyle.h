#pragma once

#include <QProxyStyle>

class QMenu;

// The look of what Qt itself draws around the pages — menus and context
// menus, the menu bar, tool tips and scroll bars — in the theme's colours
// and fonts instead of stock Fusion: rounded menus with a rounded highlight,
// destructive entries (actions whose "destructive" property is true) in the
// danger colour, and thin scroll bars without arrow buttons. Everything
// else is Fusion's, drawn with the application palette.
class FrameStyle final : public QProxyStyle
{
    Q_OBJECT

public:
    FrameStyle();

    void setDark(bool dark) { m_dark = dark; }
    bool isDark() const { return m_dark; }

    // The scroll bar's thickness, and the radius of menus and their highlight.
    static constexpr int kScrollBarExtent = 10;
    static constexpr qreal kMenuRadius = 9;
    static constexpr qreal kItemRadius = 6;

    void polish(QWidget *widget) override;
    void unpolish(QWidget *widget) override;
    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption *option = nullptr, const QWidget *widget = nullptr,
                  QStyleHintReturn *returnData = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                            const QWidget *widget = nullptr) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl sub,
                         const QWidget *widget = nullptr) const override;

    // Whether the entry of `menu` drawn in `rect` is destructive.
    static bool isDestructive(const QMenu *menu, const QRect &rect);

private:
    void drawMenuItem(const QStyleOption *option, QPainter *painter, const QWidget *widget) const;
    void drawScrollBar(const QStyleOptionComplex *option, QPainter *painter) const;

    bool m_dark = false;
};
