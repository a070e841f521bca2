#include "db/sets/MaintServicesSet.h"

CMaintServicesSet::CMaintServicesSet(Database& db) : RecordSet(db)
{
    bindLong("[MaintID]", &m_MaintID);
    bindLong("[ServiceID]", &m_ServiceID);
    bindText("[Warranty]", &m_Warranty);
    bindLong("[VehicleID]", &m_VehicleID);
    bindDouble("[Price]", &m_Price);
    bindShort("[LinkInd]", &m_LinkInd);
}

QString CMaintServicesSet::defaultSource() const
{
    return QStringLiteral("MaintServices");
}
