#pragma once

#include "fleet/ContactFields.h"

#include <QString>
#include <optional>

class Database;
class Prompter;

// The forms that open the company form, by the caller code they pass it. The company form hands the chosen
// company back by entering the caller with (CompanyForm, company key); a key of 0 means "nothing chosen".
enum CompanyCaller : int {
    NoCaller = 0,
    MaintenanceCaller = 100,
    ScheduleCaller = 101,
    LoanCaller = 102,
    InsuranceCaller = 103,
    GasLogCaller = 104,
    JobOrderCaller = 105,
};

namespace CompanyCallers {

bool isCallerCode(int code);
// The company kind (ContactKind) a new company gets when it is added for this caller.
int kindOf(int callerCode);

} // namespace CompanyCallers

// One company as the company form edits it: a ContactInfo row of a company kind. Texts are as the user sees
// them; the company name's apostrophes become backquotes only in the file.
struct CompanyRecord : ContactFields
{
    // ContactKind: loan company, insurance company or service station; 0 while none is chosen.
    int type = 0;
    QString comments;

    enum class Field { Type, CompanyName };
    struct Problem
    {
        QString message;
        Field field;
    };
    // The first check the values fail, in the order the user is told about them. contactId is the company
    // being edited (0 for a new one) and storedType the kind it has in the file (0 for a new one).
    std::optional<Problem> problem(Database& db, qint32 contactId, int storedType) const;

    // The company with this key, or nothing when there is no such contact.
    static std::optional<CompanyRecord> load(Database& db, qint32 contactId);
    // Writes the row (contactId 0 adds one) and returns its key. Throws CdbException.
    qint32 save(Database& db, qint32 contactId) const;

    // Why the company may not be deleted (the first reference found), or nothing when it may.
    static std::optional<QString> deleteRefusal(Database& db, qint32 contactId);
    // Deletes the company. Rows that may still name it as their station (gas entries, job orders, schedule
    // templates) are set to "no station", so that a later company given the same key is not taken for it.
    static void remove(Database& db, qint32 contactId);
};

// A company name typed into another form's company box that names no company of the list.
namespace TypedCompany {

enum class Outcome {
    NameInUse,     // another contact already has the name; the user was told
    DetailsWanted, // the user wants to fill in the company form first
    Added,         // a company with just the name and the kind was added
    Cancelled,     // the user wants to go back to the box
};
struct Result
{
    Outcome outcome;
    qint32 contactId = 0; // the added company
};

// Asks the user what to do with the new name and, on No, adds the company of that kind at once.
Result resolveNewName(Database& db, Prompter& prompter, const QString& name, int kind);

} // namespace TypedCompany
