#include "TestEnvironment.h"
#include "app/DemoData.h"
#include "db/Clock.h"
#include "db/Database.h"
#include "scheduling/DueList.h"

#include <QRegularExpression>
#include <QTest>

using DueList::Status;

// A small fleet whose due dates lie around today: vehicle 1 (miles) with entries due today, tomorrow, in
// 5 and in 6 days and one without an interval, vehicle 2 inactive, vehicle 3 (kilometres) long overdue
// and far ahead.
class DueListTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> env;
    Database db;
    QString path;
    QDate today;

    QString stored(int daysFromToday) const { return today.addDays(daysFromToday).toString("yyyyMMdd"); }
    QString shown(int daysFromToday) const { return today.addDays(daysFromToday).toString("MM/dd/yyyy"); }

    void addEntry(int id, int vehicle, int service, int miles, int months, int days, const QString& lastDate,
                  const QString& estimate = QString())
    {
        db.execute(
            QString("INSERT INTO Schedule (ScheduleID, VehicleID, ServiceID, PerformOnce, PerformEveryMiles, "
                    "PerformEveryMonth, PerformEveryDay, LastDate, LastMiles, EstPerformDate) "
                    "VALUES (%1, %2, %3, 0, %4, %5, %6, '%7', 0, '%8')")
                .arg(id)
                .arg(vehicle)
                .arg(service)
                .arg(miles)
                .arg(months)
                .arg(days)
                .arg(lastDate, estimate));
    }

    using Run = CliRun;
    Run cli(const QStringList& arguments) { return runCli(QStringList{"due"} + arguments); }

    QStringList listed(const DueList::List& list)
    {
        QStringList rows;
        for (const DueList::Row& row : list.rows)
            rows << QStringList{QString::number(row.scheduleId),
                                list.vehicle(row),
                                list.service(row),
                                list.performEvery(row),
                                list.lastPerformed(row),
                                list.estimate(row),
                                DueList::statusText(row.status)}
                        .join(" | ");
        return rows;
    }

