#pragma once

#include "fleet/ContactFields.h"

#include <QString>
#include <optional>

class Database;

// One owner as the owner form edits it: the Owners row and its ContactInfo row together. Texts are as the
// user sees them; the company name's apostrophes become backquotes only in the file.
struct OwnerRecord : ContactFields
{
    QString locationId;
    QString comments;

    // The field a failed check puts the focus on.
    enum class Field { CompanyName, FirstName };
    struct Problem
    {
        QString message;
        Field field;
    };
    // The first check the values fail, in the order the user is told about them; nothing when valid.
    std::optional<Problem> problem() const;

    // The owner with this key, or nothing when there is none. An owner whose contact row is missing loads
    // with empty contact fields.
    static std::optional<OwnerRecord> load(Database& db, qint32 ownerId);

    // Writes the contact row and then the owner row in one transaction and returns the owner's key. An
    // ownerId of 0 adds a new owner with a new contact row of the owner kind. Throws CdbException.
    qint32 save(Database& db, qint32 ownerId) const;
};
