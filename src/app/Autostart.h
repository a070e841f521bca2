#pragma once

#include <QString>

// Running the schedule reminder at log-on: one XDG autostart entry of our own,
// <config>/autostart/velmora-reminder.desktop. Nothing else in the autostart folder is touched.
namespace Autostart {

// The autostart folder: $XDG_CONFIG_HOME/autostart, or ~/.config/autostart when the variable is unset,
// empty or not an absolute path.
QString folder();
QString entryPath();

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
