#include "DataRows.h"
#include "TestEnvironment.h"
#include "db/Clock.h"
#include "db/Database.h"
#include "db/DbException.h"
#include "db/Messages.h"
#include "db/sets/ContactInfoSet.h"
#include "db/sets/VehicleSet.h"
#include "fleet/Chronology.h"
#include "fleet/ContactKind.h"
#include "fleet/ContactOperations.h"
#include "fleet/OwnerRecord.h"
#include "fleet/ReadingEstimate.h"
#include "fleet/RecordDeletion.h"
#include "fleet/VehicleList.h"
#include "fleet/VehicleRecord.h"

#include <QTest>

#include <algorithm>

using Chronology::EntryKind;
using VehicleChecks::PurchaseField;

namespace {

// Today in these tests is 03/20/2024.
QString daysAgo(int days)
{
    return QDate(2024, 3, 20).addDays(-days).toString("yyyyMMdd");
}

VehicleRecord car(qint32 reading, qint32 perMonth, int readingDaysAgo)
{
    VehicleRecord record = VehicleRecord::newVehicle();
    record.ownerId = 1;
    record.year = "2012";
    record.make = "Honda";
    record.reading = reading;
    record.perMonth = perMonth;
    record.actualDate = daysAgo(readingDaysAgo);
    return record;
}

} // namespace

// The fleet's records without their forms: a vehicle's record, its reading brought forward, its list entry
// and the order of its dated readings, and the contacts of owners and companies. A fresh database per test;
// today is 03/20/2024.
class FleetRecordsTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<Database> db;

    QString row()
    {
        return value("SELECT EntryOfActualMiles || ' ' || DateOfActualMiles || ' ' || DateOfEstimatedMiles "
                     "FROM Vehicles WHERE VehicleID = 1");
    }
    int count(const QString& sql) { return db->scalar(sql).toInt(); }
    QString value(const QString& sql) { return db->scalar(sql).toString(); }
    void run(const QString& sql) { db->execute(sql); }
    void addContact(qint32 id, int kind, const QString& company)
    {
        run(QString("INSERT INTO ContactInfo (ContactID, ContactType, CompanyName) VALUES (%1, %2, '%3')")
                .arg(id)
                .arg(kind)
                .arg(company));
    }
    static OwnerRecord person(const QString& last, const QString& first)
    {
        OwnerRecord owner;
        owner.lastName = last;
        owner.firstName = first;
        return owner;
    }

