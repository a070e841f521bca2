#pragma once

class CVelApp;

// The File menu's whole-file commands on the application's database. Every question, message and file
// dialog goes through the application's prompter.

// Copies the open database to a file the user names.
void backupDatabase(CVelApp& app);
// Replaces the database with a backup the user picks. True when the connection is open afterwards on the
// restored data; false when nothing was restored (cancelled, refused or failed).
bool restoreDatabase(CVelApp& app);
// Compacts the database file after the user agrees.
void runMaintenance(CVelApp& app);
