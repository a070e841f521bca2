#include "ReportFixture.h"
#include "app/FleetGenerator.h"
#include "db/Values.h"
#include "reports/JobOrderFilter.h"
#include "reports/PageCanvas.h"
#include "reports/ReportDates.h"
#include "reports/ReportText.h"

#include <QRegularExpression>

// The page engine through the recording page interface: catalogue, date range, page independence, limits,
// margins, and rows read a few vehicles at a time: the pages do not depend on how many are read at once,
// and no page puts a body line below the usable height.
class ReportEngineTest : public QObject
{
    Q_OBJECT

private slots:
    void catalogue()
    {
        // Titles by code (5 and 6 are not reports); lines are 111 characters wide on the landscape pages of
        // 0, 4, 7 and 11, else 81.
        const QStringList titles =
            QString("Vehicle List|Maintenance Log|Schedule Monitor|Gas Log|Fuel Efficiency Graph by Month|||"
                    "Expense Graph|Job Orders|Cost Summary|Maintenance Forecast|"
                    "Cost per Distance Graph by Month|Unknown")
                .split('|');
        ReportFixture fixture;
        for (const int code : {0, 1, 2, 3, 4, 7, 8, 9, 10, 11, 12}) {
            const int width = QList{0, 4, 7, 11}.contains(code) ? 111 : 81;
            QCOMPARE(ReportCatalogue::title(code), titles[code]);
            const auto job = fixture.job(fixture.options(code));
            const Report::Layout& layout = job->layout();
            QCOMPARE(layout.lineWidth, width);
            // The ruler of the line width is the text block, centred on the page.
            QVERIFY(qAbs(layout.blockWidth - Report::textWidth(Report::Font::Body, QString(width, '-'))) <
                    0.01);
            QVERIFY(qAbs(2 * layout.blockLeft + layout.blockWidth - layout.pageWidth) < 0.01);
            QCOMPARE(ReportFixture::pages(*job).front().texts().at(1).text, titles[code]);
        }
    }

    // The date range: its presets and the checks of dates typed.
    void dateRange()
    {
        const std::tuple<int, QDate, const char*, const char*> presets[] = {
            {0, QDate(2026, 5, 3), "", ""},
            {1, QDate(2024, 2, 10), "02/01/2024", "02/29/2024"},
            {1, QDate(2026, 2, 10), "02/01/2026", "02/28/2026"},
            {1, QDate(2026, 4, 30), "04/01/2026", "04/30/2026"},
            {2, QDate(2026, 3, 31), "01/01/2026", "03/31/2026"},
            {3, QDate(2026, 7, 4), "01/01/2026", "12/31/2026"}};
        for (const auto& [preset, today, begin, end] : presets) {
            const ReportDates::Range range = ReportDates::preset(ReportDates::Preset(preset), today);
            QCOMPARE(range.begin + '-' + range.end, QString(begin) + '-' + end);
        }
        const QString invalid = "The Date is invalid.  The format must be mm/dd/yyyy (ex. 12/31/1998).";
        const QString both =
            "Both Start and End Date must be filled in if you are going to filter the report by dates.";
        const QString order = "The Start Date can not be greater then the End Date.";
        // Begin, end, message, field to correct (1 begin, 2 end), the begin as normalised.
        const std::tuple<const char*, const char*, QString, int, const char*> checks[] = {
            {"", "", "", 0, ""},
            {"1/2/2026", "12-31-2026", "", 0, "01/02/2026"},
            {"13/01/2026", "12/31/2026", invalid, 1, "13/01/2026"},
            {"02/30/2026x", "13/01/2026", invalid, 1, "02/30/2026x"},
            {"01/01/1799", "12/31/2026", invalid, 1, "01/01/1799"},
            {"01/01/2026", "31/31/2026", invalid, 2, "01/01/2026"},
            {"", "01/01/2026", both, 1, ""},
            {"02/01/2026", "01/31/2026", order, 1, "02/01/2026"},
            {"01/31/2026", "01/31/2026", "", 0, "01/31/2026"}};
        for (const auto& [begin, end, message, field, normalisedBegin] : checks) {
            const ReportDates::Check check = ReportDates::validate({begin, end});
            QCOMPARE(check.ok, message.isEmpty());
            QCOMPARE(check.message, message);
            QCOMPARE(int(check.field), field);
            QCOMPARE(check.normalised.begin, QString(normalisedBegin));
        }
    }

    void memoWrapping()
    {
        QCOMPARE(ReportText::wrapMemo(QString(60, 'a') + " bbbbbbbbbb"),
                 QStringList({QString(60, 'a'), "bbbbbbbbbb"}));
        QCOMPARE(ReportText::wrapMemo(QString(66, 'x') + "yy"), QStringList({QString(66, 'x'), "yy"}));
    }

