#include "fleet/VehicleList.h"
#include "fleet/VehicleListColumns.h"

#include "db/Database.h"
#include "db/Values.h"

#include <QSqlQuery>

namespace VehicleList {

const QStringList& fieldNames()
{
    static const QStringList names = {
        QStringLiteral("Vehicle Year"),      QStringLiteral("Vehicle Make"),
        QStringLiteral("Vehicle Model"),     QStringLiteral("Vehicle VIN"),
        QStringLiteral("Vehicle License"),   QStringLiteral("Vehicle No"),
        QStringLiteral("Company Name"),      QStringLiteral("Location/Store ID"),
        QStringLiteral("Contact Last Name"), QStringLiteral("Contact First Name"),
    };
    return names;
}

namespace {

bool isYearMakeModel(int field)
{
    return field == Year || field == Make || field == Model;
}

QString withoutTrailingBlanks(QString text)
{
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    return text;
}

} // namespace

QString itemText(const QList<int>& fieldSlots, const Entry& entry)
{
    QString text;
    int previous = -1;
    for (int field : fieldSlots) {
        if (field >= 0 && field <= 9) {
            const QString value = withoutTrailingBlanks(entry.values[field]);
            if (!value.isEmpty()) {
                if (!text.isEmpty()) {
                    const bool blank = (isYearMakeModel(field) && isYearMakeModel(previous)) ||
                                       (field == ContactLastName && previous == ContactFirstName);
                    text += blank ? QStringLiteral(" ") : QStringLiteral(", ");
                }
                text += value;
            }
        }
        // The separator looks at the slot before, filled or not.
        previous = field;
    }
    return text;
}

QString entryColumns()
{
    return QStringLiteral(
        "Vehicles.VehicleID, VehicleYear, VehicleMake, VehicleModel, VehicleVIN, VehicleLicense, VehicleNo, "
        "ContactInfo.CompanyName, Owners.LocationID, ContactInfo.LastName, ContactInfo.FirstName");
}

QString ownerJoins()
{
    return QStringLiteral("LEFT JOIN ContactInfo ON Owners.ContactID = ContactInfo.ContactID");
}

Entry readEntry(const QSqlQuery& query, int first)
{
    Entry entry;
    entry.vehicleId = query.value(first).toInt();
    for (int field = 0; field < 10; ++field)
        entry.values[field] = query.value(first + field + 1).toString();
    // Owner company names keep their apostrophes as backquotes in the file only.
    entry.values[CompanyName] = Values::toShownQuotes(entry.values[CompanyName]);
    return entry;
}

std::vector<Entry> entries(Database& db, qint32 ownerId)
{
    QString sql = QStringLiteral("SELECT ") + entryColumns() +
                  QStringLiteral(" FROM Vehicles INNER JOIN Owners ON Vehicles.OwnerID = Owners.OwnerID ") +
                  ownerJoins();
    if (ownerId != 0)
        sql += QStringLiteral(" WHERE Vehicles.OwnerID = ?");
    sql += QStringLiteral(" ORDER BY Vehicles.rowid");
    QSqlQuery query = db.prepare(sql);
    if (ownerId != 0)
        query.addBindValue(ownerId);
    db.exec(query);
    std::vector<Entry> all;
    while (query.next())
        all.push_back(readEntry(query, 0));
    return all;
}

std::vector<Item> items(Database& db, const QList<int>& fieldSlots, qint32 ownerId)
{
    std::vector<Item> list;
    for (const Entry& entry : entries(db, ownerId))
        list.push_back({entry.vehicleId, itemText(fieldSlots, entry)});
    return list;
}

} // namespace VehicleList
