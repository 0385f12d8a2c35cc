// The main window's keys: the decision table, and the filter that carries it
// out on a real window.
#include "keyfilter.h"
#include "keymap.h"

#include "files/quicklook.h"
#include "library/library.h"
#include "state/appstate.h"
#include "state/trasher.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>

namespace {

using Effect = KeyMap::Effect;
using Key = KeyMap::Key;
using Situation = KeyMap::Situation;

constexpr qint64 kLongAgo = 1'000'000'000;

// A grid of four columns with one visible file selected and anchored, the
// preview long closed: the ordinary moment of a key press.
Situation ordinary()
{
    Situation s;
    s.msSincePreviewClosed = kLongAgo;
    s.columns = 4;
    s.chosenEmpty = false;
    s.selectionEmpty = false;
    s.hasAnchor = true;
    return s;
}

struct Case
{
    const char *name;
    Key key;
    Qt::KeyboardModifiers modifiers;
    std::function<void(Situation &)> change;
    Effect effect;
    int offset;
    bool consume;
};

const auto same = [](Situation &) {};
const auto nothingChosen = [](Situation &s) {
    s.chosenEmpty = true;
    s.selectionEmpty = true;
    s.hasAnchor = false;
};
const auto listMode = [](Situation &s) { s.listMode = true; };
const auto fiveColumns = [](Situation &s) { s.columns = 5; };
const auto previewOpen = [](Situation &s) { s.previewVisible = true; };
const Qt::KeyboardModifiers none = Qt::NoModifier;
const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
const Qt::KeyboardModifiers keypad = Qt::KeypadModifier;

const Case kCases[] = {
    {"ReturnOpensChosen", Key::enter, none, same, Effect::open, 0, true},
    {"KeypadEnterOpensChosen", Key::enter, keypad, same, Effect::open, 0, true},
    {"ReturnWithNothingChosenPasses", Key::enter, none, nothingChosen, Effect::none, 0, false},
    {"ReturnWithOnlyHiddenFilesSelectedPasses", Key::enter, none,
     [](Situation &s) { s.chosenEmpty = true; }, Effect::none, 0, false},
    {"CtrlReturnPasses", Key::enter, ctrl, same, Effect::none, 0, false},

    {"SpaceTogglesAtAnchor", Key::space, none, same, Effect::togglePreview, 0, true},
    {"SpaceWithoutAnchorStartsAtChosen", Key::space, none, [](Situation &s) { s.hasAnchor = false; },
     Effect::togglePreview, 0, true},
    {"SpaceWithAnchorButNothingChosenToggles", Key::space, none,
     [](Situation &s) {
         s.chosenEmpty = true;
         s.selectionEmpty = true;
     },
     Effect::togglePreview, 0, true},
    {"SpaceWithNoStartFilePasses", Key::space, none, nothingChosen, Effect::none, 0, false},
    {"ShiftSpacePasses", Key::space, shift, same, Effect::none, 0, false},
    {"SpaceJustAfterPreviewClosedIsSwallowed", Key::space, none,
     [](Situation &s) { s.msSincePreviewClosed = 120; }, Effect::none, 0, true},
    {"SpaceSwallowedEvenWithModifiersOrInAField", Key::space, shift,
     [](Situation &s) {
         s.msSincePreviewClosed = 299;
         s.focusIsText = true;
     },
     Effect::none, 0, true},
    {"SpaceThreeTenthsAfterClosingOpensAgain", Key::space, none,
     [](Situation &s) { s.msSincePreviewClosed = 300; }, Effect::togglePreview, 0, true},
    {"OtherKeysJustAfterClosingAreNotSwallowed", Key::right, none,
     [](Situation &s) { s.msSincePreviewClosed = 10; }, Effect::move, 1, true},

    {"DeleteTrashesChosen", Key::remove, none, same, Effect::trash, 0, true},
    {"KeypadDeleteTrashesChosen", Key::remove, keypad, same, Effect::trash, 0, true},
    {"DeleteWithNothingChosenPasses", Key::remove, none, nothingChosen, Effect::none, 0, false},
    {"CtrlDeletePasses", Key::remove, ctrl, same, Effect::none, 0, false},
    {"ShiftDeletePasses", Key::remove, shift, same, Effect::none, 0, false},
    {"CtrlBackspaceTrashesChosen", Key::backspace, ctrl, same, Effect::trash, 0, true},
    {"CtrlBackspaceWithNothingChosenPasses", Key::backspace, ctrl, nothingChosen, Effect::none, 0, false},
    {"BackspaceAlonePasses", Key::backspace, none, same, Effect::none, 0, false},
    {"CtrlShiftBackspacePasses", Key::backspace, ctrl | shift, same, Effect::none, 0, false},

    {"LeftStepsBack", Key::left, none, same, Effect::move, -1, true},
    {"RightStepsOn", Key::right, none, same, Effect::move, 1, true},
    {"LeftInListStepsBack", Key::left, none, listMode, Effect::move, -1, true},
    {"DownInGridMovesARow", Key::down, none, fiveColumns, Effect::move, 5, true},
    {"UpInGridMovesARow", Key::up, none, fiveColumns, Effect::move, -5, true},
    {"DownInListMovesOne", Key::down, none, [](Situation &s) {
         s.listMode = true;
         s.columns = 5;
     },
     Effect::move, 1, true},
    {"UpInListMovesOne", Key::up, none, listMode, Effect::move, -1, true},
    {"ArrowsMoveWithNothingSelected", Key::down, none, nothingChosen, Effect::move, 4, true},
    {"KeypadArrowsMove", Key::up, keypad, same, Effect::move, -4, true},
    {"ShiftArrowPasses", Key::down, shift, same, Effect::none, 0, false},
    {"AltArrowPasses", Key::left, Qt::AltModifier, same, Effect::none, 0, false},
    {"CtrlArrowPasses", Key::right, ctrl, same, Effect::none, 0, false},

    {"EscapeClearsSelection", Key::escape, none, same, Effect::clearSelection, 0, true},
    {"EscapeClearsASelectionOfHiddenFiles", Key::escape, none, [](Situation &s) { s.chosenEmpty = true; },
     Effect::clearSelection, 0, true},
    {"EscapeWithNothingSelectedPasses", Key::escape, none, nothingChosen, Effect::none, 0, false},
    {"ShiftEscapePasses", Key::escape, shift, same, Effect::none, 0, false},

    {"TypingInAFieldPasses", Key::left, none, [](Situation &s) { s.focusIsText = true; }, Effect::none, 0, false},
    {"ReturnInAFieldPasses", Key::enter, none, [](Situation &s) { s.focusIsText = true; }, Effect::none, 0, false},
    {"KeysOfOtherWindowsPass", Key::down, none, [](Situation &s) { s.windowIsPanel = true; }, Effect::none, 0,
     false},
    {"SpaceInOtherWindowsPasses", Key::space, none, [](Situation &s) { s.windowIsPanel = true; }, Effect::none, 0,
     false},
    {"OtherKeysPass", Key::other, none, same, Effect::none, 0, false},

    {"MenuKeyOpensTheSelectionsMenu", Key::menu, none, same, Effect::contextMenu, 0, true},
    {"ShiftF10OpensTheSelectionsMenu", Key::f10, shift, same, Effect::contextMenu, 0, true},
    {"F10AlonePasses", Key::f10, none, same, Effect::none, 0, false},
    {"MenuKeyWithNothingChosenPasses", Key::menu, none, nothingChosen, Effect::none, 0, false},
    {"MenuKeyInAFieldPasses", Key::menu, none, [](Situation &s) { s.focusIsText = true; }, Effect::none, 0,
     false},

    {"AControlOwningEveryKeyKeepsTheArrows", Key::down, none, [](Situation &s) { s.focusOwns = KeyMap::Owns::all; },
     Effect::none, 0, false},
    {"AControlOwningEveryKeyKeepsReturn", Key::enter, none, [](Situation &s) { s.focusOwns = KeyMap::Owns::all; },
     Effect::none, 0, false},
    {"AControlOwningEveryKeyKeepsDelete", Key::remove, none, [](Situation &s) { s.focusOwns = KeyMap::Owns::all; },
     Effect::none, 0, false},
    {"ATickListKeepsSpace", Key::space, none, [](Situation &s) { s.focusOwns = KeyMap::Owns::space; },
     Effect::none, 0, false},
    {"ATickListLeavesTheArrowsToTheFiles", Key::down, none, [](Situation &s) { s.focusOwns = KeyMap::Owns::space; },
     Effect::move, 4, true},
    {"ATickListLeavesDeleteToTheFiles", Key::remove, none, [](Situation &s) { s.focusOwns = KeyMap::Owns::space; },
     Effect::trash, 0, true},
    {"SpaceClosingThePreviewIsSwallowedEvenOnATickList", Key::space, none,
     [](Situation &s) {
         s.focusOwns = KeyMap::Owns::space;
         s.msSincePreviewClosed = 50;
     },
     Effect::none, 0, true},

    {"PreviewSpaceClosesSoonAndPasses", Key::space, none, previewOpen, Effect::closePreviewSoon, 0, false},
    {"PreviewLeftFollowsAndPasses", Key::left, none, previewOpen, Effect::followPreviewSoon, 0, false},
    {"PreviewRightFollowsAndPasses", Key::right, none, previewOpen, Effect::followPreviewSoon, 0, false},
    {"PreviewDownMovesARow", Key::down, none, previewOpen, Effect::move, 4, true},
    {"PreviewUpMovesARow", Key::up, none, previewOpen, Effect::move, -4, true},
    {"PreviewDownInListMovesOne", Key::down, none, [](Situation &s) {
         s.previewVisible = true;
         s.listMode = true;
     },
     Effect::move, 1, true},
    {"PreviewArrowsWorkFromAnyFocus", Key::down, none, [](Situation &s) {
         s.previewVisible = true;
         s.focusIsText = true;
         s.windowIsPanel = true;
     },
     Effect::move, 4, true},
    {"PreviewIgnoresModifiedKeys", Key::down, shift, previewOpen, Effect::none, 0, false},
    {"PreviewIgnoresCtrlSpace", Key::space, ctrl, previewOpen, Effect::none, 0, false},
    {"PreviewReturnPasses", Key::enter, none, previewOpen, Effect::none, 0, false},
    {"PreviewDeletePasses", Key::remove, none, previewOpen, Effect::none, 0, false},
    {"PreviewEscapePasses", Key::escape, none, previewOpen, Effect::none, 0, false},
    {"PreviewSpaceIsNotSwallowed", Key::space, none, [](Situation &s) {
         s.previewVisible = true;
         s.msSincePreviewClosed = 10;
     },
     Effect::closePreviewSoon, 0, false},
};

class KeyTable : public testing::TestWithParam<Case>
{
};

TEST_P(KeyTable, Decides)
{
    const Case &c = GetParam();
    Situation s = ordinary();
    c.change(s);
    const KeyMap::Decision d = KeyMap::decide(c.key, c.modifiers, s);
    EXPECT_EQ(d.effect, c.effect);
    EXPECT_EQ(d.offset, c.offset);
    EXPECT_EQ(d.consume, c.consume);
}

INSTANTIATE_TEST_SUITE_P(KeyMap, KeyTable, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case> &info) { return std::string(info.param.name); });

