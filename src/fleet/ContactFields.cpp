#include "fleet/ContactFields.h"

#include "db/Values.h"
#include "db/sets/ContactInfoSet.h"

void ContactFields::loadFrom(const CContactInfoSet& contacts, CompanyQuotes quotes)
{
    companyName = quotes == CompanyQuotes::Backquoted ? Values::toShownQuotes(contacts.m_CompanyName)
                                                      : contacts.m_CompanyName;
    firstName = contacts.m_FirstName;
    lastName = contacts.m_LastName;
    address1 = contacts.m_Address1;
    address2 = contacts.m_Address2;
    city = contacts.m_City;
    state = contacts.m_State;
    zipCode = contacts.m_ZipCode;
    phone = contacts.m_Phone;
    altPhone = contacts.m_AltPhone;
    fax = contacts.m_Fax;
    mobile = contacts.m_Mobile;
    email = contacts.m_Email;
    webAddress = contacts.m_WebAddress;
}

void ContactFields::storeTo(CContactInfoSet& contacts, CompanyQuotes quotes) const
{
    contacts.m_CompanyName =
        quotes == CompanyQuotes::Backquoted ? Values::toStoredQuotes(companyName) : companyName;
    contacts.m_FirstName = firstName;
    contacts.m_LastName = lastName;
    contacts.m_Address1 = address1;
    contacts.m_Address2 = address2;
    contacts.m_City = city;
    contacts.m_State = state;
    contacts.m_ZipCode = zipCode;
    contacts.m_Phone = phone;
    contacts.m_AltPhone = altPhone;
    contacts.m_Fax = fax;
    contacts.m_Mobile = mobile;
    contacts.m_Email = email;
    contacts.m_WebAddress = webAddress;
}
