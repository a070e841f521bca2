#pragma once

#include <QString>

// The program's message texts, once each; numbered ones carry their number.
namespace Messages {

inline const QString CouldNotCreateDatabase = QStringLiteral("Couldn't create database");
inline const QString CanNotOpenNewDatabase = QStringLiteral("Can not open new database.");
inline const QString CanNotOpenExistingDatabase = QStringLiteral("Can not open existing database.");
inline const QString CanNotUpgradeToNewVersion = QStringLiteral("Can not upgrade database to new version.");
inline const QString CanNotUpgrade = QStringLiteral("Can not upgrade database.");
inline const QString CouldNotCreateBackupFile =
    QStringLiteral("Couldn't create backup file.  Make sure you have enough disk space and try again.");
inline const QString CouldNotOpenDatabase = QStringLiteral("Couldn't Open Database.");

// 61536
inline const QString MeasurementQuestion = QStringLiteral(
    "You now get to decided which type of measurement you wish to use.  Do you wish your vehicles to use the US "
    "Measurement System?  If you select No, the Metric System will be used instead.  You can always change "
    "measurement type by vehicle from the vehicle screen.");

inline const QString CouldNotImport = QStringLiteral("Couldn't import the data of the previous version.");

} // namespace Messages
