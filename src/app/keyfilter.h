#pragma once

#include "keymap.h"

#include <QObject>

class AppState;
class QuickLook;
class QWidget;
class QWindow;
class Trasher;

// The main window's keys, for the whole application: installed on the
// application object, it sees every key press once, where it enters a
// window, and either consumes it or lets it go on to the focused widget.
class KeyFilter final : public QObject
{
    Q_OBJECT

public:
    KeyFilter(AppState &state, QuickLook &quickLook, Trasher &trasher, QObject *parent = nullptr);

    // What the map would see for a key arriving at `window` now.
    KeyMap::Situation situation(const QWidget *window) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void apply(const KeyMap::Decision &decision);

    AppState &m_state;
    QuickLook &m_quickLook;
    Trasher &m_trasher;
};
