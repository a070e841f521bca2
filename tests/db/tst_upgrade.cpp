#include "DataRows.h"
#include "OldDataFiles.h"
#include "ScriptedPrompter.h"
#include "TestEnvironment.h"
#include "db/Database.h"
#include "db/DatabaseCreation.h"
#include "db/DbException.h"
#include "db/Messages.h"
#include "db/Schema.h"
#include "db/Upgrade.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>

Q_DECLARE_METATYPE(OldShape)

namespace {

QString versionOf(const QString& path)
{
    Database db;
    db.open(path);
    return DatabaseCreation::readVersion(db);
}

// Every table's columns and every index with its uniqueness and columns, sorted.
QStringList shapeOf(const QString& path)
{
    Database db;
    db.open(path);
    QStringList shape = columnOf(db, "SELECT m.name || '.' || lower(p.name) FROM sqlite_master AS m, "
                                     "pragma_table_info(m.name) AS p WHERE m.type = 'table'");
    shape += columnOf(
        db, "SELECT l.name || ':' || l.[unique] || ':' || group_concat(i.name) FROM sqlite_master AS m, "
            "pragma_index_list(m.name) AS l, pragma_index_info(l.name) AS i "
            "WHERE m.type = 'table' AND l.origin = 'c' GROUP BY l.name");
    shape.sort();
    return shape;
}

} // namespace

class UpgradeTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_env;
    QString m_path;

    // A file upgraded all the way has the shape of a new one, with unique job-order keys.
    QStringList upgradedShape()
    {
        Database fresh;
        const QString path = m_env->createDatabase(fresh, "Fresh.vel");
        fresh.close();
        return shapeOf(path).replaceInStrings(
            QRegularExpression("^(JobOrder|MaintServicesUnexpected)_PrimaryKey:0"), "\\1_PrimaryKey:1");
    }

    void upgrade(const QString& version, ScriptedPrompter& prompter)
    {
        Database db;
        Upgrade::upgradeByVersion(db, m_path, version, prompter);
        QVERIFY(!db.isOpen());
        QCOMPARE(prompter.busyDepth(), 0);
        QVERIFY(prompter.verifyDone());
    }

    void execute(const QString& statement)
    {
        Database db;
        db.open(m_path);
        db.execute(statement);
    }

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        m_path = m_env->path("Velmora.vel");
    }
    void cleanup() { m_env.reset(); }

    void upgradeReachesTheCurrentShapeKeepingTheData_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<OldShape>("shape");
        QTest::addColumn<bool>("withVehicles");
        QTest::addColumn<int>("answer"); // to the measurement question; -1: not asked
        QTest::addColumn<QStringList>("vehicles");
        QTest::addColumn<QString>("days");
        const int yes = int(Prompter::Answer::Yes), no = int(Prompter::Answer::No);
        addRow("2.0, Yes", "2.0", OldShape::V20, true, yes, QStringList({"00", "00"}), "0");
        addRow("2.2 without vehicles", "2.2", OldShape::V22, false, -1, QStringList(), "null");
        addRow("2.3 lacking the fields, No", "2.3", OldShape::V23WithoutVehicleFields, true, no,
               QStringList({"10", "10"}), "null");
        addRow("2.3 with the fields", "2.3", OldShape::V23, true, -1, QStringList({"00", "11"}), "null");
    }

    void upgradeReachesTheCurrentShapeKeepingTheData()
    {
        QFETCH(QString, version);
        QFETCH(OldShape, shape);
        QFETCH(bool, withVehicles);
        QFETCH(int, answer);
        QFETCH(QStringList, vehicles);
        QFETCH(QString, days);
        buildOldFile(m_path, shape, withVehicles);
        ScriptedPrompter prompter;
        if (answer >= 0)
            prompter.answer(Prompter::Answer(answer), Messages::MeasurementQuestion);
        upgrade(version, prompter);
        QCOMPARE(prompter.prompts().size(), answer >= 0 ? 1 : 0);
        if (answer >= 0)
            QVERIFY(prompter.prompts().front().icon == Prompter::Icon::Question &&
                    prompter.prompts().front().buttons == Prompter::Buttons::YesNo);
        QCOMPARE(shapeOf(m_path), upgradedShape());
        QCOMPARE(versionOf(m_path), QString("B19"));
        Database db;
        db.open(m_path);
        QCOMPARE(columnOf(db, "SELECT Measurement || abs(HoursInd) FROM Vehicles ORDER BY VehicleID"),
                 vehicles);
        QCOMPARE(columnOf(db, "SELECT ifnull(PerformEveryDay, 'null') || PerformEveryMiles FROM Schedule"),
                 QStringList{days + "3000"});
        QCOMPARE(columnOf(db, "SELECT count(*) FROM GasLog"), QStringList{"1"});
        QCOMPARE(columnOf(db, "SELECT LinkInd FROM MaintServices"), QStringList({"0", "0"}));
        QCOMPARE(columnOf(db, "SELECT JobOrderID FROM Maintenance"), QStringList{"0"});
        db.execute("INSERT INTO JobOrder (JobOrderID) VALUES (1)");
        QVERIFY_THROWS_EXCEPTION(CdbException, db.execute("INSERT INTO JobOrder (JobOrderID) VALUES (1)"));
    }

    void failedUpgradeIsUndoneAndResumesAtTheNextStart()
    {
        buildOldFile(m_path, OldShape::V20);
        execute("ALTER TABLE GasLog DROP COLUMN MilesTank");
        const QStringList before = shapeOf(m_path);
        ScriptedPrompter first;
        first.answer(Prompter::Answer::Ok, "MilesTank")
            .answer(Prompter::Answer::Ok, Messages::CanNotOpenNewDatabase);
        upgrade("2.0", first);
        QCOMPARE(shapeOf(m_path), before);
        QCOMPARE(versionOf(m_path), QString("2.0"));

        // Now 2.0 goes through and 2.2 fails after its question: it is undone and nothing after it runs.
        execute("ALTER TABLE GasLog ADD COLUMN MilesTank INTEGER");
        execute("CREATE TRIGGER refuse BEFORE UPDATE ON Vehicles BEGIN SELECT RAISE(ABORT, 'disk I/O "
                "error'); END");
        ScriptedPrompter second;
        second.answer(Prompter::Answer::Yes, Messages::MeasurementQuestion)
            .answer(Prompter::Answer::Ok, "disk I/O error")
            .answer(Prompter::Answer::Ok, Messages::CanNotOpenNewDatabase);
        upgrade("2.0", second);
        QCOMPARE(versionOf(m_path), QString("2.2"));
        QVERIFY(!shapeOf(m_path).contains("Vehicles.measurement"));
        QVERIFY(!shapeOf(m_path).contains("JobOrder.joborderid"));

        execute("DROP TRIGGER refuse");
        ScriptedPrompter third;
        third.answer(Prompter::Answer::No, Messages::MeasurementQuestion);
        upgrade(versionOf(m_path), third);
        QCOMPARE(shapeOf(m_path), upgradedShape());
    }

    void jobOrderStepsFailOneByOneAndChangeNothingWhenRunAgain()
    {
        buildOldFile(m_path, OldShape::V23);
        execute("CREATE TRIGGER refuse BEFORE UPDATE ON MaintServices BEGIN SELECT RAISE(ABORT, 'disk "
                "full'); END");
        ScriptedPrompter first;
        first.answer(Prompter::Answer::Ok, "disk full")
            .answer(Prompter::Answer::Ok, Messages::CanNotUpgradeToNewVersion);
        upgrade("2.3", first);
        const QStringList shape = shapeOf(m_path);
        QVERIFY(!shape.contains("MaintServices.linkind"));
        QVERIFY(shape.contains("MaintServices_PrimaryKey:1:MaintID,ServiceID"));
        QVERIFY(shape.contains("Maintenance.joborderid"));
        QVERIFY(shape.contains("ScheduleTemplateNames.templatename"));
        // The file lacks a part of the current version, so it does not claim it.
        QCOMPARE(versionOf(m_path), QString("2.3"));

        execute("DROP TRIGGER refuse");
        execute("UPDATE Maintenance SET JobOrderID = 5");
        // The next start runs the one missing step, quietly, and the file then claims the current version.
        ScriptedPrompter resumed;
        upgrade("2.3", resumed);
        QCOMPARE(versionOf(m_path), QString("B19"));
        QVERIFY(shapeOf(m_path).contains("MaintServices.linkind"));
        execute("DROP INDEX MaintServices_PrimaryKey");
        execute("ALTER TABLE MaintServices DROP COLUMN LinkInd");
        execute("CREATE UNIQUE INDEX MaintServices_PrimaryKey ON MaintServices (MaintID, ServiceID)");
        for (const bool linked : {false, true}) {
            ScriptedPrompter again;
            for (const char* existing : {"JobOrder", "MaintServicesUnexpected", "LinkInd", "JobOrderID",
                                         "ScheduleTemplate", "ScheduleTemplateNames"})
                if (linked || QByteArray(existing) != "LinkInd")
                    again.answer(Prompter::Answer::Ok, existing)
                        .answer(Prompter::Answer::Ok, Messages::CanNotUpgradeToNewVersion);
            Database db;
            Upgrade::jobOrderUpgrade(db, m_path, again);
            QVERIFY(again.verifyDone());
            QVERIFY(!db.isOpen());
            if (!linked)
                execute("INSERT INTO MaintServices (MaintID, ServiceID, LinkInd) VALUES (1, 1, 1)");
        }
        QCOMPARE(shapeOf(m_path), upgradedShape());
        Database db;
        db.open(m_path);
        QCOMPARE(columnOf(db, "SELECT LinkInd FROM MaintServices ORDER BY LinkInd"),
                 QStringList({"0", "0", "1"}));
        QCOMPARE(columnOf(db, "SELECT JobOrderID FROM Maintenance"), QStringList{"5"});
        db.close();

        ScriptedPrompter current;
        upgrade("B19", current);
        upgrade(QString(), current);
        QCOMPARE(current.prompts().size(), 0);
    }

    // A current file lacking a field is repaired by the upgrade steps that make it, or refused when none
    // does.
    void currentFileLackingAFieldIsRepairedOrRefused()
    {
        const struct
        {
            QStringList damage;
            const char* message;
            bool usable;
        } rows[] = {
            {{"ALTER TABLE Maintenance DROP COLUMN JobOrderID"},
             "lacked parts of the current version (Maintenance.JobOrderID).  The missing upgrade steps "
             "have been run.",
             true},
            {{"DROP TABLE ScheduleTemplateNames"},
             "(ScheduleTemplateNames).  The missing upgrade steps have been run.",
             true},
            {{"ALTER TABLE Owners DROP COLUMN Memo", "ALTER TABLE Maintenance DROP COLUMN JobOrderID"},
             "lacks tables or fields that Velmora needs (Maintenance.JobOrderID, Owners.Memo), so it "
             "can not be used.",
             false}};
        for (const auto& [damage, message, usable] : rows) {
            QFile::remove(m_path);
            Database db;
            m_env->createDatabase(db);
            db.close();
            for (const QString& statement : damage)
                execute(statement);
            ScriptedPrompter prompter;
            prompter.answer(Prompter::Answer::Ok, message);
            QCOMPARE(Upgrade::upgradeByVersion(db, m_path, "B19", prompter), usable);
            QVERIFY(prompter.verifyDone());
            QVERIFY(!db.isOpen());
            db.open(m_path);
            QCOMPARE(Upgrade::missingParts(db, "B19").isEmpty(), usable);
        }
    }
};

QTEST_GUILESS_MAIN(UpgradeTest)
#include "tst_upgrade.moc"
