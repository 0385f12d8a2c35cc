#pragma once

#include <QByteArray>
#include <QString>

// Starting Tovalo when the user logs in, through an XDG autostart entry:
// $XDG_CONFIG_HOME/autostart/tovalo.desktop. The entry itself is the state;
// nothing else remembers whether it is on.
namespace Autostart {

// Where the entry lives for the current XDG_CONFIG_HOME.
QString entryPath();
// An entry is there and not switched off (Hidden=true, or a desktop's own
// X-GNOME-Autostart-enabled=false, as session settings tools write it).
bool isEnabled();
// Writes or removes the entry; false when the file system refused, with the reason in `error`.
bool setEnabled(bool enabled, QString *error = nullptr);
// The entry that starts `program`, quoted as desktop entries want it.
QByteArray entryText(const QString &program);

} // namespace Autostart
