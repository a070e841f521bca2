#include "maintenance/MaintenanceDemo.h"

#include "db/Clock.h"
#include "db/Database.h"
#include "db/SqlText.h"
#include "maintenance/JobOrderRecord.h"
#include "maintenance/MaintenanceRecord.h"

namespace MaintenanceDemo {

namespace {

QString storedDaysAgo(int days)
{
    return Clock::today().addDays(-days).toString(QStringLiteral("yyyyMMdd"));
}

qint32 keyOf(Database& db, const QString& sql, const QString& value)
{
    return db.scalar(sql.arg(SqlText::literal(value))).toInt();
}

ServiceItem service(Database& db, const char* description)
{
    const QString text = QString::fromLatin1(description);
    const qint32 id =
        keyOf(db, QStringLiteral("SELECT ServiceID FROM Services WHERE ServiceDesc = %1"), text);
    return id > 0 ? ServiceItem{id, text} : ServiceItem{ServiceItem::Unexpected, text};
}

ServiceItem typed(const char* description)
{
    return {ServiceItem::Unexpected, QString::fromLatin1(description)};
}

} // namespace

void fill(Database& db)
{
    const QString vehicleByNumber = QStringLiteral("SELECT VehicleID FROM Vehicles WHERE VehicleNo = %1");
    const QString companyByName =
        QStringLiteral("SELECT ContactID FROM ContactInfo WHERE ContactType = 4 AND CompanyName = %1");
    const qint32 van12 = keyOf(db, vehicleByNumber, QStringLiteral("Van 12"));
    const qint32 van14 = keyOf(db, vehicleByNumber, QStringLiteral("Van 14"));
    const qint32 civic = keyOf(db, QStringLiteral("SELECT VehicleID FROM Vehicles WHERE VehicleModel = %1"),
                               QStringLiteral("Civic"));
    const qint32 bridgeport = keyOf(db, companyByName, QStringLiteral("Bridgeport Fleet Service"));
    const qint32 maple = keyOf(db, companyByName, QStringLiteral("Maple Avenue Auto Care"));
    if (van12 == 0 || van14 == 0 || civic == 0)
        return;

    struct Entry
    {
        qint32 vehicle;
        int daysAgo;
        qint32 reading;
        qint32 station;
        const char* description;
        double price;
        QList<ServiceItem> services;
    };
    // The readings follow each vehicle's use per month, so that they keep their order with the sample
    // fill-ups of the same days.
    const Entry history[] = {
        {van12,
         380,
         31500,
         bridgeport,
         "Annual service",
         268.40,
         {service(db, "Oil/Filter Change"), service(db, "Air Filter Replaced"),
          service(db, "Brake Inspection"), service(db, "Fluid Levels Check")}},
        {van12,
         200,
         46900,
         bridgeport,
         "Oil change",
         89.95,
         {service(db, "Oil/Filter Change"), service(db, "Tire Rotation")}},
        {van12,
         110,
         54100,
         bridgeport,
         "Oil change, new wipers",
         121.30,
         {service(db, "Oil/Filter Change"), service(db, "Wiper Replacement"),
          typed("Replace cracked mirror glass")}},
        {van14,
         150,
         36600,
         bridgeport,
         "Oil change",
         92.10,
         {service(db, "Oil/Filter Change"), service(db, "Lighting Check")}},
        {civic,
         240,
         141200,
         maple,
         "Oil and tires",
         149.00,
         {service(db, "Oil/Filter Change"), service(db, "Tire Rotation")}},
        {civic, 60, 147150, maple, "Oil change", 54.75, {service(db, "Oil/Filter Change")}},
    };
    for (const Entry& entry : history) {
        MaintenanceRecord record;
        record.vehicleId = entry.vehicle;
        record.date = storedDaysAgo(entry.daysAgo);
        record.reading = entry.reading;
        record.stationId = entry.station;
        record.description = QString::fromLatin1(entry.description);
        record.totalPrice = entry.price;
        record.services = entry.services;
        MaintenanceEntries::save(db, 0, record);
    }

    // A job order done three weeks ago; the front brake pads were not changed after all.
    JobOrderRecord done;
    done.vehicleId = van12;
    done.stationId = bridgeport;
    done.jcn = QStringLiteral("HB-2231");
    done.date = storedDaysAgo(24);
    done.description = QStringLiteral("60,000 mile service");
    done.memo = QStringLiteral("Van needed back by Friday.");
    done.services = {service(db, "Oil/Filter Change"), service(db, "Spark Plugs Replaced"),
                     service(db, "Transmission Fluid/Filter Change"), typed("Replace front brake pads")};
    const qint32 doneId = done.save(db, 0);
    MaintenanceRecord fromOrder;
    fromOrder.vehicleId = van12;
    fromOrder.date = storedDaysAgo(21);
    fromOrder.reading = 61250;
    fromOrder.stationId = bridgeport;
    fromOrder.description = done.description;
    fromOrder.totalPrice = 412.75;
    fromOrder.memo = QStringLiteral("Brake pads at 40%, to be changed at the next visit.");
    fromOrder.jobOrderId = doneId;
    fromOrder.services = {done.services[0], done.services[1], done.services[2]};
    MaintenanceEntries::save(db, 0, fromOrder, doneId, MaintenanceEntries::LeftOver::MarkNotPerformed);

    // Still open at the fleet's service station.
    JobOrderRecord open;
    open.vehicleId = van14;
    open.stationId = bridgeport;
    open.jcn = QStringLiteral("HB-2240");
    open.date = storedDaysAgo(2);
    open.description = QStringLiteral("Brakes squeal at low speed");
    open.services = {service(db, "Brake Inspection"), service(db, "Tire Rotation"),
                     typed("Check rear door seal")};
    open.save(db, 0);
}

} // namespace MaintenanceDemo
