#include "scheduling/ServiceCatalogue.h"

#include "db/Database.h"
#include "db/sets/ServiceDescSet.h"

#include <QHash>
#include <QSqlQuery>

namespace ServiceCatalogue {

namespace {

QList<ListEntry> entries(Database& db, const QString& sql)
{
    QSqlQuery query = db.prepare(sql);
    db.exec(query);
    QList<ListEntry> list;
    while (query.next())
        list.append({query.value(0).toString(), query.value(1).toInt()});
    return list;
}

} // namespace

QList<ListEntry> typedEntries(Database& db)
{
    return entries(
        db,
        QStringLiteral("SELECT ServiceTypes.ServiceType || ', ' || Services.ServiceDesc, Services.ServiceID "
                       "FROM Services INNER JOIN ServiceTypes ON Services.ServiceTypeID = "
                       "ServiceTypes.ServiceTypeID ORDER BY ServiceTypes.ServiceType, "
                       "Services.ServiceDesc, Services.ServiceID"));
}

QList<ListEntry> descriptions(Database& db)
{
    return entries(
        db, QStringLiteral("SELECT ServiceDesc, ServiceID FROM Services ORDER BY ServiceDesc, ServiceID"));
}

QList<ListEntry> types(Database& db)
{
    return entries(db,
                   QStringLiteral("SELECT ServiceType, ServiceTypeID FROM ServiceTypes ORDER BY ServiceType, "
                                  "ServiceTypeID"));
}

std::optional<Service> find(Database& db, qint32 id)
{
    QSqlQuery query =
        db.prepare(QStringLiteral("SELECT ServiceDesc, ServiceTypeID FROM Services WHERE ServiceID = ?"));
    query.addBindValue(id);
    db.exec(query);
    if (!query.next())
        return std::nullopt;
    return Service{id, query.value(0).toString(), query.value(1).toInt()};
}

QList<ListEntry> entriesFor(Database& db, const QList<qint32>& ids)
{
    QHash<qint32, QString> all;
    for (const ListEntry& entry : descriptions(db))
        all.insert(entry.key, entry.text);
    QList<ListEntry> found;
    for (qint32 id : ids)
        if (all.contains(id))
            found.append({all.value(id), id});
    return found;
}

qint32 save(Database& db, const Service& service)
{
    CServiceDescSet set(db);
    qint32 id = service.id;
    if (id == 0) {
        id = set.nextIdentifier();
        set.open();
        set.addNew();
        set.m_ServiceID = id;
    } else {
        set.m_strFilter = QStringLiteral("ServiceID = %1").arg(id);
        set.open();
        if (set.isEOF()) {
            set.addNew();
            set.m_ServiceID = id;
        } else {
            set.edit();
        }
    }
    set.m_ServiceDesc = service.description;
    set.m_ServiceTypeID = service.typeId;
    set.update();
    set.close();
    return id;
}

bool isInUse(Database& db, qint32 id)
{
    const QString sql = QStringLiteral("SELECT EXISTS (SELECT 1 FROM Schedule WHERE ServiceID = %1) OR "
                                       "EXISTS (SELECT 1 FROM MaintServices WHERE ServiceID = %1) OR "
                                       "EXISTS (SELECT 1 FROM ScheduleTemplate WHERE ServiceID = %1)")
                            .arg(id);
    return db.scalar(sql).toInt() != 0;
}

void remove(Database& db, qint32 id)
{
    db.execute(QStringLiteral("DELETE FROM Services WHERE ServiceID = %1").arg(id));
}

} // namespace ServiceCatalogue
