#include "db/sets/ScheduleTemplateSet.h"

CScheduleTemplateSet::CScheduleTemplateSet(Database& db) : RecordSet(db)
{
    bindText("[Description]", &m_Description);
    bindLong("[PerformEveryMiles]", &m_PerformEveryMiles);
    bindLong("[PerformEveryMonth]", &m_PerformEveryMonth);
    bindShort("[PerformOnce]", &m_PerformOnce);
    bindLong("[ScheduleTemplateID]", &m_ScheduleTemplateID);
    bindLong("[ServiceID]", &m_ServiceID);
    bindLong("[StationID]", &m_StationID);
    bindShort("[PerformEveryDay]", &m_PerformEveryDay);
}

QString CScheduleTemplateSet::defaultSource() const
{
    return QStringLiteral("ScheduleTemplate");
}
