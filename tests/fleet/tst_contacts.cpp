#include "TestEnvironment.h"
#include "context/Enums.h"
#include "db/Database.h"
#include "db/DbException.h"
#include "db/sets/ContactInfoSet.h"
#include "fleet/ContactKind.h"
#include "fleet/ContactOperations.h"
#include "fleet/OwnerRecord.h"
#include "fleet/RecordDeletion.h"

#include <QTest>

class ContactsTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<Database> m_db;

    void run(const QString& sql) { m_db->execute(sql); }
    int count(const QString& sql) { return m_db->scalar(sql).toInt(); }
    void addContact(qint32 id, int kind, const QString& company, const QString& last = {},
                    const QString& first = {})
    {
        run(QStringLiteral(
                "INSERT INTO ContactInfo (ContactID, ContactType, CompanyName, LastName, FirstName) "
                "VALUES (%1, %2, '%3', '%4', '%5')")
                .arg(id)
                .arg(kind)
                .arg(company, last, first));
    }
    void addVehicleWithRows(qint32 vehicleId, qint32 ownerId) { addVehicleRows(*m_db, vehicleId, ownerId); }
    int rowsOfVehicle(qint32 vehicleId) { return rowsOfVehicles(*m_db, QString::number(vehicleId)); }
    static OwnerRecord person(const QString& last, const QString& first)
    {
        OwnerRecord record;
        record.lastName = last;
        record.firstName = first;
        return record;
    }

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        m_db = std::make_unique<Database>();
        m_env->createDatabase(*m_db);
    }
    void cleanup()
    {
        m_db.reset();
        m_env.reset();
    }

    void findContactHonoursTheKind()
    {
        addContact(4, OwnerContact, "Acme");
        CContactInfoSet contacts(*m_db);
        QVERIFY(ContactOperations::findContact(contacts, 4));
        QCOMPARE(contacts.m_CompanyName, QString("Acme"));
        QVERIFY(ContactOperations::findContact(contacts, 4, OwnerContact));
        QVERIFY(!ContactOperations::findContact(contacts, 4, ServiceStationContact));
        QVERIFY(!ContactOperations::findContact(contacts, 5));
    }

    void companyNameWithApostropheIsFound()
    {
        addContact(1, ServiceStationContact, "O`Neil Motors");
        addContact(2, OwnerContact, "Plain");
        CContactInfoSet contacts(*m_db);
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
        QCOMPARE(ContactOperations::companyListEntries(*m_db, ServiceStationContact),
                 QList<ListEntry>({{"A's Garage", 3}}));
        QCOMPARE(ContactOperations::companyListEntries(*m_db, 0),
                 QList<ListEntry>({{"A's Garage", 3}, {"Bank", 1}, {"Insurer", 2}}));
    }

    void contactDetailsForTheDialog()
    {
        run("INSERT INTO ContactInfo (ContactID, ContactType, CompanyName, FirstName, LastName, Phone, Memo) "
            "VALUES (6, 3, 'Ann`s Insurance', 'Ann', 'Lee', '555-1234', 'Call after 5')");
        const auto details = ContactOperations::contactDetails(*m_db, 6);
        QVERIFY(details);
        QCOMPARE(details->companyName, QString("Ann's Insurance"));
        QCOMPARE(details->agentName, QString("Ann Lee"));
        QCOMPARE(details->phone, QString("555-1234"));
        QCOMPARE(details->comments, QString("Call after 5"));
        QVERIFY(!ContactOperations::contactDetails(*m_db, 7));
    }

    void ownerWhoseContactWentGetsANewOne()
    {
        const qint32 id = person("Doe", "Jo").save(*m_db, 0);
        run("DELETE FROM ContactInfo");
        person("Doe", "Joe").save(*m_db, id);
        QCOMPARE(OwnerRecord::load(*m_db, id)->firstName, QString("Joe"));
        QCOMPARE(count("SELECT count(*) FROM Owners o JOIN ContactInfo c ON o.ContactID = c.ContactID"), 1);
    }

    void failedOwnerSaveWritesNothing()
    {
        OwnerRecord record = person("Doe", "Jo");
        record.state = QString(36, 'x'); // longer than the file accepts
        QVERIFY_THROWS_EXCEPTION(CdbException, record.save(*m_db, 0));
        QCOMPARE(count("SELECT count(*) FROM ContactInfo") + count("SELECT count(*) FROM Owners"), 0);
        QVERIFY_THROWS_EXCEPTION(CdbException, person("Doe", "Jo").save(*m_db, 5));
    }

    void deletingAnOwnerTakesItsVehiclesAndContact()
    {
        const qint32 owner = person("Doe", "Jo").save(*m_db, 0);
        const qint32 other = person("Roe", "Al").save(*m_db, 0);
        addVehicleWithRows(1, owner);
        addVehicleWithRows(2, owner);
        addVehicleWithRows(3, other);
        addContact(50, 0, "Seller of vehicle 1");
        run("UPDATE Vehicles SET ContactID = 50 WHERE VehicleID = 1");

        QCOMPARE(RecordDeletion::deleteOwner(*m_db, owner), 2);
        QCOMPARE(rowsOfVehicle(1) + rowsOfVehicle(2), 0);
        QCOMPARE(rowsOfVehicle(3), 10);
        // The other owner's contact and the sellers of the deleted vehicles stay.
        QCOMPARE(
            m_db->scalar("SELECT group_concat(ContactID) FROM (SELECT ContactID FROM ContactInfo ORDER BY 1)")
                .toString(),
            QString("2,50"));
    }

    void failedOwnerDeleteLeavesEverything()
    {
        const qint32 owner = person("Doe", "Jo").save(*m_db, 0);
        addVehicleWithRows(1, owner);
        // A trigger stands in for any engine failure half-way through.
        run("CREATE TRIGGER refuse BEFORE DELETE ON GasLog BEGIN SELECT RAISE(ABORT, 'disk full'); END");
        QVERIFY_THROWS_EXCEPTION(CdbException, RecordDeletion::deleteOwner(*m_db, owner));
        QCOMPARE(rowsOfVehicle(1), 10);
        QCOMPARE(count("SELECT count(*) FROM Owners") + count("SELECT count(*) FROM ContactInfo"), 2);
    }
};

QTEST_GUILESS_MAIN(ContactsTest)
#include "tst_contacts.moc"
