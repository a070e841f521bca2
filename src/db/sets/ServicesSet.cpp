#include "db/sets/ServicesSet.h"

CServicesSet::CServicesSet(Database& db) : RecordSet(db)
{
    bindText("[ServiceDesc]", &m_ServiceDesc);
    bindLong("[ServiceID]", &m_ServiceID);
    bindLong("[Services].[ServiceTypeID]", &m_Services_ServiceTypeID);
    bindText("[ServiceType]", &m_ServiceType);
    bindLong("[ServiceTypes].[ServiceTypeID]", &m_ServiceTypes_ServiceTypeID);
}

QString CServicesSet::defaultSource() const
{
    return QStringLiteral("Select * from Services INNER JOIN ServiceTypes ON Services.ServiceTypeID = ServiceTypes.ServiceTypeID");
}
