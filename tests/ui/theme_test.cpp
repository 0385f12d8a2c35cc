#include "components/pillbutton.h"
#include "theme/appearance.h"
#include "theme/colorschemeportal.h"
#include "theme/theme.h"

#include <cmath>
#include <gtest/gtest.h>
#include <QApplication>
#include <QDBusVariant>
#include <QFontInfo>
#include <QImage>
#include <QPalette>
#include <QScreen>
#include <QSignalSpy>

namespace {

// Puts the shared appearance back to light, with no portal and a light palette.
class AppearanceTest : public ::testing::Test
{
protected:
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }

    static void reset()
    {
        QApplication::setPalette(QPalette(QColor(0xEFEFEF)));
        Appearance::shared().setPortalPreference(std::nullopt);
        Appearance::shared().setForcedDark(false);
    }
    static QPalette darkPalette()
    {
        QPalette p(QColor(0x2A2A2A));
        p.setColor(QPalette::Window, QColor(0x202020));
        p.setColor(QPalette::WindowText, QColor(0xF0F0F0));
        return p;
    }
};

QRgb opaque(const QColor &c)
{
    return c.rgb() & 0xFFFFFFu;
}

} // namespace

TEST(ThemeColors, EveryNamedColourHasItsLightAndDarkValue)
{
    const struct
    {
        const char *name;
        quint32 light, dark;
        double lightAlpha, darkAlpha;
    } expected[] = {
        {"bg", 0xF8F9FB, 0x111318, 1, 1},           {"sidebar", 0xF0F2F6, 0x16181E, 1, 1},
        {"surface", 0xFFFFFF, 0x1D2027, 1, 1},      {"well", 0xECEFF4, 0x262A33, 1, 1},
        {"line", 0x0F172A, 0xFFFFFF, 0.09, 0.10},   {"ink", 0x111827, 0xF2F4F8, 1, 1},
        {"ink2", 0x4B5563, 0xB4BAC6, 1, 1},         {"ink3", 0x8A93A3, 0x7B8494, 1, 1},
        {"marker", 0x2F7BEA, 0x4C8FF5, 1, 1},       {"markerInk", 0xFFFFFF, 0xFFFFFF, 1, 1},
        {"active", 0x2F7BEA, 0x4C8FF5, 0.14, 0.26}, {"ring", 0x2F7BEA, 0x6BA4FF, 1, 1},
        {"danger", 0xD4412B, 0xFF6B57, 1, 1},       {"good", 0x1F9D6B, 0x45C992, 1, 1},
    };
    const auto named = Theme::named();
    ASSERT_EQ(named.size(), std::size(expected));
    for (std::size_t i = 0; i < named.size(); ++i) {
        const auto &e = expected[i];
        SCOPED_TRACE(e.name);
        EXPECT_STREQ(named[i].name, e.name);
        const QColor light = named[i].color->resolve(false);
        const QColor dark = named[i].color->resolve(true);
        EXPECT_EQ(opaque(light), e.light);
        EXPECT_EQ(opaque(dark), e.dark);
        EXPECT_NEAR(light.alphaF(), e.lightAlpha, 0.5 / 255);
        EXPECT_NEAR(dark.alphaF(), e.darkAlpha, 0.5 / 255);
    }
}

TEST(ThemeColors, LineIsWhiteAtTenPercentInDarkAndSlateAtNineInLight)
{
    const QColor dark = Theme::line.resolve(true);
    EXPECT_EQ(QColor(dark.red(), dark.green(), dark.blue()), QColor(Qt::white));
    EXPECT_EQ(dark.alpha(), qRound(0.10 * 255));
    const QColor light = Theme::line.resolve(false);
    EXPECT_EQ(opaque(light), 0x0F172Au);
    EXPECT_EQ(light.alpha(), qRound(0.09 * 255));
}

TEST(ThemeColors, OpacityMultipliesBothAppearances)
{
    const ThemeColor tag = Theme::surface.withOpacity(0.92);
    EXPECT_EQ(tag.resolve(false).alpha(), qRound(0.92 * 255));
    EXPECT_EQ(opaque(tag.resolve(true)), 0x1D2027u);
    EXPECT_EQ(Theme::active.withOpacity(0.5).resolve(true).alpha(), qRound(0.13 * 255));
}

TEST(ThemeColors, KindAndCleanupAccents)
{
    const struct
    {
        Kind kind;
        quint32 light, dark;
    } kinds[] = {
        {Kind::image, 0xF0764B, 0xFF8E66},   {Kind::video, 0x7A6BF0, 0x9B8FFF},
        {Kind::music, 0xEA5A8C, 0xFF7AA6},   {Kind::document, 0x3D8FEF, 0x62A8FF},
        {Kind::archive, 0xD99A12, 0xF2B93B}, {Kind::app, 0x2FAE83, 0x4CCB9E},
        {Kind::other, 0x8C887F, 0x9A968D},
    };
    for (const auto &k : kinds) {
        SCOPED_TRACE(Kinds::rawValue(k.kind).toStdString());
        EXPECT_EQ(opaque(Theme::tint(k.kind).resolve(false)), k.light);
        EXPECT_EQ(opaque(Theme::tint(k.kind).resolve(true)), k.dark);
        EXPECT_EQ(Theme::tint(k.kind).resolve(true).alpha(), 255);
    }
    const struct
    {
        CleanupKind card;
        Kind reused;
    } cards[] = {
        {CleanupKind::duplicates, Kind::image},   {CleanupKind::downloads, Kind::document},
        {CleanupKind::installers, Kind::archive}, {CleanupKind::screenshots, Kind::music},
        {CleanupKind::videos, Kind::video},       {CleanupKind::apps, Kind::app},
    };
    for (const auto &c : cards)
        EXPECT_EQ(Theme::tint(c.card), Theme::tint(c.reused))
            << CleanupKinds::rawValue(c.card).toStdString();
}

