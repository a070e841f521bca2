#include "ReportFixture.h"
#include "app/DemoData.h"
#include "reports/ReportCatalogue.h"

#include <QProcess>
#include <QStandardPaths>

// The text reports of the small fixture fleet against pages written out by hand.
class TextReportsTest : public QObject
{
    Q_OBJECT

private slots:
    void expectedPages()
    {
        // Report code, owner, dates, company lines, expected page file.
        const struct
        {
            int code, owner;
            const char *from, *to;
            bool companyInfo;
            const char* expected;
        } rows[] = {{0, 0, "", "", false, "vehicle-list"},
                    {1, 0, "", "", false, "maintenance-log"},
                    {1, 2, "20260101", "20261231", true, "maintenance-log-acme-2026"},
                    {8, 0, "", "", false, "job-orders"},
                    {2, 0, "", "", false, "schedule-monitor"},
                    {3, 0, "", "", false, "gas-log"},
                    {3, 2, "20260115", "20261231", true, "gas-log-acme-from-january-15"}};
        ReportFixture fixture;
        addHistory(fixture);
        for (const auto& row : rows) {
            Report::Options options = fixture.options(row.code, row.owner);
            options.beginStored = row.from;
            options.endStored = row.to;
            options.companyInfo = row.companyInfo;
            options.companyLines =
                QStringList{"Acme Fleet Office", "12 Mill Road", "Springfield, IL 62701", "217-555-0100"};
            QVERIFY2(sameText(fixture.text(options), expectedText(row.expected)), row.expected);
        }
    }

    // The command line prints the same pages as text, and as a PDF file that reads back with the title.
    void commandLine()
    {
        ReportFixture fixture;
        addHistory(fixture);
        const CliRun listed = runCli({"report", fixture.db.path(), "--report", "vehicle-list", "--text"});
        QCOMPARE(listed.exitCode, 0);
        Clock::reset();
        QVERIFY(sameText(listed.out, fixture.text(fixture.options(0))));

        // Every report of the demo fleet as a PDF file that reads back with its title.
        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        if (pdftotext.isEmpty())
            QSKIP("pdftotext is not installed");
        Database demo;
        const QString demoPath = fixture.env.createDatabase(demo, "demo.vel");
        DemoData::fill(demo);
        demo.close();
        for (const ReportCatalogue::Entry& report : ReportCatalogue::offered()) {
            const QString pdf = fixture.env.path(report.cliName + ".pdf");
            QCOMPARE(runCli({"report", demoPath, "--report", report.cliName, "--pdf", pdf}).exitCode, 0);
            QProcess reader;
            reader.start(pdftotext, {"-layout", pdf, "-"});
            QVERIFY(reader.waitForFinished(60000));
            const QString read = QString::fromUtf8(reader.readAllStandardOutput());
            QVERIFY2(read.contains("Vehicle Management Report") && read.contains(report.name),
                     qPrintable(read));
        }
    }

    void commandLineRefusals()
    {
        ReportFixture fixture;
        const auto refused = [&](const QStringList& arguments, int exitCode, const QString& message) {
            QProcess cli;
            cli.start(qEnvironmentVariable("VELMORA_CLI"),
                      QStringList{"report", fixture.db.path()} + arguments);
            QVERIFY(cli.waitForFinished(60000));
            QCOMPARE(cli.exitCode(), exitCode);
            QVERIFY2(QString::fromUtf8(cli.readAllStandardError()).contains(message), qPrintable(message));
        };
        refused({"--report", "gas-log"}, 2, "either --pdf FILE or --text");
        refused({"--report", "payroll", "--text"}, 2, "unknown report");
        refused({"--report", "gas-log", "--owner", "x", "--text"}, 2, "record");
        refused({"--report", "gas-log", "--from", "01/01/2026", "--text"}, 1,
                "Both Start and End Date must be filled in if you are going to filter the report by dates.");
        refused({"--report", "gas-log", "--from", "02/30/2026x", "--to", "13/01/2026", "--text"}, 1,
                "The Date is invalid.  The format must be mm/dd/yyyy (ex. 12/31/1998).");
        refused({"--report", "gas-log", "--from", "02/01/2026", "--to", "01/01/2026", "--text"}, 1,
                "The Start Date can not be greater then the End Date.");
        refused({"--report", "gas-log", "--owner", "1", "--vehicle", "1", "--text"}, 1, "no vehicle 1");
    }

private:
    // The maintenance, gas, schedule and job order history of the fixture fleet.
    static void addHistory(ReportFixture& fixture)
    {
        fixture.add({
            "INSERT INTO Maintenance (MaintID, VehicleID, StationID, MaintDate, ActualMiles, TotalPrice, "
            "Description) VALUES (1, 1, 5, '20260315', 41000, 89.95, 'Spring service'), (2, 1, 5, "
            "'20261020', 44800, 1234.5, 'Brake job'), (3, 1, 0, '20250610', 36100, 45, 'Oil change'), (4, 3, "
            "0, '20260901', 820, 150, 'Hydraulics')",
            // Catalogue services 1 Oil/Filter Change, 10 Tire Rotation, 14 Brake Inspection; job order 1
            // shares the owner key 1 with maintenance entry 1 and is told apart by LinkInd.
            "INSERT INTO MaintServices (MaintID, ServiceID, VehicleID, LinkInd) VALUES (1, 1, 1, 0), (1, 10, "
            "1, 0), (2, 14, 1, 0), (1, 14, 1, 1)",
            "INSERT INTO MaintServicesUnexpected (UMaintID, ServiceDesc, VehicleID, LinkInd) VALUES "
            "(1, 'Replace wiper arm', 1, 0), (4, 'Hydraulic hose', 3, 0), (1, 'Squeal at low speed', 1, 1)",
            "INSERT INTO JobOrder (JobOrderID, VehicleID, JCN, Date, Description, Memo, StationID, OpenInd) "
            "VALUES (1, 1, 'JO-100', '20261101', 'Brake noise', 'Check the front pads.' || char(13, 10) || "
            "'Customer waits.', 5, -1), (2, 3, 'JO-101', '20260905', '', '', 0, -1)",
            "INSERT INTO Schedule (ScheduleID, VehicleID, ServiceID, PerformEveryMiles, PerformEveryMonth, "
            "PerformEveryDay, EstPerformDate, Description) VALUES (1, 1, 1, 5000, 6, 0, '20270115', "
            "'Synthetic oil'), "
            "(2, 1, 14, 12000, 0, 90, '20261220', ''), (3, 3, 12, 250, 3, 0, '20261201', '')",
        });
        fixture.addGas();
    }
};

QTEST_MAIN(TextReportsTest)
#include "tst_textreports.moc"
