#pragma once

#include <QString>

class CVelApp;

// The File menu's whole-file commands on the application's database. Every question, message and file
// dialog goes through the application's prompter.

// Copies the open database to a file the user names; returns that file, empty when none was made.
QString backupDatabase(CVelApp& app);
// Replaces the database with a backup the user picks. True when the connection is open afterwards on the
// restored data; false when nothing was restored (cancelled, refused or failed).
bool restoreDatabase(CVelApp& app);
// Compacts the database file after the user agrees.
void runMaintenance(CVelApp& app);

// The folder for the user's data (created when missing): where a new data file goes unless the user
// chooses another.
QString defaultDataFolder();

// The file dialogs of the data file itself, with the checks of the welcome dialog: a new data file
// created where the user says, or an existing one that is a sound data file. Each returns the file's
// full path, or empty when the user cancelled or the file was refused (the user has been told).
QString chooseAndCreateDataFile(CVelApp& app);
QString chooseExistingDataFile(CVelApp& app);
// The checks of chooseExistingDataFile on a file named some other way (the command line).
QString acceptExistingDataFile(CVelApp& app, const QString& chosen);
