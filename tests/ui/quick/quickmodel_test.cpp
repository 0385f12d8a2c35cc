#include "quick/quickmodel.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

using Command = QuickModel::Command;

struct KeyCase
{
    int rows;
    int start;
    int key;
    Qt::KeyboardModifiers modifiers;
    int index;
    Command command;
};

const KeyCase kKeyCases[] = {
    // No rows: the index stays at 0 and Return does nothing, so the panel stays.
    {0, 0, Qt::Key_Down, {}, 0, Command::none},
    {0, 0, Qt::Key_Up, {}, 0, Command::none},
    {0, 0, Qt::Key_Return, {}, 0, Command::none},
    {0, 0, Qt::Key_Return, Qt::ControlModifier, 0, Command::none},
    {0, 0, Qt::Key_Return, Qt::AltModifier, 0, Command::none},
    // One row: nowhere to move.
    {1, 0, Qt::Key_Down, {}, 0, Command::none},
    {1, 0, Qt::Key_Up, {}, 0, Command::none},
    {1, 0, Qt::Key_Return, {}, 0, Command::open},
    // Seven rows: moves within, stays put at either end.
    {7, 0, Qt::Key_Down, {}, 1, Command::none},
    {7, 5, Qt::Key_Down, {}, 6, Command::none},
    {7, 6, Qt::Key_Down, {}, 6, Command::none},
    {7, 6, Qt::Key_Up, {}, 5, Command::none},
    {7, 0, Qt::Key_Up, {}, 0, Command::none},
    // Modifiers of Return: Alt wins over Ctrl; Shift changes nothing.
    {7, 3, Qt::Key_Return, {}, 3, Command::open},
    {7, 3, Qt::Key_Enter, Qt::KeypadModifier, 3, Command::open},
    {7, 3, Qt::Key_Return, Qt::ShiftModifier, 3, Command::open},
    {7, 3, Qt::Key_Return, Qt::ControlModifier, 3, Command::showInMain},
    {7, 3, Qt::Key_Return, Qt::AltModifier, 3, Command::reveal},
    {7, 3, Qt::Key_Return, Qt::AltModifier | Qt::ControlModifier, 3, Command::reveal},
    // A row that is no longer shown (the list shrank under the selection).
    {2, 4, Qt::Key_Return, {}, 4, Command::none},
    {7, 2, Qt::Key_Escape, {}, 2, Command::close},
    {0, 0, Qt::Key_Escape, {}, 0, Command::close},
    {7, 2, Qt::Key_A, {}, 2, Command::none},
};

} // namespace

TEST(QuickModel, KeyTable)
{
    for (const KeyCase &c : kKeyCases) {
        QuickModel model;
        model.setIndex(c.start);
        SCOPED_TRACE(testing::Message() << "rows " << c.rows << " start " << c.start << " key " << std::hex
                                        << c.key << " modifiers " << c.modifiers.toInt());
        EXPECT_EQ(model.press(c.key, c.modifiers, c.rows), c.command);
        EXPECT_EQ(model.index(), c.index);
    }
}

TEST(QuickModel, NewTextSelectsTheFirstRowAndEqualValuesAreSilent)
{
    QuickModel model;
    model.setIndex(4);
    QSignalSpy text(&model, &QuickModel::textChanged);
    QSignalSpy index(&model, &QuickModel::indexChanged);
    model.setText(QStringLiteral("pdfs"));
    EXPECT_EQ(model.index(), 0);
    EXPECT_EQ(text.count(), 1);
    EXPECT_EQ(index.count(), 1);

    model.setText(QStringLiteral("pdfs"));
    model.setIndex(0);
    EXPECT_EQ(text.count(), 1);
    EXPECT_EQ(index.count(), 1);

    model.setIndex(2);
    model.reset();
    EXPECT_TRUE(model.text().isEmpty());
    EXPECT_EQ(model.index(), 0);
}

TEST(QuickModel, TrimsSpacesAndTabsButNotLineBreaks)
{
    EXPECT_EQ(QuickModel::trimmed(QStringLiteral(" \t pdfs from last week\t ")),
              QStringLiteral("pdfs from last week"));
    EXPECT_EQ(QuickModel::trimmed(QStringLiteral(" \t ")), QString());
    EXPECT_EQ(QuickModel::trimmed(QStringLiteral("\ncats ")), QStringLiteral("\ncats"));
}
