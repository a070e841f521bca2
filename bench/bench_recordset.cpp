// The record layer against the same work done with plain QSqlQuery.

#include "BenchSupport.h"
#include "db/Database.h"
#include "db/sets/GasLogSet.h"
#include "db/sets/MaintServicesMaintSet.h"
#include "db/sets/MaintenanceSet.h"

#include <QSqlQuery>

namespace {

const QString gasColumns = QStringLiteral("CostGallon, Date, Gallons, GasLogID, Mileage, StationID, TotalCost, "
                                          "VehicleID, BriefDesc, Fillup, Estimated");

qint64 plainRead(Database& db, const QString& sql, int columns)
{
    QSqlQuery query(db.connection());
    query.setForwardOnly(true);
    query.exec(sql);
    qint64 total = 0;
    while (query.next())
        for (int i = 0; i < columns; ++i)
            total += query.value(i).isValid() ? 1 : 0;
    return total;
}

} // namespace

BENCH_CASE("Record set over every fill-up, moved through end to end", [](const Bench::Fleet& fleet) {
    Database db;
    db.open(fleet.path);
    const double set = Bench::milliseconds([&] {
        CGasLogSet gas(db);
        gas.m_strSort = QStringLiteral("Mileage Asc, Date Asc");
        gas.open();
        for (; !gas.isEOF(); gas.moveNext()) {
        }
    });
    const double plain = Bench::milliseconds([&] {
        plainRead(db, QStringLiteral("SELECT ") + gasColumns + QStringLiteral(" FROM GasLog ORDER BY Mileage, Date"), 11);
    });
    return Bench::Figure{set, QStringLiteral("ms"), plain};
});

BENCH_CASE("Performed-services join: open and read the first row", [](const Bench::Fleet& fleet) {
    Database db;
    db.open(fleet.path);
    const double set = Bench::milliseconds([&] {
        CMaintServicesMaintSet services(db);
        services.open();
    });
    const double plain = Bench::milliseconds([&] {
        CMaintServicesMaintSet services(db);
        QSqlQuery query(db.connection());
        query.setForwardOnly(true);
        query.exec(services.selectStatement());
        query.next();
    });
    return Bench::Figure{set, QStringLiteral("ms"), plain};
});

BENCH_CASE("Performed-services join: memory to the first row", [](const Bench::Fleet& fleet) {
    Database db;
    db.open(fleet.path);
    CMaintServicesMaintSet services(db);
    return Bench::Figure{Bench::peakMiB([&] { services.open(); }), QStringLiteral("MiB")};
});

BENCH_CASE("Gas list for one vehicle", [](const Bench::Fleet& fleet) {
    const int vehicle = Bench::sampleVehicle(fleet);
    Database db;
    db.open(fleet.path);
    const QString filter = QStringLiteral("VehicleID = %1").arg(vehicle);
    const double set = Bench::milliseconds([&] {
        CGasLogSet gas(db);
        gas.m_strFilter = filter;
        gas.m_strSort = QStringLiteral("Mileage Asc, Date Asc");
        gas.open();
        for (; !gas.isEOF(); gas.moveNext()) {
        }
    });
    const double plain = Bench::milliseconds([&] {
        plainRead(db, QStringLiteral("SELECT ") + gasColumns + QStringLiteral(" FROM GasLog WHERE ") + filter +
                          QStringLiteral(" ORDER BY Mileage, Date"), 11);
    });
    return Bench::Figure{set, QStringLiteral("ms"), plain};
});

BENCH_CASE("Maintenance list for one vehicle", [](const Bench::Fleet& fleet) {
    const int vehicle = Bench::sampleVehicle(fleet);
    Database db;
    db.open(fleet.path);
    const QString filter = QStringLiteral("VehicleID = %1").arg(vehicle);
    const double set = Bench::milliseconds([&] {
        CMaintenanceSet maintenance(db);
        maintenance.m_strFilter = filter;
        maintenance.m_strSort = QStringLiteral("ActualMiles Asc, MaintDate Asc");
        maintenance.open();
        for (; !maintenance.isEOF(); maintenance.moveNext()) {
        }
    });
    const double plain = Bench::milliseconds([&] {
        plainRead(db, QStringLiteral("SELECT MaintID, StationID, VehicleID, ActualMiles, Tax, TotalPrice, MaintDate, "
                                     "JobOrderID, Description, Memo FROM Maintenance WHERE ") +
                          filter + QStringLiteral(" ORDER BY ActualMiles, MaintDate"), 10);
    });
    return Bench::Figure{set, QStringLiteral("ms"), plain};
});

BENCH_CASE("Next fill-up identifier", [](const Bench::Fleet& fleet) {
    Database db;
    db.open(fleet.path);
    const double set = Bench::milliseconds([&] {
        CGasLogSet gas(db);
        gas.nextIdentifier();
    });
    const double plain = Bench::milliseconds([&] { db.scalar(QStringLiteral("SELECT MAX(GasLogID) FROM GasLog")); });
    return Bench::Figure{set, QStringLiteral("ms"), plain};
});
