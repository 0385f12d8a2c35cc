#pragma once

#include <functional>
#include <optional>
#include <QString>
#include <QWidget>

class QAbstractButton;

// A section's title row: the title, an optional count pill on the accent, and
// at the far end an optional link ("See all →") that runs `action`. The link
// shows only when it has both a title and an action.
class SectionHeader final : public QWidget
{
    Q_OBJECT

public:
    explicit SectionHeader(const QString &title, std::optional<QString> pill = std::nullopt,
                           std::optional<QString> linkTitle = std::nullopt,
                           std::function<void()> action = {}, QWidget *parent = nullptr);

    void setTitle(const QString &title);
    void setPill(std::optional<QString> pill);
    void setLink(std::optional<QString> linkTitle, std::function<void()> action);

    QString title() const { return m_title; }
    const std::optional<QString> &pill() const { return m_pill; }
    // The link button, or null while no link is shown.
    QAbstractButton *link() const { return m_link; }
    // Where the title and the pill are drawn.
    QRectF titleRect() const;
    QRectF pillRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QSizeF pillSize() const;
    qreal rowHeight() const;
    void rebuildLink();
    void placeLink();

    QString m_title;
    std::optional<QString> m_pill;
    std::optional<QString> m_linkTitle;
    std::function<void()> m_action;
    QAbstractButton *m_link = nullptr;
    bool m_dark = false;
};
