#pragma once

#include <QString>

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
// runs anyway, so running it on an upgraded file changes nothing.
void jobOrderUpgrade(Database& db, const QString& path, Prompter& prompter);

// The start-up dispatch on the version read from the file: "2.0", "2.2" and "2.3" run the upgrades they
// need, anything else runs none.
void upgradeByVersion(Database& db, const QString& path, const QString& versionText, Prompter& prompter);

} // namespace Upgrade
