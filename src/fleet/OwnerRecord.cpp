#include "fleet/OwnerRecord.h"

#include "db/Database.h"
#include "db/DbException.h"
#include "db/Messages.h"
#include "db/sets/ContactInfoSet.h"
#include "db/sets/OwnerSet.h"
#include "fleet/ContactKind.h"
#include "fleet/ContactOperations.h"

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
        record.loadFrom(contacts, CompanyQuotes::Backquoted);
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
    storeTo(contacts, CompanyQuotes::Backquoted);
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
