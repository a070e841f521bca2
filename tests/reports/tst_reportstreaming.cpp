#include "ReportFixture.h"
#include "app/FleetGenerator.h"
#include "db/Values.h"
#include "reports/PageCanvas.h"

#include <QRegularExpression>

// Reports read their rows a few vehicles at a time: the pages do not depend on how many are read at once,
// and no page puts a body line below the usable height.
class ReportStreamingTest : public QObject
{
    Q_OBJECT

private slots:
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
            QVERIFY2(sameText(run(3, &few), all), qPrintable(QString::number(code)));
            QVERIFY2(sameText(run(1, &one), all), qPrintable(QString::number(code)));
            QVERIFY2(few * 2 < whole && one <= few,
                     qPrintable(QStringLiteral("%1: %2 of %3").arg(code).arg(few).arg(whole)));
        }
    }

    // The Maintenance Log's grand total, printed on the first owner's last page, counts every owner's rows
    // although only the first owner's have been read when it is drawn.
    void grandTotalBeforeLaterRowsAreRead()
    {
        ReportFixture fixture;
        fixture.add(
            {"INSERT INTO Maintenance (MaintID, VehicleID, MaintDate, ActualMiles, TotalPrice, Description) "
             "VALUES (1, 3, '20260110', 700, 100.25, 'Forks'), (2, 1, '20260301', 40900, 1200.5, 'Brakes'), "
             "(3, 2, '20260401', 1100, 0.25, 'Wipers')"});
        const auto job = fixture.job(fixture.options(ReportCatalogue::MaintenanceLog), 1);
        Report::PageRecorder first;
        job->drawPage(1, first);
        QVERIFY(first.lines(job->layout()).contains("        Grand Total Cost   $1,301.00"));
    }

    // Rows of one vehicle that run past pages: every body line stays within the usable height, each page
    // holds as many rows as fit, and each next page starts with the first row that did not.
    void pageBoundaries_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<double>("rowLines"); // the room a row needs, in body lines
        const char* maintenance =
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) INSERT INTO "
            "Maintenance (MaintID, VehicleID, MaintDate, ActualMiles, TotalPrice, Description) SELECT i, 1, "
            "'2025' || printf('%02d%02d', 1 + i / 28, 1 + i % 28), 40000 + i, 10, 'Visit ' || i FROM n";
        QTest::newRow("maintenance, no services") << 1 << QString(maintenance).arg(70) << 3.0;
        const char* services =
            ";INSERT INTO MaintServices (MaintID, VehicleID, ServiceID, LinkInd) SELECT MaintID, 1, 1, 0 "
            "FROM Maintenance;INSERT INTO MaintServicesUnexpected (UMaintID, VehicleID, ServiceDesc, "
            "LinkInd) SELECT MaintID, 1, 'Wash', 0 FROM Maintenance";
        QTest::newRow("maintenance, two services") << 1 << QString(maintenance).arg(45) + services << 6.0;
        QTest::newRow("gas log")
            << 3
            << "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 130) INSERT INTO "
               "GasLog (GasLogID, VehicleID, Date, Mileage, Gallons, Fillup, Estimated, CostGallon, "
               "TotalCost, BriefDesc) SELECT i, 1, '2025' || printf('%02d%02d', 1 + i / 28, 1 + i % 28), "
               "40000 + 10 * i, 5, 0, 0, 3, 15, '' FROM n"
            << 2.0;
    }

    void pageBoundaries()
    {
        QFETCH(int, code);
        QFETCH(QString, rows);
        QFETCH(double, rowLines);
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
                QVERIFY2(
                    drawn.op.y <= layout.usableHeight + 0.001,
                    qPrintable(QString("page %1: %2 at %3").arg(page).arg(drawn.op.text).arg(drawn.op.y)));
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
                QVERIFY2(lastTop + rowLines * line > layout.usableHeight,
                         qPrintable(QString("page %1 ends at %2 with room left").arg(page).arg(lastTop)));
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
};

QTEST_GUILESS_MAIN(ReportStreamingTest)
#include "tst_reportstreaming.moc"