private Q_SLOTS:
    void init()
    {
        env = std::make_unique<TestEnvironment>();
        db = std::make_unique<Database>();
        env->createDatabase(*db);
        Clock::setNow(QDateTime(QDate(2024, 3, 20), QTime(9, 30)));
    }
    void cleanup()
    {
        db.reset();
        env.reset();
    }

    void pastActualReadingIsBroughtForward()
    {
        CVehicleSet vehicle(*db);
        vehicle.m_EstMilesPerMonth = 3000;
        vehicle.m_ActiveInd = true;
        ReadingEstimate::recordActualReading(vehicle, 8000, daysAgo(10));
        QCOMPARE(vehicle.m_EntryOfActualMiles, 8980);
        QCOMPARE(vehicle.m_DateOfActualMiles, daysAgo(10));
        QCOMPARE(vehicle.m_DateOfEstimatedMiles, QString("20240320"));
    }

    void sellerContactIsTheVehiclesOwn()
    {
        VehicleRecord record = car(61250, 2400, 0);
        record.measurement = 1;
        record.hours = true;
        record.active = false;
        record.purchase = {{}, "3 year warranty", "20190101", 38950.5, 12};
        record.purchase.seller.companyName = "Rose City's Trucks";
        record.purchase.seller.lastName = "Okafor";
        QCOMPARE(record.save(*db, 0).vehicleId, 1);
        std::optional<VehicleRecord> loaded = VehicleRecord::load(*db, 1);
        QVERIFY(loaded && loaded->hours && !loaded->active && loaded->measurement == 1);
        QCOMPARE(loaded->purchase, record.purchase);
        QCOMPARE(value("SELECT ContactType FROM ContactInfo WHERE CompanyName = 'Rose City''s Trucks'"),
                 QString("0"));
        QVERIFY(!VehicleRecord::load(*db, 2));

        // A vehicle pointing at an owner's contact gets a seller row of its own instead of overwriting it.
        db->execute(
            "INSERT INTO ContactInfo (ContactID, ContactType, CompanyName) VALUES (5, 1, 'Owner Co')");
        db->execute("UPDATE Vehicles SET ContactID = 5");
        loaded = VehicleRecord::load(*db, 1);
        QCOMPARE(loaded->purchase.seller.companyName, QString());
        loaded->purchase.seller.companyName = "Dealer";
        loaded->save(*db, 1);
        QCOMPARE(value("SELECT group_concat(CompanyName, ', ') FROM "
                       "(SELECT CompanyName FROM ContactInfo ORDER BY ContactID)"),
                 QString("Rose City's Trucks, Owner Co, Dealer"));
    }

    void readingIsEstimatedOnlyWhenReadingRateOrDateChange()
    {
        VehicleRecord record = car(50000, 1000, 30);
        VehicleRecord::Saved saved = record.save(*db, 0);
        QVERIFY(saved.reestimated && saved.estimated);
        QCOMPARE(row(), "50960 " + daysAgo(30) + " 20240320");

        // The form shows the stored, estimated reading; saving it unchanged neither estimates again nor
        // moves the estimate back to the reading's date, where the next start-up would count it twice.
        VehicleRecord shown = *VehicleRecord::load(*db, 1);
        shown.comments = "new tyres";
        saved = shown.save(*db, 1);
        QVERIFY(!saved.reestimated && saved.estimated);
        Clock::setNow(QDateTime(QDate(2024, 3, 21), QTime(8, 0)));
        ReadingEstimate::bringAllForward(*db);
        QCOMPARE(row(), "50992 " + daysAgo(30) + " 20240321");

        // A new rate goes on from the estimate, not from the old reading's date.
        shown = *VehicleRecord::load(*db, 1);
        shown.perMonth = 3000;
        QVERIFY(shown.save(*db, 1).reestimated);
        QCOMPARE(row(), "50992 " + daysAgo(30) + " 20240321");

        // A reading entered for today is no estimate.
        shown.reading = 52000;
        shown.actualDate = "20240321";
        saved = shown.save(*db, 1);
        QVERIFY(saved.reestimated && !saved.estimated);
        QCOMPARE(row(), "52000 20240321 20240321");

        // The same reading with an earlier date is a new actual reading.
        shown.actualDate = daysAgo(0);
        shown.save(*db, 1);
        QCOMPARE(row(), "52098 20240320 20240321");
    }

    void purchaseChecksInOrder()
    {
        VehicleChecks::PurchaseEntry entry{"1.2.2020", "$38,950.00", "12"};
        QVERIFY(!VehicleChecks::firstPurchaseProblem(entry, "Odometer", 61250));
        QCOMPARE(entry.date, QString("01/02/2020"));
        entry = {"", "0", "90000"};
        QVERIFY(!VehicleChecks::firstPurchaseProblem(entry, "Odometer", 0));

        // What is typed, the first problem found and its field.
        const std::tuple<VehicleChecks::PurchaseEntry, QString, PurchaseField> cases[] = {
            {{"13/1/2020", "x", "x"}, Messages::DateInvalid, PurchaseField::Date},
            {{"3/21/2024", "x", "x"}, Messages::FutureDate, PurchaseField::Date},
            {{"", "abc", "x"}, Messages::VehicleCostOutOfRange, PurchaseField::Amount},
            {{"", "5", "1,000,000"},
             "Hour Meter must be numeric and between 0 and 1,000,000.",
             PurchaseField::Reading},
        };
        for (auto [typed, message, field] : cases) {
            const auto problem = VehicleChecks::firstPurchaseProblem(typed, "Hour Meter", 600);
            QVERIFY2(problem, qPrintable(message));
            QCOMPARE(problem->message, message);
            QCOMPARE(problem->field, field);
        }
    }

    // The start-up pass brings every vehicle's reading forward to today at its rate, in one pass over the
    // file.
    void bringsEachVehicleForward()
    {
        // EntryOfActualMiles, EstMilesPerMonth, DateOfEstimatedMiles and ActiveInd, and the reading after.
        const std::pair<const char*, const char*> rows[] = {
            {"10000, 3000, '20240310', -1", "10980"},    // active, ten days
            {"10000, 3000, '20240310', 0", "10000"},     // inactive
            {"10000, 31, '20240310', -1", "10010"},      // 31 a month: one a day
            {"10000, 30, '20230101', -1", "10000"},      // under 31 a month
            {"10000, 3000, '', -1", "10000"},            // no date
            {"NULL, NULL, NULL, NULL", "NULL"},          // nothing stored
            {"10000, 3000, '20240401', -1", "10000"},    // date after today
            {"10000, 3000, '20240320', -1", "10000"},    // already today: not written
            {"999000, 99999, '20240101', -1", "999999"}, // highest reading
        };
        QStringList expected;
        for (const auto& [values, reading] : rows) {
            db->execute(
                QString("INSERT INTO Vehicles (VehicleID, OwnerID, DateOfActualMiles, EntryOfActualMiles, "
                        "EstMilesPerMonth, DateOfEstimatedMiles, ActiveInd) VALUES (%1, 1, '20240101', %2)")
                    .arg(expected.size() + 1)
                    .arg(values));
            // Only the reading and its date move; the rate and the active flag stay as they were.
            const QStringList stored = QString(values).split(", ");
            expected << QString("%1 '20240320' 20240101 %2 %3").arg(reading, stored[1], stored[3]);
        }
        QCOMPARE(ReadingEstimate::bringAllForward(*db), 8);
        QCOMPARE(columnOf(*db,
                          "SELECT quote(EntryOfActualMiles) || ' ' || quote(DateOfEstimatedMiles) || ' ' || "
                          "DateOfActualMiles || ' ' || quote(EstMilesPerMonth) || ' ' || quote(ActiveInd) "
                          "FROM Vehicles ORDER BY VehicleID"),
                 expected);
    }

    // The fields each slot of a list item shows (-1 an empty slot) out of a vehicle's ten values, and its
    // text.
    void itemText()
    {
        const char* car = "1999|Honda|Civic|1HGEJ|ABC 123||Acme|Depot 4|Smith|Ann";
        const std::tuple<QList<int>, const char*, const char*> rows[] = {
            {{0, 1, 2}, car, "1999 Honda Civic"},
            {{1, 3}, car, "Honda, 1HGEJ"},
            {{0, 1, 2}, "1999||Civic|1HGEJ", "1999 Civic"}, // an empty make skipped with its separator
            {{2, 5, 6}, "1999|Honda|Civic   |1HGEJ|ABC 123||Acme", "Civic, Acme"}, // trailing blanks dropped
            {{9, 8, 0, 7}, car, "Ann Smith, 1999, Depot 4"}, // first and last name with a blank
            {{0, -1, 1}, car, "1999, Honda"},
        };
        for (auto [fieldSlots, values, expected] : rows) {
            fieldSlots.resize(10, -1);
            VehicleList::Entry entry;
            std::ranges::copy(QString(values).split('|'), entry.values);
            QCOMPARE(VehicleList::itemText(fieldSlots, entry), QString(expected));
        }
    }

    void entriesComeFromTheVehicleAndItsOwner()
    {
        db->execute("INSERT INTO ContactInfo (ContactID, ContactType, CompanyName, LastName, FirstName) "
                    "VALUES (7, 1, 'O`Neil Haulage', 'Smith', 'Ann')");
        db->execute(
            "INSERT INTO Owners (OwnerID, ContactID, LocationID) VALUES (3, 7, 'North'), (4, 0, 'South')");
        db->execute("INSERT INTO Vehicles (VehicleID, OwnerID, VehicleYear, VehicleMake, VehicleModel) "
                    "VALUES (2, 3, '2001', 'Ford', 'F-150'), (1, 4, '2010', 'Volvo', 'FH')");
        db->execute("INSERT INTO Vehicles (VehicleID, OwnerID, VehicleMake) VALUES (9, 99, 'Orphan')");
        QStringList listed; // every owner's (0) or owner 4's vehicles: key and text
        for (const qint32 owner : {0, 4})
            for (const VehicleList::Item& item :
                 VehicleList::items(*db, {1, 6, 7, -1, -1, -1, -1, -1, -1, -1}, owner))
                listed << QString("%1 %2: %3").arg(owner).arg(item.vehicleId).arg(item.text);
        QCOMPARE(listed,
                 QStringList({"0 2: Ford, O'Neil Haulage, North", "0 1: Volvo, South", "4 1: Volvo, South"}));
    }

    // Vehicle 1 has two maintenance and three gas entries:
    //   maintenance 1: 01/10/2024 at 10,000     gas 1: 01/05/2024 at 9,800
    //   maintenance 2: 03/01/2024 at 12,000     gas 2: 02/01/2024 at 11,000
    //                                           gas 3: 02/20/2024 at 11,500
    // vehicle 2 one maintenance entry, vehicle 3 two gas entries out of order (as an old file may hold).
    void conflicts()
    {
        db->execute("INSERT INTO Maintenance (MaintID, VehicleID, StationID, MaintDate, ActualMiles) VALUES "
                    "(1, 1, 0, '20240110', 10000), (2, 1, 0, '20240301', 12000), (3, 2, 0, '20240105', 50)");
        db->execute(
            "INSERT INTO GasLog (GasLogID, VehicleID, Date, Mileage) VALUES (1, 1, '20240105', 9800), "
            "(2, 1, '20240201', 11000), (3, 1, '20240220', 11500), (4, 3, '20240101', 500), "
            "(5, 3, '20240201', 300)");
        // The entry checked (its kind, vehicle, key (0: a new entry), date and reading) and the one named.
        const std::tuple<const char*, const char*, QString> rows[] = {
            {"in order", "gas 1 0 20240210 11200", ""},
            {"same date, lower reading", "gas 1 0 20240201 10000", ""},
            {"equal readings on other dates", "maintenance 1 0 20240115 11000", ""},
            {"earlier entry with higher reading", "gas 1 0 20240215 10500", "gas 2 20240201 11000"},
            {"later entries with lower readings: nearest", "gas 1 0 20240102 11800", "gas 1 20240105 9800"},
            {"later-lower named before earlier-higher", "gas 3 0 20240115 400", "gas 5 20240201 300"},
            {"own kind first: gas", "gas 1 0 20240305 11450", "gas 3 20240220 11500"},
            {"own kind first: maintenance", "maintenance 1 0 20240305 11450", "maintenance 2 20240301 12000"},
            {"other kind when own is clear", "maintenance 1 0 20240125 11600", "gas 2 20240201 11000"},
            {"the entry itself left out", "gas 1 3 20240225 11400", ""},
            {"a new entry has no self", "gas 1 0 20240225 11400", "gas 3 20240220 11500"},
            {"same key of the other kind counts", "maintenance 1 3 20240225 11400", "gas 3 20240220 11500"},
            {"maintenance edited over itself", "maintenance 1 2 20240225 12500", ""},
            {"other vehicles ignored", "gas 2 0 20240201 60", ""},
        };
        for (const auto& [name, entry, expected] : rows) {
            const QStringList e = QString(entry).split(' ');
            const std::optional<Chronology::Conflict> conflict = Chronology::findConflict(
                *db, e[1].toInt(), e[3], e[4].toInt(),
                e[0] == "gas" ? EntryKind::Gas : EntryKind::Maintenance, e[2].toInt());
            const QString found =
                !conflict ? QString()
                          : QString::asprintf("%s %d %s %d",
                                              conflict->kind == EntryKind::Gas ? "gas" : "maintenance",
                                              conflict->key, qPrintable(conflict->date), conflict->reading);
            QVERIFY2(found == expected, qPrintable(QString("%1: found \"%2\"").arg(name, found)));
        }
    }

    // A contact is found by key (of a kind, if asked) and a company by name in any case, apostrophes
    // included, optionally leaving out one key.
    void findingContacts()
    {
        addContact(1, ServiceStationContact, "O`Neil Motors");
        addContact(2, OwnerContact, "Plain");
        CContactInfoSet contacts(*db);
        QVERIFY(ContactOperations::findContact(contacts, 2));
        QCOMPARE(contacts.m_CompanyName, QString("Plain"));
        QVERIFY(ContactOperations::findContact(contacts, 2, OwnerContact));
        QVERIFY(!ContactOperations::findContact(contacts, 2, ServiceStationContact));
        QVERIFY(!ContactOperations::findContact(contacts, 5));
        QVERIFY(ContactOperations::findCompanyByName(contacts, "O'Neil Motors"));
        QCOMPARE(contacts.m_ContactID, 1);
        QVERIFY(ContactOperations::findCompanyByName(contacts, "o'neil motors"));
        QVERIFY(!ContactOperations::findCompanyByName(contacts, "O'Neil Motors", 1));
        QVERIFY(ContactOperations::findCompanyByName(contacts, "Plain", 1));
        // Quotes in the search text never reach the SQL raw.
        QVERIFY(!ContactOperations::findCompanyByName(contacts, "x' OR '1'='1"));
    }

    void companyListTakesOneKindOrAllCompanies()
    {
        addContact(1, LoanCompanyContact, "Bank");
        addContact(2, InsuranceCompanyContact, "Insurer");
        addContact(3, ServiceStationContact, "A`s Garage");
        addContact(4, OwnerContact, "Owner Co");
        run("INSERT INTO ContactInfo (ContactID, CompanyName) VALUES (5, 'Seller')");
        QCOMPARE(ContactOperations::companyListEntries(*db, ServiceStationContact),
                 QList<ListEntry>({{"A's Garage", 3}}));
        QCOMPARE(ContactOperations::companyListEntries(*db, 0),
                 QList<ListEntry>({{"A's Garage", 3}, {"Bank", 1}, {"Insurer", 2}}));
    }

    void ownerWhoseContactWentGetsANewOne()
    {
        const qint32 id = person("Doe", "Jo").save(*db, 0);
        run("DELETE FROM ContactInfo");
        person("Doe", "Joe").save(*db, id);
        QCOMPARE(OwnerRecord::load(*db, id)->firstName, QString("Joe"));
        QCOMPARE(count("SELECT count(*) FROM Owners o JOIN ContactInfo c ON o.ContactID = c.ContactID"), 1);
    }

    void failedOwnerSaveWritesNothing()
    {
        OwnerRecord record = person("Doe", "Jo");
        record.state = QString(36, 'x'); // longer than the file accepts
        QVERIFY_THROWS_EXCEPTION(CdbException, record.save(*db, 0));
        QCOMPARE(count("SELECT count(*) FROM ContactInfo") + count("SELECT count(*) FROM Owners"), 0);
        QVERIFY_THROWS_EXCEPTION(CdbException, person("Doe", "Jo").save(*db, 5));
    }

    // Deleting an owner takes its vehicles with every row of theirs and its contact, all or nothing; other
    // owners and the sellers of the deleted vehicles stay.
    void deletingAnOwner()
    {
        const qint32 owner = person("Doe", "Jo").save(*db, 0);
        addVehicleRows(*db, 1, owner);
        addVehicleRows(*db, 2, owner);
        addVehicleRows(*db, 3, person("Roe", "Al").save(*db, 0));
        addContact(50, 0, "Seller of vehicle 1");
        run("UPDATE Vehicles SET ContactID = 50 WHERE VehicleID = 1");
        const QString contacts =
            "SELECT group_concat(ContactID) FROM (SELECT ContactID FROM ContactInfo ORDER BY 1)";
        // A trigger stands in for any engine failure half-way through.
        run("CREATE TRIGGER refuse BEFORE DELETE ON GasLog BEGIN SELECT RAISE(ABORT, 'disk full'); END");
        QVERIFY_THROWS_EXCEPTION(CdbException, RecordDeletion::deleteOwner(*db, owner));
        QCOMPARE(rowsOfVehicles(*db, "1, 2, 3"), 30);
        QCOMPARE(count("SELECT count(*) FROM Owners"), 2);
        QCOMPARE(value(contacts), QString("1,2,50"));

        run("DROP TRIGGER refuse");
        // Which rows go and which stay is also checked through the owner form (tst_recordform).
        QCOMPARE(RecordDeletion::deleteOwner(*db, owner), 2);
        QCOMPARE(value(contacts), QString("2,50"));
    }
};

QTEST_GUILESS_MAIN(FleetRecordsTest)
#include "tst_fleetrecords.moc"
