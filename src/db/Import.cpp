#include "db/Import.h"

#include "db/Clock.h"
#include "db/DataFile.h"
#include "db/Database.h"
#include "db/DatabaseCreation.h"
#include "db/DbException.h"
#include "db/FileMessages.h"
#include "db/Messages.h"
#include "db/Prompter.h"
#include "db/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlQuery>
#include <QSqlRecord>
#include <cmath>
#include <limits>
#include <map>
#include <type_traits>
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

QString backupPathOf(const QString& path)
{
    return path.left(qMax(0, int(path.size()) - 3)) + QStringLiteral("BAK");
}

constexpr int ValueRefused = 3163; // the engine's "field is too small" code

// One value for the new file and where in the old file it came from, so that a value that does not fit
// can be named to the user.
struct Cell
{
    Cell() = default;
    template <typename T>
    requires(!std::is_same_v<std::decay_t<T>, Cell>) Cell(T&& v)
        : value(QVariant::fromValue(std::forward<T>(v)))
    {
    }
    Cell(QVariant v, QString table, qint64 row, const char* field)
        : value(std::move(v)), table(std::move(table)), row(row), field(field)
    {
    }
    QVariant value;
    QString table;
    qint64 row = 0;
    const char* field = nullptr;
};

// The values of one new row by field name; fields not named are stored empty.
using Cells = std::initializer_list<std::pair<const char*, Cell>>;

[[noreturn]] void refuse(const Cell& cell, const QString& targetField)
{
    QString shown = cell.value.typeId() == QMetaType::QByteArray ? QStringLiteral("(binary data)")
                                                                 : cell.value.toString();
    shown.replace(QChar(0), QStringLiteral("\\0"));
    if (shown.size() > 80)
        shown = shown.left(80) + QStringLiteral("...");
    throw CdbException(
        ValueRefused,
        FileMessages::ImportValueRefused.arg(cell.table.isEmpty() ? QStringLiteral("(computed)") : cell.table)
            .arg(cell.row)
            .arg(cell.field ? QString::fromLatin1(cell.field) : targetField, shown));
}

bool isBlank(const QVariant& value)
{
    return value.isNull() || (value.typeId() == QMetaType::QString && value.toString().trimmed().isEmpty());
}

// A whole number in [low, high]: integers, integral reals and texts that read whole as one; anything else is
// refused rather than wrapped, cut or read as 0.
qint64 wholeNumber(const Cell& cell, const QString& targetField, qint64 low, qint64 high)
{
    const QVariant& value = cell.value;
    qint64 number = 0;
    bool ok = false;
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::Bool:
        number = value.toLongLong(&ok);
        break;
    case QMetaType::ULongLong:
        ok = value.toULongLong() <= quint64(std::numeric_limits<qint64>::max());
        number = qint64(value.toULongLong());
        break;
    case QMetaType::Double: {
        const double real = value.toDouble();
        ok = std::isfinite(real) && real == std::floor(real) && std::fabs(real) < 9.0e18;
        number = ok ? qint64(real) : 0;
        break;
    }
    case QMetaType::QString:
        number = value.toString().trimmed().toLongLong(&ok);
        break;
    default:
        break;
    }
    if (!ok || number < low || number > high)
        refuse(cell, targetField);
    return number;
}

double realNumber(const Cell& cell, const QString& targetField)
{
    bool ok = false;
    double real = 0;
    switch (cell.value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Bool:
        real = cell.value.toDouble(&ok);
        break;
    case QMetaType::QString:
        real = cell.value.toString().trimmed().toDouble(&ok);
        break;
    default:
        break;
    }
    if (!ok || !std::isfinite(real))
        refuse(cell, targetField);
    return real;
}

QString text(const Cell& cell, const QString& targetField, int size)
{
    if (cell.value.typeId() == QMetaType::QByteArray)
        refuse(cell, targetField);
    const QString value = cell.value.toString();
    if (value.contains(QChar(0)) || (size > 0 && value.size() > size))
        refuse(cell, targetField);
    return value;
}

