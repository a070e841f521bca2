#include "ReportFixture.h"
#include "app/DemoData.h"
#include "reports/GraphReports.h"

#include <QColor>
#include <QProcess>
#include <QStandardPaths>

// The reports of the small fixture fleet: text reports against pages written out by hand, the command line,
// the graph component (months, scale, clipping) and the graph reports.
class TextReportsTest : public QObject
{
    Q_OBJECT

    // The fills of the bars drawn on every page of an expense graph job, as #rrggbb in order.
    static QStringList barFills(ReportFixture& fixture, const Report::Options& options,
                                QStringList* text = nullptr)
    {
        const auto job = fixture.job(options);
        QStringList fills;
        for (const Report::PageRecorder& recorder : ReportFixture::pages(*job)) {
            for (const auto& [section, op] : recorder.ops())
                if (op.kind == Report::Op::Rect && op.pen && op.fill && op.height > 0 && op.width < 20 &&
                    op.y > 0 && op.pen->colour == Graph::axisColour(options.colourGraphs) &&
                    !(op.width == 10 && op.height == 15))
                    fills << QColor(op.fill->red, op.fill->green, op.fill->blue).name();
            if (text)
                *text += recorder.lines(job->layout());
        }
        fills.sort();
        return fills;
    }
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
            "'Synthetic oil'), (2, 1, 14, 12000, 0, 90, '20261220', ''), (3, 3, 12, 250, 3, 0, '20261201', "
            "'')",
        });
        fixture.addGas();
    }

