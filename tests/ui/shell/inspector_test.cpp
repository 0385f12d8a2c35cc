// The inspector: its detail rows and dates, the file it follows, and copying the text of a picture.
#include "shell/inspector.h"
#include "shell/inspectordetails.h"
#include "shellcatalog.h"

#include "files/thumbs.h"
#include "state/appstate.h"
#include "state/trasher.h"
#include "tempdir.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QLocale>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

using ShellCatalog::file;
using ShellCatalog::kNow;

namespace {

constexpr Millis kWeek = 7LL * 86'400'000;

const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
const QTimeZone kNewYork("America/New_York");

FileItem record(const QByteArray &path, Kind kind, qint64 size, std::optional<QString> source = std::nullopt,
                std::optional<Millis> lastUsed = std::nullopt, bool cloudOnly = false)
{
    FileItem::Fields f;
    f.path = path;
    f.ext = lowerExtension(QFile::decodeName(path.mid(path.lastIndexOf('/') + 1)));
    f.kind = kind;
    f.size = size;
    f.added = kNow;                  // 09:12 in New York
    f.modified = kNow - 2 * kWeek;   // Feb 18, same hour
    f.source = std::move(source);
    f.lastUsed = lastUsed;
    f.isCloudOnly = cloudOnly;
    return FileItem(f);
}

QStringList keys(const QList<InspectorDetails::Row> &rows)
{
    QStringList out;
    for (const InspectorDetails::Row &row : rows)
        out.append(row.key);
    return out;
}

QString valueOf(const QList<InspectorDetails::Row> &rows, const QString &key)
{
    for (const InspectorDetails::Row &row : rows)
        if (row.key == key)
            return row.value;
    return QStringLiteral("(none)");
}

class InspectorTest : public ::testing::Test
{
protected:
    void SetUp() override { QLocale::setDefault(kEnglish); }
};

} // namespace

