#include "db/LookupIndexes.h"

#include "db/Database.h"
#include "db/DatabaseCreation.h"
#include "db/DbException.h"
#include "db/Schema.h"

#include <QSet>
#include <QSqlQuery>

namespace LookupIndexes {

namespace {

LookupIndex index(const char* table, std::initializer_list<const char*> fields)
{
    LookupIndex lookup;
    lookup.table = QString::fromLatin1(table);
    for (const char* field : fields)
        lookup.fields << QString::fromLatin1(field);
    return lookup;
}

QString fieldName(const QString& orderedField)
{
    return orderedField.section(QLatin1Char(' '), 0, 0);
}

QSet<QString> existingIndexes(Database& db)
{
    QSqlQuery query = db.prepare(QStringLiteral("SELECT lower(name) FROM sqlite_master WHERE type = 'index'"));
    db.exec(query);
    QSet<QString> names;
    while (query.next())
        names.insert(query.value(0).toString());
    return names;
}

} // namespace

QString LookupIndex::name() const
{
    QStringList parts{table};
    for (const QString& field : fields)
        parts << fieldName(field);
    return parts.join(QLatin1Char('_'));
}

const std::vector<LookupIndex>& all()
{
    // No field an upgrade of an older file drops or adds is indexed, so that these never stand in an
    // upgrade's way. Per-vehicle lists in their own order, the deletes of a vehicle's rows, the newest-first walk of the
    // performed services, the latest performed occurrence per vehicle and service (read from the
    // indexes alone), the due-date scans, and the contact look-ups by name.
    static const std::vector<LookupIndex> indexes{
        index("GasLog", {"VehicleID", "Mileage", "Date"}),
        index("Maintenance", {"VehicleID", "MaintDate DESC", "ActualMiles DESC"}),
        index("Maintenance", {"MaintID", "VehicleID", "MaintDate", "ActualMiles"}),
        index("MaintServices", {"VehicleID", "ServiceID", "MaintID"}),
        index("MaintServicesUnexpected", {"VehicleID"}),
        index("Schedule", {"VehicleID", "ServiceID"}),
        index("Schedule", {"EstPerformDate"}),
        index("JobOrder", {"VehicleID", "Date"}),
        index("ContactInfo", {"LastName", "FirstName"}),
        index("ContactInfo", {"CompanyName"}),
        index("Owners", {"ContactID"}),
    };
    return indexes;
}

bool ensure(Database& db)
{
    try {
        // An older file gets them once its upgrade is through: until then its fields are not the ones named.
        if (DatabaseCreation::readVersion(db) != Schema::CurrentVersion)
            return false;
        const QSet<QString> existing = existingIndexes(db);
        std::vector<const LookupIndex*> missing;
        for (const LookupIndex& lookup : all())
            if (!existing.contains(lookup.name().toLower()))
                missing.push_back(&lookup);
        if (missing.empty())
            return true;
        bool complete = true;
        Transaction transaction(db);
        for (const LookupIndex* lookup : missing) {
            const QStringList columns = db.columnsOf(lookup->table);
            bool present = !columns.isEmpty();
            QStringList fields;
            for (const QString& field : lookup->fields) {
                present = present && columns.contains(fieldName(field).toLower());
                fields << QStringLiteral("\"%1\"%2").arg(fieldName(field), field.mid(fieldName(field).size()));
            }
            if (!present) {
                complete = false;
                continue;
            }
            db.execute(QStringLiteral("CREATE INDEX IF NOT EXISTS \"%1\" ON \"%2\" (%3)")
                           .arg(lookup->name(), lookup->table, fields.join(QStringLiteral(", "))));
        }
        transaction.commit();
        return complete;
    } catch (const CdbException&) {
        return false;
    }
}

} // namespace LookupIndexes
