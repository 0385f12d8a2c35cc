#include "symbols.h"

#include "fonts.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace {

// Sorted by name for the binary search in find().
constexpr Symbols::Glyph kTable[] = {
    {"app.dashed", "select_all", 0xe162},
    {"archivebox", "archive", 0xe149},
    {"arrow.clockwise", "refresh", 0xe5d5},
    {"arrow.down.circle", "arrow_circle_down", 0xf181},
    {"arrow.right", "arrow_forward", 0xe5c8},
    {"arrow.up.arrow.down", "swap_vert", 0xe8d5},
    {"binoculars", "travel_explore", 0xe2db},
    {"calendar", "calendar_today", 0xe935},
    {"camera", "photo_camera", 0xe412},
    {"camera.viewfinder", "center_focus_strong", 0xe3b4},
    {"checkmark.circle.fill", "check_circle", 0xe86c},
    {"checkmark.shield", "verified_user", 0xe8e8},
    {"chevron.left", "chevron_left", 0xe5cb},
    {"chevron.right", "chevron_right", 0xe5cc},
    {"circle", "radio_button_unchecked", 0xe836},
    {"clock", "schedule", 0xe8b5},
    {"cursorarrow.click", "ads_click", 0xe762},
    {"doc", "insert_drive_file", 0xe24d},
    {"doc.text", "description", 0xe873},
    {"externaldrive", "storage", 0xe1db},
    {"film", "movie", 0xe02c},
    {"folder", "folder", 0xe2c7},
    {"house", "home", 0xe88a},
    {"list.bullet", "format_list_bulleted", 0xe241},
    {"magnifyingglass", "search", 0xe8b6},
    {"music.note", "music_note", 0xe405},
    {"photo", "photo", 0xe410},
    {"play.rectangle", "smart_display", 0xf06a},
    {"plus", "add", 0xe145},
    {"scalemass", "monitor_weight", 0xf039},
    {"shippingbox", "inventory_2", 0xe1a1},
    {"sidebar.right", "view_sidebar", 0xf114},
    {"sparkle", "auto_awesome", 0xe65f},
    {"sparkles", "auto_awesome", 0xe65f},
    {"square.grid.2x2", "grid_view", 0xe9b0},
    {"square.on.square", "filter_none", 0xe3e0},
    {"square.stack", "auto_awesome_motion", 0xe661},
    {"text.magnifyingglass", "manage_search", 0xf02f},
    {"text.viewfinder", "document_scanner", 0xe5fa},
    {"trash", "delete_outline", 0xe92e},
    {"tray", "inbox", 0xe156},
    {"tray.and.arrow.down.fill", "move_to_inbox", 0xe168},
    {"xmark", "close", 0xe5cd},
    {"xmark.circle.fill", "cancel", 0xe5c9},
};

constexpr bool sortedByName()
{
    for (std::size_t i = 1; i < std::size(kTable); ++i)
        if (std::string_view(kTable[i - 1].name) >= std::string_view(kTable[i].name))
            return false;
    return true;
}
static_assert(sortedByName());

constexpr qreal kBoxPerPoint = 1.2;

// The outline width, as a share of the square, that stands in for heavier weights.
qreal emboldening(QFont::Weight weight)
{
    if (weight >= QFont::Bold)
        return 0.06;
    if (weight >= QFont::DemiBold)
        return 0.035;
    return 0.0;
}

} // namespace

namespace Symbols {

std::span<const Glyph> table()
{
    return kTable;
}

const Glyph *find(QStringView name)
{
    const QByteArray key = name.toLatin1();
    const auto *end = std::end(kTable);
    const auto *it =
        std::lower_bound(std::begin(kTable), end, key, [](const Glyph &g, const QByteArray &k) {
            return std::strcmp(g.name, k.constData()) < 0;
        });
    if (it == end || key != it->name)
        return nullptr;
    return it;
}

qreal boxSize(qreal points)
{
    return points * kBoxPerPoint;
}

QFont font(qreal points)
{
    QFont f = Fonts::sized(QString::fromLatin1(Fonts::kSymbols), boxSize(points));
    // Ligatures would turn nothing here (code points are drawn), but kerning
    // and fallback fonts must never move or replace a glyph.
    f.setKerning(false);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoFontMerging));
    return f;
}

void draw(QPainter &painter, const QRectF &box, QStringView name, qreal points, const QColor &color,
          QFont::Weight weight)
{
    const Glyph *glyph = find(name);
    if (!glyph)
        return;
    const qreal side = boxSize(points);
    const QRectF square(box.center().x() - side / 2, box.center().y() - side / 2, side, side);
    const QFont f = font(points);
    const QString text = QString::fromUcs4(&glyph->codepoint, 1);
    painter.save();
    const qreal outline = emboldening(weight) * side;
    if (outline > 0) {
        QPainterPath path;
        // The font's single line is the square: its ascent is the full side and
        // there is no descent.
        path.addText(QPointF(square.left(), square.top() + QFontMetricsF(f).ascent()), f, text);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(path, color);
        painter.strokePath(path, QPen(color, outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    } else {
        painter.setFont(f);
        painter.setPen(color);
        painter.drawText(square, Qt::AlignCenter, text);
    }
    painter.restore();
}

QPixmap pixmap(QStringView name, qreal points, const QColor &color, qreal devicePixelRatio)
{
    const qreal side = boxSize(points);
    const int pixels = int(std::ceil(side * devicePixelRatio));
    QPixmap out(pixels, pixels);
    out.setDevicePixelRatio(devicePixelRatio);
    out.fill(Qt::transparent);
    QPainter painter(&out);
    draw(painter, QRectF(0, 0, side, side), name, points, color);
    return out;
}

} // namespace Symbols
