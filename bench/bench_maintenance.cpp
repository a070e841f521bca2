// Maintenance entries, job orders, the schedule monitor's fill and the reminder program.

#include "BenchSupport.h"
#include "context/Settings.h"
#include "app/ui/VelApp.h"
#include "context/VelDoc.h"
#include "db/Clock.h"
#include "db/Database.h"
#include "db/Prompter.h"
#include "maintenance/MaintenanceRecord.h"
#include "maintenance/ui/JobOrderView.h"
#include "maintenance/ui/MaintenanceView.h"
#include "maintenance/ui/ScheduleMonitorView.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <algorithm>
#include <type_traits>

namespace {

class SilentPrompter : public Prompter
{
public:
    Answer ask(const QString&, Icon, Buttons) override { return Answer::No; }
    QString saveFileName(const FileDialog&) override { return {}; }
    QString openFileName(const FileDialog&) override { return {}; }
    bool note(const QString&) override { return true; }
};

// The lists are refilled the way a save or delete refills them.
template <class View> class Refilled : public View
{
public:
    using View::View;
    void refill() { this->fillSelector(this->currentKey()); }
};

// Times the refill of a form's list for the sample vehicle, with the form shown on it.
template <class View> Bench::Figure listFigure(const Bench::Fleet& fleet)
{
    SilentPrompter prompter;
    CVelApp app(prompter);
    app.setDatabasePath(fleet.path);
    app.openDatabase();
    app.loadVehicleColumns();
    app.setCurrentVehicle(Bench::sampleVehicle(fleet));
    CVelDoc doc;
    Refilled<View> view(app, doc);
    view.show();
    if constexpr (std::is_same_v<View, CJobOrderView>)
        view.setOpenOnly(false);
    if (view.entryList()->topLevelItemCount() == 0)
        qFatal("the list is empty");
    return Bench::Figure{Bench::milliseconds([&] { view.refill(); }), QStringLiteral("ms")};
}

// Five catalogue services the sample vehicle has on its schedule where it can.
QList<ServiceItem> fiveServices(Database& db, int vehicle)
{
    QList<ServiceItem> services;
    QSqlQuery query = db.prepare(QStringLiteral(
        "SELECT Services.ServiceID, ServiceDesc, min(Schedule.ScheduleID IS NULL) AS unscheduled FROM "
        "Services "
        "LEFT JOIN Schedule ON Schedule.ServiceID = Services.ServiceID AND Schedule.VehicleID = ? "
        "GROUP BY Services.ServiceID ORDER BY unscheduled, Services.ServiceID LIMIT 5"));
    query.addBindValue(vehicle);
    db.exec(query);
    while (query.next())
        services.append({query.value(0).toInt(), query.value(1).toString()});
    return services;
}

} // namespace

BENCH_CASE(
    "Maintenance entry with five services saved (checks, reading move, re-estimates)",
    [](const Bench::Fleet& fleet) {
        Bench::ScratchCopy copy(fleet);
        Database db;
        db.open(copy.path());
        const int vehicle = Bench::sampleVehicle(fleet);
        MaintenanceRecord entry;
        entry.vehicleId = vehicle;
        entry.date = Clock::today().toString(QStringLiteral("yyyyMMdd"));
        entry.reading =
            db.scalar(QStringLiteral("SELECT max(m) FROM (SELECT max(ActualMiles) AS m FROM Maintenance "
                                     "WHERE VehicleID = %1 UNION ALL SELECT max(Mileage) FROM GasLog "
                                     "WHERE VehicleID = %1 UNION ALL SELECT EntryOfActualMiles FROM "
                                     "Vehicles WHERE VehicleID = %1)")
                          .arg(vehicle))
                .toInt() +
            500;
        entry.description = QStringLiteral("Bench service");
        entry.services = fiveServices(db, vehicle);
        if (MaintenanceEntries::chronologyProblem(db, vehicle, entry.date, entry.reading, 0,
                                                  QStringLiteral("Mileage")))
            qFatal("the bench entry is out of order");
        const double ms = Bench::milliseconds(
            [&] {
                if (!MaintenanceEntries::chronologyProblem(db, vehicle, entry.date, entry.reading, 0,
                                                           QStringLiteral("Mileage")))
                    MaintenanceEntries::save(db, 0, entry);
            },
            5,
            [&] {
                db.execute(QStringLiteral(
                    "DELETE FROM MaintServices WHERE LinkInd = 0 AND MaintID IN (SELECT MaintID "
                    "FROM Maintenance WHERE Description = 'Bench service')"));
                db.execute(QStringLiteral("DELETE FROM Maintenance WHERE Description = 'Bench service'"));
            });
        if (db.scalar(QStringLiteral("SELECT count(*) FROM Maintenance WHERE Description = 'Bench service'"))
                .toInt() != 1)
            qFatal("the bench entry was not saved");
        return Bench::Figure{ms, QStringLiteral("ms")};
    });

BENCH_CASE("Maintenance form's list for one vehicle",
           [](const Bench::Fleet& fleet) { return listFigure<CMaintenanceView>(fleet); });

BENCH_CASE("Job order form's list for one vehicle (open and completed)",
           [](const Bench::Fleet& fleet) { return listFigure<CJobOrderView>(fleet); });

BENCH_CASE("Schedule monitor filled for all vehicles (every entry re-estimated)",
           [](const Bench::Fleet& fleet) {
               Bench::ScratchCopy copy(fleet);
               SilentPrompter prompter;
               CVelApp app(prompter);
               app.setDatabasePath(copy.path());
               app.openDatabase();
               app.loadVehicleColumns();
               app.setCurrentVehicle(0);
               CVelDoc doc;
               CScheduleMonitorView view(app, doc);
               view.show();
               const double figure = Bench::milliseconds([&] { view.enter(0, 0); });
               if (view.list()->model()->rowCount() == 0)
                   qFatal("the monitor is empty");
               return Bench::Figure{figure, QStringLiteral("ms")};
           });

BENCH_CASE("velmora-notify from start to exit (wall clock, no notification service)",
           [](const Bench::Fleet& fleet) {
               QTemporaryDir config;
               Settings settings(config.filePath(QStringLiteral("Halvern Software/Velmora.conf")));
               settings.setDatabaseLocation(fleet.path);
               settings.sync();
               QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
               environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
               environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                                  QStringLiteral("unix:path=/nonexistent"));
               const QString program =
                   QCoreApplication::applicationDirPath() + QStringLiteral("/../src/velmora-notify");
               QList<double> times;
               for (int run = 0; run < 5; ++run) {
                   QProcess reminder;
                   reminder.setProcessEnvironment(environment);
                   QElapsedTimer timer;
                   timer.start();
                   reminder.start(program, {});
                   reminder.waitForFinished(30000);
                   times.append(double(timer.nsecsElapsed()) / 1e6);
               }
               std::sort(times.begin(), times.end());
               return Bench::Figure{times[times.size() / 2], QStringLiteral("ms")};
           });
