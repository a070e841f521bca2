#include "reports/ReportCatalogue.h"

namespace ReportCatalogue {

const std::vector<Entry>& offered()
{
    static const std::vector<Entry> list = {
        {VehicleList, QStringLiteral("Vehicle List"), QStringLiteral("vehicle-list")},
        {MaintenanceLog, QStringLiteral("Maintenance Log"), QStringLiteral("maintenance-log")},
        {GasLog, QStringLiteral("Gas Log"), QStringLiteral("gas-log")},
        {FuelGraph, QStringLiteral("Fuel Efficiency Graph by Month"), QStringLiteral("fuel-graph")},
        {ExpenseGraph, QStringLiteral("Expense Graph"), QStringLiteral("expense-graph")},
        {ScheduleMonitor, QStringLiteral("Schedule Monitor"), QStringLiteral("schedule-monitor")},
        {JobOrders, QStringLiteral("Job Orders"), QStringLiteral("job-orders")},
        {CostSummary, QStringLiteral("Cost Summary"), QStringLiteral("cost-summary")},
        {MaintenanceForecast, QStringLiteral("Maintenance Forecast"), QStringLiteral("maintenance-forecast")},
        {CostGraph, QStringLiteral("Cost per Distance Graph by Month"), QStringLiteral("cost-graph")},
    };
    return list;
}

QString title(int code)
{
    for (const Entry& entry : offered())
        if (entry.code == code)
            return entry.name;
    if (code == MpgByFillupGraph)
        return QStringLiteral("MPG Graph by Fillup");
    if (code == MilesDrivenGraph)
        return QStringLiteral("Miles Driven Graph");
    return QStringLiteral("Unknown");
}

bool isLandscape(int code)
{
    return code == VehicleList || code == FuelGraph || code == MpgByFillupGraph || code == MilesDrivenGraph ||
           code == ExpenseGraph || code == CostGraph;
}

int lineWidth(int code)
{
    return isLandscape(code) ? 111 : 81;
}

int codeOfCliName(const QString& name)
{
    for (const Entry& entry : offered())
        if (entry.cliName == name)
            return entry.code;
    return -1;
}

} // namespace ReportCatalogue
