#pragma once

#include "db/RecordSet.h"

class CServicesSet : public RecordSet
{
public:
    explicit CServicesSet(Database& db);
    QString defaultSource() const override;

    QString m_ServiceDesc;
    qint32 m_ServiceID = 0;
    qint32 m_Services_ServiceTypeID = 0;
    QString m_ServiceType;
    qint32 m_ServiceTypes_ServiceTypeID = 0;
};
