#pragma once

#include <QString>

// Messages of the whole-file operations: what went wrong with a file, and what was done about the leftovers
// of an operation that was cut short. %1 is a path unless said otherwise.
namespace FileMessages {

inline const QString DiskFull = QStringLiteral("There is not enough disk space to write %1.");
inline const QString NoPermission = QStringLiteral("You do not have permission to write %1.");
inline const QString NoPermissionToRead = QStringLiteral("You do not have permission to read %1.");
inline const QString PathTooLong = QStringLiteral("The path %1 is too long.");
inline const QString FileInUse = QStringLiteral("%1 is in use by another program.");
// Who holds a claim on a data file. %1 the file's name, %2 the program, %3 user@host, %4 the time.
inline const QString OpenIn = QStringLiteral("%1 is open in %2 on %3 since %4");
inline const QString BeingReplacedBy =
    QStringLiteral("%1 is being compacted or restored by %2 on %3 since %4");
// %1 one of the two above.
inline const QString CloseItThereFirst = QStringLiteral("%1; close it there first.");
inline const QString TryAgainWhenDone = QStringLiteral("%1; try again when it is done.");
inline const QString FileReplaced = QStringLiteral(
    "%1 was replaced by another program (maintenance or a restore) since it was opened.  It has been opened "
    "again; nothing was saved to the replaced file.  Please enter the change again.");
inline const QString NotRegularFile = QStringLiteral("%1 is not a regular file, so it can not be replaced.");
inline const QString SourceUnsound =
    QStringLiteral("%1 is not a sound Velmora data file (%2), so the earlier file was left as it was.");
// %1 the path, %2 the engine's description.
inline const QString NotADataFile = QStringLiteral("%1 is not a Velmora database (%2)");
inline const QString FolderMissing = QStringLiteral("The folder of %1 does not exist.");
inline const QString FileMissing = QStringLiteral("%1 does not exist.");
// %1 the path, %2 the system's own description.
inline const QString OtherFileError = QStringLiteral("%1 could not be written: %2.");

inline const QString CouldNotCreateBackupFileBecause = QStringLiteral("Couldn't create backup file.  %1");
inline const QString ImportFolderHoldsDataFile = QStringLiteral(
    "%1 already holds a Velmora data file.  Please choose another folder for the imported data.");
// %1 table, %2 row number, %3 field, %4 the value as found.
inline const QString ImportValueRefused = QStringLiteral(
    "The value '%4' in table %1, row %2, field %3 does not fit that field, so nothing was imported.");

inline const QString RestoreUndone = QStringLiteral(
    "A restore into %1 was interrupted.  It has been undone: your data file is as it was before.");
inline const QString RestoreCompleted = QStringLiteral(
    "A restore into %1 was interrupted after the restored data was complete.  It has been finished.");
inline const QString CompactionUndone = QStringLiteral(
    "Maintenance of %1 was interrupted.  It has been undone: your data file is as it was before.");
inline const QString TemporariesRemoved =
    QStringLiteral("Unfinished files of an interrupted operation were removed from the folder of %1.");
inline const QString DamagedFileKeptAside =
    QStringLiteral("The unfinished file that was in its place was kept as %1.");

// %2 the list of missing tables and fields.
inline const QString UpgradeRepaired =
    QStringLiteral("%1 lacked parts of the current version (%2).  The missing upgrade steps have been run.");
inline const QString FileLacksFields =
    QStringLiteral("%1 lacks tables or fields that Velmora needs (%2), so it can not be used.");

} // namespace FileMessages
