#include "TestEnvironment.h"
#include "db/Clock.h"
#include "db/Database.h"
#include "maintenance/JobOrderRecord.h"
#include "maintenance/MaintenanceRecord.h"

#include <QDateTime>
#include <QTest>

using MaintenanceEntries::LeftOver;

namespace {

// A fresh file with two vehicles in miles (1: 50,000 read on 01/01/2024, 1,000 a month;
// 2: an hour meter), the default service catalogue (1 "Oil/Filter Change", 2 "Gas/Filter Change", 3
// "Spark Plugs Replaced"), and today fixed at 03/20/2024 noon.
struct MaintenanceData
{
    TestEnvironment env;
    Database db;

    MaintenanceData()
    {
        env.createDatabase(db);
        Clock::setNow(QDateTime(QDate(2024, 3, 20), QTime(12, 0)));
        db.execute(
            "INSERT INTO Vehicles (VehicleID, OwnerID, VehicleYear, VehicleMake, EntryOfActualMiles, "
            "DateOfActualMiles, DateOfEstimatedMiles, EstMilesPerMonth, ActiveInd, Measurement, HoursInd) "
            "VALUES (1, 1, '2019', 'Ford', 50000, '20240101', '20240101', 1000, -1, 0, 0), "
            "(2, 1, '2012', 'Deere', 1200, '20240101', '20240101', 100, -1, 0, -1)");
    }
    int count(const QString& sql) { return db.scalar(sql).toInt(); }
    QString value(const QString& sql) { return db.scalar(sql).toString(); }
    void addJobOrder(qint32 id, const char* jcn, bool open = true, qint32 vehicle = 1)
    {
        db.execute(QString::asprintf(
            "INSERT INTO JobOrder (JobOrderID, StationID, VehicleID, JCN, Date, "
            "Description, OpenInd) VALUES (%d, 2, %d, '%s', '20240310', 'Spring check', %d)",
            id, vehicle, jcn, open ? -1 : 0));
    }
    void addSchedule(qint32 id, qint32 service, int everyMiles, int everyMonths, int once = 0)
    {
        db.execute(
            QString::asprintf("INSERT INTO Schedule (ScheduleID, VehicleID, ServiceID, PerformOnce, "
                              "PerformEveryMiles, PerformEveryMonth, PerformEveryDay, LastMiles, LastDate, "
                              "EstPerformDate) VALUES (%d, 1, %d, %d, %d, %d, 0, 40000, '20230101', '')",
                              id, service, once, everyMiles, everyMonths));
    }
};

MaintenanceRecord entry(const QString& date, qint32 reading, QList<ServiceItem> services = {})
{
    MaintenanceRecord record;
    record.vehicleId = 1;
    record.date = date;
    record.reading = reading;
    record.description = "Service";
    record.services = std::move(services);
    return record;
}

JobOrderRecord order(const QString& jcn, QList<ServiceItem> services)
{
    JobOrderRecord record;
    record.vehicleId = 1;
    record.jcn = jcn;
    record.date = "20240315";
    record.services = std::move(services);
    return record;
}

const ServiceItem Oil{1, "Oil/Filter Change"};
const ServiceItem Gas{2, "Gas/Filter Change"};

QString jobOrderServices(Database& db, qint32 jobOrderId)
{
    return ServiceItems::joined(ServiceItems::of(db, jobOrderId, ServiceItems::Owner::JobOrder));
}

} // namespace

// Maintenance entries and job orders, and how saving an entry closes its job order.
class MaintenanceTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<MaintenanceData> d;

