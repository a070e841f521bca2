#include "db/sets/ScheduleSet.h"

CScheduleSet::CScheduleSet(Database& db) : RecordSet(db)
{
    bindLong("[ServiceID]", &m_ServiceID);
    bindLong("[VehicleID]", &m_VehicleID);
    bindLong("[ScheduleID]", &m_ScheduleID);
    bindLong("[PerformEveryMiles]", &m_PerformEveryMiles);
    bindLong("[PerformEveryMonth]", &m_PerformEveryMonth);
    bindText("[Description]", &m_Description);
    bindLong("[StationID]", &m_StationID);
    bindShort("[PerformOnce]", &m_PerformOnce);
    bindText("[LastDate]", &m_LastDate);
    bindLong("[LastMiles]", &m_LastMiles);
    bindText("[EstPerformDate]", &m_EstPerformDate);
    bindShort("[PerformEveryDay]", &m_PerformEveryDay);
}

QString CScheduleSet::defaultSource() const
{
    return QStringLiteral("Schedule");
}