// Adds rows to one table of the new file through one prepared statement. Fields not given, and nulls read
// from the old file, are stored as the empty text or 0; every other value must fit its field.
class RowWriter
{
public:
    RowWriter(Database& db, const QString& table) : m_db(db), m_fields(Schema::table(table).fields)
    {
        QStringList names;
        QStringList marks;
        for (const Schema::Field& field : m_fields) {
            m_names.push_back(field.name.toLatin1());
            names << QLatin1Char('"') + field.name + QLatin1Char('"');
            marks << QStringLiteral("?");
        }
        m_query =
            db.prepare(QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                           .arg(table, names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))));
    }

    void insert(Cells cells)
    {
        static const Cell empty;
        std::vector<const Cell*> given(m_fields.size(), &empty);
        for (const auto& [name, cell] : cells) {
            for (size_t i = 0; i < m_names.size(); ++i) {
                if (m_names[i] == name) {
                    given[i] = &cell;
                    break;
                }
            }
        }
        for (size_t i = 0; i < m_fields.size(); ++i)
            m_query.bindValue(int(i), checked(m_fields[i], *given[i]));
        m_db.exec(m_query);
    }

private:
    static QVariant checked(const Schema::Field& field, const Cell& cell)
    {
        using Type = Schema::FieldType;
        const bool textual = field.type == Type::Text || field.type == Type::Memo;
        if (cell.value.isNull() || (!textual && isBlank(cell.value)))
            return textual                      ? QVariant(QString::fromLatin1("", 0))
                   : field.type == Type::Double ? QVariant(0.0)
                                                : QVariant(0);
        switch (field.type) {
        case Type::Long:
            return wholeNumber(cell, field.name, std::numeric_limits<qint32>::min(),
                               std::numeric_limits<qint32>::max());
        case Type::Integer:
        case Type::Boolean:
            return wholeNumber(cell, field.name, std::numeric_limits<qint16>::min(),
                               std::numeric_limits<qint16>::max());
        case Type::Double:
            return realNumber(cell, field.name);
        case Type::Text:
            return text(cell, field.name, field.size);
        case Type::Memo:
            return text(cell, field.name, 0);
        }
        return cell.value;
    }

    Database& m_db;
    const std::vector<Schema::Field>& m_fields;
    std::vector<QByteArray> m_names;
    QSqlQuery m_query;
};

// The column names of an old table's query, looked up once rather than for every row.
std::vector<QByteArray> columnsOf(const QSqlQuery& query)
{
    const QSqlRecord record = query.record();
    std::vector<QByteArray> names;
    for (int i = 0; i < record.count(); ++i)
        names.push_back(record.fieldName(i).toLatin1());
    return names;
}

// One row of an old table, read by field name; a field the old file lacks reads as null.
class OldRow
{
public:
    OldRow(const QSqlQuery& query, const std::vector<QByteArray>& columns, const QString& table, qint64 row)
        : m_query(query), m_columns(columns), m_table(table), m_row(row)
    {
    }
    Cell cell(const char* name) const
    {
        for (size_t i = 0; i < m_columns.size(); ++i)
            if (qstricmp(m_columns[i].constData(), name) == 0)
                return Cell(m_query.value(int(i)), m_table, m_row, name);
        return Cell(QVariant(), m_table, m_row, name);
    }
    // A text used as a key (owner names): checked like the text field it goes to.
    QString text(const char* name, const QString& targetTable, const QString& targetField) const
    {
        for (const Schema::Field& field : Schema::table(targetTable).fields)
            if (field.name == targetField)
                return ::Import::text(cell(name), targetField, field.size);
        return cell(name).value.toString();
    }
    qint32 key(const char* name) const
    {
        if (isBlank(cell(name).value))
            return 0;
        return qint32(wholeNumber(cell(name), QString::fromLatin1(name), std::numeric_limits<qint32>::min(),
                                  std::numeric_limits<qint32>::max()));
    }

private:
    const QSqlQuery& m_query;
    const std::vector<QByteArray>& m_columns;
    const QString& m_table;
    qint64 m_row;
};

