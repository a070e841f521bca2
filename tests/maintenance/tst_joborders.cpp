#include "DataRows.h"
#include "MaintenanceData.h"
#include "maintenance/JobOrderRecord.h"

#include <QTest>

class JobOrdersTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void carriedOverJcn_data()
    {
        QTest::addColumn<QString>("jcn");
        QTest::addColumn<QString>("expected");
        addRow("short", "AB12", "AB12-NEW");
        addRow("already carried over", "A-100-NEW", "A-100-NEW");
        addRow("16 characters", "ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNOP-NEW");
        addRow("17 characters", "ABCDEFGHIJKLMNOPQ", "ABCDEFGHIJKLMNOP-NEW");
        addRow("20 characters", "ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNOP-NEW");
        addRow("empty", "", "-NEW");
    }
    void carriedOverJcn()
    {
        QFETCH(QString, jcn);
        QFETCH(QString, expected);
        QCOMPARE(JobOrders::carriedOverJcn(jcn), expected);
    }

    void saveWritesRowAndServicesAndReopens()
    {
        MaintenanceData d;
        d.addJobOrder(4, "OLD", false);
        JobOrderRecord order;
        order.vehicleId = 1;
        order.stationId = 2;
        order.jcn = "O'Neil 7";
        order.date = "20240315";
        order.description = "Brakes";
        order.services = {
            {2, "Gas/Filter Change"}, {ServiceItem::Unexpected, "Wiper's blade"}, {1, "Oil/Filter Change"}};
        const qint32 key = order.save(d.db, 0);
        QCOMPARE(key, 5);
        QCOMPARE(d.value("SELECT JCN FROM JobOrder WHERE JobOrderID = 5"), QString("O'Neil 7"));
        QCOMPARE(d.count("SELECT OpenInd FROM JobOrder WHERE JobOrderID = 5"), -1);
        QCOMPARE(d.count("SELECT count(*) FROM MaintServices WHERE MaintID = 5 AND LinkInd = 1"), 2);

        const auto loaded = JobOrderRecord::load(d.db, key);
        QVERIFY(loaded);
        QCOMPARE(ServiceItems::joined(loaded->services),
                 QString("Gas/Filter Change, Oil/Filter Change, Wiper's blade"));

        // Saving an existing (even completed) job order opens it and replaces its services.
        order.services = {{3, "Spark Plugs Replaced"}};
        order.jcn = "B-1";
        QCOMPARE(order.save(d.db, 4), 4);
        QCOMPARE(d.count("SELECT OpenInd FROM JobOrder WHERE JobOrderID = 4"), -1);
        QCOMPARE(d.count("SELECT count(*) FROM MaintServices WHERE MaintID = 4"), 1);
        QVERIFY(JobOrders::jcnUsedElsewhere(d.db, "o'neil 7", 4));
        QVERIFY(!JobOrders::jcnUsedElsewhere(d.db, "O'Neil 7", 5));
    }

    void failedServiceWriteLeavesNothing()
    {
        MaintenanceData d;
        JobOrderRecord order;
        order.vehicleId = 1;
        order.date = "20240315";
        order.services = {{1, "Oil/Filter Change"}, {ServiceItem::Unexpected, QString(51, 'x')}};
        QVERIFY_THROWS_EXCEPTION(std::exception, order.save(d.db, 0));
        QCOMPARE(d.count("SELECT count(*) FROM JobOrder"), 0);
        QCOMPARE(d.count("SELECT count(*) FROM MaintServices"), 0);
    }

    void listShowsOpenFirstAndCompletedWithBlank()
    {
        MaintenanceData d;
        d.addJobOrder(1, "DONE", false);
        d.addJobOrder(2, "OPEN");
        d.addJobOrder(3, "OTHER", true, 2);
        d.db.execute(
            "INSERT INTO MaintServices (MaintID, ServiceID, VehicleID, LinkInd) VALUES (1, 1, 1, 2), "
            "(1, 2, 1, 1), (7, 3, 1, 0)");
        d.db.execute("INSERT INTO MaintServicesUnexpected (UMaintID, ServiceDesc, VehicleID, LinkInd) VALUES "
                     "(1, 'Horn', 1, 1)");
        QList<JobOrderListRow> rows = JobOrders::list(d.db, 1, false);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].jcn, QString("OPEN"));
        QCOMPARE(rows[1].date, QString("03/10/2024 "));
        QCOMPARE(rows[1].services, QString("Oil/Filter Change (Not Performed), Gas/Filter Change, Horn"));
        QCOMPARE(JobOrders::list(d.db, 1, true).size(), 1);
        rows = JobOrders::list(d.db, 0, false, JobOrders::selectionFilter({3, 1}));
        QCOMPARE(rows.size(), 2);
        QCOMPARE(JobOrders::selectionFilter({3, 1}), QString("(JobOrderID IN (3, 1))"));
        QCOMPARE(JobOrders::selectionFilter({}), QString());
    }

    void removeForgetsTheTieAndTheServices()
    {
        MaintenanceData d;
        d.addJobOrder(1, "A", false);
        d.db.execute(
            "INSERT INTO Maintenance (MaintID, VehicleID, MaintDate, ActualMiles, JobOrderID) VALUES "
            "(1, 1, '20240312', 50100, 1)");
        d.db.execute(
            "INSERT INTO MaintServices (MaintID, ServiceID, VehicleID, LinkInd) VALUES (1, 1, 1, 2), "
            "(1, 1, 1, 0)");
        QCOMPARE(JobOrders::tiedMaintenance(d.db, 1), 1);
        JobOrders::remove(d.db, 1);
        QCOMPARE(d.count("SELECT count(*) FROM JobOrder"), 0);
        QCOMPARE(d.count("SELECT JobOrderID FROM Maintenance WHERE MaintID = 1"), 0);
        // The entry's own performed service stays.
        QCOMPARE(d.count("SELECT count(*) FROM MaintServices"), 1);
    }
};

QTEST_GUILESS_MAIN(JobOrdersTest)
#include "tst_joborders.moc"
