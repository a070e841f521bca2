#include "TestEnvironment.h"
#include "db/Clock.h"
#include "db/Database.h"
#include "db/Messages.h"
#include "db/sets/VehicleSet.h"
#include "fleet/ReadingEstimate.h"
#include "fleet/VehicleRecord.h"

#include <QSqlQuery>
#include <QTest>

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

class VehicleRecordTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<Database> db;

    QString row(qint32 id)
    {
        return db
            ->scalar(QString("SELECT EntryOfActualMiles || ' ' || DateOfActualMiles || ' ' || "
                             "DateOfEstimatedMiles FROM Vehicles WHERE VehicleID = %1")
                         .arg(id))
            .toString();
    }
    int count(const QString& sql) { return db->scalar(sql).toInt(); }
    QString value(const QString& sql) { return db->scalar(sql).toString(); }

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

    // A reading recorded with a past date is brought forward to today (the estimate itself is in
    // tst_readingpass).
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
        record.purchase.seller.companyName = "Rose City's Trucks";
        record.purchase.seller.lastName = "Okafor";
        record.purchase.memo = "3 year warranty";
        record.purchase.date = "20190101";
        record.purchase.amount = 38950.5;
        record.purchase.reading = 12;
        QCOMPARE(record.save(*db, 0).vehicleId, 1);
        std::optional<VehicleRecord> loaded = VehicleRecord::load(*db, 1);
        QVERIFY(loaded && loaded->hours && !loaded->active && loaded->measurement == 1);
        QCOMPARE(loaded->purchase, record.purchase);
        QCOMPARE(count("SELECT count(*) FROM ContactInfo WHERE ContactType = 0 AND "
                       "CompanyName = 'Rose City''s Trucks'"),
                 1);
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
        QCOMPARE(row(1), "50960 " + daysAgo(30) + " 20240320");

        // The form shows the stored, estimated reading; saving it unchanged neither estimates again nor
        // moves the estimate back to the reading's date, where the next start-up would count it twice.
        VehicleRecord shown = *VehicleRecord::load(*db, 1);
        shown.comments = "new tyres";
        saved = shown.save(*db, 1);
        QVERIFY(!saved.reestimated && saved.estimated);
        QCOMPARE(row(1), "50960 " + daysAgo(30) + " 20240320");
        Clock::setNow(QDateTime(QDate(2024, 3, 21), QTime(8, 0)));
        ReadingEstimate::bringAllForward(*db);
        QCOMPARE(row(1), "50992 " + daysAgo(30) + " 20240321");

        // A new rate goes on from the estimate, not from the old reading's date.
        shown = *VehicleRecord::load(*db, 1);
        shown.perMonth = 3000;
        QVERIFY(shown.save(*db, 1).reestimated);
        QCOMPARE(row(1), "50992 " + daysAgo(30) + " 20240321");

        // A reading entered for today is no estimate.
        shown.reading = 52000;
        shown.actualDate = "20240321";
        saved = shown.save(*db, 1);
        QVERIFY(saved.reestimated && !saved.estimated);
        QCOMPARE(row(1), "52000 20240321 20240321");

        // The same reading with an earlier date is a new actual reading.
        shown.actualDate = daysAgo(0);
        shown.save(*db, 1);
        QCOMPARE(row(1), "52098 20240320 20240321");
    }

    void purchaseChecksInOrder()
    {
        VehicleChecks::PurchaseEntry entry{"1.2.2020", "$38,950.00", "12"};
        QVERIFY(!VehicleChecks::firstPurchaseProblem(entry, "Odometer", 61250));
        QCOMPARE(entry.date, QString("01/02/2020"));
        entry = {"", "0", "90000"};
        QVERIFY(!VehicleChecks::firstPurchaseProblem(entry, "Odometer", 0));

        struct Case
        {
            VehicleChecks::PurchaseEntry entry;
            QString message;
            PurchaseField field;
        };
        const QList<Case> cases = {
            {{"13/1/2020", "x", "x"}, Messages::DateInvalid, PurchaseField::Date},
            {{"3/21/2024", "x", "x"}, Messages::FutureDate, PurchaseField::Date},
            {{"", "abc", "x"}, Messages::VehicleCostOutOfRange, PurchaseField::Amount},
            {{"", "5", "1,000,000"},
             "Hour Meter must be numeric and between 0 and 1,000,000.",
             PurchaseField::Reading},
        };
        for (Case test : cases) {
            const auto problem = VehicleChecks::firstPurchaseProblem(test.entry, "Hour Meter", 600);
            QVERIFY2(problem, qPrintable(test.message));
            QCOMPARE(problem->message, test.message);
            QCOMPARE(problem->field, test.field);
        }
    }
};

QTEST_GUILESS_MAIN(VehicleRecordTest)
#include "tst_vehiclerecord.moc"
