#include "components/emptystate.h"
#include "components/kindtag.h"
#include "components/pageheader.h"
#include "components/pillbutton.h"
#include "components/sectionheader.h"
#include "theme/appearance.h"
#include "theme/symbols.h"
#include "theme/theme.h"

#include <cmath>
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QEnterEvent>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

namespace {

class ComponentsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Appearance::shared().setForcedDark(false);
        Appearance::shared().setPortalPreference(2u);
    }
    void TearDown() override
    {
        Appearance::shared().setForcedDark(false);
        Appearance::shared().setPortalPreference(std::nullopt);
    }
};

int up(qreal v)
{
    return int(std::ceil(v));
}

QRgb opaque(const QColor &c)
{
    return c.rgb() & 0xFFFFFFu;
}

bool hasColourNear(const QImage &image, const QRectF &area, const QColor &want, int tolerance)
{
    const QRect r = area.toAlignedRect().intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - want.red()) <= tolerance &&
                std::abs(c.green() - want.green()) <= tolerance &&
                std::abs(c.blue() - want.blue()) <= tolerance)
                return true;
        }
    return false;
}

FileItem item(const QByteArray &path, const QString &ext, Kind kind)
{
    FileItem::Fields f;
    f.path = path;
    f.ext = ext;
    f.kind = kind;
    return FileItem(f);
}

} // namespace

TEST_F(ComponentsTest, PillMeasurements)
{
    const QFontMetricsF fm(Theme::font(12.5, QFont::DemiBold));
    const qreal box = Symbols::boxSize(12.5);

    PillButton plain(QStringLiteral("Select None"));
    EXPECT_EQ(plain.sizeHint(),
              QSize(up(fm.horizontalAdvance("Select None") + 26), up(fm.height() + 14)));
    EXPECT_TRUE(plain.symbolRect().isEmpty());

    PillButton trash(QStringLiteral("Trash All"), QStringLiteral("trash"), true);
    EXPECT_EQ(trash.sizeHint(), QSize(up(box + 6 + fm.horizontalAdvance("Trash All") + 26),
                                      up(std::max(fm.height(), box) + 14)));
    trash.resize(trash.sizeHint());
    EXPECT_LT(trash.symbolRect().right(), trash.titleRect().left());
    EXPECT_NEAR(trash.titleRect().left() - trash.symbolRect().right(), 6.0, 1e-9);
    EXPECT_NEAR(trash.symbolRect().left(), 13.0, 0.5);
    EXPECT_NEAR(trash.width() - trash.titleRect().right(), 13.0, 1.0);
    EXPECT_EQ(trash.property("firstBaseline").toInt(), trash.firstBaseline());
}

TEST_F(ComponentsTest, PillColoursForEachVariant)
{
    const struct
    {
        bool prominent, danger, dark;
        QRgb text, fill;
        bool outlined;
    } cases[] = {
        {false, false, false, 0x111827, 0xFFFFFF, true},
        {false, true, false, 0xD4412B, 0xFFFFFF, true},
        {true, false, false, 0xFFFFFF, 0x2F7BEA, false},
        {true, true, false, 0xFFFFFF, 0xD4412B, false},
        {false, false, true, 0xF2F4F8, 0x1D2027, true},
        {false, true, true, 0xFF6B57, 0x1D2027, true},
        {true, false, true, 0xFFFFFF, 0x4C8FF5, false},
        {true, true, true, 0xFFFFFF, 0xFF6B57, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.prominent << c.danger << c.dark);
        Appearance::shared().setForcedDark(c.dark);
        PillButton pill(QStringLiteral("Keep 1, Trash 2"), std::nullopt, c.prominent, c.danger);
        pill.resize(pill.sizeHint());
        const QImage image = pill.grab().toImage();
        const int mid = pill.height() / 2;
        EXPECT_EQ(opaque(image.pixelColor(6, mid)), c.fill);
        EXPECT_TRUE(hasColourNear(image, pill.titleRect(), QColor(c.text), 24));
        // The top edge at the middle is the outline on a plain pill, the fill on a prominent one.
        const QColor edge = image.pixelColor(pill.width() / 2, 0);
        EXPECT_EQ(opaque(edge) == c.fill, !c.outlined);
    }
}

