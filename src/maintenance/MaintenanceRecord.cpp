#include "maintenance/MaintenanceRecord.h"

#include "db/Database.h"
#include "db/Values.h"
#include "db/sets/JobOrderSet.h"
#include "db/sets/MaintenanceSet.h"
#include "db/sets/VehicleSet.h"
#include "fleet/Chronology.h"
#include "fleet/ReadingEstimate.h"
#include "maintenance/JobOrderRecord.h"
#include "maintenance/MaintenanceMessages.h"
#include "scheduling/Estimation.h"

#include <QSqlQuery>

std::optional<MaintenanceRecord> MaintenanceRecord::load(Database& db, qint32 maintId)
{
    CMaintenanceSet set(db);
    if (!find(set, QStringLiteral("MaintID"), maintId))
        return std::nullopt;
    MaintenanceRecord record;
    record.read(db, set, set.m_MaintDate, maintId, ServiceItems::Owner::Maintenance);
    record.reading = set.m_ActualMiles;
    record.totalPrice = set.m_TotalPrice;
    record.jobOrderId = set.m_JobOrderID;
    return record;
}

namespace MaintenanceEntries {

namespace {

// The vehicle's schedule entries for these catalogue services: key and one-time flag, in one query.
QList<std::pair<qint32, bool>> scheduleEntriesFor(Database& db, qint32 vehicleId,
                                                  const QList<ServiceItem>& items)
{
    QStringList services;
    for (const ServiceItem& item : items)
        if (!item.isUnexpected())
            services.append(QString::number(item.serviceId));
    QList<std::pair<qint32, bool>> entries;
    if (services.isEmpty())
        return entries;
    QSqlQuery query =
        db.prepare(QStringLiteral("SELECT ScheduleID, PerformOnce FROM Schedule WHERE VehicleID = ? "
                                  "AND ServiceID IN (%1) ORDER BY ScheduleID")
                       .arg(services.join(QLatin1Char(','))));
    query.addBindValue(vehicleId);
    db.exec(query);
    while (query.next())
        entries.append({query.value(0).toInt(), query.value(1).toInt() == 1});
    return entries;
}

// Records the entry as the vehicle's actual reading when it is more recent than the one on file.
bool moveReading(Database& db, qint32 vehicleId, const QString& date, qint32 reading)
{
    CVehicleSet vehicle(db);
    vehicle.m_strFilter = QStringLiteral("VehicleID = %1").arg(vehicleId);
    vehicle.open();
    if (vehicle.isEOF())
        return false;
    const int order = vehicle.m_DateOfActualMiles.compare(date);
    if (order > 0 || (order == 0 && vehicle.m_EntryOfActualMiles >= reading))
        return false;
    vehicle.edit();
    ReadingEstimate::recordActualReading(vehicle, reading, date);
    vehicle.update();
    return true;
}

void bindAndRun(Database& db, const QString& sql, const QVariantList& values)
{
    QSqlQuery query = db.prepare(sql);
    for (const QVariant& value : values)
        query.addBindValue(value);
    db.exec(query);
}

// The job order's left-over services: carried over to a new job order, or marked as not performed.
QString followUp(Database& db, qint32 jobOrderId, const QList<ServiceItem>& leftOver, LeftOver choice)
{
    QString newJcn;
    qint32 target = jobOrderId;
    if (!leftOver.isEmpty() && choice == LeftOver::NewJobOrder) {
        CJobOrderSet orders(db);
        orders.m_strFilter = QStringLiteral("JobOrderID = %1").arg(jobOrderId);
        orders.open();
        if (!orders.isEOF()) {
            const qint32 station = orders.m_StationID;
            const qint32 vehicle = orders.m_VehicleID;
            const QString description = orders.m_Description;
            const QString memo = orders.m_Memo;
            const QString date = orders.m_Date;
            newJcn = JobOrders::carriedOverJcn(orders.m_JCN);
            target = orders.nextIdentifier();
            orders.addNew();
            orders.m_JobOrderID = target;
            orders.m_StationID = station;
            orders.m_VehicleID = vehicle;
            orders.m_Description = description;
            orders.m_Memo = memo;
            orders.m_Date = date;
            orders.m_JCN = newJcn;
            orders.m_OpenInd = true;
            orders.update();
        }
    }
    for (const ServiceItem& item : leftOver) {
        const qint32 owner = target;
        const int link = target == jobOrderId ? ServiceItems::NotPerformed : ServiceItems::Ordered;
        if (item.isUnexpected())
            bindAndRun(db,
                       QStringLiteral("UPDATE MaintServicesUnexpected SET UMaintID = ?, LinkInd = ? WHERE "
                                      "UMaintID = ? AND ServiceDesc = ? AND LinkInd = 1"),
                       {owner, link, jobOrderId, item.text});
        else
            bindAndRun(
                db,
                QStringLiteral("UPDATE MaintServices SET MaintID = ?, LinkInd = ? WHERE MaintID = ? AND "
                               "ServiceID = ? AND LinkInd = 1"),
                {owner, link, jobOrderId, item.serviceId});
    }
    db.execute(QStringLiteral("UPDATE JobOrder SET OpenInd = 0 WHERE JobOrderID = %1").arg(jobOrderId));
    return newJcn;
}

} // namespace

QList<MaintenanceListRow> list(Database& db, qint32 vehicleId)
{
    QSqlQuery query =
        db.prepare(QStringLiteral("SELECT MaintID, ActualMiles, MaintDate, Description FROM "
                                  "Maintenance WHERE VehicleID = ? ORDER BY ActualMiles, MaintDate"));
    query.addBindValue(vehicleId);
    db.exec(query);
    const QHash<qint32, QString> services =
        ServiceItems::textsByOwner(db, vehicleId, ServiceItems::Owner::Maintenance);
    QList<MaintenanceListRow> rows;
    while (query.next()) {
        MaintenanceListRow row;
        row.maintId = query.value(0).toInt();
        row.reading = Values::withThousands(query.value(1).toLongLong());
        row.date = Values::toShownDate(query.value(2).toString());
        row.description = query.value(3).toString();
        row.services = services.value(row.maintId);
        rows.append(row);
    }
    return rows;
}

std::optional<QString> chronologyProblem(Database& db, qint32 vehicleId, const QString& storedDate,
                                         qint32 reading, qint32 maintId, const QString& readingLabel)
{
    const std::optional<Chronology::Conflict> conflict = Chronology::findConflict(
        db, vehicleId, storedDate, reading, Chronology::EntryKind::Maintenance, maintId);
    if (!conflict)
        return std::nullopt;
    const QString date = Values::toShownDate(conflict->date);
    const QString other = Values::withThousands(conflict->reading);
    if (conflict->kind == Chronology::EntryKind::Gas)
        return MaintenanceMessages::GasConflict.arg(date, other);
    return MaintenanceMessages::MaintenanceConflict.arg(readingLabel, date, other);
}

QList<ServiceItem> leftOverServices(Database& db, qint32 jobOrderId, const QList<ServiceItem>& performed)
{
    QList<ServiceItem> leftOver;
    if (jobOrderId <= 0)
        return leftOver;
    for (const ServiceItem& ordered : ServiceItems::of(db, jobOrderId, ServiceItems::Owner::JobOrder)) {
        if (ordered.notPerformed)
            continue;
        const bool done = std::any_of(performed.begin(), performed.end(), [&](const ServiceItem& item) {
            return ordered.isUnexpected()
                       ? item.isUnexpected() && item.text.compare(ordered.text, Qt::CaseInsensitive) == 0
                       : item.serviceId == ordered.serviceId;
        });
        if (!done)
            leftOver.append(ordered);
    }
    return leftOver;
}

Saved save(Database& db, qint32 maintId, const MaintenanceRecord& record, qint32 followUpJobOrder,
           LeftOver leftOverChoice)
{
    Saved saved;
    const QList<ServiceItem> leftOver = leftOverServices(db, followUpJobOrder, record.services);
    Transaction transaction(db);
    CMaintenanceSet set(db);
    maintId = ServiceWork::write(set, QStringLiteral("MaintID"), maintId, record);
    set.m_MaintID = maintId;
    set.m_ActualMiles = record.reading;
    set.m_TotalPrice = record.totalPrice;
    set.m_MaintDate = record.date;
    set.m_JobOrderID = record.jobOrderId;
    set.update();
    saved.maintId = maintId;

    saved.readingMoved = moveReading(db, record.vehicleId, record.date, record.reading);
    ServiceItems::replace(db, maintId, record.vehicleId, ServiceItems::Owner::Maintenance, record.services);
    for (const auto& [scheduleId, oneTime] : scheduleEntriesFor(db, record.vehicleId, record.services)) {
        if (oneTime)
            db.execute(QStringLiteral("DELETE FROM Schedule WHERE ScheduleID = %1").arg(scheduleId));
        else
            Estimation::reestimateEntry(db, scheduleId);
    }
    if (followUpJobOrder > 0)
        saved.newJcn = followUp(db, followUpJobOrder, leftOver, leftOverChoice);
    transaction.commit();
    return saved;
}

void remove(Database& db, qint32 maintId)
{
    const std::optional<MaintenanceRecord> record = MaintenanceRecord::load(db, maintId);
    if (!record)
        return;
    Transaction transaction(db);
    if (record->jobOrderId > 0) {
        const qint32 order = record->jobOrderId;
        db.execute(QStringLiteral("UPDATE JobOrder SET OpenInd = -1 WHERE JobOrderID = %1").arg(order));
        db.execute(
            QStringLiteral("UPDATE MaintServices SET LinkInd = 1 WHERE VehicleID = %1 AND LinkInd = 2 AND "
                           "MaintID = %2")
                .arg(record->vehicleId)
                .arg(order));
        db.execute(QStringLiteral("UPDATE MaintServicesUnexpected SET LinkInd = 1 WHERE VehicleID = %1 AND "
                                  "LinkInd = 2 AND UMaintID = %2")
                       .arg(record->vehicleId)
                       .arg(order));
    }
    db.execute(QStringLiteral("DELETE FROM Maintenance WHERE MaintID = %1").arg(maintId));
    ServiceItems::removeAll(db, maintId, ServiceItems::Owner::Maintenance);
    for (const auto& entry : scheduleEntriesFor(db, record->vehicleId, record->services))
        Estimation::reestimateEntry(db, entry.first);
    transaction.commit();
}

} // namespace MaintenanceEntries
