#pragma once

#include "db/ListEntry.h"
#include "fleet/ContactFields.h"

#include <QString>
#include <optional>

class CContactInfoSet;
class Database;

// One contact as the Contact Information dialog shows it: names with their apostrophes, the agent as
// first name, a blank and last name.
struct ContactDetails : ContactFields
{
    QString agentName;
    QString comments;
};

// The ContactInfo routines shared by the owner, company, loan and insurance forms. Owners, companies and
// vehicle sellers all live in ContactInfo, told apart by ContactType (ContactKind).
namespace ContactOperations {

// Positions the set on the contact with this key; with a kind above 0 the contact must be of that kind.
// Returns whether it was found. The set keeps the filter.
bool findContact(CContactInfoSet& contacts, qint32 contactId, int kind = 0);

// Positions the set on the first contact of any kind carrying this company name, given as the user typed
// it (apostrophes are matched against their stored backquotes). A contact key above 0 is left out, so that
// a company does not collide with itself. Returns whether one was found.
bool findCompanyByName(CContactInfoSet& contacts, const QString& companyName, qint32 exceptContactId = 0);

// The key for a new ContactInfo row: the highest plus one, 1 in an empty table.
qint32 newContactKey(Database& db);

// An owner as the owner lists show it: "Company, Location" or "Last, First", each part only when filled.
// The company name is given as stored.
QString ownerItemText(const QString& storedCompanyName, const QString& locationId, const QString& lastName,
                      const QString& firstName);

// Every owner with its list text and OwnerID, alphabetical, read in one query. An owner whose contact row
// is missing is still listed, so that it can be reached and put right.
QList<ListEntry> ownerListEntries(Database& db);

// The companies of one kind (0: every company kind - loan, insurance, service station) by name with
// their ContactID, alphabetical.
QList<ListEntry> companyListEntries(Database& db, int kind);

// The contact's details for display, or nothing when there is no such contact.
std::optional<ContactDetails> contactDetails(Database& db, qint32 contactId);

} // namespace ContactOperations
