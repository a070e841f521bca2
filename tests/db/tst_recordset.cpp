#include "ScriptedPrompter.h"
#include "TestEnvironment.h"
#include "db/Database.h"
#include "db/DatabaseCreation.h"
#include "db/DbException.h"
#include "db/Schema.h"
#include "db/SqlText.h"
#include "db/sets/ContactInfoSet.h"
#include "db/sets/GasLogSet.h"
#include "db/sets/JobOrderSet.h"
#include "db/sets/MaintServicesMaintSet.h"
#include "db/sets/OwnerGroupSet.h"
#include "db/sets/OwnerSet.h"
#include "db/sets/ScheduleGroupSet.h"
#include "db/sets/ScheduleSet.h"
#include "db/sets/ServiceDescSet.h"
#include "db/sets/ServiceTypeSet.h"
#include "db/sets/ServicesSet.h"
#include "db/sets/UtilitiesSet.h"
#include "db/sets/VehicleSet.h"

#include <QTest>

class RecordSetTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<Database> m_db;

    void addGas(qint32 id, qint32 vehicle, qint32 mileage, const QString& date, qint16 fillup = 1)
    {
        CGasLogSet gas(*m_db);
        gas.open();
        gas.addNew();
        gas.m_GasLogID = id;
        gas.m_VehicleID = vehicle;
        gas.m_Mileage = mileage;
        gas.m_Date = date;
        gas.m_Fillup = fillup;
        gas.update();
    }
    QStringList column(const QString& sql) { return columnOf(*m_db, sql); }

