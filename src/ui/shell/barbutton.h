#pragma once

#include <QAbstractButton>
#include <QString>

// The small square icon button of the top bar (grid, list, inspector,
// refresh): a symbol on a rounded well that is filled while the button is on.
class BarButton final : public QAbstractButton
{
    Q_OBJECT

public:
    static constexpr int kWidth = 28;
    static constexpr int kHeight = 26;

    // `help` is the tooltip.
    BarButton(const QString &symbol, const QString &help, QWidget *parent = nullptr);

    const QString &symbol() const { return m_symbol; }
    bool isOn() const { return m_on; }
    bool isHovered() const { return m_hovered; }
    void setSymbol(const QString &symbol);
    void setOn(bool on);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QString m_symbol;
    bool m_on = false;
    bool m_hovered = false;
    bool m_dark = false;
};
