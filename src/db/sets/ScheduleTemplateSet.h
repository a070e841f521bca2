#pragma once

#include "db/RecordSet.h"

class CScheduleTemplateSet : public RecordSet
{
public:
    explicit CScheduleTemplateSet(Database& db);
    QString defaultSource() const override;

    QString m_Description;
    qint32 m_PerformEveryMiles = 0;
    qint32 m_PerformEveryMonth = 0;
    qint16 m_PerformOnce = 0;
    qint32 m_ScheduleTemplateID = 0;
    qint32 m_ServiceID = 0;
    qint32 m_StationID = 0;
    qint16 m_PerformEveryDay = 0;
};
