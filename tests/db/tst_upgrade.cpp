#include "DataRows.h"
#include "OldDataFiles.h"
#include "ScriptedPrompter.h"
#include "TestEnvironment.h"
#include "db/Database.h"
#include "db/DatabaseCreation.h"
#include "db/Messages.h"
#include "db/Upgrade.h"

#include <QRegularExpression>
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

    void upgrade(const QString& version, ScriptedPrompter&& prompter) { upgrade(version, prompter); }

    // Runs the statements on the file; gives the last one's first column.
    QStringList execute(const QStringList& statements)
    {
        Database db;
        db.open(m_path);
        QStringList values;
        for (const QString& statement : statements)
            values = columnOf(db, statement);
        return values;
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
        // Each row's name starts with the version; no vehicles: a file without them.
        QTest::addColumn<OldShape>("shape");
        QTest::addColumn<int>("answer"); // to the measurement question; -1: not asked
        QTest::addColumn<QStringList>("vehicles");
        QTest::addColumn<QString>("days");
        const int yes = int(Prompter::Answer::Yes), no = int(Prompter::Answer::No);
        addRow("2.0, Yes", OldShape::V20, yes, QStringList({"00", "00"}), "0");
        addRow("2.2 without vehicles", OldShape::V22, -1, QStringList(), "null");
        addRow("2.3 lacking the fields, No", OldShape::V23WithoutVehicleFields, no, QStringList({"10", "10"}),
               "null");
        addRow("2.3 with the fields", OldShape::V23, -1, QStringList({"00", "11"}), "null");
    }

    void upgradeReachesTheCurrentShapeKeepingTheData()
    {
        QFETCH(OldShape, shape);
        QFETCH(int, answer);
        QFETCH(QStringList, vehicles);
        QFETCH(QString, days);
        buildOldFile(m_path, shape, !vehicles.isEmpty());
        ScriptedPrompter prompter;
        if (answer >= 0)
            prompter.answer(Prompter::Answer(answer), Messages::MeasurementQuestion);
        upgrade(QString(QTest::currentDataTag()).left(3), prompter);
        if (answer >= 0)
            QVERIFY(prompter.prompts().front().icon == Prompter::Icon::Question &&
                    prompter.prompts().front().buttons == Prompter::Buttons::YesNo);
        QCOMPARE(shapeOf(m_path), upgradedShape());
        QCOMPARE(versionOf(m_path), QString("B19"));
        // Units and interval as chosen; the gas entry and the new fields' values kept.
        QCOMPARE(execute({"SELECT * FROM (SELECT Measurement || abs(HoursInd) FROM Vehicles ORDER BY "
                          "VehicleID) UNION ALL SELECT ifnull(PerformEveryDay, 'null') || PerformEveryMiles "
                          "FROM Schedule UNION ALL SELECT count(*) FROM GasLog UNION ALL SELECT LinkInd FROM "
                          "MaintServices UNION ALL SELECT JobOrderID FROM Maintenance"}),
                 vehicles + QStringList({days + "3000", "1", "0", "0", "0"}));
    }

    void failedUpgradeIsUndoneAndResumesAtTheNextStart()
    {
        buildOldFile(m_path, OldShape::V20);
        execute({"ALTER TABLE GasLog DROP COLUMN MilesTank"});
        const QStringList before = shapeOf(m_path);
        upgrade("2.0", ScriptedPrompter()
                           .answer(Prompter::Answer::Ok, "MilesTank")
                           .answer(Prompter::Answer::Ok, Messages::CanNotOpenNewDatabase));
        QCOMPARE(shapeOf(m_path), before);
        QCOMPARE(versionOf(m_path), QString("2.0"));

        // Now 2.0 goes through and 2.2 fails after its question: it is undone and nothing after it runs.
        execute({"ALTER TABLE GasLog ADD COLUMN MilesTank INTEGER",
                 "CREATE TRIGGER refuse BEFORE UPDATE ON Vehicles BEGIN SELECT RAISE(ABORT, 'disk I/O "
                 "error'); END"});
        upgrade("2.0", ScriptedPrompter()
                           .answer(Prompter::Answer::Yes, Messages::MeasurementQuestion)
                           .answer(Prompter::Answer::Ok, "disk I/O error")
                           .answer(Prompter::Answer::Ok, Messages::CanNotOpenNewDatabase));
        QCOMPARE(versionOf(m_path), QString("2.2"));
        QCOMPARE(shapeOf(m_path).filter(QRegularExpression("^(Vehicles.measurement|JobOrder.joborderid)$")),
                 QStringList());

        execute({"DROP TRIGGER refuse"});
        upgrade(versionOf(m_path),
                ScriptedPrompter().answer(Prompter::Answer::No, Messages::MeasurementQuestion));
        QCOMPARE(shapeOf(m_path), upgradedShape());
    }

    void jobOrderStepsFailOneByOneAndChangeNothingWhenRunAgain()
    {
        buildOldFile(m_path, OldShape::V23);
        execute({"CREATE TRIGGER refuse BEFORE UPDATE ON MaintServices BEGIN SELECT RAISE(ABORT, 'disk "
                 "full'); END"});
        upgrade("2.3", ScriptedPrompter()
                           .answer(Prompter::Answer::Ok, "disk full")
                           .answer(Prompter::Answer::Ok, Messages::CanNotUpgradeToNewVersion));
        // Only the step that failed is missing.
        QCOMPARE(shapeOf(m_path).filter(
                     QRegularExpression("^(MaintServices.linkind|MaintServices_PrimaryKey:|"
                                        "Maintenance.joborderid|ScheduleTemplateNames.templatename)")),
                 QStringList({"MaintServices_PrimaryKey:1:MaintID,ServiceID", "Maintenance.joborderid",
                              "ScheduleTemplateNames.templatename"}));
        // The file lacks a part of the current version, so it does not claim it.
        QCOMPARE(versionOf(m_path), QString("2.3"));

        execute({"DROP TRIGGER refuse", "UPDATE Maintenance SET JobOrderID = 5"});
        // The next start runs the one missing step, quietly, and the file then claims the current version.
        upgrade("2.3", ScriptedPrompter());
        QCOMPARE(versionOf(m_path), QString("B19"));
        QVERIFY(shapeOf(m_path).contains("MaintServices.linkind"));
        execute({"DROP INDEX MaintServices_PrimaryKey", "ALTER TABLE MaintServices DROP COLUMN LinkInd",
                 "CREATE UNIQUE INDEX MaintServices_PrimaryKey ON MaintServices (MaintID, ServiceID)"});
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
                execute({"INSERT INTO MaintServices (MaintID, ServiceID, LinkInd) VALUES (1, 1, 1)"});
        }
        QCOMPARE(shapeOf(m_path), upgradedShape());
        QCOMPARE(execute({"SELECT LinkInd FROM MaintServices UNION ALL SELECT JobOrderID FROM Maintenance "
                          "ORDER BY 1"}),
                 QStringList({"0", "0", "1", "5"}));

        // A current file, or one of no known version, is left alone without a word.
        upgrade("B19", ScriptedPrompter());
        upgrade(QString(), ScriptedPrompter());
    }

    // A current file lacking a field is repaired by the upgrade steps that make it, or refused when none
    // does.
    void currentFileLackingAFieldIsRepairedOrRefused()
    {
        for (const auto& [damage, message, usable] :
             {std::tuple{QStringList{"ALTER TABLE Maintenance DROP COLUMN JobOrderID"},
                         "lacked parts of the current version (Maintenance.JobOrderID).  The missing upgrade "
                         "steps have been run.",
                         true},
              {QStringList{"DROP TABLE ScheduleTemplateNames"},
               "(ScheduleTemplateNames).  The missing upgrade steps have been run.", true},
              {QStringList{"ALTER TABLE Owners DROP COLUMN Memo",
                           "ALTER TABLE Maintenance DROP COLUMN JobOrderID"},
               "lacks tables or fields that Velmora needs (Maintenance.JobOrderID, Owners.Memo), so it "
               "can not be used.",
               false}}) {
            QFile::remove(m_path);
            Database db;
            m_env->createDatabase(db);
            db.close();
            execute(damage);
            ScriptedPrompter prompter;
            QCOMPARE(
                Upgrade::upgradeByVersion(db, m_path, "B19", prompter.answer(Prompter::Answer::Ok, message)),
                usable);
            QVERIFY(prompter.verifyDone());
            QVERIFY(!db.isOpen());
            db.open(m_path);
            QCOMPARE(Upgrade::missingParts(db, "B19").isEmpty(), usable);
        }
    }
};

QTEST_GUILESS_MAIN(UpgradeTest)
#include "tst_upgrade.moc"
