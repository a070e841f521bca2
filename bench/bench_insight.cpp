// What the fleet costs and will cost: the costs command's query and a year's maintenance forecast.

#include "BenchSupport.h"
#include "db/Clock.h"
#include "db/Database.h"
#include "insight/CostSummary.h"
#include "insight/MaintenanceForecast.h"

namespace {

const QList<int> VehicleFields{0, 1, 2, -1, -1, -1, -1, -1, -1, -1};

} // namespace

BENCH_CASE("Costs of every vehicle, all entries", [](const Bench::Fleet& fleet) {
    Database db;
    db.open(fleet.path);
    const double figure = Bench::milliseconds([&] {
        CostSummary::Reader reader(db, {}, VehicleFields);
        CostSummary::Row row;
        while (reader.next(row)) {
        }
    });
    return Bench::Figure{figure, QStringLiteral("ms")};
});

BENCH_CASE("Maintenance forecast of every vehicle, 12 months", [](const Bench::Fleet& fleet) {
    Database db;
    db.open(fleet.path);
    const double figure =
        Bench::milliseconds([&] { MaintenanceForecast::forecast(db, 0, 12, VehicleFields, Clock::now()); });
    return Bench::Figure{figure, QStringLiteral("ms")};
});
