#include "scheduling/ScheduleTemplates.h"

#include "db/Database.h"
#include "db/Values.h"
#include "db/sets/ScheduleSet.h"
#include "db/sets/ScheduleTemplateNamesSet.h"
#include "scheduling/Estimation.h"

#include <QSqlQuery>

namespace ScheduleTemplates {

QList<ListEntry> names(Database& db)
{
    QSqlQuery query =
        db.prepare(QStringLiteral("SELECT TemplateName, ScheduleTemplateID FROM ScheduleTemplateNames ORDER "
                                  "BY TemplateName, ScheduleTemplateID"));
    db.exec(query);
    QList<ListEntry> list;
    while (query.next())
        list.append({query.value(0).toString(), query.value(1).toInt()});
    return list;
}

bool nameInUse(Database& db, const QString& name, qint32 exceptId)
{
    QSqlQuery query = db.prepare(QStringLiteral(
        "SELECT count(*) FROM ScheduleTemplateNames WHERE TemplateName = ? AND ScheduleTemplateID <> ?"));
    query.addBindValue(name);
    query.addBindValue(exceptId);
    db.exec(query);
    return query.next() && query.value(0).toInt() > 0;
}

qint32 create(Database& db, const QString& name, qint32 vehicleId)
{
    Transaction transaction(db);
    CScheduleTemplateNamesSet names(db);
    const qint32 id = names.nextIdentifier();
    names.m_strFilter = QStringLiteral("ScheduleTemplateID = %1").arg(id);
    names.open();
    names.addNew();
    names.m_ScheduleTemplateID = id;
    names.m_TemplateName = name;
    names.update();
    names.close();
    QSqlQuery copy = db.prepare(QStringLiteral(
        "INSERT INTO ScheduleTemplate (ScheduleTemplateID, ServiceID, Description, StationID, PerformOnce, "
        "PerformEveryMiles, PerformEveryMonth, PerformEveryDay) SELECT ?, ServiceID, Description, StationID, "
        "PerformOnce, PerformEveryMiles, PerformEveryMonth, PerformEveryDay FROM Schedule WHERE VehicleID = "
        "? "
        "GROUP BY ServiceID"));
    copy.addBindValue(id);
    copy.addBindValue(vehicleId);
    db.exec(copy);
    transaction.commit();
    return id;
}

void rename(Database& db, qint32 templateId, const QString& name)
{
    CScheduleTemplateNamesSet names(db);
    names.m_strFilter = QStringLiteral("ScheduleTemplateID = %1").arg(templateId);
    names.open();
    if (names.isEOF())
        return;
    names.edit();
    names.m_TemplateName = name;
    names.update();
}

void remove(Database& db, qint32 templateId)
{
    Transaction transaction(db);
    db.execute(
        QStringLiteral("DELETE FROM ScheduleTemplateNames WHERE ScheduleTemplateID = %1").arg(templateId));
    db.execute(QStringLiteral("DELETE FROM ScheduleTemplate WHERE ScheduleTemplateID = %1").arg(templateId));
    transaction.commit();
}

int apply(Database& db, qint32 templateId, qint32 vehicleId)
{
    Transaction transaction(db);
    QSqlQuery missing = db.prepare(QStringLiteral(
        "SELECT ServiceID, Description, StationID, PerformOnce, PerformEveryMiles, PerformEveryMonth, "
        "PerformEveryDay FROM ScheduleTemplate WHERE ScheduleTemplateID = ? AND ServiceID NOT IN "
        "(SELECT ServiceID FROM Schedule WHERE VehicleID = ?) ORDER BY ServiceID"));
    missing.addBindValue(templateId);
    missing.addBindValue(vehicleId);
    db.exec(missing);
    CScheduleSet schedule(db);
    qint32 next = schedule.nextIdentifier();
    schedule.m_strFilter = QStringLiteral("ScheduleID = 0");
    schedule.open();
    QList<qint32> added;
    const QString today = Values::todayStored();
    while (missing.next()) {
        schedule.addNew();
        schedule.m_ScheduleID = next;
        schedule.m_VehicleID = vehicleId;
        schedule.m_ServiceID = missing.value(0).toInt();
        schedule.m_Description = missing.value(1).toString();
        schedule.m_StationID = missing.value(2).toInt();
        schedule.m_PerformOnce = qint16(missing.value(3).toInt());
        schedule.m_PerformEveryMiles = missing.value(4).toInt();
        schedule.m_PerformEveryMonth = missing.value(5).toInt();
        schedule.m_PerformEveryDay = qint16(missing.value(6).toInt());
        schedule.m_LastMiles = 0;
        schedule.m_LastDate = today;
        schedule.m_EstPerformDate.clear();
        schedule.update();
        added.append(next++);
    }
    missing.finish();
    schedule.close();
    for (qint32 scheduleId : std::as_const(added))
        Estimation::reestimateEntry(db, scheduleId);
    transaction.commit();
    return int(added.size());
}

} // namespace ScheduleTemplates