private slots:
    void expectedPages()
    {
        // Report code, owner, dates, company lines, expected page file.
        const std::tuple<int, int, const char*, const char*, bool, const char*> rows[] = {
            {0, 0, "", "", false, "vehicle-list"},
            {1, 0, "", "", false, "maintenance-log"},
            {1, 2, "20260101", "20261231", true, "maintenance-log-acme-2026"},
            {8, 0, "", "", false, "job-orders"},
            {2, 0, "", "", false, "schedule-monitor"},
            {3, 0, "", "", false, "gas-log"},
            {3, 2, "20260115", "20261231", true, "gas-log-acme-from-january-15"}};
        ReportFixture fixture;
        addHistory(fixture);
        for (const auto& [code, owner, from, to, companyInfo, expected] : rows) {
            const QStringList company{"Acme Fleet Office", "12 Mill Road", "Springfield, IL 62701",
                                      "217-555-0100"};
            Report::Options options = fixture.options(code, owner);
            options.beginStored = from;
            options.endStored = to;
            options.companyInfo = companyInfo;
            options.companyLines = company;
            QCOMPARE(fixture.text(options).split('\n'), expectedText(expected).split('\n'));
        }
    }

    // The command line refuses what it cannot print, and prints the same pages as text, and as a PDF file
    // that reads back with the title.
    void commandLine()
    {
        ReportFixture fixture;
        addHistory(fixture);
        const auto refused = [&](const QStringList& arguments, int exitCode, const QString& message) {
            const CliRun run = runCli(QStringList{"report", fixture.db.path()} + arguments);
            QCOMPARE(run.exitCode, exitCode);
            QVERIFY2(run.err.contains(message), qPrintable(message));
        };
        refused({"--report", "gas-log"}, 2, "either --pdf FILE or --text");
        refused({"--report", "payroll", "--text"}, 2, "unknown report");
        refused({"--report", "gas-log", "--owner", "x", "--text"}, 2, "record");
        refused({"--report", "gas-log", "--from", "01/01/2026", "--text"}, 1,
                "Both Start and End Date must be filled in if you are going to filter the report by dates.");
        refused({"--report", "gas-log", "--owner", "1", "--vehicle", "1", "--text"}, 1, "no vehicle 1");
        const CliRun listed = runCli({"report", fixture.db.path(), "--report", "vehicle-list", "--text"});
        QCOMPARE(listed.exitCode, 0);
        Clock::reset();
        QCOMPARE(listed.out.split('\n'), fixture.text(fixture.options(0)).split('\n'));

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

    // The graph component: month labels, scales and clipping.
    void graphParts()
    {
        QCOMPARE(QStringList({Graph::monthLabel({1999, 12}), Graph::monthLabel({2005, 3}),
                              Graph::monthLabel({2026, 1})}),
                 QStringList({"12/99", " 3/05", " 1/26"}));
        // A scale's seven ticks as printed: fuel with one decimal, expenses in dollars and cents.
        const auto scale = [](bool fuel, const std::vector<double>& values) {
            QStringList texts;
            for (double tick : fuel ? Graph::fuelTicks(values) : Graph::expenseTicks(values))
                texts << QString::asprintf(fuel ? "%.1f" : "$%.2f", tick);
            return texts.join(' ');
        };
        QCOMPARE(scale(true, {0, 0}), QString("0.0 1.0 2.0 3.0 4.0 5.0 6.0"));
        QCOMPARE(scale(true, {20, 0, 20}), QString("17.0 18.0 19.0 20.0 21.0 22.0 23.0"));
        QCOMPARE(scale(true, {20.2, 22.1}), QString("20.0 20.5 21.0 21.5 22.0 22.5 23.0"));
        QCOMPARE(scale(true, {20.6, 21.0}), QString("20.5 21.0 21.5 22.0 22.5 23.0 23.5"));
        QCOMPARE(scale(true, {10, 30}), QString("10.0 14.0 18.0 22.0 26.0 30.0 34.0"));
        QCOMPARE(scale(false, {0}), QString("$0.00 $1.00 $2.00 $3.00 $4.00 $5.00 $6.00"));
        QCOMPARE(scale(false, {100}), QString("$0.00 $18.00 $36.00 $54.00 $72.00 $90.00 $108.00"));
        QCOMPARE(scale(false, {0.6, 1.2}), QString("$0.00 $0.50 $1.00 $1.50 $2.00 $2.50 $3.00"));
        // A line inside stays, one crossing the top is cut there, one outside is not drawn.
        const auto clip = [](double x1, double y1, double x2, double y2) {
            return Graph::clipLine(x1, y1, x2, y2, 0, 0, 100, 100) ? QList<double>{x1, y1, x2, y2}
                                                                   : QList<double>();
        };
        QCOMPARE(clip(10, 10, 20, 20), (QList<double>{10, 10, 20, 20}));
        QCOMPARE(clip(10, 50, 30, -50), (QList<double>{10, 50, 20, 0}));
        QCOMPARE(clip(-10, -10, -5, 200), QList<double>());
    }

    // Monthly economy of the van: February and March measured, January only starts the walk; the forklift
    // with one full tank and a partial fill has no measurable month and shows the default scale.
    void fuelMonths()
    {
        ReportFixture fixture;
        fixture.addGas();
        fixture.add({"INSERT INTO GasLog (GasLogID, VehicleID, Date, Mileage, Gallons, Fillup) VALUES "
                     "(6, 3, '20261001', 900, 4, 1)"});
        const QString text = fixture.text(fixture.options(ReportCatalogue::FuelGraph));
        const QStringList pages = text.split("\f\n");
        QCOMPARE(pages.size(), 2);
        for (const char* expected : {"High MPG 33.333", "Low MPG 32.432", "Avg. Monthly MPG 32.883", " 2/26",
                                     " 3/26", "32.5", "35.5", "Normal Display", "No Data Availble"})
            QVERIFY2(pages[0].contains(expected), expected);
        QVERIFY(!pages[0].contains(" 1/26") && !pages[0].contains(" 4/26"));
        for (const char* expected : {"High HPG 0.000", " 9/26", "0.0", "6.0"})
            QVERIFY2(pages[1].contains(expected), expected);
    }

    // Entries at equal readings in different months are filed under their own months; a period of 30 months
    // makes a graph of 24 months and one of 6.
    void expenseMonths()
    {
        ReportFixture fixture;
        fixture.add(
            {"INSERT INTO GasLog (GasLogID, VehicleID, Date, Mileage, TotalCost, Gallons, Fillup) VALUES "
             "(1, 1, '20260310', 1000, 30, 10, 0), (2, 1, '20260115', 1000, 40, 12, 0)",
             "INSERT INTO Maintenance (MaintID, VehicleID, StationID, MaintDate, ActualMiles, TotalPrice) "
             "VALUES (1, 1, 0, '20260220', 1000, 100)"});
        Report::Options options = fixture.options(ReportCatalogue::ExpenseGraph, 0, 1);
        options.beginStored = "20250101";
        options.endStored = "20270630";
        QStringList text;
        QCOMPARE(barFills(fixture, options, &text),
                 QStringList({"#0000ff", "#0000ff", "#0000ff", "#ff0000", "#ff0000", "#ffeb00"}));
        const QString all = text.join('\n');
        QVERIFY(all.contains(" 1/25") && all.contains("12/26") && all.contains(" 1/27") &&
                all.contains(" 6/27"));
        QVERIFY(!all.contains(" 7/27"));
        QCOMPARE(all.count("Gas Expense"), 2); // two graphs
        QVERIFY(all.contains("$102.00") &&
                all.contains("$6.00")); // $30 to $100 in steps of 17; an empty graph

        options.colourGraphs = false;
        QCOMPARE(barFills(fixture, options),
                 QStringList({"#404040", "#404040", "#808080", "#d4d4d4", "#d4d4d4", "#d4d4d4"}));
    }
};

QTEST_MAIN(TextReportsTest)
#include "tst_textreports.moc"
