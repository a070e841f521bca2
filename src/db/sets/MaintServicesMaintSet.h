#pragma once

#include "db/RecordSet.h"

class CMaintServicesMaintSet : public RecordSet
{
public:
    explicit CMaintServicesMaintSet(Database& db);
    QString defaultSource() const override;

    qint32 m_Maintenance_MaintID = 0;
    qint32 m_StationID = 0;
    qint32 m_Maintenance_VehicleID = 0;
    qint32 m_ActualMiles = 0;
    double m_Tax = 0.0;
    double m_TotalPrice = 0.0;
    QString m_MaintDate;
    QString m_Memo;
    qint32 m_MaintServices_MaintID = 0;
    qint32 m_ServiceID = 0;
    qint32 m_MaintServices_VehicleID = 0;
    double m_Price = 0.0;
    QString m_Warranty;
    QString m_Description;
    qint16 m_LinkInd = 0;
    qint32 m_JobOrderID = 0;
};