private slots:
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

    void newDatabaseHasTheCurrentShapeAndDefaults()
    {
        QStringList expected;
        for (const Schema::Table& table : Schema::tables())
            expected << table.name;
        QCOMPARE(expected.size(), 22);
        QCOMPARE(column("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid"), expected);
        QCOMPARE(column("SELECT name FROM sqlite_master WHERE type = 'index' AND name LIKE 'Maintenance_%' ORDER BY name"),
                 QStringList({"Maintenance_JobOrderID", "Maintenance_MaintID", "Maintenance_PrimaryKey",
                              "Maintenance_StationID", "Maintenance_VehicleID_MaintDate_ActualMiles"}));
        // The definition's 26 and the lookup indexes.
        QCOMPARE(column("SELECT count(*) FROM sqlite_master WHERE type = 'index'").value(0), QString("37"));
        QCOMPARE(column("SELECT ServiceID FROM Services ORDER BY ServiceID").size(), 19);
        QCOMPARE(column("SELECT ServiceDesc FROM Services WHERE ServiceID = 19").value(0),
                 QString("Transmission Fluid/Filter Change"));
        QCOMPARE(column("SELECT ServiceType FROM ServiceTypes ORDER BY ServiceTypeID"),
                 QStringList({"Routine", "Inspection", "Cosmetic", "Repair", "Other"}));
        QCOMPARE(column("SELECT count(*) FROM InsCoverageTypes").value(0), QString("0"));
        QCOMPARE(column("SELECT VerInd FROM Utilities"), QStringList({"B19"}));
        QCOMPARE(DatabaseCreation::readVersion(*m_db), QString("B19"));
    }

    void engineRefusesOverlongTextButTakesEmptyText()
    {
        CVehicleSet vehicles(*m_db);
        vehicles.open();
        vehicles.addNew();
        vehicles.m_VehicleID = 1;
        vehicles.m_VehicleYear = "19999";
        QVERIFY_THROWS_EXCEPTION(CdbException, vehicles.update());
        QCOMPARE(vehicles.editMode(), RecordSet::EditMode::AddNew);
        vehicles.m_VehicleYear = "";
        vehicles.update();
        QCOMPARE(column("SELECT VehicleYear FROM Vehicles WHERE VehicleYear = '' AND PurchaseDate = ''").size(), 1);
        QCOMPARE(column("SELECT count(*) FROM Vehicles WHERE Memo IS NULL OR VehicleMake IS NULL"), QStringList({"0"}));
        // A new file's job-order key allows duplicates.
        m_db->execute("INSERT INTO JobOrder (JobOrderID) VALUES (1)");
        m_db->execute("INSERT INTO JobOrder (JobOrderID) VALUES (1)");
    }

    void nextIdentifierFollowsTheHighestKey()
    {
        CGasLogSet gas(*m_db);
        QCOMPARE(gas.nextIdentifier(), 1);
        for (qint32 id : {1, 2, 7})
            addGas(id, 1, id * 100, "20240101");
        QCOMPARE(gas.nextIdentifier(), 8);
        addGas(8, 1, 800, "20240102");
        gas.m_strFilter = "GasLogID = 8";
        gas.requery();
        gas.deleteRow();
        QCOMPARE(gas.nextIdentifier(), 8);
        // The set is left unfiltered, sorted by key, and reads its rows when used.
        QCOMPARE(gas.m_strFilter, QString());
        gas.moveLast();
        QCOMPARE(gas.m_GasLogID, 7);
        QCOMPARE(gas.recordCount(), 3);
    }

    void emptyResultIsBofAndEofAtOnce()
    {
        CGasLogSet gas(*m_db);
        gas.m_strFilter = "VehicleID = 99";
        gas.open();
        QVERIFY(gas.isBOF());
        QVERIFY(gas.isEOF());
        QVERIFY(!gas.findFirst("Mileage > 0"));
        QCOMPARE(gas.recordCount(), 0);
        QVERIFY_THROWS_EXCEPTION(CdbException, gas.moveNext());
    }

    void movesFindsAndDateRanges()
    {
        addGas(1, 1, 100, "19981231");
        addGas(2, 1, 200, "19990101", 0);
        addGas(3, 2, 300, "19990315");
        addGas(4, 1, 400, "19990601");
        CGasLogSet gas(*m_db);
        gas.m_strFilter = QString("VehicleID = ") + QString::number(1) + " AND Date >= '" + "19990101" + "'";
        gas.m_strSort = "Mileage Desc, Date Asc";
        gas.open();
        QCOMPARE(gas.m_GasLogID, 4);
        QCOMPARE(gas.recordCount(), 1);
        gas.moveNext();
        QCOMPARE(gas.m_GasLogID, 2);
        gas.moveNext();
        QVERIFY(gas.isEOF());
        gas.movePrev();
        QCOMPARE(gas.m_GasLogID, 2);
        QCOMPARE(gas.recordCount(), 2);

        QVERIFY(gas.findFirst("Fillup = 0"));
        QCOMPARE(gas.m_GasLogID, 2);
        QVERIFY(!gas.findNext("Fillup = 0"));
        QCOMPARE(gas.m_GasLogID, 2); // position kept
        QVERIFY(gas.findPrev("Mileage > 0"));
        QCOMPARE(gas.m_GasLogID, 4);
        QVERIFY(gas.findLast("Mileage > 0"));
        QCOMPARE(gas.m_GasLogID, 2);

        const RecordSet::Bookmark mark = gas.bookmark();
        gas.moveFirst();
        gas.setBookmark(mark);
        QCOMPARE(gas.m_GasLogID, 2);
        QCOMPARE(gas.fieldValue("Mileage").toInt(), 200);
        QCOMPARE(gas.fieldValue("Estimated").toInt(), 0);
    }

    void editWritesChangesAndAddedRowIsReachedByLastModified()
    {
        addGas(1, 1, 100, "19981231");
        CGasLogSet gas(*m_db);
        gas.open();
        gas.edit();
        gas.m_Mileage = 150;
        gas.update();
        QCOMPARE(column("SELECT Mileage FROM GasLog"), QStringList({"150"}));

        const qint32 id = gas.nextIdentifier();
        gas.addNew();
        gas.m_GasLogID = id;
        gas.m_Mileage = 900;
        gas.update();
        gas.setBookmark(gas.lastModifiedBookmark());
        QCOMPARE(gas.m_GasLogID, 2);
        QCOMPARE(gas.m_Mileage, 900);

        gas.moveFirst();
        gas.edit();
        gas.m_Mileage = 1;
        gas.cancelUpdate();
        QCOMPARE(gas.m_Mileage, 150);
        QCOMPARE(column("SELECT Mileage FROM GasLog ORDER BY GasLogID"), QStringList({"150", "900"}));
    }

    void deleteMovesOnToTheFollowingRow()
    {
        for (qint32 id : {1, 2, 3})
            addGas(id, 1, id, "20000101");
        CGasLogSet gas(*m_db);
        gas.m_strSort = "GasLogID Asc";
        gas.open();
        gas.moveNext();
        gas.deleteRow();
        QVERIFY_THROWS_EXCEPTION(CdbException, gas.fieldValue("Mileage"));
        gas.moveNext();
        QCOMPARE(gas.m_GasLogID, 3);
        gas.requery();
        QCOMPARE(gas.m_GasLogID, 1);
        gas.moveLast();
        QCOMPARE(gas.recordCount(), 2);
    }

    void quotedNamesAndBooleanFilters()
    {
        CContactInfoSet contacts(*m_db);
        contacts.open();
        contacts.addNew();
        contacts.m_ContactID = contacts.nextIdentifier();
        contacts.m_LastName = "O'Neil";
        contacts.m_CompanyName = "Smith' OR '1'='1";
        contacts.update();
        contacts.m_strFilter = "LastName = " + SqlText::literal("o'neil");
        contacts.requery();
        QVERIFY(!contacts.isEOF());
        QCOMPARE(contacts.m_LastName, QString("O'Neil"));
        contacts.m_strFilter = "CompanyName = " + SqlText::literal("Smith");
        contacts.requery();
        QVERIFY(contacts.isEOF());

        m_db->execute("INSERT INTO JobOrder (JobOrderID, OpenInd, JCN) VALUES (1, -1, 'it''s TRUE = x')");
        m_db->execute("INSERT INTO JobOrder (JobOrderID, OpenInd) VALUES (2, 0)");
        m_db->execute("INSERT INTO JobOrder (JobOrderID, OpenInd) VALUES (3, 1)");
        CJobOrderSet jobs(*m_db);
        jobs.m_strFilter = "JobOrderID > 0 AND OpenInd = TRUE";
        jobs.m_strSort = "JobOrderID Asc";
        jobs.open();
        jobs.moveLast();
        QCOMPARE(jobs.recordCount(), 2);
        QVERIFY(jobs.m_OpenInd);
        QVERIFY(jobs.findFirst("JCN = 'it''s TRUE = x'"));
        QCOMPARE(jobs.m_JobOrderID, 1);
        jobs.edit();
        jobs.m_OpenInd = false;
        jobs.update();
        QCOMPARE(column("SELECT OpenInd FROM JobOrder WHERE JobOrderID = 1"), QStringList({"0"}));
    }

    void joinedSetsReadAndWriteTheirTables()
    {
        m_db->execute("INSERT INTO Schedule (ScheduleID, VehicleID, ServiceID, Description) VALUES (1, 5, 3, 'plugs')");
        m_db->execute("INSERT INTO Schedule (ScheduleID, VehicleID, ServiceID, Description) VALUES (2, 6, 4, 'x')");
        CScheduleGroupSet schedule(*m_db);
        schedule.m_strFilter = "VehicleID = 5";
        schedule.open();
        QCOMPARE(schedule.m_ServiceDesc, QString("Spark Plugs Replaced"));
        QCOMPARE(schedule.m_Services_ServiceID, 3);
        schedule.edit();
        schedule.m_EstPerformDate = "20250101";
        schedule.update();
        QCOMPARE(column("SELECT EstPerformDate FROM Schedule WHERE ScheduleID = 1"), QStringList({"20250101"}));
        schedule.deleteRow();
        QCOMPARE(column("SELECT count(*) FROM Schedule"), QStringList({"1"}));
        QCOMPARE(column("SELECT count(*) FROM Services"), QStringList({"19"}));

        m_db->execute("INSERT INTO ContactInfo (ContactID, ContactType, CompanyName) VALUES (1, 1, 'Acme')");
        m_db->execute("INSERT INTO Owners (OwnerID, ContactID, LocationID) VALUES (4, 1, 'Depot')");
        COwnerGroupSet owners(*m_db);
        owners.open();
        QCOMPARE(owners.m_CompanyName, QString("Acme"));
        QCOMPARE(owners.m_OwnerID, 4);
        QCOMPARE(owners.m_ContactInfo_ContactID, 1);

        CServicesSet services(*m_db);
        services.m_strFilter = "ServiceType = 'cosmetic'";
        services.m_strSort = "ServiceDesc Asc";
        services.open();
        QCOMPARE(services.m_ServiceDesc, QString("Wash/Clean Vehicle"));
        QVERIFY_THROWS_EXCEPTION(CdbException, services.addNew());
    }

    void missingTablesAndFieldsGiveTheirCodes()
    {
        m_db->execute("DROP TABLE Utilities");
        CUtilitiesSet utilities(*m_db);
        try {
            utilities.open();
            QFAIL("no error");
        } catch (const CdbException& error) {
            QCOMPARE(error.code(), 3078);
        }
        m_db->execute("CREATE TABLE Utilities (TimeStamp TEXT)");
        try {
            utilities.open();
            QFAIL("no error");
        } catch (const CdbException& error) {
            QCOMPARE(error.code(), 3061);
        }
        QCOMPARE(DatabaseCreation::readVersion(*m_db), QString("2.0"));
        QVERIFY_THROWS_EXCEPTION(CdbException, m_db->execute("DELETE FROM Nowhere WHERE x = 1"));
        m_db->execute("DELETE FROM Nowhere WHERE x = 1", false);
    }

    void transactionsAreAllOrNothing()
    {
        {
            Transaction outer(*m_db);
            m_db->execute("INSERT INTO Owners (OwnerID) VALUES (1)");
            {
                Transaction inner(*m_db);
                m_db->execute("INSERT INTO Owners (OwnerID) VALUES (2)");
            } // inner rolled back
            outer.commit();
        }
        QCOMPARE(column("SELECT OwnerID FROM Owners"), QStringList({"1"}));
        {
            Transaction failed(*m_db);
            m_db->execute("INSERT INTO Owners (OwnerID) VALUES (3)");
        }
        QCOMPARE(column("SELECT OwnerID FROM Owners"), QStringList({"1"}));
    }

    void filesThatAreNotDatabasesAreRefused()
    {
        Database other;
        QVERIFY_THROWS_EXCEPTION(CdbException, other.open(m_env->path("missing.vel")));
        QFile junk(m_env->path("junk.vel"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(4096, 'x'));
        junk.close();
        QVERIFY_THROWS_EXCEPTION(CdbException, other.open(junk.fileName()));
        QVERIFY(!other.isOpen());
        QCOMPARE(QFileInfo(m_env->path("Velmora.vel")).permissions() & (QFile::ReadOther | QFile::ReadGroup),
                 QFile::Permissions());
    }
};

QTEST_GUILESS_MAIN(RecordSetTest)
#include "tst_recordset.moc"
