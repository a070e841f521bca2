#pragma once

#include "db/RecordSet.h"

class CMaintServicesSet : public RecordSet
{
public:
    explicit CMaintServicesSet(Database& db);
    QString defaultSource() const override;

    qint32 m_MaintID = 0;
    qint32 m_ServiceID = 0;
    QString m_Warranty;
    qint32 m_VehicleID = 0;
    double m_Price = 0.0;
    qint16 m_LinkInd = 0;
};
