#pragma once

#include "db/ListEntry.h"

#include <QList>
#include <optional>

class Database;

// The services catalogue: the kinds of work that can be scheduled or recorded, each under a service type.
// Every function throws CdbException.
namespace ServiceCatalogue {

// The longest description or type name the dialogs take (the file's field sizes).
constexpr int DescriptionLength = 50;

struct Service
{
    qint32 id = 0;
    QString description;
    qint32 typeId = 0;
};

// Every service as "Type, Description", by type and then description.
QList<ListEntry> typedEntries(Database& db);
// Every service by its description alone, alphabetical.
QList<ListEntry> descriptions(Database& db);
// Every service type, alphabetical.
QList<ListEntry> types(Database& db);
std::optional<Service> find(Database& db, qint32 id);
// The descriptions of these keys, in the order given, skipping keys that are no longer on file.
QList<ListEntry> entriesFor(Database& db, const QList<qint32>& ids);

// Writes the service (id 0: a new one with the next key) and returns its key.
qint32 save(Database& db, const Service& service);
// A schedule entry, a schedule template or a performed or ordered service refers to it; such a service
// is kept, since keys are reused and the reference would later name another service.
bool isInUse(Database& db, qint32 id);
void remove(Database& db, qint32 id);

} // namespace ServiceCatalogue
