#include "state/route.h"

#include <gtest/gtest.h>
#include <QHash>

namespace {

// Every destination, with payloads that differ only in case or in which
// destination carries the same text.
QList<Route> distinctRoutes()
{
    return {Route::home(),
            Route::recents(),
            Route::large(),
            Route::screenshots(),
            Route::duplicates(),
            Route::cleanup(),
            Route::sources(),
            Route::kind(Kind::image),
            Route::kind(Kind::video),
            Route::kind(Kind::other),
            Route::cleanupDetail(CleanupKind::duplicates),
            Route::cleanupDetail(CleanupKind::apps),
            Route::source("Gmail"),
            Route::source("gmail"),
            Route::source(""),
            Route::folder("/home/ann/Docs"),
            Route::folder("/home/ann/docs"),
            Route::folder("Gmail"),
            Route::folder("/home/ann/caf\xe9")};
}

} // namespace

TEST(Route, EqualByDestinationAndPayload)
{
    const QList<Route> routes = distinctRoutes();
    const QList<Route> again = distinctRoutes();
    for (qsizetype i = 0; i < routes.size(); ++i)
        for (qsizetype j = 0; j < routes.size(); ++j)
            EXPECT_EQ(routes[i] == again[j], i == j) << "routes " << i << " and " << j;
}

TEST(Route, HashFindsEveryRouteByAFreshCopy)
{
    QHash<Route, qsizetype> index;
    const QList<Route> routes = distinctRoutes();
    for (qsizetype i = 0; i < routes.size(); ++i)
        index.insert(routes[i], i);
    ASSERT_EQ(index.size(), routes.size());
    const QList<Route> again = distinctRoutes();
    for (qsizetype i = 0; i < again.size(); ++i) {
        EXPECT_EQ(index.value(again[i], -1), i);
        EXPECT_EQ(qHash(again[i], 7), qHash(routes[i], 7));
    }
    // Same text, different destination: the destination is part of the hash.
    EXPECT_NE(qHash(Route::source("Gmail")), qHash(Route::folder("Gmail")));
}

TEST(Route, PayloadsAreReadBackOnlyFromTheirDestination)
{
    EXPECT_EQ(Route(), Route::home());
    EXPECT_EQ(Route::kind(Kind::music).which(), Route::Case::kind);
    EXPECT_EQ(Route::kind(Kind::music).asKind(), Kind::music);
    EXPECT_EQ(Route::cleanupDetail(CleanupKind::videos).asCleanupDetail(), CleanupKind::videos);
    EXPECT_EQ(Route::source("Slack").asSource(), QString("Slack"));
    EXPECT_EQ(Route::folder("/h/\xff").asFolder(), QByteArray("/h/\xff"));

    const Route source = Route::source("Slack");
    EXPECT_FALSE(source.asKind());
    EXPECT_FALSE(source.asCleanupDetail());
    EXPECT_FALSE(source.asFolder());
    EXPECT_FALSE(Route::recents().asSource());
}