TEST(KeyMap, QtKeysNameTheKeysOfTheMap)
{
    const std::pair<int, Key> table[] = {
        {Qt::Key_Return, Key::enter},   {Qt::Key_Enter, Key::enter}, {Qt::Key_Space, Key::space},
        {Qt::Key_Delete, Key::remove},  {Qt::Key_Backspace, Key::backspace}, {Qt::Key_Escape, Key::escape},
        {Qt::Key_Left, Key::left},      {Qt::Key_Right, Key::right}, {Qt::Key_Down, Key::down},
        {Qt::Key_Up, Key::up},          {Qt::Key_A, Key::other},     {Qt::Key_Tab, Key::other},
        {Qt::Key_CapsLock, Key::other}, {Qt::Key_Menu, Key::menu},   {Qt::Key_F10, Key::f10},
    };
    for (const auto &[qt, key] : table)
        EXPECT_EQ(KeyMap::keyOf(qt), key) << qt;
}

FileItem record(const QByteArray &path)
{
    FileItem::Fields f;
    f.path = path;
    f.kind = Kind::document;
    return FileItem(f);
}

// The filter on a real window: what it consumes never reaches the focused
// widget, what it lets through does, and a text field keeps its keys.
class KeyFilterOnWindow : public testing::Test
{
protected:
    void SetUp() override
    {
        m_state.setVisible({record("/t/a"), record("/t/b"), record("/t/c"), record("/t/d"), record("/t/e")});
        m_state.setColumns(2);
        m_window.setObjectName(QStringLiteral("main"));
        auto *layout = new QVBoxLayout(&m_window);
        m_field = new QLineEdit;
        m_list = new QListWidget;
        layout->addWidget(m_field);
        layout->addWidget(m_list);
        m_window.show();
        m_window.winId();
        qApp->installEventFilter(&m_filter);
    }
    void TearDown() override { qApp->removeEventFilter(&m_filter); }

