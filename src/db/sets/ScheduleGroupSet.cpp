#include "db/sets/ScheduleGroupSet.h"

CScheduleGroupSet::CScheduleGroupSet(Database& db) : RecordSet(db)
{
    bindText("[Description]", &m_Description);
    bindText("[EstPerformDate]", &m_EstPerformDate);
    bindText("[LastDate]", &m_LastDate);
    bindLong("[LastMiles]", &m_LastMiles);
    bindLong("[PerformEveryMiles]", &m_PerformEveryMiles);
    bindLong("[PerformEveryMonth]", &m_PerformEveryMonth);
    bindShort("[PerformOnce]", &m_PerformOnce);
    bindLong("[Schedule].[ServiceID]", &m_Schedule_ServiceID);
    bindLong("[ScheduleID]", &m_ScheduleID);
    bindText("[ServiceDesc]", &m_ServiceDesc);
    bindLong("[Services].[ServiceID]", &m_Services_ServiceID);
    bindLong("[ServiceTypeID]", &m_ServiceTypeID);
    bindLong("[StationID]", &m_StationID);
    bindLong("[VehicleID]", &m_VehicleID);
    bindShort("[PerformEveryDay]", &m_PerformEveryDay);
}

QString CScheduleGroupSet::defaultSource() const
{
    return QStringLiteral("Select * FROM Schedule INNER JOIN Services ON Schedule.ServiceID = Services.ServiceID");
}
