#pragma once

#include "state/route.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QWidget;

// Launch-time scripting: environment variables that open a page, switch
// presentation, type a search, picture a window, or run the Trash-and-Undo
// and key routines, with one-line results on standard output. Nothing here
// happens unless its variable is set.
namespace DevHarness {

// A view other than the main window that snapshot mode can picture, chosen
// by TOVALO_VIEW. Whoever owns the view registers it before runIfAsked().
struct View
{
    // At launch, when the view is chosen.
    std::function<void()> open;
    // Halfway through the wait: bring the view up. When `takesQuery`, it gets
    // TOVALO_QUERY here and the main window's search stays empty.
    std::function<void(const std::optional<QString> &query)> show;
    bool takesQuery = false;
    // At the end of the wait: what is pictured; null falls back to the main window.
    std::function<QWidget *()> widget;
};
void addView(const QString &name, View view);
std::optional<View> view(const QString &name);

// Reads the variables once and schedules what they ask for. Main thread, once.
void runIfAsked();

// TOVALO_ROUTE's page names; any other text is no page.
std::optional<Route> routeNamed(const QString &name);
// Seconds as a decimal number; absent for anything else (and for nan, inf).
std::optional<double> seconds(const QString &text);
// TOVALO_WAIT: 7 when absent or not a number.
double waitSeconds(const std::optional<QString> &text);

// One line on standard output, flushed at once so a reading script sees it.
void print(const QString &line);
// The object names of the shown windows ("?" for a window without one).
QStringList windowNames();
// `items` written as ["a", "b"].
QString quotedList(const QStringList &items);
// Selects the first visible file, makes it the anchor, takes the focus off the search field.
void selectFirstVisible();
// Runs `action` on the main thread after `seconds`.
void after(double seconds, std::function<void()> action);

} // namespace DevHarness
