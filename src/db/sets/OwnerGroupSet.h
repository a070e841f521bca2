#pragma once

#include "db/RecordSet.h"

class COwnerGroupSet : public RecordSet
{
public:
    explicit COwnerGroupSet(Database& db);
    QString defaultSource() const override;

    qint32 m_ContactInfo_ContactID = 0;
    qint16 m_ContactType = 0;
    QString m_CompanyName;
    QString m_LastName;
    QString m_FirstName;
    QString m_Address1;
    QString m_Address2;
    QString m_City;
    QString m_State;
    QString m_ZipCode;
    QString m_Phone;
    QString m_AltPhone;
    QString m_Fax;
    QString m_Mobile;
    QString m_Email;
    QString m_WebAddress;
    QString m_ContactInfo_Memo;
    qint32 m_OwnerID = 0;
    qint32 m_Owners_ContactID = 0;
    QString m_LocationID;
    QString m_Owners_Memo;
};
