#pragma once

#include "db/RecordSet.h"

class CScheduleGroupSet : public RecordSet
{
public:
    explicit CScheduleGroupSet(Database& db);
    QString defaultSource() const override;

    QString m_Description;
    QString m_EstPerformDate;
    QString m_LastDate;
    qint32 m_LastMiles = 0;
    qint32 m_PerformEveryMiles = 0;
    qint32 m_PerformEveryMonth = 0;
    qint16 m_PerformOnce = 0;
    qint32 m_Schedule_ServiceID = 0;
    qint32 m_ScheduleID = 0;
    QString m_ServiceDesc;
    qint32 m_Services_ServiceID = 0;
    qint32 m_ServiceTypeID = 0;
    qint32 m_StationID = 0;
    qint32 m_VehicleID = 0;
    qint16 m_PerformEveryDay = 0;
};
