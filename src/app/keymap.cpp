#include "keymap.h"

namespace {

KeyMap::Decision consumed(KeyMap::Effect effect, int offset = 0)
{
    return {effect, offset, true};
}

KeyMap::Decision passes(KeyMap::Effect effect = KeyMap::Effect::none)
{
    return {effect, 0, false};
}

} // namespace

KeyMap::Key KeyMap::keyOf(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Key::enter;
    case Qt::Key_Space:
        return Key::space;
    case Qt::Key_Delete:
        return Key::remove;
    case Qt::Key_Backspace:
        return Key::backspace;
    case Qt::Key_Escape:
        return Key::escape;
    case Qt::Key_Left:
        return Key::left;
    case Qt::Key_Right:
        return Key::right;
    case Qt::Key_Down:
        return Key::down;
    case Qt::Key_Up:
        return Key::up;
    case Qt::Key_Menu:
        return Key::menu;
    case Qt::Key_F10:
        return Key::f10;
    default:
        return Key::other;
    }
}

Qt::KeyboardModifiers KeyMap::significant(Qt::KeyboardModifiers modifiers)
{
    return modifiers & ~Qt::KeyboardModifiers(Qt::KeypadModifier);
}

KeyMap::Decision KeyMap::withPreview(Key key, Qt::KeyboardModifiers modifiers, int step)
{
    if (modifiers != Qt::NoModifier)
        return passes();
    switch (key) {
    case Key::space:
        // The panel closes itself on Space when it has the keyboard; this
        // catches the Space that lands in the main window instead.
        return passes(Effect::closePreviewSoon);
    case Key::left:
    case Key::right:
        return passes(Effect::followPreviewSoon);
    case Key::down:
        return consumed(Effect::move, step);
    case Key::up:
        return consumed(Effect::move, -step);
    default:
        return passes();
    }
}

KeyMap::Decision KeyMap::decide(Key key, Qt::KeyboardModifiers modifiers, const Situation &s)
{
    modifiers = significant(modifiers);
    const int step = s.listMode ? 1 : s.columns;
    if (s.previewVisible)
        return withPreview(key, modifiers, step);
    // The Space that closed the panel must not open it again.
    if (key == Key::space && s.msSincePreviewClosed < kSpaceSwallowMs)
        return consumed(Effect::none);
    if (s.windowIsPanel || s.focusIsText || s.focusOwns == Owns::all)
        return passes();
    if (key == Key::space && s.focusOwns == Owns::space)
        return passes();
    const bool plain = modifiers == Qt::NoModifier;
    switch (key) {
    case Key::enter:
        return plain && !s.chosenEmpty ? consumed(Effect::open) : passes();
    case Key::space:
        return plain && (s.hasAnchor || !s.chosenEmpty) ? consumed(Effect::togglePreview) : passes();
    case Key::remove:
        return plain && !s.chosenEmpty ? consumed(Effect::trash) : passes();
    case Key::backspace:
        return modifiers == Qt::ControlModifier && !s.chosenEmpty ? consumed(Effect::trash) : passes();
    case Key::left:
        return plain ? consumed(Effect::move, -1) : passes();
    case Key::right:
        return plain ? consumed(Effect::move, 1) : passes();
    case Key::down:
        return plain ? consumed(Effect::move, step) : passes();
    case Key::up:
        return plain ? consumed(Effect::move, -step) : passes();
    case Key::escape:
        return plain && !s.selectionEmpty ? consumed(Effect::clearSelection) : passes();
    case Key::menu:
        return plain && !s.chosenEmpty ? consumed(Effect::contextMenu) : passes();
    case Key::f10:
        return modifiers == Qt::ShiftModifier && !s.chosenEmpty ? consumed(Effect::contextMenu) : passes();
    case Key::other:
        return passes();
    }
    return passes();
}
