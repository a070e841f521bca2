#include "reports/ReportBodies.h"

#include "db/Database.h"
#include "db/SqlText.h"
#include "reports/ReportCatalogue.h"
#include "reports/ReportJob.h"

namespace Report {

std::unique_ptr<Body> makeBody(int code)
{
    switch (code) {
    case ReportCatalogue::VehicleList:
        return makeVehicleList();
    case ReportCatalogue::MaintenanceLog:
        return makeMaintenanceLog();
    case ReportCatalogue::ScheduleMonitor:
        return makeScheduleMonitor();
    case ReportCatalogue::GasLog:
        return makeGasLog();
    case ReportCatalogue::FuelGraph:
        return makeFuelGraph();
    case ReportCatalogue::ExpenseGraph:
        return makeExpenseGraph();
    case ReportCatalogue::JobOrders:
        return makeJobOrders();
    case ReportCatalogue::CostSummary:
        return makeCostSummary();
    case ReportCatalogue::MaintenanceForecast:
        return makeMaintenanceForecast();
    case ReportCatalogue::CostGraph:
        return makeCostGraph();
    default:
        return nullptr;
    }
}

QSqlQuery selectForVehicles(Database& db, const std::vector<qint32>& vehicleIds, const QString& select,
                            const QString& vehicleColumn, const QStringList& conditions, const QString& order)
{
    QStringList where = conditions;
    QString marks = QStringLiteral("?");
    for (size_t i = 1; i < vehicleIds.size(); ++i)
        marks += QStringLiteral(", ?");
    where.prepend(vehicleColumn + QStringLiteral(" IN (") + (vehicleIds.empty() ? QString() : marks) +
                  QLatin1Char(')'));
    QString sql = select + QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    if (!order.isEmpty())
        sql += QStringLiteral(" ORDER BY ") + order;
    QSqlQuery query = db.prepare(sql);
    for (const qint32 id : vehicleIds)
        query.addBindValue(id);
    db.exec(query);
    return query;
}

QStringList dateConditions(const Options& options, const QString& column)
{
    QStringList conditions;
    if (!options.beginStored.isEmpty())
        conditions << column + QStringLiteral(" >= ") + SqlText::literal(options.beginStored);
    if (!options.endStored.isEmpty())
        conditions << column + QStringLiteral(" <= ") + SqlText::literal(options.endStored);
    return conditions;
}

} // namespace Report
