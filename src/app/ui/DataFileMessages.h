#pragma once

#include <QString>

// Texts of the data file commands and the welcome dialog that have no number of their own.
namespace DataFileMessages {

// %1 the data file in use, %2 the backup's file name, %3 the backup's date and time.
inline const QString RestoreQuestion =
    QStringLiteral("Restoring replaces all the data in %1 with the backup %2 of %3.  Changes made since that "
                   "backup will be lost.  Do you want to restore it?");
// %1 the data file's path.
inline const QString DataFileMissing =
    QStringLiteral("The data file %1 could not be found.  It may have been moved, renamed or deleted, or it "
                   "is on a drive that is not connected.");
// %1 the data file's path, %2 why.
inline const QString DataFileUnusable = QStringLiteral("The data file %1 could not be opened: %2");
inline const QString DataFileInUse = QStringLiteral("That is the data file in use.");

} // namespace DataFileMessages
