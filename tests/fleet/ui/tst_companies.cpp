#include "CompanyFormsFixture.h"
#include "DataRows.h"
#include "db/Messages.h"
#include "fleet/ContactKind.h"
#include "fleet/ui/StationView.h"

#include <QPlainTextEdit>

using Answer = Prompter::Answer;
using Mode = CRecordForm::Mode;

class CompaniesTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<CompanyFormsFixture> f;

private Q_SLOTS:
    void init() { f = std::make_unique<CompanyFormsFixture>(); }
    void cleanup() { f.reset(); }

    void typeChangeIsRefusedWhileTheOldKindIsInUse_data()
    {
        QTest::addColumn<int>("storedKind");
        QTest::addColumn<QString>("reference");
        QTest::addColumn<int>("newTypeIndex");
        QTest::addColumn<QString>("message");
        const int loan = LoanCompanyContact, insurance = InsuranceCompanyContact,
                  station = ServiceStationContact;
        addRow("station on a schedule entry", station,
               "INSERT INTO Schedule (ScheduleID, StationID) VALUES (1, %1)", 0, Messages::StationTypeInUse);
        addRow("station on a maintenance entry", station,
               "INSERT INTO Maintenance (MaintID, StationID) VALUES (1, %1)", 1, Messages::StationTypeInUse);
        addRow("station only on a job order", station,
               "INSERT INTO JobOrder (JobOrderID, StationID) VALUES (1, %1)", 0, QString());
        addRow("loan company of a loan", loan, "INSERT INTO Loan (VehicleID, ContactID) VALUES (1, %1)", 2,
               Messages::LoanCompanyTypeInUse);
        addRow("insurer of a policy", insurance,
               "INSERT INTO Insurance (VehicleID, ContactID) VALUES (1, %1)", 0,
               Messages::InsuranceCompanyTypeInUse);
        addRow("unused loan company", loan, QString(), 1, QString());
    }

    void typeChangeIsRefusedWhileTheOldKindIsInUse()
    {
        QFETCH(int, storedKind);
        QFETCH(QString, reference);
        QFETCH(int, newTypeIndex);
        QFETCH(QString, message);
        const qint32 id = f->addCompany("Acme", storedKind);
        if (!reference.isEmpty())
            f->db().execute(reference.arg(id));
        CRecordForm& form = f->open(CompanyForm);
        f->click("editButton");
        f->box("companyType")->setCurrentIndex(newTypeIndex);
        if (!message.isEmpty())
            f->m_prompter.answer(Answer::Ok, message);
        f->click("saveButton");

        const int kinds[] = {LoanCompanyContact, InsuranceCompanyContact, ServiceStationContact};
        const int storedNow = f->count("SELECT ContactType FROM ContactInfo WHERE CompanyName = 'Acme'");
        if (message.isEmpty()) {
            QCOMPARE(storedNow, kinds[newTypeIndex]);
            QCOMPARE(form.mode(), Mode::Browse);
        } else {
            QCOMPARE(storedNow, storedKind);
            QCOMPARE(QApplication::focusWidget(), f->box("companyType"));
            QCOMPARE(form.mode(), Mode::Edit);
        }
    }

    void nameChecks()
    {
        CRecordForm& form = f->open(CompanyForm);
        QCOMPARE(form.mode(), Mode::AddNew);
        QCOMPARE(f->box("companyType")->currentIndex(), -1);
        f->setText("companyName", "Joe's Garage");
        f->m_prompter.answer(Answer::Ok, Messages::CompanyTypeRequired);
        f->click("saveButton");
        QCOMPARE(QApplication::focusWidget(), f->box("companyType"));

        f->box("companyType")->setCurrentIndex(2);
        f->setText("companyName", "");
        f->m_prompter.answer(Answer::Ok, Messages::CompanyNameRequired);
        f->click("saveButton");
        QCOMPARE(QApplication::focusWidget(), f->field("companyName"));

        // Owners count: names are unique across every contact, in any case.
        f->setText("companyName", "HARBOURLINE");
        f->m_prompter.answer(Answer::Ok, Messages::CompanyNameInUse);
        f->click("saveButton");
        QCOMPARE(f->count("SELECT count(*) FROM ContactInfo"), 1);

        f->setText("companyName", "Joe's Garage");
        f->click("saveButton");
        QCOMPARE(form.mode(), Mode::Browse);
        QCOMPARE(f->db().scalar("SELECT CompanyName FROM ContactInfo WHERE ContactType = 4").toString(),
                 QString("Joe`s Garage"));
        QCOMPARE(f->box("companySelector")->currentText(), QString("Joe's Garage"));

        // Saving a company under its own name is no clash.
        f->click("editButton");
        f->setText("phone", "555-0100");
        f->click("saveButton");
        QCOMPARE(f->count("SELECT count(*) FROM ContactInfo WHERE Phone = '555-0100'"), 1);
    }

    void deleteAsksThenRefusesWhileInUse_data()
    {
        QTest::addColumn<QString>("reference");
        QTest::addColumn<QString>("refusal");
        // A company on several kinds of rows is refused with the first in the order the user is told.
        addRow("schedule and loan",
               "INSERT INTO Schedule (ScheduleID, StationID) VALUES (1, 2);"
               "INSERT INTO Loan (VehicleID, ContactID) VALUES (1, 2)",
               Messages::CompanyUsedByMaintenance);
        addRow("maintenance", "INSERT INTO Maintenance (MaintID, StationID) VALUES (1, 2)",
               Messages::CompanyUsedByMaintenance);
        addRow("loan and insurance",
               "INSERT INTO Loan (VehicleID, ContactID) VALUES (1, 2);"
               "INSERT INTO Insurance (VehicleID, ContactID) VALUES (1, 2)",
               Messages::CompanyUsedByLoan);
        addRow("insurance", "INSERT INTO Insurance (VehicleID, ContactID) VALUES (1, 2)",
               Messages::CompanyUsedByInsurance);
        addRow("gas entry and job order only",
               "INSERT INTO GasLog (GasLogID, StationID) VALUES (1, 2);"
               "INSERT INTO JobOrder (JobOrderID, StationID) VALUES (1, 2)",
               QString());
    }

    void deleteAsksThenRefusesWhileInUse()
    {
        QFETCH(QString, reference);
        QFETCH(QString, refusal);
        QCOMPARE(f->addCompany("Acme", ServiceStationContact), 2);
        f->addCompany("Zenith", ServiceStationContact);
        for (const QString& statement : reference.split(';'))
            f->db().execute(statement);
        CRecordForm& form = f->open(CompanyForm);

        f->m_prompter.answer(Answer::Yes, Messages::DeleteCompanyQuestion);
        if (!refusal.isEmpty())
            f->m_prompter.answer(Answer::Ok, refusal);
        form.commandDelete();

        QCOMPARE(f->count("SELECT count(*) FROM ContactInfo WHERE ContactID = 2"), refusal.isEmpty() ? 0 : 1);
        if (refusal.isEmpty()) {
            QCOMPARE(f->m_prompter.prompts().size(), 1);
            QCOMPARE(f->text("companyName"), QString("Zenith"));
            // A later company given the freed key must not be taken for these rows' station.
            QCOMPARE(f->count("SELECT count(*) FROM GasLog, JobOrder WHERE GasLog.StationID = 0 AND "
                              "JobOrder.StationID = 0"),
                     1);
        } else {
            QCOMPARE(f->m_prompter.prompts().last().icon, Prompter::Icon::Exclamation);
            QCOMPARE(f->text("companyName"), QString("Acme"));
        }
    }

    void newNameTypedIntoACompanyBox()
    {
        f->addCompany("Acme Credit", LoanCompanyContact);
        CRecordForm& loan = f->open(LoanForm);
        QCOMPARE(loan.mode(), Mode::AddNew);

        // Another contact's name, in any case, is refused without the question.
        f->m_prompter.answer(Answer::Ok, Messages::CompanyNameInUse);
        f->typeAndLeave("loanCompany", "harbourLINE", "accountNumber");
        QVERIFY(f->m_prompter.verifyDone());

        // Moving on to Reset asks nothing.
        f->typeAndLeave("loanCompany", "Summit's Bank", "resetButton");
        QCOMPARE(f->m_prompter.prompts().size(), 1);

        // A name of the list in another case is that company.
        f->typeAndLeave("loanCompany", "ACME CREDIT", "accountNumber");
        QCOMPARE(f->box("loanCompany")->currentText(), QString("Acme Credit"));

        f->m_prompter.answer(Answer::Cancel, Messages::NewCompanyQuestion);
        f->typeAndLeave("loanCompany", "Summit's Bank", "accountNumber");
        QVERIFY(f->box("loanCompany")->isAncestorOf(QApplication::focusWidget()) ||
                QApplication::focusWidget() == f->box("loanCompany"));
        QCOMPARE(f->m_prompter.prompts().last().buttons, Prompter::Buttons::YesNoCancel);

        f->m_prompter.answer(Answer::No, Messages::NewCompanyQuestion);
        f->typeAndLeave("loanCompany", "Summit's Bank", "accountNumber");
        QCOMPARE(
            f->count("SELECT count(*) FROM ContactInfo WHERE ContactID = 3 AND CompanyName = 'Summit`s Bank' "
                     "AND ContactType = 2 AND FirstName = '' AND Phone = ''"),
            1);
        QCOMPARE(f->box("loanCompany")->currentText(), QString("Summit's Bank"));
        QCOMPARE(f->box("loanCompany")->count(), 2);
        QVERIFY(loan.hasUnsavedChanges());
        QCOMPARE(f->shownNumber(), int(LoanForm));
    }

    void detailsFirstThenReturnWithTheNewCompany()
    {
        CRecordForm& loan = f->open(LoanForm);
        f->setText("accountNumber", "A-17");
        f->m_prompter.answer(Answer::Yes, Messages::NewCompanyQuestion);
        f->typeAndLeave("loanCompany", "Summit Bank", "loanAmount");

        QCOMPARE(f->shownNumber(), int(CompanyForm));
        CRecordForm& companies = f->shown();
        QCOMPARE(companies.mode(), Mode::AddNew);
        QCOMPARE(f->text("companyName"), QString("Summit Bank"));
        QCOMPARE(f->box("companyType")->currentText(), QString("Loan Company"));
        QCOMPARE(f->find<QPushButton>("returnButton")->text(), QString("&Return"));
        QVERIFY(f->find<QPushButton>("cancelButton")->isVisible());
        // Cancel stands in the bottom row right after Return.
        const QRect returnPlace = f->find<QPushButton>("returnButton")->geometry();
        const QRect cancelPlace = f->find<QPushButton>("cancelButton")->geometry();
        QCOMPARE(cancelPlace.center().y(), returnPlace.center().y());
        QVERIFY(cancelPlace.left() > returnPlace.right());
        f->setText("firstName", "Ada");
        f->setText("lastName", "Moss");
        f->setText("phone", "555-0142");
        f->click("returnButton");

        QCOMPARE(f->shownNumber(), int(LoanForm));
        QCOMPARE(f->box("loanCompany")->currentText(), QString("Summit Bank"));
        QCOMPARE(f->text("agentName"), QString("Ada Moss"));
        QCOMPARE(f->text("phone"), QString("555-0142"));
        QCOMPARE(f->text("accountNumber"), QString("A-17"));
        f->click("saveButton");
        QCOMPARE(loan.mode(), Mode::Browse);
        QCOMPARE(
            f->count("SELECT count(*) FROM Loan JOIN ContactInfo ON Loan.ContactID = ContactInfo.ContactID "
                     "WHERE VehicleID = 1 AND AcctNo = 'A-17' AND CompanyName = 'Summit Bank'"),
            1);

        // Opened from elsewhere, the form is the plain company list again.
        f->frame().switchForm(HomeForm);
        f->open(CompanyForm);
        QCOMPARE(f->find<QPushButton>("homeButton")->text(), QString("Home"));
        QVERIFY(!f->find<QPushButton>("cancelButton")->isVisible());
    }

    void editContactFromBrowseAndCancel()
    {
        const qint32 acme = f->addCompany("Acme Credit", LoanCompanyContact, "555-0101");
        f->addCompany("Summit Bank", LoanCompanyContact);
        f->db().execute(
            QStringLiteral("INSERT INTO Loan (VehicleID, ContactID, Amount) VALUES (1, %1, 500)").arg(acme));
        CRecordForm& loan = f->open(LoanForm);
        QCOMPARE(loan.mode(), Mode::Browse);
        QCOMPARE(f->text("phone"), QString("555-0101"));

        f->click("editContactButton");
        QCOMPARE(f->shownNumber(), int(CompanyForm));
        QCOMPARE(f->shown().mode(), Mode::Browse);
        QCOMPARE(f->text("companyName"), QString("Acme Credit"));
        f->click("editButton");
        f->setText("phone", "555-0199");
        f->click("cancelButton");
        QCOMPARE(f->shownNumber(), int(LoanForm));
        QCOMPARE(f->count("SELECT count(*) FROM ContactInfo WHERE Phone = '555-0199'"), 0);
        QCOMPARE(loan.mode(), Mode::Browse);

        // The frame's Company List command from the loan form takes the same way, so Return comes back with
        // the company chosen there, which the loan then takes in Edit.
        f->frame().switchForm(CompanyForm);
        QCOMPARE(f->shownNumber(), int(CompanyForm));
        auto& companies = static_cast<CStationView&>(f->shown());
        QCOMPARE(companies.callerCode(), int(LoanCaller));
        f->box("companySelector")->setCurrentIndex(1);
        f->click("returnButton");
        QCOMPARE(f->shownNumber(), int(LoanForm));
        QCOMPARE(loan.mode(), Mode::Edit);
        QVERIFY(loan.hasUnsavedChanges());
        QCOMPARE(f->box("loanCompany")->currentText(), QString("Summit Bank"));
    }
};

QTEST_MAIN(CompaniesTest)
#include "tst_companies.moc"
