#include "db/sets/MaintServicesGroupSet.h"

CMaintServicesGroupSet::CMaintServicesGroupSet(Database& db) : RecordSet(db)
{
    bindLong("[MaintID]", &m_MaintID);
    bindLong("[MaintServices].[ServiceID]", &m_MaintServices_ServiceID);
    bindText("[ServiceDesc]", &m_ServiceDesc);
    bindLong("[Services].[ServiceID]", &m_Services_ServiceID);
    bindLong("[ServiceTypeID]", &m_ServiceTypeID);
    bindLong("[VehicleID]", &m_VehicleID);
    bindText("[Warranty]", &m_Warranty);
    bindDouble("[Price]", &m_Price);
    bindShort("[LinkInd]", &m_LinkInd);
}

QString CMaintServicesGroupSet::defaultSource() const
{
    return QStringLiteral("Select * from MaintServices INNER JOIN Services ON MaintServices.ServiceID = Services.ServiceID");
}
