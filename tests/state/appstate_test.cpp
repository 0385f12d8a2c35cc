#include "state/appstate.h"
#include "state/previewfollower.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <QSignalSpy>
#include <vector>

namespace {

constexpr int kOutside = -1; // a file that is not in `visible`

FileItem file(int index)
{
    FileItem::Fields f;
    f.path = index == kOutside ? QByteArray("/elsewhere/gone.txt")
                               : "/home/ann/file " + QByteArray::number(index) + ".txt";
    f.ext = "txt";
    f.kind = Kind::document;
    return FileItem(f);
}

QByteArray pathOf(int index)
{
    return file(index).path();
}

QSet<QByteArray> pathsOf(std::initializer_list<int> indices)
{
    QSet<QByteArray> out;
    for (const int i : indices)
        out.insert(pathOf(i));
    return out;
}

// A preview panel that is open on `current` and records what it was told.
class FakeFollower final : public PreviewFollower
{
public:
    void follow(const QList<QByteArray> &paths, int index) override
    {
        calls.push_back({paths, index});
    }
    std::optional<QByteArray> currentPath() const override { return current; }

    std::optional<QByteArray> current;
    std::vector<std::pair<QList<QByteArray>, int>> calls;
};

using Signal = void (AppState::*)();

const std::pair<const char *, Signal> kSignals[] = {
    {"route", &AppState::routeChanged},
    {"query", &AppState::queryChanged},
    {"droppedChips", &AppState::droppedChipsChanged},
    {"selection", &AppState::selectionChanged},
    {"anchor", &AppState::anchorChanged},
    {"visible", &AppState::visibleChanged},
    {"columns", &AppState::columnsChanged},
    {"showInspector", &AppState::showInspectorChanged},
    {"listMode", &AppState::listModeChanged},
    {"cardSize", &AppState::cardSizeChanged},
    {"sort", &AppState::sortChanged},
    {"focusSearch", &AppState::focusSearchChanged},
    {"scrollTarget", &AppState::scrollTargetChanged},
};

// Counts every change signal of one state object.
class Spies final
{
public:
    explicit Spies(AppState *state)
    {
        for (const auto &[name, signal] : kSignals)
            m_spies.emplace_back(name, std::make_unique<QSignalSpy>(state, signal));
    }
    int count(const char *field) const
    {
        for (const auto &[name, spy] : m_spies)
            if (qstrcmp(name, field) == 0)
                return int(spy->count());
        ADD_FAILURE() << "no field " << field;
        return -1;
    }
    int total() const
    {
        int sum = 0;
        for (const auto &entry : m_spies)
            sum += int(entry.second->count());
        return sum;
    }

private:
    std::vector<std::pair<const char *, std::unique_ptr<QSignalSpy>>> m_spies;
};

class AppStateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        AppState::setSearchFocusRelease([this] { ++releases; });
        for (int i = 0; i < 6; ++i)
            shown.append(file(i));
        state.setVisible(shown);
    }
    void TearDown() override { AppState::setSearchFocusRelease({}); }

    AppState state;
    QList<FileItem> shown;
    int releases = 0;
};

} // namespace

TEST(AppStateInitial, StartsWithTheDocumentedValues)
{
    const AppState state;
    EXPECT_EQ(state.route(), Route::home());
    EXPECT_TRUE(state.query().isEmpty());
    EXPECT_TRUE(state.droppedChips().isEmpty());
    EXPECT_TRUE(state.selection().isEmpty());
    EXPECT_FALSE(state.anchor());
    EXPECT_TRUE(state.visible().isEmpty());
    EXPECT_EQ(state.columns(), 4);
    EXPECT_FALSE(state.showInspector());
    EXPECT_FALSE(state.listMode());
    EXPECT_EQ(state.cardSize(), 172.0);
    EXPECT_EQ(state.sort(), SortKey::date);
    EXPECT_EQ(state.focusSearch(), 0);
    EXPECT_FALSE(state.scrollTarget());
}

