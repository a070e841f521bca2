#include "MaintenanceData.h"
#include "maintenance/MaintenanceRecord.h"

#include <QTest>

using MaintenanceEntries::LeftOver;

namespace {

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

const ServiceItem Oil{1, "Oil/Filter Change"};
const ServiceItem Gas{2, "Gas/Filter Change"};
const ServiceItem Plugs{3, "Spark Plugs Replaced"};

QString storedDaysFromToday(int days)
{
    return QDate(2024, 3, 20).addDays(days).toString("yyyyMMdd");
}

} // namespace

class MaintenanceTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void chronology_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<int>("reading");
        QTest::addColumn<int>("maintId");
        QTest::addColumn<QString>("message");
        const QString maintenance =
            "Can not perform maintenance with given Date and Mileage because of another "
            "maintenance entry recorded on 03/15/2024 at 45,000 Mileage.";
        const QString gas = "Can not perform maintenance with given date and mileage because of a gas entry "
                            "recorded on 03/18/2024 at 46,000 miles.";
        QTest::newRow("same date, lower reading") << "20240315" << 44000 << 0 << QString();
        QTest::newRow("earlier, higher") << "20240314" << 45001 << 0 << maintenance;
        QTest::newRow("earlier, equal reading") << "20240314" << 45000 << 0 << QString();
        QTest::newRow("later, lower") << "20240316" << 44999 << 0 << maintenance;
        QTest::newRow("the entry itself") << "20240316" << 44999 << 1 << QString();
        QTest::newRow("between the two") << "20240317" << 45500 << 0 << QString();
        QTest::newRow("gas later, lower") << "20240319" << 46001 << 0 << QString();
        QTest::newRow("gas earlier, higher") << "20240319" << 45999 << 0 << gas;
        QTest::newRow("gas same date") << "20240318" << 45999 << 0 << QString();
    }
    void chronology()
    {
        QFETCH(QString, date);
        QFETCH(int, reading);
        QFETCH(int, maintId);
        QFETCH(QString, message);
        MaintenanceData d;
        d.db.execute("INSERT INTO Maintenance (MaintID, VehicleID, MaintDate, ActualMiles) VALUES "
                     "(1, 1, '20240315', 45000), (2, 2, '20240301', 99000)");
        d.db.execute(
            "INSERT INTO GasLog (GasLogID, VehicleID, Date, Mileage) VALUES (1, 1, '20240318', 46000)");
        const std::optional<QString> problem =
            MaintenanceEntries::chronologyProblem(d.db, 1, date, reading, maintId, "Mileage");
        QCOMPARE(problem.value_or(QString()), message);
    }

    void saveMovesReadingAndSchedule()
    {
        MaintenanceData d;
        d.addSchedule(1, 1, 5000, 6); // normal
        d.addSchedule(2, 2, 0, 0, 1); // one time
        d.db.execute("UPDATE Schedule SET PerformEveryMonth = 12 WHERE ScheduleID = 2");
        const auto saved = MaintenanceEntries::save(
            d.db, 0, entry("20240320", 51000, {Oil, Gas, {ServiceItem::Unexpected, "Horn"}}));
        QCOMPARE(saved.maintId, 1);
        QVERIFY(saved.readingMoved);
        QCOMPARE(
            d.value(
                "SELECT DateOfActualMiles || ' ' || EntryOfActualMiles FROM Vehicles WHERE VehicleID = 1"),
            QString("20240320 51000"));
        QCOMPARE(d.count("SELECT count(*) FROM Schedule WHERE ScheduleID = 2"), 0);
        // 5,000 miles at 32 a day from this entry: 156 days.
        QCOMPARE(d.value("SELECT EstPerformDate FROM Schedule WHERE ScheduleID = 1"),
                 storedDaysFromToday(156));
        QCOMPARE(d.count("SELECT count(*) FROM MaintServices WHERE MaintID = 1 AND LinkInd = 0"), 2);
        QCOMPARE(MaintenanceEntries::list(d.db, 1).first().services,
                 QString("Oil/Filter Change, Gas/Filter Change, Horn"));

        // An older entry, or one on the reading's date with a lower reading, leaves the vehicle alone.
        QVERIFY(!MaintenanceEntries::save(d.db, 0, entry("20240320", 50999)).readingMoved);
        QVERIFY(!MaintenanceEntries::save(d.db, 0, entry("20240310", 50500)).readingMoved);
        QVERIFY(MaintenanceEntries::save(d.db, 0, entry("20240320", 51001)).readingMoved);
    }

    void deleteReestimatesFromThePreviousOccurrence()
    {
        MaintenanceData d;
        d.addSchedule(1, 1, 5000, 6);
        MaintenanceEntries::save(d.db, 0, entry("20240201", 48000, {Oil}));
        const qint32 latest = MaintenanceEntries::save(d.db, 0, entry("20240320", 51000, {Oil})).maintId;
        MaintenanceEntries::remove(d.db, latest);
        QCOMPARE(d.count("SELECT count(*) FROM Maintenance"), 1);
        QCOMPARE(d.count("SELECT count(*) FROM MaintServices"), 1);
        // From 48,000 with the vehicle still at 51,000: 2,000 miles left, 62 days.
        QCOMPARE(d.value("SELECT EstPerformDate FROM Schedule WHERE ScheduleID = 1"),
                 storedDaysFromToday(62));
        QCOMPARE(d.count("SELECT EntryOfActualMiles FROM Vehicles WHERE VehicleID = 1"), 51000);
    }

    void jobOrderFollowUp_data()
    {
        QTest::addColumn<QString>("jcn");
        QTest::addColumn<bool>("carryOver");
        QTest::addColumn<QString>("newJcn");
        QTest::newRow("no") << "AB12" << false << QString();
        QTest::newRow("yes") << "AB12" << true << "AB12-NEW";
    }
    void jobOrderFollowUp()
    {
        QFETCH(QString, jcn);
        QFETCH(bool, carryOver);
        QFETCH(QString, newJcn);
        MaintenanceData d;
        d.addJobOrder(1, jcn);
        d.db.execute(
            "INSERT INTO MaintServices (MaintID, ServiceID, VehicleID, LinkInd) VALUES (1, 1, 1, 1), "
            "(1, 3, 1, 1)");
        d.db.execute("INSERT INTO MaintServicesUnexpected (UMaintID, ServiceDesc, VehicleID, LinkInd) VALUES "
                     "(1, 'Horn', 1, 1), (1, 'Mirror', 1, 1)");
        MaintenanceRecord record = entry("20240320", 51000, {Oil, {ServiceItem::Unexpected, "HORN"}});
        record.jobOrderId = 1;
        QCOMPARE(ServiceItems::joined(MaintenanceEntries::leftOverServices(d.db, 1, record.services)),
                 QString("Spark Plugs Replaced, Mirror"));
        const auto saved = MaintenanceEntries::save(
            d.db, 0, record, 1, carryOver ? LeftOver::NewJobOrder : LeftOver::MarkNotPerformed);
        QCOMPARE(saved.newJcn, newJcn);
        QCOMPARE(d.count("SELECT OpenInd FROM JobOrder WHERE JobOrderID = 1"), 0);
        QCOMPARE(d.count("SELECT JobOrderID FROM Maintenance WHERE MaintID = 1"), 1);
        if (carryOver) {
            QCOMPARE(
                d.value("SELECT JCN || ' ' || OpenInd || ' ' || Date FROM JobOrder WHERE JobOrderID = 2"),
                newJcn + " -1 20240310");
            QCOMPARE(ServiceItems::joined(ServiceItems::of(d.db, 2, ServiceItems::Owner::JobOrder)),
                     QString("Spark Plugs Replaced, Mirror"));
            QCOMPARE(ServiceItems::joined(ServiceItems::of(d.db, 1, ServiceItems::Owner::JobOrder)),
                     QString("Oil/Filter Change, Horn"));
        } else {
            QCOMPARE(d.count("SELECT count(*) FROM JobOrder"), 1);
            QCOMPARE(
                ServiceItems::joined(ServiceItems::of(d.db, 1, ServiceItems::Owner::JobOrder)),
                QString(
                    "Oil/Filter Change, Spark Plugs Replaced (Not Performed), Horn, Mirror (Not Performed)"));

            // Deleting the entry reopens the job order with its services pending again.
            MaintenanceEntries::remove(d.db, saved.maintId);
            QCOMPARE(d.count("SELECT OpenInd FROM JobOrder WHERE JobOrderID = 1"), -1);
            QCOMPARE(ServiceItems::joined(ServiceItems::of(d.db, 1, ServiceItems::Owner::JobOrder)),
                     QString("Oil/Filter Change, Spark Plugs Replaced, Horn, Mirror"));
        }
    }

    void failureInTheMiddleLeavesTheFileAsBefore()
    {
        MaintenanceData d;
        d.addSchedule(1, 1, 0, 0, 1);
        d.addJobOrder(1, "J-1");
        d.db.execute(
            "INSERT INTO MaintServices (MaintID, ServiceID, VehicleID, LinkInd) VALUES (1, 2, 1, 1)");
        const QString before =
            d.value("SELECT group_concat(EntryOfActualMiles || DateOfActualMiles) FROM Vehicles");
        // A typed service too long for its field fails after the row, the reading and the first service.
        MaintenanceRecord record =
            entry("20240320", 52000, {Oil, {ServiceItem::Unexpected, QString(51, QLatin1Char('x'))}});
        QVERIFY_THROWS_EXCEPTION(std::exception,
                                 MaintenanceEntries::save(d.db, 0, record, 1, LeftOver::NewJobOrder));
        QCOMPARE(d.count("SELECT count(*) FROM Maintenance"), 0);
        QCOMPARE(d.count("SELECT count(*) FROM MaintServices WHERE LinkInd = 0"), 0);
        QCOMPARE(d.count("SELECT count(*) FROM Schedule"), 1);
        QCOMPARE(d.count("SELECT count(*) FROM JobOrder WHERE OpenInd <> 0"), 1);
        QCOMPARE(d.value("SELECT group_concat(EntryOfActualMiles || DateOfActualMiles) FROM Vehicles"),
                 before);
        QCOMPARE(d.db.transactionDepth(), 0);
    }
};

QTEST_GUILESS_MAIN(MaintenanceTest)
#include "tst_maintenance.moc"