    // Delivers the key as the window system does: to the window first.
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent event(QEvent::KeyPress, key, modifiers);
        QCoreApplication::sendEvent(m_window.windowHandle(), &event);
    }

    AppState m_state;
    QuickLook m_look{&m_state};
    Trasher m_trasher{Trasher::Environment{&Library::shared(), &m_state, {}, {}}};
    KeyFilter m_filter{m_state, m_look, m_trasher};
    QWidget m_window;
    QLineEdit *m_field = nullptr;
    QListWidget *m_list = nullptr;
};

TEST_F(KeyFilterOnWindow, ArrowsMoveTheSelectionAndNeverReachTheList)
{
    m_list->addItems({"one", "two", "three"});
    m_list->setCurrentRow(0);
    m_list->setFocus();
    press(Qt::Key_Down);
    EXPECT_EQ(m_state.anchor(), std::optional<QByteArray>("/t/a"));
    press(Qt::Key_Down);
    EXPECT_EQ(m_state.anchor(), std::optional<QByteArray>("/t/c"));
    press(Qt::Key_Left);
    EXPECT_EQ(m_state.selection(), QSet<QByteArray>{"/t/b"});
    EXPECT_EQ(m_list->currentRow(), 0);
}

TEST_F(KeyFilterOnWindow, TextFieldKeepsItsKeys)
{
    m_state.setSelection({"/t/b"});
    m_state.setAnchor(QByteArray("/t/b"));
    m_field->setFocus();
    m_field->setText(QStringLiteral("abc"));
    m_field->setCursorPosition(3);
    press(Qt::Key_Left);
    EXPECT_EQ(m_field->cursorPosition(), 2);
    EXPECT_EQ(m_state.anchor(), std::optional<QByteArray>("/t/b"));
}

