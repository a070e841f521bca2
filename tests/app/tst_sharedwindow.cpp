#include "FileHolder.h"
#include "ScriptedPrompter.h"
#include "TestEnvironment.h"
#include "app/ui/MainFrame.h"
#include "app/ui/VelApp.h"
#include "context/Enums.h"
#include "db/Clock.h"
#include "db/Database.h"
#include "db/DbException.h"
#include "db/FileClaim.h"
#include "forms/FormView.h"

#include <QApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <unistd.h>

// The window on a data file that other programs use too: the tools refuse to replace it while the window
// has it, the window follows a file replaced behind it, and a second window is offered the file read-only.
namespace {

int owners(const QString& path)
{
    Database db;
    db.open(path, {}, true);
    return db.scalar("SELECT count(*) FROM Owners").toInt();
}

} // namespace

class SharedWindowTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<CVelApp> m_app;
    QString m_path;

    void save(int key)
    {
        m_app->database().execute(
            QString("INSERT INTO Owners (OwnerID, ContactID) VALUES (%1, %1)").arg(key));
    }

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        m_prompter = std::make_unique<ScriptedPrompter>();
        m_app = std::make_unique<CVelApp>(*m_prompter);
        m_app->setWelcomeChooser([] { return WelcomeChoice::Cancel; });
        m_app->setReminderLauncher([](const QString&) { return false; });
        Clock::setNow(QDateTime(QDate(2024, 3, 20), QTime(15, 0)));
        Database db;
        m_path = m_env->createDatabase(db);
        m_env->createDatabase(db, "Velmora.bak");
        db.close();
        m_app->settings().setDatabaseLocation(m_path);
    }

    void cleanup()
    {
        QVERIFY(m_prompter->verifyDone());
        m_app.reset();
        m_prompter.reset();
        m_env.reset();
    }

    void toolsRefuseToReplaceTheFileTheWindowHasOpen()
    {
        QVERIFY(m_app->initInstance({}));
        save(1);
        const QRegularExpression heldByTheWindow(
            "Velmora.vel is open in tst_sharedwindow on \\S+@\\S+ since \\d\\d:\\d\\d; close it there first");
        for (const QStringList& args :
             {QStringList{"compact", m_path}, QStringList{"restore", m_env->path("Velmora.bak"), m_path}}) {
            const CliRun run = runCli(args);
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.err.contains(heldByTheWindow), qPrintable(run.err));
        }
        save(2);
        QVERIFY(m_app->mainFrame()->switchForm(HomeForm));
        save(3);
        QCOMPARE(owners(m_path), 3);
    }

    // A program that does not claim the file (an older version, a copy tool) puts another file in its place:
    // nothing the window saves goes to the replaced file, and the views show the new one.
    void theWindowFollowsAFileReplacedBehindIt()
    {
        QVERIFY(m_app->initInstance({}));
        save(1);
        QVERIFY(link(QFile::encodeName(m_path).constData(),
                     QFile::encodeName(m_env->path("old.vel")).constData()) == 0);
        QVERIFY(QFile::remove(m_path));
        QVERIFY(QFile::copy(m_env->path("Velmora.bak"), m_path));

        QVERIFY_THROWS_EXCEPTION(CdbException, save(2));
        save(3);
        QCOMPARE(owners(m_env->path("old.vel")), 1);
        QCOMPARE(owners(m_path), 1);

        // Replaced once more, the next form shown reads the new file.
        QFile::remove(m_path);
        QVERIFY(QFile::copy(m_env->path("Velmora.bak"), m_path));
        QVERIFY(m_app->mainFrame()->switchForm(HomeForm));
        save(4);
        QCOMPARE(owners(m_path), 1);
    }

    void aSecondWindowIsOfferedTheFileReadOnly_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("read-only") << true;
        QTest::newRow("cancel") << false;
    }

    void aSecondWindowIsOfferedTheFileReadOnly()
    {
        QFETCH(bool, readOnly);
        QProcess other;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VELMORA_TEST_HOLD", m_path);
        env.insert("VELMORA_TEST_HOLD_AS", "Velmora");
        other.setProcessEnvironment(env);
        other.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(other.waitForReadyRead(20000));

        m_prompter->answer(readOnly ? Prompter::Answer::Yes : Prompter::Answer::No,
                           "Velmora.vel is open in Velmora on ");
        QCOMPARE(m_app->initInstance({}), readOnly);
        QVERIFY(m_prompter->prompts().first().text.contains(QRegularExpression(
            "since \\d\\d:\\d\\d.*read-only", QRegularExpression::DotMatchesEverythingOption)));
        if (readOnly) {
            QVERIFY(m_app->database().isReadOnly());
            QVERIFY(m_app->mainFrame()->switchForm(OwnerForm));
            CFormView* form = m_app->mainFrame()->shownForm();
            QVERIFY(!form->canNew() && !form->canEdit());
        }
        other.closeWriteChannel();
        other.waitForFinished(20000);
    }
};

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsSet("VELMORA_TEST_HOLD")) {
        QCoreApplication app(argc, argv);
        return holdFileAsAnotherProgram();
    }
    QApplication app(argc, argv);
    SharedWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sharedwindow.moc"
