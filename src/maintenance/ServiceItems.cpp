#include "maintenance/ServiceItems.h"

#include "db/Database.h"

#include <QSqlQuery>

namespace ServiceItems {

namespace {

// The rows of the owner's kind; table names the column's table when the statement joins.
QString linkCondition(Owner owner, const QString& table = QString())
{
    const QString column = table.isEmpty() ? QStringLiteral("LinkInd") : table + QStringLiteral(".LinkInd");
    return owner == Owner::Maintenance ? QStringLiteral("%1 = 0").arg(column)
                                       : QStringLiteral("(%1 = 1 OR %1 = 2)").arg(column);
}

} // namespace

QString joined(const QList<ServiceItem>& items)
{
    QStringList texts;
    for (const ServiceItem& item : items)
        texts.append(item.listText());
    return texts.join(QStringLiteral(", "));
}

QList<ServiceItem> of(Database& db, qint32 ownerKey, Owner owner)
{
    QList<ServiceItem> items;
    QSqlQuery catalogue = db.prepare(
        QStringLiteral(
            "SELECT MaintServices.ServiceID, Services.ServiceDesc, MaintServices.LinkInd "
            "FROM MaintServices INNER JOIN Services ON MaintServices.ServiceID = Services.ServiceID "
            "WHERE MaintServices.MaintID = ? AND %1 ORDER BY MaintServices.rowid")
            .arg(linkCondition(owner, QStringLiteral("MaintServices"))));
    catalogue.addBindValue(ownerKey);
    db.exec(catalogue);
    while (catalogue.next())
        items.append({catalogue.value(0).toInt(), catalogue.value(1).toString(),
                      catalogue.value(2).toInt() == NotPerformed});
    QSqlQuery typed = db.prepare(QStringLiteral("SELECT ServiceDesc, LinkInd FROM MaintServicesUnexpected "
                                                "WHERE UMaintID = ? AND %1 ORDER BY rowid")
                                     .arg(linkCondition(owner)));
    typed.addBindValue(ownerKey);
    db.exec(typed);
    while (typed.next())
        items.append(
            {ServiceItem::Unexpected, typed.value(0).toString(), typed.value(1).toInt() == NotPerformed});
    return items;
}

QHash<qint32, QString> textsByOwner(Database& db, qint32 vehicleId, Owner owner)
{
    const auto vehicleCondition = [vehicleId](const QString& table) {
        return vehicleId != 0 ? QStringLiteral(" AND %1.VehicleID = ?").arg(table) : QString();
    };
    QHash<qint32, QStringList> catalogueTexts;
    QHash<qint32, QStringList> typedTexts;
    auto read = [&](const QString& sql, QHash<qint32, QStringList>& into) {
        QSqlQuery query = db.prepare(sql);
        if (vehicleId != 0)
            query.addBindValue(vehicleId);
        db.exec(query);
        while (query.next()) {
            ServiceItem item{0, query.value(1).toString(), query.value(2).toInt() == NotPerformed};
            into[query.value(0).toInt()].append(item.listText());
        }
    };
    read(QStringLiteral(
             "SELECT MaintServices.MaintID, Services.ServiceDesc, MaintServices.LinkInd "
             "FROM MaintServices INNER JOIN Services ON MaintServices.ServiceID = Services.ServiceID "
             "WHERE %1%2 ORDER BY MaintServices.rowid")
             .arg(linkCondition(owner, QStringLiteral("MaintServices")),
                  vehicleCondition(QStringLiteral("MaintServices"))),
         catalogueTexts);
    read(QStringLiteral("SELECT UMaintID, ServiceDesc, LinkInd FROM MaintServicesUnexpected WHERE %1%2 "
                        "ORDER BY rowid")
             .arg(linkCondition(owner), vehicleCondition(QStringLiteral("MaintServicesUnexpected"))),
         typedTexts);
    QHash<qint32, QString> texts;
    for (auto it = catalogueTexts.cbegin(); it != catalogueTexts.cend(); ++it)
        texts[it.key()] = (it.value() + typedTexts.value(it.key())).join(QStringLiteral(", "));
    for (auto it = typedTexts.cbegin(); it != typedTexts.cend(); ++it)
        if (!catalogueTexts.contains(it.key()))
            texts[it.key()] = it.value().join(QStringLiteral(", "));
    return texts;
}

void removeAll(Database& db, qint32 ownerKey, Owner owner)
{
    const QString condition = linkCondition(owner);
    QSqlQuery catalogue =
        db.prepare(QStringLiteral("DELETE FROM MaintServices WHERE MaintID = ? AND %1").arg(condition));
    catalogue.addBindValue(ownerKey);
    db.exec(catalogue);
    QSqlQuery typed = db.prepare(
        QStringLiteral("DELETE FROM MaintServicesUnexpected WHERE UMaintID = ? AND %1").arg(condition));
    typed.addBindValue(ownerKey);
    db.exec(typed);
}

void replace(Database& db, qint32 ownerKey, qint32 vehicleId, Owner owner, const QList<ServiceItem>& items)
{
    removeAll(db, ownerKey, owner);
    const qint16 link = owner == Owner::Maintenance ? Performed : Ordered;
    QSqlQuery catalogue = db.prepare(QStringLiteral(
        "INSERT INTO MaintServices (MaintID, ServiceID, VehicleID, LinkInd, Price) VALUES (?, ?, ?, ?, 0)"));
    QSqlQuery typed = db.prepare(QStringLiteral("INSERT INTO MaintServicesUnexpected "
                                                "(UMaintID, LinkInd, VehicleID, ServiceDesc, Price) "
                                                "VALUES (?, ?, ?, ?, 0)"));
    for (const ServiceItem& item : items) {
        if (item.isUnexpected()) {
            typed.addBindValue(ownerKey);
            typed.addBindValue(link);
            typed.addBindValue(vehicleId);
            typed.addBindValue(item.text);
            db.exec(typed);
        } else {
            catalogue.addBindValue(ownerKey);
            catalogue.addBindValue(item.serviceId);
            catalogue.addBindValue(vehicleId);
            catalogue.addBindValue(link);
            db.exec(catalogue);
        }
    }
}

std::optional<ScheduledWork> scheduledWork(Database& db, const QList<qint32>& scheduleIds)
{
    QStringList keys;
    for (qint32 key : scheduleIds)
        keys.append(QString::number(key));
    if (keys.isEmpty())
        return std::nullopt;
    QSqlQuery query = db.prepare(
        QStringLiteral(
            "SELECT Schedule.ScheduleID, Schedule.VehicleID, Schedule.ServiceID, Services.ServiceDesc, "
            "Schedule.Description, Schedule.StationID FROM Schedule INNER JOIN Services ON "
            "Schedule.ServiceID = Services.ServiceID WHERE Schedule.ScheduleID IN (%1)")
            .arg(keys.join(QLatin1Char(','))));
    db.exec(query);
    struct Entry
    {
        qint32 vehicleId;
        ServiceItem service;
        QString description;
        qint32 stationId;
    };
    QHash<qint32, Entry> found;
    while (query.next())
        found.insert(query.value(0).toInt(), {query.value(1).toInt(),
                                              {query.value(2).toInt(), query.value(3).toString()},
                                              query.value(4).toString(),
                                              query.value(5).toInt()});
    std::optional<ScheduledWork> work;
    bool sameDescription = true;
    bool sameStation = true;
    for (qint32 key : scheduleIds) {
        if (!found.contains(key))
            continue;
        const Entry& entry = found[key];
        if (!work) {
            work = ScheduledWork{entry.vehicleId, {}, entry.description, entry.stationId};
        } else {
            sameDescription = sameDescription && entry.description == work->description;
            sameStation = sameStation && entry.stationId == work->stationId;
        }
        work->services.append(entry.service);
    }
    if (work) {
        if (!sameDescription)
            work->description.clear();
        if (!sameStation || work->stationId < 0)
            work->stationId = 0;
    }
    return work;
}

} // namespace ServiceItems

QString ServiceItem::listText() const
{
    return notPerformed ? text + QStringLiteral(" (Not Performed)") : text;
}