TEST(AppStateInitial, EveryFieldNotifiesOnlyOnChange)
{
    // Each write builds its value afresh, so "equal" is tested, not "identical".
    const std::pair<const char *, std::function<void(AppState &)>> writes[] = {
        {"route", [](AppState &s) { s.setRoute(Route::source("Gmail")); }},
        {"query", [](AppState &s) { s.setQuery(QString("pdfs ") + "from last week"); }},
        {"droppedChips",
         [](AppState &s) {
             s.setDroppedChips({"kind", QString("text:") + "tax"});
         }},
        {"selection",
         [](AppState &s) {
             s.setSelection(pathsOf({1, 2}));
         }},
        {"anchor", [](AppState &s) { s.setAnchor(pathOf(1)); }},
        {"visible",
         [](AppState &s) {
             s.setVisible({file(0), file(1)});
         }},
        {"columns", [](AppState &s) { s.setColumns(5); }},
        {"showInspector", [](AppState &s) { s.setShowInspector(true); }},
        {"listMode", [](AppState &s) { s.setListMode(true); }},
        {"cardSize", [](AppState &s) { s.setCardSize(196); }},
        {"sort", [](AppState &s) { s.setSort(*SortKey::fromRawValue(u"Name")); }},
        {"focusSearch", [](AppState &s) { s.setFocusSearch(1); }},
        {"scrollTarget", [](AppState &s) { s.setScrollTarget(pathOf(3)); }},
    };
    for (const auto &[field, write] : writes) {
        AppState state;
        const Spies spies(&state);
        write(state);
        write(state);
        EXPECT_EQ(spies.count(field), 1) << field;
        EXPECT_EQ(spies.total(), 1) << field << " woke other readers";
    }
    // Writing the initial values tells nobody anything either.
    AppState state;
    const Spies spies(&state);
    state.setRoute(Route());
    state.setQuery("");
    state.setAnchor(std::nullopt);
    state.setVisible({});
    state.setCardSize(172);
    state.setSort(SortKey::date);
    EXPECT_EQ(spies.total(), 0);
}

TEST_F(AppStateTest, NavigationClearsSearchAndSelectionOnly)
{
    state.setRoute(Route::recents());
    state.setQuery("invoice");
    state.setDroppedChips({"date"});
    state.select(shown[2], false, false);
    state.setScrollTarget(pathOf(2));
    state.setListMode(true);
    state.setSort(SortKey::size);
    state.setCardSize(220);

    const Spies spies(&state);
    state.go(Route::recents()); // the page already shown still clears
    EXPECT_EQ(spies.count("route"), 0);
    EXPECT_EQ(state.route(), Route::recents());
    EXPECT_TRUE(state.query().isEmpty());
    EXPECT_TRUE(state.droppedChips().isEmpty());
    EXPECT_TRUE(state.selection().isEmpty());
    EXPECT_FALSE(state.anchor());
    EXPECT_EQ(state.scrollTarget(), pathOf(2));
    EXPECT_TRUE(state.listMode());
    EXPECT_EQ(state.sort(), SortKey::size);
    EXPECT_EQ(state.cardSize(), 220.0);
    EXPECT_EQ(state.visible(), shown);
    EXPECT_EQ(spies.total(), 4); // query, chips, selection, anchor

    state.go(Route::kind(Kind::image));
    EXPECT_EQ(state.route(), Route::kind(Kind::image));
    EXPECT_EQ(spies.count("route"), 1);
    EXPECT_EQ(spies.total(), 5);
}

