#include "app/LogExport.h"

#include "db/Database.h"
#include "db/DbException.h"
#include "db/MissedFillups.h"
#include "fleet/VehicleList.h"
#include "fuel/FuelEconomy.h"

#include <QHash>
#include <QSet>
#include <QSqlQuery>
#include <QTextStream>
#include <QVariant>

#include <functional>
#include <optional>

namespace LogExport {

namespace {

QString isoDate(const QString& stored)
{
    return stored.size() == 8 ? stored.left(4) + QLatin1Char('-') + stored.mid(4, 2) + QLatin1Char('-') + stored.mid(6)
                              : QString();
}

QString number(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

QString yesNo(bool value)
{
    return value ? QStringLiteral("Yes") : QStringLiteral("No");
}

void writeLine(QTextStream& out, const QStringList& fields)
{
    QStringList quoted;
    for (const QString& field : fields)
        quoted << csvField(field);
    out << quoted.join(QLatin1Char(',')) << "\r\n";
}

// The units of the vehicles exported: named in the header when they share them, else per row.
struct Units
{
    bool mixed = false;
    QString distance; // "mi", "km", "hr"
    QString fuel;     // "gal", "l"
};

QString distanceUnit(int measurement, int hoursInd)
{
    return hoursInd != 0 ? QStringLiteral("hr") : measurement != 0 ? QStringLiteral("km") : QStringLiteral("mi");
}

QString fuelUnit(int measurement)
{
    return measurement != 0 ? QStringLiteral("l") : QStringLiteral("gal");
}

Units unitsOf(Database& db, qint32 vehicleId)
{
    QSqlQuery query = db.prepare(QStringLiteral("SELECT DISTINCT Measurement, HoursInd <> 0 FROM Vehicles") +
                                 (vehicleId > 0 ? QStringLiteral(" WHERE VehicleID = %1").arg(vehicleId) : QString()));
    db.exec(query);
    Units units;
    int count = 0;
    while (query.next()) {
        units.distance = distanceUnit(query.value(0).toInt(), query.value(1).toInt());
        units.fuel = fuelUnit(query.value(0).toInt());
        ++count;
    }
    units.mixed = count > 1;
    if (count == 0) {
        units.distance = QStringLiteral("mi");
        units.fuel = QStringLiteral("gal");
    }
    return units;
}

QString withUnit(const QString& title, const Units& units, const QString& unit)
{
    return units.mixed ? title : QStringLiteral("%1 (%2)").arg(title, unit);
}

// A query's rows, each handed over as the query positioned on it.
void eachRow(Database& db, const QString& sql, qint32 vehicleId, const std::function<void(const QSqlQuery&)>& row)
{
    QSqlQuery query = db.prepare(sql);
    if (vehicleId > 0)
        query.addBindValue(vehicleId);
    db.exec(query);
    while (query.next())
        row(query);
}

QString vehicleFilter(qint32 vehicleId, const QString& alias)
{
    return vehicleId > 0 ? QStringLiteral(" WHERE %1.VehicleID = ?").arg(alias) : QString();
}

const char* const StationName = "(SELECT c.CompanyName FROM ServiceStations s JOIN ContactInfo c ON c.ContactID = "
                                "s.ContactID WHERE s.StationID = %1.StationID)";

QString stationOf(const QString& alias)
{
    return QString::fromLatin1(StationName).arg(alias);
}

// The services of an entry as one text, from the service list and the unlisted services.
QString servicesOf(const QString& keyExpression, int linkInd)
{
    return QStringLiteral("(SELECT group_concat(d, '; ') FROM (SELECT sv.ServiceDesc AS d FROM MaintServices ms JOIN "
                          "Services sv ON sv.ServiceID = ms.ServiceID WHERE ms.MaintID = %1 AND ms.LinkInd = %2 "
                          "UNION ALL SELECT u.ServiceDesc FROM MaintServicesUnexpected u WHERE u.UMaintID = %1 AND "
                          "u.LinkInd = %2))")
        .arg(keyExpression)
        .arg(linkInd);
}

void writeGas(Database& db, QTextStream& out, qint32 vehicleId, const QHash<qint32, QString>& names)
{
    const Units units = unitsOf(db, vehicleId);
    QStringList header{QStringLiteral("VehicleID"), QStringLiteral("Vehicle"), QStringLiteral("Date"),
                       withUnit(QStringLiteral("Odometer"), units, units.distance),
                       withUnit(QStringLiteral("Fuel"), units, units.fuel), QStringLiteral("Cost Per Unit"),
                       QStringLiteral("Total Cost"), QStringLiteral("Partial"), QStringLiteral("Missed"),
                       QStringLiteral("Estimated"), QStringLiteral("Station"), QStringLiteral("Notes")};
    if (units.mixed)
        header << QStringLiteral("Distance Unit") << QStringLiteral("Fuel Unit");
    writeLine(out, header);
    const QSet<qint32> missed = MissedFillups::ofVehicle(db, vehicleId);
    eachRow(db,
            QStringLiteral("SELECT g.VehicleID, g.Date, g.Mileage, g.Gallons, g.CostGallon, g.TotalCost, g.Fillup, "
                           "g.Estimated, %1, g.BriefDesc, v.Measurement, v.HoursInd, g.GasLogID FROM GasLog g "
                           "JOIN Vehicles v ON v.VehicleID = g.VehicleID")
                    .arg(stationOf(QStringLiteral("g"))) +
                vehicleFilter(vehicleId, QStringLiteral("g")) + QStringLiteral(" ORDER BY g.VehicleID, g.Date, g.Mileage"),
            vehicleId, [&](const QSqlQuery& q) {
                QStringList fields{q.value(0).toString(),
                                   names.value(q.value(0).toInt()),
                                   isoDate(q.value(1).toString()),
                                   q.value(2).toString(),
                                   number(q.value(3).toDouble(), 3),
                                   number(q.value(4).toDouble(), 3),
                                   number(q.value(5).toDouble(), 2),
                                   yesNo(q.value(6).toInt() != 0),
                                   yesNo(missed.contains(q.value(12).toInt())),
                                   yesNo(q.value(7).toInt() != 0),
                                   q.value(8).toString(),
                                   q.value(9).toString()};
                if (units.mixed)
                    fields << distanceUnit(q.value(10).toInt(), q.value(11).toInt()) << fuelUnit(q.value(10).toInt());
                writeLine(out, fields);
            });
}

// The layout the gas import reads as LubeLogger's: one vehicle, in its own units.
void writeLubeLogger(Database& db, QTextStream& out, qint32 vehicleId)
{
    writeLine(out, {QStringLiteral("Date"), QStringLiteral("Odometer"), QStringLiteral("FuelConsumed"),
                    QStringLiteral("Cost"), QStringLiteral("FuelEconomy"), QStringLiteral("IsFillToFull"),
                    QStringLiteral("MissedFuelUp"), QStringLiteral("Notes"), QStringLiteral("Tags")});
    const std::vector<FuelEconomy::FillUp> fillUps = FuelEconomy::readFillUps(db, vehicleId);
    const FuelEconomy::Listed listed = FuelEconomy::listEconomy(fillUps);
    QHash<qint32, QString> notes;
    eachRow(db, QStringLiteral("SELECT GasLogID, BriefDesc FROM GasLog g") + vehicleFilter(vehicleId, QStringLiteral("g")),
            vehicleId, [&](const QSqlQuery& q) { notes.insert(q.value(0).toInt(), q.value(1).toString()); });
    for (size_t i = 0; i < fillUps.size(); ++i) {
        const FuelEconomy::FillUp& fillUp = fillUps[i];
        writeLine(out, {isoDate(fillUp.date), QString::number(fillUp.reading), number(fillUp.fuel, 3),
                        number(fillUp.totalCost, 2), number(listed.economy[i], 2),
                        fillUp.full ? QStringLiteral("True") : QStringLiteral("False"),
                        fillUp.missed ? QStringLiteral("True") : QStringLiteral("False"), notes.value(fillUp.gasLogId),
                        QString()});
    }
}

void writeMaintenance(Database& db, QTextStream& out, qint32 vehicleId, const QHash<qint32, QString>& names)
{
    const Units units = unitsOf(db, vehicleId);
    QStringList header{QStringLiteral("MaintID"), QStringLiteral("VehicleID"), QStringLiteral("Vehicle"),
                       QStringLiteral("Date"), withUnit(QStringLiteral("Reading"), units, units.distance),
                       QStringLiteral("Description"), QStringLiteral("Station"), QStringLiteral("Services"),
                       QStringLiteral("Tax"), QStringLiteral("Total Price"), QStringLiteral("JobOrderID"),
                       QStringLiteral("Notes")};
    if (units.mixed)
        header << QStringLiteral("Distance Unit");
    writeLine(out, header);
    eachRow(db,
            QStringLiteral("SELECT m.MaintID, m.VehicleID, m.MaintDate, m.ActualMiles, m.Description, %1, %2, m.Tax, "
                           "m.TotalPrice, m.JobOrderID, m.Memo, v.Measurement, v.HoursInd FROM Maintenance m JOIN "
                           "Vehicles v ON v.VehicleID = m.VehicleID")
                    .arg(stationOf(QStringLiteral("m")), servicesOf(QStringLiteral("m.MaintID"), 0)) +
                vehicleFilter(vehicleId, QStringLiteral("m")) +
                QStringLiteral(" ORDER BY m.VehicleID, m.MaintDate, m.ActualMiles"),
            vehicleId, [&](const QSqlQuery& q) {
                QStringList fields{q.value(0).toString(),        q.value(1).toString(),
                                   names.value(q.value(1).toInt()), isoDate(q.value(2).toString()),
                                   q.value(3).toString(),        q.value(4).toString(),
                                   q.value(5).toString(),        q.value(6).toString(),
                                   number(q.value(7).toDouble(), 2), number(q.value(8).toDouble(), 2),
                                   q.value(9).toInt() > 0 ? q.value(9).toString() : QString(),
                                   q.value(10).toString()};
                if (units.mixed)
                    fields << distanceUnit(q.value(11).toInt(), q.value(12).toInt());
                writeLine(out, fields);
            });
}

void writeJobOrders(Database& db, QTextStream& out, qint32 vehicleId, const QHash<qint32, QString>& names)
{
    writeLine(out, {QStringLiteral("JobOrderID"), QStringLiteral("VehicleID"), QStringLiteral("Vehicle"),
                    QStringLiteral("JCN"), QStringLiteral("Date"), QStringLiteral("Description"),
                    QStringLiteral("Station"), QStringLiteral("Open"), QStringLiteral("Services"),
                    QStringLiteral("Notes")});
    eachRow(db,
            QStringLiteral("SELECT j.JobOrderID, j.VehicleID, j.JCN, j.Date, j.Description, %1, j.OpenInd, %2, "
                           "j.Memo FROM JobOrder j")
                    .arg(stationOf(QStringLiteral("j")), servicesOf(QStringLiteral("j.JobOrderID"), 1)) +
                vehicleFilter(vehicleId, QStringLiteral("j")) + QStringLiteral(" ORDER BY j.VehicleID, j.Date, j.JobOrderID"),
            vehicleId, [&](const QSqlQuery& q) {
                writeLine(out, {q.value(0).toString(), q.value(1).toString(), names.value(q.value(1).toInt()),
                                q.value(2).toString(), isoDate(q.value(3).toString()), q.value(4).toString(),
                                q.value(5).toString(), yesNo(q.value(6).toInt() != 0), q.value(7).toString(),
                                q.value(8).toString()});
            });
}

void writeSchedule(Database& db, QTextStream& out, qint32 vehicleId, const QHash<qint32, QString>& names)
{
    const Units units = unitsOf(db, vehicleId);
    QStringList header{QStringLiteral("ScheduleID"), QStringLiteral("VehicleID"), QStringLiteral("Vehicle"),
                       QStringLiteral("Service"), QStringLiteral("Description"), QStringLiteral("Station"),
                       QStringLiteral("One Time"), withUnit(QStringLiteral("Every Distance"), units, units.distance),
                       QStringLiteral("Every"), QStringLiteral("Every Unit"), QStringLiteral("Last Date"),
                       withUnit(QStringLiteral("Last Reading"), units, units.distance),
                       QStringLiteral("Est Perform Date")};
    if (units.mixed)
        header << QStringLiteral("Distance Unit");
    writeLine(out, header);
    eachRow(db,
            QStringLiteral("SELECT s.ScheduleID, s.VehicleID, sv.ServiceDesc, s.Description, %1, s.PerformOnce, "
                           "s.PerformEveryMiles, s.PerformEveryMonth, s.PerformEveryDay, s.LastDate, s.LastMiles, "
                           "s.EstPerformDate, v.Measurement, v.HoursInd FROM Schedule s JOIN Vehicles v ON "
                           "v.VehicleID = s.VehicleID LEFT JOIN Services sv ON sv.ServiceID = s.ServiceID")
                    .arg(stationOf(QStringLiteral("s"))) +
                vehicleFilter(vehicleId, QStringLiteral("s")) + QStringLiteral(" ORDER BY s.VehicleID, s.ScheduleID"),
            vehicleId, [&](const QSqlQuery& q) {
                QStringList fields{q.value(0).toString(),
                                   q.value(1).toString(),
                                   names.value(q.value(1).toInt()),
                                   q.value(2).toString(),
                                   q.value(3).toString(),
                                   q.value(4).toString(),
                                   yesNo(q.value(5).toInt() == 1),
                                   q.value(6).toString(),
                                   q.value(7).toString(),
                                   q.value(8).toInt() != 0 ? QStringLiteral("days") : QStringLiteral("months"),
                                   isoDate(q.value(9).toString()),
                                   q.value(10).toString(),
                                   isoDate(q.value(11).toString())};
                if (units.mixed)
                    fields << distanceUnit(q.value(12).toInt(), q.value(13).toInt());
                writeLine(out, fields);
            });
}

void writeVehicles(Database& db, QTextStream& out, qint32 vehicleId, const QHash<qint32, QString>& names)
{
    writeLine(out, {QStringLiteral("VehicleID"), QStringLiteral("Vehicle"), QStringLiteral("Year"),
                    QStringLiteral("Make"), QStringLiteral("Model"), QStringLiteral("VIN"), QStringLiteral("License"),
                    QStringLiteral("Number"), QStringLiteral("Owner"), QStringLiteral("Active"),
                    QStringLiteral("Distance Unit"), QStringLiteral("Fuel Unit"), QStringLiteral("Reading"),
                    QStringLiteral("Reading Date"), QStringLiteral("Estimated Per Month"),
                    QStringLiteral("Purchase Date"), QStringLiteral("Purchase Price"),
                    QStringLiteral("Purchase Reading")});
    eachRow(db,
            QStringLiteral("SELECT v.VehicleID, v.VehicleYear, v.VehicleMake, v.VehicleModel, v.VehicleVIN, "
                           "v.VehicleLicense, v.VehicleNo, (SELECT CASE WHEN c.CompanyName <> '' THEN c.CompanyName "
                           "ELSE trim(c.LastName || ', ' || c.FirstName, ', ') END FROM Owners o JOIN ContactInfo c "
                           "ON c.ContactID = o.ContactID WHERE o.OwnerID = v.OwnerID), v.ActiveInd, v.Measurement, "
                           "v.HoursInd, v.EntryOfActualMiles, v.DateOfActualMiles, v.EstMilesPerMonth, "
                           "v.PurchaseDate, v.PurchaseAmount, v.PurchaseMileage FROM Vehicles v") +
                vehicleFilter(vehicleId, QStringLiteral("v")) + QStringLiteral(" ORDER BY v.VehicleID"),
            vehicleId, [&](const QSqlQuery& q) {
                writeLine(out, {q.value(0).toString(), names.value(q.value(0).toInt()), q.value(1).toString(),
                                q.value(2).toString(), q.value(3).toString(), q.value(4).toString(),
                                q.value(5).toString(), q.value(6).toString(), q.value(7).toString(),
                                yesNo(q.value(8).toInt() != 0), distanceUnit(q.value(9).toInt(), q.value(10).toInt()),
                                fuelUnit(q.value(9).toInt()), q.value(11).toString(), isoDate(q.value(12).toString()),
                                q.value(13).toString(), isoDate(q.value(14).toString()),
                                number(q.value(15).toDouble(), 2), q.value(16).toString()});
            });
}

} // namespace

QString csvField(const QString& text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')) &&
        !text.contains(QLatin1Char('\r')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QString write(Database& db, QTextStream& out, Log log, Layout layout, qint32 vehicleId, const QList<int>& vehicleFields)
{
    if (vehicleId > 0 && db.scalar(QStringLiteral("SELECT count(*) FROM Vehicles WHERE VehicleID = %1").arg(vehicleId)).toInt() == 0)
        return QStringLiteral("there is no vehicle %1 in the data file").arg(vehicleId);
    if (layout == Layout::LubeLogger) {
        if (log != Log::Gas)
            return QStringLiteral("--format lubelogger is for the gas log only");
        if (vehicleId == 0)
            return QStringLiteral("--format lubelogger writes one vehicle's gas log: give --vehicle");
        writeLubeLogger(db, out, vehicleId);
        return QString();
    }
    QHash<qint32, QString> names;
    for (const VehicleList::Item& item : VehicleList::items(db, vehicleFields))
        names.insert(item.vehicleId, item.text);
    switch (log) {
    case Log::Gas:
        writeGas(db, out, vehicleId, names);
        break;
    case Log::Maintenance:
        writeMaintenance(db, out, vehicleId, names);
        break;
    case Log::JobOrders:
        writeJobOrders(db, out, vehicleId, names);
        break;
    case Log::Schedule:
        writeSchedule(db, out, vehicleId, names);
        break;
    case Log::Vehicles:
        writeVehicles(db, out, vehicleId, names);
        break;
    }
    return QString();
}

int runCommand(const QStringList& arguments, QTextStream& out, QTextStream& err, const QList<int>& vehicleFields)
{
    static const QHash<QString, Log> logs{{QStringLiteral("gas"), Log::Gas},
                                          {QStringLiteral("maintenance"), Log::Maintenance},
                                          {QStringLiteral("job-orders"), Log::JobOrders},
                                          {QStringLiteral("schedule"), Log::Schedule},
                                          {QStringLiteral("vehicles"), Log::Vehicles}};
    QStringList args = arguments;
    QString path;
    std::optional<Log> log;
    Layout layout = Layout::Csv;
    qint32 vehicleId = 0;
    auto bad = [&](const QString& problem) {
        err << "velmora-cli export: " << problem << '\n'
            << "usage: velmora-cli export DATAFILE --log gas|maintenance|job-orders|schedule|vehicles "
               "[--vehicle ID] [--format csv|lubelogger]\n";
        return 2;
    };
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if ((arg == QLatin1String("--log") || arg == QLatin1String("--vehicle") || arg == QLatin1String("--format")) &&
            args.isEmpty())
            return bad(arg + QStringLiteral(" needs a value"));
        if (arg == QLatin1String("--log")) {
            const QString value = args.takeFirst();
            if (!logs.contains(value))
                return bad(QStringLiteral("--log is gas, maintenance, job-orders, schedule or vehicles"));
            log = logs.value(value);
        } else if (arg == QLatin1String("--vehicle")) {
            bool ok = false;
            vehicleId = args.takeFirst().toInt(&ok);
            if (!ok || vehicleId < 1)
                return bad(QStringLiteral("--vehicle takes a vehicle's number"));
        } else if (arg == QLatin1String("--format")) {
            const QString value = args.takeFirst();
            if (value == QLatin1String("csv"))
                layout = Layout::Csv;
            else if (value == QLatin1String("lubelogger"))
                layout = Layout::LubeLogger;
            else
                return bad(QStringLiteral("--format is csv or lubelogger"));
        } else if (arg.startsWith(QLatin1String("--")) || !path.isEmpty()) {
            return bad(QStringLiteral("unexpected argument \"%1\"").arg(arg));
        } else {
            path = arg;
        }
    }
    if (path.isEmpty() || !log)
        return bad(QStringLiteral("give the data file and --log"));
    try {
        Database db;
        db.open(path, QString(), true);
        const QString refusal = write(db, out, *log, layout, vehicleId, vehicleFields);
        if (!refusal.isEmpty()) {
            err << "velmora-cli export: " << refusal << '\n';
            return 1;
        }
        return 0;
    } catch (const CdbException& error) {
        err << "velmora-cli export: " << path << ": " << error.description() << '\n';
        return 1;
    }
}

} // namespace LogExport
