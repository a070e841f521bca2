#pragma once

#include <QString>
#include <functional>

class Database;
class Prompter;
class Settings;

// The start-up steps that need no window: deciding whether the stored database can be used, starting the
// reminder program, upgrading and opening the database, and bringing the readings forward to today.
namespace StartUp {

struct DatabaseCheck
{
    // The file must be chosen again: no path, no file, not a database, or no Utilities table.
    bool mustLocate = false;
    // The file's version marker: "2.0" when Utilities lacks it, empty when it could not be read.
    QString version;
};

DatabaseCheck checkDatabase(const QString& path);

// Finishes or undoes what an operation cut short left beside the data file, telling the user what was done.
void recoverInterrupted(const QString& path, Prompter& prompter);

// When another window (here or on another machine) has the data file open, says who and asks whether to
// open it read-only (every form in Browse only) or to cancel. False when the user cancels; readOnly tells
// the choice.
bool askAboutOtherWindows(const QString& path, Prompter& prompter, bool& readOnly);

// Starts a program without waiting for it; true when it started.
using Launcher = std::function<bool(const QString& program)>;
Launcher detachedLauncher();

QString reminderProgram(const Settings& settings);
// Starts the reminder program when the "Schedule Reminder" option is on; a failure is not reported.
// Returns whether an attempt was made.
bool startReminder(const Settings& settings, const Launcher& launch);

// Brings an older file up to the current version, then makes sure the application connection is open on
// it. False, after telling the user, when it can not be opened.
bool upgradeAndOpen(Database& db, const QString& path, const QString& version, Prompter& prompter,
                    bool readOnly = false);

// Brings every vehicle's estimated reading forward to today in one transaction; an engine failure is
// told and leaves the readings as they were.
int bringReadingsForward(Database& db, Prompter& prompter);

} // namespace StartUp
