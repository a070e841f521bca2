#include "CompanyFormsFixture.h"
#include "DataRows.h"
#include "db/Messages.h"
#include "fleet/ContactKind.h"
#include "fleet/ui/StationView.h"
#include "forms/DateField.h"

#include <QCalendarWidget>
#include <QToolButton>

using Answer = Prompter::Answer;
using Mode = CRecordForm::Mode;

// The company, loan and insurance forms, and the way between them.
class CompaniesTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<CompanyFormsFixture> f;

private Q_SLOTS:
    void init() { f = std::make_unique<CompanyFormsFixture>(); }
    void cleanup() { f.reset(); }

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

    void dateFieldShowsItsPlaceholderAndACalendar()
    {
        f->open(LoanForm);
        auto* date = qobject_cast<CDateField*>(f->field("originatingDate"));
        QVERIFY(date);
        QCOMPARE(date->placeholderText(), QString("mm/dd/yyyy"));
        QTest::qWait(20);
        // The buttons beside the text leave room for the whole placeholder.
        int buttonsLeft = date->width();
        for (QToolButton* button : date->findChildren<QToolButton*>())
            if (button->isVisible())
                buttonsLeft = qMin(buttonsLeft, button->x());
        QVERIFY2(date->fontMetrics().horizontalAdvance("mm/dd/yyyy") + 6 <= buttonsLeft,
                 qPrintable(QString::number(buttonsLeft)));

        date->findChild<QAction*>("calendarAction")->trigger();
        QTRY_VERIFY(date->calendar() && date->calendar()->isVisible());
        Q_EMIT date->calendar()->clicked(QDate(2026, 3, 16));
        QCOMPARE(date->text(), QString("03/16/2026"));
        QTRY_VERIFY(!date->calendar());
        QVERIFY(f->shown().hasUnsavedChanges());
    }

    // A vehicle without the record opens into a new one; saved, it is the vehicle's own, and Delete takes it
    // (an insurance with its coverage, of that vehicle only) and starts a new one.
    void newRecordForAVehicleWithoutAndDelete_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("textField");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("coverageLeft");
        addRow("loan", int(LoanForm), "Loan", "accountNumber", Messages::DeleteLoanQuestion, "1,2");
        addRow("insurance", int(InsuranceForm), "Insurance", "policyNumber",
               Messages::DeleteInsuranceQuestion, "2");
    }

    void newRecordForAVehicleWithoutAndDelete()
    {
        QFETCH(int, form);
        QFETCH(QString, table);
        QFETCH(QString, textField);
        QFETCH(QString, question);
        QFETCH(QString, coverageLeft);
        const QByteArray field = textField.toLatin1();
        f->db().execute("INSERT INTO InsCoverage (VehicleID, TypeID) VALUES (1, 1), (2, 1)");
        CRecordForm& view = f->open(form);
        QCOMPARE(f->title(), QString("New %1 Information").arg(table));
        QCOMPARE(view.mode(), Mode::AddNew);
        QVERIFY(f->box("vehicleSelector")->isEnabled());
        QVERIFY(!f->find<QPushButton>("newButton")->isEnabled());
        QVERIFY(!f->find<QPushButton>("deleteButton")->isEnabled());
        QCOMPARE(f->text("paymentAmount"), QString("$0.00"));

        f->setText(field.constData(), "X-1");
        f->click("saveButton");
        QCOMPARE(f->title(), QString("Browse %1 Information").arg(table));
        QCOMPARE(f->count(QStringLiteral("SELECT count(*) FROM %1 WHERE VehicleID = 1").arg(table)), 1);

        f->box("vehicleSelector")->setCurrentIndex(1);
        QCOMPARE(view.mode(), Mode::AddNew);
        QCOMPARE(f->text(field.constData()), QString());
        QCOMPARE(f->m_app.currentVehicle(), 2);
        f->box("vehicleSelector")->setCurrentIndex(0);
        QCOMPARE(f->text(field.constData()), QString("X-1"));
        QCOMPARE(view.mode(), Mode::Browse);

        f->m_prompter.answer(Answer::Yes, question);
        view.commandDelete();
        QCOMPARE(f->count("SELECT count(*) FROM " + table), 0);
        QCOMPARE(f->db().scalar("SELECT group_concat(VehicleID) FROM InsCoverage").toString(), coverageLeft);
        QCOMPARE(f->title(), QString("New %1 Information").arg(table));
        QCOMPARE(f->box("vehicleSelector")->currentIndex(), 0);
    }

    void anotherVehicleSavesTheNewLoanForItsOwn()
    {
        CRecordForm& loan = f->open(LoanForm);
        f->setText("accountNumber", "For the Ford");
        f->m_prompter.answer(Answer::Yes, Messages::ApplyChangesQuestion);
        f->box("vehicleSelector")->setCurrentIndex(1);
        QCOMPARE(f->db().scalar("SELECT group_concat(VehicleID || ':' || AcctNo) FROM Loan").toString(),
                 QString("1:For the Ford"));
        QCOMPARE(loan.mode(), Mode::AddNew);
        QCOMPARE(f->box("vehicleSelector")->currentIndex(), 1);

        // A vehicle chosen on another form is the one shown when the form comes back.
        f->frame().switchForm(HomeForm);
        f->m_app.setCurrentVehicle(1);
        f->open(LoanForm);
        QCOMPARE(f->text("accountNumber"), QString("For the Ford"));
    }
};

QTEST_MAIN(CompaniesTest)
#include "tst_companies.moc"
