#include "db/Import.h"

#include "db/Clock.h"
#include "db/Database.h"
#include "db/DatabaseCreation.h"
#include "db/DbException.h"
#include "db/Messages.h"
#include "db/Prompter.h"
#include "db/Schema.h"
#include "db/SqlText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlQuery>
#include <QSqlRecord>
#include <map>
#include <utility>
#include <vector>

namespace Import {

namespace {

const QString NewFileName = QStringLiteral("Velmora.vel");
constexpr int DamagedFile = 11; // SQLite's code for a malformed database

// What the transfer reads; a file without them is not one of the previous generation.
const QStringList OldTables = {
    QStringLiteral("CarsOwners"),          QStringLiteral("ActualMaintenance"),
    QStringLiteral("ActualMaintServices"), QStringLiteral("ServiceTypes"),
    QStringLiteral("ServiceStations"),     QStringLiteral("Schedule"),
    QStringLiteral("ScheduleServices"),
};

void checkOldFile(const QString& path)
{
    Database old;
    old.open(path, QString(), true);
    const QString integrity = old.scalar(QStringLiteral("PRAGMA quick_check")).toString();
    if (integrity != QLatin1String("ok"))
        throw CdbException(DamagedFile, integrity.isEmpty()
                                            ? QStringLiteral("database disk image is malformed")
                                            : integrity);
    for (const QString& table : OldTables)
        if (!old.hasTable(table))
            throw CdbException(CdbException::TableNotFound, QStringLiteral("no such table: ") + table);
}

bool sameFile(const QString& a, const QString& b)
{
    const QString first = QFileInfo(a).canonicalFilePath();
    return !first.isEmpty() && first == QFileInfo(b).canonicalFilePath();
}

QString backupPathOf(const QString& path)
{
    return path.left(qMax(0, int(path.size()) - 3)) + QStringLiteral("BAK");
}

bool makeBackup(const QString& oldFilePath, const QString& backupPath)
{
    // A backup named like the old file itself would mean deleting the very file being imported.
    if (sameFile(oldFilePath, backupPath))
        return false;
    if (QFileInfo::exists(backupPath) && !QFile::remove(backupPath))
        return false;
    if (!QFile::copy(oldFilePath, backupPath))
        return false;
    QFile::setPermissions(backupPath, QFile::ReadOwner | QFile::WriteOwner);
    return true;
}

QVariant emptyValue(Schema::FieldType type)
{
    switch (type) {
    case Schema::FieldType::Text:
    case Schema::FieldType::Memo:
        return QString::fromLatin1("", 0);
    case Schema::FieldType::Double:
        return 0.0;
    default:
        return 0;
    }
}

// Adds rows to one table of the new file through one prepared statement. Fields not given, and nulls read
// from the old file, are stored as the empty text or 0.
class RowWriter
{
public:
    RowWriter(Database& db, const QString& table) : m_db(db), m_fields(Schema::table(table).fields)
    {
        QStringList names;
        QStringList marks;
        for (const Schema::Field& field : m_fields) {
            names << QLatin1Char('"') + field.name + QLatin1Char('"');
            marks << QStringLiteral("?");
        }
        m_query =
            db.prepare(QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                           .arg(table, names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))));
    }

    void insert(const QVariantHash& values)
    {
        for (int i = 0; i < int(m_fields.size()); ++i) {
            const Schema::Field& field = m_fields[i];
            QVariant value = values.value(field.name);
            if (value.isNull() || (value.typeId() == QMetaType::QString && value.toString().isNull()))
                value = emptyValue(field.type);
            m_query.bindValue(i, value);
        }
        m_db.exec(m_query);
    }

private:
    Database& m_db;
    const std::vector<Schema::Field>& m_fields;
    QSqlQuery m_query;
};

// One row of an old table, read by field name; a field the old file lacks reads as null.
class OldRow
{
public:
    explicit OldRow(const QSqlQuery& query) : m_record(query.record()) {}
    QVariant value(const char* name) const { return m_record.value(QString::fromLatin1(name)); }
    QString text(const char* name) const { return value(name).toString(); }
    qint32 number(const char* name) const { return qint32(value(name).toLongLong()); }
    double amount(const char* name) const { return value(name).toDouble(); }

private:
    QSqlRecord m_record;
};

class Transfer
{
public:
    Transfer(Database& old, Database& target) : m_old(old), m_target(target) {}

    void run()
    {
        m_nextContact = nextIdentifier(QStringLiteral("ContactInfo"), QStringLiteral("ContactID"));
        m_nextOwner = nextIdentifier(QStringLiteral("Owners"), QStringLiteral("OwnerID"));
        vehicles();
        maintenance();
        maintenanceServices();
        services();
        companies();
        schedule();
    }

private:
    qint32 nextIdentifier(const QString& table, const QString& key)
    {
        return qint32(m_target.scalar(QStringLiteral("SELECT MAX(%1) FROM %2").arg(key, table)).toLongLong() +
                      1);
    }