    // The pre-filter of the job order selection joins only the parts it has.
    void jobOrderPreFilter()
    {
        const auto filter = [](int vehicle, bool ownerChosen, const QString& begin) {
            return JobOrderFilter::preFilter(vehicle, ownerChosen, {1, 2}, begin,
                                             begin.isEmpty() ? "" : "20261231");
        };
        QCOMPARE(filter(0, false, ""), QString());
        QCOMPARE(filter(0, false, "20260101"), QString("Date >= '20260101' AND Date <= '20261231'"));
        QCOMPARE(filter(3, true, ""), QString("VehicleID = 3"));
        QCOMPARE(filter(0, true, "20260101"),
                 QString("Vehicleid IN (1, 2) AND Date >= '20260101' AND Date <= '20261231'"));
    }

    // Any page drawn on its own, in any order and again, is the page printed in sequence.
    void pagesDrawOnTheirOwn()
    {
        ReportFixture fixture;
        fixture.db.execute("WITH RECURSIVE n(i) AS (SELECT 10 UNION ALL SELECT i + 1 FROM n WHERE i < 19) "
                           "INSERT INTO Vehicles (VehicleID, OwnerID, VehicleYear, VehicleMake) "
                           "SELECT i, 2, '2020', 'Van ' || i FROM n");
        const auto job = fixture.job(fixture.options(ReportCatalogue::VehicleList));
        QCOMPARE(job->pageCount(), 5); // twelve vehicles, three a page, and the second owner's page
        const auto draw = [&job](int page) {
            Report::PageRecorder recorder;
            job->drawPage(page, recorder);
            return recorder.lines(job->layout());
        };
        const QStringList third = draw(3);
        QCOMPARE(draw(2).isEmpty(), false);
        QCOMPARE(draw(3), third);
        QCOMPARE(Report::jobText(*job).split("\f\n").value(2), third.join('\n') + '\n');
        QVERIFY(third.join('\n').contains("Page: 3"));
    }

    // No fixed page or vehicle limits, and a page smaller than one vehicle still ends: each vehicle is
    // placed on a page of its own.
    void tinyPagesAndManyPages()
    {
        ReportFixture fixture;
        fixture.db.execute(
            "WITH RECURSIVE n(i) AS (SELECT 10 UNION ALL SELECT i + 1 FROM n WHERE i < 2609) "
            "INSERT INTO Vehicles (VehicleID, OwnerID, VehicleYear) SELECT i, 2, '2020' FROM n");
        for (int code : {0, 1, 2, 3}) {
            Report::ReportJob job(fixture.db, fixture.options(code), 300, 150);
            job.paginate();
            QVERIFY(job.pageCount() >= 2603);
        }
        Report::ReportJob job(fixture.db, fixture.options(0), 300, 150);
        int calls = 0;
        QVERIFY(!job.paginate([&calls](int) { return ++calls < 10; }));
        QCOMPARE(job.pageCount(), 0);
    }

    // Every text report over owners, stations and vehicles with parts left empty and long values: no text
    // runs past the right margin, and an empty part leaves no separator behind.
    void textsStayInsideAndEmptyPartsLeaveNoCommas()
    {
        ReportFixture fixture;
        fixture.add(
            {"INSERT INTO ContactInfo (ContactID, ContactType, CompanyName, LastName, FirstName, City, "
             "State) VALUES (6, 4, 'Harbor Tire', '', '', 'Portland', ''), (7, 1, '', 'Reyes', 'Daniel', "
             "'', '')",
             "INSERT INTO Owners (OwnerID, ContactID, LocationID) VALUES (3, 7, '')",
             "INSERT INTO Vehicles (VehicleID, OwnerID, VehicleNo, VehicleYear, VehicleMake, VehicleModel, "
             "VehicleVIN, VehicleLicense, EntryOfActualMiles) VALUES (4, 3, 'HB-2024-017', '2024', "
             "'Freightliner', 'Cascadia', '1FUJHHDR4RLUA1234', 'HBL1021', 125000)",
             "INSERT INTO JobOrder (JobOrderID, VehicleID, JCN, Date, Description, StationID, OpenInd) "
             "VALUES (1, 4, 'JO-200', '20261101', 'Brakes', 6, -1), (2, 1, 'JO-201', '20261102', 'Tyres', "
             "6, -1)",
             "INSERT INTO Schedule (ScheduleID, VehicleID, ServiceID, PerformEveryMiles, EstPerformDate) "
             "VALUES (1, 4, 1, 5000, '20261220')"});
        fixture.addGas();
        const QRegularExpression loneComma("(^|\\s),|,(\\s*$|\\s*,|\\s{2,})");
        QStringList printed; // by the last report, the Job Orders
        for (const int code : {0, 1, 2, 3, 8}) {
            const auto job = fixture.job(fixture.options(code));
            QVERIFY(job->pageCount() > 0);
            const double margin = job->layout().blockLeft + job->layout().blockWidth + 0.5;
            printed.clear();
            for (const Report::PageRecorder& recorder : ReportFixture::pages(*job))
                for (const Report::Op& text : recorder.texts()) {
                    printed << text.text;
                    QVERIFY2(text.x + Report::textWidth(text.font, text.text.trimmed()) <= margin,
                             qPrintable(text.text));
                    QVERIFY2(!loneComma.match(text.text).hasMatch(), qPrintable(text.text));
                }
        }
        QVERIFY(printed.contains("License# HBL1021"));
        QVERIFY(printed.contains(QString(18, ' ') + "Portland"));
    }