TEST_F(KeyFilterOnWindow, EscapeKeepsTheAnchor)
{
    m_list->setFocus();
    m_state.setSelection({"/t/c", "/t/d"});
    m_state.setAnchor(QByteArray("/t/c"));
    press(Qt::Key_Escape);
    EXPECT_TRUE(m_state.selection().isEmpty());
    EXPECT_EQ(m_state.anchor(), std::optional<QByteArray>("/t/c"));
}

TEST_F(KeyFilterOnWindow, AFocusedButtonTakesSpaceAndReturnItself)
{
    auto *button = new QPushButton(QStringLiteral("Trash All"));
    m_window.layout()->addWidget(button);
    button->show();
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
    m_state.setSelection({"/t/b"});
    m_state.setAnchor(QByteArray("/t/b"));
    button->setFocus();
    press(Qt::Key_Down);
    // The arrows stay with the button: the selection does not move.
    EXPECT_EQ(m_state.anchor(), std::optional<QByteArray>("/t/b"));
    button->setFocus();
    ASSERT_EQ(m_window.focusWidget(), button);
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QKeyEvent up(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QCoreApplication::sendEvent(m_window.windowHandle(), &down);
    QCoreApplication::sendEvent(m_window.windowHandle(), &up);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(m_look.isOpen());
}

TEST_F(KeyFilterOnWindow, OtherWindowsKeepTheirKeys)
{
    m_window.setObjectName(QStringLiteral("settings"));
    m_list->setFocus();
    press(Qt::Key_Down);
    EXPECT_FALSE(m_state.anchor().has_value());
}

} // namespace
