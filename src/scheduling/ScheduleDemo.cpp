#include "scheduling/ScheduleDemo.h"

#include "db/Clock.h"
#include "db/Database.h"
#include "fleet/ReadingEstimate.h"
#include "scheduling/Estimation.h"
#include "scheduling/ScheduleTemplates.h"

#include <QSqlQuery>
#include <vector>

namespace ScheduleDemo {

namespace {

// Service keys of a new file's catalogue.
enum Service : int {
    OilChange = 1,
    AirFilter = 5,
    BeltCheck = 7,
    FluidLevels = 9,
    TireRotation = 10,
    WashVehicle = 13,
    BrakeInspection = 14,
    LightingCheck = 15,
    WiperReplacement = 16,
};

// One entry: its intervals and a base line placed relative to today and to the vehicle's reading, so
// that the estimate lands where the sample wants it.
struct Sample
{
    int vehicle; // position in the fleet
    int service;
    int miles;
    int months;
    int days;
    int baseDaysAgo;
    int baseBelowReading;
    int once;
    bool atStation;
};

const Sample samples[] = {
    // Van 12: the oil change was done 60 days ago (below), so it is due soon rather than long overdue.
    {0, OilChange, 5000, 6, 0, 400, 30000, 0, true},  {0, TireRotation, 7500, 0, 0, 90, 8000, 0, true},
    {0, BrakeInspection, 0, 12, 0, 300, 0, 0, false}, {0, FluidLevels, 0, 0, 30, 31, 0, 0, false},
    {1, OilChange, 5000, 6, 0, 60, 4800, 0, true},    {1, TireRotation, 7500, 0, 0, 30, 2000, 0, true},
    {1, WashVehicle, 0, 0, 14, 10, 0, 0, false},      {2, OilChange, 5000, 6, 0, 20, 1000, 0, true},
    {2, BrakeInspection, 0, 6, 0, 190, 0, 0, false},  {2, LightingCheck, 0, 0, 20, 10, 0, 1, false},
    {3, OilChange, 8000, 12, 0, 100, 7000, 0, false}, {3, AirFilter, 30000, 0, 0, 400, 31000, 0, false},
    {4, OilChange, 250, 0, 0, 40, 240, 0, false},     {4, BeltCheck, 500, 6, 0, 30, 100, 0, false},
    {5, OilChange, 5000, 6, 0, 400, 20000, 0, false}, {5, WiperReplacement, 0, 12, 0, 380, 0, 0, false},
    {6, OilChange, 3000, 12, 0, 700, 0, 0, false},
};

// Oil changes performed: vehicle, days ago, distance below today's reading. The distances follow each
// vehicle's use per month, so that the entries fall between the sample fill-ups of those days.
struct Performed
{
    int vehicle;
    int daysAgo;
    int belowReading;
};
const Performed performedOilChanges[] = {{0, 240, 19000}, {0, 60, 4680}, {5, 150, 4800}};

QString storedDaysAgo(int days)
{
    return Clock::today().addDays(-days).toString(QStringLiteral("yyyyMMdd"));
}

} // namespace

void fill(Database& db)
{
    struct Vehicle
    {
        qint32 id;
        qint32 reading; // as of today
    };
    std::vector<Vehicle> fleet;
    QSqlQuery vehicles = db.prepare(QStringLiteral("SELECT VehicleID, EntryOfActualMiles, EstMilesPerMonth, "
                                                   "DateOfEstimatedMiles, ActiveInd FROM Vehicles "
                                                   "ORDER BY VehicleID"));
    db.exec(vehicles);
    while (vehicles.next())
        fleet.push_back({vehicles.value(0).toInt(),
                         ReadingEstimate::broughtForward(vehicles.value(1).toInt(), vehicles.value(2).toInt(),
                                                         vehicles.value(3).toString(),
                                                         vehicles.value(4).toInt() != 0, Clock::today())});
    vehicles.finish();
    const qint32 station =
        db.scalar(QStringLiteral("SELECT MIN(ContactID) FROM ContactInfo WHERE ContactType = 4")).toInt();

    Transaction transaction(db);
    qint32 scheduleId =
        db.scalar(QStringLiteral("SELECT IFNULL(MAX(ScheduleID), 0) + 1 FROM Schedule")).toInt();
    QSqlQuery entry = db.prepare(QStringLiteral(
        "INSERT INTO Schedule (ScheduleID, VehicleID, ServiceID, Description, StationID, PerformOnce, "
        "PerformEveryMiles, PerformEveryMonth, LastMiles, LastDate, EstPerformDate, PerformEveryDay) "
        "VALUES (?, ?, ?, '', ?, ?, ?, ?, ?, ?, '', ?)"));
    for (const Sample& sample : samples) {
        if (sample.vehicle >= int(fleet.size()))
            continue;
        const Vehicle& vehicle = fleet[sample.vehicle];
        for (const QVariant& value :
             {QVariant(scheduleId++), QVariant(vehicle.id), QVariant(sample.service),
              QVariant(sample.atStation ? station : 0), QVariant(sample.once), QVariant(sample.miles),
              QVariant(sample.months), QVariant(std::max(0, vehicle.reading - sample.baseBelowReading)),
              QVariant(storedDaysAgo(sample.baseDaysAgo)), QVariant(sample.days)})
            entry.addBindValue(value);
        db.exec(entry);
    }

    qint32 maintId = db.scalar(QStringLiteral("SELECT IFNULL(MAX(MaintID), 0) + 1 FROM Maintenance")).toInt();
    QSqlQuery maintenance = db.prepare(QStringLiteral(
        "INSERT INTO Maintenance (MaintID, StationID, VehicleID, ActualMiles, Tax, TotalPrice, MaintDate, "
        "JobOrderID, Description, Memo) VALUES (?, ?, ?, ?, 4.10, 68.50, ?, 0, 'Oil change', '')"));
    QSqlQuery service = db.prepare(
        QStringLiteral("INSERT INTO MaintServices (MaintID, LinkInd, ServiceID, VehicleID, Price, Warranty) "
                       "VALUES (?, 0, ?, ?, 64.40, '')"));
    for (const Performed& performed : performedOilChanges) {
        if (performed.vehicle >= int(fleet.size()))
            continue;
        const Vehicle& vehicle = fleet[performed.vehicle];
        for (const QVariant& value :
             {QVariant(maintId), QVariant(station), QVariant(vehicle.id),
              QVariant(vehicle.reading - performed.belowReading), QVariant(storedDaysAgo(performed.daysAgo))})
            maintenance.addBindValue(value);
        db.exec(maintenance);
        for (const QVariant& value : {QVariant(maintId), QVariant(int(OilChange)), QVariant(vehicle.id)})
            service.addBindValue(value);
        db.exec(service);
        ++maintId;
    }

    if (!fleet.empty())
        ScheduleTemplates::create(db, QStringLiteral("Delivery van"), fleet.front().id);
    for (const Vehicle& vehicle : fleet)
        Estimation::reestimateVehicle(db, vehicle.id);
    transaction.commit();
}

} // namespace ScheduleDemo
