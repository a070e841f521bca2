#include "db/Clock.h"
#include "db/MissedFillups.h"
#include "db/Values.h"
#include "fuel/FuelEconomy.h"
#include "reports/GraphReports.h"
#include "reports/ReportBodies.h"
#include "reports/ReportText.h"

#include <QHash>

namespace Report {

namespace {

struct Fill
{
    QString date;
    qint32 reading = 0;
    double fuel = 0;
    bool full = true;
    bool missed = false;
};

// Each vehicle's average fuel economy per calendar month: the full fill-up rule walked in reading order,
// every measurement filed under the month of its own date.
class FuelGraphBody : public Body
{
public:
    void load(Database& db, const Fleet& fleet, const Options& options, const Layout& layout) override
    {
        // Few entries follow a missed fill-up: their keys are read once for the whole report.
        m_missed = MissedFillups::ofVehicle(db, 0);
        m_fleet = &fleet;
        m_layout = layout;
        m_options = options;
    }

    int read(Database& db, const std::vector<qint32>& vehicleIds) override
    {
        m_fills.clear();
        int rowsRead = 0;
        QStringList conditions;
        if (!m_options.endStored.isEmpty())
            conditions << QStringLiteral("Date < '") + m_options.endStored.left(6) + QStringLiteral("99'");
        QSqlQuery rows = selectForVehicles(
            db, vehicleIds, QStringLiteral("SELECT VehicleID, Date, Mileage, Gallons, Fillup, GasLogID FROM GasLog"),
            QStringLiteral("VehicleID"), conditions, QStringLiteral("Mileage, Date, GasLogID"));
        for (; rows.next(); ++rowsRead)
            m_fills[rows.value(0).toInt()].push_back({rows.value(1).toString(), rows.value(2).toInt(),
                                                      rows.value(3).toDouble(), rows.value(4).toInt() == 0,
                                                      m_missed.contains(rows.value(5).toInt())});
        return rowsRead;
    }

    VehicleBlocks vehicle(int index) override
    {
        const Vehicle& vehicle = m_fleet->vehicles[size_t(index)];
        VehicleBlocks blocks;
        const std::vector<Fill> fills = m_fills.value(vehicle.vehicleId);
        if (fills.size() < 2)
            return blocks;
        FuelEconomy::FullFillWalk walk;
        std::vector<std::pair<QString, double>> measured;
        QString lastFull;
        for (const Fill& fill : fills) {
            const double economy = walk.add(fill.reading, fill.fuel, fill.full, fill.missed);
            if (fill.full && !fill.date.isEmpty())
                lastFull = std::max(lastFull, fill.date);
            if (economy > 0 && !fill.date.isEmpty())
                measured.emplace_back(fill.date, economy);
        }
        QString from = m_options.beginStored;
        QString to = m_options.endStored;
        if (from.isEmpty()) {
            to = lastFull.isEmpty() ? Clock::today().toString(QStringLiteral("yyyyMMdd")) : lastFull;
            from = to;
            for (const auto& [date, economy] : measured)
                from = std::min(from, date);
        }
        Graph::Chart chart;
        chart.fuel = true;
        chart.colour = m_options.colourGraphs;
        chart.economyLabel = Values::economyHeading(vehicle.measurement, vehicle.hours);
        chart.months = Graph::monthsBetween(from, to);
        chart.values.assign(chart.months.size(), {0, 0, 0});
        std::vector<int> counts(chart.months.size(), 0);
        for (const auto& [date, economy] : measured) {
            const int month = Graph::monthIndex(chart.months, date);
            if (month < 0)
                continue;
            chart.values[size_t(month)][0] += economy;
            ++counts[size_t(month)];
        }
        for (size_t i = 0; i < counts.size(); ++i)
            if (counts[i] > 0)
                chart.values[i][0] /= counts[i];
        ReportText::addBand(blocks.head, vehicle, m_layout);
        blocks.continuation = blocks.head;
        for (const Graph::Chart& part : Graph::splitIntoGraphs(chart))
            blocks.rows.push_back(Graph::chartBlock(part, m_layout));
        return blocks;
    }

private:
    const Fleet* m_fleet = nullptr;
    QSet<qint32> m_missed;
    Layout m_layout;
    Options m_options;
    QHash<qint32, std::vector<Fill>> m_fills;
};

} // namespace

std::unique_ptr<Body> makeFuelGraph()
{
    return std::make_unique<FuelGraphBody>();
}

} // namespace Report
