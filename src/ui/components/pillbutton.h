#pragma once

#include <optional>
#include <QAbstractButton>
#include <QString>

// The capsule button of page headers and banners: an optional symbol and a
// title. A prominent pill is filled with the accent (or the danger colour);
// a plain one sits on the surface colour inside a hairline outline.
class PillButton final : public QAbstractButton
{
    Q_OBJECT
    // Offset of the title's baseline from the top, so rows can align on it.
    Q_PROPERTY(int firstBaseline READ firstBaseline)

public:
    explicit PillButton(const QString &title, std::optional<QString> symbol = std::nullopt,
                        bool prominent = false, bool danger = false, QWidget *parent = nullptr);

    const std::optional<QString> &symbol() const { return m_symbol; }
    bool prominent() const { return m_prominent; }
    bool danger() const { return m_danger; }
    void setSymbol(std::optional<QString> symbol);
    void setProminent(bool prominent);
    void setDanger(bool danger);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    int firstBaseline() const;
    // Where the symbol and the title are drawn; the symbol's rectangle is empty without one.
    QRectF symbolRect() const;
    QRectF titleRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct Geometry
    {
        QRectF symbol;
        QRectF title;
        qreal baseline = 0;
    };
    QSizeF contentSize() const;
    Geometry geometryIn(const QRectF &bounds) const;
    void changed();

    std::optional<QString> m_symbol;
    bool m_prominent = false;
    bool m_danger = false;
    bool m_hovered = false;
    bool m_keyboardFocus = false;
    bool m_dark = false;
};
