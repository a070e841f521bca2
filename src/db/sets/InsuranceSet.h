#pragma once

#include "db/RecordSet.h"

class CInsuranceSet : public RecordSet
{
public:
    explicit CInsuranceSet(Database& db);
    QString defaultSource() const override;

    QString m_DueDate;
    QString m_Memo;
    QString m_PolicyNo;
    qint32 m_VehicleID = 0;
    double m_Deductable = 0.0;
    double m_PaymentAmt = 0.0;
    QString m_CoverageEndDate;
    QString m_CoverageStartDate;
    qint32 m_ContactID = 0;
};
