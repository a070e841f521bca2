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
const char* const gasKinds = "DTDLLLDLTLL";

// Reads every row into typed variables, as hand-written code would: kinds has one letter per column,
// T text, L integer, D double.
qint64 plainRead(Database& db, const QString& sql, const char* kinds)
{
    QSqlQuery query(db.connection());
    query.setForwardOnly(true);
    query.exec(sql);
    qint64 total = 0;
    QString text;
    double amount = 0;
    const int columns = int(qstrlen(kinds));
    while (query.next()) {
        for (int i = 0; i < columns; ++i) {
            if (kinds[i] == 'T')
                text = query.value(i).toString();
            else if (kinds[i] == 'D')
                amount += query.value(i).toDouble();
            else
                total += query.value(i).toLongLong();
        }
    }
    return total + qint64(amount) + text.size();
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
        plainRead(db, QStringLiteral("SELECT ") + gasColumns + QStringLiteral(" FROM GasLog ORDER BY Mileage, Date"), gasKinds);
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
                          QStringLiteral(" ORDER BY Mileage, Date"), gasKinds);
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
                          filter + QStringLiteral(" ORDER BY ActualMiles, MaintDate"), "LLLLDDTLTT");
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