private Q_SLOTS:
    void init() { d = std::make_unique<MaintenanceData>(); }
    void cleanup() { d.reset(); }

    // The JCN is cut to 16 characters before "-NEW"; one carried over already keeps its JCN.
    void carriedOverJcn()
    {
        for (const QString& row :
             QString("AB12>AB12-NEW A-100-NEW>A-100-NEW ABCDEFGHIJKLMNOP>ABCDEFGHIJKLMNOP-NEW "
                     "ABCDEFGHIJKLMNOPQ>ABCDEFGHIJKLMNOP-NEW ABCDEFGHIJKLMNOPQRST>ABCDEFGHIJKLMNOP-NEW >-NEW")
                 .split(' '))
            QCOMPARE(JobOrders::carriedOverJcn(row.section('>', 0, 0)), row.section('>', 1));
    }

    void saveWritesRowAndServicesAndReopens()
    {
        // A service too long for its field fails the save after the row, which leaves nothing.
        QVERIFY_THROWS_EXCEPTION(std::exception, order("J", {{1, "Oil/Filter Change"},
                                                             {ServiceItem::Unexpected, QString(51, 'x')}})
                                                     .save(d->db, 0));
        QCOMPARE(d->count("SELECT (SELECT count(*) FROM JobOrder) + (SELECT count(*) FROM MaintServices)"),
                 0);
        d->addJobOrder(4, "OLD", false);
        JobOrderRecord first = order(
            "O'Neil 7",
            {{2, "Gas/Filter Change"}, {ServiceItem::Unexpected, "Wiper's blade"}, {1, "Oil/Filter Change"}});
        QCOMPARE(first.save(d->db, 0), 5);
        QCOMPARE(d->value("SELECT JCN || ' ' || OpenInd FROM JobOrder WHERE JobOrderID = 5"),
                 QString("O'Neil 7 -1"));
        QCOMPARE(ServiceItems::joined(JobOrderRecord::load(d->db, 5).value().services),
                 QString("Gas/Filter Change, Oil/Filter Change, Wiper's blade"));

        // Saving an existing (even completed) job order opens it and replaces its services.
        QCOMPARE(order("B-1", {{3, "Spark Plugs Replaced"}}).save(d->db, 4), 4);
        QCOMPARE(d->count("SELECT OpenInd FROM JobOrder WHERE JobOrderID = 4"), -1);
        QCOMPARE(d->count("SELECT count(*) FROM MaintServices WHERE MaintID = 4"), 1);
        QVERIFY(JobOrders::jcnUsedElsewhere(d->db, "o'neil 7", 4));
        QVERIFY(!JobOrders::jcnUsedElsewhere(d->db, "O'Neil 7", 5));
    }

    void listShowsOpenFirstAndCompletedWithBlank()
    {
        d->addJobOrder(1, "DONE", false);
        d->addJobOrder(2, "OPEN");
        d->addJobOrder(3, "OTHER", true, 2);
        d->db.execute(
            "INSERT INTO MaintServices (MaintID, ServiceID, VehicleID, LinkInd) VALUES (1, 1, 1, 2), "
            "(1, 2, 1, 1), (7, 3, 1, 0)");
        d->db.execute(
            "INSERT INTO MaintServicesUnexpected (UMaintID, ServiceDesc, VehicleID, LinkInd) VALUES "
            "(1, 'Horn', 1, 1)");
        const QList<JobOrderListRow> rows = JobOrders::list(d->db, 1, false);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].jcn, QString("OPEN"));
        QCOMPARE(rows[1].date, QString("03/10/2024 "));
        QCOMPARE(rows[1].services, QString("Oil/Filter Change (Not Performed), Gas/Filter Change, Horn"));
        QCOMPARE(JobOrders::list(d->db, 1, true).size(), 1);
        QCOMPARE(JobOrders::list(d->db, 0, false, JobOrders::selectionFilter({3, 1})).size(), 2);
        QCOMPARE(JobOrders::selectionFilter({}), QString());
    }

    void removeForgetsTheTieAndTheServices()
    {
        d->addJobOrder(1, "A", false);
        d->db.execute(
            "INSERT INTO Maintenance (MaintID, VehicleID, MaintDate, ActualMiles, JobOrderID) VALUES "
            "(1, 1, '20240312', 50100, 1)");
        d->db.execute(
            "INSERT INTO MaintServices (MaintID, ServiceID, VehicleID, LinkInd) VALUES (1, 1, 1, 2), "
            "(1, 1, 1, 0)");
        QCOMPARE(JobOrders::tiedMaintenance(d->db, 1), 1);
        JobOrders::remove(d->db, 1);
        QCOMPARE(d->count("SELECT count(*) FROM JobOrder"), 0);
        QCOMPARE(d->count("SELECT JobOrderID FROM Maintenance WHERE MaintID = 1"), 0);
        // The entry's own performed service stays.
        QCOMPARE(d->count("SELECT count(*) FROM MaintServices"), 1);
    }

    // Which entry conflicts is covered with the forms; here the two messages, the reading's label and that
    // the entry being edited is left out.
    void chronology()
    {
        d->db.execute("INSERT INTO Maintenance (MaintID, VehicleID, MaintDate, ActualMiles) VALUES "
                      "(1, 1, '20240315', 45000), (2, 2, '20240301', 99000)");
        d->db.execute(
            "INSERT INTO GasLog (GasLogID, VehicleID, Date, Mileage) VALUES (1, 1, '20240318', 46000)");
        const QString maintenance =
            "Can not perform maintenance with given Date and Hours because of another "
            "maintenance entry recorded on 03/15/2024 at 45,000 Hours.";
        const QString gas = "Can not perform maintenance with given date and mileage because of a gas entry "
                            "recorded on 03/18/2024 at 46,000 miles.";
        // Date, reading and the entry being edited (left out of the check); the problem.
        const std::tuple<const char*, int, int, QString> rows[] = {
            {"20240314", 45001, 0, maintenance}, {"20240316", 44999, 0, maintenance},
            {"20240316", 44999, 1, ""},          {"20240317", 45500, 0, ""},
            {"20240319", 45999, 0, gas},         {"20240318", 45999, 0, ""}};
        for (const auto& [date, reading, maintId, message] : rows)
            QCOMPARE(
                MaintenanceEntries::chronologyProblem(d->db, 1, date, reading, maintId, "Hours").value_or(""),
                message);
    }

    void saveMovesReadingAndSchedule()
    {
        d->addSchedule(1, 1, 5000, 6);  // normal
        d->addSchedule(2, 2, 0, 12, 1); // one time
        const auto saved = MaintenanceEntries::save(
            d->db, 0, entry("20240320", 51000, {Oil, Gas, {ServiceItem::Unexpected, "Horn"}}));
        QCOMPARE(saved.maintId, 1);
        QVERIFY(saved.readingMoved);
        QCOMPARE(d->count("SELECT count(*) FROM Schedule WHERE ScheduleID = 2"), 0);
        // The reading moves; 5,000 miles at 32 a day from this entry: due in 156 days.
        QCOMPARE(
            d->value("SELECT DateOfActualMiles || ' ' || EntryOfActualMiles || ' ' || EstPerformDate FROM "
                     "Vehicles, Schedule WHERE Vehicles.VehicleID = 1 AND ScheduleID = 1"),
            "20240320 51000 " + QDate(2024, 3, 20).addDays(156).toString("yyyyMMdd"));
        QCOMPARE(MaintenanceEntries::list(d->db, 1).first().services,
                 QString("Oil/Filter Change, Gas/Filter Change, Horn"));

        // An older entry, or one on the reading's date with a lower reading, leaves the vehicle alone.
        QVERIFY(!MaintenanceEntries::save(d->db, 0, entry("20240320", 50999)).readingMoved);
        QVERIFY(!MaintenanceEntries::save(d->db, 0, entry("20240310", 50500)).readingMoved);
        QVERIFY(MaintenanceEntries::save(d->db, 0, entry("20240320", 51001)).readingMoved);
    }

    void deleteReestimatesFromThePreviousOccurrence()
    {
        d->addSchedule(1, 1, 5000, 6);
        MaintenanceEntries::save(d->db, 0, entry("20240201", 48000, {Oil}));
        MaintenanceEntries::remove(
            d->db, MaintenanceEntries::save(d->db, 0, entry("20240320", 51000, {Oil})).maintId);
        QCOMPARE(d->count("SELECT count(*) FROM Maintenance"), 1);
        QCOMPARE(d->count("SELECT count(*) FROM MaintServices"), 1);
        // From 48,000 with the vehicle still at 51,000: 2,000 miles left, 62 days.
        QCOMPARE(d->value("SELECT EstPerformDate FROM Schedule WHERE ScheduleID = 1"),
                 QDate(2024, 3, 20).addDays(62).toString("yyyyMMdd"));
        QCOMPARE(d->count("SELECT EntryOfActualMiles FROM Vehicles WHERE VehicleID = 1"), 51000);
    }

    // The services left over go on a new job order, or are marked not performed; each in a fresh file.
    void jobOrderFollowUp()
    {
        for (const bool carryOver : {true, false}) {
            d = std::make_unique<MaintenanceData>();
            d->addJobOrder(1, "AB12");
            d->db.execute(
                "INSERT INTO MaintServices (MaintID, ServiceID, VehicleID, LinkInd) VALUES (1, 1, 1, 1), "
                "(1, 3, 1, 1)");
            d->db.execute(
                "INSERT INTO MaintServicesUnexpected (UMaintID, ServiceDesc, VehicleID, LinkInd) VALUES "
                "(1, 'Horn', 1, 1), (1, 'Mirror', 1, 1)");
            MaintenanceRecord record = entry("20240320", 51000, {Oil, {ServiceItem::Unexpected, "HORN"}});
            record.jobOrderId = 1;
            QCOMPARE(ServiceItems::joined(MaintenanceEntries::leftOverServices(d->db, 1, record.services)),
                     QString("Spark Plugs Replaced, Mirror"));
            const auto saved = MaintenanceEntries::save(
                d->db, 0, record, 1, carryOver ? LeftOver::NewJobOrder : LeftOver::MarkNotPerformed);
            QCOMPARE(saved.newJcn, carryOver ? QString("AB12-NEW") : QString());
            QCOMPARE(d->count("SELECT OpenInd FROM JobOrder WHERE JobOrderID = 1"), 0);
            QCOMPARE(d->count("SELECT JobOrderID FROM Maintenance WHERE MaintID = 1"), 1);
            if (carryOver) {
                QCOMPARE(d->value("SELECT JCN || ' ' || OpenInd || ' ' || Date FROM JobOrder "
                                  "WHERE JobOrderID = 2"),
                         QString("AB12-NEW -1 20240310"));
                QCOMPARE(jobOrderServices(d->db, 2), QString("Spark Plugs Replaced, Mirror"));
                QCOMPARE(jobOrderServices(d->db, 1), QString("Oil/Filter Change, Horn"));
                continue;
            }
            QCOMPARE(d->count("SELECT count(*) FROM JobOrder"), 1);
            QCOMPARE(jobOrderServices(d->db, 1), QString("Oil/Filter Change, Spark Plugs Replaced "
                                                         "(Not Performed), Horn, Mirror (Not Performed)"));
            // Deleting the entry reopens the job order with its services pending again.
            MaintenanceEntries::remove(d->db, saved.maintId);
            QCOMPARE(d->count("SELECT OpenInd FROM JobOrder WHERE JobOrderID = 1"), -1);
            QCOMPARE(jobOrderServices(d->db, 1),
                     QString("Oil/Filter Change, Spark Plugs Replaced, Horn, Mirror"));
        }
    }

    void failureInTheMiddleLeavesTheFileAsBefore()
    {
        d->addSchedule(1, 1, 0, 0, 1);
        d->addJobOrder(1, "J-1");
        d->db.execute(
            "INSERT INTO MaintServices (MaintID, ServiceID, VehicleID, LinkInd) VALUES (1, 2, 1, 1)");
        const QString vehicles = "SELECT group_concat(EntryOfActualMiles || DateOfActualMiles) FROM Vehicles";
        const QString before = d->value(vehicles);
        // A typed service too long for its field fails after the row, the reading and the first service.
        MaintenanceRecord record =
            entry("20240320", 52000, {Oil, {ServiceItem::Unexpected, QString(51, 'x')}});
        QVERIFY_THROWS_EXCEPTION(std::exception,
                                 MaintenanceEntries::save(d->db, 0, record, 1, LeftOver::NewJobOrder));
        QCOMPARE(d->count("SELECT count(*) FROM Maintenance"), 0);
        QCOMPARE(d->count("SELECT count(*) FROM MaintServices WHERE LinkInd = 0"), 0);
        QCOMPARE(d->count("SELECT count(*) FROM Schedule"), 1);
        QCOMPARE(d->count("SELECT count(*) FROM JobOrder WHERE OpenInd <> 0"), 1);
        QCOMPARE(d->value(vehicles), before);
        QCOMPARE(d->db.transactionDepth(), 0);
    }
};

QTEST_GUILESS_MAIN(MaintenanceTest)
#include "tst_maintenance.moc"
