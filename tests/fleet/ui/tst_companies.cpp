#include "CompanyFormsFixture.h"
#include "DataRows.h"
#include "db/Clock.h"
#include "db/Messages.h"
#include "fleet/ContactKind.h"
#include "fleet/ui/StationView.h"
#include "forms/DateField.h"

#include <QCalendarWidget>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QToolButton>

using Answer = Prompter::Answer;
using Mode = CRecordForm::Mode;

namespace {

// One Save on a form, its checks in the order they run. The edits ("name=text|name=text") set a line's or a
// list's text or a memo, click a check or radio button, or (sql) change the data file behind the form. A save
// with a message is refused: that text as a warning, the focus on the target field, the form in its mode and
// its row as it was. Without one the save goes through and the form's row then reads as the target. Shown are
// texts of widgets afterwards.
struct Step
{
    int form;
    const char* edits;
    QString message;
    const char* target;
    const char* shown = "";
};

const QString nameNeeded = "You must fill in either Company Name or Last Name.";
const QString bothNames = "If a persons name is specified, both Last and First name are required.";
const QString perMonthRange = "Estimated Hours Per Month must be numeric and between 0 and 100,000.";
const QString readingRange = "Hour Meter Reading must be numeric and between 0 and 1,000,000.";
const QString belowPurchase = "The Hour Meter Reading on the vehicle can not be less then the Hour Meter on "
                              "the vehicle when purchased.";
const QString belowMaintenance =
    "The Hour Meter Reading can not be less then any actual maintenance entered.";
const QString stationInUse =
    "You can not change the type of this Company.  It is already being used as a Service Station.";
const QString nameInUse = "The company name is already being used.  Please enter a unique company name.";
const QString lengthRange = "Length of Loan must be numeric and between 0 and 360.";
const QString rateRange = "Interest Rate must be numeric and between 0 and 100.00%.";
const QString amountRange = "Amount of Loan must be numeric and between $0 and $1,000,000.";
const QString paymentRange = "Payment Amount must be numeric and between 0 and 1,000,000.";
const QString badDate = "The Date is invalid.  The format must be mm/dd/yyyy (ex. 12/31/1998).";
const QString deductibleRange = "Deductible must be numeric and between 0 and 1,000,000.";
const QString endBeforeStart = "The Coverage End Date must be greater than the Coverage Start Date.";

const Step steps[] = {
    {OwnerForm, "firstName=Jo", nameNeeded, "companyName"},
    {OwnerForm, "locationId=Store 5", nameNeeded, "companyName"},
    {OwnerForm, "lastName=Doe", "Company Name is required when Location ID is specified.", "companyName"},
    {OwnerForm, "locationId=", "", "1||Doe|Jo||"},
    {OwnerForm, "firstName=", bothNames, "firstName"},
    // Apostrophes are stored as back quotes and shown as typed.
    {OwnerForm, "firstName=Jo|companyName=O'Neil's Garage|comments=Fleet account", "",
     "1|O`Neil`s Garage|Doe|Jo||Fleet account", "companyName=O'Neil's Garage|ownerSelector=O'Neil's Garage"},

    // Vehicle 1 has a purchase reading of 200 and a maintenance entry at 900; the labels name the unit.
    {VehicleForm,
     "metricMeasurement|perMonthEdit=100,000|readingEdit=1,000,000|actualDateEdit=2/30/2024|"
     "vehicleYear=1900",
     "You must fill in the Year, and it must be greater then 1900.", "vehicleYear",
     "perMonthLabel=Estimated KM Per Month"},
    {VehicleForm, "hoursCheck|vehicleYear=1901", perMonthRange, "perMonthEdit",
     "perMonthLabel=Estimated Hours Per Month|actualDateLabel=Actual Hours Last Entered"},
    {VehicleForm, "perMonthEdit=$1,200", readingRange, "readingEdit"},
    {VehicleForm, "readingEdit=199", belowPurchase, "readingEdit"},
    {VehicleForm, "readingEdit=899", belowMaintenance, "readingEdit"},
    {VehicleForm, "readingEdit=900", "Actual Hours Last Entered is not a valid date.", "actualDateEdit"},
    {VehicleForm, "actualDateEdit=3/21/2024", "You can not use a date in the future.", "actualDateEdit"},
    {VehicleForm, "actualDateEdit=3-20-2024", "", "1901|900|1200|1|1",
     "actualDateEdit=03/20/2024|readingLabel=Hour Meter Reading"},

    // Owners count: company names are unique across every contact, in any case.
    {CompanyForm, "companyName=Joe's Garage", "You must choose the Company Type.", "companyType"},
    {CompanyForm, "companyType=Service Station|companyName=", "You must fill in the Company Name.",
     "companyName"},
    {CompanyForm, "companyName=HARBOURLINE", nameInUse, "companyName"},
    {CompanyForm, "companyName=Joe's Garage", "", "4|Joe`s Garage|", "companySelector=Joe's Garage"},
    // Saving a company under its own name is no clash. The type stays while rows of the old kind use the
    // company ("sql" changes the file meanwhile); a job order is no such use.
    {CompanyForm, "phone=555-0100|sql=INSERT INTO JobOrder (JobOrderID, StationID) VALUES (1, 2)", "",
     "4|Joe`s Garage|555-0100"},
    {CompanyForm, "sql=INSERT INTO Schedule (ScheduleID, StationID) VALUES (1, 2)|companyType=Loan Company",
     stationInUse, "companyType"},
    {CompanyForm, "sql=DELETE FROM Schedule|sql=INSERT INTO Maintenance (MaintID, StationID) VALUES (2, 2)",
     stationInUse, "companyType"},
    {CompanyForm, "sql=DELETE FROM Maintenance WHERE MaintID = 2", "", "2|Joe`s Garage|555-0100"},
    {CompanyForm, "sql=INSERT INTO Loan (VehicleID, ContactID) VALUES (1, 2)|companyType=Insurance Company",
     "You can not change the type of this Company.  It is already being used as a Loan Company.",
     "companyType"},
    {CompanyForm, "sql=DELETE FROM Loan|companyType=Insurance Company", "", "3|Joe`s Garage|555-0100"},
    {CompanyForm,
     "sql=INSERT INTO Insurance (VehicleID, ContactID) VALUES (1, 2)|companyType=Service Station",
     "You can not change the type of this Company.  It is already being used as an Insurance Company.",
     "companyType"},

    {LoanForm, "accountNumber=A-1|loanLength=361", lengthRange, "loanLength"},
    {LoanForm, "loanLength=", lengthRange, "loanLength"},
    {LoanForm, "loanLength=360", "", "A-1|360|0.0|0.0|0.0|"},
    {LoanForm, "interestRate=100", rateRange, "interestRate"},
    {LoanForm, "interestRate=99.99%", "", "A-1|360|99.99|0.0|0.0|"},
    {LoanForm, "loanAmount=1,000,000", amountRange, "loanAmount"},
    {LoanForm, "loanAmount=$999,999.99", "", "A-1|360|99.99|999999.99|0.0|"},
    {LoanForm, "paymentAmount=1000000", paymentRange, "paymentAmount"},
    {LoanForm, "paymentAmount=999999.99", "", "A-1|360|99.99|999999.99|999999.99|"},
    {LoanForm, "originatingDate=2/30/1999", badDate, "originatingDate"},
    {LoanForm, "originatingDate=1/2/1999", "", "A-1|360|99.99|999999.99|999999.99|19990102",
     "originatingDate=01/02/1999"},
    {LoanForm, "originatingDate=", "", "A-1|360|99.99|999999.99|999999.99|", "originatingDate="},

    {InsuranceForm, "deductible=$1,000,000", deductibleRange, "deductible"},
    {InsuranceForm, "deductible=", deductibleRange, "deductible"},
    {InsuranceForm, "deductible=$999,999.99", "", "999999.99||"},
    {InsuranceForm, "coverageStart=13/1/2024", badDate, "coverageStart"},
    {InsuranceForm, "coverageStart=03/02/2024", "", "999999.99|20240302|"},
    {InsuranceForm, "coverageEnd=03/01/2024", endBeforeStart, "coverageEnd"},
    {InsuranceForm, "coverageStart=3/1/2024|deductible=0", "", "0.0|20240301|20240301"},
    {InsuranceForm, "coverageStart=", "", "0.0||20240301"},
};

// The name=text pairs of a step's list; a name alone has no text.
QList<std::pair<QByteArray, QString>> pairs(const char* list)
{
    QList<std::pair<QByteArray, QString>> result;
    for (const QString& item : QString(list).split('|', Qt::SkipEmptyParts))
        result.append({item.section('=', 0, 0).toLatin1(), item.section('=', 1, -1)});
    return result;
}

} // namespace