    // A fleet several times the read-ahead prints what one read of everything prints, while holding the
    // rows of a few vehicles only.
    void pagesDoNotDependOnReadAhead()
    {
        ReportFixture fixture;
        FleetGenerator::fill(fixture.db, 12, 11);
        for (const int code : {0, 1, 2, 3, 4, 7, 8}) {
            const auto run = [&](int readAhead, int* rowsHeld) {
                const auto job = fixture.job(fixture.options(code), readAhead);
                const QString text = Report::jobText(*job);
                *rowsHeld = job->mostRowsHeld();
                return text;
            };
            int whole = 0, few = 0, one = 0;
            const QString all = run(1000, &whole);
            QVERIFY2(all.count('\f') > 3, qPrintable(QString::number(code)));
            QCOMPARE(run(3, &few).split('\n'), all.split('\n'));
            QCOMPARE(run(1, &one).split('\n'), all.split('\n'));
            QVERIFY2(few * 2 < whole && one <= few, qPrintable(QString::number(code)));
        }
    }

    // Rows of one vehicle that run past pages: every body line stays within the usable height, each page
    // holds as many rows as fit, and each next page starts with the first row that did not.
    void pageBoundaries()
    {
        const QString maintenance =
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) INSERT INTO "
            "Maintenance (MaintID, VehicleID, MaintDate, ActualMiles, TotalPrice, Description) SELECT i, 1, "
            "'2025' || printf('%02d%02d', 1 + i / 28, 1 + i % 28), 40000 + i, 10, 'Visit ' || i FROM n";
        const QString services =
            ";INSERT INTO MaintServices (MaintID, VehicleID, ServiceID, LinkInd) SELECT MaintID, 1, 1, 0 "
            "FROM Maintenance;INSERT INTO MaintServicesUnexpected (UMaintID, VehicleID, ServiceDesc, "
            "LinkInd) SELECT MaintID, 1, 'Wash', 0 FROM Maintenance";
        const QString gas =
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 130) INSERT INTO "
            "GasLog (GasLogID, VehicleID, Date, Mileage, Gallons, Fillup, Estimated, CostGallon, "
            "TotalCost, BriefDesc) SELECT i, 1, '2025' || printf('%02d%02d', 1 + i / 28, 1 + i % 28), "
            "40000 + 10 * i, 5, 0, 0, 3, 15, '' FROM n";
        // Report, its rows, the room a row needs in body lines: maintenance without and with two services.
        const std::tuple<int, QString, double> cases[] = {
            {1, maintenance.arg(70), 3}, {1, maintenance.arg(45) + services, 6}, {3, gas, 2}};
        for (const auto& [code, rows, rowLines] : cases) {
            ReportFixture fixture;
            for (const QString& statement : rows.split(';'))
                fixture.db.execute(statement);
            const auto job = fixture.job(fixture.options(code, 0, 1), 1);
            QVERIFY(job->pageCount() >= 3);
            const Report::Layout& layout = job->layout();
            const double line = Report::lineHeight(Report::Font::Body);
            const QRegularExpression rowLine("^   (\\d\\d/\\d\\d/\\d{4}) +([\\d,]+) ");
            QStringList listed;
            const auto pages = ReportFixture::pages(*job);
            for (int page = 1; page <= job->pageCount(); ++page) {
                double lastRowTop = -1, lastTop = 0;
                bool vehicleEnds = false;
                for (const Report::RecordedOp& drawn : pages[page - 1].ops()) {
                    if (drawn.section != Report::Section::Body || drawn.op.kind != Report::Op::Text ||
                        drawn.op.font == Report::Font::Band)
                        continue;
                    QVERIFY2(drawn.op.y <= layout.usableHeight + 0.001, qPrintable(drawn.op.text));
                    lastTop = std::max(lastTop, drawn.op.y);
                    const QRegularExpressionMatch match = rowLine.match(drawn.op.text);
                    if (match.hasMatch()) {
                        listed << match.captured(1) + ' ' + match.captured(2);
                        lastRowTop = drawn.op.y;
                    }
                    vehicleEnds = vehicleEnds || drawn.op.text.startsWith("              Total Cost") ||
                                  drawn.op.text.startsWith("             Total Miles");
                }
                // A page that ends inside the rows is full: the next row would not have fitted.
                if (page < job->pageCount() && !vehicleEnds) {
                    QVERIFY(lastRowTop > 0);
                    QVERIFY(lastTop + rowLines * line > layout.usableHeight);
                }
            }
            QStringList expected =
                columnOf(fixture.db, code == 1 ? "SELECT MaintDate || ' ' || ActualMiles FROM Maintenance "
                                                 "ORDER BY MaintDate, ActualMiles"
                                               : "SELECT Date || ' ' || Mileage FROM GasLog ORDER BY Date");
            for (QString& row : expected)
                row = Values::toShownDate(row.left(8)) + ' ' + Values::withThousands(row.mid(9));
            QCOMPARE(listed, expected);
        }
    }
};

QTEST_GUILESS_MAIN(ReportEngineTest)
#include "tst_reportengine.moc"
