#pragma once

#include <QPalette>

class QWidget;

// The theme's colours as a Qt palette, so the standard widgets a window
// holds (text fields, menus, tooltips, scroll bars) are drawn light or dark
// with the pages instead of in the platform style's own colours.
class WindowPalette final
{
public:
    static QPalette of(bool dark);
    // Gives `window` the palette of the current appearance and keeps it in
    // step when the appearance changes, for as long as the window lives.
    static void follow(QWidget *window);
};
