// Where the one file list view puts its cells: grids that fit, clamp and
// centre their columns, rows as wide as the view, and a list that does not
// scroll being exactly as tall as its cells.
#include "files/filelistlayout.h"
#include "files/filelistview.h"
#include "files/thumbs.h"
#include "pages/filecard.h"
#include "pages/filelistmodel.h"
#include "state/appstate.h"

#include <QFile>
#include <QScrollBar>

#include <gtest/gtest.h>

namespace {

FileListLayout grid(qreal side, qreal spacing, qreal minColumn, qreal maxColumn)
{
    FileListLayout layout;
    layout.flow = FileListLayout::Flow::grid;
    layout.sideMargin = side;
    layout.spacing = spacing;
    layout.minColumn = minColumn;
    layout.maxColumn = maxColumn;
    return layout;
}

FileItem file(int i)
{
    FileItem::Fields f;
    f.path = QFile::encodeName(QStringLiteral("/home/ana/f%1.txt").arg(i));
    f.ext = QStringLiteral("txt");
    f.kind = Kinds::of(f.ext);
    f.size = 10;
    f.modified = 1'750'000'000'000;
    return FileItem(f);
}

} // namespace

TEST(FileListLayout, ColumnsWidthsAndCentring)
{
    FileListLayout rows;
    rows.sideMargin = 28;
    struct Case
    {
        const char *what;
        FileListLayout layout;
        qreal width;
        int columns;
        qreal columnWidth;
        qreal left;
    };
    const QList<Case> cases = {
        // 1168 inside: six 172-point cards fit and stretch to 188.
        {"file grid", grid(26, 8, 172, 172 * 1.6), 1220, 6, 188, 26},
        // Three columns would be 110 wide; held at 105, the grid is centred.
        {"widest, centred", grid(0, 10, 100, 105), 350, 3, 105, 7.5},
        // Narrower than one column: the one column takes what there is.
        {"too narrow", grid(0, 8, 150, 240), 140, 1, 140, 0},
        {"empty width", grid(26, 8, 172, 275), 0, 1, 0, 26},
        {"rows", rows, 900, 1, 844, 28},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.layout.columns(c.width), c.columns);
        EXPECT_DOUBLE_EQ(c.layout.columnWidth(c.width), c.columnWidth);
        EXPECT_DOUBLE_EQ(c.layout.filesLeft(c.width), c.left);
    }
}

TEST(FileListView, AListThatDoesNotScrollIsAsTallAsItsCards)
{
    AppState state;
    Thumbs thumbs;
    FileListModel model;
    FileCard card(thumbs);
    FileListLayout layout = grid(0, 8, 150, 240);
    layout.scrolls = false;
    FileListView view(model, card, layout, thumbs, state);
    ASSERT_TRUE(view.hasHeightForWidth());
    EXPECT_EQ(view.heightForWidth(700), 0);

    QList<FileItem> items;
    for (int i = 0; i < 5; ++i)
        items.append(file(i));
    model.setItems(items);
    // 700 points: four columns of 169, so two lines of cards one gap apart.
    const qreal cell = FileCard::height(169);
    EXPECT_EQ(view.heightForWidth(700), int(std::ceil(2 * cell + 8)));
    view.resize(700, view.heightForWidth(700));
    EXPECT_EQ(view.gridColumns(), 4);
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(view.rowAt(view.itemRect(4).center()), 4);
    EXPECT_EQ(view.rowsInView(), std::make_pair(0, 4));
}