TEST_F(AppStateTest, ClickSelection)
{
    struct Click
    {
        int index;
        bool extend;
        bool range;
    };
    struct Case
    {
        const char *name;
        std::vector<Click> clicks;
        std::initializer_list<int> selected;
        int anchor;
        int releases;
    };
    const Case cases[] = {
        {"plain click", {{1, false, false}}, {1}, 1, 1},
        {"shift-click on the fifth after the second",
         {{1, false, false}, {4, false, true}},
         {1, 2, 3, 4},
         1,
         1},
        {"a second shift-click widens the range",
         {{1, false, false}, {4, false, true}, {0, false, true}},
         {0, 1, 2, 3, 4},
         1,
         1},
        {"a range adds to what was selected",
         {{5, false, false}, {0, true, false}, {2, false, true}},
         {0, 1, 2, 5},
         0,
         2},
        {"ctrl-click removes a selected file and moves the anchor",
         {{1, false, false}, {3, true, false}, {1, true, false}},
         {3},
         1,
         3},
        {"shift-click without an anchor is a plain click", {{2, false, true}}, {2}, 2, 1},
        {"shift-click on a file not shown is a plain click",
         {{1, false, false}, {kOutside, false, true}},
         {kOutside},
         kOutside,
         2},
        {"shift+ctrl with an anchor not shown toggles",
         {{kOutside, false, false}, {2, true, true}},
         {kOutside, 2},
         2,
         2},
        {"shift+ctrl within the list still makes a range",
         {{3, false, false}, {5, true, true}},
         {3, 4, 5},
         3,
         1},
    };
    for (const Case &c : cases) {
        state.go(Route::home());
        releases = 0;
        for (const Click &click : c.clicks)
            state.select(file(click.index), click.extend, click.range);
        EXPECT_EQ(state.selection(), pathsOf(c.selected)) << c.name;
        EXPECT_EQ(state.anchor(), pathOf(c.anchor)) << c.name;
        EXPECT_EQ(releases, c.releases) << c.name;
    }
}

TEST_F(AppStateTest, Targets)
{
    struct Case
    {
        const char *name;
        std::initializer_list<int> selected;
        int clicked;
        std::vector<int> targets;
    };
    const Case cases[] = {
        {"one of three selected: all three in display order", {4, 1, 2}, 2, {1, 2, 4}},
        {"a file outside the selection: that file", {1, 2, 4}, 0, {0}},
        {"the only selected file: that file", {3}, 3, {3}},
        {"selected files not shown are no targets", {1, kOutside}, 1, {1}},
        {"a selected file not shown acts on the shown ones", {kOutside, 1, 2}, kOutside, {1, 2}},
        {"nothing selected: that file", {}, 5, {5}},
    };
    for (const Case &c : cases) {
        state.setSelection(pathsOf(c.selected));
        QList<FileItem> expected;
        for (const int i : c.targets)
            expected.append(file(i));
        EXPECT_EQ(state.targets(file(c.clicked)), expected) << c.name;
    }
}

TEST_F(AppStateTest, KeyboardMovementIsClamped)
{
    struct Case
    {
        const char *name;
        std::optional<int> anchor;
        int offset;
        int landsOn;
    };
    const Case cases[] = {
        {"no anchor, one step", std::nullopt, 1, 0},
        {"no anchor, a row of five", std::nullopt, 5, 0},
        {"no anchor, backwards", std::nullopt, -1, 0},
        {"anchor not shown", kOutside, 3, 0},
        {"a row down from the second-to-last", 4, 4, 5},
        {"a row up from the second", 1, -4, 0},
        {"one step", 2, 1, 3},
        {"one step back", 2, -1, 1},
    };
    FakeFollower follower;
    state.setPreviewFollower(&follower);
    for (const Case &c : cases) {
        state.setSelection(pathsOf({0, 1, 2, 3, 4, 5}));
        state.setAnchor(c.anchor ? std::optional(pathOf(*c.anchor)) : std::nullopt);
        releases = 0;
        follower.calls.clear();
        state.move(c.offset);
        EXPECT_EQ(state.selection(), pathsOf({c.landsOn})) << c.name;
        EXPECT_EQ(state.anchor(), pathOf(c.landsOn)) << c.name;
        EXPECT_EQ(state.scrollTarget(), pathOf(c.landsOn)) << c.name;
        EXPECT_EQ(releases, 1) << c.name;
        ASSERT_EQ(follower.calls.size(), 1u) << c.name;
        EXPECT_EQ(follower.calls[0].second, c.landsOn) << c.name;
        EXPECT_EQ(follower.calls[0].first.size(), shown.size()) << c.name;
    }
    state.setPreviewFollower(nullptr);
}

