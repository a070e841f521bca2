#include "db/sets/InsuranceSet.h"

CInsuranceSet::CInsuranceSet(Database& db) : RecordSet(db)
{
    bindText("[DueDate]", &m_DueDate);
    bindText("[Memo]", &m_Memo);
    bindText("[PolicyNo]", &m_PolicyNo);
    bindLong("[VehicleID]", &m_VehicleID);
    bindDouble("[Deductable]", &m_Deductable);
    bindDouble("[PaymentAmt]", &m_PaymentAmt);
    bindText("[CoverageEndDate]", &m_CoverageEndDate);
    bindText("[CoverageStartDate]", &m_CoverageStartDate);
    bindLong("[ContactID]", &m_ContactID);
}

QString CInsuranceSet::defaultSource() const
{
    return QStringLiteral("[Insurance]");
}
