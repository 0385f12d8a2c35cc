#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QRectF>
#include <QStringView>
#include <span>

class QPainter;

// Symbol images by the names the pages use ("photo", "square.on.square"),
// drawn as glyphs of the Material Icons font.
namespace Symbols {

struct Glyph
{
    const char *name;     // the name pages ask for
    const char *material; // the Material icon drawn for it (also its ligature)
    char32_t codepoint;
};

// Every known name, sorted by name.
std::span<const Glyph> table();
// Nothing for an unknown name.
const Glyph *find(QStringView name);

// Side of the square a symbol of `points` occupies. A Material glyph's drawing
// fills 5/6 of its square, so the square is a little larger than `points` to
// draw the symbol as large as a symbol image of that size appears.
qreal boxSize(qreal points);
QFont font(qreal points);

// Draws the symbol centred in `box`, tinted `color`. The font has one weight:
// weights from semibold up are drawn with a thin outline in the same colour;
// lighter weights are drawn as designed. An unknown name draws nothing.
void draw(QPainter &painter, const QRectF &box, QStringView name, qreal points, const QColor &color,
          QFont::Weight weight = QFont::Normal);
// The symbol on a transparent square of boxSize(points), for icons of actions and menus.
QPixmap pixmap(QStringView name, qreal points, const QColor &color, qreal devicePixelRatio = 1.0);

} // namespace Symbols
