#include "db/sets/VehicleSet.h"

CVehicleSet::CVehicleSet(Database& db) : RecordSet(db)
{
    bindText("[DateOfActualMiles]", &m_DateOfActualMiles);
    bindText("[DateOfEstimatedMiles]", &m_DateOfEstimatedMiles);
    bindLong("[EntryOfActualMiles]", &m_EntryOfActualMiles);
    bindLong("[EstMilesPerMonth]", &m_EstMilesPerMonth);
    bindLong("[LastScheduledMaint]", &m_LastScheduledMaint);
    bindText("[Memo]", &m_Memo);
    bindLong("[OwnerID]", &m_OwnerID);
    bindText("[PurchaseDate]", &m_PurchaseDate);
    bindText("[PurchaseMemo]", &m_PurchaseMemo);
    bindLong("[PurchaseMileage]", &m_PurchaseMileage);
    bindLong("[VehicleID]", &m_VehicleID);
    bindText("[VehicleLicense]", &m_VehicleLicense);
    bindText("[VehicleMake]", &m_VehicleMake);
    bindText("[VehicleModel]", &m_VehicleModel);
    bindText("[VehicleNo]", &m_VehicleNo);
    bindText("[VehicleVIN]", &m_VehicleVIN);
    bindText("[VehicleYear]", &m_VehicleYear);
    bindBool("[ActiveInd]", &m_ActiveInd);
    bindDouble("[PurchaseAmount]", &m_PurchaseAmount);
    bindLong("[ContactID]", &m_ContactID);
    bindText("[MngrFirstName]", &m_MngrFirstName);
    bindText("[MngrLastName]", &m_MngrLastName);
    bindShort("[Measurement]", &m_Measurement);
    bindShort("[HoursInd]", &m_HoursInd);
}

QString CVehicleSet::defaultSource() const
{
    return QStringLiteral("[Vehicles]");
}
