#include "../db/WholeFiles.h"
#include "DataRows.h"
#include "TestEnvironment.h"
#include "db/Clock.h"
#include "db/Database.h"
#include "maintenance/Reminder.h"
#include "scheduling/DueCalendar.h"
#include "scheduling/DueCommand.h"
#include "scheduling/DueList.h"
#include "scheduling/Estimation.h"

#include <QRegularExpression>
#include <QTest>

using DueList::Status;
using namespace Estimation;

// Estimates of due dates, and the due list built on them.
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
    const QList<int> fields{0, 1, 2, -1, -1, -1, -1, -1, -1, -1};

    QString stored(int daysFromToday) const { return today.addDays(daysFromToday).toString("yyyyMMdd"); }
    QString shown(int daysFromToday) const { return today.addDays(daysFromToday).toString("MM/dd/yyyy"); }

    void addEntry(int id, int vehicle, int service, int months, int days, const QString& lastDate,
                  const char* estimate = "", int miles = 0)
    {
        db.execute(
            QString::asprintf("INSERT INTO Schedule (ScheduleID, VehicleID, ServiceID, PerformOnce, "
                              "PerformEveryMiles, PerformEveryMonth, PerformEveryDay, LastDate, LastMiles, "
                              "EstPerformDate) VALUES (%d, %d, %d, 0, %d, %d, %d, '%s', 0, '%s')",
                              id, vehicle, service, miles, months, days, qPrintable(lastDate), estimate));
    }

    QStringList listed(const DueList::List& list)
    {
        QStringList rows;
        for (const DueList::Row& row : list.rows)
            rows << QStringList{QString::number(row.scheduleId), list.vehicle(row),       list.service(row),
                                list.performEvery(row),          list.lastPerformed(row), list.estimate(row),
                                DueList::statusText(row.status)}
                        .join(" | ");
        return rows;
    }

    // The evening before the clocks go forward in New York.
    static QDateTime now() { return QDateTime(QDate(2024, 3, 9), QTime(23, 30)); }

    void addTerms(Database& db, int id, int vehicle, int service, const QString& values)
    {
        db.execute(
            QString("INSERT INTO Schedule (ScheduleID, VehicleID, ServiceID, PerformOnce, PerformEveryMiles, "
                    "PerformEveryMonth, PerformEveryDay, LastDate, LastMiles, EstPerformDate) VALUES (%1, "
                    "%2, %3, %4)")
                .arg(QString::number(id), QString::number(vehicle), QString::number(service), values));
    }

    // A file of its own, today being now(), with vehicles given as "(VehicleID, OwnerID, reading, a month)".
    void ownFile(Database& db, const char* vehicles)
    {
        env->createDatabase(db, "estimates.vel");
        Clock::setNow(now());
        db.execute(QString("INSERT INTO Vehicles (VehicleID, OwnerID, EntryOfActualMiles, EstMilesPerMonth) "
                           "VALUES ") +
                   vehicles);
    }