    QSqlQuery readOld(const QString& statement)
    {
        QSqlQuery query = m_old.prepare(statement);
        m_old.exec(query);
        return query;
    }

    void vehicles()
    {
        RowWriter vehicleRows(m_target, QStringLiteral("Vehicles"));
        RowWriter contactRows(m_target, QStringLiteral("ContactInfo"));
        RowWriter ownerRows(m_target, QStringLiteral("Owners"));
        QSqlQuery cars = readOld(QStringLiteral("SELECT * from CarsOwners"));
        while (cars.next()) {
            const OldRow car(cars);
            const QString last = car.text("LastName");
            const QString first = car.text("FirstName");
            const QString owner = QStringLiteral("LastName = ") + SqlText::literal(last) +
                                  QStringLiteral(" AND FirstName = ") + SqlText::literal(first) +
                                  QStringLiteral(" AND ContactType = 1");
            const QVariant found = m_target.scalar(
                QStringLiteral(
                    "SELECT Owners.OwnerID FROM ContactInfo INNER JOIN Owners ON Owners.ContactID = "
                    "ContactInfo.ContactID WHERE ") +
                owner + QStringLiteral(" ORDER BY ContactInfo.ContactID, Owners.OwnerID"));
            qint32 ownerId = 0;
            if (found.isValid() && !found.isNull()) {
                ownerId = found.toInt();
            } else {
                ownerId = m_nextOwner++;
                const qint32 contactId = m_nextContact++;
                contactRows.insert({{"ContactID", contactId},
                                    {"ContactType", 1},
                                    {"LastName", last},
                                    {"FirstName", first},
                                    {"Address1", car.text("Address1")},
                                    {"Address2", car.text("Address2")},
                                    {"City", car.text("City")},
                                    {"State", car.text("State")},
                                    {"ZipCode", car.text("ZipCode")},
                                    {"Phone", car.text("WorkPhone")},
                                    {"AltPhone", car.text("HomePhone")}});
                ownerRows.insert({{"OwnerID", ownerId}, {"ContactID", contactId}});
            }
            const qint32 vehicleContact = m_nextContact++;
            contactRows.insert({{"ContactID", vehicleContact}});
            const QString actualDate = car.text("DateOfActualMiles");
            vehicleRows.insert({{"VehicleID", car.number("CarID")},
                                {"VehicleYear", car.text("CarYear")},
                                {"VehicleMake", car.text("CarMake")},
                                {"VehicleModel", car.text("CarModel")},
                                {"VehicleVIN", car.text("CarVIN")},
                                {"EstMilesPerMonth", car.number("EstMilesPerMonth")},
                                {"EntryOfActualMiles", car.number("EntryOfActualMiles")},
                                {"DateOfActualMiles", actualDate},
                                {"DateOfEstimatedMiles", actualDate},
                                {"LastScheduledMaint", 0},
                                {"PurchaseAmount", 0.0},
                                {"ActiveInd", -1},
                                {"OwnerID", ownerId},
                                {"ContactID", vehicleContact}});
        }
    }

    void maintenance()
    {
        RowWriter rows(m_target, QStringLiteral("Maintenance"));
        QSqlQuery entries = readOld(QStringLiteral("SELECT * from ActualMaintenance"));
        while (entries.next()) {
            const OldRow entry(entries);
            // Without its vehicle an entry would show on no form; the old car is kept where the file has it.
            rows.insert({{"MaintID", entry.number("ActualMaintID")},
                         {"StationID", entry.number("StationID")},
                         {"VehicleID", entry.number("CarID")},
                         {"ActualMiles", entry.number("ActualMiles")},
                         {"MaintDate", entry.text("MaintDate")},
                         {"Description", entry.text("Description")},
                         {"TotalPrice", entry.amount("Tax")}});
        }
    }

