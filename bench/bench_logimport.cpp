// Importing another program's fuel log of 100,000 fill-ups into a new vehicle of the fleet.

#include "BenchSupport.h"
#include "db/Database.h"
#include "fuel/LogImport.h"

#include <QDate>
#include <QVariant>

BENCH_CASE("Import of a 100,000-row fuel log (LubeLogger layout)", [](const Bench::Fleet& fleet) {
    QByteArray log("Date,Odometer,FuelConsumed,Cost,FuelEconomy,IsFillToFull,MissedFuelUp,Notes,Tags\n");
    const QDate first(1955, 1, 1);
    for (int i = 0; i < 100000; ++i)
        log += first.addDays(i / 4).toString(QStringLiteral("yyyy-MM-dd")).toLatin1() + ',' +
               QByteArray::number(1 + i * 9) + ",10.5,\"$1,034.65\",0," + (i % 7 == 0 ? "False" : "True") +
               ",False,,\n";
    Bench::ScratchCopy copy(fleet);
    Database db;
    db.open(copy.path());
    LogImport::Options options;
    const double time = Bench::milliseconds(
        [&] {
            if (!LogImport::run(db, log, options).error.isEmpty())
                qFatal("the benchmark's log was refused");
        },
        1,
        [&] {
            options.vehicleId = db.scalar(QStringLiteral("SELECT max(VehicleID) + 1 FROM Vehicles")).toInt();
            db.execute(QStringLiteral("INSERT INTO Vehicles (VehicleID, Measurement, HoursInd, EntryOfActualMiles, "
                                      "ActiveInd, OwnerID) VALUES (%1, 0, 0, 0, -1, 1)")
                           .arg(options.vehicleId));
        });
    return Bench::Figure{time, QStringLiteral("ms")};
});
