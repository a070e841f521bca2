#include "db/sets/MaintServicesUnexpectedSet.h"

CMaintServicesUnexpectedSet::CMaintServicesUnexpectedSet(Database& db) : RecordSet(db)
{
    bindLong("[UMaintID]", &m_UMaintID);
    bindShort("[LinkInd]", &m_LinkInd);
    bindLong("[VehicleID]", &m_VehicleID);
    bindDouble("[Price]", &m_Price);
    bindText("[Warranty]", &m_Warranty);
    bindText("[ServiceDesc]", &m_ServiceDesc);
}

QString CMaintServicesUnexpectedSet::defaultSource() const
{
    return QStringLiteral("[MaintServicesUnexpected]");
}
