// Owners and vehicles: the work whose cost grows with the rows hanging on a vehicle.

#include "BenchSupport.h"
#include "db/Database.h"
#include "fleet/RecordDeletion.h"
#include "fleet/VehicleList.h"
#include "context/Settings.h"

BENCH_CASE("Delete a vehicle with all its rows", [](const Bench::Fleet& fleet) {
    const int vehicle = Bench::sampleVehicle(fleet);
    Bench::ScratchCopy copy(fleet);
    Database db;
    const double time = Bench::milliseconds([&] { RecordDeletion::deleteVehicle(db, vehicle); }, 5, [&] {
        db.close();
        copy.reset();
        db.open(copy.path());
    });
    return Bench::Figure{time, QStringLiteral("ms")};
});

BENCH_CASE("Vehicle list of the whole fleet", [](const Bench::Fleet& fleet) {
    Database db;
    db.open(fleet.path);
    Settings settings;
    const QList<int> columns = settings.vehicleFields();
    return Bench::Figure{Bench::milliseconds([&] { VehicleList::items(db, columns); }), QStringLiteral("ms")};
});
