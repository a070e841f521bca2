#include "OwnerFormFixture.h"
#include "context/Enums.h"
#include "db/Messages.h"
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

    // An owner with vehicles is deleted only after a second question, which takes the vehicles' rows too; one
    // without is asked about once and only the owners' forms are told.
    void deleteAsksAgainForAnOwnerWithVehicles()
    {
        f->addOwner("Bare");
        const qint32 fleet = f->addOwner("Fleet");
        addVehicleRows(f->db(), 1, fleet);
        addVehicleRows(f->db(), 2, fleet);
        addVehicleRows(f->db(), 3, f->addOwner("Other"));
        COwnerView& view = f->openView();
        f->selector()->setCurrentIndex(1);
        QSignalSpy hints(&f->m_doc, &CVelDoc::viewsNeedUpdate);
        const auto deleteShown = [&](std::optional<Answer> vehiclesToo) {
            f->m_prompter.answer(Answer::Yes, Messages::DeleteOwnerQuestion);
            if (vehiclesToo)
                f->m_prompter.answer(*vehiclesToo, Messages::OwnerVehiclesDeleteQuestion);
            view.commandDelete();
        };

        deleteShown(Answer::No);
        QCOMPARE(rowsOfVehicles("1, 2"), 20);
        QCOMPARE(f->count("SELECT count(*) FROM Owners"), 3);
        deleteShown(Answer::Yes);
        QCOMPARE(rowsOfVehicles("1, 2"), 0);
        QCOMPARE(rowsOfVehicles("3"), 10);
        QCOMPARE(f->selectorTexts(), QStringList({"Bare", "Other"}));
        QCOMPARE(f->field("companyName")->text(), QString("Bare"));
        deleteShown(std::nullopt);
        QCOMPARE(f->count("SELECT count(*) FROM ContactInfo WHERE CompanyName IN ('Bare', 'Fleet')"), 0);
        QCOMPARE(f->count("SELECT count(*) FROM Owners"), 1);
        QCOMPARE(f->selectorTexts(), QStringList({"Other"}));
        QList<int> told;
        for (const QList<QVariant>& hint : hints)
            told << hint.at(0).toInt();
        QCOMPARE(told, QList<int>({OwnersHint, VehiclesHint, OwnersHint}));

        deleteShown(Answer::Yes);
        QCOMPARE(view.mode(), Mode::AddNew);
        QVERIFY(!f->find<QPushButton>("nextButton")->isEnabled());
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
