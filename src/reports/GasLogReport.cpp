#include "db/MissedFillups.h"
#include "db/Values.h"
#include "fuel/FuelEconomy.h"
#include "reports/ReportBodies.h"
#include "reports/ReportText.h"

#include <QHash>

namespace Report {

namespace {

using ReportText::padded;

struct GasEntry
{
    QString date, description;
    qint32 reading = 0;
    double fuel = 0, costPerUnit = 0, total = 0;
    bool full = true;
    bool estimated = false;
    bool missed = false;
};

class GasLogBody : public Body
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
        m_entries.clear();
        int rowsRead = 0;
        QSqlQuery rows = selectForVehicles(
            db, vehicleIds,
            QStringLiteral(
                "SELECT VehicleID, Date, Mileage, Gallons, Fillup, Estimated, CostGallon, TotalCost, "
                "BriefDesc, GasLogID FROM GasLog"),
            QStringLiteral("VehicleID"), dateConditions(m_options, QStringLiteral("Date")),
            QStringLiteral("Date, Mileage, GasLogID"));
        for (; rows.next(); ++rowsRead)
            m_entries[rows.value(0).toInt()].push_back(
                {rows.value(1).toString(), rows.value(8).toString(), rows.value(2).toInt(), rows.value(3).toDouble(),
                 rows.value(6).toDouble(), rows.value(7).toDouble(), rows.value(4).toInt() == 0,
                 rows.value(5).toInt() != 0, m_missed.contains(rows.value(9).toInt())});
        return rowsRead;
    }

    VehicleBlocks vehicle(int index) override
    {
        const Vehicle& vehicle = m_fleet->vehicles[size_t(index)];
        VehicleBlocks blocks;
        ReportText::addBand(blocks.head, vehicle, m_layout);
        const auto found = m_entries.constFind(vehicle.vehicleId);
        if (found == m_entries.constEnd()) {
            blocks.rows.emplace_back().text(1, QStringLiteral("   No gas entries have been recorded for this vehicle."));
            return blocks;
        }
        const bool metric = vehicle.measurement != 0;
        const QString economyLabel = Values::economyHeading(vehicle.measurement, vehicle.hours);
        blocks.head.text(2, QStringLiteral("   Date") +
                                (vehicle.hours ? QStringLiteral("       Hour Meter") : QStringLiteral("         Odometer")) +
                                (metric ? QStringLiteral("         Liters") : QStringLiteral("        Gallons")) +
                                QStringLiteral("    Est") +
                                (metric ? QStringLiteral("  Cost/Lit") : QStringLiteral("  Cost/Gal")) +
                                QStringLiteral("  Total Price") + QStringLiteral("         ") + economyLabel);
        blocks.continuation = blocks.head;

        // Economy in this report's date order; every entry's figure comes from the one walk over the vehicle.
        FuelEconomy::FullFillWalk walk;
        double totalFuel = 0;
        double totalPrice = 0;
        const std::vector<GasEntry>& entries = *found;
        for (size_t i = 0; i < entries.size(); ++i) {
            const GasEntry& entry = entries[i];
            const double economy = walk.add(entry.reading, entry.fuel, entry.full, entry.missed);
            if (i > 0)
                totalFuel += entry.fuel;
            totalPrice += entry.total;
            Block& block = blocks.rows.emplace_back();
            block.text(i == 0 ? 1 : 2,
                       QStringLiteral("   ") + Values::toShownDate(entry.date) + QStringLiteral("    ") +
                           padded(ReportText::reading(entry.reading), 7) + QStringLiteral("    ") +
                           padded(ReportText::fuel(entry.fuel), 9) +
                           (entry.full ? QStringLiteral(" F") : QStringLiteral(" P")) + QStringLiteral("     ") +
                           (entry.estimated ? QStringLiteral("X") : QStringLiteral(" ")) + QStringLiteral("    ") +
                           padded(ReportText::three(entry.costPerUnit), 7) + QStringLiteral("  ") +
                           padded(ReportText::money(entry.total), 11) + QStringLiteral("     ") +
                           padded(ReportText::three(economy), 7));
            if (!entry.description.isEmpty())
                block.text(1, QStringLiteral("      Brief Desc. ") + entry.description);
        }
        const qint32 distance = entries.back().reading - entries.front().reading;
        // No figure from a zero distance or zero fuel.
        const bool measurable = distance > 0 && totalFuel > 0;
        const double averageEconomy = measurable ? distance / totalFuel : 0;
        const double averageCost = totalPrice > 0 && totalFuel > 0 ? totalPrice / totalFuel : 0;
        Block& totals = blocks.rows.emplace_back();
        totals.text(2, (vehicle.hours   ? QStringLiteral("             Total Hours")
                        : metric        ? QStringLiteral("        Total Kilometers")
                                        : QStringLiteral("             Total Miles")) +
                           (metric ? QStringLiteral("   Total Liters") : QStringLiteral("  Total Gallons")) +
                           (metric ? QStringLiteral("     Avg Cost/Lit") : QStringLiteral("     Avg Cost/Gal")) +
                           QStringLiteral("  Total Price    Avg. ") + economyLabel);
        totals.text(1, QString(17, QLatin1Char(' ')) + padded(ReportText::reading(distance), 7) + QStringLiteral("    ") +
                           padded(ReportText::fuel(totalFuel), 9) + QLatin1Char('*') + QString(11, QLatin1Char(' ')) +
                           padded(ReportText::three(averageCost), 7) + QStringLiteral("  ") +
                           padded(ReportText::money(totalPrice), 11) + QStringLiteral("     ") +
                           padded(ReportText::three(averageEconomy), 7));
        return blocks;
    }

    QString footerNote() const override
    {
        return QStringLiteral("* Total Gallons/Liters does not include first gas entry");
    }

private:
    const Fleet* m_fleet = nullptr;
    QSet<qint32> m_missed;
    Layout m_layout;
    Options m_options;
    QHash<qint32, std::vector<GasEntry>> m_entries;
};

} // namespace

std::unique_ptr<Body> makeGasLog()
{
    return std::make_unique<GasLogBody>();
}

} // namespace Report
