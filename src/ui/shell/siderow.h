#pragma once

#include "state/route.h"
#include "theme/themecolor.h"

#include <optional>
#include <QAbstractButton>
#include <QString>

// One destination of the sidebar: a symbol, a title and an optional badge on
// a rounded row that is filled while it is the page shown and tinted while
// the pointer is over it. The whole padded row reacts to clicks.
class SideRow final : public QAbstractButton
{
    Q_OBJECT

public:
    SideRow(const QString &symbol, const QString &title, const Route &route,
            std::optional<ThemeColor> tint = std::nullopt, bool strong = false,
            QWidget *parent = nullptr);

    // The rule every row follows: its page is shown and no search replaces it.
    static bool activeFor(const Route &row, const Route &shown, const QString &query);

    const QString &symbol() const { return m_symbol; }
    QString title() const { return text(); }
    const Route &route() const { return m_route; }
    const std::optional<QString> &badge() const { return m_badge; }
    bool strong() const { return m_strong; }
    bool isActive() const { return m_active; }
    bool isHovered() const { return m_hovered; }

    void setBadge(const std::optional<QString> &badge);
    void setActive(bool active);
    // Drawn with the focus ring: the sidebar's keyboard cursor is on this row.
    void setFocusMark(bool mark);
    bool hasFocusMark() const { return m_focusMark; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QString m_symbol;
    Route m_route;
    std::optional<ThemeColor> m_tint;
    bool m_strong = false;
    std::optional<QString> m_badge;
    bool m_active = false;
    bool m_hovered = false;
    bool m_focusMark = false;
    bool m_dark = false;
};