private Q_SLOTS:
    void init()
    {
        env = std::make_unique<TestEnvironment>();
        path = env->createDatabase(db);
        today = Clock::today();
        db.execute("INSERT INTO Owners (OwnerID, ContactID) VALUES (1, 0)");
        db.execute(
            "INSERT INTO Vehicles (VehicleID, OwnerID, VehicleYear, VehicleMake, VehicleModel, "
            "EntryOfActualMiles, EstMilesPerMonth, Measurement, HoursInd, ActiveInd) VALUES "
            "(1, 1, '2019', 'Ford, Inc', 'Van', 0, 0, 0, 0, -1), (2, 1, '2001', 'Old', 'Truck', 0, 0, 0, "
            "0, 0), (3, 1, '2022', 'Skoda', 'Octavia', 0, 31, 1, 0, -1)");
        addEntry(1, 1, 1, 0, 10, stored(-10));
        addEntry(2, 1, 2, 0, 10, stored(-9));
        addEntry(3, 1, 3, 0, 10, stored(-5));
        addEntry(4, 1, 4, 0, 10, "20000101");
        addEntry(5, 1, 5, 0, 0, stored(-1), "junk");
        addEntry(6, 2, 1, 0, 10, stored(-10), "19990101");
        addEntry(7, 3, 1, 6, 0, "19900101");
        addEntry(8, 3, 2, 0, 0, stored(0), "", 100000);
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
        Clock::reset();
    }

    void estimates()
    {
        // PerformOnce, every miles, months and days; base date and reading; the reading now and the use a
        // month; the estimate, and whether it is the distance-based one.
        const std::tuple<int, int, int, int, const char*, int, int, int, const char*, bool> rows[] = {
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
        for (const auto& [once, miles, months, days, base, baseReading, reading, perMonth, expected,
                          byDistance] : rows) {
            const Terms terms{qint16(once), miles, months, days, QString(), 0};
            // The same days wherever the clocks change.
            for (const char* zone : {"UTC", "America/New_York", "Australia/Lord_Howe"}) {
                const ScopedTimeZone scoped(zone);
                const std::optional<Result> result =
                    estimate(terms, {base, baseReading, false}, reading, perMonth, now());
                QCOMPARE(storedText(result), QString(expected));
                if (result)
                    QCOMPARE(result->distanceBased, byDistance);
            }
        }
    }

    // The newest maintenance row moves the base only when it was performed (LinkInd 0), not when it is on a
    // job order (1) or was ordered and not performed (2); the older row is performed.
    void baseMovesOnlyForPerformedMaintenance()
    {
        Database db;
        ownFile(db, "(1, 1, 0, 0)");
        addTerms(db, 1, 1, 5, "0, 0, 12, 0, '20230101', 0, ''");
        db.execute("INSERT INTO Maintenance (MaintID, VehicleID, StationID, MaintDate, ActualMiles) VALUES "
                   "(1, 1, 0, '20230601', 100), (2, 1, 0, '20230201', 50)");
        db.execute("INSERT INTO MaintServices (MaintID, ServiceID, LinkInd, VehicleID) VALUES (1, 5, 0, 1), "
                   "(2, 5, 0, 1)");
        for (const auto& [linkInd, expected] :
             {std::pair(1, "20240201"), std::pair(0, "20240531"), std::pair(2, "20240201")}) {
            db.execute(QString("UPDATE MaintServices SET LinkInd = %1 WHERE MaintID = 1").arg(linkInd));
            QCOMPARE(storedText(reestimateEntry(db, 1)), QString(expected));
            QCOMPARE(columnOf(db, "SELECT EstPerformDate FROM Schedule"), QStringList{expected});
            db.execute("UPDATE Schedule SET EstPerformDate = ''");
            QCOMPARE(reestimateVehicle(db, 1), 1);
            QCOMPARE(columnOf(db, "SELECT EstPerformDate FROM Schedule"), QStringList{expected});
        }
    }

    void vehicleReestimateStoresOnlyItsChangedEntries()
    {
        Database db;
        ownFile(db, "(1, 1, 5000, 310), (2, 1, 0, 0)");
        addTerms(db, 1, 1, 1, "0, 0, 0, 10, '20240301', 0, '20240311'"); // already right
        addTerms(db, 2, 1, 2, "0, 6000, 0, 0, '20240101', 1000, ''");    // 2,000 left at 10 a day
        addTerms(db, 3, 1, 3, "2, 0, 1, 0, '20240101', 0, '19990101'");  // never estimated
        addTerms(db, 4, 1, 4, "0, 0, 0, 0, '20240101', 0, '20200101'");  // no interval: emptied
        addTerms(db, 5, 2, 1, "0, 0, 1, 0, '20240101', 0, 'other'");     // another vehicle
        QCOMPARE(reestimateVehicle(db, 1), 2);
        QCOMPARE(columnOf(db, "SELECT EstPerformDate FROM Schedule ORDER BY ScheduleID"),
                 QStringList({"20240311", "20240925", "19990101", "", "other"}));
        QVERIFY(!reestimateEntry(db, 3));
        QVERIFY(!reestimateEntry(db, 99));
        QCOMPARE(columnOf(db, "SELECT EstPerformDate FROM Schedule WHERE ScheduleID = 3"),
                 QStringList{"19990101"});
    }

    // Overdue once the day has begun, due soon up to the days ahead, later after that.
    void statuses()
    {
        const QDateTime now(QDate(2024, 6, 10), QTime(9, 30));
        const std::tuple<int, int, Status> rows[] = {{-1, 5, Status::Overdue}, {0, 5, Status::Overdue},
                                                     {1, 5, Status::DueSoon},  {5, 5, Status::DueSoon},
                                                     {6, 5, Status::Later},    {1, 0, Status::Later}};
        for (const auto& [daysFromToday, daysAhead, expected] : rows) {
            const QDate due = now.date().addDays(daysFromToday);
            QCOMPARE(DueList::statusOf(QDateTime(due, QTime(0, 0)), daysAhead, now), expected);
            QCOMPARE(DueList::statusOfDay(due, daysAhead, now), expected);
        }
    }

    void listsActiveEstimatesByDateAndStoresThem()
    {
        const DueList::List all = DueList::fill(db, 0, 5, fields);
        const QString ford = " | 2019 Ford, Inc Van | ", skoda = " | 2022 Skoda Octavia | ";
        const QStringList expected = {
            "7" + skoda + "Oil/Filter Change | 0, 6(M) | *01/01/1990, 0 | <07/02/1990 | Overdue",
            "1" + ford + "Oil/Filter Change | 0, 10(D) | *" + shown(-10) + ", 0 | " + shown(0) + " | Overdue",
            "2" + ford + "Gas/Filter Change | 0, 10(D) | *" + shown(-9) + ", 0 | " + shown(1) + " | Due soon",
            "3" + ford + "Spark Plugs Replaced | 0, 10(D) | *" + shown(-5) + ", 0 | " + shown(5) +
                " | Due soon",
            "4" + ford + "Ignition Cables Replaced | 0, 10(D) | " + shown(-4) + ", 1200 | " + shown(6) +
                " | Later",
            "8" + skoda + "Gas/Filter Change | 100000, 0(D) | *" + shown(0) + ", 0 | >" + shown(6000) +
                " | Later"};
        QCOMPARE(listed(all), expected);
        QCOMPARE(all.unit(all.rows.back()), QString("km"));
        // The inactive vehicle's date is left alone; the entry without an interval loses its old one.
        QCOMPARE(columnOf(db, "SELECT EstPerformDate FROM Schedule ORDER BY ScheduleID"),
                 QStringList(
                     {stored(0), stored(1), stored(5), stored(6), "", "19990101", "19900702", stored(6000)}));

        const DueList::List one = DueList::fill(db, 1, 0, fields);
        QCOMPARE(one.rows.size(), size_t(4));
        QCOMPARE(int(one.rows[1].status), int(Status::Later));
    }

    // Every CSV row has all nine fields, as a reader splitting at commas outside double quotes sees them.
    void commandLine()
    {
        db.close();
        const CliRun csv = runCli({"due", path, "--csv", "--days", "0"});
        QCOMPARE(csv.exitCode, 0);
        const QStringList lines = csv.out.split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 7);
        QCOMPARE(lines[0], QString("ScheduleID,VehicleID,Vehicle,Service Needed,Perform Every,Last Performed,"
                                   "Est Perform Date,Status,Unit"));
        QCOMPARE(lines[3],
                 QString("2,1,\"2019 Ford, Inc Van\",Gas/Filter Change,\"0, 10(D)\",\"*%1, 0\",%2,Later,mi")
                     .arg(shown(-9), shown(1)));
        for (const QString& line : lines)
            QCOMPARE(QString(line).remove(QRegularExpression("\"[^\"]*\"")).count(','), 8);

        const CliRun table = runCli({"due", path, "--vehicle", "1"});
        QCOMPARE(table.exitCode, 0);
        const QStringList rows = table.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(rows[0], rows[0].trimmed()); // no stray spaces around the header
        QCOMPARE(rows[0].simplified(),
                 QString("Vehicle Service Needed Perform Every (mi, mo) Last Performed (dt, mi) "
                         "Est Perform Date Status"));
        QVERIFY(rows[1].startsWith("2019 Ford, Inc Van"));
        QVERIFY(rows[2].contains(QRegularExpression(shown(1) + " +Due soon$")));
        QCOMPARE(rows.mid(5),
                 QStringList({"* Figured from Base Line information.", "Due soon: within the next 5 days."}));
    }

    // A vehicle last estimated 30 days ago at 1,000 miles a month has gone 960 miles since (32 a day): its
    // Tire Rotation, 1,100 miles after the reading of that day, falls due in 4 days, not in 34. The reminder
    // works the readings out without writing; due stores them with their dates.
    void dueTodayFromTheReadingBroughtForward()
    {
        Clock::setNow(QDateTime(QDate(2026, 6, 21), QTime(9, 0)));
        Database fleet;
        const QString file = env->createDatabase(fleet, "due.vel");
        fleet.execute("INSERT INTO ContactInfo (ContactID, ContactType, LastName) VALUES (1, 1, 'Reyes')");
        fleet.execute("INSERT INTO Owners (OwnerID, ContactID) VALUES (1, 1)");
        fleet.execute("INSERT INTO Vehicles (VehicleID, OwnerID, VehicleYear, VehicleMake, ActiveInd, "
                      "EntryOfActualMiles, EstMilesPerMonth, DateOfActualMiles, DateOfEstimatedMiles) "
                      "VALUES (1, 1, '2019', 'Ford', -1, 10000, 1000, '20260522', '20260522')");
        addTerms(fleet, 1, 1, 10, "0, 1100, 0, 0, '20260522', 10000, '20260725'"); // 10: Tire Rotation
        fleet.close();
        const QByteArray before = contentsOf(file);
        {
            Database reading;
            reading.open(file, QString(), true);
            const QList<Reminder::DueService> due = Reminder::dueServices(reading, fields, 5);
            QCOMPARE(due.size(), 1);
            QCOMPARE(Reminder::line(due.first()), QString("Due 06/25/2026: 2019 Ford - Tire Rotation"));
        }
        QCOMPARE(contentsOf(file), before);

        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        QCOMPARE(runDueCommand({file, "--csv"}, outStream, errStream, 5, fields), 0);
        outStream.flush();
        QVERIFY2(out.contains(",Tire Rotation,") && out.contains(",06/25/2026,Due soon,"), qPrintable(out));
        fleet.open(file);
        QCOMPARE(columnOf(fleet, "SELECT EntryOfActualMiles || ' ' || DateOfEstimatedMiles FROM Vehicles"),
                 QStringList{"10960 20260621"});
        QCOMPARE(columnOf(fleet, "SELECT EstPerformDate FROM Schedule"), QStringList{"20260625"});
    }

    // Dated entries become all-day events with escaped texts and a stable UID; lines are folded at 75 bytes.
    void calendarReadsBack()
    {
        DueList::List list;
        // Texts: 0 the blank base date, 1-2 vehicles, 3-5 services.
        list.texts = {
            "", "2019 Ford, Transit; van", "Tractor", "Oil/Filter Change", "Tire Rotation", QString(60, 'x')};
        const auto row = [](qint32 id, qint32 vehicle, qint32 vehicleText, qint32 serviceText, QDate date) {
            DueList::Row row{.scheduleId = id, .vehicleId = vehicle, .date = date};
            row.vehicleText = vehicleText;
            row.serviceText = serviceText;
            return row;
        };
        list.rows = {row(7, 1, 1, 3, QDate(2024, 6, 30)), row(8, 1, 1, 4, {}),
                     row(9, 2, 2, 5, QDate(2024, 12, 31))};
        const QString text =
            DueCalendar::toICalendar(list, QDateTime(QDate(2024, 6, 1), QTime(12, 0), Qt::UTC));
        QVERIFY(text.startsWith("BEGIN:VCALENDAR\r\n") && text.endsWith("END:VCALENDAR\r\n"));
        for (const QString& line : text.split("\r\n"))
            QVERIFY2(line.toUtf8().size() <= 75, qPrintable(line));
        // Unfolded, each event's lines up to its one END.
        QStringList events = QString(text).replace("\r\n ", "").split("\r\nBEGIN:VEVENT\r\n").mid(1);
        QCOMPARE(events.size(), 2);
        QList<QStringList> lines;
        for (const QString& event : events) {
            QCOMPARE(event.count("END:VEVENT"), 1);
            lines << event.section("END:VEVENT", 0, 0).split("\r\n");
        }
        for (const char* line : {"DTSTART;VALUE=DATE:20240630", "DTEND;VALUE=DATE:20240701",
                                 "SUMMARY:2019 Ford\\, Transit\\; van: Oil/Filter Change",
                                 "UID:velmora-schedule-7-vehicle-1@halvernsoftware.com"})
            QVERIFY2(lines[0].contains(line), line);
        QVERIFY(lines[1].contains("SUMMARY:Tractor: " + QString(60, 'x')));
        QVERIFY(lines[1].contains("DTSTAMP:20240601T120000Z"));
    }
};

QTEST_GUILESS_MAIN(DueListTest)
#include "tst_duelist.moc"
