#include "fuel/FuelDemo.h"

#include "db/Clock.h"
#include "db/Database.h"
#include "db/sets/GasLogSet.h"

#include <QSqlQuery>
#include <cmath>

namespace FuelDemo {

namespace {

struct Plan
{
    const char* vin;
    const char* station;
    int everyDays;    // days between fill-ups
    double economy;   // distance per unit of fuel, on average
    double price;     // cost per unit, on average
    int partialEvery; // every n-th fill-up is a partial one (0: none)
    const char* description;
};

const Plan plans[] = {
    {"1FTYR2CM5KKA10231", "Bridgeport Fleet Service", 7, 17.5, 3.65, 0, "Fleet card"},
    {"JTDKARFU4H3530918", "", 9, 21.0, 1.72, 0, ""},
    {"19XFB2F58CE301447", "Maple Avenue Auto Care", 10, 31.0, 3.35, 3, "Topped up"},
};

} // namespace

void fill(Database& db)
{
    CGasLogSet gas(db);
    qint32 key = gas.nextIdentifier();
    const QDate today = Clock::today();
    for (const Plan& plan : plans) {
        QSqlQuery vehicle =
            db.prepare(QStringLiteral("SELECT VehicleID, EntryOfActualMiles, DateOfActualMiles, "
                                      "EstMilesPerMonth FROM Vehicles WHERE VehicleVIN = ?"));
        vehicle.addBindValue(QString::fromLatin1(plan.vin));
        db.exec(vehicle);
        if (!vehicle.next())
            continue;
        const qint32 vehicleId = vehicle.value(0).toInt();
        const qint32 lastReading = vehicle.value(1).toInt();
        const QDate lastDate = QDate::fromString(vehicle.value(2).toString(), QStringLiteral("yyyyMMdd"));
        const double perDay = vehicle.value(3).toInt() / 30.4;
        QSqlQuery station = db.prepare(
            QStringLiteral("SELECT ContactID FROM ContactInfo WHERE ContactType = 4 AND CompanyName = ?"));
        station.addBindValue(QString::fromLatin1(plan.station));
        db.exec(station);
        const qint32 stationId = station.next() ? station.value(0).toInt() : 0;

        const int count = 365 / plan.everyDays;
        for (int i = count - 1; i >= 0; --i) {
            const int daysBefore = i * plan.everyDays;
            const int n = count - i; // 1 for the oldest
            // Gentle seasonal and random-looking variation, the same on every run.
            const double wobble = std::sin(n * 1.7) * 0.06 + std::sin(n * 0.21) * 0.05;
            const bool partial = plan.partialEvery > 0 && n % plan.partialEvery == 0;
            const double distance = perDay * plan.everyDays;
            double fuel = distance / (plan.economy * (1.0 + wobble));
            if (partial)
                fuel *= 0.45;
            const double price = std::round(plan.price * (1.0 + std::sin(n * 0.35) * 0.08) * 1000.0) / 1000.0;
            fuel = std::round(fuel * 1000.0) / 1000.0;
            gas.addNew();
            gas.m_GasLogID = key++;
            gas.m_VehicleID = vehicleId;
            gas.m_Mileage = lastReading - qint32(std::lround(perDay * daysBefore));
            gas.m_Date = (lastDate.isValid() ? lastDate : today)
                             .addDays(-daysBefore)
                             .toString(QStringLiteral("yyyyMMdd"));
            gas.m_Gallons = fuel;
            gas.m_CostGallon = price;
            gas.m_TotalCost = std::round(fuel * price * 100.0) / 100.0;
            gas.m_Fillup = partial ? 1 : 0;
            gas.m_StationID = stationId;
            gas.m_BriefDesc = partial ? QString::fromLatin1(plan.description) : QString();
            gas.m_Estimated = 0;
            gas.update();
        }
    }
}

} // namespace FuelDemo
