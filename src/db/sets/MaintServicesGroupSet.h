#pragma once

#include "db/RecordSet.h"

class CMaintServicesGroupSet : public RecordSet
{
public:
    explicit CMaintServicesGroupSet(Database& db);
    QString defaultSource() const override;

    qint32 m_MaintID = 0;
    qint32 m_MaintServices_ServiceID = 0;
    QString m_ServiceDesc;
    qint32 m_Services_ServiceID = 0;
    qint32 m_ServiceTypeID = 0;
    qint32 m_VehicleID = 0;
    QString m_Warranty;
    double m_Price = 0.0;
    qint16 m_LinkInd = 0;
};
