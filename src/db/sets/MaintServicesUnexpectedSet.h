#pragma once

#include "db/RecordSet.h"

class CMaintServicesUnexpectedSet : public RecordSet
{
public:
    explicit CMaintServicesUnexpectedSet(Database& db);
    QString defaultSource() const override;

    qint32 m_UMaintID = 0;
    qint16 m_LinkInd = 0;
    qint32 m_VehicleID = 0;
    double m_Price = 0.0;
    QString m_Warranty;
    QString m_ServiceDesc;
};
