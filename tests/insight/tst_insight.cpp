#include "DataRows.h"
#include "ScriptedPrompter.h"
#include "TestEnvironment.h"
#include "app/ui/VelApp.h"
#include "app/ui/VelView.h"
#include "context/Settings.h"
#include "context/VelDoc.h"
#include "db/Clock.h"
#include "db/Database.h"
#include "fleet/ReadingPlausibility.h"
#include "insight/MaintenanceForecast.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

// Costs, the maintenance forecast and the implausible-reading question on small fleets whose figures are
// worked out by hand in the comments.
class InsightTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> env;
    Database db;
    QString path;
    QDate today;

    QString day(int fromToday) const { return today.addDays(fromToday).toString("yyyyMMdd"); }
    QString shown(int fromToday) const { return today.addDays(fromToday).toString("MM/dd/yyyy"); }

    // The tool run with the file closed.
    CliRun cli(const QStringList& arguments)
    {
        db.close();
        const CliRun run = runCli(arguments);
        db.open(path);
        return run;
    }
    // The lines printed, without empty ones: CSV lines end in CRLF, the others in LF.
    static QStringList lines(const CliRun& run, bool csv = false)
    {
        return run.out.split(csv ? "\r\n" : "\n", Qt::SkipEmptyParts);
    }

    // Runs the statements (separated by ";"); "@-40" stands for the date 40 days before today.
    void execute(QString statements)
    {
        static const QRegularExpression offset("@(-?\\d+)");
        for (auto m = offset.match(statements); m.hasMatch(); m = offset.match(statements))
            statements.replace(m.capturedStart(), m.capturedLength(), "'" + day(m.captured(1).toInt()) + "'");
        for (const QString& statement : statements.split(';'))
            db.execute(statement);
    }
    // Vehicles of owner 1 in this order, rows "VehicleID, OwnerID, year, make, model, Measurement, HoursInd,
    // ActiveInd, reading, use a month, date of the reading, date of the estimate".
    void vehicles(const QStringList& rows)
    {
        execute(
            "INSERT INTO Owners (OwnerID, ContactID) VALUES (1, 0);INSERT INTO Vehicles (VehicleID, OwnerID, "
            "VehicleYear, VehicleMake, VehicleModel, Measurement, HoursInd, ActiveInd, EntryOfActualMiles, "
            "EstMilesPerMonth, DateOfActualMiles, DateOfEstimatedMiles) VALUES (" +
            rows.join("), (") + ")");
    }

    // Ford, Skoda (km), an inactive Deere (hours), a Civic with one reading and a vehicle with no entries.
    void costFleet()
    {
        vehicles({"1, 1, '2019', 'Ford', 'Van', 0, 0, -1, 0, 0, '', ''",
                  "2, 1, '2022', 'Skoda', 'Octavia', 1, 0, -1, 0, 0, '', ''",
                  "3, 1, '1998', 'John', 'Deere', 0, 1, 0, 0, 0, '', ''",
                  "4, 1, '2001', 'Idle', 'Car', 0, 0, -1, 0, 0, '', ''",
                  "5, 1, '2010', 'Honda', 'Civic', 0, 0, -1, 0, 0, '', ''"});
        db.execute(
            "INSERT INTO GasLog (GasLogID, VehicleID, Mileage, Date, TotalCost, Gallons, StationID, Fillup) "
            "VALUES (1, 1, 10000, '20240105', 40, 10, 0, -1), (2, 1, 10300, '20240201', 45.5, 11.25, 0, -1), "
            "(3, 1, 10900, '20240310', 50.3, 12.125, 0, -1), (4, 2, 50000, '20240110', 60, 40, 0, -1), "
            "(5, 2, 52000, '20240410', 70, 45.5, 0, -1), (6, 5, 7000, '20240301', 30, 8, 0, -1)");
        db.execute(
            "INSERT INTO Maintenance (MaintID, VehicleID, ActualMiles, MaintDate, TotalPrice, StationID) "
            "VALUES (1, 1, 10500, '20240215', 120, 0), (2, 1, 11000, '20240401', 80, 0), (3, 2, 51200, "
            "'20240320', 300, 0), (4, 3, 1200, '20240201', 99.99, 0), (5, 3, 1250, '20240301', 0.01, 0)");
    }

