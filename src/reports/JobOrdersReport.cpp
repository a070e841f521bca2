#include "db/Database.h"
#include "db/SqlText.h"
#include "db/Values.h"
#include "reports/ReportBodies.h"
#include "reports/ReportText.h"

#include <QHash>

namespace Report {

namespace {

using ReportText::padded;

struct JobOrder
{
    qint32 id = 0;
    QString jcn, date, description, memo;
    qint32 station = 0;
    QStringList services;
};

class JobOrdersBody : public Body
{
public:
    // The stations are companies, few beside the fleet, and are kept for the whole job.
    void load(Database& db, const Fleet& fleet, const Options& options, const Layout& layout) override
    {
        m_fleet = &fleet;
        m_layout = layout;
        m_conditions = dateConditions(options, QStringLiteral("Date"));
        if (!options.jobOrderRestriction.trimmed().isEmpty())
            m_conditions << QLatin1Char('(') + SqlText::toSqlite(options.jobOrderRestriction) +
                                QLatin1Char(')');
        QSqlQuery stations = db.prepare(
            QStringLiteral("SELECT ContactID, CompanyName, LastName, FirstName, Address1, Address2, City, "
                           "State, ZipCode, Phone, Fax "
                           "FROM ContactInfo WHERE ContactID IN (SELECT StationID FROM JobOrder)"));
        db.exec(stations);
        while (stations.next()) {
            Owner station;
            QString* fields[] = {&station.companyName, &station.lastName, &station.firstName,
                                 &station.address1,    &station.address2, &station.city,
                                 &station.state,       &station.zipCode,  &station.phone,
                                 &station.fax};
            for (int i = 0; i < 10; ++i)
                *fields[i] = stations.value(i + 1).toString();
            station.companyName = Values::toShownQuotes(station.companyName);
            m_stations.insert(stations.value(0).toInt(), station);
        }
    }

    int read(Database& db, const std::vector<qint32>& vehicleIds) override
    {
        m_orders.clear();
        int rowsRead = 0;
        QSqlQuery orders = selectForVehicles(
            db, vehicleIds,
            QStringLiteral(
                "SELECT JobOrderID, VehicleID, JCN, Date, Description, Memo, StationID FROM JobOrder"),
            QStringLiteral("VehicleID"), m_conditions, QStringLiteral("Date, JCN, JobOrderID"));
        QHash<qint32, std::pair<qint32, int>> byId;
        while (orders.next()) {
            JobOrder order{orders.value(0).toInt(), orders.value(2).toString(), orders.value(3).toString(),
                           orders.value(4).toString(), orders.value(5).toString(), orders.value(6).toInt(), {}};
            std::vector<JobOrder>& list = m_orders[orders.value(1).toInt()];
            byId.insert(order.id, {orders.value(1).toInt(), int(list.size())});
            list.push_back(std::move(order));
            ++rowsRead;
        }
        const QString sources[] = {
            QStringLiteral("SELECT MaintServices.MaintID, Services.ServiceDesc FROM MaintServices INNER JOIN Services "
                           "ON MaintServices.ServiceID = Services.ServiceID"),
            QStringLiteral("SELECT UMaintID, ServiceDesc FROM MaintServicesUnexpected")};
        const QString vehicleColumns[] = {QStringLiteral("MaintServices.VehicleID"), QStringLiteral("VehicleID")};
        const QString rowOrder[] = {QStringLiteral("MaintServices.rowid"), QStringLiteral("rowid")};
        for (int kind = 0; kind < 2; ++kind) {
            QSqlQuery services = selectForVehicles(db, vehicleIds, sources[kind], vehicleColumns[kind],
                                                   {QStringLiteral("LinkInd = 1")}, rowOrder[kind]);
            while (services.next()) {
                const auto order = byId.constFind(services.value(0).toInt());
                if (order != byId.constEnd())
                    m_orders[order->first][size_t(order->second)].services << services.value(1).toString();
                ++rowsRead;
            }
        }
        return rowsRead;
    }

    VehicleBlocks vehicle(int index) override
    {
        const Vehicle& vehicle = m_fleet->vehicles[size_t(index)];
        VehicleBlocks blocks;
        const auto found = m_orders.constFind(vehicle.vehicleId);
        if (found == m_orders.constEnd())
            return blocks;
        for (const JobOrder& order : *found)
            blocks.rows.push_back(page(vehicle, order));
        return blocks;
    }

    bool ownerStartsPage() const override { return false; }

private:
    // A job order fills a page of its own, signature lines at the foot of the usable height.
    Block page(const Vehicle& vehicle, const JobOrder& order) const
    {
        Block block;
        block.ownPage = true;
        block.text(2, QStringLiteral(" JCN ") + padded(order.jcn, 20) + QStringLiteral("  Entry Date ") +
                          Values::toShownDate(order.date),
                   0, Font::ReportName);
        const auto station = order.station > 0 ? m_stations.constFind(order.station) : m_stations.constEnd();
        if (station != m_stations.constEnd()) {
            QStringList lines = ReportText::ownerLines(*station);
            lines[0] = QStringLiteral("         Station: ") + station->companyName;
            for (int i = 0; i < lines.size(); ++i)
                block.text(i == 0 ? 2 : 1, lines[i]);
        }
        ReportText::addBand(block, vehicle, m_layout);
        ReportText::addDetails(block, vehicle, m_layout, true);
        if (!order.description.isEmpty())
            block.text(1, QStringLiteral("      Brief Desc. ") + order.description);
        for (int i = 0; i < order.services.size(); ++i)
            block.text(i == 0 ? 2 : 1,
                       (i == 0 ? QStringLiteral("Services List: ") : QString(15, QLatin1Char(' '))) + order.services[i],
                       150);
        const double bottom = m_layout.usableHeight - m_layout.bodyTop; // the usable height, from the block's top
        if (!order.memo.isEmpty()) {
            block.text(2, QStringLiteral("      Additional Comments or Instructions: "));
            for (const QString& line : ReportText::wrapMemo(order.memo)) {
                if (block.height + m_layout.line > bottom - 100)
                    break;
                block.text(1, QStringLiteral("         ") + line);
            }
        }
        const double signature = bottom - 30;
        const QString completed = QStringLiteral("Completed By ");
        const QString signoff = QStringLiteral("Signoff By ");
        const double half = m_layout.blockWidth / 2;
        const double ruleY = signature + m_layout.line;
        block.textAt(0, signature, completed);
        block.line(textWidth(Font::Body, completed), ruleY, half - 20, ruleY);
        block.textAt(half, signature, signoff);
        block.line(half + textWidth(Font::Body, signoff), ruleY, m_layout.blockWidth, ruleY);
        block.height = std::max(block.height, signature + m_layout.line);
        block.need = block.height;
        return block;
    }

    const Fleet* m_fleet = nullptr;
    Layout m_layout;
    QStringList m_conditions;
    QHash<qint32, std::vector<JobOrder>> m_orders;
    QHash<qint32, Owner> m_stations;
};

} // namespace

std::unique_ptr<Body> makeJobOrders()
{
    return std::make_unique<JobOrdersBody>();
}

} // namespace Report
