#include "ScriptedPrompter.h"
#include "TestEnvironment.h"
#include "app/FleetGenerator.h"
#include "app/StartUp.h"
#include "db/Database.h"
#include "db/LookupIndexes.h"
#include "db/sets/GasLogSet.h"
#include "db/sets/MaintServicesMaintSet.h"
#include "db/sets/ScheduleSet.h"

#include <QFile>
#include <QSqlQuery>
#include <QTest>

namespace {

const QStringList lookupNames =
    QString(
        "ContactInfo_CompanyName ContactInfo_LastName_FirstName GasLog_VehicleID_Mileage_Date "
        "JobOrder_VehicleID_Date MaintServicesUnexpected_VehicleID MaintServices_VehicleID_ServiceID_MaintID "
        "Maintenance_MaintID_VehicleID_MaintDate_ActualMiles Maintenance_VehicleID_MaintDate_ActualMiles "
        "Owners_ContactID Schedule_EstPerformDate Schedule_VehicleID_ServiceID")
        .split(' ');

// Those of the indexes the file has, the unique ones marked so.
QStringList indexesIn(Database& db, const QStringList& names)
{
    return columnOf(db,
                    "SELECT name || substr(' UNIQUE', 1, 7 * (sql LIKE 'CREATE UNIQUE%')) FROM sqlite_master "
                    "WHERE type = 'index' AND name IN ('" +
                        names.join("','") + "') ORDER BY name");
}

// Every stored value of every table, so that a change anywhere shows.
QStringList contentsOf(Database& db)
{
    QStringList rows;
    for (const QString& table :
         columnOf(db, "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name")) {
        QStringList values{"quote(rowid)"};
        for (const QString& column : db.columnsOf(table))
            values << "quote(\"" + column + "\")";
        rows << columnOf(db, "SELECT '" + table + "|' || " + values.join(" || '|' || ") + " FROM \"" + table +
                                 "\" ORDER BY rowid");
    }
    return rows;
}

} // namespace

class LookupIndexesTest : public QObject
{
    Q_OBJECT

    TestEnvironment m_env;
    QString m_fleet;

    // A copy of the generated fleet without those indexes.
    QString copyWithout(const QString& name, const QStringList& indexes)
    {
        QFile::copy(m_fleet, m_env.path(name));
        Database db;
        db.open(m_env.path(name));
        for (const QString& index : indexes)
            db.execute("DROP INDEX \"" + index + "\"");
        return m_env.path(name);
    }

private slots:
    void initTestCase()
    {
        Database db;
        m_fleet = m_env.createDatabase(db, "fleet.vel");
        FleetGenerator::fill(db, 12, 7);
    }

    // New files carry them beside the definition's own; opening a file without them adds them and changes no
    // value.
    void newAndOpenedFilesCarryThem()
    {
        Database db;
        db.open(m_fleet);
        QCOMPARE(indexesIn(db, lookupNames), lookupNames);
        // The definition's own keep their names and uniqueness.
        QCOMPARE(indexesIn(db, {"JobOrder_PrimaryKey", "Maintenance_MaintID", "Maintenance_PrimaryKey",
                                "Maintenance_StationID", "Vehicles_OwnerID", "Vehicles_PrimaryKey"}),
                 QStringList({"JobOrder_PrimaryKey", "Maintenance_MaintID", "Maintenance_PrimaryKey UNIQUE",
                              "Maintenance_StationID", "Vehicles_OwnerID", "Vehicles_PrimaryKey UNIQUE"}));
        db.close();

        const QString copy = copyWithout("existing.vel", lookupNames);
        db.open(copy);
        const QStringList before = contentsOf(db);
        db.close();
        ScriptedPrompter prompter;
        QVERIFY(StartUp::upgradeAndOpen(db, copy, "B19", prompter));
        QCOMPARE(indexesIn(db, lookupNames), lookupNames);
        QCOMPARE(contentsOf(db), before);
        QCOMPARE(columnOf(db, "PRAGMA integrity_check"), QStringList{"ok"});
    }

    void aFileThatRefusesThemStaysUsable()
    {
        Database db;
        db.open(copyWithout("readonly.vel", {"GasLog_VehicleID_Mileage_Date"}), QString(), true);
        QVERIFY(!LookupIndexes::ensure(db));
        QCOMPARE(db.transactionDepth(), 0);
        QVERIFY(!indexesIn(db, lookupNames).contains("GasLog_VehicleID_Mileage_Date"));
        QCOMPARE(columnOf(db, "SELECT count(*) > 0 FROM GasLog WHERE VehicleID = 3"), QStringList{"1"});
    }

    // The lists the program reads per vehicle, per entry and by date are answered through an index, in the
    // index's order, without sorting the table.
    void lookupsUseThem_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("index");
        auto select = [](RecordSet&& set, const char* filter, const char* sort) {
            set.m_strFilter = filter;
            set.m_strSort = sort;
            return set.selectStatement();
        };
        Database db;
        QTest::newRow("gas list") << select(CGasLogSet(db), "VehicleID = 3", "Mileage Asc, Date Asc")
                                  << "GasLog_VehicleID_Mileage_Date";
        QTest::newRow("performed services newest first")
            << select(CMaintServicesMaintSet(db), "", "") << "Maintenance_VehicleID_MaintDate_ActualMiles";
        QTest::newRow("estimate base of one entry")
            << select(CMaintServicesMaintSet(db), "[Maintenance].[VehicleID] = 3 AND ServiceID = 5", "")
            << "Maintenance_VehicleID_MaintDate_ActualMiles";
        QTest::newRow("schedule by due date")
            << select(CScheduleSet(db), "EstPerformDate <= '20300101'", "EstPerformDate Asc")
            << "Schedule_EstPerformDate";
        QTest::newRow("vehicle's services") << QString("DELETE FROM MaintServices WHERE VehicleID = 3")
                                            << "MaintServices_VehicleID_ServiceID_MaintID";
        QTest::newRow("owner by name")
            << QString("SELECT OwnerID FROM ContactInfo INNER JOIN Owners ON "
                       "Owners.ContactID = ContactInfo.ContactID WHERE LastName = 'Novak' "
                       "AND FirstName = 'Lena' AND ContactType = 1")
            << "ContactInfo_LastName_FirstName";
    }
    void lookupsUseThem()
    {
        QFETCH(QString, sql);
        QFETCH(QString, index);
        Database db;
        db.open(m_fleet);
        QSqlQuery query(db.connection());
        QVERIFY(query.exec("EXPLAIN QUERY PLAN " + sql));
        QStringList steps;
        while (query.next())
            steps << query.value(3).toString();
        const QString described = steps.join("; ");
        QVERIFY2(described.contains(index), qPrintable(described));
        QVERIFY2(!described.contains("TEMP B-TREE"), qPrintable(described));
    }
};

QTEST_GUILESS_MAIN(LookupIndexesTest)
#include "tst_lookupindexes.moc"