TEST(ThemeFonts, FamiliesSizesAndWeights)
{
    const qreal dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchY();
    const struct
    {
        QFont font;
        const char *family;
        qreal pixels;
        int weight;
    } cases[] = {
        {Theme::font(12.5, QFont::DemiBold), "Inter", 12.5, QFont::DemiBold},
        {Theme::font(17, QFont::DemiBold, Theme::Design::rounded), "Inter", 17, QFont::DemiBold},
        {Theme::font(26, QFont::DemiBold, Theme::Design::rounded), "Inter Display", 26,
         QFont::DemiBold},
        {Theme::font(9.5, QFont::DemiBold, Theme::Design::monospaced), "JetBrains Mono", 9.5,
         QFont::DemiBold},
        {Theme::mono(), "JetBrains Mono", 11, QFont::Medium},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.family);
        const QFontInfo info(c.font);
        EXPECT_EQ(info.family(), QString::fromLatin1(c.family));
        EXPECT_NEAR(c.font.pointSizeF() * dpi / 72.0, c.pixels, 1e-6);
        EXPECT_EQ(info.weight(), c.weight);
    }
    EXPECT_TRUE(QFontInfo(Theme::mono()).fixedPitch());
}

TEST(ColorSchemePortal, DecodesTheValueInsideAnyVariants)
{
    const QVariant once = QVariant::fromValue(QDBusVariant(QVariant(uint(1))));
    const QVariant twice = QVariant::fromValue(QDBusVariant(once));
    const struct
    {
        const char *what;
        QVariant value;
        std::optional<uint> preference;
    } cases[] = {
        {"plain", QVariant(uint(2)), 2u},
        {"ReadOne", once, 1u},
        {"Read", twice, 1u},
        {"no preference", QVariant(uint(0)), 0u},
        {"out of range", QVariant(uint(7)), std::nullopt},
        {"text", QVariant(QStringLiteral("dark")), std::nullopt},
        {"empty", QVariant(), std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ColorSchemePortal::decode(c.value), c.preference) << c.what;
}

TEST_F(AppearanceTest, ForcedThenPortalThenPalette)
{
    const struct
    {
        bool forced;
        std::optional<uint> portal;
        bool darkPalette;
        bool dark;
    } cases[] = {
        {false, std::nullopt, false, false},
        {false, std::nullopt, true, true},
        {false, 0u, true, true},
        {false, 0u, false, false},
        {false, 1u, false, true},
        {false, 2u, true, false},
        {true, 2u, false, true},
        {true, std::nullopt, false, true},
    };
    Appearance &a = Appearance::shared();
    for (const auto &c : cases) {
        a.setForcedDark(c.forced);
        a.setPortalPreference(c.portal);
        QApplication::setPalette(c.darkPalette ? darkPalette() : QPalette(QColor(0xEFEFEF)));
        EXPECT_EQ(a.isDark(), c.dark)
            << c.forced << " " << c.portal.value_or(9) << " " << c.darkPalette;
    }
}

TEST_F(AppearanceTest, NotifiesOnlyOnChange)
{
    Appearance &a = Appearance::shared();
    QSignalSpy spy(&a, &Appearance::changed);
    a.setPortalPreference(2u); // light, as before
    EXPECT_EQ(spy.count(), 0);
    a.setPortalPreference(1u);
    a.setForcedDark(true); // dark already
    ASSERT_EQ(spy.count(), 1);
    EXPECT_TRUE(spy.at(0).at(0).toBool());
    a.setForcedDark(false);
    a.setPortalPreference(2u);
    ASSERT_EQ(spy.count(), 2);
    EXPECT_FALSE(spy.at(1).at(0).toBool());
}

TEST_F(AppearanceTest, ADesktopSwitchRedrawsAWidgetMadeInLight)
{
    PillButton button(QStringLiteral("Select All"));
    button.resize(button.sizeHint());
    const QPoint inside(6, button.height() / 2); // in the fill, left of the title
    EXPECT_EQ(opaque(button.grab().toImage().pixelColor(inside)), 0xFFFFFFu);

    Appearance::shared().setPortalPreference(1u);
    EXPECT_EQ(opaque(button.grab().toImage().pixelColor(inside)), 0x1D2027u);

    Appearance::shared().setPortalPreference(std::nullopt);
    QApplication::setPalette(darkPalette()); // the palette speaks when the portal does not
    EXPECT_EQ(opaque(button.grab().toImage().pixelColor(inside)), 0x1D2027u);
}
