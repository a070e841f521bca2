#pragma once

#include "reports/ReportLayout.h"

#include <QSqlQuery>
#include <memory>

// The bodies of the reports (one class per report, in its own file) and what they share.
namespace Report {

std::unique_ptr<Body> makeVehicleList();
std::unique_ptr<Body> makeMaintenanceLog();
std::unique_ptr<Body> makeScheduleMonitor();
std::unique_ptr<Body> makeGasLog();
std::unique_ptr<Body> makeJobOrders();
std::unique_ptr<Body> makeFuelGraph();
std::unique_ptr<Body> makeExpenseGraph();
std::unique_ptr<Body> makeCostSummary();
std::unique_ptr<Body> makeMaintenanceForecast();
std::unique_ptr<Body> makeCostGraph();

// Runs "SELECT columns FROM source WHERE <column> IN (vehicles) [AND extra...] ORDER BY order" once for the
// vehicles being read.
QSqlQuery selectForVehicles(Database& db, const std::vector<qint32>& vehicleIds, const QString& select,
                            const QString& vehicleColumn, const QStringList& conditions,
                            const QString& order);

// " AND <column> >= 'begin'" and " AND <column> <= 'end'" as conditions, when the report has a date range.
QStringList dateConditions(const Options& options, const QString& column);

} // namespace Report
