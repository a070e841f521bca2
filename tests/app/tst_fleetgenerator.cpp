#include "TestEnvironment.h"
#include "app/FleetGenerator.h"
#include "db/Database.h"

#include <QTest>

class FleetGeneratorTest : public QObject
{
    Q_OBJECT

    TestEnvironment m_env;

private slots:
    void writesTheFleetInItsProportions()
    {
        const QString path = m_env.path("fleet.vel");
        const CliRun run = runCli({"generate-fleet", path, "--vehicles", "10", "--seed", "3"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out,
                 QString("Generated 10 vehicles of 1 owners, 190 schedule entries, 500 maintenance entries "
                         "with 1500 performed services, 50 job orders, 1000 fill-ups, 3 loans, 6 insurance "
                         "records\n"));
        Database db;
        db.open(path);
        QCOMPARE(columnOf(db, "SELECT count(*) FROM MaintServices WHERE LinkInd = 0"), QStringList{"1500"});
        QCOMPARE(columnOf(db, "SELECT group_concat(n) FROM (SELECT count(*) n FROM Vehicles GROUP BY Measurement, "
                              "HoursInd ORDER BY Measurement, HoursInd)"),
                 QStringList{"7,1,2"});
        // Readings only grow with the dates, up to the vehicle's last actual reading.
        QCOMPARE(columnOf(db, "SELECT count(*) FROM GasLog a JOIN GasLog b ON a.VehicleID = b.VehicleID AND "
                              "a.Date < b.Date AND a.Mileage > b.Mileage"),
                 QStringList{"0"});
        QCOMPARE(columnOf(db, "SELECT count(*) FROM Maintenance m JOIN Vehicles v ON v.VehicleID = m.VehicleID "
                              "WHERE m.MaintDate > v.DateOfActualMiles OR m.ActualMiles > v.EntryOfActualMiles"),
                 QStringList{"0"});
        QCOMPARE(columnOf(db, "SELECT count(*) FROM JobOrder WHERE OpenInd <> 0"), QStringList{"10"});
        // One schedule entry per vehicle and service; Fillup non-zero marks the occasional partial tank.
        QCOMPARE(columnOf(db, "SELECT count(*) FROM (SELECT 1 FROM Schedule GROUP BY VehicleID, ServiceID "
                              "HAVING count(*) > 1)"),
                 QStringList{"0"});
        QCOMPARE(columnOf(db, "SELECT count(*) FROM GasLog WHERE Fillup <> 0"), QStringList{"80"});
        QCOMPARE(columnOf(db, "PRAGMA integrity_check"), QStringList{"ok"});
    }

    void sameSeedSameRows()
    {
        Database first;
        Database second;
        m_env.createDatabase(first, "first.vel");
        m_env.createDatabase(second, "second.vel");
        FleetGenerator::fill(first, 3, 11);
        FleetGenerator::fill(second, 3, 11);
        const QString rows = "SELECT group_concat(VehicleID || Mileage || Date || TotalCost || Gallons || Fillup) "
                             "FROM GasLog";
        QCOMPARE(columnOf(first, rows), columnOf(second, rows));
    }
};

QTEST_GUILESS_MAIN(FleetGeneratorTest)
#include "tst_fleetgenerator.moc"
