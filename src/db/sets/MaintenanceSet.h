#pragma once

#include "db/RecordSet.h"

class CMaintenanceSet : public RecordSet
{
public:
    explicit CMaintenanceSet(Database& db);
    QString defaultSource() const override;
    // Highest MaintID plus one; leaves the set unfiltered and sorted by it.
    qint32 nextIdentifier() { return nextIdentifierOf(QStringLiteral("MaintID")); }

    qint32 m_ActualMiles = 0;
    QString m_Description;
    QString m_MaintDate;
    qint32 m_StationID = 0;
    qint32 m_VehicleID = 0;
    qint32 m_MaintID = 0;
    QString m_Memo;
    double m_Tax = 0.0;
    double m_TotalPrice = 0.0;
    qint32 m_JobOrderID = 0;
};
