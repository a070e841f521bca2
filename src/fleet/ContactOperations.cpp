#include "fleet/ContactOperations.h"

#include "db/Database.h"
#include "db/SqlText.h"
#include "db/Values.h"
#include "db/sets/ContactInfoSet.h"
#include "fleet/ContactKind.h"

#include <QSqlQuery>

namespace ContactOperations {

namespace {

void openWithFilter(CContactInfoSet& contacts, const QString& filter)
{
    contacts.m_strFilter = filter;
    contacts.m_strSort.clear();
    if (contacts.isOpen())
        contacts.requery();
    else
        contacts.open();
}

} // namespace

bool findContact(CContactInfoSet& contacts, qint32 contactId, int kind)
{
    QString filter = QStringLiteral("ContactID = ") + QString::number(contactId);
    if (kind > 0)
        filter += QStringLiteral(" AND ContactType = ") + QString::number(kind);
    openWithFilter(contacts, filter);
    return !contacts.isEOF();
}

bool findCompanyByName(CContactInfoSet& contacts, const QString& companyName, qint32 exceptContactId)
{
    QString filter = QStringLiteral("CompanyName = ") + SqlText::literal(Values::toStoredQuotes(companyName));
    if (exceptContactId > 0)
        filter += QStringLiteral(" AND ContactID <> ") + QString::number(exceptContactId);
    openWithFilter(contacts, filter);
    return !contacts.isEOF();
}

qint32 newContactKey(Database& db)
{
    CContactInfoSet contacts(db);
    return contacts.nextIdentifier();
}

QString ownerItemText(const QString& storedCompanyName, const QString& locationId, const QString& lastName,
                      const QString& firstName)
{
    if (!storedCompanyName.isEmpty()) {
        QString text = Values::toShownQuotes(storedCompanyName);
        if (!locationId.isEmpty())
            text += QStringLiteral(", ") + locationId;
        return text;
    }
    QString text = lastName;
    if (!firstName.isEmpty())
        text += QStringLiteral(", ") + firstName;
    return text;
}

QList<ListEntry> ownerListEntries(Database& db)
{
    QSqlQuery query = db.prepare(QStringLiteral(
        "SELECT Owners.OwnerID, ContactInfo.CompanyName, Owners.LocationID, ContactInfo.LastName, "
        "ContactInfo.FirstName FROM Owners LEFT JOIN ContactInfo ON Owners.ContactID = "
        "ContactInfo.ContactID"));
    db.exec(query);
    QList<ListEntry> entries;
    while (query.next())
        entries.append({ownerItemText(query.value(1).toString(), query.value(2).toString(),
                                      query.value(3).toString(), query.value(4).toString()),
                        qint32(query.value(0).toLongLong())});
    sortByText(entries);
    return entries;
}

QList<ListEntry> companyListEntries(Database& db, int kind)
{
    CContactInfoSet contacts(db);
    contacts.m_strFilter = kind > 0
                               ? QStringLiteral("ContactType = ") + QString::number(kind)
                               : QStringLiteral("ContactType = %1 OR ContactType = %2 OR ContactType = %3")
                                     .arg(int(LoanCompanyContact))
                                     .arg(int(InsuranceCompanyContact))
                                     .arg(int(ServiceStationContact));
    contacts.open();
    QList<ListEntry> entries;
    while (!contacts.isEOF()) {
        entries.append({Values::toShownQuotes(contacts.m_CompanyName), contacts.m_ContactID});
        contacts.moveNext();
    }
    sortByText(entries);
    return entries;
}

std::optional<ContactDetails> contactDetails(Database& db, qint32 contactId)
{
    CContactInfoSet contacts(db);
    if (!findContact(contacts, contactId))
        return std::nullopt;
    ContactDetails details;
    details.loadFrom(contacts, ContactFields::CompanyQuotes::Backquoted);
    details.agentName = (contacts.m_FirstName + QLatin1Char(' ') + contacts.m_LastName).trimmed();
    details.comments = contacts.m_Memo;
    return details;
}

} // namespace ContactOperations
