#include "db/sets/MaintServicesMaintSet.h"

CMaintServicesMaintSet::CMaintServicesMaintSet(Database& db) : RecordSet(db)
{
    bindLong("[Maintenance].[MaintID]", &m_Maintenance_MaintID);
    bindLong("[StationID]", &m_StationID);
    bindLong("[Maintenance].[VehicleID]", &m_Maintenance_VehicleID);
    bindLong("[ActualMiles]", &m_ActualMiles);
    bindDouble("[Tax]", &m_Tax);
    bindDouble("[TotalPrice]", &m_TotalPrice);
    bindText("[MaintDate]", &m_MaintDate);
    bindText("[Memo]", &m_Memo);
    bindLong("[MaintServices].[MaintID]", &m_MaintServices_MaintID);
    bindLong("[ServiceID]", &m_ServiceID);
    bindLong("[MaintServices].[VehicleID]", &m_MaintServices_VehicleID);
    bindDouble("[Price]", &m_Price);
    bindText("[Warranty]", &m_Warranty);
    bindText("[Description]", &m_Description);
    bindShort("[LinkInd]", &m_LinkInd);
    bindLong("[JobOrderID]", &m_JobOrderID);
}

QString CMaintServicesMaintSet::defaultSource() const
{
    return QStringLiteral("SELECT * FROM Maintenance, MaintServices WHERE Maintenance.MaintID = MaintServices.MaintID AND MaintServices.LinkInd = 0 ORDER BY Maintenance.VehicleID, MaintDate Desc, ActualMiles Desc");
}
