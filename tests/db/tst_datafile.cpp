#include "ScriptedPrompter.h"
#include "TestEnvironment.h"
#include "app/ui/DataFileCommands.h"
#include "app/ui/VelApp.h"
#include "db/DataFile.h"
#include "db/Database.h"
#include "db/DbException.h"
#include "db/Messages.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTest>

namespace {

QStringList owners(Database& db)
{
    return columnOf(db, "SELECT OwnerID || ':' || ifnull(LocationID, '') FROM Owners ORDER BY OwnerID");
}

QStringList ownersIn(const QString& path)
{
    Database db;
    db.open(path);
    return owners(db);
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class DataFileTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<CVelApp> m_app;
    QString m_path;

    Database& db() { return m_app->database(); }

    // Only the data file and the files a test made itself may be left in the folder.
    QStringList leftovers()
    {
        return QDir(m_env->folder())
            .entryList({"*.tmp", "*.old*", "*.restoring*", ".velmora-backup-*"}, QDir::Files | QDir::Hidden);
    }

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        m_prompter = std::make_unique<ScriptedPrompter>();
        m_app = std::make_unique<CVelApp>(*m_prompter);
        m_path = m_env->createDatabase(db());
        m_app->setDatabasePath(m_path);
        db().execute(
            "INSERT INTO Owners (OwnerID, ContactID, LocationID) VALUES (1, 1, 'North'), (2, 2, 'South')");
    }

    void cleanup()
    {
        m_prompter->verifyDone();
        m_app.reset();
        m_prompter.reset();
        m_env.reset();
    }

    void backupThenRestoreGivesTheDataBack()
    {
        const QString backup = m_env->path("Velmora.bak");
        m_prompter->file(backup).answer(Prompter::Answer::Ok, Messages::BackupSucceeded);
        backupDatabase(*m_app);
        QCOMPARE(m_prompter->prompts().first().dialog.defaultName, QString("Velmora.bak"));
        QCOMPARE(QFile::permissions(backup) & 0x0077, QFileDevice::Permissions());

        db().execute("DELETE FROM Owners WHERE OwnerID = 1");
        db().execute("INSERT INTO Owners (OwnerID, ContactID, LocationID) VALUES (3, 3, 'East')");
        // The data in use is replaced only on a Yes given knowing the backup; Enter means No.
        const QString question =
            QStringLiteral("Restoring replaces all the data in %1 with the backup Velmora.bak of ")
                .arg(QDir::toNativeSeparators(m_path));
        m_prompter->file(backup).answer(Prompter::Answer::No, question);
        QVERIFY(!restoreDatabase(*m_app));
        QCOMPARE(m_prompter->prompts().last().buttons, Prompter::Buttons::YesNoDefaultNo);
        QCOMPARE(m_prompter->prompts().at(m_prompter->prompts().size() - 2).dialog.folder, m_env->folder());
        QCOMPARE(owners(db()), QStringList({"2:South", "3:East"}));
        m_prompter->file(backup).answer(Prompter::Answer::Yes, question);
        m_prompter->answer(Prompter::Answer::Ok, Messages::RestoreSucceeded);
        QVERIFY(restoreDatabase(*m_app));
        QVERIFY(db().isOpen());
        QCOMPARE(db().path(), m_path);
        QCOMPARE(owners(db()), QStringList({"1:North", "2:South"}));
        QVERIFY(leftovers().isEmpty());
    }

    void backupReplacesAnEarlierBackupButNeverTheDataFile()
    {
        const QString backup = m_env->path("old.bak");
        writeFile(backup, "an older backup");
        m_prompter->file(backup).answer(Prompter::Answer::Ok, Messages::BackupSucceeded);
        backupDatabase(*m_app);
        QCOMPARE(ownersIn(backup), QStringList({"1:North", "2:South"}));

        m_prompter->file(m_path).answer(Prompter::Answer::Ok, Messages::BackupOntoDataFile);
        backupDatabase(*m_app);
        QVERIFY_THROWS_EXCEPTION(CdbException, DataFile::backup(db(), m_path));
        QCOMPARE(owners(db()), QStringList({"1:North", "2:South"}));
        QVERIFY(leftovers().isEmpty());
    }

    void backupDuringATransactionHoldsOnlyCommittedData()
    {
        const QString backup = m_env->path("during.bak");
        {
            Transaction transaction(db());
            db().execute("INSERT INTO Owners (OwnerID, ContactID, LocationID) VALUES (9, 9, 'Pending')");
            DataFile::backup(db(), backup);
        }
        DataFile::checkDataFile(backup);
        QCOMPARE(ownersIn(backup), QStringList({"1:North", "2:South"}));
        QCOMPARE(owners(db()), QStringList({"1:North", "2:South"}));
    }

    void restoreRefusesFilesThatAreNotDataFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("text file") << "text";
        QTest::newRow("database without Utilities") << "foreign";
        QTest::newRow("the data file itself") << "self";
    }

    void restoreRefusesFilesThatAreNotDataFiles()
    {
        QFETCH(QString, kind);
        QString chosen = m_env->path("chosen.bak");
        QString expected = "is not a Velmora data file";
        if (kind == "text") {
            writeFile(chosen, "these are not the records you are looking for");
        } else if (kind == "foreign") {
            Database other;
            other.create(chosen);
            other.execute("CREATE TABLE Notes (Text TEXT)");
        } else {
            chosen = m_path;
            expected = Messages::RestoreFromDataFile;
        }
        const QDateTime chosenModified = QFileInfo(chosen).lastModified();
        m_prompter->file(chosen).answer(Prompter::Answer::Ok, expected);
        QVERIFY(!restoreDatabase(*m_app));
        QVERIFY(db().isOpen());
        QCOMPARE(owners(db()), QStringList({"1:North", "2:South"}));
        QCOMPARE(QFileInfo(chosen).lastModified(), chosenModified);
        QVERIFY(leftovers().isEmpty());
    }

    void restoreThatCannotOpenPutsTheOldFileBack()
    {
        const QString junk = m_env->path("junk.bak");
        writeFile(junk, QByteArray(4096, 'x'));
        QVERIFY_THROWS_EXCEPTION(CdbException, DataFile::restore(db(), m_path, junk));
        QVERIFY(db().isOpen());
        QCOMPARE(owners(db()), QStringList({"1:North", "2:South"}));
        QVERIFY(leftovers().isEmpty());
    }

    void restoreWithoutADataFileAsksWhereToPutIt()
    {
        const QString backup = m_env->path("Velmora.bak");
        DataFile::backup(db(), backup);
        db().close();
        m_app->setDatabasePath(QString());
        QDir(m_env->folder()).mkdir("new");
        m_prompter->file(backup).file(m_env->path("new/typed name.vel"));
        m_prompter->answer(Prompter::Answer::Ok, Messages::RestoreSucceeded);
        QVERIFY(restoreDatabase(*m_app));
        QCOMPARE(m_app->databasePath(), m_env->path("new/Velmora.vel"));
        QCOMPARE(owners(db()), QStringList({"1:North", "2:South"}));
    }

    void restoreOverAnUnopenedFileKeepsItAside()
    {
        const QString backup = m_env->path("Velmora.bak");
        DataFile::backup(db(), backup);
        db().close();
        writeFile(m_path, "whatever was here before");
        m_prompter->file(backup).answer(Prompter::Answer::Yes, "Restoring replaces all the data");
        m_prompter->answer(Prompter::Answer::Ok, Messages::RestoreSucceeded);
        QVERIFY(restoreDatabase(*m_app));
        QCOMPARE(owners(db()), QStringList({"1:North", "2:South"}));
        QFile aside(m_path + ".old");
        QVERIFY(aside.open(QIODevice::ReadOnly));
        QCOMPARE(aside.readAll(), QByteArray("whatever was here before"));
    }

    void maintenanceAnsweredNoChangesNothing()
    {
        const QDateTime modified = QFileInfo(m_path).lastModified();
        m_prompter->answer(Prompter::Answer::No, "Running maintenance on the database");
        runMaintenance(*m_app);
        QCOMPARE(m_prompter->prompts().last().buttons, Prompter::Buttons::YesNoDefaultNo);
        QVERIFY(db().isOpen());
        QCOMPARE(QFileInfo(m_path).lastModified(), modified);
        QCOMPARE(owners(db()), QStringList({"1:North", "2:South"}));
    }

    void maintenanceCompactsKeepingTheData()
    {
        {
            Transaction transaction(db());
            QSqlQuery insert = db().prepare("INSERT INTO Owners (OwnerID, ContactID, Memo) VALUES (?, 0, ?)");
            for (int id = 100; id < 2100; ++id) {
                insert.addBindValue(id);
                insert.addBindValue(QString(500, 'm'));
                db().exec(insert);
            }
            transaction.commit();
        }
        db().execute("DELETE FROM Owners WHERE OwnerID >= 100");
        const qint64 before = QFileInfo(m_path).size();

        m_prompter->answer(Prompter::Answer::Yes)
            .answer(Prompter::Answer::Ok, Messages::MaintenanceSucceeded);
        runMaintenance(*m_app);
        QVERIFY(db().isOpen());
        QCOMPARE(owners(db()), QStringList({"1:North", "2:South"}));
        QVERIFY(QFileInfo(m_path).size() < before / 4);
        QVERIFY(!QFileInfo::exists(DataFile::temporaryPath(m_path)));
        QCOMPARE(QFile::permissions(m_path) & 0x0077, QFileDevice::Permissions());
        QVERIFY(leftovers().isEmpty());
    }

    void maintenanceNeverReplacesAFileUnderTheTemporaryName()
    {
        const QString temporary = m_env->path("Velmora.tmp");
        QCOMPARE(DataFile::temporaryPath(m_path), temporary);
        writeFile(temporary, "left from an earlier run");
        m_prompter->answer(Prompter::Answer::Yes).answer(Prompter::Answer::Ok, "is in the way");
        runMaintenance(*m_app);
        QVERIFY(db().isOpen());
        QCOMPARE(owners(db()), QStringList({"1:North", "2:South"}));
        QFile kept(temporary);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("left from an earlier run"));
    }
};

QTEST_MAIN(DataFileTest)
#include "tst_datafile.moc"
