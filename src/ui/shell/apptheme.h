#pragma once

// The application-wide look: the theme's palette and Inter for every widget
// and window Qt makes on its own (menus, context menus, tool tips, dialogs,
// the folder picker), and the frame style for menus and scroll bars. It
// follows the appearance from then on.
namespace AppTheme {

// Once, after the QApplication exists and before the first window.
void install();

} // namespace AppTheme
