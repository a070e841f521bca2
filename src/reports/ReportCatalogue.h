#pragma once

#include <QString>
#include <vector>

// The reports the report form offers, with their codes (kept as documented: other forms open the report
// form with one), printed titles, orientation and line widths.
namespace ReportCatalogue {

enum Code : int {
    VehicleList = 0,
    MaintenanceLog = 1,
    ScheduleMonitor = 2,
    GasLog = 3,
    FuelGraph = 4,
    MpgByFillupGraph = 5,
    MilesDrivenGraph = 6,
    ExpenseGraph = 7,
    JobOrders = 8,
    CostSummary = 9,
    MaintenanceForecast = 10,
    CostGraph = 11,
};

struct Entry
{
    int code;
    QString name;     // list text and printed title
    QString cliName;  // the name velmora-cli takes
};

// The offered reports in the order of the report list.
const std::vector<Entry>& offered();
// The printed title; "Unknown" for a code that is not a report.
QString title(int code);
bool isLandscape(int code);
int lineWidth(int code);
// The code for a command-line name, -1 when there is none.
int codeOfCliName(const QString& name);

} // namespace ReportCatalogue