// SQLite's NOCASE folds only the ASCII letters; owner names are matched the way the file compares them.
QString foldedAscii(const QString& text)
{
    QString folded = text;
    for (QChar& c : folded)
        if (c.unicode() < 128)
            c = c.toLower();
    return folded;
}

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

    // Keys are 32-bit: one past the largest is refused, never wrapped to a key already in use.
    static qint32 take(qint32& counter, const char* table)
    {
        if (counter == std::numeric_limits<qint32>::max())
            throw CdbException(
                ValueRefused,
                QStringLiteral("There are too many rows for table %1.").arg(QString::fromLatin1(table)));
        return counter++;
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
        // The owners made so far by name, compared as the file compares them; read once, not per car.
        QHash<QString, qint32> ownersByName;
        QSqlQuery cars = readOld(QStringLiteral("SELECT * from CarsOwners"));
        const std::vector<QByteArray> columns = columnsOf(cars);
        const QString tableName = QStringLiteral("CarsOwners");
        for (qint64 row = 1; cars.next(); ++row) {
            const OldRow car(cars, columns, tableName, row);
            const QString last =
                car.text("LastName", QStringLiteral("ContactInfo"), QStringLiteral("LastName"));
            const QString first =
                car.text("FirstName", QStringLiteral("ContactInfo"), QStringLiteral("FirstName"));
            const QString name = foldedAscii(last) + QChar(0) + foldedAscii(first);
            qint32 ownerId = ownersByName.value(name, 0);
            if (ownerId == 0) {
                ownerId = take(m_nextOwner, "Owners");
                const qint32 contactId = take(m_nextContact, "ContactInfo");
                contactRows.insert({{"ContactID", contactId},
                                    {"ContactType", 1},
                                    {"LastName", car.cell("LastName")},
                                    {"FirstName", car.cell("FirstName")},
                                    {"Address1", car.cell("Address1")},
                                    {"Address2", car.cell("Address2")},
                                    {"City", car.cell("City")},
                                    {"State", car.cell("State")},
                                    {"ZipCode", car.cell("ZipCode")},
                                    {"Phone", car.cell("WorkPhone")},
                                    {"AltPhone", car.cell("HomePhone")}});
                ownerRows.insert({{"OwnerID", ownerId}, {"ContactID", contactId}});
                ownersByName.insert(name, ownerId);
            }
            const qint32 vehicleContact = take(m_nextContact, "ContactInfo");
            contactRows.insert({{"ContactID", vehicleContact}});
            vehicleRows.insert({{"VehicleID", car.cell("CarID")},
                                {"VehicleYear", car.cell("CarYear")},
                                {"VehicleMake", car.cell("CarMake")},
                                {"VehicleModel", car.cell("CarModel")},
                                {"VehicleVIN", car.cell("CarVIN")},
                                {"EstMilesPerMonth", car.cell("EstMilesPerMonth")},
                                {"EntryOfActualMiles", car.cell("EntryOfActualMiles")},
                                {"DateOfActualMiles", car.cell("DateOfActualMiles")},
                                {"DateOfEstimatedMiles", car.cell("DateOfActualMiles")},
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
        const std::vector<QByteArray> columns = columnsOf(entries);
        const QString tableName = QStringLiteral("ActualMaintenance");
        for (qint64 row = 1; entries.next(); ++row) {
            const OldRow entry(entries, columns, tableName, row);
            // Without its vehicle an entry would show on no form; the old car is kept where the file has it.
            rows.insert({{"MaintID", entry.cell("ActualMaintID")},
                         {"StationID", entry.cell("StationID")},
                         {"VehicleID", entry.cell("CarID")},
                         {"ActualMiles", entry.cell("ActualMiles")},
                         {"MaintDate", entry.cell("MaintDate")},
                         {"Description", entry.cell("Description")},
                         {"TotalPrice", entry.cell("Tax")}});
        }
    }

    void maintenanceServices()
    {
        RowWriter rows(m_target, QStringLiteral("MaintServices"));
        QSqlQuery services =
            readOld(QStringLiteral("SELECT * from ActualMaintServices ORDER BY ActualMaintID"));
        const std::vector<QByteArray> columns = columnsOf(services);
        const QString tableName = QStringLiteral("ActualMaintServices");
        for (qint64 row = 1; services.next(); ++row) {
            const OldRow service(services, columns, tableName, row);
            rows.insert({{"MaintID", service.cell("ActualMaintID")},
                         {"ServiceID", service.cell("ServiceID")},
                         {"VehicleID", service.cell("CarID")},
                         {"Price", service.cell("Price")},
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
        const std::vector<QByteArray> columns = columnsOf(types);
        const QString tableName = QStringLiteral("ServiceTypes");
        for (qint64 row = 1; types.next(); ++row) {
            const OldRow type(types, columns, tableName, row);
            rows.insert({{"ServiceID", type.cell("ServiceID")},
                         {"ServiceDesc", type.cell("ServiceDesc")},
                         {"ServiceTypeID", 1}});
        }
    }

    void companies()
    {
        RowWriter rows(m_target, QStringLiteral("ContactInfo"));
        std::vector<std::pair<qint32, qint32>> moved;
        QSqlQuery stations = readOld(QStringLiteral("SELECT * from ServiceStations"));
        const std::vector<QByteArray> columns = columnsOf(stations);
        const QString tableName = QStringLiteral("ServiceStations");
        for (qint64 row = 1; stations.next(); ++row) {
            const OldRow station(stations, columns, tableName, row);
            const qint32 contactId = take(m_nextContact, "ContactInfo");
            Cell name = station.cell("StationName");
            if (name.value.typeId() != QMetaType::QByteArray && !name.value.isNull())
                name.value = name.value.toString().replace(QLatin1Char('\''),
                                                           QLatin1Char('`')); // stored with backquotes
            rows.insert({{"ContactID", contactId},
                         {"ContactType", 4},
                         {"CompanyName", name},
                         {"FirstName", station.cell("StationMechFirstName")},
                         {"LastName", station.cell("StationMechLastName")},
                         {"Address1", station.cell("StationAddress1")},
                         {"Address2", station.cell("StationAddress2")},
                         {"City", station.cell("StationCity")},
                         {"State", station.cell("StationState")},
                         {"ZipCode", station.cell("StationZipCode")},
                         {"Phone", station.cell("StationPhone")},
                         {"Fax", station.cell("StationFax")}});
            const qint32 oldId = station.key("StationID");
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
        qint64 row;
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
        const std::vector<QByteArray> columns = columnsOf(query);
        const QString tableName = QStringLiteral("ScheduleServices");
        for (qint64 row = 1; query.next(); ++row) {
            const OldRow recommendation(query, columns, tableName, row);
            recommended.push_back({recommendation.key("CarID"), recommendation.key("ServiceID"),
                                   recommendation.key("ScheduleRecMiles"), row});
        }

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
            const Recommendation& last = once ? first : recommended[start + 1];
            // Worked out in 64 bits and checked against its field, so a wide gap is refused, not wrapped.
            const qint64 interval = once ? qint64(first.reading) : qint64(last.reading) - first.reading;
            const Cell every(interval, QStringLiteral("ScheduleServices"), last.row, "ScheduleRecMiles");
            const Cell months(once ? 0 : interval / 1000, QStringLiteral("ScheduleServices"), last.row,
                              "ScheduleRecMiles");
            const auto done = performed.find({first.car, first.service});
            start = end;
            if (once && done != performed.end())
                continue; // a one-time service already performed needs no entry
            rows.insert({{"ScheduleID", take(nextSchedule, "Schedule")},
                         {"VehicleID", first.car},
                         {"ServiceID", first.service},
                         {"PerformOnce", once ? 1 : 0},
                         {"PerformEveryMiles", every},
                         {"PerformEveryMonth", months},
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
    QString newPath;
    // An import never replaces a data file: a folder that holds one is refused and another is asked for.
    for (;;) {
        const QString chosen = prompter.saveFileName(dialog);
        if (chosen.isEmpty())
            return false;
        newPath = QDir(QFileInfo(chosen).absolutePath()).filePath(NewFileName);
        if (!QFileInfo::exists(newPath))
            break;
        prompter.message(FileMessages::ImportFolderHoldsDataFile.arg(
            QDir::toNativeSeparators(QFileInfo(newPath).absolutePath())));
        dialog.folder = QFileInfo(newPath).absolutePath();
    }
    if (newDatabasePath)
        *newDatabasePath = newPath;

    try {
        checkOldFile(oldFilePath);
    } catch (const CdbException& error) {
        prompter.message(error.description());
        prompter.message(Messages::CanNotOpenExistingDatabase);
        return false;
    }

    const QString backupPath = backupPathOf(oldFilePath);
    {
        BusyScope busy(prompter);
        // The earlier backup is replaced only by a complete copy; a backup named like the old file itself
        // would mean replacing the very file being imported.
        QString cause;
        if (DataFile::sameFile(oldFilePath, backupPath)) {
            cause = Messages::CouldNotCreateBackupFile;
        } else {
            try {
                const DataFile::LeftoverNote note(newPath, backupPath, QStringLiteral("copy"));
                DataFile::copyFile(oldFilePath, backupPath);
            } catch (const CdbException& error) {
                const QString reason = DataFile::causeOf(error, backupPath);
                cause = reason.startsWith(FileMessages::DiskFull.section(QLatin1Char('%'), 0, 0))
                            ? Messages::CouldNotCreateBackupFile
                            : FileMessages::CouldNotCreateBackupFileBecause.arg(reason);
            }
        }
        if (!cause.isEmpty()) {
            prompter.message(cause);
            return false;
        }
    }

    Database old;
    try {
        old.open(backupPath, QString(), true);
    } catch (const CdbException& error) {
        prompter.message(error.description());
        prompter.message(Messages::CanNotOpenExistingDatabase);
        return false;
    }

    // The new file is built under a temporary name in the chosen folder and appears under its own name only
    // when complete and checked.
    Database target;
    QString staging;
    QString failure;
    QString failureMessage;
    {
        BusyScope busy(prompter);
        try {
            staging = DatabaseCreation::openStagingFile(target, newPath, QStringLiteral("import"));
            DatabaseCreation::fillNewFile(target);
        } catch (const CdbException& error) {
            failure = DataFile::causeOf(error, newPath);
            failureMessage = Messages::CouldNotCreateDatabase;
        }
        if (failureMessage.isEmpty()) {
            try {
                {
                    Transaction transaction(target);
                    Transfer(old, target).run();
                    transaction.commit();
                }
                const QStringList problems = DataFile::problemsOf(target);
                if (!problems.isEmpty())
                    throw CdbException(DamagedFile, problems.join(QLatin1Char('\n')));
                target.close();
                DataFile::putInPlace(staging, newPath, false);
            } catch (const CdbException& error) {
                failure = DataFile::causeOf(error, newPath);
                failureMessage = Messages::CouldNotImport;
            }
        }
        target.close();
        old.close();
    }
    if (!failureMessage.isEmpty()) {
        DataFile::removeWithJournal(staging);
        prompter.message(failure);
        prompter.message(failureMessage);
        return false;
    }
    return true;
}

} // namespace Import
