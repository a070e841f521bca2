#pragma once

#include "maintenance/ServiceWork.h"

#include <QList>
#include <QString>
#include <optional>

class Database;

// One maintenance entry as its form edits it: the Maintenance row with the services performed.
struct MaintenanceRecord : ServiceWork
{
    qint32 reading = 0;
    double totalPrice = 0.0;
    qint32 jobOrderId = 0;

    static std::optional<MaintenanceRecord> load(Database& db, qint32 maintId);
};

// One row of a vehicle's entry list.
struct MaintenanceListRow
{
    qint32 maintId = 0;
    QString reading; // with its thousands separator
    QString date;    // shown
    QString description;
    QString services;
};

namespace MaintenanceEntries {

// The vehicle's entries by reading, then date; three queries whatever their number.
QList<MaintenanceListRow> list(Database& db, qint32 vehicleId);

// The services ordered on the job order that the entry's services leave out (typed ones compared without
// regard to case, as the file compares them).
QList<ServiceItem> leftOverServices(Database& db, qint32 jobOrderId, const QList<ServiceItem>& performed);

// The message refusing a reading on a date (stored) because another maintenance or gas entry of the vehicle
// puts them out of order; nothing when they are in order. maintId is the entry checked (0: a new one);
// readingLabel is the reading's label ("Mileage", "Kilometers", "Hours").
std::optional<QString> chronologyProblem(Database& db, qint32 vehicleId, const QString& storedDate,
                                         qint32 reading, qint32 maintId, const QString& readingLabel);

// What becomes of a job order's services that were not performed.
enum class LeftOver { MarkNotPerformed, NewJobOrder };

struct Saved
{
    qint32 maintId = 0;
    // The entry became the vehicle's actual reading.
    bool readingMoved = false;
    // The JCN of the job order made for the left-over services, empty when none was made.
    QString newJcn;
};

// Writes the entry (key 0: a new one) with its performed services; moves the vehicle's actual reading when
// the entry is more recent; removes one-time schedule entries of the services performed and re-estimates
// the others; when the entry is made from the job order followUpJobOrder (0: none), deals with that job
// order's left-over services as told and completes it. All or nothing; throws CdbException.
Saved save(Database& db, qint32 maintId, const MaintenanceRecord& record, qint32 followUpJobOrder = 0,
           LeftOver leftOver = LeftOver::MarkNotPerformed);

// Deletes the entry and its performed services, reopens the job order it was made from, and re-estimates
// the schedule entries of its services from the occurrence before. The vehicle's reading stays. All or
// nothing; throws CdbException.
void remove(Database& db, qint32 maintId);

} // namespace MaintenanceEntries
