#include "ReportFixture.h"
#include "reports/GraphReports.h"

#include <set>

// The graph component (months, scale, clipping) and the graph reports of the fixture fleet.
class GraphReportsTest : public QObject
{
    Q_OBJECT

    static QStringList labels(const std::array<double, 7>& ticks, const char* pattern)
    {
        QStringList texts;
        for (double tick : ticks)
            texts << QString::asprintf(pattern, tick);
        return texts;
    }

    // The fills of the bars drawn on every page of an expense graph job.
    static std::multiset<std::tuple<int, int, int>>
    barFills(ReportFixture& fixture, const Report::Options& options, QStringList* text = nullptr)
    {
        Report::ReportJob job(fixture.db, options, fixture.width(7), fixture.height(7));
        job.paginate();
        std::multiset<std::tuple<int, int, int>> fills;
        for (int page = 1; page <= job.pageCount(); ++page) {
            Report::PageRecorder recorder;
            job.drawPage(page, recorder);
            for (const Report::RecordedOp& recorded : recorder.ops())
                if (recorded.op.kind == Report::Op::Rect && recorded.op.pen && recorded.op.fill &&
                    recorded.op.height > 0 && recorded.op.width < 20 && recorded.op.y > 0 &&
                    recorded.op.pen->colour == Graph::axisColour(options.colourGraphs) &&
                    !(recorded.op.width == 10 && recorded.op.height == 15))
                    fills.insert({recorded.op.fill->red, recorded.op.fill->green, recorded.op.fill->blue});
            if (text)
                *text += recorder.lines(job.layout());
        }
        return fills;
    }

private slots:
    void monthLabels()
    {
        QCOMPARE(QStringList({Graph::monthLabel({1999, 12}), Graph::monthLabel({2005, 3}),
                              Graph::monthLabel({2026, 1})}),
                 QStringList({"12/99", " 3/05", " 1/26"}));
    }

    void scales()
    {
        const auto fuel = [](const std::vector<double>& values) {
            return labels(Graph::fuelTicks(values), "%.1f").join(' ');
        };
        const auto expense = [](const std::vector<double>& values) {
            return labels(Graph::expenseTicks(values), "$%.2f").join(' ');
        };
        QCOMPARE(fuel({0, 0}), QString("0.0 1.0 2.0 3.0 4.0 5.0 6.0"));
        QCOMPARE(fuel({20, 0, 20}), QString("17.0 18.0 19.0 20.0 21.0 22.0 23.0"));
        QCOMPARE(fuel({20.2, 22.1}), QString("20.0 20.5 21.0 21.5 22.0 22.5 23.0"));
        QCOMPARE(fuel({20.6, 21.0}), QString("20.5 21.0 21.5 22.0 22.5 23.0 23.5"));
        QCOMPARE(fuel({10, 30}), QString("10.0 14.0 18.0 22.0 26.0 30.0 34.0"));
        QCOMPARE(expense({0}), QString("$0.00 $1.00 $2.00 $3.00 $4.00 $5.00 $6.00"));
        QCOMPARE(expense({100}), QString("$0.00 $18.00 $36.00 $54.00 $72.00 $90.00 $108.00"));
        QCOMPARE(expense({0.6, 1.2}), QString("$0.00 $0.50 $1.00 $1.50 $2.00 $2.50 $3.00"));
    }

    void clipping()
    {
        // A line inside stays, one crossing the top is cut there, one outside is not drawn.
        const auto clip = [](double x1, double y1, double x2, double y2) {
            if (!Graph::clipLine(x1, y1, x2, y2, 0, 0, 100, 100))
                return QList<double>();
            return QList<double>{x1, y1, x2, y2};
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
        const auto colour = barFills(fixture, options, &text);
        QCOMPARE(colour.count({255, 0, 0}), size_t(2));
        QCOMPARE(colour.count({255, 235, 0}), size_t(1));
        QCOMPARE(colour.count({0, 0, 255}), size_t(3));
        const QString all = text.join('\n');
        QVERIFY(all.contains(" 1/25") && all.contains("12/26") && all.contains(" 1/27") &&
                all.contains(" 6/27"));
        QVERIFY(!all.contains(" 7/27"));
        QCOMPARE(all.count("Gas Expense"), 2); // two graphs
        QVERIFY(all.contains("$102.00") &&
                all.contains("$6.00")); // $30 to $100 in steps of 17; an empty graph

        options.colourGraphs = false;
        const auto grey = barFills(fixture, options);
        QCOMPARE(grey.count({64, 64, 64}), size_t(2));
        QCOMPARE(grey.count({128, 128, 128}), size_t(1));
        QCOMPARE(grey.count({212, 212, 212}), size_t(3));
    }
};

QTEST_GUILESS_MAIN(GraphReportsTest)
#include "tst_graphreports.moc"