    void maintenanceServices()
    {
        RowWriter rows(m_target, QStringLiteral("MaintServices"));
        QSqlQuery services =
            readOld(QStringLiteral("SELECT * from ActualMaintServices ORDER BY ActualMaintID"));
        while (services.next()) {
            const OldRow service(services);
            rows.insert({{"MaintID", service.number("ActualMaintID")},
                         {"ServiceID", service.number("ServiceID")},
                         {"VehicleID", service.number("CarID")},
                         {"Price", service.amount("Price")},
                         {"LinkInd", 0}});
        }
        m_target.execute(QStringLiteral(
            "UPDATE Maintenance SET TotalPrice = TotalPrice + (SELECT SUM(Price) FROM MaintServices WHERE "
            "MaintServices.MaintID = Maintenance.MaintID AND MaintServices.LinkInd = 0) "
            "WHERE MaintID IN (SELECT MaintID FROM MaintServices WHERE LinkInd = 0)"));
        // An old file whose entries do not name their car: the car of the entry's services is the one.
        m_target.execute(
            QStringLiteral("UPDATE Maintenance SET VehicleID = (SELECT VehicleID FROM MaintServices WHERE "
                           "MaintServices.MaintID = Maintenance.MaintID AND MaintServices.LinkInd = 0 "
                           "ORDER BY rowid LIMIT 1) WHERE VehicleID = 0 AND MaintID IN (SELECT MaintID FROM "
                           "MaintServices WHERE LinkInd = 0)"));
    }

    void services()
    {
        m_target.execute(QStringLiteral("DELETE FROM Services WHERE ServiceID > 0"));
        RowWriter rows(m_target, QStringLiteral("Services"));
        QSqlQuery types = readOld(QStringLiteral("SELECT * from ServiceTypes"));
        while (types.next()) {
            const OldRow type(types);
            rows.insert({{"ServiceID", type.number("ServiceID")},
                         {"ServiceDesc", type.text("ServiceDesc")},
                         {"ServiceTypeID", 1}});
        }
    }

    void companies()
    {
        RowWriter rows(m_target, QStringLiteral("ContactInfo"));
        std::vector<std::pair<qint32, qint32>> moved;
        QSqlQuery stations = readOld(QStringLiteral("SELECT * from ServiceStations"));
        while (stations.next()) {
            const OldRow station(stations);
            const qint32 contactId = m_nextContact++;
            QString name = station.text("StationName");
            name.replace(QLatin1Char('\''), QLatin1Char('`')); // company names are stored with backquotes
            rows.insert({{"ContactID", contactId},
                         {"ContactType", 4},
                         {"CompanyName", name},
                         {"FirstName", station.text("StationMechFirstName")},
                         {"LastName", station.text("StationMechLastName")},
                         {"Address1", station.text("StationAddress1")},
                         {"Address2", station.text("StationAddress2")},
                         {"City", station.text("StationCity")},
                         {"State", station.text("StationState")},
                         {"ZipCode", station.text("StationZipCode")},
                         {"Phone", station.text("StationPhone")},
                         {"Fax", station.text("StationFax")}});
            const qint32 oldId = station.number("StationID");
            if (oldId != 0 && oldId != contactId)
                moved.emplace_back(oldId, contactId);
        }
        repointStations(moved);
    }

    // All stations move at once: re-pointing one after the other would carry the entries of a station whose
    // new key is the old key of a later one along with that later one.
    void repointStations(const std::vector<std::pair<qint32, qint32>>& moved)
    {
        if (moved.empty())
            return;
        QString cases;
        QStringList olds;
        for (const auto& [oldId, newId] : moved) {
            cases += QStringLiteral(" WHEN %1 THEN %2").arg(oldId).arg(newId);
            olds << QString::number(oldId);
        }
        m_target.execute(
            QStringLiteral("UPDATE Maintenance SET StationID = CASE StationID%1 END WHERE StationID IN (%2)")
                .arg(cases, olds.join(QStringLiteral(", "))));
    }

    struct Recommendation
    {
        qint32 car;
        qint32 service;
        qint32 reading;
    };

    struct Performed
    {
        qint32 miles;
        QString date;
    };

    // The latest maintenance entry of each vehicle and service, read once.
    std::map<std::pair<qint32, qint32>, Performed> lastPerformed()
    {
        QSqlQuery query = m_target.prepare(QStringLiteral(
            "SELECT MaintServices.VehicleID, MaintServices.ServiceID, Maintenance.ActualMiles, "
            "Maintenance.MaintDate "
            "FROM MaintServices INNER JOIN Maintenance ON Maintenance.MaintID = MaintServices.MaintID "
            "WHERE MaintServices.LinkInd = 0 ORDER BY Maintenance.MaintDate, Maintenance.ActualMiles"));
        m_target.exec(query);
        std::map<std::pair<qint32, qint32>, Performed> latest;
        while (query.next())
            latest[{query.value(0).toInt(), query.value(1).toInt()}] = {query.value(2).toInt(),
                                                                        query.value(3).toString()};
        return latest;
    }