private Q_SLOTS:
    void init()
    {
        env = std::make_unique<TestEnvironment>();
        path = env->createDatabase(db);
        today = Clock::today();
        db.execute("DELETE FROM Services");
        db.execute(
            "INSERT INTO Services (ServiceID, ServiceTypeID, ServiceDesc) VALUES (1, 1, 'Oil Change'), "
            "(2, 1, 'Fuel Filter'), (3, 1, 'Spark Plugs'), (4, 1, 'Ignition Cables'), (5, 1, 'Wipers')");
    }
    void cleanup()
    {
        db.close();
        env.reset();
    }

    void costs_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("expected");
        const QString header =
            "Vehicle,Unit,Distance,Fuel Cost,Fuel Amount,Maintenance Cost,Total Cost,Cost Per Unit";
        // Ford: readings 10,000 to 11,000 over both tables; fuel 40.00 + 45.50 + 50.30, amount 10 + 11.25
        // + 12.125, maintenance 120 + 80; 335.80 / 1,000. Skoda: 50,000 to 52,000 km, 430.00 / 2,000.
        // Deere (inactive, hours): 1,200 to 1,250, 100.00 / 50. Civic: one reading, no distance.
        addRow("all entries", QStringList{"--csv"},
               QStringList{header, "2019 Ford Van,mi,1000,135.80,33.375,200.00,335.80,0.336",
                           "2022 Skoda Octavia,km,2000,130.00,85.500,300.00,430.00,0.215",
                           "1998 John Deere,hr,50,0.00,0.000,100.00,100.00,2.000",
                           "2010 Honda Civic,mi,0,30.00,8.000,0.00,30.00,",
                           "Total,mi,1000,165.80,41.375,200.00,365.80,0.366",
                           "Total,km,2000,130.00,85.500,300.00,430.00,0.215",
                           "Total,hr,50,0.00,0.000,100.00,100.00,2.000"});
        // 02/01 to 03/20 with both ends: Ford 10,300 to 10,900, 95.80 + 120 = 215.80 / 600; Skoda only its
        // maintenance of 03/20; the Deere both entries; mi total 245.80 / 600.
        addRow("period", QStringList{"--from", "2/1/2024", "--to", "03/20/2024", "--csv"},
               QStringList{header, "2019 Ford Van,mi,600,95.80,23.375,120.00,215.80,0.360",
                           "2022 Skoda Octavia,km,0,0.00,0.000,300.00,300.00,",
                           "1998 John Deere,hr,50,0.00,0.000,100.00,100.00,2.000",
                           "2010 Honda Civic,mi,0,30.00,8.000,0.00,30.00,",
                           "Total,mi,600,125.80,31.375,120.00,245.80,0.410",
                           "Total,km,0,0.00,0.000,300.00,300.00,",
                           "Total,hr,50,0.00,0.000,100.00,100.00,2.000"});
        addRow("one vehicle", QStringList{"--vehicle", "2", "--csv"},
               QStringList{header, "2022 Skoda Octavia,km,2000,130.00,85.500,300.00,430.00,0.215",
                           "Total,km,2000,130.00,85.500,300.00,430.00,0.215"});
        addRow("empty period", QStringList{"--from", "01/01/2020", "--to", "12/31/2020", "--csv"},
               QStringList{header});
        addRow("table", QStringList{"--vehicle", "3"},
               QStringList{
                   "Vehicle          Unit  Distance  Fuel Cost  Fuel Amount  Maintenance Cost  Total Cost  "
                   "Cost Per Unit",
                   "1998 John Deere  hr          50       0.00        0.000            100.00      100.00  "
                   "        2.000",
                   "Total            hr          50       0.00        0.000            100.00      100.00  "
                   "        2.000"});
    }

    void costs()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, expected);
        costFleet();
        const CliRun run = cli(QStringList{"costs", path} + arguments);
        QCOMPARE(run.err, QString());
        QCOMPARE(lines(run, arguments.contains("--csv")), expected);
        QCOMPARE(run.exitCode, 0);
    }

    void costReports()
    {
        costFleet();
        const QStringList summary = lines(cli({"report", path, "--report", "cost-summary", "--text"}));
        QVERIFY(summary.contains(
            "      1,000 mi       $135.80       33.375       $200.00       $335.80     $0.336"));
        QVERIFY(summary.contains(
            "      1,000 mi       $165.80       41.375       $200.00       $365.80     $0.366"));
        QVERIFY(summary.contains("   No gas or maintenance entries have been recorded for this vehicle."));
    }

    void refusedArguments_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        addRow("from alone", QStringList{"costs", "%1", "--from", "01/01/2024"}, 2,
               "--from and --to go together");
        addRow("bad date", QStringList{"costs", "%1", "--from", "02/30/2024", "--to", "03/01/2024"}, 2,
               "--from takes a date as MM/DD/YYYY");
        addRow("reversed", QStringList{"costs", "%1", "--from", "02/01/2024", "--to", "01/01/2024"}, 2,
               "--to is before --from");
        addRow("no months", QStringList{"forecast", "%1"}, 2, "--months is missing");
        addRow("months", QStringList{"forecast", "%1", "--months", "x"}, 2,
               "--months takes a whole number from 0 to 240");
        addRow("vehicle", QStringList{"forecast", "%1", "--months", "3", "--vehicle", "9"}, 1,
               "there is no vehicle 9");
        addRow("not a data file", QStringList{"costs", "%1.missing"}, 1, "is not a Velmora database");
    }

    void refusedArguments()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        arguments.replaceInStrings("%1", path);
        const CliRun run = cli(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QCOMPARE(run.out, QString());
    }

    // Today T. Ford (miles, 1,000 a month: 32 a day, reading 20,000) and Skoda (km, 3,000 a month: 98 a
    // day, reading 50,000), the Skoda first in the vehicle list; an inactive Deere.
    void forecast()
    {
        // The period ends on the same day of the month, or on the month's last day.
        QCOMPARE(MaintenanceForecast::endDate(QDate(2024, 1, 31), 1), QDate(2024, 2, 29));
        QCOMPARE(MaintenanceForecast::endDate(QDate(2023, 11, 30), 3), QDate(2024, 2, 29));
        QCOMPARE(MaintenanceForecast::endDate(QDate(2024, 6, 10), 12), QDate(2025, 6, 10));
        vehicles({"2, 1, '2022', 'Skoda', 'Octavia', 1, 0, -1, 50000, 3000, @0, @0",
                  "1, 1, '2019', 'Ford', 'Van', 0, 0, -1, 20000, 1000, @0, @0",
                  "3, 1, '1998', 'John', 'Deere', 0, 1, 0, 1000, 100, @0, @0"});
        // Latest oil change on the Ford at 45.00 (99.00 before it); its ignition cables free of charge. Spark
        // plugs ordered on a job order (LinkInd 1), not performed: no price source.
        execute("INSERT INTO Maintenance (MaintID, VehicleID, StationID, ActualMiles, MaintDate, TotalPrice) "
                "VALUES (1, 1, 0, 18800, @-40, 99), (2, 1, 0, 19700, @-10, 45), (3, 2, 0, 45000, @-60, 32), "
                "(4, 3, 0, 1000, @-30, 30), (5, 3, 0, 1010, @-20, 0);"
                "INSERT INTO MaintServices (MaintID, ServiceID, LinkInd, VehicleID, Price) VALUES (1, 1, 0, "
                "1, 99), "
                "(2, 1, 0, 1, 45), (2, 4, 0, 1, 0), (3, 2, 0, 2, 20), (3, 4, 0, 2, 12), (4, 2, 0, 3, 30), "
                "(5, 5, 0, 3, 0), (3, 3, 1, 2, 500)");
        // Schedule rows: id, vehicle, service, PerformOnce (0 normal, 1 one time, 2 never estimated), every
        // distance, months and days, last date and reading.
        // 1 Ford oil: every month (30 days) from T-10: T+20, T+50, T+80; last price 45.00.
        // 2 Ford fuel filter: every 1,200 from 18,000 is 800 overdue, so today; then every 1200 / 32 = 37
        // days: T+37, T+74; fleet average (20 + 30) / 2 = 25.00.
        // 3 Ford ignition cables, one time, 15 days after T-10: T+5; last price 0, so fleet average 12.00.
        // 5 Skoda spark plugs, every 5,000 km or 2 months (60 days) from 48,000 on T-50: by date T+10, by
        // distance 3,000 / 98 = 30 days, so T+10; from there (50,980) by date T+70, by distance 5,000 / 98
        // = 51 days, so T+61; then T+121 or T+112, past the end. Never priced: unknown.
        // 6 Skoda fuel filter once, 10 days after its last one on T-60: overdue, today, last price 20.00.
        // 7 Skoda oil once, 10 days after T-30: overdue, today; fleet average (99 + 45) / 2 = 72.00.
        // 4 is never estimated, 8 has no interval, 9 is of the inactive Deere.
        execute("INSERT INTO Schedule (ScheduleID, VehicleID, ServiceID, PerformOnce, PerformEveryMiles, "
                "PerformEveryMonth, PerformEveryDay, LastDate, LastMiles, EstPerformDate) VALUES "
                "(1, 1, 1, 0, 0, 1, 0, @-300, 0, ''), (2, 1, 2, 0, 1200, 0, 0, @-100, 18000, ''), "
                "(3, 1, 4, 1, 0, 0, 15, @-300, 0, ''), (4, 1, 5, 2, 0, 0, 1, @-1, 0, ''), "
                "(5, 2, 3, 0, 5000, 2, 0, @-50, 48000, ''), (6, 2, 2, 1, 0, 0, 10, @-300, 0, ''), "
                "(7, 2, 1, 1, 0, 0, 10, @-30, 0, ''), (8, 2, 4, 0, 0, 0, 0, @-30, 0, ''), "
                "(9, 3, 1, 0, 0, 0, 10, @-5, 0, '')");

        const CliRun run = cli({"forecast", path, "--months", "3", "--csv"});
        QCOMPARE(run.err, QString());
        QCOMPARE(run.exitCode, 0);
        const QString skoda = "2022 Skoda Octavia,", ford = "2019 Ford Van,";
        QCOMPARE(lines(run, true),
                 QStringList({"Vehicle,Service,Date,Expected Price,Price Source",
                              skoda + "Fuel Filter," + shown(0) + ",20.00,last",
                              skoda + "Oil Change," + shown(0) + ",72.00,fleet average",
                              ford + "Fuel Filter," + shown(0) + ",25.00,fleet average",
                              ford + "Ignition Cables," + shown(5) + ",12.00,fleet average",
                              skoda + "Spark Plugs," + shown(10) + ",,unknown",
                              ford + "Oil Change," + shown(20) + ",45.00,last",
                              ford + "Fuel Filter," + shown(37) + ",25.00,fleet average",
                              ford + "Oil Change," + shown(50) + ",45.00,last",
                              skoda + "Spark Plugs," + shown(61) + ",,unknown",
                              ford + "Fuel Filter," + shown(74) + ",25.00,fleet average",
                              ford + "Oil Change," + shown(80) + ",45.00,last", "Total,,,314.00,2"}));

        // The first occurrences are the due list's dates, an overdue one moved to today.
        const QStringList due = lines(cli({"due", path, "--csv"}), true);
        QCOMPARE(due.size(), 7);
        for (const QString& line : due.mid(1)) {
            const QStringList fields = line.split(',');
            const QDate date =
                std::max(QDate::fromString(fields.value(fields.size() - 3), "MM/dd/yyyy"), today);
            const QString first = "," + fields.value(3) + "," + date.toString("MM/dd/yyyy") + ",";
            QVERIFY2(!lines(run, true).filter(first).isEmpty(), qPrintable(line));
        }

        const QStringList report = lines(cli({"report", path, "--report", "maintenance-forecast", "--from",
                                              shown(0), "--to", shown(80), "--text"}));
        QVERIFY(report.contains("   " + shown(61) + "  Spark Plugs" + QString(41, ' ') + "unknown"));
        QVERIFY(report.contains("   Expected from " + shown(0) + " to " + shown(80) +
                                ": $314.00, and 2 services of unknown price"));

        QCOMPARE(lines(cli({"forecast", path, "--months", "3", "--vehicle", "3", "--csv"}), true),
                 QStringList({"Vehicle,Service,Date,Expected Price,Price Source", "Total,,,0.00,0"}));
        const QStringList table = cli({"forecast", path, "--months", "0"}).out.split('\n');
        QCOMPARE(table.value(4), "Expected from " + shown(0) + " to " + shown(0) + ": 117.00.");
    }

    void plausibility()
    {
        const QString ask = "%1 on %2 means %3 %4 a month since %5 on %6, %7 times the estimated %8. Save it "
                            "anyway?";
        // Previous date and reading, date and reading, estimate a month, unit (0 miles, 1 km, 2 hours).
        const std::tuple<const char*, int, const char*, int, int, int, QString> rows[] = {
            // 30 days at 1,000 a month: more than 3,000 a month needs 2,959 (2,958 gives 2,999.1).
            {"20240101", 10000, "20240131", 12958, 1000, 1, ""},
            {"20240101", 10000, "20240131", 12959, 1000, 1,
             ask.arg("12,959", "01/31/2024", "3,000", "kilometers", "10,000", "01/01/2024", "3", "1,000")},
            {"20240101", 10000, "20240102", 10999, 10, 0, ""}, // under 1,000 more
            // The same day counts as one: 1,000 x 30.417.
            {"20240301", 10000, "20240301", 11000, 1000, 2,
             ask.arg("11,000", "03/01/2024", "30,417", "hours", "10,000", "03/01/2024", "30", "1,000")},
            {"20240101", 10000, "20240102", 90000, 0, 0, ""},   // no estimate
            {"20240301", 10000, "20240201", 90000, 100, 0, ""}, // earlier date
        };
        for (const auto& [previousDate, previous, date, reading, perMonth, unit, expected] : rows)
            QCOMPARE(ReadingPlausibility::question({previousDate, previous}, {date, reading}, perMonth,
                                                   unit == 1, unit == 2),
                     expected);
    }

    void plausibilityAgainstTheFile()
    {
        using ReadingPlausibility::Source;
        // Vehicle 1 at 1,500 a month; vehicle 2 at 1,000 (32 a day) read 20,000 on 01/01, brought forward
        // 30 days to 20,960.
        vehicles({"1, 1, '2019', 'Ford', 'Van', 0, 0, -1, 66000, 1500, '20240301', '20240301'",
                  "2, 1, '2010', 'Honda', 'Civic', 0, 0, -1, 20960, 1000, '20240101', '20240131'"});
        execute("INSERT INTO Maintenance (MaintID, VehicleID, StationID, ActualMiles, MaintDate, TotalPrice) "
                "VALUES (1, 1, 0, 58000, '20240101', 0);INSERT INTO GasLog (GasLogID, VehicleID, StationID, "
                "Mileage, Date, Fillup) VALUES (1, 1, 0, 60697, '20240221', -1), (2, 1, 0, 66000, "
                "'20240301', -1)");
        // 4,833 in 7 days is 4,833 x 30.417 / 7 = 21,000.8 a month, 14 times 1,500.
        const QString week = "65,530 on 02/28/2024 means 21,000 miles a month since 60,697 on 02/21/2024, 14 "
                             "times the estimated 1,500. Save it anyway?";
        QCOMPARE(ReadingPlausibility::questionFor(db, 1, {"20240228", 65530}, Source::Maintenance, 0), week);
        // Editing the gas entry of 02/21 itself: 7,530 since 01/01 is 3,948 a month, under 4,500.
        QCOMPARE(ReadingPlausibility::questionFor(db, 1, {"20240228", 65530}, Source::Gas, 1), QString());
        // The vehicle's own reading: 10,000 more than 20,000 in 30 days is 10,139 a month.
        QCOMPARE(ReadingPlausibility::questionFor(db, 2, {"20240131", 30000}, Source::Vehicle, 0),
                 QString("30,000 on 01/31/2024 means 10,139 miles a month since 20,000 on 01/01/2024, 10 "
                         "times the estimated 1,000. Save it anyway?"));
        QCOMPARE(ReadingPlausibility::questionFor(db, 2, {"20240101", 20960}, Source::Vehicle, 0), QString());
        QCOMPARE(ReadingPlausibility::questionFor(db, 2, {"20240101", 25000}, Source::Vehicle, 0), QString());

        Settings settings(env->path("settings.ini"));
        ScriptedPrompter prompter;
        prompter.answer(Prompter::Answer::No, week).answer(Prompter::Answer::Yes, week);
        QVERIFY(!ReadingPlausibility::confirmed(db, prompter, settings, 1, {"20240228", 65530}, Source::Gas));
        QCOMPARE(int(prompter.prompts().first().buttons), int(Prompter::Buttons::YesNoDefaultNo));
        QVERIFY(ReadingPlausibility::confirmed(db, prompter, settings, 1, {"20240228", 65530}, Source::Gas));
        settings.setInteger("Messages", ReadingPlausibility::SettingKey, 0);
        QVERIFY(ReadingPlausibility::confirmed(db, prompter, settings, 1, {"20240228", 65530}, Source::Gas));
        QVERIFY(prompter.verifyDone());
    }

    // The home screen's quick update asks before it stores, and keeps the vehicle on No.
    void quickUpdateAsks()
    {
        Clock::setNow(QDateTime(QDate(2024, 3, 5), QTime(10, 0)));
        vehicles({"1, 1, '2019', 'Ford', 'Van', 0, 0, -1, 41000, 900, '20240301', '20240301'"});
        db.close();
        ScriptedPrompter prompter;
        CVelApp app(prompter);
        CVelDoc doc;
        app.database().open(path);
        app.setCurrentVehicle(1);
        CVelView view(app, doc);
        auto* edit = view.findChild<QLineEdit*>("readingEdit");
        auto* update = view.findChild<QPushButton*>("updateNextButton");
        // 10,000 in 4 days: 10,000 x 30.417 / 4 = 76,042 a month, 84 times 900.
        const QString question =
            "51,000 on 03/05/2024 means 76,042 miles a month since 41,000 on 03/01/2024, 84 "
            "times the estimated 900. Save it anyway?";
        edit->selectAll();
        QTest::keyClicks(edit, "51,000");
        for (const auto& [answer, stored] :
             {std::pair{Prompter::Answer::No, 41000}, {Prompter::Answer::Yes, 51000}}) {
            prompter.answer(answer, question);
            QTest::mouseClick(update, Qt::LeftButton);
            QCOMPARE(app.database().scalar("SELECT EntryOfActualMiles FROM Vehicles").toInt(), stored);
        }
        QVERIFY(prompter.verifyDone());
        app.database().close();
        db.open(path);
    }
};

QTEST_MAIN(InsightTest)
#include "tst_insight.moc"
