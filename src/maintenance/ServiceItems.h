#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <optional>

class Database;

// One service on a maintenance entry or a job order: a catalogue service, or one typed as free text.
struct ServiceItem
{
    static constexpr qint32 Unexpected = -1;

    qint32 serviceId = Unexpected;
    QString text; // the catalogue description, or the typed text
    bool notPerformed = false;

    bool isUnexpected() const { return serviceId < 0; }
    // As lists show it: ordered services that were not done say so.
    QString listText() const;
    bool operator==(const ServiceItem&) const = default;
};

// The service rows of MaintServices and MaintServicesUnexpected. Their LinkInd says whose they are: a
// maintenance entry's performed services, or a job order's ordered (or ordered and not performed) ones.
namespace ServiceItems {

enum LinkInd : qint16 { Performed = 0, Ordered = 1, NotPerformed = 2 };
enum class Owner { Maintenance, JobOrder };

// The owner's services: catalogue services, then typed ones, each in the order they were written.
QList<ServiceItem> of(Database& db, qint32 ownerKey, Owner owner);

// The list texts joined by ", ".
QString joined(const QList<ServiceItem>& items);

// The joined services of every owner of the vehicle (0: of every vehicle) by owner key, in two queries.
QHash<qint32, QString> textsByOwner(Database& db, qint32 vehicleId, Owner owner);

// Removes the owner's rows and writes the items in order (a job order's as ordered, an entry's as
// performed). The caller holds the transaction.
void replace(Database& db, qint32 ownerKey, qint32 vehicleId, Owner owner, const QList<ServiceItem>& items);

// Removes the owner's rows.
void removeAll(Database& db, qint32 ownerKey, Owner owner);

// The work a set of schedule entries stands for: their vehicle (that of the first), their services in the
// order given, and the description and service station they all share (empty and 0 when they differ).
struct ScheduledWork
{
    qint32 vehicleId = 0;
    QList<ServiceItem> services;
    QString description;
    qint32 stationId = 0;
};
// Nothing when none of the entries exists. One query.
std::optional<ScheduledWork> scheduledWork(Database& db, const QList<qint32>& scheduleIds);

} // namespace ServiceItems
