#include "ReportFixture.h"
#include "reports/JobOrderFilter.h"
#include "reports/ReportCatalogue.h"
#include "reports/ReportDates.h"
#include "reports/ReportText.h"

// The page engine through the recording page interface: catalogue, date range, page independence, limits.
class ReportEngineTest : public QObject
{
    Q_OBJECT

private slots:
    void catalogue()
    {
        // Code, title, landscape, line width in characters.
        const std::tuple<int, const char*, bool, int> rows[] = {
            {0, "Vehicle List", true, 111},
            {1, "Maintenance Log", false, 81},
            {2, "Schedule Monitor", false, 81},
            {3, "Gas Log", false, 81},
            {4, "Fuel Efficiency Graph by Month", true, 111},
            {7, "Expense Graph", true, 111},
            {8, "Job Orders", false, 81},
            {9, "Cost Summary", false, 81},
            {10, "Maintenance Forecast", false, 81},
            {11, "Cost per Distance Graph by Month", true, 111},
            {12, "Unknown", false, 81}};
        ReportFixture fixture;
        for (const auto& [code, title, landscape, width] : rows) {
            QCOMPARE(ReportCatalogue::title(code), QString(title));
            QCOMPARE(ReportCatalogue::isLandscape(code), landscape);
            const auto job = fixture.job(fixture.options(code));
            const Report::Layout& layout = job->layout();
            QCOMPARE(layout.lineWidth, width);
            // The ruler of the line width is the text block, centred on the page.
            QVERIFY(qAbs(layout.blockWidth - Report::textWidth(Report::Font::Body, QString(width, '-'))) <
                    0.01);
            QVERIFY(qAbs(2 * layout.blockLeft + layout.blockWidth - layout.pageWidth) < 0.01);
            QCOMPARE(ReportFixture::pages(*job).front().texts().at(1).text, QString(title));
        }
    }

    void presets()
    {
        const std::tuple<int, QDate, const char*, const char*> rows[] = {
            {0, QDate(2026, 5, 3), "", ""},
            {1, QDate(2024, 2, 10), "02/01/2024", "02/29/2024"},
            {1, QDate(2026, 2, 10), "02/01/2026", "02/28/2026"},
            {1, QDate(2026, 4, 30), "04/01/2026", "04/30/2026"},
            {2, QDate(2026, 11, 15), "10/01/2026", "12/31/2026"},
            {2, QDate(2026, 3, 31), "01/01/2026", "03/31/2026"},
            {3, QDate(2026, 7, 4), "01/01/2026", "12/31/2026"}};
        for (const auto& [preset, today, begin, end] : rows) {
            const ReportDates::Range range = ReportDates::preset(ReportDates::Preset(preset), today);
            QCOMPARE(range.begin + '-' + range.end, QString(begin) + '-' + end);
        }
    }

    void dateChecks()
    {
        const QString invalid = "The Date is invalid.  The format must be mm/dd/yyyy (ex. 12/31/1998).";
        const QString both =
            "Both Start and End Date must be filled in if you are going to filter the report by dates.";
        const QString order = "The Start Date can not be greater then the End Date.";
        // Begin, end, message, field to correct (1 begin, 2 end), the begin as normalised.
        const std::tuple<const char*, const char*, QString, int, const char*> rows[] = {
            {"", "", "", 0, ""},
            {"1/2/2026", "12-31-2026", "", 0, "01/02/2026"},
            {"13/01/2026", "12/31/2026", invalid, 1, "13/01/2026"},
            {"01/01/1799", "12/31/2026", invalid, 1, "01/01/1799"},
            {"01/01/2026", "31/31/2026", invalid, 2, "01/01/2026"},
            {"01/01/2026", "", both, 2, "01/01/2026"},
            {"", "01/01/2026", both, 1, ""},
            {"02/01/2026", "01/31/2026", order, 1, "02/01/2026"},
            {"01/31/2026", "01/31/2026", "", 0, "01/31/2026"}};
        for (const auto& [begin, end, message, field, normalisedBegin] : rows) {
            const ReportDates::Check check = ReportDates::validate({begin, end});
            QCOMPARE(check.ok, message.isEmpty());
            QCOMPARE(check.message, message);
            QCOMPARE(int(check.field), field);
            QCOMPARE(check.normalised.begin, QString(normalisedBegin));
        }
    }

    void memoWrapping()
    {
        QCOMPARE(ReportText::wrapMemo("Check brakes"), QStringList{"Check brakes"});
        QCOMPARE(ReportText::wrapMemo("First\r\nSecond"), QStringList({"First", "Second"}));
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
        const QStringList pages = Report::jobText(*job).split("\f\n");
        QCOMPARE(pages.size(), 5);
        QCOMPARE(pages[2], third.join('\n') + '\n');
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
};

QTEST_GUILESS_MAIN(ReportEngineTest)
#include "tst_reportengine.moc"
