#include "fleet/CompanyRecord.h"

#include "db/Database.h"
#include "db/DbException.h"
#include "db/Messages.h"
#include "db/Prompter.h"
#include "db/sets/ContactInfoSet.h"
#include "fleet/ContactKind.h"
#include "fleet/ContactOperations.h"

#include <QSqlQuery>
#include <QVariant>

namespace CompanyCallers {

bool isCallerCode(int code)
{
    return code >= MaintenanceCaller && code <= JobOrderCaller;
}

int kindOf(int callerCode)
{
    switch (callerCode) {
    case LoanCaller:
        return LoanCompanyContact;
    case InsuranceCaller:
        return InsuranceCompanyContact;
    case MaintenanceCaller:
    case ScheduleCaller:
    case GasLogCaller:
    case JobOrderCaller:
        return ServiceStationContact;
    default:
        return 0;
    }
}

} // namespace CompanyCallers

namespace {

bool isCompanyKind(int type)
{
    return type == LoanCompanyContact || type == InsuranceCompanyContact || type == ServiceStationContact;
}

// The references that keep a company's kind and keep it from being deleted, as SQL truth values.
QString usedAsStation(qint32 contactId)
{
    const QString id = QString::number(contactId);
    return QStringLiteral("EXISTS (SELECT 1 FROM Maintenance WHERE StationID = %1) OR "
                          "EXISTS (SELECT 1 FROM Schedule WHERE StationID = %1)")
        .arg(id);
}

QString usedByLoan(qint32 contactId)
{
    return QStringLiteral("EXISTS (SELECT 1 FROM Loan WHERE ContactID = %1)").arg(contactId);
}

QString usedByInsurance(qint32 contactId)
{
    return QStringLiteral("EXISTS (SELECT 1 FROM Insurance WHERE ContactID = %1)").arg(contactId);
}

bool holds(Database& db, const QString& condition)
{
    return db.scalar(QStringLiteral("SELECT ") + condition).toInt() != 0;
}

// The message refusing to take the stored kind away from a company still used as that kind.
std::optional<QString> typeChangeRefusal(Database& db, qint32 contactId, int storedType)
{
    switch (storedType) {
    case ServiceStationContact:
        if (holds(db, usedAsStation(contactId)))
            return Messages::StationTypeInUse;
        break;
    case LoanCompanyContact:
        if (holds(db, usedByLoan(contactId)))
            return Messages::LoanCompanyTypeInUse;
        break;
    case InsuranceCompanyContact:
        if (holds(db, usedByInsurance(contactId)))
            return Messages::InsuranceCompanyTypeInUse;
        break;
    default:
        break;
    }
    return std::nullopt;
}

} // namespace

std::optional<CompanyRecord::Problem> CompanyRecord::problem(Database& db, qint32 contactId,
                                                             int storedType) const
{
    if (contactId > 0 && storedType != 0 && type != 0 && type != storedType) {
        if (std::optional<QString> refusal = typeChangeRefusal(db, contactId, storedType))
            return Problem{*refusal, Field::Type};
    }
    // A company without a kind would be written as no company at all and vanish from every list.
    if (!isCompanyKind(type))
        return Problem{Messages::CompanyTypeRequired, Field::Type};
    if (companyName.isEmpty())
        return Problem{Messages::CompanyNameRequired, Field::CompanyName};
    CContactInfoSet contacts(db);
    if (ContactOperations::findCompanyByName(contacts, companyName, contactId))
        return Problem{Messages::CompanyNameInUse, Field::CompanyName};
    return std::nullopt;
}

std::optional<CompanyRecord> CompanyRecord::load(Database& db, qint32 contactId)
{
    CContactInfoSet contacts(db);
    if (!ContactOperations::findContact(contacts, contactId))
        return std::nullopt;
    CompanyRecord record;
    record.type = contacts.m_ContactType;
    record.loadFrom(contacts, CompanyQuotes::Backquoted);
    record.comments = contacts.m_Memo;
    return record;
}

qint32 CompanyRecord::save(Database& db, qint32 contactId) const
{
    Transaction transaction(db);
    CContactInfoSet contacts(db);
    if (contactId > 0) {
        if (!ContactOperations::findContact(contacts, contactId))
            throw CdbException(CdbException::NoCurrentRecord, QStringLiteral("No current record."));
        contacts.edit();
    } else {
        contactId = contacts.nextIdentifier();
        contacts.addNew();
        contacts.m_ContactID = contactId;
    }
    if (type != 0)
        contacts.m_ContactType = qint16(type);
    storeTo(contacts, CompanyQuotes::Backquoted);
    contacts.m_Memo = comments;
    contacts.update();
    transaction.commit();
    return contactId;
}

std::optional<QString> CompanyRecord::deleteRefusal(Database& db, qint32 contactId)
{
    // One query for all three references, read in the order the user is told about them.
    QSqlQuery query =
        db.prepare(QStringLiteral("SELECT (%1), (%2), (%3)")
                       .arg(usedAsStation(contactId), usedByLoan(contactId), usedByInsurance(contactId)));
    db.exec(query);
    if (!query.next())
        return std::nullopt;
    if (query.value(0).toInt() != 0)
        return Messages::CompanyUsedByMaintenance;
    if (query.value(1).toInt() != 0)
        return Messages::CompanyUsedByLoan;
    if (query.value(2).toInt() != 0)
        return Messages::CompanyUsedByInsurance;
    return std::nullopt;
}

void CompanyRecord::remove(Database& db, qint32 contactId)
{
    const QString id = QString::number(contactId);
    Transaction transaction(db);
    for (const char* table : {"GasLog", "JobOrder", "ScheduleTemplate"})
        db.execute(
            QStringLiteral("UPDATE %1 SET StationID = 0 WHERE StationID = ").arg(QLatin1String(table)) + id);
    db.execute(QStringLiteral("DELETE FROM ContactInfo WHERE ContactID = ") + id);
    transaction.commit();
}

namespace TypedCompany {

Result resolveNewName(Database& db, Prompter& prompter, const QString& name, int kind)
{
    CContactInfoSet contacts(db);
    if (ContactOperations::findCompanyByName(contacts, name)) {
        prompter.message(Messages::CompanyNameInUse, Prompter::Icon::Exclamation);
        return {Outcome::NameInUse};
    }
    switch (prompter.ask(Messages::NewCompanyQuestion, Prompter::Icon::Question,
                         Prompter::Buttons::YesNoCancel)) {
    case Prompter::Answer::Yes:
        return {Outcome::DetailsWanted};
    case Prompter::Answer::No: {
        CompanyRecord company;
        company.type = kind;
        company.companyName = name;
        return {Outcome::Added, company.save(db, 0)};
    }
    default:
        return {Outcome::Cancelled};
    }
}

} // namespace TypedCompany
