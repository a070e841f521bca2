#include "db/Clock.h"
#include "reports/GraphReports.h"
#include "reports/ReportBodies.h"
#include "reports/ReportText.h"

#include <QHash>

namespace Report {

namespace {

struct Expense
{
    QString date;
    double amount = 0;
    int series = 0; // 0 gas, 1 maintenance
};

// Each vehicle's gas and maintenance spending per calendar month, entries filed under their own month.
class ExpenseGraphBody : public Body
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
        m_expenses.clear();
        int rowsRead = 0;
        const QString sources[] = {QStringLiteral("SELECT VehicleID, Date, TotalCost FROM GasLog"),
                                   QStringLiteral("SELECT VehicleID, MaintDate, TotalPrice FROM Maintenance")};
        const QString dateColumns[] = {QStringLiteral("Date"), QStringLiteral("MaintDate")};
        for (int series = 0; series < 2; ++series) {
            QStringList conditions;
            if (!m_options.beginStored.isEmpty())
                conditions << dateColumns[series] + QStringLiteral(" > '") + m_options.beginStored.left(6) +
                                  QStringLiteral("00'");
            if (!m_options.endStored.isEmpty())
                conditions << dateColumns[series] + QStringLiteral(" < '") + m_options.endStored.left(6) +
                                  QStringLiteral("99'");
            QSqlQuery rows = selectForVehicles(db, vehicleIds, sources[series], QStringLiteral("VehicleID"),
                                               conditions, {});
            for (; rows.next(); ++rowsRead)
                if (!rows.value(1).toString().isEmpty())
                    m_expenses[rows.value(0).toInt()].push_back(
                        {rows.value(1).toString(), rows.value(2).toDouble(), series});
        }
        return rowsRead;
    }

    VehicleBlocks vehicle(int index) override
    {
        const Vehicle& vehicle = m_fleet->vehicles[size_t(index)];
        VehicleBlocks blocks;
        const std::vector<Expense> expenses = m_expenses.value(vehicle.vehicleId);
        QString from = m_options.beginStored;
        QString to = m_options.endStored;
        if (from.isEmpty()) {
            if (expenses.empty())
                return blocks;
            from = expenses.front().date;
            for (const Expense& expense : expenses)
                from = std::min(from, expense.date);
            to = Clock::today().toString(QStringLiteral("yyyyMMdd"));
        }
        Graph::Chart chart;
        chart.fuel = false;
        chart.colour = m_options.colourGraphs;
        chart.months = Graph::monthsBetween(from, to);
        chart.values.assign(chart.months.size(), {0, 0, 0});
        for (const Expense& expense : expenses) {
            const int month = Graph::monthIndex(chart.months, expense.date);
            if (month < 0)
                continue;
            chart.values[size_t(month)][size_t(expense.series)] += expense.amount;
            chart.values[size_t(month)][2] += expense.amount;
        }
        ReportText::addBand(blocks.head, vehicle, m_layout);
        blocks.continuation = blocks.head;
        for (const Graph::Chart& part : Graph::splitIntoGraphs(chart))
            blocks.rows.push_back(Graph::chartBlock(part, m_layout));
        return blocks;
    }

private:
    const Fleet* m_fleet = nullptr;
    Layout m_layout;
    Options m_options;
    QHash<qint32, std::vector<Expense>> m_expenses;
};

} // namespace

std::unique_ptr<Body> makeExpenseGraph()
{
    return std::make_unique<ExpenseGraphBody>();
}

} // namespace Report
