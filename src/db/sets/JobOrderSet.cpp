#include "db/sets/JobOrderSet.h"

CJobOrderSet::CJobOrderSet(Database& db) : RecordSet(db)
{
    bindLong("[JobOrderID]", &m_JobOrderID);
    bindLong("[StationID]", &m_StationID);
    bindLong("[VehicleID]", &m_VehicleID);
    bindText("[JCN]", &m_JCN);
    bindText("[Description]", &m_Description);
    bindText("[Memo]", &m_Memo);
    bindText("[Date]", &m_Date);
    bindBool("[OpenInd]", &m_OpenInd);
}

QString CJobOrderSet::defaultSource() const
{
    return QStringLiteral("[JobOrder]");
}
