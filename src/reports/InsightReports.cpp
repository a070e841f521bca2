#include "db/Clock.h"
#include "db/Values.h"
#include "insight/CostSummary.h"
#include "insight/MaintenanceForecast.h"
#include "reports/GraphReports.h"
#include "reports/ReportBodies.h"
#include "reports/ReportText.h"

#include <QHash>
#include <QSet>
#include <array>
#include <map>
#include <optional>

namespace Report {

namespace {

using ReportText::padded;

QDate storedDay(const QString& stored)
{
    return QDate::fromString(stored, QStringLiteral("yyyyMMdd"));
}

// Per-unit word for the column titles and the graph: "Mile", "Km", "Hour".
QString perUnitWord(int measurement, int hours)
{
    return hours ? QStringLiteral("Hour") : measurement ? QStringLiteral("Km") : QStringLiteral("Mile");
}

// What each vehicle cost in the report's period, one line each, and the totals per unit after the last
// vehicle. The engine sums the entries: the body keeps one row per vehicle.
class CostSummaryBody : public Body
{
public:
    void load(Database& db, const Fleet& fleet, const Options& options, const Layout& layout) override
    {
        m_fleet = &fleet;
        m_layout = layout;
        CostSummary::Request request{options.vehicleId, storedDay(options.beginStored),
                                     storedDay(options.endStored)};
        // A period open at one end reaches as far as dates go.
        if (request.from.isValid() || request.to.isValid()) {
            request.from = request.from.isValid() ? request.from : QDate(1800, 1, 1);
            request.to = request.to.isValid() ? request.to : QDate(2200, 12, 31);
        }
        QSet<qint32> listed;
        for (const Vehicle& vehicle : fleet.vehicles)
            listed.insert(vehicle.vehicleId);
        CostSummary::Reader reader(db, request, {});
        CostSummary::Row row;
        while (reader.next(row)) {
            if (row.isTotal() || !listed.contains(row.vehicleId))
                continue;
            std::optional<CostSummary::Row>& total = m_totals[size_t(row.unit)];
            if (!total)
                total = CostSummary::Row{0, QString(), row.unit};
            total->distance += row.distance;
            total->fuelCost += row.fuelCost;
            total->fuelAmount += row.fuelAmount;
            total->maintenanceCost += row.maintenanceCost;
            m_rows.insert(row.vehicleId, row);
        }
    }

    // One summed row per vehicle, read when the job starts.
    int read(Database&, const std::vector<qint32>&) override { return 0; }

    VehicleBlocks vehicle(int index) override
    {
        const Vehicle& vehicle = m_fleet->vehicles[size_t(index)];
        VehicleBlocks blocks;
        ReportText::addBand(blocks.head, vehicle, m_layout);
        const auto found = m_rows.constFind(vehicle.vehicleId);
        if (found == m_rows.constEnd()) {
            blocks.rows.emplace_back().text(
                1, QStringLiteral("   No gas or maintenance entries have been recorded for this vehicle."));
        } else {
            blocks.head.text(
                2, heading(QStringLiteral("Cost/") + perUnitWord(vehicle.measurement, vehicle.hours)));
            blocks.continuation = blocks.head;
            blocks.rows.emplace_back().text(1, line(*found));
        }
        if (index + 1 == int(m_fleet->vehicles.size())) {
            Block& totals = blocks.rows.emplace_back();
            totals.text(3, QStringLiteral("   Totals by unit"));
            totals.text(1, heading(QStringLiteral("Cost/Unit")));
            for (const std::optional<CostSummary::Row>& total : m_totals)
                if (total)
                    totals.text(1, line(*total));
        }
        return blocks;
    }

private:
    static QString heading(const QString& perUnit)
    {
        return QStringLiteral("      Distance     Fuel Cost  Fuel Amount   Maintenance    Total Cost  ") +
               padded(perUnit, 9);
    }
    static QString line(const CostSummary::Row& row)
    {
        const std::optional<double> perUnit = row.costPerUnit();
        return QStringLiteral("   ") +
               padded(ReportText::reading(row.distance) + QLatin1Char(' ') +
                          CostSummary::unitAbbreviation(row.unit),
                      11) +
               QStringLiteral("  ") + padded(ReportText::money(row.fuelCost), 12) + QStringLiteral("  ") +
               padded(ReportText::fuel(row.fuelAmount), 11) + QStringLiteral("  ") +
               padded(ReportText::money(row.maintenanceCost), 12) + QStringLiteral("  ") +
               padded(ReportText::money(row.totalCost()), 12) + QStringLiteral("  ") +
               padded(perUnit ? QString::asprintf("$%.3f", *perUnit) : QString(), 9);
    }

