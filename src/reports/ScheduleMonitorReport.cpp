#include "db/Values.h"
#include "reports/ReportBodies.h"
#include "reports/ReportText.h"

#include <QHash>

namespace Report {

namespace {

using ReportText::padded;

struct Scheduled
{
    QString service, date, description;
    qint32 miles = 0, months = 0, days = 0;
};

// The stored due dates as the schedule monitor last worked them out; the report estimates nothing itself.
class ScheduleMonitorBody : public Body
{
public:
    void load(Database&, const Fleet& fleet, const Options& options, const Layout& layout) override
    {
        m_fleet = &fleet;
        m_layout = layout;
        m_options = options;
    }

    int read(Database& db, const std::vector<qint32>& vehicleIds) override
    {
        m_rows.clear();
        int rowsRead = 0;
        QSqlQuery rows = selectForVehicles(
            db, vehicleIds,
            QStringLiteral("SELECT Schedule.VehicleID, ServiceDesc, PerformEveryMiles, PerformEveryMonth, "
                           "PerformEveryDay, EstPerformDate, Description FROM Schedule INNER JOIN Services "
                           "ON Schedule.ServiceID = Services.ServiceID"),
            QStringLiteral("Schedule.VehicleID"), dateConditions(m_options, QStringLiteral("EstPerformDate")),
            QStringLiteral("EstPerformDate, ScheduleID"));
        for (; rows.next(); ++rowsRead)
            m_rows[rows.value(0).toInt()].push_back({rows.value(1).toString(), rows.value(5).toString(),
                                                     rows.value(6).toString(), rows.value(2).toInt(),
                                                     rows.value(3).toInt(), rows.value(4).toInt()});
        return rowsRead;
    }

    VehicleBlocks vehicle(int index) override
    {
        const Vehicle& vehicle = m_fleet->vehicles[size_t(index)];
        VehicleBlocks blocks;
        const auto found = m_rows.constFind(vehicle.vehicleId);
        if (found == m_rows.constEnd()) {
            ReportText::addBand(blocks.head, vehicle, m_layout);
            blocks.rows.emplace_back().text(1, QStringLiteral("   No services have been scheduled for this vehicle."));
            return blocks;
        }
        blocks.head = heading(vehicle);
        blocks.continuation = blocks.head;
        for (const Scheduled& row : *found) {
            Block& block = blocks.rows.emplace_back();
            const QString interval =
                row.months > 0 ? QString::asprintf("%d(M)", row.months) : QString::asprintf("%d(D)", row.days);
            block.text(1, QLatin1Char(' ') + row.service.left(50).leftJustified(50) + QLatin1Char(' ') +
                              padded(ReportText::reading(row.miles), 7) + QStringLiteral("  ") + padded(interval, 7) +
                              QStringLiteral("   ") + Values::toShownDate(row.date));
            if (!row.description.isEmpty())
                block.text(1, QStringLiteral("      Brief Description: ") + row.description);
        }
        return blocks;
    }

private:
    // Band, the two heading lines and a rule; the rows start a quarter line below the rule.
    Block heading(const Vehicle& vehicle) const
    {
        Block block;
        ReportText::addBand(block, vehicle, m_layout);
        block.text(2, QStringLiteral("                                                      Perform Every"));
        const QString unit = vehicle.hours         ? QStringLiteral("       Hours")
                             : vehicle.measurement ? QStringLiteral("  Kilometers")
                                                   : QStringLiteral("       Miles");
        block.text(1, QStringLiteral("  Service").leftJustified(47) + unit + QStringLiteral("   Months Next Perform"));
        const double rule = block.height + m_layout.line + 2;
        block.line(0, rule, m_layout.blockWidth, rule);
        block.lines(0.25);
        return block;
    }

    const Fleet* m_fleet = nullptr;
    Layout m_layout;
    Options m_options;
    QHash<qint32, std::vector<Scheduled>> m_rows;
};

} // namespace

std::unique_ptr<Body> makeScheduleMonitor()
{
    return std::make_unique<ScheduleMonitorBody>();
}

} // namespace Report
