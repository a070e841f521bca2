#include "MaintenanceData.h"
#include "maintenance/JobOrderRecord.h"

#include <QTest>

namespace {

JobOrderRecord order(const QString& jcn, QList<ServiceItem> services)
{
    JobOrderRecord record;
    record.vehicleId = 1;
    record.jcn = jcn;
    record.date = "20240315";
    record.services = std::move(services);
    return record;
}

} // namespace

class JobOrdersTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The JCN is cut to 16 characters before "-NEW"; one carried over already keeps its JCN.
    void carriedOverJcn()
    {
        const std::pair<const char*, const char*> cases[] = {{"AB12", "AB12-NEW"},
                                                             {"A-100-NEW", "A-100-NEW"},
                                                             {"ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNOP-NEW"},
                                                             {"ABCDEFGHIJKLMNOPQ", "ABCDEFGHIJKLMNOP-NEW"},
                                                             {"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNOP-NEW"},
                                                             {"", "-NEW"}};
        for (const auto& [jcn, expected] : cases)
            QCOMPARE(JobOrders::carriedOverJcn(jcn), QString(expected));
    }

    void saveWritesRowAndServicesAndReopens()
    {
        MaintenanceData d;
        d.addJobOrder(4, "OLD", false);
        JobOrderRecord first =
            order("O'Neil 7",
                  {{2, "Gas/Filter Change"}, {ServiceItem::Unexpected, "Wiper's blade"}, {1, "Oil/Filter Change"}});
        QCOMPARE(first.save(d.db, 0), 5);
        QCOMPARE(d.value("SELECT JCN || ' ' || OpenInd FROM JobOrder WHERE JobOrderID = 5"), QString("O'Neil 7 -1"));
        QCOMPARE(d.count("SELECT count(*) FROM MaintServices WHERE MaintID = 5 AND LinkInd = 1"), 2);
        QCOMPARE(ServiceItems::joined(JobOrderRecord::load(d.db, 5).value().services),
                 QString("Gas/Filter Change, Oil/Filter Change, Wiper's blade"));

        // Saving an existing (even completed) job order opens it and replaces its services.
        QCOMPARE(order("B-1", {{3, "Spark Plugs Replaced"}}).save(d.db, 4), 4);
        QCOMPARE(d.count("SELECT OpenInd FROM JobOrder WHERE JobOrderID = 4"), -1);
        QCOMPARE(d.count("SELECT count(*) FROM MaintServices WHERE MaintID = 4"), 1);
        QVERIFY(JobOrders::jcnUsedElsewhere(d.db, "o'neil 7", 4));
        QVERIFY(!JobOrders::jcnUsedElsewhere(d.db, "O'Neil 7", 5));
    }

    void failedServiceWriteLeavesNothing()
    {
        MaintenanceData d;
        const JobOrderRecord record =
            order("J", {{1, "Oil/Filter Change"}, {ServiceItem::Unexpected, QString(51, 'x')}});
        QVERIFY_THROWS_EXCEPTION(std::exception, record.save(d.db, 0));
        QCOMPARE(d.count("SELECT (SELECT count(*) FROM JobOrder) + (SELECT count(*) FROM MaintServices)"), 0);
    }

    void listShowsOpenFirstAndCompletedWithBlank()
    {
        MaintenanceData d;
        d.addJobOrder(1, "DONE", false);
        d.addJobOrder(2, "OPEN");
        d.addJobOrder(3, "OTHER", true, 2);
        d.db.execute("INSERT INTO MaintServices (MaintID, ServiceID, VehicleID, LinkInd) VALUES (1, 1, 1, 2), "
                     "(1, 2, 1, 1), (7, 3, 1, 0)");
        d.db.execute("INSERT INTO MaintServicesUnexpected (UMaintID, ServiceDesc, VehicleID, LinkInd) VALUES "
                     "(1, 'Horn', 1, 1)");
        const QList<JobOrderListRow> rows = JobOrders::list(d.db, 1, false);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].jcn, QString("OPEN"));
        QCOMPARE(rows[1].date, QString("03/10/2024 "));
        QCOMPARE(rows[1].services, QString("Oil/Filter Change (Not Performed), Gas/Filter Change, Horn"));
        QCOMPARE(JobOrders::list(d.db, 1, true).size(), 1);
        QCOMPARE(JobOrders::list(d.db, 0, false, JobOrders::selectionFilter({3, 1})).size(), 2);
        QCOMPARE(JobOrders::selectionFilter({}), QString());
    }

    void removeForgetsTheTieAndTheServices()
    {
        MaintenanceData d;
        d.addJobOrder(1, "A", false);
        d.db.execute("INSERT INTO Maintenance (MaintID, VehicleID, MaintDate, ActualMiles, JobOrderID) VALUES "
                     "(1, 1, '20240312', 50100, 1)");
        d.db.execute("INSERT INTO MaintServices (MaintID, ServiceID, VehicleID, LinkInd) VALUES (1, 1, 1, 2), "
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
