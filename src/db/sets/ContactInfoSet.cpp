#include "db/sets/ContactInfoSet.h"

CContactInfoSet::CContactInfoSet(Database& db) : RecordSet(db)
{
    bindLong("[ContactID]", &m_ContactID);
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
    bindText("[Memo]", &m_Memo);
}

QString CContactInfoSet::defaultSource() const
{
    return QStringLiteral("[ContactInfo]");
}