TEST_F(ComponentsTest, PillHoverShadesAndOnlyTheCapsuleClicks)
{
    PillButton pill(QStringLiteral("Select All"));
    pill.resize(pill.sizeHint());
    pill.show();
    const QPoint fill(6, pill.height() / 2);
    const QColor idle = pill.grab().toImage().pixelColor(fill);
    const QPointF at(fill);
    QEnterEvent enter(at, at, at);
    QApplication::sendEvent(&pill, &enter);
    const QColor hovered = pill.grab().toImage().pixelColor(fill);
    EXPECT_NE(opaque(hovered), opaque(idle));
    EXPECT_LT(hovered.lightness(), idle.lightness());

    QSignalSpy clicks(&pill, &QAbstractButton::clicked);
    QTest::mouseClick(&pill, Qt::LeftButton, {}, QPoint(1, 1)); // outside the round end
    EXPECT_EQ(clicks.count(), 0);
    QTest::mouseClick(&pill, Qt::LeftButton, {}, pill.rect().center());
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(ComponentsTest, SectionHeaderShowsALinkOnlyWithTitleAndAction)
{
    int calls = 0;
    const auto action = [&calls] { ++calls; };
    const struct
    {
        std::optional<QString> link;
        bool withAction;
        bool shown;
    } cases[] = {
        {std::nullopt, false, false},
        {std::nullopt, true, false},
        {QStringLiteral("See all"), false, false},
        {QStringLiteral("See all"), true, true},
    };
    for (const auto &c : cases) {
        SectionHeader header(QStringLiteral("Recent"), std::nullopt, c.link,
                             c.withAction ? std::function<void()>(action)
                                          : std::function<void()>());
        EXPECT_EQ(header.link() != nullptr, c.shown);
    }

    SectionHeader header(QStringLiteral("Recent"), QStringLiteral("12"), QStringLiteral("See all"),
                         action);
    header.resize(500, header.sizeHint().height());
    header.show();
    ASSERT_NE(header.link(), nullptr);
    EXPECT_EQ(header.link()->geometry().right(), 499);
    QTest::mouseClick(header.link(), Qt::LeftButton);
    EXPECT_EQ(calls, 1);

    const QFontMetricsF title(Theme::font(17, QFont::DemiBold, Theme::Design::rounded));
    const QFontMetricsF pill(Theme::font(11, QFont::DemiBold));
    EXPECT_NEAR(header.pillRect().width(), pill.horizontalAdvance("12") + 16, 1e-9);
    EXPECT_NEAR(header.pillRect().height(), pill.height() + 6, 1e-9);
    EXPECT_NEAR(header.pillRect().left() - header.titleRect().right(), 8, 1e-9);
    EXPECT_EQ(header.sizeHint().height(),
              up(std::max(title.height(), header.link()->sizeHint().height() * 1.0)));
}

TEST_F(ComponentsTest, PageHeaderStacksTitleAndSubtitleAndAlignsTrailing)
{
    PageHeader header(QStringLiteral("Screenshots"), QStringLiteral("4,203 screenshots · 1.2 GB"));
    const QFontMetricsF title(Theme::font(26, QFont::DemiBold, Theme::Design::rounded));
    const QFontMetricsF subtitle(Theme::font(13));
    EXPECT_EQ(header.sizeHint().height(), up(title.height() + 4 + subtitle.height()));

    auto *button = new PillButton(QStringLiteral("Trash All"), QStringLiteral("trash"), true);
    header.setTrailing(button);
    header.resize(600, header.sizeHint().height());
    header.show();
    EXPECT_NEAR(header.subtitleRect().top() - header.titleRect().bottom(), 4, 1e-9);
    EXPECT_EQ(button->geometry().right(), 599);
    EXPECT_NEAR(button->y() + button->firstBaseline(), header.titleRect().top() + title.ascent(),
                1.0);

    header.resize(200, header.height());
    EXPECT_LE(header.titleRect().right(), 200 - button->width() - 12 + 1e-9);
    EXPECT_GE(header.minimumSizeHint().width(), button->width() + 12);
}

TEST_F(ComponentsTest, EmptyStateColumn)
{
    EmptyState empty(QStringLiteral("tray"), QStringLiteral("Nothing here yet"),
                     QStringLiteral("Files will show up here as they arrive."));
    const QFontMetricsF title(Theme::font(16, QFont::DemiBold, Theme::Design::rounded));
    const QFontMetricsF detail(Theme::font(13));
    const int wide = 800;
    EXPECT_EQ(empty.heightForWidth(wide),
              up(70 + Symbols::boxSize(30) + 10 + title.height() + 10 + detail.height() + 70));
    // A narrow column wraps the detail onto more lines.
    EXPECT_GT(empty.heightForWidth(120), empty.heightForWidth(wide) + detail.height() - 1);

    empty.resize(wide, empty.heightForWidth(wide));
    EXPECT_NEAR(empty.symbolRect().top(), 70, 1e-9);
    EXPECT_NEAR(empty.symbolRect().center().x(), wide / 2.0, 1e-9);
    EXPECT_NEAR(empty.titleRect().top() - empty.symbolRect().bottom(), 10, 1e-9);
    EXPECT_NEAR(empty.detailRect().top() - empty.titleRect().bottom(), 10, 1e-9);
    EXPECT_NEAR(empty.height() - empty.detailRect().bottom(), 70, 1.0);
}

TEST_F(ComponentsTest, KindTagLabelsAndMeasurements)
{
    const struct
    {
        FileItem file;
        const char *label;
    } cases[] = {
        {item("/d/Report.pdf", "pdf", Kind::document), "PDF"},
        {item("/p/IMG_0001.jpg", "jpg", Kind::image), "JPG"},
        {item("/src/Makefile", "", Kind::other), "OTHER"},
        {item("/d/README", "", Kind::document), "DOCUMENTS"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(KindTag::label(c.file), QString::fromLatin1(c.label));

    const QFontMetricsF fm(Theme::font(9.5, QFont::DemiBold, Theme::Design::monospaced));
    const QSizeF size = KindTag::measure(QStringLiteral("OTHER"));
    EXPECT_NEAR(size.width(), 6 + 6 + 5 + fm.horizontalAdvance("OTHER") + 6, 1e-9);
    EXPECT_NEAR(size.height(), fm.height() + 6, 1e-9);

    KindTag tag(item("/src/Makefile", "", Kind::other));
    EXPECT_EQ(tag.text(), "OTHER");
    EXPECT_EQ(tag.sizeHint(), QSize(up(size.width()), up(size.height())));
    const QImage light = tag.grab().toImage();
    const QPoint dot(6 + 3, tag.height() / 2);
    EXPECT_EQ(opaque(light.pixelColor(dot)), 0x8C887Fu);
    Appearance::shared().setForcedDark(true);
    EXPECT_EQ(opaque(tag.grab().toImage().pixelColor(dot)), 0x9A968Du);
}
