#include "TestEnvironment.h"
#include "db/Clock.h"
#include "db/Database.h"
#include "db/Messages.h"
#include "db/ReadingEstimate.h"
#include "db/VehicleRecord.h"
#include "db/sets/VehicleSet.h"

#include <QSqlQuery>
#include <QTest>

using VehicleChecks::Field;
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

    void estimateOfOneRow()
    {
        const QDate today = Clock::today();
        // 31 a month is the least that gains a whole unit a day.
        QCOMPARE(ReadingEstimate::broughtForward(100, 31, daysAgo(10), true, today), 110);
        QCOMPARE(ReadingEstimate::broughtForward(100, 3000, daysAgo(10), true, today), 1080);

        CVehicleSet vehicle(*db);
        vehicle.m_EntryOfActualMiles = 7000;
        vehicle.m_EstMilesPerMonth = 3000;
        vehicle.m_DateOfEstimatedMiles = daysAgo(10);
        vehicle.m_ActiveInd = false;
        ReadingEstimate::bringForward(vehicle);
        QCOMPARE(vehicle.m_EntryOfActualMiles, 7000);
        QCOMPARE(vehicle.m_DateOfEstimatedMiles, QString("20240320"));

        vehicle.m_ActiveInd = true;
        ReadingEstimate::recordActualReading(vehicle, 8000, daysAgo(10));
        QCOMPARE(vehicle.m_EntryOfActualMiles, 8980);
        QCOMPARE(vehicle.m_DateOfActualMiles, daysAgo(10));
        QCOMPARE(vehicle.m_DateOfEstimatedMiles, QString("20240320"));
    }

    void saveAndLoadWithTheSeller()
    {
        VehicleRecord record = car(61250, 2400, 0);
        record.model = "Transit";
        record.vin = "1FTYR";
        record.license = "HBL1021";
        record.number = "Van 12";
        record.comments = "Roof rack";
        record.measurement = 1;
        record.hours = true;
        record.active = false;
        record.purchase.seller.companyName = "Rose City's Trucks";
        record.purchase.seller.lastName = "Okafor";
        record.purchase.seller.email = "sales@rose.example";
        record.purchase.memo = "3 year warranty";
        record.purchase.date = "20190101";
        record.purchase.amount = 38950.5;
        record.purchase.reading = 12;
        const VehicleRecord::Saved saved = record.save(*db, 0);
        QCOMPARE(saved.vehicleId, 1);

        const std::optional<VehicleRecord> loaded = VehicleRecord::load(*db, 1);
        QVERIFY(loaded);
        QCOMPARE(loaded->purchase, record.purchase);
        QCOMPARE(loaded->comments, record.comments);
        QCOMPARE(loaded->measurement, 1);
        QVERIFY(loaded->hours && !loaded->active);
        QCOMPARE(count("SELECT count(*) FROM ContactInfo WHERE ContactType = 0 AND "
                       "CompanyName = 'Rose City''s Trucks'"),
                 1);

        // Saving again edits the same seller row.
        VehicleRecord changed = *loaded;
        changed.purchase.seller.companyName = "Rose City Trucks";
        changed.save(*db, 1);
        QCOMPARE(count("SELECT count(*) FROM ContactInfo"), 1);
        QCOMPARE(VehicleRecord::load(*db, 1)->purchase.seller.companyName, QString("Rose City Trucks"));
        QVERIFY(!VehicleRecord::load(*db, 2));
    }

    void sellerNeverOverwritesAnOwnersContact()
    {
        db->execute(
            "INSERT INTO ContactInfo (ContactID, ContactType, CompanyName) VALUES (1, 1, 'Owner Co')");
        car(100, 0, 0).save(*db, 0);
        db->execute("UPDATE Vehicles SET ContactID = 1");
        QCOMPARE(VehicleRecord::load(*db, 1)->purchase.seller.companyName, QString());
        VehicleRecord record = *VehicleRecord::load(*db, 1);
        record.purchase.seller.companyName = "Dealer";
        record.save(*db, 1);
        QCOMPARE(db->scalar("SELECT CompanyName FROM ContactInfo WHERE ContactID = 1").toString(),
                 QString("Owner Co"));
        QCOMPARE(VehicleRecord::load(*db, 1)->purchase.seller.companyName, QString("Dealer"));
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

    void duplicateCopiesTheChosenRowsUnderNewKeys()
    {
        car(1000, 0, 0).save(*db, 0);
        car(2000, 0, 0).save(*db, 0);
        for (const char* sql :
             {"INSERT INTO Schedule (ScheduleID, VehicleID, ServiceID, Description) VALUES (7, 2, 3, 'Oil')",
              "INSERT INTO Schedule (ScheduleID, VehicleID, ServiceID, Description) VALUES (8, 1, 4, "
              "'Tyres')",
              "INSERT INTO Schedule (ScheduleID, VehicleID, ServiceID, Description) VALUES (9, 1, 5, 'Belt')",
              "INSERT INTO Loan (VehicleID, ContactID, AcctNo, Amount) VALUES (1, 4, 'L-1', 9000)",
              "INSERT INTO Insurance (VehicleID, ContactID, PolicyNo) VALUES (1, 5, 'P-1')",
              "INSERT INTO InsCoverage (VehicleID, TypeID, Amount) VALUES (1, 2, 500)"})
            db->execute(sql);

        DuplicateCopies copies{1, true, true, true};
        QCOMPARE(car(1000, 0, 0).save(*db, 0, copies).vehicleId, 3);
        QCOMPARE(count("SELECT count(*) FROM Schedule WHERE VehicleID = 3 AND ((ScheduleID = 10 AND "
                       "Description = 'Tyres') OR (ScheduleID = 11 AND Description = 'Belt'))"),
                 2);
        QCOMPARE(count("SELECT count(*) FROM Loan WHERE VehicleID = 3 AND AcctNo = 'L-1' AND Amount = 9000"),
                 1);
        QCOMPARE(count("SELECT count(*) FROM Insurance WHERE VehicleID = 3 AND PolicyNo = 'P-1'"), 1);
        QCOMPARE(count("SELECT count(*) FROM InsCoverage WHERE VehicleID = 3"), 0);
        QCOMPARE(count("SELECT count(*) FROM Schedule WHERE VehicleID = 1"), 2);

        copies = {1, false, true, false};
        QCOMPARE(car(1000, 0, 0).save(*db, 0, copies).vehicleId, 4);
        QCOMPARE(count("SELECT count(*) FROM Schedule WHERE VehicleID = 4") +
                     count("SELECT count(*) FROM Insurance WHERE VehicleID = 4"),
                 0);
        QCOMPARE(count("SELECT count(*) FROM Loan WHERE VehicleID = 4"), 1);
        // Each vehicle keeps a seller row of its own.
        QCOMPARE(count("SELECT count(DISTINCT ContactID) FROM Vehicles"), 4);
    }

    void vehicleChecksInOrder()
    {
        const VehicleLabels labels = VehicleLabels::of(0, true, false);
        QCOMPARE(labels.reading, QString("Hour Meter Reading"));
        QCOMPARE(labels.perMonth, QString("Estimated Hours Per Month"));
        QCOMPARE(labels.actualDate, QString("Actual Hours Last Entered"));
        QCOMPARE(VehicleLabels::of(1, false, true).reading, QString("(Est.) Odometer Reading"));
        QCOMPARE(VehicleLabels::of(1, false, false).perMonth, QString("Estimated KM Per Month"));

        VehicleEntry entry{"1901", "99,999", "$1,500", "3-1-2024", 1500, labels};
        bool maintenanceAsked = false;
        const auto noMaintenance = [&](qint32 reading) {
            maintenanceAsked = reading == 1500;
            return false;
        };
        QVERIFY(!VehicleChecks::firstProblem(entry, noMaintenance));
        QVERIFY(maintenanceAsked);
        QCOMPARE(entry.actualDate, QString("03/01/2024"));

        struct Case
        {
            VehicleEntry entry;
            bool maintenanceAbove;
            QString message;
            Field field;
        };
        const QList<Case> cases = {
            {{"1900", "x", "x", "x", 0, labels}, false, Messages::YearRequired, Field::Year},
            {{"19o1", "0", "0", "03/20/2024", 0, labels}, false, Messages::YearRequired, Field::Year},
            {{"1901", "100,000", "x", "x", 0, labels},
             false,
             "Estimated Hours Per Month must be numeric and between 0 and 100,000.",
             Field::PerMonth},
            {{"1901", "", "0", "x", 0, labels}, false, "Estimated Hours Per Month", Field::PerMonth},
            {{"1901", "0", "1,000,000", "x", 0, labels},
             false,
             "Hour Meter Reading must be numeric and between 0 and 1,000,000.",
             Field::Reading},
            {{"1901", "0", "-5", "x", 0, labels},
             false,
             "Hour Meter Reading must be numeric",
             Field::Reading},
            {{"1901", "0", "499", "x", 500, labels},
             false,
             "The Hour Meter Reading on the vehicle can not be less then the Hour Meter on the vehicle when "
             "purchased.",
             Field::Reading},
            {{"1901", "0", "500", "x", 500, labels},
             true,
             "The Hour Meter Reading can not be less then any actual maintenance entered.",
             Field::Reading},
            {{"1901", "0", "500", "2/30/2024", 0, labels},
             false,
             "Actual Hours Last Entered is not a valid date.  Must be mm/dd/yyyy (ex. 12/31/1998).",
             Field::ActualDate},
            {{"1901", "0", "500", "3/21/2024", 0, labels}, false, Messages::FutureDate, Field::ActualDate},
        };
        for (Case test : cases) {
            const auto problem =
                VehicleChecks::firstProblem(test.entry, [&](qint32) { return test.maintenanceAbove; });
            QVERIFY2(problem, qPrintable(test.message));
            QVERIFY2(problem->message.startsWith(test.message), qPrintable(problem->message));
            QCOMPARE(problem->field, test.field);
        }
        // A vehicle not saved yet has no maintenance to compare with.
        VehicleEntry fresh{"2020", "0", "0", "03/20/2024", 0, labels};
        QVERIFY(!VehicleChecks::firstProblem(fresh));
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
            {{"", "$1,000,000.00", "x"}, Messages::VehicleCostOutOfRange, PurchaseField::Amount},
            {{"", "abc", "x"}, Messages::VehicleCostOutOfRange, PurchaseField::Amount},
            {{"", "5", "1,000,000"},
             "Hour Meter must be numeric and between 0 and 1,000,000.",
             PurchaseField::Reading},
            {{"", "5", "601"},
             "The Hour Meter Reading at purchase can not be greater then the current Hour Meter Reading on "
             "the "
             "vehicle.",
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
