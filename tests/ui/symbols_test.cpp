#include "model/kind.h"
#include "theme/fonts.h"
#include "theme/symbols.h"

#include <gtest/gtest.h>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QTextLayout>

namespace {

// Every symbol name a page, sidebar row, chip, clean-up card, button or panel asks for.
const char *const kNamesInUse[] = {
    // kinds
    "photo",
    "play.rectangle",
    "music.note",
    "doc.text",
    "archivebox",
    "square.grid.2x2",
    "doc",
    // search chips
    "square.stack",
    "calendar",
    "scalemass",
    "arrow.down.circle",
    "camera",
    "text.magnifyingglass",
    // clean-up cards
    "square.on.square",
    "shippingbox",
    "camera.viewfinder",
    "film",
    "app.dashed",
    // sidebar and file-list pages
    "house",
    "clock",
    "externaldrive",
    "sparkles",
    "folder",
    "plus",
    "tray",
    "cursorarrow.click",
    // top bar, search page and chip bar
    "magnifyingglass",
    "xmark.circle.fill",
    "arrow.up.arrow.down",
    "list.bullet",
    "arrow.clockwise",
    "sidebar.right",
    "sparkle",
    "xmark",
    // home, clean-up review, duplicates, section headers, cards and the downloads list
    "binoculars",
    "chevron.right",
    "chevron.left",
    "arrow.right",
    "checkmark.shield",
    "trash",
    "checkmark.circle.fill",
    "circle",
    "text.viewfinder",
    "tray.and.arrow.down.fill",
};

quint32 glyphForLigature(const QFont &font, const QString &ligature)
{
    QTextLayout layout(ligature, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    if (runs.size() != 1 || runs.constFirst().glyphIndexes().size() != 1)
        return 0;
    return runs.constFirst().glyphIndexes().constFirst();
}

int pixelsOf(const QImage &image, QRgb rgb)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() > 0 && (c.rgb() & 0xFFFFFF) == (rgb & 0xFFFFFF))
                ++n;
        }
    return n;
}

} // namespace

TEST(Symbols, EveryNameInUseHasAGlyphTheFontContains)
{
    const QFont font = Symbols::font(16);
    const QRawFont raw = QRawFont::fromFont(font);
    ASSERT_TRUE(raw.isValid());
    ASSERT_EQ(raw.familyName(), QString::fromLatin1(Fonts::kSymbols));
    for (const char *name : kNamesInUse) {
        SCOPED_TRACE(name);
        const Symbols::Glyph *glyph = Symbols::find(QString::fromLatin1(name));
        ASSERT_NE(glyph, nullptr);
        ASSERT_TRUE(raw.supportsCharacter(glyph->codepoint));
        const QList<quint32> indexes =
            raw.glyphIndexesForString(QString::fromUcs4(&glyph->codepoint, 1));
        ASSERT_EQ(indexes.size(), 1);
        EXPECT_FALSE(raw.pathForGlyph(indexes.constFirst()).isEmpty());
        // The code point is the one of the icon the table names: the font's
        // ligature for that icon name draws the same glyph.
        EXPECT_EQ(glyphForLigature(font, QString::fromLatin1(glyph->material)),
                  indexes.constFirst())
            << glyph->material;
    }
}

TEST(Symbols, KindSymbolsAndTheWholeTableResolve)
{
    for (Kind kind : Kinds::all)
        EXPECT_NE(Symbols::find(Kinds::symbol(kind)), nullptr) << Kinds::symbol(kind).toStdString();
    for (const Symbols::Glyph &glyph : Symbols::table())
        EXPECT_EQ(Symbols::find(QString::fromLatin1(glyph.name)), &glyph) << glyph.name;
    EXPECT_EQ(Symbols::find(u"no.such.symbol"), nullptr);
    EXPECT_EQ(Symbols::find(u""), nullptr);
    EXPECT_EQ(Symbols::find(u"photo.fill"), nullptr);
}

TEST(Symbols, DrawsTintedAtItsSizeAndNothingForAnUnknownName)
{
    const QColor tint(0xF0764B);
    const QPixmap drawn = Symbols::pixmap(u"photo", 30, tint, 2.0);
    EXPECT_EQ(drawn.width(), 72); // 30 points × 1.2 × device pixel ratio 2
    const QImage image = drawn.toImage();
    EXPECT_GT(pixelsOf(image, tint.rgb()), 200);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() == 255) {
                ASSERT_EQ(c.rgb() & 0xFFFFFF, tint.rgb() & 0xFFFFFF) << x << "," << y;
            }
        }

    QImage blank(40, 40, QImage::Format_ARGB32_Premultiplied);
    blank.fill(Qt::transparent);
    {
        QPainter p(&blank);
        Symbols::draw(p, QRectF(0, 0, 40, 40), u"no.such.symbol", 30, Qt::black);
    }
    EXPECT_EQ(pixelsOf(blank, 0x000000), 0);
}

TEST(Symbols, HeavierWeightsInkMore)
{
    auto inked = [](QFont::Weight weight) {
        QImage image(40, 40, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter p(&image);
            Symbols::draw(p, QRectF(0, 0, 40, 40), u"xmark", 20, Qt::black, weight);
        }
        int sum = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                sum += qAlpha(image.pixel(x, y));
        return sum;
    };
    const int regular = inked(QFont::Normal);
    EXPECT_GT(regular, 0);
    EXPECT_EQ(inked(QFont::Light), regular);
    EXPECT_GT(inked(QFont::DemiBold), regular);
    EXPECT_GT(inked(QFont::Bold), inked(QFont::DemiBold));
}
