#include "db/OwnerRecord.h"

#include "app/Enums.h"
#include "db/ContactOperations.h"
#include "db/Database.h"
#include "db/DbException.h"
#include "db/Messages.h"
#include "db/Values.h"
#include "db/sets/ContactInfoSet.h"
#include "db/sets/OwnerSet.h"

namespace {

bool openOwner(COwnerSet& owners, qint32 ownerId)
{
    owners.m_strFilter = QStringLiteral("OwnerID = ") + QString::number(ownerId);
    owners.open();
    return !owners.isEOF();
}

} // namespace

std::optional<OwnerRecord::Problem> OwnerRecord::problem() const
{
    if (companyName.isEmpty() && lastName.isEmpty())
        return Problem{Messages::CompanyOrLastNameRequired, Field::CompanyName};
    if (!locationId.isEmpty() && companyName.isEmpty())
        return Problem{Messages::CompanyNameRequiredForLocation, Field::CompanyName};
    if (firstName.isEmpty() != lastName.isEmpty())
        return Problem{Messages::BothPersonNamesRequired, Field::FirstName};
    return std::nullopt;
}

std::optional<OwnerRecord> OwnerRecord::load(Database& db, qint32 ownerId)
{
    COwnerSet owners(db);
    if (!openOwner(owners, ownerId))
        return std::nullopt;
    OwnerRecord record;
    record.locationId = owners.m_LocationID;
    record.comments = owners.m_Memo;
    CContactInfoSet contacts(db);
    if (ContactOperations::findContact(contacts, owners.m_ContactID)) {
        record.companyName = Values::toShownQuotes(contacts.m_CompanyName);
        record.firstName = contacts.m_FirstName;
        record.lastName = contacts.m_LastName;
        record.address1 = contacts.m_Address1;
        record.address2 = contacts.m_Address2;
        record.city = contacts.m_City;
        record.state = contacts.m_State;
        record.zipCode = contacts.m_ZipCode;
        record.phone = contacts.m_Phone;
        record.altPhone = contacts.m_AltPhone;
        record.fax = contacts.m_Fax;
        record.mobile = contacts.m_Mobile;
        record.email = contacts.m_Email;
        record.webAddress = contacts.m_WebAddress;
    }
    return record;
}

qint32 OwnerRecord::save(Database& db, qint32 ownerId) const
{
    Transaction transaction(db);
    COwnerSet owners(db);
    CContactInfoSet contacts(db);
    bool contactFound = false;
    if (ownerId > 0) {
        if (!openOwner(owners, ownerId))
            throw CdbException(CdbException::NoCurrentRecord, QStringLiteral("No current record."));
        contactFound = ContactOperations::findContact(contacts, owners.m_ContactID);
    }

    // An existing owner whose contact row has gone gets a new one rather than losing what was typed.
    if (contactFound) {
        contacts.edit();
    } else {
        const qint32 contactId = contacts.nextIdentifier();
        contacts.addNew();
        contacts.m_ContactID = contactId;
        contacts.m_ContactType = OwnerContact;
    }
    contacts.m_CompanyName = Values::toStoredQuotes(companyName);
    contacts.m_LastName = lastName;
    contacts.m_FirstName = firstName;
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
    const qint32 contactId = contacts.m_ContactID;
    contacts.update();

    if (ownerId > 0) {
        owners.edit();
    } else {
        ownerId = owners.nextIdentifier();
        owners.addNew();
        owners.m_OwnerID = ownerId;
    }
    owners.m_LocationID = locationId;
    owners.m_Memo = comments;
    owners.m_ContactID = contactId;
    owners.update();

    transaction.commit();
    return ownerId;
}
