#pragma once

#include "db/RecordSet.h"

class CJobOrderSet : public RecordSet
{
public:
    explicit CJobOrderSet(Database& db);
    QString defaultSource() const override;
    // Highest JobOrderID plus one; leaves the set unfiltered and sorted by it.
    qint32 nextIdentifier() { return nextIdentifierOf(QStringLiteral("JobOrderID")); }

    qint32 m_JobOrderID = 0;
    qint32 m_StationID = 0;
    qint32 m_VehicleID = 0;
    QString m_JCN;
    QString m_Description;
    QString m_Memo;
    QString m_Date;
    bool m_OpenInd = false;
};
