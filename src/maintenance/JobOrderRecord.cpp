#include "maintenance/JobOrderRecord.h"

#include "db/Database.h"
#include "db/SqlText.h"
#include "db/Values.h"
#include "db/sets/JobOrderSet.h"

#include <QSqlQuery>

std::optional<JobOrderRecord> JobOrderRecord::load(Database& db, qint32 jobOrderId)
{
    CJobOrderSet set(db);
    if (!find(set, QStringLiteral("JobOrderID"), jobOrderId))
        return std::nullopt;
    JobOrderRecord record;
    record.read(db, set, set.m_Date, jobOrderId, ServiceItems::Owner::JobOrder);
    record.jcn = set.m_JCN;
    record.open = set.m_OpenInd;
    return record;
}

qint32 JobOrderRecord::save(Database& db, qint32 jobOrderId) const
{
    Transaction transaction(db);
    CJobOrderSet set(db);
    jobOrderId = write(set, QStringLiteral("JobOrderID"), jobOrderId, *this);
    set.m_JobOrderID = jobOrderId;
    set.m_Date = date;
    set.m_JCN = jcn;
    set.m_OpenInd = true;
    set.update();
    ServiceItems::replace(db, jobOrderId, vehicleId, ServiceItems::Owner::JobOrder, services);
    transaction.commit();
    return jobOrderId;
}

namespace JobOrders {

QString carriedOverJcn(const QString& jcn)
{
    const QString suffix = QStringLiteral("-NEW");
    if (jcn.endsWith(suffix))
        return jcn;
    return jcn.size() < 17 ? jcn + suffix : jcn.left(16) + suffix;
}

QList<JobOrderListRow> list(Database& db, qint32 vehicleId, bool openOnly, const QString& filter)
{
    CJobOrderSet set(db);
    if (vehicleId != 0) {
        set.m_strFilter = QStringLiteral("VehicleID = %1").arg(vehicleId);
        if (openOnly)
            set.m_strFilter += QStringLiteral(" AND OpenInd = TRUE");
    } else {
        set.m_strFilter = filter;
    }
    set.m_strSort = QStringLiteral("OpenInd Asc, Date Asc");
    set.open();
    const QHash<qint32, QString> services =
        ServiceItems::textsByOwner(db, vehicleId, ServiceItems::Owner::JobOrder);
    QList<JobOrderListRow> rows;
    for (; !set.isEOF(); set.moveNext()) {
        JobOrderListRow row;
        row.jobOrderId = set.m_JobOrderID;
        row.date = Values::toShownDate(set.m_Date);
        if (!set.m_OpenInd)
            row.date += QLatin1Char(' ');
        row.jcn = set.m_JCN;
        row.description = set.m_Description;
        row.services = services.value(set.m_JobOrderID);
        row.open = set.m_OpenInd;
        rows.append(row);
    }
    return rows;
}

bool jcnUsedElsewhere(Database& db, const QString& jcn, qint32 jobOrderId)
{
    return !db.scalar(QStringLiteral("SELECT 1 FROM JobOrder WHERE JCN = %1 AND JobOrderID <> %2 LIMIT 1")
                          .arg(SqlText::literal(jcn))
                          .arg(jobOrderId))
                .isNull();
}

qint32 tiedMaintenance(Database& db, qint32 jobOrderId)
{
    if (jobOrderId <= 0)
        return 0;
    return db
        .scalar(
            QStringLiteral("SELECT MaintID FROM Maintenance WHERE JobOrderID = %1 LIMIT 1").arg(jobOrderId))
        .toInt();
}

void remove(Database& db, qint32 jobOrderId)
{
    Transaction transaction(db);
    db.execute(QStringLiteral("UPDATE Maintenance SET JobOrderID = 0 WHERE JobOrderID = %1").arg(jobOrderId));
    ServiceItems::removeAll(db, jobOrderId, ServiceItems::Owner::JobOrder);
    db.execute(QStringLiteral("DELETE FROM JobOrder WHERE JobOrderID = %1").arg(jobOrderId));
    transaction.commit();
}

QString selectionFilter(const QList<qint32>& jobOrderIds)
{
    if (jobOrderIds.isEmpty())
        return {};
    QStringList keys;
    for (qint32 key : jobOrderIds)
        keys.append(QString::number(key));
    return QStringLiteral("(JobOrderID IN (%1))").arg(keys.join(QStringLiteral(", ")));
}

QList<OpenJobOrder> openOf(Database& db, qint32 vehicleId)
{
    QSqlQuery query = db.prepare(QStringLiteral("SELECT JobOrderID, JCN FROM JobOrder WHERE VehicleID = ? "
                                                "AND OpenInd <> 0 ORDER BY Date, JobOrderID"));
    query.addBindValue(vehicleId);
    db.exec(query);
    QList<OpenJobOrder> list;
    while (query.next())
        list.append({query.value(0).toInt(), query.value(1).toString()});
    return list;
}

} // namespace JobOrders