private Q_SLOTS:
    void init()
    {
        env = std::make_unique<TestEnvironment>();
        path = env->createDatabase(db);
        today = Clock::today();
        db.execute("INSERT INTO Owners (OwnerID, ContactID) VALUES (1, 0)");
        db.execute("INSERT INTO Vehicles (VehicleID, OwnerID, VehicleYear, VehicleMake, VehicleModel, "
                   "EntryOfActualMiles, EstMilesPerMonth, Measurement, HoursInd, ActiveInd) VALUES "
                   "(1, 1, '2019', 'Ford, Inc', 'Van', 0, 0, 0, 0, -1), (2, 1, '2001', 'Old', 'Truck', 0, 0, "
                   "0, 0, 0), "
                   "(3, 1, '2022', 'Skoda', 'Octavia', 0, 31, 1, 0, -1)");
        addEntry(1, 1, 1, 0, 0, 10, stored(-10));
        addEntry(2, 1, 2, 0, 0, 10, stored(-9));
        addEntry(3, 1, 3, 0, 0, 10, stored(-5));
        addEntry(4, 1, 4, 0, 0, 10, "20000101");
        addEntry(5, 1, 5, 0, 0, 0, stored(-1), "junk");
        addEntry(6, 2, 1, 0, 0, 10, stored(-10), "19990101");
        addEntry(7, 3, 1, 0, 6, 0, "19900101");
        addEntry(8, 3, 2, 100000, 0, 0, stored(0));
        // Service 4 was performed four days ago at 1,200 miles: that is its base, not the base line.
        db.execute(QString("INSERT INTO Maintenance (MaintID, VehicleID, StationID, MaintDate, ActualMiles) "
                           "VALUES (1, 1, 0, '%1', 1200)")
                       .arg(stored(-4)));
        db.execute("INSERT INTO MaintServices (MaintID, ServiceID, LinkInd, VehicleID) VALUES (1, 4, 0, 1)");
    }
    void cleanup()
    {
        db.close();
        env.reset();
    }

    void statuses_data()
    {
        QTest::addColumn<int>("daysFromToday");
        QTest::addColumn<int>("daysAhead");
        QTest::addColumn<int>("expected");
        QTest::newRow("yesterday") << -1 << 5 << int(Status::Overdue);
        QTest::newRow("today") << 0 << 5 << int(Status::Overdue);
        QTest::newRow("tomorrow") << 1 << 5 << int(Status::DueSoon);
        QTest::newRow("day N") << 5 << 5 << int(Status::DueSoon);
        QTest::newRow("day N+1") << 6 << 5 << int(Status::Later);
        QTest::newRow("tomorrow with N = 0") << 1 << 0 << int(Status::Later);
    }

    void statuses()
    {
        QFETCH(int, daysFromToday);
        QFETCH(int, daysAhead);
        QFETCH(int, expected);
        const QDateTime now(QDate(2024, 6, 10), QTime(9, 30));
        QCOMPARE(
            int(DueList::statusOf(QDateTime(now.date().addDays(daysFromToday), QTime(0, 0)), daysAhead, now)),
            expected);
        QCOMPARE(int(DueList::statusOfDay(now.date().addDays(daysFromToday), daysAhead, now)), expected);
    }

    void listsActiveEstimatesByDateAndStoresThem()
    {
        const DueList::List all = DueList::fill(db, 0, 5, {0, 1, 2, -1, -1, -1, -1, -1, -1, -1});
        QCOMPARE(listed(all), QStringList({"7 | 2022 Skoda Octavia | Oil/Filter Change | 0, 6(M) | "
                                           "*01/01/1990, 0 | <07/02/1990 | Overdue",
                                           "1 | 2019 Ford, Inc Van | Oil/Filter Change | 0, 10(D) | *" +
                                               shown(-10) + ", 0 | " + shown(0) + " | Overdue",
                                           "2 | 2019 Ford, Inc Van | Gas/Filter Change | 0, 10(D) | *" +
                                               shown(-9) + ", 0 | " + shown(1) + " | Due soon",
                                           "3 | 2019 Ford, Inc Van | Spark Plugs Replaced | 0, 10(D) | *" +
                                               shown(-5) + ", 0 | " + shown(5) + " | Due soon",
                                           "4 | 2019 Ford, Inc Van | Ignition Cables Replaced | 0, 10(D) | " +
                                               shown(-4) + ", 1200 | " + shown(6) + " | Later",
                                           "8 | 2022 Skoda Octavia | Gas/Filter Change | 100000, 0(D) | *" +
                                               shown(0) + ", 0 | >" + shown(6000) + " | Later"}));
        QVERIFY(all.usedBaseLine);
        QCOMPARE(all.unit(all.rows.back()), QString("km"));
        // The inactive vehicle's date is left alone; the entry without an interval loses its old one.
        QCOMPARE(columnOf(db, "SELECT EstPerformDate FROM Schedule ORDER BY ScheduleID"),
                 QStringList(
                     {stored(0), stored(1), stored(5), stored(6), "", "19990101", "19900702", stored(6000)}));

        const DueList::List one = DueList::fill(db, 1, 0, {0, 1, 2, -1, -1, -1, -1, -1, -1, -1});
        QCOMPARE(one.rows.size(), size_t(4));
        QCOMPARE(int(one.rows[1].status), int(Status::Later));
    }

    void commandLineOnTheDemoFleet()
    {
        for (const char* table : {"Schedule", "Vehicles", "Owners", "Maintenance", "MaintServices"})
            db.execute(QString("DELETE FROM %1").arg(table));
        DemoData::fill(db);
        db.close();
        const Run csv = cli({path, "--csv"});
        QCOMPARE(csv.exitCode, 0);
        // Read as CSV readers do: fields split at commas outside double quotes, "" inside quotes.
        QList<QStringList> rows;
        for (const QString& line : csv.out.split("\r\n", Qt::SkipEmptyParts)) {
            QStringList fields;
            for (const auto& m : QRegularExpression("(\"(?:[^\"]|\"\")*\"|[^,\"]*),").globalMatch(line + ','))
                fields << m.captured(1).replace(QRegularExpression("^\"|\"$"), "").replace("\"\"", "\"");
            rows << fields;
        }
        // Every demo entry but the inactive Beetle's, each a whole row; overdue first.
        QCOMPARE(rows.size(), 17);
        for (const QStringList& row : rows)
            QCOMPARE(row.size(), 9);
        QCOMPARE(rows[1][7], QString("Overdue"));
        QCOMPARE(rows.last()[7], QString("Later"));
        QVERIFY(cli({path}).out.contains("2019 Ford Transit 250"));
    }

    void commandLine()
    {
        QVERIFY(!qEnvironmentVariable("VELMORA_CLI").isEmpty());
        db.close();
        const Run csv = cli({path, "--csv", "--days", "0"});
        QCOMPARE(csv.exitCode, 0);
        const QStringList lines = csv.out.split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 7);
        QCOMPARE(lines[0], QString("ScheduleID,VehicleID,Vehicle,Service Needed,Perform Every,Last Performed,"
                                   "Est Perform Date,Status,Unit"));
        QCOMPARE(lines[3],
                 QString("2,1,\"2019 Ford, Inc Van\",Gas/Filter Change,\"0, 10(D)\",\"*%1, 0\",%2,Later,mi")
                     .arg(shown(-9), shown(1)));

        const Run table = cli({path, "--vehicle", "1"});
        QCOMPARE(table.exitCode, 0);
        const QStringList rows = table.out.split('\n', Qt::SkipEmptyParts);
        QVERIFY2(
            rows[0].contains(QRegularExpression("^Vehicle +Service Needed +Perform Every \\(mi, mo\\) +"
                                                "Last Performed \\(dt, mi\\) +Est Perform Date +Status$")),
            qPrintable(rows[0]));
        QVERIFY(rows[2].contains(QRegularExpression(shown(1) + " +Due soon$")));
        QCOMPARE(rows.mid(5),
                 QStringList({"* Figured from Base Line information.", "Due soon: within the next 5 days."}));

        db.open(path);
        QCOMPARE(columnOf(db, "SELECT EstPerformDate FROM Schedule WHERE ScheduleID = 5"), QStringList{""});
        db.close();
    }
};

QTEST_GUILESS_MAIN(DueListTest)
#include "tst_duelist.moc"
