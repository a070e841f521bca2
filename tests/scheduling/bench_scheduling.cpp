// The due list and the schedule form over a fleet of 1,000 vehicles with 20 schedule entries each and
// 100,000 performed services. Run: build/tests/bench_scheduling  (not part of the test suite)

#include "ScriptedPrompter.h"
#include "TestEnvironment.h"
#include "app/Enums.h"
#include "app/ui/MainFrame.h"
#include "app/ui/VelApp.h"
#include "db/Database.h"
#include "forms/RecordForm.h"
#include "scheduling/DueList.h"
#include "scheduling/Estimation.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTest>
#include <QTreeWidget>
#include <ctime>

class SchedulingBenchmark : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestEnvironment> m_env;
    QString m_path;

    static void fillFleet(Database& db)
    {
        Transaction transaction(db);
        db.execute(
            "INSERT INTO Services (ServiceID, ServiceTypeID, ServiceDesc) VALUES (20, 1, 'Coolant Check')");
        db.execute("INSERT INTO Owners (OwnerID, ContactID) VALUES (1, 0)");
        QSqlQuery vehicle = db.prepare("INSERT INTO Vehicles (VehicleID, OwnerID, VehicleYear, VehicleMake, "
                                       "VehicleModel, EntryOfActualMiles, "
                                       "EstMilesPerMonth, Measurement, HoursInd, ActiveInd) VALUES (?, 1, "
                                       "'2020', 'Ford', ?, ?, ?, 0, 0, -1)");
        QSqlQuery entry = db.prepare(
            "INSERT INTO Schedule (ScheduleID, VehicleID, ServiceID, Description, StationID, PerformOnce, "
            "PerformEveryMiles, PerformEveryMonth, LastMiles, LastDate, EstPerformDate, PerformEveryDay) "
            "VALUES "
            "(?, ?, ?, '', 0, 0, ?, ?, ?, ?, '', 0)");
        QSqlQuery maintenance =
            db.prepare("INSERT INTO Maintenance (MaintID, StationID, VehicleID, ActualMiles, Tax, "
                       "TotalPrice, MaintDate, "
                       "JobOrderID, Description, Memo) VALUES (?, 0, ?, ?, 0, 0, ?, 0, '', '')");
        QSqlQuery performed = db.prepare("INSERT INTO MaintServices (MaintID, LinkInd, ServiceID, VehicleID, "
                                         "Price, Warranty) VALUES (?, 0, ?, ?, 0, '')");
        qint32 scheduleId = 1;
        qint32 maintId = 1;
        for (int v = 1; v <= 1000; ++v) {
            for (const QVariant& value : {QVariant(v), QVariant(QString("Van %1").arg(v)),
                                          QVariant(40000 + v * 7), QVariant(1000 + v % 2000)})
                vehicle.addBindValue(value);
            db.exec(vehicle);
            for (int s = 1; s <= 20; ++s) {
                for (const QVariant& value :
                     {QVariant(scheduleId++), QVariant(v), QVariant(s),
                      QVariant(s % 3 == 0 ? 0 : 3000 + 500 * s), QVariant(s % 2 == 0 ? 6 : 0),
                      QVariant(30000 + s * 100), QVariant(QString("2023%1").arg(1000 + s * 3 + 101))})
                    entry.addBindValue(value);
                db.exec(entry);
            }
            // 20 maintenance entries of 5 services each.
            for (int m = 0; m < 20; ++m) {
                for (const QVariant& value : {QVariant(maintId), QVariant(v), QVariant(20000 + m * 1000),
                                              QVariant(QString("2024%1%2")
                                                           .arg(1 + m % 12, 2, 10, QChar('0'))
                                                           .arg(1 + m, 2, 10, QChar('0')))})
                    maintenance.addBindValue(value);
                db.exec(maintenance);
                for (int k = 0; k < 5; ++k) {
                    for (const QVariant& value :
                         {QVariant(maintId), QVariant(1 + (m * 5 + k) % 20), QVariant(v)})
                        performed.addBindValue(value);
                    db.exec(performed);
                }
                ++maintId;
            }
        }
        transaction.commit();
    }

private slots:
    void initTestCase()
    {
        m_env = std::make_unique<TestEnvironment>();
        Database db;
        m_path = m_env->createDatabase(db);
        fillFleet(db);
    }

    void dueListForAllVehicles()
    {
        Database db;
        db.open(m_path);
        QElapsedTimer part;
        part.start();
        std::clock_t cpu = std::clock();
        const auto performed = Estimation::performedOccurrences(db, 0);
        qInfo("of which the performed services: %lld ms (processor %ld ms), %lld bases", part.elapsed(),
              long((std::clock() - cpu) * 1000 / CLOCKS_PER_SEC), qint64(performed.size()));
        for (const char* pass : {"first (every date stored)", "again (nothing changed)"}) {
            QElapsedTimer timer;
            timer.start();
            cpu = std::clock();
            const DueList::List list = DueList::fill(db, 0, 5, {0, 1, 2, -1, -1, -1, -1, -1, -1, -1});
            qInfo("due list, all vehicles, %s: %lld ms (processor %ld ms), %zu rows", pass, timer.elapsed(),
                  long((std::clock() - cpu) * 1000 / CLOCKS_PER_SEC), list.rows.size());
            QVERIFY(list.rows.size() > 10000);
        }
    }

    void scheduleFormForOneVehicle()
    {
        ScriptedPrompter prompter;
        CVelApp app(prompter);
        app.setDatabasePath(m_path);
        app.openDatabase();
        app.loadVehicleColumns();
        app.setCurrentVehicle(500);
        CMainFrame frame(app);
        frame.show();
        QVERIFY(frame.switchForm(ScheduleForm));
        auto* form = qobject_cast<CRecordForm*>(frame.shownForm());
        QVERIFY(form);
        QComboBox* vehicles = form->findChild<QComboBox*>("vehicleSelector");
        qint64 slowest = 0;
        for (int index = 10; index < 30; ++index) {
            QElapsedTimer timer;
            timer.start();
            vehicles->setCurrentIndex(index);
            slowest = std::max(slowest, timer.elapsed());
        }
        QCOMPARE(form->findChild<QTreeWidget*>("serviceList")->topLevelItemCount(), 20);
        qInfo("schedule form filled for one vehicle: slowest of 20 vehicles %lld ms", slowest);
    }
};

QTEST_MAIN(SchedulingBenchmark)
#include "bench_scheduling.moc"
