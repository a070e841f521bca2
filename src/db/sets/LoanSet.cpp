#include "db/sets/LoanSet.h"

CLoanSet::CLoanSet(Database& db) : RecordSet(db)
{
    bindText("[AcctNo]", &m_AcctNo);
    bindDouble("[Amount]", &m_Amount);
    bindDouble("[InterestRate]", &m_InterestRate);
    bindLong("[Length]", &m_Length);
    bindText("[Memo]", &m_Memo);
    bindText("[OriginatingDate]", &m_OriginatingDate);
    bindText("[Payment]", &m_Payment);
    bindLong("[VehicleID]", &m_VehicleID);
    bindDouble("[PaymentAmount]", &m_PaymentAmount);
    bindLong("[ContactID]", &m_ContactID);
}

QString CLoanSet::defaultSource() const
{
    return QStringLiteral("[Loan]");
}
