#pragma once

#include <QString>

class QWidget;

// The scripted key run of TOVALO_KEY_TEST: real key presses posted to the
// window that has the keyboard, with a line after each step telling where
// the preview and the selection are. Ends the process when it is done.
namespace KeyTest {

// Schedules the run from now on; main thread.
void start();
// "key-test LABEL: preview open=… showing=… selected=… front=…"
QString report(const QString &label);
// Posts a key press with no modifiers to the active window, else to the main window.
void press(int key, const QString &text);

} // namespace KeyTest
