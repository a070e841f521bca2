#pragma once

#include "db/RecordSet.h"

class CVehicleSet : public RecordSet
{
public:
    explicit CVehicleSet(Database& db);
    QString defaultSource() const override;
    // Highest VehicleID plus one; leaves the set unfiltered and sorted by it.
    qint32 nextIdentifier() { return nextIdentifierOf(QStringLiteral("VehicleID")); }

    QString m_DateOfActualMiles;
    QString m_DateOfEstimatedMiles;
    qint32 m_EntryOfActualMiles = 0;
    qint32 m_EstMilesPerMonth = 0;
    qint32 m_LastScheduledMaint = 0;
    QString m_Memo;
    qint32 m_OwnerID = 0;
    QString m_PurchaseDate;
    QString m_PurchaseMemo;
    qint32 m_PurchaseMileage = 0;
    qint32 m_VehicleID = 0;
    QString m_VehicleLicense;
    QString m_VehicleMake;
    QString m_VehicleModel;
    QString m_VehicleNo;
    QString m_VehicleVIN;
    QString m_VehicleYear;
    bool m_ActiveInd = false;
    double m_PurchaseAmount = 0.0;
    qint32 m_ContactID = 0;
    QString m_MngrFirstName;
    QString m_MngrLastName;
    qint16 m_Measurement = 0;
    qint16 m_HoursInd = 0;
};