    const Fleet* m_fleet = nullptr;
    Layout m_layout;
    QHash<qint32, CostSummary::Row> m_rows;
    std::array<std::optional<CostSummary::Row>, CostSummary::UnitCount> m_totals;
};

// The scheduled services each active vehicle will need up to the report's end date (a year ahead without
// one), with their expected prices; the forecast's total after the last vehicle.
class MaintenanceForecastBody : public Body
{
public:
    void load(Database& db, const Fleet& fleet, const Options& options, const Layout& layout) override
    {
        using namespace MaintenanceForecast;
        m_fleet = &fleet;
        m_layout = layout;
        const QDateTime now = Clock::now();
        const QDate end = storedDay(options.endStored);
        m_forecast = forecast(db, options.vehicleId, end.isValid() ? end : endDate(now.date(), 12), {}, now);
        QSet<qint32> listed;
        for (const Vehicle& vehicle : fleet.vehicles)
            listed.insert(vehicle.vehicleId);
        for (const Occurrence& occurrence : m_forecast.occurrences)
            if (listed.contains(occurrence.vehicleId))
                m_byVehicle[occurrence.vehicleId].push_back(occurrence);
        m_forecast.occurrences.clear();
        m_forecast.knownTotal = 0;
        m_forecast.unknownCount = 0;
        for (const std::vector<Occurrence>& occurrences : m_byVehicle)
            for (const Occurrence& occurrence : occurrences)
                count(occurrence, m_forecast.knownTotal, m_forecast.unknownCount);
    }

    // One summed row per vehicle, read when the job starts.
    int read(Database&, const std::vector<qint32>&) override { return 0; }

    VehicleBlocks vehicle(int index) override
    {
        using namespace MaintenanceForecast;
        const Vehicle& vehicle = m_fleet->vehicles[size_t(index)];
        VehicleBlocks blocks;
        ReportText::addBand(blocks.head, vehicle, m_layout);
        const auto found = m_byVehicle.constFind(vehicle.vehicleId);
        if (found == m_byVehicle.constEnd()) {
            blocks.rows.emplace_back().text(1,
                                            QStringLiteral("   No scheduled service falls due from %1 to %2.")
                                                .arg(shown(m_forecast.from), shown(m_forecast.to)));
        } else {
            blocks.head.text(2, QStringLiteral("   Date        Service") + QString(29, QLatin1Char(' ')) +
                                    QStringLiteral("Expected Price  Source"));
            blocks.continuation = blocks.head;
            double known = 0;
            int unknown = 0;
            for (const Occurrence& occurrence : *found) {
                const bool priced = occurrence.source != PriceSource::Unknown;
                blocks.rows.emplace_back().text(
                    1, QStringLiteral("   ") + shown(occurrence.date) + QStringLiteral("  ") +
                           m_forecast.services.value(occurrence.serviceId).left(36).leftJustified(36) +
                           QStringLiteral("  ") +
                           padded(priced ? ReportText::money(occurrence.price) : QString(), 12) +
                           QStringLiteral("  ") + sourceText(occurrence.source));
                count(occurrence, known, unknown);
            }
            blocks.rows.emplace_back().text(
                2, totalLine(QStringLiteral("   Expected for this vehicle: "), known, unknown));
        }
        if (index + 1 == int(m_fleet->vehicles.size()))
            blocks.rows.emplace_back().text(3,
                                            totalLine(QStringLiteral("   Expected from %1 to %2: ")
                                                          .arg(shown(m_forecast.from), shown(m_forecast.to)),
                                                      m_forecast.knownTotal, m_forecast.unknownCount));
        return blocks;
    }

private:
    static QString shown(const QDate& date) { return date.toString(QStringLiteral("MM/dd/yyyy")); }
    static void count(const MaintenanceForecast::Occurrence& occurrence, double& known, int& unknown)
    {
        if (occurrence.source == MaintenanceForecast::PriceSource::Unknown)
            ++unknown;
        else
            known += occurrence.price;
    }
    static QString totalLine(const QString& lead, double known, int unknown)
    {
        QString text = lead + ReportText::money(known);
        if (unknown > 0)
            text += QStringLiteral(", and %1 of unknown price")
                        .arg(unknown == 1 ? QStringLiteral("1 service")
                                          : QStringLiteral("%1 services").arg(unknown));
        return text;
    }

    const Fleet* m_fleet = nullptr;
    Layout m_layout;
    MaintenanceForecast::Forecast m_forecast;
    QHash<qint32, std::vector<MaintenanceForecast::Occurrence>> m_byVehicle;
};

// Fuel, maintenance and total cost per unit of distance, by calendar month, drawn like the expense graph.
// A month's distance runs from the highest reading of the month before it that has one (within the month
// for the first) to its own highest.
class CostGraphBody : public Body
{
public:
    void load(Database& db, const Fleet& fleet, const Options& options, const Layout& layout) override
    {
        m_fleet = &fleet;
        m_layout = layout;
        m_options = options;
    }

