#pragma once

#include "db/RecordSet.h"

class CGasLogSet : public RecordSet
{
public:
    explicit CGasLogSet(Database& db);
    QString defaultSource() const override;
    // Highest GasLogID plus one; leaves the set unfiltered and sorted by it.
    qint32 nextIdentifier() { return nextIdentifierOf(QStringLiteral("GasLogID")); }

    double m_CostGallon = 0.0;
    QString m_Date;
    double m_Gallons = 0.0;
    qint32 m_GasLogID = 0;
    qint32 m_Mileage = 0;
    qint32 m_StationID = 0;
    double m_TotalCost = 0.0;
    qint32 m_VehicleID = 0;
    QString m_BriefDesc;
    qint16 m_Fillup = 0;
    qint16 m_Estimated = 0;
};
