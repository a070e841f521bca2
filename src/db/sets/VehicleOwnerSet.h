#pragma once

#include "db/RecordSet.h"

class CVehicleOwnerSet : public RecordSet
{
public:
    explicit CVehicleOwnerSet(Database& db);
    QString defaultSource() const override;

    bool m_ActiveInd = false;
    QString m_DateOfActualMiles;
    QString m_DateOfEstimatedMiles;
    qint32 m_EntryOfActualMiles = 0;
    qint32 m_EstMilesPerMonth = 0;
    qint32 m_LastScheduledMaint = 0;
    QString m_LocationID;
    QString m_Owners_Memo;
    qint32 m_Owners_OwnerID = 0;
    double m_PurchaseAmount = 0.0;
    QString m_PurchaseDate;
    QString m_PurchaseMemo;
    qint32 m_PurchaseMileage = 0;
    qint32 m_VehicleID = 0;
    QString m_VehicleLicense;
    QString m_VehicleMake;
    QString m_VehicleModel;
    QString m_VehicleNo;
    QString m_Vehicles_Memo;
    qint32 m_Vehicles_OwnerID = 0;
    QString m_VehicleVIN;
    QString m_VehicleYear;
    qint32 m_Owners_ContactID = 0;
    qint32 m_Vehicles_ContactID = 0;
    qint16 m_HoursInd = 0;
    qint16 m_Measurement = 0;
};
