#include "db/sets/MaintenanceSet.h"

CMaintenanceSet::CMaintenanceSet(Database& db) : RecordSet(db)
{
    bindLong("[ActualMiles]", &m_ActualMiles);
    bindText("[Description]", &m_Description);
    bindText("[MaintDate]", &m_MaintDate);
    bindLong("[StationID]", &m_StationID);
    bindLong("[VehicleID]", &m_VehicleID);
    bindLong("[MaintID]", &m_MaintID);
    bindText("[Memo]", &m_Memo);
    bindDouble("[Tax]", &m_Tax);
    bindDouble("[TotalPrice]", &m_TotalPrice);
    bindLong("[JobOrderID]", &m_JobOrderID);
}

QString CMaintenanceSet::defaultSource() const
{
    return QStringLiteral("Maintenance");
}