    void schedule()
    {
        std::vector<Recommendation> recommended;
        QSqlQuery query = readOld(QStringLiteral(
            "SELECT ScheduleServices.CarID, ScheduleServices.ServiceID, ScheduleServices.ScheduleRecMiles "
            "FROM Schedule, ScheduleServices WHERE Schedule.CarID = ScheduleServices.CarID AND "
            "Schedule.ScheduleRecMiles = ScheduleServices.ScheduleRecMiles "
            "ORDER BY ScheduleServices.ServiceID, ScheduleServices.CarID, "
            "ScheduleServices.ScheduleRecMiles"));
        while (query.next())
            recommended.push_back(
                {query.value(0).toInt(), query.value(1).toInt(), qint32(query.value(2).toLongLong())});

        const auto performed = lastPerformed();
        const QString today = Clock::today().toString(QStringLiteral("yyyyMMdd"));
        RowWriter rows(m_target, QStringLiteral("Schedule"));
        qint32 nextSchedule = nextIdentifier(QStringLiteral("Schedule"), QStringLiteral("ScheduleID"));
        // A group is one service of one car: its first two recommended readings give the interval.
        for (size_t start = 0; start < recommended.size();) {
            const Recommendation& first = recommended[start];
            size_t end = start + 1;
            while (end < recommended.size() && recommended[end].service == first.service &&
                   recommended[end].car == first.car)
                ++end;
            const bool once = end - start == 1;
            const qint32 interval = once ? first.reading : recommended[start + 1].reading - first.reading;
            const auto done = performed.find({first.car, first.service});
            start = end;
            if (once && done != performed.end())
                continue; // a one-time service already performed needs no entry
            rows.insert({{"ScheduleID", nextSchedule++},
                         {"VehicleID", first.car},
                         {"ServiceID", first.service},
                         {"PerformOnce", once ? 1 : 0},
                         {"PerformEveryMiles", interval},
                         {"PerformEveryMonth", once ? 0 : interval / 1000},
                         {"PerformEveryDay", 0},
                         {"LastMiles", done != performed.end() ? done->second.miles : 0},
                         {"LastDate", done != performed.end() ? done->second.date : today}});
        }
    }

    Database& m_old;
    Database& m_target;
    qint32 m_nextContact = 1;
    qint32 m_nextOwner = 1;
};

} // namespace

bool importPreviousVersion(const QString& oldFilePath, const QString& installDir, Prompter& prompter,
                           QString* newDatabasePath)
{
    if (newDatabasePath)
        newDatabasePath->clear();
    Prompter::FileDialog dialog;
    dialog.defaultSuffix = QStringLiteral("vel");
    dialog.defaultName = NewFileName;
    dialog.filter = QStringLiteral("Velmora Database (Velmora.vel)");
    dialog.folder = installDir;
    dialog.confirmOverwrite = true;
    const QString chosen = prompter.saveFileName(dialog);
    if (chosen.isEmpty())
        return false;
    const QString newPath = QDir(QFileInfo(chosen).absolutePath()).filePath(NewFileName);
    if (newDatabasePath)
        *newDatabasePath = newPath;

    try {
        checkOldFile(oldFilePath);
    } catch (const CdbException& error) {
        prompter.message(error.description());
        prompter.message(Messages::CanNotOpenExistingDatabase);
        return false;
    }

    // Creating the new file replaces whatever is at its path, which must not be the file being imported.
    if (sameFile(newPath, oldFilePath)) {
        prompter.message(Messages::CouldNotCreateDatabase);
        return false;
    }

    const QString backupPath = backupPathOf(oldFilePath);
    bool backedUp = false;
    {
        BusyScope busy(prompter);
        backedUp = makeBackup(oldFilePath, backupPath);
    }
    if (!backedUp) {
        prompter.message(Messages::CouldNotCreateBackupFile);
        return false;
    }

    if (!DatabaseCreation::createDatabase(newPath, prompter))
        return false;

    Database old;
    try {
        old.open(backupPath, QString(), true);
    } catch (const CdbException& error) {
        QFile::remove(newPath);
        prompter.message(error.description());
        prompter.message(Messages::CanNotOpenExistingDatabase);
        return false;
    }

    Database target;
    QString failure;
    QString failureMessage;
    {
        BusyScope busy(prompter);
        try {
            target.open(newPath, DatabaseCreation::ConnectText);
            try {
                Transaction transaction(target);
                Transfer(old, target).run();
                transaction.commit();
            } catch (const CdbException& error) {
                failure = error.description();
                failureMessage = Messages::CouldNotImport;
            }
        } catch (const CdbException& error) {
            failure = error.description();
            failureMessage = Messages::CanNotOpenNewDatabase;
        }
        target.close();
        old.close();
    }
    if (!failureMessage.isEmpty()) {
        QFile::remove(newPath);
        prompter.message(failure);
        prompter.message(failureMessage);
        return false;
    }
    return true;
}

} // namespace Import
