#pragma once

#include "db/RecordSet.h"

class CContactInfoSet : public RecordSet
{
public:
    explicit CContactInfoSet(Database& db);
    QString defaultSource() const override;
    // Highest ContactID plus one; leaves the set unfiltered and sorted by it.
    qint32 nextIdentifier() { return nextIdentifierOf(QStringLiteral("ContactID")); }

    qint32 m_ContactID = 0;
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
    QString m_Memo;
};
