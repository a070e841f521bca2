#pragma once

#include "db/RecordSet.h"

class CScheduleSet : public RecordSet
{
public:
    explicit CScheduleSet(Database& db);
    QString defaultSource() const override;
    // Highest ScheduleID plus one; leaves the set unfiltered and sorted by it.
    qint32 nextIdentifier() { return nextIdentifierOf(QStringLiteral("ScheduleID")); }

    qint32 m_ServiceID = 0;
    qint32 m_VehicleID = 0;
    qint32 m_ScheduleID = 0;
    qint32 m_PerformEveryMiles = 0;
    qint32 m_PerformEveryMonth = 0;
    QString m_Description;
    qint32 m_StationID = 0;
    qint16 m_PerformOnce = 0;
    QString m_LastDate;
    qint32 m_LastMiles = 0;
    QString m_EstPerformDate;
    qint16 m_PerformEveryDay = 0;
};