TEST_F(InspectorTest, DetailRows)
{
    struct Case
    {
        const char *name;
        FileItem item;
        QStringList keys;
        QString kind;
        QString size;
        QString where;
    };
    const QList<Case> cases = {
        {"no extension", record("/home/ana/Documents/README", Kind::document, 0),
         {"Kind", "Size", "Where", "Added", "Modified"}, "Documents", "Zero KB", "~/Documents"},
        {"downloaded and opened", record("/home/ana/Downloads/report.pdf", Kind::document, 2400,
                                         QStringLiteral("example.com"), kNow - 3 * kWeek),
         {"Kind", "Size", "Where", "From", "Added", "Modified", "Last opened"}, "PDF", "2 KB", "~/Downloads"},
        {"in the home folder itself, not downloaded", record("/home/ana/notes.txt", Kind::document, 1, {}, {}, true),
         {"Kind", "Size", "Where", "Added", "Modified", "iCloud"}, "TXT", "1 byte", "~"},
        {"outside the home folder", record("/srv/share/a.png", Kind::image, 1000), {"Kind", "Size", "Where", "Added", "Modified"},
         "PNG", "1 KB", "/srv/share"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QList<InspectorDetails::Row> rows =
            InspectorDetails::rows(c.item, kNow, QStringLiteral("/home/ana"), kEnglish, kNewYork);
        EXPECT_EQ(keys(rows), c.keys);
        EXPECT_EQ(valueOf(rows, QStringLiteral("Kind")), c.kind);
        EXPECT_EQ(valueOf(rows, QStringLiteral("Size")), c.size);
        EXPECT_EQ(valueOf(rows, QStringLiteral("Where")), c.where);
    }
    const QList<InspectorDetails::Row> downloaded =
        InspectorDetails::rows(cases[1].item, kNow, QStringLiteral("/home/ana"), kEnglish, kNewYork);
    EXPECT_EQ(valueOf(downloaded, QStringLiteral("From")), QStringLiteral("example.com"));
    EXPECT_EQ(valueOf(downloaded, QStringLiteral("Last opened")), QStringLiteral("3 weeks ago"));
    EXPECT_EQ(valueOf(downloaded, QStringLiteral("iCloud")), QStringLiteral("(none)"));
}

TEST_F(InspectorTest, DatesAreAbbreviatedWithAShortTime)
{
    // Spaces may be the narrow no-break kind some locale data puts before "AM".
    auto plain = [](QString text) { return text.replace(QChar(0x202F), u' ').replace(QChar(0x00A0), u' '); };
    EXPECT_EQ(plain(InspectorDetails::date(kNow, kEnglish, kNewYork)), QStringLiteral("Mar 4, 2025 at 9:12 AM"));
    EXPECT_EQ(plain(InspectorDetails::date(kNow + 6 * 3'600'000, kEnglish, kNewYork)),
              QStringLiteral("Mar 4, 2025 at 3:12 PM"));
    // A session without a configured locale reads like US English, not in seconds.
    EXPECT_EQ(plain(InspectorDetails::date(kNow, QLocale::c(), kNewYork)), QStringLiteral("Mar 4, 2025 at 9:12 AM"));
    const QString german = plain(InspectorDetails::date(kNow, QLocale(QLocale::German, QLocale::Germany),
                                                        QTimeZone("Europe/Berlin")));
    EXPECT_TRUE(german.startsWith(QStringLiteral("4. März 2025, 15:12")) ||
                german.startsWith(QStringLiteral("4. Mär. 2025, 15:12")))
        << german.toStdString();
}

TEST_F(InspectorTest, SubjectsAreTheFirstEight)
{
    EXPECT_EQ(InspectorDetails::subjects({}), QString());
    EXPECT_EQ(InspectorDetails::subjects({"cat", "sofa"}), QStringLiteral("cat · sofa"));
    EXPECT_EQ(InspectorDetails::subjects({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}),
              QStringLiteral("1 · 2 · 3 · 4 · 5 · 6 · 7 · 8"));
}

TEST_F(InspectorTest, FollowsTheAnchorAndCopiesTheTextOfAPicture)
{
    // The toast's owner is the process's Trasher; keep its settings out of the user's.
    QStandardPaths::setTestModeEnabled(true);
    TempTree tree;
    AppState state;
    Thumbs thumbs;
    const FileItem picture = record(tree.path("receipt.png"), Kind::image, 5000);
    const FileItem other = record(tree.path("notes.txt"), Kind::document, 10);
    auto library = ShellCatalog::make(tree.path(), {});
    Inspector inspector(state, *library, thumbs);
    inspector.resize(Inspector::kWidth, 900);
    inspector.show();

    EXPECT_FALSE(inspector.file());
    state.setVisible({other, picture});
    state.setAnchor(picture.path());
    ASSERT_TRUE(inspector.file());
    EXPECT_EQ(inspector.file()->path(), picture.path());
    EXPECT_EQ(keys(inspector.rows()), (QStringList{"Kind", "Size", "Where", "Added", "Modified"}));
    EXPECT_TRUE(inspector.text().isEmpty());
    EXPECT_FALSE(inspector.copyButton()->isVisible());

    const QString text = QStringLiteral("TOTAL  42,00\nThank you ✓");
    library->setOcr({{picture.path(), text}});
    library->setSubjects({{picture.path(), {"document", "receipt"}}});
    EXPECT_EQ(inspector.subjectsLine(), QStringLiteral("document · receipt"));
    ASSERT_TRUE(inspector.copyButton()->isVisible());
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    QTest::mouseClick(inspector.copyButton(), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), text);
    EXPECT_EQ(Trasher::shared().message(), std::optional<QString>(QStringLiteral("Copied text")));
    EXPECT_FALSE(Trasher::shared().canUndo());

    // An anchor that leaves the page's files empties the column.
    state.setVisible({other});
    EXPECT_FALSE(inspector.file());
    EXPECT_TRUE(inspector.rows().isEmpty());
}
