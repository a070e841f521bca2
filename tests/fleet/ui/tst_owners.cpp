#include "OwnerFormFixture.h"
#include "context/Enums.h"
#include "db/Messages.h"
#include "db/sets/ContactInfoSet.h"
#include "fleet/ContactKind.h"
#include "fleet/ContactOperations.h"
#include "fleet/ui/ContactInfoDialog.h"

#include <QPlainTextEdit>
#include <QSignalSpy>

using Answer = Prompter::Answer;
using Mode = CRecordForm::Mode;

class OwnersTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<OwnerFormFixture> f;
    int rowsOfVehicles(const QString& ids) { return ::rowsOfVehicles(f->db(), ids); }

private Q_SLOTS:
    void init() { f = std::make_unique<OwnerFormFixture>(); }
    void cleanup() { f.reset(); }

    void checksRunInOrderAndFocusTheField()
    {
        COwnerView& view = f->openView();
        struct Step
        {
            const char* field;
            const char* text;
            QString message; // empty: the save goes through
            const char* focus;
        };
        const Step steps[] = {
            {"firstName", "Jo", Messages::CompanyOrLastNameRequired, "companyName"},
            {"locationId", "Store 5", Messages::CompanyOrLastNameRequired, "companyName"},
            {"lastName", "Doe", Messages::CompanyNameRequiredForLocation, "companyName"},
            {"locationId", "", QString(), nullptr},
            {"firstName", "", Messages::BothPersonNamesRequired, "firstName"},
            {"firstName", "Jo", QString(), nullptr},
        };
        for (const Step& step : steps) {
            if (view.mode() == Mode::Browse)
                f->click("editButton");
            f->field(step.field)->setText(QString::fromLatin1(step.text));
            if (!step.message.isEmpty())
                f->m_prompter.answer(Answer::Ok, step.message);
            f->click("saveButton");
            if (step.message.isEmpty()) {
                QCOMPARE(view.mode(), Mode::Browse);
                continue;
            }
            QCOMPARE(f->m_prompter.prompts().last().icon, Prompter::Icon::Exclamation);
            QCOMPARE(QApplication::focusWidget(), f->field(step.focus));
            QVERIFY(view.mode() != Mode::Browse);
        }
        QCOMPARE(f->count("SELECT count(*) FROM Owners"), 1);
        QCOMPARE(f->count("SELECT count(*) FROM ContactInfo WHERE ContactType = 1 AND LastName = 'Doe' "
                          "AND FirstName = 'Jo'"),
                 1);
    }

    void ownerListTexts()
    {
        f->addOwner("Zenith Fleet", "", "", "Store 5");
        f->addOwner("", "Smith");
        f->addOwner("", "Doe", "John");
        f->addOwner("O'Neil Motors", "Neil", "Pat");
        // An owner whose contact row is missing stays reachable.
        f->db().execute("INSERT INTO Owners (OwnerID, ContactID) VALUES (9, 99)");
        f->openView();
        QCOMPARE(f->selectorTexts(),
                 QStringList({"", "Doe, John", "O'Neil Motors", "Smith", "Zenith Fleet, Store 5"}));
        QCOMPARE(f->field("companyName")->text(), QString());
        f->selector()->setCurrentIndex(1);
        QCOMPARE(f->field("firstName")->text(), QString("John"));
    }

    void apostropheRoundTrip()
    {
        f->openView();
        QTest::keyClicks(f->field("companyName"), "O'Neil's Garage");
        f->find<QPlainTextEdit>("comments")->setPlainText("Fleet account");
        f->click("saveButton");

        QCOMPARE(f->db().scalar("SELECT CompanyName FROM ContactInfo").toString(),
                 QString("O`Neil`s Garage"));
        QCOMPARE(f->db().scalar("SELECT Memo FROM Owners").toString(), QString("Fleet account"));
        QCOMPARE(f->field("companyName")->text(), QString("O'Neil's Garage"));
        QCOMPARE(f->selector()->currentText(), QString("O'Neil's Garage"));
        CContactInfoSet contacts(f->db());
        QVERIFY(ContactOperations::findCompanyByName(contacts, "O'Neil's Garage"));
        QCOMPARE(contacts.m_ContactType, qint16(OwnerContact));
    }

    void deleteWithoutVehiclesAsksOnce()
    {
        f->addOwner("A");
        f->addOwner("B");
        COwnerView& view = f->openView();
        f->selector()->setCurrentIndex(1);
        QSignalSpy hints(&f->m_doc, &CVelDoc::viewsNeedUpdate);

        f->m_prompter.answer(Answer::Yes, Messages::DeleteOwnerQuestion);
        view.commandDelete();
        QCOMPARE(f->count("SELECT count(*) FROM ContactInfo WHERE CompanyName = 'B'") +
                     f->count("SELECT count(*) FROM Owners WHERE OwnerID = 2"),
                 0);
        QCOMPARE(f->selectorTexts(), QStringList({"A"}));
        QCOMPARE(f->field("companyName")->text(), QString("A"));
        QCOMPARE(hints.size(), 1);
        QCOMPARE(hints.at(0).at(0).toInt(), int(OwnersHint));

        f->m_prompter.answer(Answer::Yes, Messages::DeleteOwnerQuestion);
        view.commandDelete();
        QCOMPARE(view.mode(), Mode::AddNew);
        QVERIFY(!f->find<QPushButton>("nextButton")->isEnabled());
    }

    void deleteWithVehiclesAsksTwiceAndRemovesTheirRows()
    {
        const qint32 owner = f->addOwner("Fleet");
        addVehicleRows(f->db(), 1, owner);
        addVehicleRows(f->db(), 2, owner);
        addVehicleRows(f->db(), 3, f->addOwner("Other"));
        COwnerView& view = f->openView();

        f->m_prompter.answer(Answer::Yes, Messages::DeleteOwnerQuestion)
            .answer(Answer::No, Messages::OwnerVehiclesDeleteQuestion);
        view.commandDelete();
        QCOMPARE(rowsOfVehicles("1, 2"), 20);
        QCOMPARE(f->count("SELECT count(*) FROM Owners"), 2);

        QSignalSpy hints(&f->m_doc, &CVelDoc::viewsNeedUpdate);
        f->m_prompter.answer(Answer::Yes, Messages::DeleteOwnerQuestion)
            .answer(Answer::Yes, Messages::OwnerVehiclesDeleteQuestion);
        view.commandDelete();
        QCOMPARE(rowsOfVehicles("1, 2"), 0);
        QCOMPARE(rowsOfVehicles("3"), 10);
        QCOMPARE(f->count("SELECT count(*) FROM ContactInfo WHERE CompanyName = 'Fleet'"), 0);
        QCOMPARE(f->selectorTexts(), QStringList({"Other"}));
        QCOMPARE(hints.size(), 2);
        QCOMPARE(hints.at(0).at(0).toInt(), int(OwnersHint));
        QCOMPARE(hints.at(1).at(0).toInt(), int(VehiclesHint));
    }

    void contactInformationDialogOnlyShows()
    {
        ContactDetails details;
        details.companyName = "Ann's Insurance";
        details.agentName = "Ann Lee";
        details.comments = "Call after 5";
        CContactInfoDialog dialog(details);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto* company = dialog.findChild<QLineEdit*>("companyName");
        QCOMPARE(company->text(), QString("Ann's Insurance"));
        QVERIFY(company->isReadOnly());
        QCOMPARE(QApplication::focusWidget(), company);
        QCOMPARE(dialog.findChild<QLineEdit*>("agentName")->text(), QString("Ann Lee"));
        QVERIFY(dialog.findChild<QPlainTextEdit*>("comments")->isReadOnly());
        QTest::mouseClick(dialog.findChild<QPushButton*>("okButton"), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(OwnersTest)
#include "tst_owners.moc"
