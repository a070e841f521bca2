#include "db/Upgrade.h"

#include "db/DataFile.h"

#include "db/Database.h"
#include "db/DatabaseCreation.h"
#include "db/DbException.h"
#include "db/FileMessages.h"
#include "db/LookupIndexes.h"
#include "db/Messages.h"
#include "db/Prompter.h"
#include "db/Schema.h"
#include "db/sets/UtilitiesSet.h"
#include "db/sets/VehicleSet.h"

#include <QDir>
#include <QSet>
#include <QSqlQuery>

namespace Upgrade {

namespace {

// Within the chain of upgrades each one marks the version its result has, so that a chain stopped by a
// failure starts again where it stopped at the next start.
const QString Version22 = QStringLiteral("2.2");
const QString Version23 = QStringLiteral("2.3");

void openIfClosed(Database& db, const QString& path)
{
    if (!db.isOpen())
        db.open(path, DatabaseCreation::ConnectText);
}

QString quoted(const QString& name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

void addField(Database& db, const QString& table, const QString& field)
{
    for (const Schema::Field& definition : Schema::table(table).fields) {
        if (definition.name == field) {
            db.execute(Schema::addFieldStatement(table, definition));
            return;
        }
    }
    throw CdbException(CdbException::TooFewParameters,
                       QStringLiteral("no such column: %1.%2").arg(table, field));
}

// SQLite refuses to drop an indexed column; an index over a field that goes has no use afterwards.
void dropIndexesOver(Database& db, const QString& table, const QString& column)
{
    QSqlQuery query = db.prepare(QStringLiteral(
        "SELECT DISTINCT list.name FROM pragma_index_list(?) AS list, pragma_index_info(list.name) AS info "
        "WHERE info.name = ? COLLATE NOCASE AND list.origin = 'c'"));
    query.addBindValue(table);
    query.addBindValue(column);
    db.exec(query);
    QStringList names;
    while (query.next())
        names << query.value(0).toString();
    query.finish();
    for (const QString& name : names)
        db.execute(QStringLiteral("DROP INDEX ") + quoted(name));
}

void dropField(Database& db, const QString& table, const QString& column)
{
    dropIndexesOver(db, table, column);
    db.execute(QStringLiteral("ALTER TABLE %1 DROP COLUMN %2").arg(quoted(table), quoted(column)));
}

void markVersion(Database& db, const QString& version)
{
    CUtilitiesSet utilities(db);
    utilities.open();
    if (utilities.isEOF())
        utilities.addNew();
    else
        utilities.edit();
    utilities.m_VerInd = version;
    utilities.update();
    utilities.close();
}

// The cause when the disk or another program is to blame ("disk full" rather than "disk I/O error").
void tellFailure(Prompter& prompter, const CdbException& error, const QString& path, const QString& message)
{
    prompter.message(DataFile::causeOf(error, path));
    prompter.message(message);
}

bool runFrom20(Database& db, const QString& path, Prompter& prompter, const QString& version)
{
    BusyScope busy(prompter);
    bool settingScheduleDays = false;
    try {
        openIfClosed(db, path);
        {
            Transaction transaction(db);
            addField(db, QStringLiteral("Utilities"), QStringLiteral("VerInd"));
            addField(db, QStringLiteral("Schedule"), QStringLiteral("PerformEveryDay"));
            settingScheduleDays = true;
            db.execute(QStringLiteral("UPDATE Schedule SET PerformEveryDay = 0"));
            settingScheduleDays = false;
            // The old fuel fields had other meanings; their contents are dropped with them.
            for (const char* old : {"Date", "Gallons", "MilesTank", "Mileage", "Cost", "StationID", "Memo"})
                dropField(db, QStringLiteral("GasLog"), QString::fromLatin1(old));
            for (const char* field : {"Mileage", "BriefDesc", "StationID", "Date", "TotalCost", "CostGallon",
                                      "Gallons", "Fillup", "Estimated"})
                addField(db, QStringLiteral("GasLog"), QString::fromLatin1(field));
            markVersion(db, version);
            transaction.commit();
        }
        db.close();
        return true;
    } catch (const CdbException& error) {
        db.close();
        if (settingScheduleDays)
            prompter.message(DataFile::causeOf(error, path));
        else
            tellFailure(prompter, error, path, Messages::CanNotOpenNewDatabase);
        return false;
    }
}

bool runFrom22(Database& db, const QString& path, Prompter& prompter, const QString& version)
{
    BusyScope busy(prompter);
    try {
        openIfClosed(db, path);
        {
            Transaction transaction(db);
            addField(db, QStringLiteral("Vehicles"), QStringLiteral("Measurement"));
            addField(db, QStringLiteral("Vehicles"), QStringLiteral("HoursInd"));
            if (db.scalar(QStringLiteral("SELECT count(*) FROM Vehicles")).toInt() > 0) {
                const bool usUnits = prompter.yesNo(Messages::MeasurementQuestion);
                db.execute(QStringLiteral("UPDATE Vehicles SET Measurement = %1, HoursInd = 0")
                               .arg(usUnits ? 0 : 1));
            }
            markVersion(db, version);
            transaction.commit();
        }
        db.close();
        return true;
    } catch (const CdbException& error) {
        db.close();
        tellFailure(prompter, error, path, Messages::CanNotOpenNewDatabase);
        return false;
    }
}

// Tables added by the job-order upgrade get unique keys, unlike those of a newly created file.
Schema::Table withUniqueKey(Schema::Table table)
{
    for (Schema::Index& index : table.indexes) {
        if (index.name == QLatin1String("PrimaryKey")) {
            index.primary = true;
            index.unique = true;
        }
    }
    return table;
}

void createJobOrderTable(Database& db)
{
    Schema::Table table = withUniqueKey(Schema::table(QStringLiteral("JobOrder")));
    for (Schema::Field& field : table.fields)
        if (field.name == QLatin1String("OpenInd"))
            field.type = Schema::FieldType::Long;
    Schema::createTable(db, table);
}

void linkMaintenanceServices(Database& db)
{
    const QString table = QStringLiteral("MaintServices");
    addField(db, table, QStringLiteral("LinkInd"));
    db.execute(QStringLiteral("DROP INDEX IF EXISTS ") +
               quoted(Schema::indexName(table, QStringLiteral("PrimaryKey"))));
    db.execute(QStringLiteral("UPDATE MaintServices SET LinkInd = 0"));
    for (const Schema::Index& index : Schema::table(table).indexes)
        db.execute(Schema::createIndexStatement(table, index));
}

void addMaintenanceJobOrder(Database& db)
{
    addField(db, QStringLiteral("Maintenance"), QStringLiteral("JobOrderID"));
    db.execute(QStringLiteral("UPDATE Maintenance SET JobOrderID = 0"));
}

bool lacksVehicleFields(Database& db, const QString& path)
{
    try {
        openIfClosed(db, path);
        CVehicleSet vehicles(db);
        vehicles.open();
        vehicles.close();
        return false;
    } catch (const CdbException& error) {
        return error.code() == CdbException::TooFewParameters;
    }
}

} // namespace

void upgradeFrom20(Database& db, const QString& path, Prompter& prompter)
{
    runFrom20(db, path, prompter, Schema::CurrentVersion);
}

void upgradeFrom22(Database& db, const QString& path, Prompter& prompter)
{
    runFrom22(db, path, prompter, Schema::CurrentVersion);
}

void jobOrderUpgrade(Database& db, const QString& path, Prompter& prompter, bool onlyMissing)
{
    BusyScope busy(prompter);
    try {
        openIfClosed(db, path);
    } catch (const CdbException& error) {
        // Without the file none of the steps can run; telling each of them would only repeat this.
        tellFailure(prompter, error, path, Messages::CanNotUpgrade);
        return;
    }

    // The marker goes into the transaction of whichever step leaves nothing missing, so a file never
    // claims the current version while it lacks one of its parts.
    bool marked = false;
    const auto markIfComplete = [&] {
        if (!marked && missingParts(db, Schema::CurrentVersion).isEmpty()) {
            DatabaseCreation::writeVersionMarker(db);
            marked = true;
        }
    };
    const auto step = [&](const QString& part, auto&& work) {
        try {
            // Inside the try: after a step failed on a full disk, even reading what is missing can fail.
            if (onlyMissing && !missingParts(db, Schema::CurrentVersion).contains(part))
                return;
            Transaction transaction(db);
            work();
            markIfComplete();
            transaction.commit();
        } catch (const CdbException& error) {
            marked = false;
            tellFailure(prompter, error, path, Messages::CanNotUpgradeToNewVersion);
        }
    };
    step(QStringLiteral("JobOrder"), [&] { createJobOrderTable(db); });
    step(QStringLiteral("MaintServicesUnexpected"), [&] {
        Schema::createTable(db, withUniqueKey(Schema::table(QStringLiteral("MaintServicesUnexpected"))));
    });
    step(QStringLiteral("MaintServices.LinkInd"), [&] { linkMaintenanceServices(db); });
    step(QStringLiteral("Maintenance.JobOrderID"), [&] { addMaintenanceJobOrder(db); });
    step(QStringLiteral("ScheduleTemplate"),
         [&] { Schema::createTable(db, Schema::table(QStringLiteral("ScheduleTemplate"))); });
    step(QStringLiteral("ScheduleTemplateNames"),
         [&] { Schema::createTable(db, Schema::table(QStringLiteral("ScheduleTemplateNames"))); });

    try {
        if (!marked && DatabaseCreation::readVersion(db) != Schema::CurrentVersion) {
            Transaction transaction(db);
            markIfComplete();
            transaction.commit();
        }
    } catch (const CdbException& error) {
        tellFailure(prompter, error, path, Messages::CanNotUpgrade);
    }
    db.close();
}

namespace {

// What each upgrade adds; a file of an older version lacks these until its upgrades have run.
const QStringList AddedFrom20 = {
    QStringLiteral("Utilities.VerInd"), QStringLiteral("Schedule.PerformEveryDay"),
    QStringLiteral("GasLog.Mileage"),   QStringLiteral("GasLog.BriefDesc"),
    QStringLiteral("GasLog.StationID"), QStringLiteral("GasLog.Date"),
    QStringLiteral("GasLog.TotalCost"), QStringLiteral("GasLog.CostGallon"),
    QStringLiteral("GasLog.Gallons"),   QStringLiteral("GasLog.Fillup"),
    QStringLiteral("GasLog.Estimated"),
};
const QStringList AddedFrom22 = {QStringLiteral("Vehicles.Measurement"), QStringLiteral("Vehicles.HoursInd")};
const QStringList AddedByJobOrders = {
    QStringLiteral("JobOrder"),
    QStringLiteral("MaintServicesUnexpected"),
    QStringLiteral("ScheduleTemplate"),
    QStringLiteral("ScheduleTemplateNames"),
    QStringLiteral("MaintServices.LinkInd"),
    QStringLiteral("Maintenance.JobOrderID"),
};

bool tableAddedByUpgrade(const QString& part, const QStringList& added)
{
    return added.contains(part.section(QLatin1Char('.'), 0, 0));
}

} // namespace

QStringList missingParts(Database& db, const QString& versionText)
{
    QStringList excused;
    if (versionText == QLatin1String("2.0"))
        excused = AddedFrom20 + AddedFrom22 + AddedByJobOrders;
    else if (versionText == Version22 || versionText == Version23)
        excused = AddedFrom22 + AddedByJobOrders;

    QSqlQuery tables = db.prepare(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"));
    db.exec(tables);
    QSet<QString> present;
    while (tables.next())
        present.insert(tables.value(0).toString().toLower());
    tables.finish();

    QStringList missing;
    for (const Schema::Table& table : Schema::tables()) {
        if (!present.contains(table.name.toLower())) {
            if (!excused.contains(table.name))
                missing << table.name;
            continue;
        }
        const QStringList columns = db.columnsOf(table.name);
        for (const Schema::Field& field : table.fields) {
            const QString part = table.name + QLatin1Char('.') + field.name;
            if (!columns.contains(field.name.toLower()) && !excused.contains(part) &&
                !tableAddedByUpgrade(part, excused))
                missing << part;
        }
    }
    return missing;
}

bool isRepairable(const QString& part)
{
    return AddedByJobOrders.contains(part);
}

namespace {

bool upgradeOrRepair(Database& db, const QString& path, const QString& versionText, Prompter& prompter)
{
    // A failed upgrade keeps the file's older marker, so the rest of the chain waits for the next start.
    if (versionText == QLatin1String("2.0")) {
        if (runFrom20(db, path, prompter, Version22) && runFrom22(db, path, prompter, Version23))
            jobOrderUpgrade(db, path, prompter, true);
        return true;
    }
    if (versionText == Version22) {
        if (runFrom22(db, path, prompter, Version23))
            jobOrderUpgrade(db, path, prompter, true);
        return true;
    }
    if (versionText == Version23) {
        if (!lacksVehicleFields(db, path) || runFrom22(db, path, prompter, Version23))
            jobOrderUpgrade(db, path, prompter, true);
        return true;
    }

    QStringList missing;
    try {
        openIfClosed(db, path);
        missing = missingParts(db, versionText);
    } catch (const CdbException&) {
        // The open that follows shows what is wrong with the file.
        return true;
    }
    if (missing.isEmpty()) {
        db.close();
        return true;
    }
    const auto listed = [](const QStringList& parts) { return parts.join(QStringLiteral(", ")); };
    for (const QString& part : missing) {
        if (!isRepairable(part)) {
            db.close();
            prompter.message(
                FileMessages::FileLacksFields.arg(QDir::toNativeSeparators(path), listed(missing)));
            return false;
        }
    }
    jobOrderUpgrade(db, path, prompter, true);
    QStringList stillMissing;
    try {
        openIfClosed(db, path);
        stillMissing = missingParts(db, versionText);
    } catch (const CdbException&) {
        // The upgrade has told its failure; the open that follows shows what is wrong with the file.
        db.close();
        return true;
    }
    db.close();
    if (!stillMissing.isEmpty()) {
        prompter.message(
            FileMessages::FileLacksFields.arg(QDir::toNativeSeparators(path), listed(stillMissing)));
        return false;
    }
    prompter.information(FileMessages::UpgradeRepaired.arg(QDir::toNativeSeparators(path), listed(missing)));
    return true;
}

} // namespace

bool upgradeByVersion(Database& db, const QString& path, const QString& versionText, Prompter& prompter)
{
    const bool usable = upgradeOrRepair(db, path, versionText, prompter);
    if (versionText != Schema::CurrentVersion) {
        // Speed only: a file that refuses the lookup indexes stays usable without them.
        try {
            Database indexed;
            indexed.open(path, DatabaseCreation::ConnectText);
            LookupIndexes::ensure(indexed);
        } catch (const CdbException&) {
        }
    }
    return usable;
}

} // namespace Upgrade
