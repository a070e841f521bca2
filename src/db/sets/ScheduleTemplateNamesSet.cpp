#include "db/sets/ScheduleTemplateNamesSet.h"

CScheduleTemplateNamesSet::CScheduleTemplateNamesSet(Database& db) : RecordSet(db)
{
    bindText("[TemplateName]", &m_TemplateName);
    bindLong("[ScheduleTemplateID]", &m_ScheduleTemplateID);
}

QString CScheduleTemplateNamesSet::defaultSource() const
{
    return QStringLiteral("[ScheduleTemplateNames]");
}
