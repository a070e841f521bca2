#pragma once

#include "db/RecordSet.h"

class CLoanSet : public RecordSet
{
public:
    explicit CLoanSet(Database& db);
    QString defaultSource() const override;

    QString m_AcctNo;
    double m_Amount = 0.0;
    double m_InterestRate = 0.0;
    qint32 m_Length = 0;
    QString m_Memo;
    QString m_OriginatingDate;
    QString m_Payment;
    qint32 m_VehicleID = 0;
    double m_PaymentAmount = 0.0;
    qint32 m_ContactID = 0;
};
