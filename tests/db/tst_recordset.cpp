#include "WholeFiles.h"
#include "db/DbException.h"
#include "db/SqlText.h"
#include "db/sets/ContactInfoSet.h"
#include "db/sets/GasLogSet.h"
#include "db/sets/JobOrderSet.h"
#include "db/sets/OwnerGroupSet.h"
#include "db/sets/ScheduleGroupSet.h"
#include "db/sets/ServicesSet.h"
#include "db/sets/UtilitiesSet.h"
#include "db/sets/VehicleSet.h"

#include <QRegularExpression>
#include <QSqlDriver>

namespace {

// How many rows the engine has produced for a filter that calls visited(): counts what a set really read.
int rowsProduced = 0;

void countVisit(sqlite3_context* context, int, sqlite3_value**)
{
    ++rowsProduced;
    sqlite3_result_int(context, 1);
}

void open(RecordSet& set, const QString& filter, const QString& sort = {})
{
    set.m_strFilter = filter;
    set.m_strSort = sort;
    set.open();
}

// Takes the steps, blank-separated ("next", "prev", "first", "last", "requery", "at" to stay;
// "findFirst:criteria" and the other finds; "count"; a move as "next*N" N times) and tells where each left
// the set: its key, EOF or BOF off an end, a failed find as "-" and the key it stays on, "count" as "n" and
// the rows read so far.
QString trail(CGasLogSet& gas, const QString& steps)
{
    static const QStringList moveNames{"next", "prev", "first", "last", "requery"};
    static void (RecordSet::*const moves[])() = {&RecordSet::moveNext, &RecordSet::movePrev,
                                                 &RecordSet::moveFirst, &RecordSet::moveLast,
                                                 &RecordSet::requery};
    static const QStringList findNames{"findFirst", "findNext", "findPrev", "findLast"};
    static bool (RecordSet::*const finds[])(const QString&) = {&RecordSet::findFirst, &RecordSet::findNext,
                                                               &RecordSet::findPrev, &RecordSet::findLast};
    QStringList trail;
    for (const QString& step : steps.split(' ')) {
        const QString name = step.section(QRegularExpression("[:*]"), 0, 0);
        for (int n = qMax(1, step.section('*', 1).toInt()); moveNames.contains(name) && n > 0; --n)
            (gas.*moves[moveNames.indexOf(name)])();
        const bool found =
            !findNames.contains(name) || (gas.*finds[findNames.indexOf(name)])(step.section(':', 1));
        trail << (name == "count" ? "n" + QString::number(gas.recordCount())
                  : gas.isEOF()   ? "EOF"
                  : gas.isBOF()   ? "BOF"
                                  : (found ? "" : "-") + QString::number(gas.m_GasLogID));
    }
    return trail.join(' ');
}

} // namespace

class RecordSetTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<Database> m_db;

    // Gas entries from rows of (GasLogID, VehicleID, Mileage, Date, Fillup), the other fields alike.
    void addGas(const QString& rows)
    {
        m_db->execute(
            "INSERT INTO GasLog (GasLogID, VehicleID, Mileage, Date, Fillup, BriefDesc, StationID, "
            "TotalCost, CostGallon, Gallons, Estimated) SELECT *, '', 0, 30.0, 2.999, 10.0, 0 FROM (" +
            rows + ")");
    }
    QStringList column(const QString& sql) { return columnOf(*m_db, sql); }

    // GasLogID 1..count in key order, Mileage = 3 x GasLogID, on vehicles 0..999.
    void addManyGas(int count)
    {
        addGas(QString("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                       "SELECT i, i % 1000, i * 3, '20200101', -1 FROM n")
                   .arg(count));
        sqlite3* handle = *static_cast<sqlite3**>(m_db->connection().driver()->handle().data());
        QCOMPARE(
            sqlite3_create_function(handle, "visited", 1, SQLITE_UTF8, nullptr, countVisit, nullptr, nullptr),
            SQLITE_OK);
        rowsProduced = 0;
    }

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

    // The counts of tables and services and the version are in tst_cli's check of a new file, the indexes'
    // names in tst_lookupindexes.
    void newDatabaseHasTheCurrentShapeAndDefaults()
    {
        // The definition's 26 and the lookup indexes.
        QCOMPARE(
            column("SELECT count(*) FROM sqlite_master WHERE type = 'index' UNION ALL SELECT count(*) FROM "
                   "InsCoverageTypes UNION ALL SELECT ServiceDesc FROM Services WHERE ServiceID = 19 UNION "
                   "ALL SELECT * FROM (SELECT ServiceType FROM ServiceTypes ORDER BY ServiceTypeID)"),
            QStringList({"37", "0", "Transmission Fluid/Filter Change", "Routine", "Inspection", "Cosmetic",
                         "Repair", "Other"}));
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
        // The one row holds empty texts, not NULLs.
        QCOMPARE(column("SELECT group_concat(VehicleYear = '' AND PurchaseDate = '' AND Memo IS NOT NULL AND "
                        "VehicleMake IS NOT NULL) FROM Vehicles"),
                 QStringList({"1"}));
    }

    void nextIdentifierFollowsTheHighestKey()
    {
        CGasLogSet gas(*m_db);
        QCOMPARE(gas.nextIdentifier(), 1);
        addGas("VALUES (1, 1, 100, '20240101', 1), (2, 1, 200, '20240101', 1), (7, 1, 700, '20240101', 1)");
        QCOMPARE(gas.nextIdentifier(), 8);
        addGas("VALUES (8, 1, 800, '20240102', 1)");
        gas.m_strFilter = "GasLogID = 8";
        gas.requery();
        gas.deleteRow();
        QCOMPARE(gas.nextIdentifier(), 8);
        // The set is left unfiltered, sorted by key, and reads its rows when used.
        QCOMPARE(gas.m_strFilter, QString());
        QCOMPARE(trail(gas, "last count"), "7 n3");
    }

    void movesFindsAndDateRanges()
    {
        addGas("VALUES (1, 1, 100, '19981231', 1), (2, 1, 200, '19990101', 0), (3, 2, 300, '19990315', 1), "
               "(4, 1, 400, '19990601', 1)");
        CGasLogSet gas(*m_db);
        open(gas, "VehicleID = 1 AND Date >= '19990101'", "Mileage Desc, Date Asc");
        QCOMPARE(trail(gas, "at count next next prev count findFirst:Fillup=0 findNext:Fillup=0 "
                            "findPrev:Mileage>0 findLast:Mileage>0"),
                 "4 n1 2 EOF 2 n2 2 -2 4 2");
        const RecordSet::Bookmark mark = gas.bookmark();
        gas.moveFirst();
        gas.setBookmark(mark);
        QCOMPARE(gas.m_GasLogID, 2);
        QCOMPARE(gas.fieldValue("Mileage").toInt(), 200);
        QCOMPARE(gas.fieldValue("Estimated").toInt(), 0);

        CGasLogSet none(*m_db); // an empty result is at its start and end at once
        open(none, "VehicleID = 99");
        QVERIFY(none.isBOF() && none.isEOF() && !none.findFirst("Mileage > 0") && none.recordCount() == 0);
        QVERIFY_THROWS_EXCEPTION(CdbException, none.moveNext());
    }

    void editWritesChangesAndAddedRowIsReachedByLastModified()
    {
        addGas("VALUES (1, 1, 100, '19981231', 1)");
        CGasLogSet gas(*m_db);
        gas.open();
        gas.edit();
        gas.m_Mileage = 150;
        gas.update();

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
        addGas("VALUES (1, 1, 1, '20000101', 1), (2, 1, 2, '20000101', 1), (3, 1, 3, '20000101', 1)");
        CGasLogSet gas(*m_db);
        open(gas, {}, "GasLogID Asc");
        gas.moveNext();
        gas.deleteRow();
        QVERIFY_THROWS_EXCEPTION(CdbException, gas.fieldValue("Mileage"));
        QCOMPARE(trail(gas, "next requery last count"), "3 1 3 n2");
    }

    void largeResultIsReadAsItIsVisited()
    {
        addManyGas(100000);
        CGasLogSet gas(*m_db);
        open(gas, "visited(GasLogID) = 1");
        // A key the set does not hold is answered without reading the rows.
        QCOMPARE(trail(gas, "at findFirst:GasLogID=200000"), "1 -1");
        QVERIFY2(rowsProduced < 1000, qPrintable(QString::number(rowsProduced)));
        // Forward past what was read at first, then all the way back.
        QCOMPARE(trail(gas, "next*300"), "301");
        const RecordSet::Bookmark mark = gas.bookmark();
        QCOMPARE(trail(gas, "prev*300 prev count findNext:GasLogID=5000"), "1 BOF n301 5000");
        QCOMPARE(gas.m_Mileage, 15000);
        gas.setBookmark(mark);
        QCOMPARE(gas.m_GasLogID, 301);
        QVERIFY(rowsProduced < 10000);
        // A bookmark taken elsewhere, of a row this set has not read yet, is found.
        CGasLogSet reader(*m_db);
        open(reader, "GasLogID = 54321");
        gas.setBookmark(reader.bookmark());
        QCOMPARE(trail(gas, "at last count findPrev:GasLogID=99999"), "54321 100000 n100000 99999");
        QCOMPARE(gas.m_Mileage, 299997);
    }

    // Whatever the connection does while a set is part-read, the set goes on with the rows it had: writes,
    // a rollback and closing the connection let it read the rest first.
    void partReadSetKeepsItsRows_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("rows deleted") << "delete";
        QTest::newRow("rows updated by another set") << "update";
        QTest::newRow("transaction rolled back") << "rollback";
        QTest::newRow("connection closed") << "close";
    }
    void partReadSetKeepsItsRows()
    {
        QFETCH(QString, change);
        addManyGas(3000);
        CGasLogSet gas(*m_db);
        {
            Transaction transaction(*m_db);
            gas.m_strSort = "GasLogID Asc";
            gas.open();
            gas.moveNext();
            if (change == "rollback")
                m_db->execute("DELETE FROM GasLog WHERE GasLogID > 10");
            else
                transaction.commit();
        }
        if (change == "delete")
            m_db->execute("DELETE FROM GasLog");
        if (change == "update") {
            CGasLogSet other(*m_db);
            open(other, "GasLogID > 2000");
            other.edit();
            other.m_GasLogID = 9999;
            other.update();
        }
        if (change == "close")
            m_db->close();
        int count = 2;
        for (gas.moveNext(); !gas.isEOF(); gas.moveNext(), ++count)
            QCOMPARE(QPair(gas.m_GasLogID, gas.m_Mileage), QPair(count + 1, count * 3 + 3));
        QCOMPARE(count, 3000);
    }

    void smallResultLeavesTheFileFreeForOthers()
    {
        addManyGas(20);
        CGasLogSet gas(*m_db);
        gas.open();
        QCOMPARE(gas.m_GasLogID, 1);
        Database other;
        other.open(m_db->path());
        other.execute("UPDATE GasLog SET Mileage = 0 WHERE GasLogID = 20");
        QCOMPARE(column("SELECT Mileage FROM GasLog WHERE GasLogID = 20"), QStringList{"0"});
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

        m_db->execute("INSERT INTO JobOrder (JobOrderID, OpenInd) VALUES (1, -1), (2, 0), (3, 1)");
        m_db->execute("UPDATE JobOrder SET JCN = 'it''s TRUE = x' WHERE JobOrderID = 1");
        CJobOrderSet jobs(*m_db);
        open(jobs, "JobOrderID > 0 AND OpenInd = TRUE", "JobOrderID Asc");
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
        m_db->execute("INSERT INTO Schedule (ScheduleID, VehicleID, ServiceID, Description) VALUES (1, 5, 3, "
                      "'plugs'), (2, 6, 4, 'x')");
        CScheduleGroupSet schedule(*m_db);
        open(schedule, "VehicleID = 5");
        QCOMPARE(schedule.m_ServiceDesc + QString::number(schedule.m_Services_ServiceID),
                 "Spark Plugs Replaced3");
        schedule.edit();
        schedule.m_EstPerformDate = "20250101";
        schedule.update();
        QCOMPARE(column("SELECT EstPerformDate FROM Schedule WHERE ScheduleID = 1"),
                 QStringList({"20250101"}));
        schedule.deleteRow();
        QCOMPARE(column("SELECT count(*) FROM Schedule UNION ALL SELECT count(*) FROM Services"),
                 QStringList({"1", "19"}));

        m_db->execute("INSERT INTO ContactInfo (ContactID, ContactType, CompanyName) VALUES (1, 1, 'Acme')");
        m_db->execute("INSERT INTO Owners (OwnerID, ContactID, LocationID) VALUES (4, 1, 'Depot')");
        COwnerGroupSet owners(*m_db);
        owners.open();
        QCOMPARE(owners.m_CompanyName +
                     QString::asprintf(" %d %d", owners.m_OwnerID, owners.m_ContactInfo_ContactID),
                 "Acme 4 1");

        CServicesSet services(*m_db);
        open(services, "ServiceType = 'cosmetic'", "ServiceDesc Asc");
        QCOMPARE(services.m_ServiceDesc, QString("Wash/Clean Vehicle"));
        QVERIFY_THROWS_EXCEPTION(CdbException, services.addNew());
    }

    void missingTablesAndFieldsGiveTheirCodes()
    {
        CUtilitiesSet utilities(*m_db);
        const auto codeOfOpen = [&] {
            try {
                utilities.open();
            } catch (const CdbException& error) {
                return error.code();
            }
            return 0;
        };
        m_db->execute("DROP TABLE Utilities");
        QCOMPARE(codeOfOpen(), 3078);
        m_db->execute("CREATE TABLE Utilities (TimeStamp TEXT)");
        QCOMPARE(codeOfOpen(), 3061);
        QCOMPARE(DatabaseCreation::readVersion(*m_db), QString("2.0"));
        QVERIFY_THROWS_EXCEPTION(CdbException, m_db->execute("DELETE FROM Nowhere WHERE x = 1"));
        m_db->execute("DELETE FROM Nowhere WHERE x = 1", false);
    }

    void innerTransactionIsUndoneAlone()
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
    }

    void filesThatAreNotDatabasesAreRefused()
    {
        Database other;
        QVERIFY_THROWS_EXCEPTION(CdbException, other.open(m_env->path("missing.vel")));
        writeFile(m_env->path("junk.vel"), QByteArray(4096, 'x'));
        QVERIFY_THROWS_EXCEPTION(CdbException, other.open(m_env->path("junk.vel")));
        QVERIFY(!other.isOpen());
    }
};

QTEST_GUILESS_MAIN(RecordSetTest)
#include "tst_recordset.moc"
