// The gas form's list with its economy, and the economy routine, on vehicles with many fill-ups.

#include "BenchSupport.h"
#include "context/Enums.h"
#include "app/ui/VelApp.h"
#include "context/VelDoc.h"
#include "db/Database.h"
#include "db/LookupIndexes.h"
#include "db/Prompter.h"
#include "fuel/FuelEconomy.h"
#include "fuel/ui/GasView.h"

#include <QDate>
#include <QSqlQuery>
#include <QTreeWidget>

namespace {

class SilentPrompter : public Prompter
{
public:
    Answer ask(const QString&, Icon, Buttons) override { return Answer::No; }
    QString saveFileName(const FileDialog&) override { return {}; }
    QString openFileName(const FileDialog&) override { return {}; }
    bool note(const QString&) override { return true; }
};

// The list is refilled the way a save or delete refills it.
class BenchGasView : public CGasView
{
public:
    using CGasView::CGasView;
    void refill() { fillSelector(currentKey()); }
};

// A new vehicle of the sample vehicle's owner with that many fill-ups, every fourth a partial one; returns
// its key.
qint32 addVehicleWithFillUps(const QString& path, int count)
{
    Database db;
    db.open(path);
    // As the program's start-up does for a file made before the lookup indexes.
    LookupIndexes::ensure(db);
    Transaction transaction(db);
    const qint32 vehicleId = db.scalar(QStringLiteral("SELECT max(VehicleID) + 1 FROM Vehicles")).toInt();
    db.execute(
        QStringLiteral("INSERT INTO Vehicles (VehicleID, OwnerID, VehicleYear, VehicleMake, Measurement, "
                       "HoursInd, ActiveInd) SELECT %1, OwnerID, '2020', 'Bench', 0, 0, -1 FROM Vehicles "
                       "WHERE OwnerID > 0 LIMIT 1")
            .arg(vehicleId));
    qint32 key = db.scalar(QStringLiteral("SELECT coalesce(max(GasLogID), 0) + 1 FROM GasLog")).toInt();
    QSqlQuery insert = db.prepare(QStringLiteral(
        "INSERT INTO GasLog (GasLogID, VehicleID, Mileage, Date, Gallons, CostGallon, TotalCost, Fillup, "
        "StationID, Estimated, BriefDesc) VALUES (?, ?, ?, ?, ?, 3.5, ?, ?, 0, 0, '')"));
    const QDate start(1990, 1, 1);
    for (int i = 0; i < count; ++i) {
        const double fuel = 10.0 + (i % 7);
        insert.addBindValue(key++);
        insert.addBindValue(vehicleId);
        insert.addBindValue(1000 + i * 90);
        insert.addBindValue(start.addDays(i).toString(QStringLiteral("yyyyMMdd")));
        insert.addBindValue(fuel);
        insert.addBindValue(fuel * 3.5);
        insert.addBindValue(i % 4 == 3 ? 1 : 0);
        db.exec(insert);
    }
    transaction.commit();
    return vehicleId;
}

} // namespace

BENCH_CASE("Gas form list with economy and chart, one vehicle with 10,000 fill-ups",
           [](const Bench::Fleet& fleet) {
               Bench::ScratchCopy copy(fleet);
               const qint32 vehicleId = addVehicleWithFillUps(copy.path(), 10000);
               SilentPrompter prompter;
               double figure = 0;
               {
                   CVelApp app(prompter);
                   app.setDatabasePath(copy.path());
                   app.openDatabase();
                   app.loadVehicleColumns();
                   app.setCurrentVehicle(vehicleId);
                   CVelDoc doc;
                   BenchGasView view(app, doc);
                   view.show();
                   if (view.entryList()->topLevelItemCount() != 10000)
                       qFatal("the gas list holds %d rows", view.entryList()->topLevelItemCount());
                   figure = Bench::milliseconds([&] { view.refill(); });
               }
               const double plain = Bench::milliseconds([&] {
                   Database db;
                   db.open(copy.path());
                   FuelEconomy::listEconomy(FuelEconomy::readFillUps(db, vehicleId));
               });
               return Bench::Figure{figure, QStringLiteral("ms"), plain};
           });

BENCH_CASE("Fuel economy of 100,000 fill-ups of one vehicle, read and worked out",
           [](const Bench::Fleet& fleet) {
               Bench::ScratchCopy copy(fleet);
               const qint32 vehicleId = addVehicleWithFillUps(copy.path(), 100000);
               Database db;
               db.open(copy.path());
               double overall = 0;
               const double figure = Bench::milliseconds([&] {
                   overall = FuelEconomy::listEconomy(FuelEconomy::readFillUps(db, vehicleId)).overall;
               });
               if (overall <= 0)
                   qFatal("no overall economy");
               return Bench::Figure{figure, QStringLiteral("ms")};
           });

BENCH_CASE("Fuel economy of 100,000 fill-ups already read (the walk alone)", [](const Bench::Fleet&) {
    std::vector<FuelEconomy::FillUp> entries;
    entries.reserve(100000);
    for (int i = 0; i < 100000; ++i)
        entries.push_back({i + 1, 1000 + i * 90, QString(), 35.0, 10.0 + (i % 7), i % 4 != 3});
    double overall = 0;
    const double figure = Bench::milliseconds([&] { overall = FuelEconomy::listEconomy(entries).overall; });
    if (overall <= 0)
        qFatal("no overall economy");
    return Bench::Figure{figure, QStringLiteral("ms")};
});
