#include "ScriptedPrompter.h"
#include "TestEnvironment.h"
#include "context/Enums.h"
#include "db/Database.h"
#include "db/Messages.h"
#include "fleet/CompanyRecord.h"
#include "fleet/ContactKind.h"

#include <QTest>

using Answer = Prompter::Answer;
using Outcome = TypedCompany::Outcome;

class CompanyRecordsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newNameTypedIntoACompanyBox_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<int>("companies");
        QTest::newRow("an owner's name") << "o'neil MOTORS" << -1 << int(Outcome::NameInUse) << 0;
        QTest::newRow("yes") << "Summit Bank" << int(Answer::Yes) << int(Outcome::DetailsWanted) << 0;
        QTest::newRow("no") << "Summit's Bank" << int(Answer::No) << int(Outcome::Added) << 1;
        QTest::newRow("cancel") << "Summit Bank" << int(Answer::Cancel) << int(Outcome::Cancelled) << 0;
    }

    void newNameTypedIntoACompanyBox()
    {
        QFETCH(QString, name);
        QFETCH(int, answer);
        QFETCH(int, outcome);
        QFETCH(int, companies);
        TestEnvironment env;
        ScriptedPrompter prompter;
        Database db;
        env.createDatabase(db);
        db.execute(
            "INSERT INTO ContactInfo (ContactID, ContactType, CompanyName) VALUES (7, 1, 'O`Neil Motors')");
        if (answer < 0)
            prompter.answer(Answer::Ok, Messages::CompanyNameInUse);
        else
            prompter.answer(Answer(answer), Messages::NewCompanyQuestion);

        const TypedCompany::Result result =
            TypedCompany::resolveNewName(db, prompter, name, LoanCompanyContact);
        QCOMPARE(int(result.outcome), outcome);
        QCOMPARE(db.scalar("SELECT count(*) FROM ContactInfo WHERE ContactType = 2").toInt(), companies);
        if (result.outcome == Outcome::Added) {
            QCOMPARE(result.contactId, 8);
            QCOMPARE(db.scalar("SELECT CompanyName FROM ContactInfo WHERE ContactID = 8").toString(),
                     QString("Summit`s Bank"));
        }
        QVERIFY(prompter.verifyDone());
    }
};

QTEST_GUILESS_MAIN(CompanyRecordsTest)
#include "tst_companyrecords.moc"
