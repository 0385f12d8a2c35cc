// The search page: its words, the two stages of a search, and the chips.
#include "windowtesting.h"

#include "records.h"
#include "tempdir.h"

#include "components/emptystate.h"
#include "components/pageheader.h"
#include "files/thumbs.h"
#include "pages/filespage.h"
#include "search/chipbar.h"
#include "search/filterchip.h"
#include "search/searchpage.h"
#include "search/searchtexts.h"
#include "state/appstate.h"

#include <QFutureWatcher>
#include <QLocale>
#include <QSemaphore>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <atomic>

namespace {

class English : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
};

} // namespace

using SearchTextsTest = English;

TEST_F(SearchTextsTest, CountAndSuffix)
{
    struct Case
    {
        qsizetype matches;
        bool looking;
        qint64 beyond;
        const char *subtitle;
    };
    const QList<Case> cases = {
        {1, false, 0, "1 match on your computer"},
        {0, false, 0, "0 matches on your computer"},
        {2, false, 0, "2 matches on your computer"},
        {1204, false, 0, "1,204 matches on your computer"},
        {5, false, 3, "5 matches · 3 outside your library folders"},
        {1, false, 1, "1 match · 1 outside your library folders"},
        {2000, false, 1204, "2,000 matches · 1,204 outside your library folders"},
        // While looking, the count of outside files is not known yet.
        {0, true, 0, "0 matches · still looking across your computer…"},
        {7, true, 4, "7 matches · still looking across your computer…"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(SearchTexts::subtitle(c.matches, c.looking, c.beyond), QString::fromUtf8(c.subtitle));
}

TEST_F(SearchTextsTest, TitleTrimsSpacesAndTabsOnly)
{
    struct Case
    {
        const char *query;
        const char *title;
    };
    const QList<Case> cases = {
        {"pdfs", "Results for “pdfs”"},
        {"  pdfs from last week \t", "Results for “pdfs from last week”"},
        {"\npdfs\n", "Results for “\npdfs\n”"},
        {"a  b", "Results for “a  b”"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(SearchTexts::title(QString::fromUtf8(c.query)), QString::fromUtf8(c.title));
}

TEST_F(SearchTextsTest, EmptyState)
{
    EXPECT_EQ(SearchTexts::emptySymbol(), QStringLiteral("magnifyingglass"));
    EXPECT_EQ(SearchTexts::emptyTitle(true), QString::fromUtf8("Looking…"));
    EXPECT_EQ(SearchTexts::emptyDetail(true),
              QStringLiteral("Checking the rest of your computer and inside your documents."));
    EXPECT_EQ(SearchTexts::emptyTitle(false), QStringLiteral("Nothing matched"));
    EXPECT_EQ(SearchTexts::emptyDetail(false),
              QString::fromUtf8("Try something like “pdfs from last week”, “images over 5 mb” or “screenshots with "
                                "invoice”, or remove a filter above."));
}

TEST(SearchPageKey, QueryThenSortedDroppedIds)
{
    EXPECT_EQ(SearchPage::keyFor(QStringLiteral("pdfs"), {}), QStringLiteral("pdfs|"));
    EXPECT_EQ(SearchPage::keyFor(QStringLiteral("pdfs "), {QStringLiteral("text:x"), QStringLiteral("date"),
                                                           QStringLiteral("kind")}),
              QStringLiteral("pdfs |date,kind,text:x"));
}

class SearchPageTest : public English
{
protected:
    void SetUp() override
    {
        outside = tree.file("elsewhere/invoice-outside.pdf", "%PDF-1.4");
        TestCatalog catalog;
        catalog.disk = {
            record("/home/ana/Documents/invoice-march.pdf", 4000, 1),
            record("/home/ana/Documents/invoice-photo.jpg", 9000, 2),
            record("/home/ana/Downloads/notes.txt", 100, 3),
            record("/home/ana/Documents/report.pdf", 7000, 4),
        };
        library = std::make_unique<Library>(catalog.environment());
        scanAndWait(*library);
        page = std::make_unique<SearchPage>(state, *library, thumbs);
        page->setClock([] { return TestCatalog::kNow; });
        page->setWideSearch([this](const Query &, int) {
            ++wideCalls;
            return QList<QByteArray>{outside, "/home/ana/Documents/report.pdf", tree.path("missing.pdf")};
        });
        page->resize(900, 700);
        page->show();
    }

    QStringList chipTexts() const
    {
        QStringList out;
        for (const FilterChip *chip : page->chipBar().chipButtons())
            out.append(chip->chip().label + (chip->isDropped() ? QStringLiteral(" (off)") : QString()));
        return out;
    }

    TempTree tree;
    QByteArray outside;
    AppState state;
    Thumbs thumbs;
    std::unique_ptr<Library> library;
    std::unique_ptr<SearchPage> page;
    std::atomic<int> wideCalls = 0;
};

TEST_F(SearchPageTest, LocalAtOnceThenWidened)
{
    QSignalSpy widened(page.get(), &SearchPage::widened);
    state.setQuery(QStringLiteral("invoice"));
    // The catalog's matches are there before control returns, still looking.
    EXPECT_EQ(pathsOf(page->outcome().items), (QList<QByteArray>{"/home/ana/Documents/invoice-march.pdf",
                                                                 "/home/ana/Documents/invoice-photo.jpg"}));
    EXPECT_TRUE(page->looking());
    EXPECT_EQ(page->filesPage().pageHeader().title(), QString::fromUtf8("Results for “invoice”"));
    EXPECT_EQ(page->filesPage().pageHeader().subtitle(),
              QString::fromUtf8("2 matches · still looking across your computer…"));
    EXPECT_EQ(wideCalls, 0);

    ASSERT_TRUE(waitUntil([&] { return widened.count() == 1; }));
    EXPECT_FALSE(page->looking());
    // The index's catalog file joins without counting as outside; the
    // missing one is dropped; the outside one is described from the disk.
    const QList<QByteArray> found = pathsOf(page->outcome().items);
    EXPECT_EQ(found.size(), 4);
    EXPECT_TRUE(found.contains(outside));
    EXPECT_TRUE(found.contains("/home/ana/Documents/report.pdf"));
    EXPECT_EQ(page->outcome().beyond, 1);
    EXPECT_EQ(page->filesPage().pageHeader().subtitle(),
              QString::fromUtf8("4 matches · 1 outside your library folders"));
    EXPECT_EQ(pathsOf(state.visible()), pathsOf(page->filesPage().sorted()));
}

TEST_F(SearchPageTest, NothingMatchedShowsTheSuggestion)
{
    page->setWideSearch([](const Query &, int) { return QList<QByteArray>{}; });
    QSignalSpy widened(page.get(), &SearchPage::widened);
    state.setQuery(QStringLiteral("zebra"));
    EXPECT_EQ(page->filesPage().emptyState().title(), QString::fromUtf8("Looking…"));
    EXPECT_TRUE(page->filesPage().emptyState().isVisibleTo(page.get()));
    ASSERT_TRUE(waitUntil([&] { return widened.count() == 1; }));
    EXPECT_EQ(page->filesPage().pageHeader().subtitle(), QStringLiteral("0 matches on your computer"));
    EXPECT_EQ(page->filesPage().emptyState().title(), QStringLiteral("Nothing matched"));
    EXPECT_EQ(page->filesPage().emptyState().detail(), SearchTexts::emptyDetail(false));
}

TEST_F(SearchPageTest, DroppingAChipSearchesWithoutItAndKeepsItStruckThrough)
{
    state.setQuery(QStringLiteral("pdfs invoice"));
    EXPECT_EQ(chipTexts(), (QStringList{"PDFs", QString::fromUtf8("“invoice”")}));
    EXPECT_EQ(pathsOf(page->outcome().items), QList<QByteArray>{"/home/ana/Documents/invoice-march.pdf"});
    ASSERT_TRUE(page->chipBar().isVisibleTo(page.get()));

    FilterChip *kind = page->chipBar().chipButtons().first();
    EXPECT_EQ(kind->toolTip(), QStringLiteral("Ignore this filter"));
    kind->click();
    EXPECT_EQ(state.droppedChips(), QSet<QString>{QStringLiteral("kind")});
    EXPECT_EQ(pathsOf(page->outcome().items), (QList<QByteArray>{"/home/ana/Documents/invoice-march.pdf",
                                                                 "/home/ana/Documents/invoice-photo.jpg"}));
    EXPECT_EQ(chipTexts(), (QStringList{"PDFs (off)", QString::fromUtf8("“invoice”")}));
    // The same chip object, restyled: the one clicked was not replaced under the pointer.
    EXPECT_EQ(page->chipBar().chipButtons().first(), kind);
    EXPECT_EQ(kind->toolTip(), QStringLiteral("Use this filter again"));
    EXPECT_TRUE(kind->font().strikeOut() || kind->isDropped());

    page->chipBar().chipButtons().last()->click();
    EXPECT_EQ(pathsOf(page->outcome().items).size(), 4); // no filter left: the whole catalog
    kind->click();
    EXPECT_EQ(state.droppedChips(), QSet<QString>{QStringLiteral("text:invoice")});
    EXPECT_EQ(pathsOf(page->outcome().items),
              (QList<QByteArray>{"/home/ana/Documents/invoice-march.pdf", "/home/ana/Documents/report.pdf"}));
}

TEST_F(SearchPageTest, AnAnswerForAnOlderSearchIsDiscarded)
{
    QSemaphore release;
    std::atomic<int> started = 0;
    std::atomic<int> finished = 0;
    const QStringList slow{QStringLiteral("report")};
    page->setWideSearch([&](const Query &query, int) {
        ++started;
        if (query.terms == slow)
            release.acquire(); // the first search's index answer is slow
        ++finished;
        return query.terms == slow ? QList<QByteArray>{outside} : QList<QByteArray>{};
    });
    // Never leave a pool thread waiting, whatever fails below.
    const std::shared_ptr<void> unblock(nullptr, [&](void *) { release.release(2); });
    QSignalSpy widened(page.get(), &SearchPage::widened);
    state.setQuery(QStringLiteral("report"));
    ASSERT_TRUE(waitUntil([&] { return started == 1; }));
    state.setQuery(QStringLiteral("notes"));
    ASSERT_TRUE(waitUntil([&] { return widened.count() == 1; }));
    release.release();
    // Each answer's watcher goes once its answer was handled.
    ASSERT_TRUE(waitUntil([&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return finished == 2 && page->findChildren<QFutureWatcherBase *>().isEmpty();
    }));
    EXPECT_EQ(widened.count(), 1);
    EXPECT_EQ(pathsOf(page->outcome().items), QList<QByteArray>{"/home/ana/Downloads/notes.txt"});
    EXPECT_EQ(page->outcome().beyond, 0);
}

TEST_F(SearchPageTest, FollowsTheCatalog)
{
    state.setQuery(QStringLiteral("invoice"));
    ASSERT_EQ(page->outcome().items.size(), 2);
    library->remove({"/home/ana/Documents/invoice-photo.jpg"});
    EXPECT_EQ(pathsOf(page->outcome().items), QList<QByteArray>{"/home/ana/Documents/invoice-march.pdf"});
    // A blank text leaves nothing behind for the next search to show.
    state.setQuery(QStringLiteral("  "));
    EXPECT_TRUE(page->outcome().items.isEmpty());
    EXPECT_FALSE(page->looking());
}
