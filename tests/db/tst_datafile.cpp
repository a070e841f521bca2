#include "DataRows.h"
#include "WholeFiles.h"
#include "app/ui/DataFileCommands.h"
#include "app/ui/VelApp.h"
#include "db/DataFile.h"
#include "db/DbException.h"
#include "db/Messages.h"

#include <unistd.h>

#include <QRegularExpression>

namespace {

// The owners every test starts with, which no refused or failed operation may lose.
const QStringList Kept{"1:North", "2:South"};

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

    // Only the data file and the files a test made itself may be left in the folder (and the lock file
    // while the data file is open).
    QStringList leftovers()
    {
        return QDir(m_env->folder())
            .entryList({"*.tmp", "*.old*", "*.restoring*", ".velmora-*", "*-journal"},
                       QDir::Files | QDir::Hidden)
            .filter(QRegularExpression("^(?!\\.velmora-lock-)"));
    }

    // The data file open, with the owners every test starts with and nothing left beside it.
    void intact()
    {
        QCOMPARE(owners(db()), Kept);
        QCOMPARE(leftovers(), QStringList());
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
        QCOMPARE(db().path(), m_path);
        intact();
    }

    void backupNeverReplacesTheDataFileNorHoldsUncommittedRows()
    {
        m_prompter->file(m_path).answer(Prompter::Answer::Ok, Messages::BackupOntoDataFile);
        backupDatabase(*m_app);
        QVERIFY_THROWS_EXCEPTION(CdbException, DataFile::backup(db(), m_path));
        intact();

        // A backup replaces an earlier one and, taken during a transaction, holds only committed data.
        writeFile(m_env->path("during.bak"), "an older backup");
        {
            Transaction transaction(db());
            db().execute("INSERT INTO Owners (OwnerID, ContactID, LocationID) VALUES (9, 9, 'Pending')");
            DataFile::backup(db(), m_env->path("during.bak"));
        }
        DataFile::checkDataFile(m_env->path("during.bak"));
        QCOMPARE(ownersIn(m_env->path("during.bak")), Kept);
        QCOMPARE(owners(db()), Kept);
    }

    void restoreRefusesFilesThatAreNotDataFiles_data()
    {
        QTest::addColumn<QString>("kind");
        addRow("text file", "text");
        addRow("database without Utilities", "foreign");
        addRow("the data file itself", "self");
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
        intact();
        QCOMPARE(QFileInfo(chosen).lastModified(), chosenModified);
        // Given straight to the restore, such a file puts the data file back as it was.
        if (kind != "self") {
            if (kind == "text")
                writeFile(chosen, QByteArray(4096, 'x'));
            QVERIFY_THROWS_EXCEPTION(CdbException, DataFile::restore(db(), m_path, chosen));
            intact();
        }
    }

    // A data file that could not be opened is kept aside; with none at all, the restore asks where to put it.
    void restoreWithoutAnOpenDataFile()
    {
        const QString backup = m_env->path("Velmora.bak");
        DataFile::backup(db(), backup);
        db().close();
        writeFile(m_path, "whatever was here before");
        m_prompter->file(backup)
            .answer(Prompter::Answer::Yes, "Restoring replaces all the data")
            .answer(Prompter::Answer::Ok, Messages::RestoreSucceeded);
        QVERIFY(restoreDatabase(*m_app));
        QCOMPARE(owners(db()), Kept);
        QCOMPARE(contentsOf(m_path + ".old"), QByteArray("whatever was here before"));

        db().close();
        m_app->setDatabasePath(QString());
        QDir(m_env->folder()).mkdir("new");
        m_prompter->file(backup)
            .file(m_env->path("new/typed name.vel"))
            .answer(Prompter::Answer::Ok, Messages::RestoreSucceeded);
        QVERIFY(restoreDatabase(*m_app));
        QCOMPARE(m_app->databasePath(), m_env->path("new/Velmora.vel"));
        QCOMPARE(owners(db()), Kept);
    }

    // Compaction asks first (Enter means No) and keeps the data; a file under its temporary name, left by an
    // earlier version, is never replaced.
    void maintenanceCompactsKeepingTheData()
    {
        db().execute(
            "INSERT INTO Owners (OwnerID, ContactID, Memo) WITH RECURSIVE n(id) AS (SELECT 100 UNION ALL "
            "SELECT id + 1 FROM n WHERE id < 2099) SELECT id, 0, printf('%.500c', 'm') FROM n");
        db().execute("DELETE FROM Owners WHERE OwnerID >= 100");
        const QString temporary = m_env->path("Velmora.tmp");
        QCOMPARE(DataFile::temporaryPath(m_path), temporary);
        writeFile(temporary, "left from an earlier run");
        const qint64 before = QFileInfo(m_path).size();
        const QDateTime modified = QFileInfo(m_path).lastModified();
        m_prompter->answer(Prompter::Answer::No, "Running maintenance on the database");
        runMaintenance(*m_app);
        QCOMPARE(m_prompter->prompts().last().buttons, Prompter::Buttons::YesNoDefaultNo);
        QVERIFY(db().isOpen());
        QCOMPARE(QFileInfo(m_path).lastModified(), modified);

        m_prompter->answer(Prompter::Answer::Yes)
            .answer(Prompter::Answer::Ok, Messages::MaintenanceSucceeded);
        runMaintenance(*m_app);
        QCOMPARE(owners(db()), Kept);
        QCOMPARE(leftovers(), QStringList{"Velmora.tmp"});
        QCOMPARE(contentsOf(temporary), QByteArray("left from an earlier run"));
        QVERIFY(QFileInfo(m_path).size() < before / 4);
        QCOMPARE(QFile::permissions(m_path) & 0x0077, QFileDevice::Permissions());
    }

