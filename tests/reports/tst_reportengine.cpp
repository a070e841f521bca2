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
    void catalogue_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<int>("width");
        QTest::newRow("0") << 0 << "Vehicle List" << true << 111;
        QTest::newRow("1") << 1 << "Maintenance Log" << false << 81;
        QTest::newRow("2") << 2 << "Schedule Monitor" << false << 81;
        QTest::newRow("3") << 3 << "Gas Log" << false << 81;
        QTest::newRow("4") << 4 << "Fuel Efficiency Graph by Month" << true << 111;
        QTest::newRow("7") << 7 << "Expense Graph" << true << 111;
        QTest::newRow("8") << 8 << "Job Orders" << false << 81;
        QTest::newRow("9") << 9 << "Cost Summary" << false << 81;
        QTest::newRow("10") << 10 << "Maintenance Forecast" << false << 81;
        QTest::newRow("11") << 11 << "Cost per Distance Graph by Month" << true << 111;
        QTest::newRow("12") << 12 << "Unknown" << false << 81;
    }
    void catalogue()
    {
        QFETCH(int, code);
        QFETCH(QString, title);
        QFETCH(bool, landscape);
        QFETCH(int, width);
        QCOMPARE(ReportCatalogue::title(code), title);
        QCOMPARE(ReportCatalogue::isLandscape(code), landscape);
        ReportFixture fixture;
        Report::ReportJob job(fixture.db, fixture.options(code), fixture.width(code), fixture.height(code));
        QCOMPARE(job.layout().lineWidth, width);
        // The ruler of the line width is the text block, centred on the page.
        QVERIFY(qAbs(job.layout().blockWidth - Report::textWidth(Report::Font::Body, QString(width, '-'))) < 0.01);
        QVERIFY(qAbs(2 * job.layout().blockLeft + job.layout().blockWidth - job.layout().pageWidth) < 0.01);
        job.paginate();
        Report::PageRecorder page;
        job.drawPage(1, page);
        QCOMPARE(page.texts().at(1).text, title);
    }

    void presets_data()
    {
        QTest::addColumn<int>("preset");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("begin");
        QTest::addColumn<QString>("end");
        QTest::newRow("all dates") << 0 << QDate(2026, 5, 3) << "" << "";
        QTest::newRow("leap february") << 1 << QDate(2024, 2, 10) << "02/01/2024" << "02/29/2024";
        QTest::newRow("february") << 1 << QDate(2026, 2, 10) << "02/01/2026" << "02/28/2026";
        QTest::newRow("april") << 1 << QDate(2026, 4, 30) << "04/01/2026" << "04/30/2026";
        QTest::newRow("quarter on november 15") << 2 << QDate(2026, 11, 15) << "10/01/2026" << "12/31/2026";
        QTest::newRow("first quarter") << 2 << QDate(2026, 3, 31) << "01/01/2026" << "03/31/2026";
        QTest::newRow("year") << 3 << QDate(2026, 7, 4) << "01/01/2026" << "12/31/2026";
    }
    void presets()
    {
        QFETCH(int, preset);
        QFETCH(QDate, today);
        QFETCH(QString, begin);
        QFETCH(QString, end);
        const ReportDates::Range range = ReportDates::preset(ReportDates::Preset(preset), today);
        QCOMPARE(range.begin, begin);
        QCOMPARE(range.end, end);
    }

    void dateChecks_data()
    {
        QTest::addColumn<QString>("begin");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("normalisedBegin");
        const QString invalid = "The Date is invalid.  The format must be mm/dd/yyyy (ex. 12/31/1998).";
        const QString both = "Both Start and End Date must be filled in if you are going to filter the report by dates.";
        const QString order = "The Start Date can not be greater then the End Date.";
        QTest::newRow("no dates") << "" << "" << "" << 0 << "";
        QTest::newRow("typed loosely") << "1/2/2026" << "12-31-2026" << "" << 0 << "01/02/2026";
        QTest::newRow("bad begin") << "13/01/2026" << "12/31/2026" << invalid << 1 << "13/01/2026";
        QTest::newRow("year 1799") << "01/01/1799" << "12/31/2026" << invalid << 1 << "01/01/1799";
        QTest::newRow("bad end") << "01/01/2026" << "31/31/2026" << invalid << 2 << "01/01/2026";
        QTest::newRow("begin only") << "01/01/2026" << "" << both << 2 << "01/01/2026";
        QTest::newRow("end only") << "" << "01/01/2026" << both << 1 << "";
        QTest::newRow("begin after end") << "02/01/2026" << "01/31/2026" << order << 1 << "02/01/2026";
        QTest::newRow("same day") << "01/31/2026" << "01/31/2026" << "" << 0 << "01/31/2026";
    }
    void dateChecks()
    {
        QFETCH(QString, begin);
        QFETCH(QString, end);
        QFETCH(QString, message);
        const ReportDates::Check check = ReportDates::validate({begin, end});
        QCOMPARE(check.ok, message.isEmpty());
        QFETCH(int, field);
        QFETCH(QString, normalisedBegin);
        QCOMPARE(check.message, message);
        QCOMPARE(int(check.field), field);
        QCOMPARE(check.normalised.begin, normalisedBegin);
    }

    void memoWrapping_data()
    {
        QTest::addColumn<QString>("memo");
        QTest::addColumn<QStringList>("lines");
        const QString run66(66, 'x');
        QTest::newRow("short") << "Check brakes" << QStringList{"Check brakes"};
        QTest::newRow("line end") << "First\r\nSecond" << QStringList{"First", "Second"};
        QTest::newRow("last blank") << QString(60, 'a') + " bbbbbbbbbb" << QStringList{QString(60, 'a'), "bbbbbbbbbb"};
        QTest::newRow("run without blanks") << run66 + "yy" << QStringList{run66, "yy"};
    }
    void memoWrapping()
    {
        QFETCH(QString, memo);
        QFETCH(QStringList, lines);
        QCOMPARE(ReportText::wrapMemo(memo), lines);
    }

    // The pre-filter of the job order selection joins only the parts it has.
    void jobOrderPreFilter_data()
    {
        QTest::addColumn<int>("vehicle");
        QTest::addColumn<bool>("ownerChosen");
        QTest::addColumn<QString>("begin");
        QTest::addColumn<QString>("filter");
        QTest::newRow("everything") << 0 << false << "" << "";
        QTest::newRow("dates only") << 0 << false << "20260101" << "Date >= '20260101' AND Date <= '20261231'";
        QTest::newRow("vehicle") << 3 << true << "" << "VehicleID = 3";
        QTest::newRow("owner's vehicles and dates")
            << 0 << true << "20260101" << "Vehicleid IN (1, 2) AND Date >= '20260101' AND Date <= '20261231'";
    }
    void jobOrderPreFilter()
    {
        QFETCH(int, vehicle);
        QFETCH(bool, ownerChosen);
        QFETCH(QString, begin);
        QFETCH(QString, filter);
        QCOMPARE(JobOrderFilter::preFilter(vehicle, ownerChosen, {1, 2}, begin, begin.isEmpty() ? "" : "20261231"),
                 filter);
    }

    // Any page drawn on its own, in any order and again, is the page printed in sequence.
    void pagesDrawOnTheirOwn()
    {
        ReportFixture fixture;
        fixture.db.execute("WITH RECURSIVE n(i) AS (SELECT 10 UNION ALL SELECT i + 1 FROM n WHERE i < 19) "
                           "INSERT INTO Vehicles (VehicleID, OwnerID, VehicleYear, VehicleMake) "
                           "SELECT i, 2, '2020', 'Van ' || i FROM n");
        const Report::Options options = fixture.options(ReportCatalogue::VehicleList);
        Report::ReportJob job(fixture.db, options, fixture.width(0), fixture.height(0));
        job.paginate();
        QCOMPARE(job.pageCount(), 5); // twelve vehicles, three a page, and the second owner's page
        const auto draw = [&job](int page) {
            Report::PageRecorder recorder;
            job.drawPage(page, recorder);
            return recorder.lines(job.layout());
        };
        const QStringList third = draw(3);
        QCOMPARE(draw(2).isEmpty(), false);
        QCOMPARE(draw(3), third);
        const QStringList pages = Report::jobText(job).split("\f\n");
        QCOMPARE(pages.size(), 5);
        QCOMPARE(pages[2], third.join('\n') + '\n');
        QVERIFY(third.join('\n').contains("Page: 3"));
    }

    // No fixed page or vehicle limits, and a page smaller than one vehicle still ends: each vehicle is
    // placed on a page of its own.
    void tinyPagesAndManyPages()
    {
        ReportFixture fixture;
        fixture.db.execute("WITH RECURSIVE n(i) AS (SELECT 10 UNION ALL SELECT i + 1 FROM n WHERE i < 2609) "
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
