#pragma once

#include <Qt>

// The main window's keys as a decision: what a key press does and whether it
// goes on to the focused widget. Pure, so the whole table is tested without
// windows; KeyFilter gathers the situation and carries the decision out.
class KeyMap final
{
public:
    enum class Key { other, enter, space, remove, backspace, escape, left, right, down, up, menu, f10 };

    enum class Effect {
        none,
        // Close the preview a moment later, unless the panel closed itself first.
        closePreviewSoon,
        // Let the panel step first, then make the selection follow it.
        followPreviewSoon,
        // AppState::move(offset).
        move,
        open,
        togglePreview,
        trash,
        clearSelection,
        // The selection's context menu, at the file view.
        contextMenu
    };

    // What a focused control takes itself instead of the file keys, read
    // from its "ownKeys" property: Space (ticks), or every key (the sidebar,
    // buttons, rows of copies).
    enum class Owns { nothing, space, all };

    // What the filter knows about the moment of the key press.
    struct Situation
    {
        bool previewVisible = false;
        // Since the preview last closed; very large when it never did.
        qint64 msSincePreviewClosed = 0;
        // The key reached a window other than the main one (a panel, the settings).
        bool windowIsPanel = false;
        // The focused widget takes text (the search field, any line edit).
        bool focusIsText = false;
        Owns focusOwns = Owns::nothing;
        bool listMode = false;
        int columns = 4;
        // No visible file is selected.
        bool chosenEmpty = true;
        // Nothing is selected at all, visible or not.
        bool selectionEmpty = true;
        bool hasAnchor = false;
    };

    struct Decision
    {
        Effect effect = Effect::none;
        int offset = 0;
        bool consume = false;
        friend bool operator==(const Decision &, const Decision &) = default;
    };

    static constexpr int kSpaceSwallowMs = 300;
    static constexpr int kPreviewCloseDelayMs = 250;

    static Key keyOf(int qtKey);
    // The modifiers that count: keypad arrows and Enter carry KeypadModifier
    // themselves, so it never decides anything.
    static Qt::KeyboardModifiers significant(Qt::KeyboardModifiers modifiers);
    static Decision decide(Key key, Qt::KeyboardModifiers modifiers, const Situation &situation);

private:
    static Decision withPreview(Key key, Qt::KeyboardModifiers modifiers, int step);
};