    int read(Database& db, const std::vector<qint32>& vehicleIds) override
    {
        m_months.clear();
        int rowsRead = 0;
        // Summed by the engine per vehicle and month; every month, so that the first month of the period
        // counts its distance from the month before it.
        const QString sources[] = {
            QStringLiteral("SELECT VehicleID, substr(Date, 1, 6) AS Month, SUM(TotalCost), MIN(Mileage), "
                           "MAX(Mileage) FROM GasLog"),
            QStringLiteral(
                "SELECT VehicleID, substr(MaintDate, 1, 6) AS Month, SUM(TotalPrice), MIN(ActualMiles), "
                "MAX(ActualMiles) FROM Maintenance")};
        const QString dateColumns[] = {QStringLiteral("Date"), QStringLiteral("MaintDate")};
        for (int series = 0; series < 2; ++series) {
            QSqlQuery rows = selectForVehicles(
                db, vehicleIds, sources[series], QStringLiteral("VehicleID"),
                {QStringLiteral("length(%1) = 8 GROUP BY VehicleID, Month").arg(dateColumns[series])},
                QString());
            while (rows.next()) {
                MonthFigures& month = m_months[rows.value(0).toInt()][rows.value(1).toString()];
                month.cost[series] += rows.value(2).toDouble();
                const qint64 low = rows.value(3).toLongLong();
                const qint64 high = rows.value(4).toLongLong();
                month.low = month.hasReading ? std::min(month.low, low) : low;
                month.high = month.hasReading ? std::max(month.high, high) : high;
                month.hasReading = true;
                ++rowsRead;
            }
        }
        return rowsRead;
    }

    VehicleBlocks vehicle(int index) override
    {
        const Vehicle& vehicle = m_fleet->vehicles[size_t(index)];
        VehicleBlocks blocks;
        const auto found = m_months.constFind(vehicle.vehicleId);
        if (found == m_months.constEnd())
            return blocks;
        const std::map<QString, MonthFigures>& months = *found;
        QString from = m_options.beginStored;
        QString to = m_options.endStored;
        if (from.isEmpty())
            from = months.begin()->first + QStringLiteral("01");
        if (to.isEmpty())
            to = Clock::today().toString(QStringLiteral("yyyyMMdd"));
        const QString word = perUnitWord(vehicle.measurement, vehicle.hours);
        Graph::Chart chart;
        chart.fuel = false;
        chart.colour = m_options.colourGraphs;
        chart.economyLabel = QStringLiteral("Cost/") + word;
        chart.seriesNames = {QStringLiteral("    Fuel / ") + word, QStringLiteral("Maintenance / ") + word,
                             QStringLiteral("   Total / ") + word};
        chart.months = Graph::monthsBetween(from, to);
        chart.values.assign(chart.months.size(), {0, 0, 0});
        std::optional<qint64> previousHigh;
        for (const auto& [month, figures] : months) {
            const qint64 distance = figures.high - (previousHigh ? *previousHigh : figures.low);
            previousHigh = std::max(previousHigh.value_or(figures.high), figures.high);
            const int at = Graph::monthIndex(chart.months, month + QStringLiteral("01"));
            if (at < 0 || distance <= 0)
                continue;
            std::array<double, 3>& values = chart.values[size_t(at)];
            values[0] = figures.cost[0] / double(distance);
            values[1] = figures.cost[1] / double(distance);
            values[2] = (figures.cost[0] + figures.cost[1]) / double(distance);
        }
        ReportText::addBand(blocks.head, vehicle, m_layout);
        blocks.continuation = blocks.head;
        for (const Graph::Chart& part : Graph::splitIntoGraphs(chart))
            blocks.rows.push_back(Graph::chartBlock(part, m_layout));
        return blocks;
    }

private:
    struct MonthFigures
    {
        double cost[2] = {0, 0}; // fuel, maintenance
        qint64 low = 0;
        qint64 high = 0;
        bool hasReading = false;
    };

    const Fleet* m_fleet = nullptr;
    Layout m_layout;
    Options m_options;
    QHash<qint32, std::map<QString, MonthFigures>> m_months; // by "YYYYMM"
};

} // namespace

std::unique_ptr<Body> makeCostSummary()
{
    return std::make_unique<CostSummaryBody>();
}

std::unique_ptr<Body> makeMaintenanceForecast()
{
    return std::make_unique<MaintenanceForecastBody>();
}

std::unique_ptr<Body> makeCostGraph()
{
    return std::make_unique<CostGraphBody>();
}

} // namespace Report
