#pragma once

#include <QString>
#include <QStringList>

class Database;
class Prompter;

// Brings files of the earlier versions 2.0, 2.2 and 2.3 to the current shape. Each upgrade opens the
// application connection at the path when it is closed and leaves it closed. Failures are told to the
// user and never leave a step half-written.
namespace Upgrade {

// Adds Utilities.VerInd and Schedule.PerformEveryDay and replaces the fuel log's old fields; one
// transaction, so a failure leaves the file as it was.
void upgradeFrom20(Database& db, const QString& path, Prompter& prompter);

// Adds the vehicles' measurement fields, asking once which system the existing vehicles use; one
// transaction.
void upgradeFrom22(Database& db, const QString& path, Prompter& prompter);

// Adds the job-order tables and fields step by step: a failing step is undone and told, and the next one
// runs anyway, so running it on an upgraded file changes nothing. The version marker is written in the
// transaction of the step that completes the file, never while a part is missing. With onlyMissing the
// steps whose part the file already has are skipped.
void jobOrderUpgrade(Database& db, const QString& path, Prompter& prompter, bool onlyMissing = false);

// The start-up dispatch on the version read from the file: "2.0", "2.2" and "2.3" run the upgrades they
// need. A file of the current version (or an unknown one) that lacks parts of the job-order upgrade gets
// the missing steps; one that lacks anything else is refused. False, after telling the user, when the
// file can not be used.
bool upgradeByVersion(Database& db, const QString& path, const QString& versionText, Prompter& prompter);

// The tables ("Table") and fields ("Table.Field") the program binds that the open file lacks, not counting
// those that the upgrades of its version add.
QStringList missingParts(Database& db, const QString& versionText);

// Whether a missing part is one that the job-order steps add, which the start-up repair supplies.
bool isRepairable(const QString& part);

} // namespace Upgrade
