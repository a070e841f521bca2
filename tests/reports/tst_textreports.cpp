#include "ReportFixture.h"
#include "reports/ReportCatalogue.h"

#include <QProcess>
#include <QStandardPaths>

// The text reports of the small fixture fleet against pages written out by hand.
class TextReportsTest : public QObject
{
    Q_OBJECT

private slots:
    void expectedPages_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("owner");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<bool>("companyInfo");
        QTest::addColumn<QString>("expected");
        QTest::newRow("vehicle list") << 0 << 0 << "" << "" << false << "vehicle-list";
        QTest::newRow("maintenance log") << 1 << 0 << "" << "" << false << "maintenance-log";
        QTest::newRow("maintenance log, one owner, 2026, company lines")
            << 1 << 2 << "20260101" << "20261231" << true << "maintenance-log-acme-2026";
        QTest::newRow("job orders") << 8 << 0 << "" << "" << false << "job-orders";
        QTest::newRow("schedule monitor") << 2 << 0 << "" << "" << false << "schedule-monitor";
        QTest::newRow("gas log") << 3 << 0 << "" << "" << false << "gas-log";
        QTest::newRow("gas log, one owner, from january 15, company lines")
            << 3 << 2 << "20260115" << "20261231" << true << "gas-log-acme-from-january-15";
    }
    void expectedPages()
    {
        QFETCH(int, code);
        QFETCH(int, owner);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(bool, companyInfo);
        QFETCH(QString, expected);
        ReportFixture fixture;
        addHistory(fixture);
        Report::Options options = fixture.options(code, owner);
        options.beginStored = from;
        options.endStored = to;
        options.companyInfo = companyInfo;
        options.companyLines = QStringList{"Acme Fleet Office", "12 Mill Road", "Springfield, IL 62701", "217-555-0100"};
        QVERIFY(sameText(fixture.text(options), expectedText(expected)));
    }

    // The command line prints the same pages as text, and as a PDF file that reads back with the title.
    void commandLine()
    {
        ReportFixture fixture;
        addHistory(fixture);
        const QString path = fixture.db.path();
        QProcess cli;
        cli.start(qEnvironmentVariable("VELMORA_CLI"), {"report", path, "--report", "vehicle-list", "--text"});
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitCode(), 0);
        Clock::reset();
        QVERIFY(sameText(QString::fromUtf8(cli.readAllStandardOutput()), fixture.text(fixture.options(0))));

        const QString pdf = fixture.env.path("list.pdf");
        cli.start(qEnvironmentVariable("VELMORA_CLI"), {"report", path, "--report", "vehicle-list", "--pdf", pdf});
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitCode(), 0);
        QVERIFY(QFile::exists(pdf));
        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        if (pdftotext.isEmpty())
            QSKIP("pdftotext is not installed");
        QProcess reader;
        reader.start(pdftotext, {"-layout", pdf, "-"});
        QVERIFY(reader.waitForFinished(60000));
        const QString read = QString::fromUtf8(reader.readAllStandardOutput());
        QVERIFY2(read.contains("Vehicle Management Report") && read.contains("Vehicle List") &&
                     read.contains("# V-01, 2019 Ford Transit") && read.contains("Page: 2"),
                 qPrintable(read));
    }

    void commandLineRefusals_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("no output") << QStringList{"--report", "gas-log"} << 2 << "either --pdf FILE or --text";
        QTest::newRow("unknown report") << QStringList{"--report", "payroll", "--text"} << 2 << "unknown report";
        QTest::newRow("bad owner") << QStringList{"--report", "gas-log", "--owner", "x", "--text"} << 2 << "record";
        QTest::newRow("begin only") << QStringList{"--report", "gas-log", "--from", "01/01/2026", "--text"} << 1
                                    << "Both Start and End Date must be filled in if you are going to filter the "
                                       "report by dates.";
        QTest::newRow("bad date") << QStringList{"--report", "gas-log", "--from", "02/30/2026x", "--to", "13/01/2026",
                                                 "--text"}
                                  << 1 << "The Date is invalid.  The format must be mm/dd/yyyy (ex. 12/31/1998).";
        QTest::newRow("reversed") << QStringList{"--report", "gas-log", "--from", "02/01/2026", "--to", "01/01/2026",
                                                 "--text"}
                                  << 1 << "The Start Date can not be greater then the End Date.";
        QTest::newRow("other owner's vehicle")
            << QStringList{"--report", "gas-log", "--owner", "1", "--vehicle", "1", "--text"} << 1 << "no vehicle 1";
    }
    void commandLineRefusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        ReportFixture fixture;
        QProcess cli;
        cli.start(qEnvironmentVariable("VELMORA_CLI"), QStringList{"report", fixture.db.path()} + arguments);
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitCode(), exitCode);
        QVERIFY2(QString::fromUtf8(cli.readAllStandardError()).contains(message), qPrintable(message));
    }

private:
    // The maintenance, gas, schedule and job order history of the fixture fleet.
    static void addHistory(ReportFixture& fixture)
    {
        fixture.add({
            "INSERT INTO Maintenance (MaintID, VehicleID, StationID, MaintDate, ActualMiles, TotalPrice, Description) "
            "VALUES (1, 1, 5, '20260315', 41000, 89.95, 'Spring service'), (2, 1, 5, '20261020', 44800, 1234.5, "
            "'Brake job'), (3, 1, 0, '20250610', 36100, 45, 'Oil change'), (4, 3, 0, '20260901', 820, 150, 'Hydraulics')",
            // Catalogue services 1 Oil/Filter Change, 10 Tire Rotation, 14 Brake Inspection; job order 1 shares the
            // owner key 1 with maintenance entry 1 and is told apart by LinkInd.
            "INSERT INTO MaintServices (MaintID, ServiceID, VehicleID, LinkInd) VALUES (1, 1, 1, 0), (1, 10, 1, 0), "
            "(2, 14, 1, 0), (1, 14, 1, 1)",
            "INSERT INTO MaintServicesUnexpected (UMaintID, ServiceDesc, VehicleID, LinkInd) VALUES "
            "(1, 'Replace wiper arm', 1, 0), (4, 'Hydraulic hose', 3, 0), (1, 'Squeal at low speed', 1, 1)",
            "INSERT INTO JobOrder (JobOrderID, VehicleID, JCN, Date, Description, Memo, StationID, OpenInd) VALUES "
            "(1, 1, 'JO-100', '20261101', 'Brake noise', 'Check the front pads.' || char(13, 10) || 'Customer waits.', "
            "5, -1), (2, 3, 'JO-101', '20260905', '', '', 0, -1)",
            "INSERT INTO Schedule (ScheduleID, VehicleID, ServiceID, PerformEveryMiles, PerformEveryMonth, "
            "PerformEveryDay, EstPerformDate, Description) VALUES (1, 1, 1, 5000, 6, 0, '20270115', 'Synthetic oil'), "
            "(2, 1, 14, 12000, 0, 90, '20261220', ''), (3, 3, 12, 250, 3, 0, '20261201', '')",
        });
        fixture.addGas();
    }
};

QTEST_MAIN(TextReportsTest)
#include "tst_textreports.moc"
