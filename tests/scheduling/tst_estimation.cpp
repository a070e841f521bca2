#include "DataRows.h"
#include "TestEnvironment.h"
#include "db/Clock.h"
#include "db/Database.h"
#include "scheduling/Estimation.h"

#include <QTest>

using namespace Estimation;

class EstimationTest : public QObject
{
    Q_OBJECT

private:
    // The evening before the clocks go forward in New York.
    static QDateTime now() { return QDateTime(QDate(2024, 3, 9), QTime(23, 30)); }

    void addEntry(Database& db, int id, int vehicle, int service, const QString& values)
    {
        db.execute(QString("INSERT INTO Schedule (ScheduleID, VehicleID, ServiceID, PerformOnce, PerformEveryMiles, "
                           "PerformEveryMonth, PerformEveryDay, LastDate, LastMiles, EstPerformDate) VALUES "
                           "(%1, %2, %3, %4)")
                       .arg(QString::number(id), QString::number(vehicle), QString::number(service), values));
    }

private Q_SLOTS:
    void cleanup() { Clock::reset(); }

    void estimates()
    {
        // PerformOnce, every miles, months and days; base date and reading; the reading now and the use a
        // month; the estimate, and whether it is the distance-based one.
        const struct
        {
            int once, miles, months, days;
            const char* baseDate;
            int baseReading, reading, perMonth;
            const char* expected;
            bool byDistance;
        } rows[] = {
            {0, 0, 1, 0, "20000131", 0, 0, 0, "20000301", false},        // month from a 31st
            {0, 0, 6, 0, "20240101", 0, 0, 0, "20240701", false},        // six months
            {0, 0, 240, 0, "20000101", 0, 0, 0, "20191227", false},      // 240 months
            {0, 0, 0, 10, "20240301", 0, 0, 0, "20240311", false},       // days across the change
            {0, 0, 12, 0, "20400115", 0, 0, 0, "20410114", false},       // base after 2038
            {0, 0, 0, 1, "19990229", 0, 0, 0, "19990302", false},        // February 29 of 1999
            {0, 0, 6, 0, "", 0, 0, 0, "", false},                        // no base date
            {0, 0, 0, 0, "20240101", 0, 0, 1000, "", false},             // no interval
            {0, 1000, 0, 0, "20240101", 0, 0, 30, "", false},            // 30 a month: no rate
            {0, 5, 0, 0, "20240101", 1000, 1000, 31, "20240314", true},  // 31 a month: 1 a day
            {0, 1000, 0, 0, "20240101", 0, 0, 92, "20250205", true},     // 1,000 at 3 a day
            {0, 10000, 0, 0, "20240101", 0, 0, 31, "20400812", true},    // far ahead is cut
            {0, 1000, 0, 0, "20240101", 0, 20000, 31, "20071005", true}, // long overdue is cut
            {0, 1000, 0, 2, "20240308", 0, 0, 31, "20240310", false},    // date earlier
            {0, 1, 0, 5, "20240308", 0, 0, 31, "20240310", true},        // distance earlier
            {0, 1, 0, 1, "20240309", 0, 0, 31, "20240310", true},        // tie goes to distance
            {1, 0, 0, 10, "20240301", 0, 0, 0, "20240311", false},       // one time is estimated
            {2, 1000, 1, 0, "20240101", 0, 0, 1000, "", false},          // never estimated
        };
        for (const auto& row : rows) {
            const Terms terms{qint16(row.once), row.miles, row.months, row.days, QString(), 0};
            // The same days wherever the clocks change.
            for (const char* zone : {"UTC", "America/New_York", "Australia/Lord_Howe"}) {
                const ScopedTimeZone scoped(zone);
                const std::optional<Result> result =
                    estimate(terms, {row.baseDate, row.baseReading, false}, row.reading, row.perMonth, now());
                QCOMPARE(storedText(result), QString(row.expected));
                if (result)
                    QCOMPARE(result->distanceBased, row.byDistance);
            }
        }
    }

    void baseMovesOnlyForPerformedMaintenance_data()
    {
        QTest::addColumn<int>("linkInd");
        QTest::addColumn<QString>("expected");
        addRow("performed", 0, "20240531");
        addRow("on a job order", 1, "20240201");
        addRow("ordered, not performed", 2, "20240201");
    }

    void baseMovesOnlyForPerformedMaintenance()
    {
        QFETCH(int, linkInd);
        QFETCH(QString, expected);
        TestEnvironment env;
        Database db;
        env.createDatabase(db);
        Clock::setNow(now());
        db.execute("INSERT INTO Vehicles (VehicleID, OwnerID, EntryOfActualMiles, EstMilesPerMonth) VALUES "
                   "(1, 1, 0, 0)");
        addEntry(db, 1, 1, 5, "0, 0, 12, 0, '20230101', 0, ''");
        // The newest row counts only when it was performed; the older one is performed.
        db.execute("INSERT INTO Maintenance (MaintID, VehicleID, StationID, MaintDate, ActualMiles) VALUES "
                   "(1, 1, 0, '20230601', 100), (2, 1, 0, '20230201', 50)");
        db.execute(QString("INSERT INTO MaintServices (MaintID, ServiceID, LinkInd, VehicleID) VALUES (1, 5, %1, 1), "
                           "(2, 5, 0, 1)")
                       .arg(linkInd));
        QCOMPARE(storedText(reestimateEntry(db, 1)), expected);
        QCOMPARE(columnOf(db, "SELECT EstPerformDate FROM Schedule"), QStringList{expected});
        db.execute("UPDATE Schedule SET EstPerformDate = ''");
        QCOMPARE(reestimateVehicle(db, 1), 1);
        QCOMPARE(columnOf(db, "SELECT EstPerformDate FROM Schedule"), QStringList{expected});
    }

    void vehicleReestimateStoresOnlyItsChangedEntries()
    {
        TestEnvironment env;
        Database db;
        env.createDatabase(db);
        Clock::setNow(now());
        db.execute("INSERT INTO Vehicles (VehicleID, OwnerID, EntryOfActualMiles, EstMilesPerMonth) VALUES "
                   "(1, 1, 5000, 310), (2, 1, 0, 0)");
        addEntry(db, 1, 1, 1, "0, 0, 0, 10, '20240301', 0, '20240311'"); // already right
        addEntry(db, 2, 1, 2, "0, 6000, 0, 0, '20240101', 1000, ''");    // 2,000 left at 10 a day
        addEntry(db, 3, 1, 3, "2, 0, 1, 0, '20240101', 0, '19990101'");  // never estimated
        addEntry(db, 4, 1, 4, "0, 0, 0, 0, '20240101', 0, '20200101'");  // no interval: emptied
        addEntry(db, 5, 2, 1, "0, 0, 1, 0, '20240101', 0, 'other'");     // another vehicle
        QCOMPARE(reestimateVehicle(db, 1), 2);
        QCOMPARE(columnOf(db, "SELECT EstPerformDate FROM Schedule ORDER BY ScheduleID"),
                 QStringList({"20240311", "20240925", "19990101", "", "other"}));
        QVERIFY(!reestimateEntry(db, 3));
        QVERIFY(!reestimateEntry(db, 99));
        QCOMPARE(columnOf(db, "SELECT EstPerformDate FROM Schedule WHERE ScheduleID = 3"), QStringList{"19990101"});
    }
};

QTEST_GUILESS_MAIN(EstimationTest)
#include "tst_estimation.moc"
