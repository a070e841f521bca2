#pragma once

#include <QList>
#include <QString>

// The pre-filter the report form hands to the job order selection: the chosen vehicle (or the listed
// vehicles of the chosen owner) and the date range, joined with " AND " without empty parts.
namespace JobOrderFilter {

// vehicleId 0: the listed vehicles when ownerChosen; dates stored as "YYYYMMDD" or empty.
QString preFilter(qint32 vehicleId, bool ownerChosen, const QList<qint32>& listedVehicles, const QString& beginStored,
                  const QString& endStored);

// A restriction set for one job order by the job order form; kept when the report is chosen again.
bool isSingleJobOrder(const QString& restriction);
QString singleJobOrder(qint32 jobOrderId);

} // namespace JobOrderFilter
