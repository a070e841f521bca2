#include "db/sets/GasLogSet.h"

CGasLogSet::CGasLogSet(Database& db) : RecordSet(db)
{
    bindDouble("[CostGallon]", &m_CostGallon);
    bindText("[Date]", &m_Date);
    bindDouble("[Gallons]", &m_Gallons);
    bindLong("[GasLogID]", &m_GasLogID);
    bindLong("[Mileage]", &m_Mileage);
    bindLong("[StationID]", &m_StationID);
    bindDouble("[TotalCost]", &m_TotalCost);
    bindLong("[VehicleID]", &m_VehicleID);
    bindText("[BriefDesc]", &m_BriefDesc);
    bindShort("[Fillup]", &m_Fillup);
    bindShort("[Estimated]", &m_Estimated);
}

QString CGasLogSet::defaultSource() const
{
    return QStringLiteral("[GasLog]");
}
