#include "db/Database.h"
#include "db/Values.h"
#include "reports/ReportBodies.h"
#include "reports/ReportText.h"

#include <QHash>

namespace Report {

namespace {

using ReportText::padded;

struct Entry
{
    qint32 maintId = 0;
    QString date;
    qint32 reading = 0;
    double price = 0;
    QString description;
    QStringList services;
};

class MaintenanceLogBody : public Body
{
public:
    // The grand total is printed on the first owner's last page, so it is summed up front, in the order
    // the entries are listed.
    void load(Database& db, const Fleet& fleet, const Options& options, const Layout& layout) override
    {
        m_fleet = &fleet;
        m_layout = layout;
        m_options = options;
        const VehicleCondition vehicles = vehicleCondition(options);
        QStringList where = dateConditions(options, QStringLiteral("MaintDate"));
        if (!vehicles.sql.isEmpty())
            where.prepend(vehicles.sql);
        QSqlQuery prices = db.prepare(
            QStringLiteral("SELECT TotalPrice FROM Maintenance") +
            (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "))) +
            QStringLiteral(" ORDER BY MaintDate, ActualMiles, MaintID"));
        for (const QVariant& value : vehicles.values)
            prices.addBindValue(value);
        db.exec(prices);
        while (prices.next())
            m_grandTotal += prices.value(0).toDouble();
    }

    int read(Database& db, const std::vector<qint32>& vehicleIds) override
    {
        m_entries.clear();
        int rowsRead = 0;
        QSqlQuery entries = selectForVehicles(
            db, vehicleIds,
            QStringLiteral("SELECT MaintID, VehicleID, MaintDate, ActualMiles, TotalPrice, Description FROM "
                           "Maintenance"),
            QStringLiteral("VehicleID"), dateConditions(m_options, QStringLiteral("MaintDate")),
            QStringLiteral("MaintDate, ActualMiles, MaintID"));
        QHash<qint32, std::pair<qint32, int>> byMaintId; // entry -> vehicle, position
        while (entries.next()) {
            Entry entry{entries.value(0).toInt(), entries.value(2).toString(), entries.value(3).toInt(),
                        entries.value(4).toDouble(), entries.value(5).toString(), {}};
            const qint32 vehicle = entries.value(1).toInt();
            std::vector<Entry>& list = m_entries[vehicle];
            byMaintId.insert(entry.maintId, {vehicle, int(list.size())});
            list.push_back(std::move(entry));
            ++rowsRead;
        }
        // Performed catalogue services first, then the unexpected ones, each in the order they were entered.
        const QString sources[] = {
            QStringLiteral("SELECT MaintServices.MaintID, Services.ServiceDesc FROM MaintServices INNER JOIN Services "
                           "ON MaintServices.ServiceID = Services.ServiceID"),
            QStringLiteral("SELECT UMaintID, ServiceDesc FROM MaintServicesUnexpected")};
        const QString vehicleColumns[] = {QStringLiteral("MaintServices.VehicleID"), QStringLiteral("VehicleID")};
        const QString orders[] = {QStringLiteral("MaintServices.rowid"), QStringLiteral("rowid")};
        for (int kind = 0; kind < 2; ++kind) {
            QSqlQuery services = selectForVehicles(db, vehicleIds, sources[kind], vehicleColumns[kind],
                                                   {QStringLiteral("LinkInd = 0")}, orders[kind]);
            while (services.next()) {
                const auto entry = byMaintId.constFind(services.value(0).toInt());
                if (entry != byMaintId.constEnd())
                    m_entries[entry->first][size_t(entry->second)].services << services.value(1).toString();
                ++rowsRead;
            }
        }
        return rowsRead;
    }

    VehicleBlocks vehicle(int index) override
    {
        const Vehicle& vehicle = m_fleet->vehicles[size_t(index)];
        VehicleBlocks blocks;
        ReportText::addBand(blocks.head, vehicle, m_layout);
        ReportText::addBand(blocks.continuation, vehicle, m_layout);
        const auto found = m_entries.constFind(vehicle.vehicleId);
        if (found == m_entries.constEnd()) {
            blocks.rows.emplace_back().text(1, QStringLiteral("   No maintenance has been performed for this vehicle."));
        } else {
            const QString heading = vehicle.hours ? QStringLiteral("   Date     Hour Meter          Cost   Description")
                                                  : QStringLiteral("   Date       Odometer          Cost   Description");
            double total = 0;
            for (const Entry& entry : *found) {
                Block& block = blocks.rows.emplace_back();
                block.text(2, heading);
                block.text(1, QStringLiteral("   ") + Values::toShownDate(entry.date) + QStringLiteral("  ") +
                                  padded(ReportText::reading(entry.reading), 7) + QStringLiteral("   ") +
                                  padded(ReportText::money(entry.price), 11) + QStringLiteral("   ") +
                                  entry.description);
                for (int i = 0; i < entry.services.size(); ++i)
                    block.text(i == 0 ? 2 : 1,
                               (i == 0 ? QStringLiteral("Services List: ") : QString(15, QLatin1Char(' '))) +
                                   entry.services[i],
                               150);
                total += entry.price;
            }
            blocks.rows.emplace_back().text(1, QStringLiteral("              Total Cost ") +
                                                   padded(ReportText::money(total), 11));
        }
        const bool ownersLast = size_t(index) + 1 == m_fleet->vehicles.size() ||
                                m_fleet->vehicles[size_t(index) + 1].owner != vehicle.owner;
        if (ownersLast)
            blocks.rows.emplace_back().text(2, QStringLiteral("        Grand Total Cost ") +
                                                   padded(ReportText::money(m_grandTotal), 11));
        return blocks;
    }

private:
    const Fleet* m_fleet = nullptr;
    Layout m_layout;
    Options m_options;
    QHash<qint32, std::vector<Entry>> m_entries;
    double m_grandTotal = 0;
};

} // namespace

std::unique_ptr<Body> makeMaintenanceLog()
{
    return std::make_unique<MaintenanceLogBody>();
}

} // namespace Report