// The company, loan and insurance forms and the way between them, and the checks Save runs on the record
// forms of the fleet, reached through the main window as the user does.
class CompaniesTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<CompanyFormsFixture> f;

    void edit(const char* name, const QString& text)
    {
        if (QByteArray(name) == "sql")
            return f->db().execute(text);
        QWidget* widget = f->find<QWidget>(name);
        if (auto* line = qobject_cast<QLineEdit*>(widget))
            line->setText(text);
        else if (auto* list = qobject_cast<QComboBox*>(widget))
            list->setCurrentText(text);
        else if (auto* memo = qobject_cast<QPlainTextEdit*>(widget))
            memo->setPlainText(text);
        else
            QTest::mouseClick(widget, Qt::LeftButton);
    }
    QString shownText(const char* name)
    {
        QWidget* widget = f->find<QWidget>(name);
        if (auto* list = qobject_cast<QComboBox*>(widget))
            return list->currentText();
        if (auto* label = qobject_cast<QLabel*>(widget))
            return label->text();
        return f->field(name)->text();
    }

private Q_SLOTS:
    void init() { f = std::make_unique<CompanyFormsFixture>(); }
    void cleanup() { f.reset(); }

    // The checks Save runs on the owner, vehicle, company, loan and insurance forms, and what it writes.
    void saveChecksRunInOrder_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<QString>("columns"); // what the form's rows hold, read after each save
        QTest::addColumn<QString>("rows");
        addRow("owner", int(OwnerForm), "ContactType CompanyName LastName FirstName LocationID Memo",
               "Owners JOIN ContactInfo USING (ContactID) WHERE OwnerID > 1");
        addRow("vehicle", int(VehicleForm),
               "VehicleYear EntryOfActualMiles EstMilesPerMonth Measurement HoursInd",
               "Vehicles WHERE VehicleID = 1");
        addRow("company", int(CompanyForm), "ContactType CompanyName Phone",
               "ContactInfo WHERE ContactID > 1");
        addRow("loan", int(LoanForm), "AcctNo Length InterestRate Amount PaymentAmount OriginatingDate",
               "Loan WHERE VehicleID = 1");
        addRow("insurance", int(InsuranceForm), "Deductable CoverageStartDate CoverageEndDate",
               "Insurance WHERE VehicleID = 1");
    }

    void saveChecksRunInOrder()
    {
        QFETCH(int, form);
        QFETCH(QString, columns);
        QFETCH(QString, rows);
        const QString stored =
            QString("SELECT group_concat(%1) FROM %2").arg(columns.split(' ').join("||'|'||"), rows);
        // Vehicle 1 has a purchase reading of 200 and a maintenance entry at 900.
        Clock::setNow(QDateTime(QDate(2024, 3, 20), QTime(10, 0)));
        f->db().execute("UPDATE Vehicles SET EntryOfActualMiles = 1000, DateOfActualMiles = '20240320', "
                        "DateOfEstimatedMiles = '20240320', EstMilesPerMonth = 0, PurchaseMileage = 200, "
                        "Measurement = 0, HoursInd = 0, ActiveInd = -1 WHERE VehicleID = 1");
        f->db().execute(
            "INSERT INTO Maintenance (MaintID, VehicleID, StationID, ActualMiles) VALUES (1, 1, 0, 900)");
        f->m_app.setCurrentVehicle(1);
        f->open(form);
        if (form == OwnerForm)
            f->click("newButton");
        int number = 0;
        const auto where = qScopeGuard([&] {
            if (QTest::currentTestFailed())
                qWarning("at step %d of the form", number);
        });
        for (const Step& step : steps) {
            if (step.form != form)
                continue;
            ++number;
            if (f->shown().mode() == Mode::Browse)
                f->click("editButton");
            const QString before = f->db().scalar(stored).toString();
            for (const auto& [name, text] : pairs(step.edits))
                edit(name.constData(), text);
            if (step.message.isEmpty()) {
                f->click("saveButton");
                QCOMPARE(f->shown().mode(), Mode::Browse);
            } else {
                f->saveRefused(step.message, step.target);
                if (QTest::currentTestFailed())
                    return;
            }
            QCOMPARE(f->db().scalar(stored).toString(),
                     step.message.isEmpty() ? QString(step.target) : before);
            for (const auto& [name, text] : pairs(step.shown))
                QCOMPARE(shownText(name.constData()), text);
        }
    }

    // Delete asks, then refuses while rows use the company, naming the first use in the order the user is
    // told; gas entries and job orders are no such use.
    void deleteAsksThenRefusesWhileInUse()
    {
        const QString byMaintenance = "Unable to delete the current company because it is assigned to a "
                                      "maintenance or schedule record.";
        const std::pair<QString, QString> steps[] = {
            // The rows changed before the delete, and its refusal.
            {"INSERT INTO Schedule (ScheduleID, StationID) VALUES (1, 2);"
             "INSERT INTO Loan (VehicleID, ContactID) VALUES (1, 2)",
             byMaintenance},
            {"DELETE FROM Schedule;INSERT INTO Maintenance (MaintID, StationID) VALUES (1, 2)",
             byMaintenance},
            {"DELETE FROM Maintenance;INSERT INTO Insurance (VehicleID, ContactID) VALUES (1, 2)",
             "Unable to delete the current company because it is currently assigned to a Loan Record."},
            {"DELETE FROM Loan", "Unable to delete the current company because it is currently assigned to "
                                 "an Insurance Record.."},
            {"DELETE FROM Insurance;INSERT INTO GasLog (GasLogID, StationID) VALUES (1, 2);"
             "INSERT INTO JobOrder (JobOrderID, StationID) VALUES (1, 2)",
             ""},
        };
        QCOMPARE(f->addCompany("Acme", ServiceStationContact), 2);
        f->addCompany("Zenith", ServiceStationContact);
        CRecordForm& form = f->open(CompanyForm);
        for (const auto& [rows, refusal] : steps) {
            for (const QString& statement : rows.split(';'))
                f->db().execute(statement);
            f->m_prompter.answer(Answer::Yes, "Do you want to delete the current service station?");
            if (!refusal.isEmpty())
                f->m_prompter.answer(Answer::Ok, refusal);
            form.commandDelete();
            QCOMPARE(f->m_prompter.prompts().last().icon,
                     refusal.isEmpty() ? Prompter::Icon::Question : Prompter::Icon::Exclamation);
            QCOMPARE(f->count("SELECT count(*) FROM ContactInfo WHERE ContactID = 2"),
                     refusal.isEmpty() ? 0 : 1);
            QCOMPARE(f->text("companyName"), QString(refusal.isEmpty() ? "Zenith" : "Acme"));
        }
        // A later company given the freed key must not be taken for these rows' station.
        QCOMPARE(f->count("SELECT count(*) FROM GasLog, JobOrder WHERE GasLog.StationID = 0 AND "
                          "JobOrder.StationID = 0"),
                 1);
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
