// The due list of a whole fleet and the schedule form of one vehicle.

#include "BenchSupport.h"
#include "app/ui/VelApp.h"
#include "context/VelDoc.h"
#include "db/Database.h"
#include "db/Prompter.h"
#include "scheduling/DueList.h"
#include "scheduling/ui/ScheduleView.h"

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

// Loads the vehicle again, as choosing it in the selector does.
class BenchScheduleView : public CScheduleView
{
public:
    using CScheduleView::CScheduleView;
    void reload() { loadSelected(); }
};

const QList<int> VehicleFields{0, 1, 2, -1, -1, -1, -1, -1, -1, -1};

// The same rows read with plain SQL: the entries with their vehicle and service, and the latest
// performed occurrence of every service on every vehicle.
void readPlainly(Database& db)
{
    QSqlQuery entries = db.prepare(QStringLiteral(
        "SELECT Schedule.*, Vehicles.EntryOfActualMiles, Vehicles.EstMilesPerMonth, Services.ServiceDesc FROM "
        "Schedule INNER JOIN Vehicles ON Vehicles.VehicleID = Schedule.VehicleID LEFT JOIN Services ON "
        "Services.ServiceID = Schedule.ServiceID WHERE Vehicles.ActiveInd <> 0 ORDER BY Schedule.EstPerformDate"));
    db.exec(entries);
    while (entries.next())
        entries.value(0);
    QSqlQuery bases = db.prepare(QStringLiteral(
        "SELECT Maintenance.VehicleID, MaintServices.ServiceID, MAX(Maintenance.MaintDate) FROM Maintenance "
        "INNER JOIN MaintServices ON Maintenance.MaintID = MaintServices.MaintID WHERE MaintServices.LinkInd = 0 "
        "GROUP BY Maintenance.VehicleID, MaintServices.ServiceID"));
    db.exec(bases);
    while (bases.next())
        bases.value(0);
}

} // namespace

BENCH_CASE("Due list of all vehicles, every due date re-estimated and stored", [](const Bench::Fleet& fleet) {
    Bench::ScratchCopy copy(fleet);
    Database db;
    const double figure = Bench::milliseconds([&] { DueList::fill(db, 0, 5, VehicleFields); }, 5, [&] {
        // A fresh file each time, so that every changed date is written.
        db.close();
        copy.reset();
        db.open(copy.path());
    });
    const double plain = Bench::milliseconds([&] { readPlainly(db); });
    return Bench::Figure{figure, QStringLiteral("ms"), plain};
});

BENCH_CASE("Due list of all vehicles, due dates already up to date", [](const Bench::Fleet& fleet) {
    Bench::ScratchCopy copy(fleet);
    Database db;
    db.open(copy.path());
    const double figure = Bench::milliseconds([&] { DueList::fill(db, 0, 5, VehicleFields); });
    const double plain = Bench::milliseconds([&] { readPlainly(db); });
    return Bench::Figure{figure, QStringLiteral("ms"), plain};
});

BENCH_CASE("Schedule form filled for one vehicle", [](const Bench::Fleet& fleet) {
    Bench::ScratchCopy copy(fleet);
    SilentPrompter prompter;
    CVelApp app(prompter);
    app.setDatabasePath(copy.path());
    app.openDatabase();
    app.loadVehicleColumns();
    app.setCurrentVehicle(Bench::sampleVehicle(fleet));
    CVelDoc doc;
    BenchScheduleView view(app, doc);
    view.show();
    if (view.findChild<QTreeWidget*>(QStringLiteral("serviceList"))->topLevelItemCount() == 0)
        qFatal("the schedule list is empty");
    return Bench::Figure{Bench::milliseconds([&] { view.reload(); }), QStringLiteral("ms")};
});