    // What an operation cut short leaves beside the data file, and what the next open makes of it.
    void recoveryAtOpen_data()
    {
        QTest::addColumn<QString>("leftover");
        QTest::addColumn<QString>("told");
        addRow("restore cut between its renames", "old+restoring",
               "was interrupted.  It has been undone: your data file is as it was before.");
        addRow("compaction cut during its copy", "empty+tmp",
               "/Velmora.vel was interrupted.  It has been undone: your data file is as it was before.");
        addRow("killed backup", "backup",
               "Unfinished files of an interrupted operation were removed from the folder of");
        addRow("journal without its file", "journal", "Unfinished files of an interrupted operation");
        addRow("restore cut before its rename", "previous-link", "");
        addRow("restore cut after its rename", "previous-copy",
               "was interrupted after the restored data was complete.  It has been finished.");
    }

    void recoveryAtOpen()
    {
        QFETCH(QString, leftover);
        QFETCH(QString, told);
        if (leftover == "journal")
            interruptedCopy(m_path, m_env->path("other.vel"));
        db().close();
        const QString data = m_env->path("data.copy");
        QVERIFY(QFile::copy(m_path, data));
        const QString previous = m_env->path(".velmora-previous-x1-Velmora.vel");
        if (leftover == "old+restoring") {
            QVERIFY(QFile::rename(m_path, m_path + ".old"));
            writeFile(m_path + ".restoring", "half a backup");
        } else if (leftover == "empty+tmp") {
            QVERIFY(QFile::rename(m_path, m_env->path("Velmora.tmp")));
            writeFile(m_path, "");
        } else if (leftover == "backup") {
            writeFile(m_env->path(".velmora-backup-x1-Velmora.bak"), QByteArray(8192, 'b'));
            writeFile(m_env->path(".velmora-backup-x1-Velmora.bak-journal"), "j");
        } else if (leftover == "journal") {
            QFile::remove(m_env->path("other.vel"));
            QVERIFY(QFile::rename(m_env->path("other.vel-journal"), m_env->path("gone.vel-journal")));
        } else if (leftover == "previous-link") {
            QCOMPARE(::link(QFile::encodeName(m_path).constData(), QFile::encodeName(previous).constData()),
                     0);
        } else {
            QVERIFY(QFile::copy(m_path, previous));
        }
        const QString opened = leftover == "journal" ? m_env->path("gone.vel") : m_path;
        const QStringList notes = DataFile::recoverInterrupted(opened);
        QCOMPARE(notes.isEmpty(), told.isEmpty());
        QVERIFY2(notes.join(' ').contains(told), qPrintable(notes.join(' ')));
        QVERIFY(leftovers().isEmpty()); // the journal of gone.vel among them
        if (leftover != "journal")
            QCOMPARE(contentsOf(m_path), contentsOf(data));
    }

    // A crash in the middle of a write leaves a journal that the next open rolls back: such a file is
    // checked, located and restored as the data it held before the write.
    void fileWithAnInterruptedWriteIsAcceptedAsItWas()
    {
        const QString crashed = m_env->path("crashed.bak");
        interruptedCopy(m_path, crashed);
        DataFile::checkDataFile(crashed);
        QCOMPARE(ownersIn(crashed), Kept);

        // Restoring from it rolls the write back in the copy and leaves the backup as it was.
        interruptedCopy(m_path, crashed);
        const QByteArray file = contentsOf(crashed);
        db().execute("DELETE FROM Owners");
        DataFile::restore(db(), m_path, crashed);
        QCOMPARE(owners(db()), Kept);
        QCOMPARE(contentsOf(crashed), file);
        QCOMPARE(leftovers(), QStringList{"crashed.bak-journal"});
    }

    // A journal left by another file where the restored one goes must not be played back onto it.
    void restoreIntoAPlaceWithAStrayJournal()
    {
        const QString backup = m_env->path("Velmora.bak");
        DataFile::backup(db(), backup);
        interruptedCopy(m_path, m_env->path("other.vel"));
        db().close();
        QVERIFY(QFile::remove(m_path));
        QVERIFY(QFile::rename(m_env->path("other.vel-journal"), m_path + "-journal"));
        DataFile::restore(db(), m_path, backup);
        QCOMPARE(db().scalar("PRAGMA quick_check").toString(), QString("ok"));
        QCOMPARE(owners(db()), Kept);
    }
};

QTEST_MAIN(DataFileTest)
#include "tst_datafile.moc"
