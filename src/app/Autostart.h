#pragma once

#include <QString>

// Running the schedule reminder at log-on: one XDG autostart entry of our own,
// <config>/autostart/com.halvernsoftware.Velmora.Reminder.desktop. Nothing else in the autostart folder
// is touched, apart from the entry under its earlier name, velmora-reminder.desktop, which is moved.
namespace Autostart {

// The autostart folder: $XDG_CONFIG_HOME/autostart, or ~/.config/autostart when the variable is unset,
// empty or not an absolute path.
QString folder();
QString entryPath();
// Moves an entry left under the earlier name to entryPath() (an entry already there wins and the old
// one is removed); false when an old entry is still there afterwards.
bool moveOldEntry();

// The reminder program in the installation folder.
QString reminderProgram(const QString& installDir);

// The text of the entry that starts program at log-on.
QString desktopEntry(const QString& program);
// The program as one argument of a desktop entry's Exec key (quoted and escaped where needed).
QString execArgument(const QString& program);

bool isRegistered();
// Writes the entry (creating the folder); false when it could not be written.
bool registerReminder(const QString& program);
// Removes the entry; true when it is gone afterwards.
bool unregisterReminder();

// Starts the reminder without waiting for it; false when it could not be started.
bool startReminder(const QString& program);

} // namespace Autostart
