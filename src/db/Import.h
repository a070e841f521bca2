#pragma once

#include <QString>

class Prompter;

namespace Import {

// Makes a new database from a file of the previous generation. Asks where the new file goes (starting in
// installDir); the new database is that folder's Velmora.vel. A copy of the old file is kept beside it
// with the extension "BAK". The old file is checked before anything is written and is never changed.
// Returns true when the new database was created and filled. *newDatabasePath is empty when the user
// cancelled the question where to put it, and names the chosen place otherwise, even when a later step
// failed (a failed transfer leaves no new file there).
bool importPreviousVersion(const QString& oldFilePath, const QString& installDir, Prompter& prompter,
                           QString* newDatabasePath);

} // namespace Import
