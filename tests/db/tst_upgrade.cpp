#include "ScriptedPrompter.h"
#include "TestEnvironment.h"
#include "db/Database.h"
#include "db/DatabaseCreation.h"
#include "db/DbException.h"
#include "db/Messages.h"
#include "db/Schema.h"
#include "db/Upgrade.h"

#include <QMap>
#include <QSet>
#include <QSqlQuery>
#include <QTest>

namespace {

enum class OldShape { V20, V22, V23WithoutVehicleFields, V23 };

QStringList values(Database& db, const QString& sql)
{
    QSqlQuery query(db.connection());
    if (!query.exec(sql))
        QTest::qFail(qPrintable("query failed: " + sql), __FILE__, __LINE__);
    QStringList result;
    while (query.next())
        result << query.value(0).toString();
    return result;
}

QString value(Database& db, const QString& sql)
{
    return values(db, sql).value(0);
}

// Tables with their column names, and indexes with their columns and uniqueness.
QMap<QString, QString> shapeOf(const QString& path)
{
    Database db;
    db.open(path);
    QMap<QString, QString> shape;
    for (const QString& table :
         values(db, "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%'")) {
        QStringList columns = db.columnsOf(table);
        columns.sort();
        shape.insert("table " + table, columns.join(','));
        QSqlQuery indexes(db.connection());
        indexes.exec(
            QString("SELECT name, [unique] FROM pragma_index_list('%1') WHERE origin = 'c'").arg(table));
        while (indexes.next()) {
            const QString name = indexes.value(0).toString();
            const QStringList fields =
                values(db, QString("SELECT name FROM pragma_index_info('%1') ORDER BY seqno").arg(name));
            shape.insert("index " + name,
                         table + "(" + fields.join(',') + ")" + (indexes.value(1).toInt() ? " unique" : ""));
        }
    }
    return shape;
}

void buildOldFile(const QString& path, OldShape shape, bool withVehicles = true)
{
    Database db;
    db.create(path);
    Transaction transaction(db);
    const QSet<QString> absentTables{"JobOrder", "MaintServicesUnexpected", "ScheduleTemplate",
                                     "ScheduleTemplateNames"};
    QSet<QString> absentFields{"MaintServices.LinkInd", "Maintenance.JobOrderID"};
    if (shape != OldShape::V23)
        absentFields += {"Vehicles.Measurement", "Vehicles.HoursInd"};
    if (shape == OldShape::V20)
        absentFields += {"Utilities.VerInd", "Schedule.PerformEveryDay"};
    for (Schema::Table table : Schema::tables()) {
        if (absentTables.contains(table.name))
            continue;
        if (shape == OldShape::V20 && table.name == "GasLog") {
            db.execute("CREATE TABLE GasLog (GasLogID INTEGER, VehicleID INTEGER, Date TEXT, Gallons REAL, "
                       "MilesTank INTEGER, Mileage INTEGER, Cost REAL, StationID INTEGER, Memo TEXT)");
            db.execute("CREATE UNIQUE INDEX GasLog_PrimaryKey ON GasLog (GasLogID)");
            db.execute("CREATE INDEX GasLog_Date ON GasLog (Date)");
            continue;
        }
        std::erase_if(table.fields, [&](const Schema::Field& f) {
            return absentFields.contains(table.name + "." + f.name);
        });
        if (table.name == "MaintServices")
            table.indexes.front().fields = QStringList{"MaintID", "ServiceID"};
        Schema::createTable(db, table);
    }

    if (withVehicles) {
        if (shape == OldShape::V23)
            db.execute("INSERT INTO Vehicles (VehicleID, VehicleMake, OwnerID, Measurement, HoursInd) "
                       "VALUES (1, 'Ford', 1, 1, 0), (2, 'Volvo', 1, 0, -1)");
        else
            db.execute("INSERT INTO Vehicles (VehicleID, VehicleMake, OwnerID) VALUES (1, 'Ford', 1), (2, "
                       "'Volvo', 1)");
    }
    db.execute(
        "INSERT INTO Schedule (ScheduleID, VehicleID, ServiceID, PerformEveryMiles) VALUES (1, 1, 1, 3000)");
    if (shape == OldShape::V20)
        db.execute("INSERT INTO GasLog VALUES (1, 1, '19990101', 10.5, 300, 12000, 15.0, 0, 'old memo')");
    else
        db.execute(
            "INSERT INTO GasLog (GasLogID, VehicleID, Mileage, Date) VALUES (1, 1, 12000, '19990101')");
    db.execute("INSERT INTO Maintenance (MaintID, VehicleID, StationID, ActualMiles, MaintDate) "
               "VALUES (1, 1, 0, 1000, '19990101')");
    db.execute("INSERT INTO MaintServices (MaintID, ServiceID, VehicleID, Price) VALUES (1, 1, 1, 20), (1, "
               "2, 1, 5)");
    if (shape == OldShape::V20)
        db.execute("INSERT INTO Utilities (TimeStamp) VALUES ('')");
    else
        db.execute(QString("INSERT INTO Utilities (TimeStamp, VerInd) VALUES ('', '%1')")
                       .arg(shape == OldShape::V22 ? "2.2" : "2.3"));
    transaction.commit();
}

QString versionOf(const QString& path)
{
    Database db;
    db.open(path);
    return DatabaseCreation::readVersion(db);
}

} // namespace

class UpgradeTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_env;
    QString m_path;

    // The shape a file upgraded all the way must have: that of a new file, with unique job-order keys.
    QMap<QString, QString> upgradedShape()
    {
        Database fresh;
        const QString path = m_env->createDatabase(fresh, "Fresh.vel");
        fresh.close();
        QMap<QString, QString> shape = shapeOf(path);
        shape["index JobOrder_PrimaryKey"] += " unique";
        shape["index MaintServicesUnexpected_PrimaryKey"] += " unique";
        return shape;
    }

    void upgrade(const QString& version, ScriptedPrompter& prompter)
    {
        Database db;
        Upgrade::upgradeByVersion(db, m_path, version, prompter);
        QVERIFY(!db.isOpen());
        QCOMPARE(prompter.busyDepth(), 0);
        QVERIFY(prompter.verifyDone());
    }

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        m_path = m_env->path("Velmora.vel");
    }
    void cleanup() { m_env.reset(); }

    void from20ReachesTheCurrentShapeKeepingTheData()
    {
        buildOldFile(m_path, OldShape::V20);
        ScriptedPrompter prompter;
        prompter.answer(Prompter::Answer::Yes, "US Measurement System");
        upgrade("2.0", prompter);
        QCOMPARE(prompter.prompts().size(), 1);
        QCOMPARE(prompter.prompts().front().icon, Prompter::Icon::Question);
        QCOMPARE(prompter.prompts().front().buttons, Prompter::Buttons::YesNo);
        QVERIFY(prompter.busyCount() > 0);

        QCOMPARE(shapeOf(m_path), upgradedShape());
        QCOMPARE(versionOf(m_path), QString("B19"));
        Database db;
        db.open(m_path);
        QCOMPARE(
            values(db, "SELECT VehicleID || ':' || Measurement || ':' || HoursInd FROM Vehicles ORDER BY 1"),
            QStringList({"1:0:0", "2:0:0"}));
        QCOMPARE(value(db, "SELECT PerformEveryDay || ':' || PerformEveryMiles FROM Schedule"),
                 QString("0:3000"));
        // The old fuel fields are gone with their contents; the entry itself stays.
        QCOMPARE(
            value(db, "SELECT GasLogID || ':' || VehicleID || ':' || ifnull(Mileage, 'none') FROM GasLog"),
            QString("1:1:none"));
        QCOMPARE(values(db, "SELECT LinkInd FROM MaintServices"), QStringList({"0", "0"}));
        QCOMPARE(value(db, "SELECT JobOrderID FROM Maintenance"), QString("0"));
        QCOMPARE(value(db, "SELECT count(*) FROM Utilities"), QString("1"));
        // Upgraded job-order keys are unique, unlike those of a new file.
        db.execute("INSERT INTO JobOrder (JobOrderID) VALUES (1)");
        QVERIFY_THROWS_EXCEPTION(CdbException, db.execute("INSERT INTO JobOrder (JobOrderID) VALUES (1)"));
        db.execute("INSERT INTO MaintServices (MaintID, ServiceID, LinkInd) VALUES (1, 1, 1)");
    }

    void measurementQuestion_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<int>("shape");
        QTest::addColumn<bool>("withVehicles");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<QStringList>("vehicles");
        QTest::newRow("2.2, answered No")
            << "2.2" << int(OldShape::V22) << true << true << QStringList({"1:1:0", "2:1:0"});
        QTest::newRow("2.2 without vehicles")
            << "2.2" << int(OldShape::V22) << false << false << QStringList();
        QTest::newRow("2.3 lacking the fields") << "2.3" << int(OldShape::V23WithoutVehicleFields) << true
                                                << true << QStringList({"1:1:0", "2:1:0"});
        QTest::newRow("2.3 with the fields")
            << "2.3" << int(OldShape::V23) << true << false << QStringList({"1:1:0", "2:0:-1"});
    }

    void measurementQuestion()
    {
        QFETCH(QString, version);
        QFETCH(int, shape);
        QFETCH(bool, withVehicles);
        QFETCH(bool, asked);
        QFETCH(QStringList, vehicles);
        buildOldFile(m_path, OldShape(shape), withVehicles);
        ScriptedPrompter prompter;
        if (asked)
            prompter.answer(Prompter::Answer::No, Messages::MeasurementQuestion);
        upgrade(version, prompter);
        QCOMPARE(prompter.prompts().size(), asked ? 1 : 0);

        QCOMPARE(shapeOf(m_path), upgradedShape());
        QCOMPARE(versionOf(m_path), QString("B19"));
        Database db;
        db.open(m_path);
        QCOMPARE(
            values(db, "SELECT VehicleID || ':' || Measurement || ':' || HoursInd FROM Vehicles ORDER BY 1"),
            vehicles);
    }

    void failed20UpgradeLeavesTheFileAsItWas()
    {
        buildOldFile(m_path, OldShape::V20);
        {
            Database db;
            db.open(m_path);
            db.execute("ALTER TABLE GasLog DROP COLUMN MilesTank");
        }
        const QMap<QString, QString> before = shapeOf(m_path);
        ScriptedPrompter prompter;
        prompter.answer(Prompter::Answer::Ok, "MilesTank")
            .answer(Prompter::Answer::Ok, Messages::CanNotOpenNewDatabase);
        // The later upgrades wait: the file still says 2.0.
        upgrade("2.0", prompter);
        QCOMPARE(shapeOf(m_path), before);
        QCOMPARE(versionOf(m_path), QString("2.0"));
    }

    void chainStoppedByAFailureResumesAtTheNextStart()
    {
        buildOldFile(m_path, OldShape::V20);
        {
            Database db;
            db.open(m_path);
            db.execute("CREATE TRIGGER refuse BEFORE UPDATE ON Vehicles BEGIN SELECT RAISE(ABORT, 'disk I/O "
                       "error'); END");
        }
        ScriptedPrompter prompter;
        prompter.answer(Prompter::Answer::Yes, "US Measurement System")
            .answer(Prompter::Answer::Ok, "disk I/O error")
            .answer(Prompter::Answer::Ok, Messages::CanNotOpenNewDatabase);
        upgrade("2.0", prompter);
        // The 2.0 part stands; the 2.2 part, question and all, was undone and nothing after it ran.
        QCOMPARE(versionOf(m_path), QString("2.2"));
        {
            Database db;
            db.open(m_path);
            QVERIFY(!db.columnsOf("Vehicles").contains("measurement"));
            QVERIFY(db.columnsOf("Schedule").contains("performeveryday"));
            QVERIFY(!db.hasTable("JobOrder"));
            db.execute("DROP TRIGGER refuse");
        }

        ScriptedPrompter nextStart;
        nextStart.answer(Prompter::Answer::No, "US Measurement System");
        upgrade(versionOf(m_path), nextStart);
        QCOMPARE(shapeOf(m_path), upgradedShape());
        QCOMPARE(versionOf(m_path), QString("B19"));
    }

    void jobOrderUpgradeRunTwiceKeepsTheData()
    {
        buildOldFile(m_path, OldShape::V23);
        ScriptedPrompter first;
        upgrade("2.3", first);
        Database db;
        db.open(m_path);
        db.execute("INSERT INTO JobOrder (JobOrderID, VehicleID, OpenInd) VALUES (5, 1, -1)");
        db.execute("INSERT INTO MaintServices (MaintID, ServiceID, VehicleID, LinkInd) VALUES (5, 3, 1, 1)");
        db.execute("UPDATE Maintenance SET JobOrderID = 5");
        db.close();
        const QMap<QString, QString> before = shapeOf(m_path);

        ScriptedPrompter again;
        for (const char* existing : {"JobOrder", "MaintServicesUnexpected", "LinkInd", "JobOrderID",
                                     "ScheduleTemplate", "ScheduleTemplateNames"})
            again.answer(Prompter::Answer::Ok, existing)
                .answer(Prompter::Answer::Ok, Messages::CanNotUpgradeToNewVersion);
        Upgrade::jobOrderUpgrade(db, m_path, again);
        QVERIFY(again.verifyDone());
        QVERIFY(!db.isOpen());

        QCOMPARE(shapeOf(m_path), before);
        db.open(m_path);
        QCOMPARE(
            values(db, "SELECT MaintID || ':' || ServiceID || ':' || LinkInd FROM MaintServices ORDER BY 1"),
            QStringList({"1:1:0", "1:2:0", "5:3:1"}));
        QCOMPARE(value(db, "SELECT JobOrderID FROM Maintenance"), QString("5"));
        QCOMPARE(value(db, "SELECT count(*) FROM JobOrder"), QString("1"));
        QCOMPARE(DatabaseCreation::readVersion(db), QString("B19"));
        db.close();

        // A current file needs nothing.
        ScriptedPrompter current;
        upgrade("B19", current);
        upgrade(QString(), current);
        QCOMPARE(current.prompts().size(), 0);
        QCOMPARE(shapeOf(m_path), before);
    }

    void failingJobOrderStepIsUndoneAndTheNextStepsRun()
    {
        buildOldFile(m_path, OldShape::V23);
        {
            Database db;
            db.open(m_path);
            db.execute("CREATE TRIGGER refuse BEFORE UPDATE ON MaintServices BEGIN SELECT RAISE(ABORT, 'disk "
                       "full'); END");
        }
        ScriptedPrompter prompter;
        prompter.answer(Prompter::Answer::Ok, "disk full")
            .answer(Prompter::Answer::Ok, Messages::CanNotUpgradeToNewVersion);
        upgrade("2.3", prompter);

        Database db;
        db.open(m_path);
        QVERIFY(!db.columnsOf("MaintServices").contains("linkind"));
        QCOMPARE(values(db, "SELECT name FROM pragma_index_info('MaintServices_PrimaryKey') ORDER BY seqno"),
                 QStringList({"MaintID", "ServiceID"}));
        QVERIFY(db.columnsOf("Maintenance").contains("joborderid"));
        QVERIFY(db.hasTable("ScheduleTemplateNames"));
        QCOMPARE(DatabaseCreation::readVersion(db), QString("B19"));
    }

    void unreadableFileIsToldOnce()
    {
        ScriptedPrompter prompter;
        prompter.answer(Prompter::Answer::Ok, "Could not find file")
            .answer(Prompter::Answer::Ok, Messages::CanNotUpgrade);
        upgrade("2.3", prompter);
    }
};

QTEST_GUILESS_MAIN(UpgradeTest)
#include "tst_upgrade.moc"
