#include "db/sets/OwnerGroupSet.h"

COwnerGroupSet::COwnerGroupSet(Database& db) : RecordSet(db)
{
    bindLong("[ContactInfo].[ContactID]", &m_ContactInfo_ContactID);
    bindShort("[ContactType]", &m_ContactType);
    bindText("[CompanyName]", &m_CompanyName);
    bindText("[LastName]", &m_LastName);
    bindText("[FirstName]", &m_FirstName);
    bindText("[Address1]", &m_Address1);
    bindText("[Address2]", &m_Address2);
    bindText("[City]", &m_City);
    bindText("[State]", &m_State);
    bindText("[ZipCode]", &m_ZipCode);
    bindText("[Phone]", &m_Phone);
    bindText("[AltPhone]", &m_AltPhone);
    bindText("[Fax]", &m_Fax);
    bindText("[Mobile]", &m_Mobile);
    bindText("[Email]", &m_Email);
    bindText("[WebAddress]", &m_WebAddress);
    bindText("[ContactInfo].[Memo]", &m_ContactInfo_Memo);
    bindLong("[OwnerID]", &m_OwnerID);
    bindLong("[Owners].[ContactID]", &m_Owners_ContactID);
    bindText("[LocationID]", &m_LocationID);
    bindText("[Owners].[Memo]", &m_Owners_Memo);
}

QString COwnerGroupSet::defaultSource() const
{
    return QStringLiteral("SELECT * FROM Owners, ContactInfo WHERE Owners.ContactID = ContactInfo.ContactID ORDER BY ContactInfo.CompanyName");
}
