#pragma once

#include "homerules.h"
#include "model/kind.h"

#include <array>
#include <optional>
#include <QList>
#include <QRectF>
#include <QWidget>

class AppState;
class Library;
class QVariantAnimation;

// How the catalog's bytes divide between the kinds: a capsule of coloured
// segments, one per kind that takes space, over a legend of the same kinds
// with their sizes. Pointing at a segment dims the others and its legend
// entries; clicking it shows the kind.
class StorageBar final : public QWidget
{
    Q_OBJECT

public:
    static constexpr qreal kBarHeight = 12;

    StorageBar(AppState &state, Library &library, QWidget *parent = nullptr);
    ~StorageBar() override;

    const std::optional<Kind> &hovered() const { return m_hovered; }
    // The segments across the current width, in widget coordinates.
    const QList<HomeRules::Segment> &segments() const { return m_segments; }
    // Empty when the kind has no segment.
    QRectF segmentRect(Kind kind) const;
    // "Images · 18.2 GB".
    static QString tooltip(Kind kind, qint64 bytes);
    // What clicking a segment does: shows the kind.
    void openKind(Kind kind);
    // How strongly a kind's segment is drawn now, 0.35…1, while the dimming animates.
    qreal segmentOpacity(Kind kind) const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    struct LegendItem
    {
        Kind kind = Kind::other;
        QString title;
        QString size;
        QRectF rect;
    };
    void refresh();
    void relayout();
    QList<LegendItem> legendFor(qreal width, qreal *height) const;
    std::optional<Kind> kindAt(const QPointF &point) const;
    void setHovered(std::optional<Kind> kind);

    AppState &m_state;
    Library &m_library;
    QList<HomeRules::Segment> m_segments;
    QList<LegendItem> m_legend;
    std::optional<Kind> m_hovered;
    std::optional<Kind> m_pressed;
    // Per kind, how far it is dimmed (0 not at all, 1 fully), animated from
    // m_dimFrom to m_dimTo.
    std::array<qreal, 7> m_dim{};
    std::array<qreal, 7> m_dimFrom{};
    std::array<qreal, 7> m_dimTo{};
    QVariantAnimation *m_fade;
    bool m_dark = false;
};
