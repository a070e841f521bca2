#include "reports/JobOrderFilter.h"

#include "db/SqlText.h"

#include <QStringList>

namespace JobOrderFilter {

QString preFilter(qint32 vehicleId, bool ownerChosen, const QList<qint32>& listedVehicles, const QString& beginStored,
                  const QString& endStored)
{
    QStringList parts;
    if (vehicleId != 0) {
        parts << QStringLiteral("VehicleID = %1").arg(vehicleId);
    } else if (ownerChosen) {
        QStringList ids;
        for (qint32 id : listedVehicles)
            ids << QString::number(id);
        // An owner without vehicles lists nothing rather than every job order.
        parts << QStringLiteral("Vehicleid IN (%1)").arg(ids.isEmpty() ? QStringLiteral("0") : ids.join(QStringLiteral(", ")));
    }
    if (!beginStored.isEmpty())
        parts << QStringLiteral("Date >= ") + SqlText::literal(beginStored);
    if (!endStored.isEmpty())
        parts << QStringLiteral("Date <= ") + SqlText::literal(endStored);
    return parts.join(QStringLiteral(" AND "));
}

bool isSingleJobOrder(const QString& restriction)
{
    return restriction.startsWith(QLatin1String("JobOrderID = "));
}

QString singleJobOrder(qint32 jobOrderId)
{
    return QStringLiteral("JobOrderID = %1").arg(jobOrderId);
}

} // namespace JobOrderFilter
