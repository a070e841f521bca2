#include "db/sets/VehicleOwnerSet.h"

CVehicleOwnerSet::CVehicleOwnerSet(Database& db) : RecordSet(db)
{
    bindBool("[ActiveInd]", &m_ActiveInd);
    bindText("[DateOfActualMiles]", &m_DateOfActualMiles);
    bindText("[DateOfEstimatedMiles]", &m_DateOfEstimatedMiles);
    bindLong("[EntryOfActualMiles]", &m_EntryOfActualMiles);
    bindLong("[EstMilesPerMonth]", &m_EstMilesPerMonth);
    bindLong("[LastScheduledMaint]", &m_LastScheduledMaint);
    bindText("[LocationID]", &m_LocationID);
    bindText("[Owners].[Memo]", &m_Owners_Memo);
    bindLong("[Owners].[OwnerID]", &m_Owners_OwnerID);
    bindDouble("[PurchaseAmount]", &m_PurchaseAmount);
    bindText("[PurchaseDate]", &m_PurchaseDate);
    bindText("[PurchaseMemo]", &m_PurchaseMemo);
    bindLong("[PurchaseMileage]", &m_PurchaseMileage);
    bindLong("[VehicleID]", &m_VehicleID);
    bindText("[VehicleLicense]", &m_VehicleLicense);
    bindText("[VehicleMake]", &m_VehicleMake);
    bindText("[VehicleModel]", &m_VehicleModel);
    bindText("[VehicleNo]", &m_VehicleNo);
    bindText("[Vehicles].[Memo]", &m_Vehicles_Memo);
    bindLong("[Vehicles].[OwnerID]", &m_Vehicles_OwnerID);
    bindText("[VehicleVIN]", &m_VehicleVIN);
    bindText("[VehicleYear]", &m_VehicleYear);
    bindLong("[Owners].[ContactID]", &m_Owners_ContactID);
    bindLong("[Vehicles].[ContactID]", &m_Vehicles_ContactID);
    bindShort("[HoursInd]", &m_HoursInd);
    bindShort("[Measurement]", &m_Measurement);
}

QString CVehicleOwnerSet::defaultSource() const
{
    return QStringLiteral("Select * from Vehicles INNER JOIN Owners ON Vehicles.OwnerID = Owners.OwnerID");
}