TEST_F(AppStateTest, MovementHandsThePanelTheCurrentList)
{
    FakeFollower follower;
    state.setPreviewFollower(&follower);
    state.move(1);
    const QList<FileItem> reversed(shown.rbegin(), shown.rend());
    state.setVisible(reversed);
    state.move(1); // the anchor, file 0, is now last: stays there
    ASSERT_EQ(follower.calls.size(), 2u);
    EXPECT_EQ(follower.calls[0].first, QList<QByteArray>({pathOf(0), pathOf(1), pathOf(2),
                                                          pathOf(3), pathOf(4), pathOf(5)}));
    EXPECT_EQ(follower.calls[1].first.front(), pathOf(5));
    EXPECT_EQ(follower.calls[1].second, 5);
    state.setPreviewFollower(nullptr);
}

TEST_F(AppStateTest, MovementInAnEmptyListDoesNothing)
{
    FakeFollower follower;
    state.setPreviewFollower(&follower);
    state.setVisible({});
    const Spies spies(&state);
    state.move(1);
    EXPECT_EQ(spies.total(), 0);
    EXPECT_EQ(releases, 0);
    EXPECT_TRUE(follower.calls.empty());
    state.setPreviewFollower(nullptr);
}

TEST_F(AppStateTest, CardSizeStaysWithinBounds)
{
    const struct
    {
        double from, delta, to;
    } cases[] = {{292, 24, 300}, {124, -24, 120}, {120, -24, 120}, {300, 24, 300},
                 {172, 24, 196}, {400, -24, 300}, {60, 24, 120}};
    for (const auto &c : cases) {
        state.setCardSize(c.from);
        EXPECT_EQ(state.cardSize(), c.from) << "direct writes are not clamped";
        QSignalSpy spy(&state, &AppState::cardSizeChanged);
        state.resize(c.delta);
        EXPECT_EQ(state.cardSize(), c.to) << c.from << " + " << c.delta;
        EXPECT_EQ(spy.count(), c.from == c.to ? 0 : 1) << c.from << " + " << c.delta;
    }

    // The sizes the menu's steps reach from the default.
    QList<double> up, down;
    state.setCardSize(172);
    for (int i = 0; i < 6; ++i) {
        state.resize(24);
        up.append(state.cardSize());
    }
    state.setCardSize(172);
    for (int i = 0; i < 3; ++i) {
        state.resize(-24);
        down.append(state.cardSize());
    }
    EXPECT_EQ(up, QList<double>({196, 220, 244, 268, 292, 300}));
    EXPECT_EQ(down, QList<double>({148, 124, 120}));
}

TEST_F(AppStateTest, SelectionFollowsThePreview)
{
    struct Case
    {
        const char *name;
        std::optional<int> current;
        bool changes;
    };
    const Case cases[] = {
        {"panel closed", std::nullopt, false},
        {"panel on the anchor", 2, false},
        {"panel stepped on", 4, true},
        {"panel on a file not shown", kOutside, true},
    };
    for (const Case &c : cases) {
        FakeFollower follower;
        follower.current = c.current ? std::optional(pathOf(*c.current)) : std::nullopt;
        state.setPreviewFollower(&follower);
        state.setSelection(pathsOf({1, 2}));
        state.setAnchor(pathOf(2));
        state.setScrollTarget(std::nullopt);
        const Spies spies(&state);
        state.followPreview();
        if (c.changes) {
            EXPECT_EQ(state.selection(), QSet<QByteArray>({*follower.current})) << c.name;
            EXPECT_EQ(state.anchor(), follower.current) << c.name;
            EXPECT_EQ(state.scrollTarget(), follower.current) << c.name;
        } else {
            EXPECT_EQ(spies.total(), 0) << c.name;
        }
        EXPECT_TRUE(follower.calls.empty()) << c.name;
    }
    state.setPreviewFollower(nullptr);
    const Spies spies(&state);
    state.followPreview(); // no panel at all
    EXPECT_EQ(spies.total(), 0);
}

TEST(AppStateFocus, ReleasingWithNothingInstalledDoesNothing)
{
    AppState::setSearchFocusRelease({});
    AppState state;
    state.setVisible({file(0)});
    AppState::releaseSearchFocus();
    state.select(file(0), false, false);
    state.move(1);
    EXPECT_EQ(state.selection(), pathsOf({0}));
}
