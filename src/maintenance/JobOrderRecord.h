#pragma once

#include "maintenance/ServiceWork.h"

#include <QList>
#include <QString>
#include <optional>

class Database;

// One job order as its form edits it: the JobOrder row with the services ordered on it.
struct JobOrderRecord : ServiceWork
{
    // Field sizes in the file.
    static constexpr int JcnLength = 20;
    static constexpr int DescriptionLength = 50;

    QString jcn;
    bool open = true;

    static std::optional<JobOrderRecord> load(Database& db, qint32 jobOrderId);

    // Writes the row (key 0: a new one) as an open job order and replaces its services, all or nothing.
    // Returns the key. Throws CdbException.
    qint32 save(Database& db, qint32 jobOrderId) const;
};

// One row of a job order list.
struct JobOrderListRow
{
    qint32 jobOrderId = 0;
    QString date; // shown; a completed job order's date is followed by one blank
    QString jcn;
    QString description;
    QString services;
    bool open = true;
};

namespace JobOrders {

// The JCN a job order made from the left-over services of another gets.
QString carriedOverJcn(const QString& jcn);

// The job orders of a vehicle, open-only when asked; with vehicle 0, those the filter (the program's filter
// dialect) lets through. Open ones first, each part by date. Three queries whatever the number of rows.
QList<JobOrderListRow> list(Database& db, qint32 vehicleId, bool openOnly, const QString& filter = QString());

// Whether another job order (not this key) already uses the JCN.
bool jcnUsedElsewhere(Database& db, const QString& jcn, qint32 jobOrderId);

// The maintenance entry made from the job order, 0 when none.
qint32 tiedMaintenance(Database& db, qint32 jobOrderId);

// Deletes the job order with its services; a maintenance entry made from it forgets it. All or nothing.
void remove(Database& db, qint32 jobOrderId);

// The filter the Select Job Orders dialog returns: "(JobOrderID IN (1, 2))", "" for none.
QString selectionFilter(const QList<qint32>& jobOrderIds);

// A vehicle's open job orders for a pick list (JCN and key).
struct OpenJobOrder
{
    qint32 jobOrderId;
    QString jcn;
};
QList<OpenJobOrder> openOf(Database& db, qint32 vehicleId);

} // namespace JobOrders
