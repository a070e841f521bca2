#include "CompanyFormsFixture.h"
#include "Dialogs.h"
#include "context/VelDoc.h"
#include "db/Clock.h"
#include "db/DbException.h"
#include "db/Messages.h"
#include "fleet/ContactKind.h"
#include "fleet/OwnerRecord.h"
#include "fleet/VehicleRecord.h"
#include "fleet/ui/PurchaseDialog.h"
#include "forms/DateField.h"
#include "fuel/GasEntry.h"
#include "maintenance/JobOrderRecord.h"
#include "maintenance/MaintenanceRecord.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalSpy>
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
    {VehicleForm, "readingEdit=899",
     "The Hour Meter Reading can not be less then any actual maintenance entered.", "readingEdit"},
    {VehicleForm, "readingEdit=900",
     "Actual Hours Last Entered is not a valid date.  Must be mm/dd/yyyy (ex. 12/31/1998).",
     "actualDateEdit"},
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

// What text fields do on desktops with the X11 key scheme: they claim Ctrl+E (end of line) and other
// Ctrl keys before shortcuts are looked up.
class ClaimsControlKeys : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::ShortcutOverride ||
            !(static_cast<QKeyEvent*>(event)->modifiers() & Qt::ControlModifier))
            return false;
        event->accept();
        return true;
    }
};

} // namespace

// The record forms of the fleet reached through the main window as the user does: the checks Save runs, the
// company, loan and insurance forms and the way between them, the data they keep, the vehicle form, and the
// keyboard on every form.
class FleetFormsTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<CompanyFormsFixture> f;
    void press(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QVERIFY(target);
        QTest::keyClick(target, Qt::Key(key), modifiers);
        QTest::qWait(10);
    }
    QWidget* focused() { return QApplication::focusWidget(); }
    QString focusedName()
    {
        QWidget* widget = QApplication::focusWidget();
        while (widget && widget->objectName().isEmpty())
            widget = widget->parentWidget();
        return widget ? widget->objectName() : QString();
    }
    QString value(const QString& sql) { return f->db().scalar(sql).toString(); }
    qint32 addOwner(const QString& company)
    {
        OwnerRecord owner;
        owner.companyName = company;
        return owner.save(f->db(), 0);
    }
    // The vehicle form's tests start without vehicles and add their own, with a seller; today is 03/20/2024.
    void startWithoutVehicles()
    {
        Clock::setNow(QDateTime(QDate(2024, 3, 20), QTime(10, 0)));
        f->db().execute("DELETE FROM Vehicles");
    }
    qint32 addVehicle(const QString& make, qint32 reading = 1000, qint32 purchaseReading = 0)
    {
        VehicleRecord vehicle = VehicleRecord::newVehicle();
        vehicle.ownerId = 1;
        vehicle.year = "2019";
        vehicle.make = make;
        vehicle.reading = reading;
        vehicle.purchase.reading = purchaseReading;
        vehicle.purchase.seller.companyName = "Dealer";
        return vehicle.save(f->db(), 0).vehicleId;
    }
    const QString vehicleGone = QStringLiteral("vehicle this record belongs to has been deleted");
    const QString offer = QStringLiteral("Do you want to apply the changes before continuing?");

    // The loan form of vehicle 1 with an account number typed and not saved, left for the company list.
    void leaveTypedLoan()
    {
        f->open(LoanForm);
        f->setText("accountNumber", "L-9");
        f->click("editContactButton");
        QCOMPARE(f->shownNumber(), int(CompanyForm));
    }

    // Sets the text a line, list or memo holds (the property differs), or clicks a check or radio button.
    void edit(const char* name, const QString& text)
    {
        if (QByteArray(name) == "sql")
            return f->db().execute(text);
        QWidget* widget = f->find<QWidget>(name);
        if (qobject_cast<QAbstractButton*>(widget))
            return QTest::mouseClick(widget, Qt::LeftButton);
        for (const char* property : {"text", "currentText", "plainText"})
            if (widget->metaObject()->indexOfProperty(property) >= 0)
                return void(widget->setProperty(property, text));
    }
    QString shownText(const char* name)
    {
        QWidget* widget = f->find<QWidget>(name);
        const QVariant text = widget->property("text");
        return text.isValid() ? text.toString() : widget->property("currentText").toString();
    }

private Q_SLOTS:
    // Also called by the tests that run their rows each on a fresh window and file.
    void init()
    {
        f.reset();
        f = std::make_unique<CompanyFormsFixture>();
    }
    void cleanup() { f.reset(); }

    void saveChecksRunInOrder()
    {
        // Each form and what its rows hold, read after each save.
        const std::tuple<int, QString, const char*> forms[] = {
            {OwnerForm, "ContactType CompanyName LastName FirstName Owners.LocationID Owners.Memo",
             "Owners JOIN ContactInfo USING (ContactID) WHERE OwnerID > 1"},
            {VehicleForm, "VehicleYear EntryOfActualMiles EstMilesPerMonth Measurement HoursInd",
             "Vehicles WHERE VehicleID = 1"},
            {CompanyForm, "ContactType CompanyName Phone", "ContactInfo WHERE ContactID > 1"},
            {LoanForm, "AcctNo Length InterestRate Amount PaymentAmount OriginatingDate",
             "Loan WHERE VehicleID = 1"},
            {InsuranceForm, "Deductable CoverageStartDate CoverageEndDate", "Insurance WHERE VehicleID = 1"},
        };
        for (const auto& [form, columns, rows] : forms) {
            init();
            const QString stored =
                QString("SELECT group_concat(%1) FROM %2").arg(columns.split(' ').join("||'|'||"), rows);
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
            for (const Step& step : steps) {
                if (step.form != form)
                    continue;
                if (f->shown().mode() == Mode::Browse)
                    f->click("editButton");
                const QString before = value(stored);
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
                QCOMPARE(value(stored), step.message.isEmpty() ? QString(step.target) : before);
                for (const auto& [name, text] : pairs(step.shown))
                    QCOMPARE(shownText(name.constData()), text);
            }
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

    // A company name typed into the loan form's company box: refused, taken, added at once, or (Yes) entered
    // on the company form first, which then returns with it.
    void companyTypedIntoACompanyBox()
    {
        f->addCompany("Acme Credit", LoanCompanyContact);
        CRecordForm& loan = f->open(LoanForm);

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
        QVERIFY(loan.hasUnsavedChanges() && f->shownNumber() == LoanForm);

        f->setText("accountNumber", "A-17");
        f->m_prompter.answer(Answer::Yes, Messages::NewCompanyQuestion);
        f->typeAndLeave("loanCompany", "Summit Bank", "loanAmount");

        QCOMPARE(f->title(), QString("Add New Company"));
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
        f->addCompany("Acme Credit", LoanCompanyContact, "555-0101"); // key 2, which the loan takes
        f->addCompany("Summit Bank", LoanCompanyContact);
        f->db().execute("INSERT INTO Loan (VehicleID, ContactID, Amount) VALUES (1, 2, 500)");
        CRecordForm& loan = f->open(LoanForm);
        QCOMPARE(f->text("phone"), QString("555-0101"));

        f->click("editContactButton");
        QCOMPARE(f->title(), QString("Browse Company"));
        QCOMPARE(f->text("companyName"), QString("Acme Credit"));
        f->click("editButton");
        f->setText("phone", "555-0199");
        f->click("cancelButton");
        QVERIFY(f->shownNumber() == LoanForm && loan.mode() == Mode::Browse);
        QCOMPARE(f->count("SELECT count(*) FROM ContactInfo WHERE Phone = '555-0199'"), 0);

        // The frame's Company List command from the loan form takes the same way, so Return comes back with
        // the company chosen there, which the loan then takes in Edit.
        f->frame().switchForm(CompanyForm);
        QCOMPARE(f->shownNumber(), int(CompanyForm));
        f->box("companySelector")->setCurrentIndex(1);
        f->click("returnButton");
        QCOMPARE(f->shownNumber(), int(LoanForm));
        QVERIFY(loan.mode() == Mode::Edit && loan.hasUnsavedChanges());
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

    // A vehicle without the record opens into a new one, which is that vehicle's own, and Delete takes it (an
    // insurance with its coverage, of that vehicle only) and starts a new one.
    void newRecordForAVehicleWithoutAndDelete()
    {
        const std::tuple<int, QString, const char*, QString> rows[] = {
            {LoanForm, "Loan", "accountNumber", "1,2"}, {InsuranceForm, "Insurance", "policyNumber", "2"}};
        for (const auto& [form, table, field, coverageLeft] : rows) {
            init();
            f->db().execute("INSERT INTO InsCoverage (VehicleID, TypeID) VALUES (1, 1), (2, 1)");
            CRecordForm& view = f->open(form);
            QCOMPARE(f->title(), QString("New %1 Information").arg(table));
            QVERIFY(f->box("vehicleSelector")->isEnabled());
            QVERIFY(!f->find<QPushButton>("newButton")->isEnabled());
            QVERIFY(!f->find<QPushButton>("deleteButton")->isEnabled());
            QCOMPARE(f->text("paymentAmount"), QString("$0.00"));

            // Typed and left for another vehicle, the record is saved as the first vehicle's own.
            f->setText(field, "X-1");
            f->m_prompter.answer(Answer::Yes, Messages::ApplyChangesQuestion);
            f->box("vehicleSelector")->setCurrentIndex(1);
            QCOMPARE(value("SELECT group_concat(VehicleID) FROM " + table), QString("1"));
            QCOMPARE(view.mode(), Mode::AddNew);
            QCOMPARE(f->text(field), QString());
            f->box("vehicleSelector")->setCurrentIndex(0);
            QCOMPARE(f->text(field), QString("X-1"));
            QCOMPARE(f->title(), QString("Browse %1 Information").arg(table));

            f->m_prompter.answer(Answer::Yes, "information?"); // its text: deleteQuestionsDefaultToNo
            view.commandDelete();
            QCOMPARE(f->count("SELECT count(*) FROM " + table), 0);
            QCOMPARE(value("SELECT group_concat(VehicleID) FROM InsCoverage"), coverageLeft);
            QCOMPARE(f->title(), QString("New %1 Information").arg(table));
            QCOMPARE(f->box("vehicleSelector")->currentIndex(), 0);
        }
    }

    // Typing for a vehicle deleted on the vehicle form, or behind the form's back, is dropped and the user
    // told.
    void typingForADeletedVehicleIsDroppedAndTold()
    {
        leaveTypedLoan();
        f->open(VehicleForm);
        f->m_prompter.answer(Answer::Yes, "Do you want to delete the current vehicle?");
        f->m_prompter.answer(Answer::Ok, vehicleGone);
        QSignalSpy hints(&f->frame().document(), &CVelDoc::viewsNeedUpdate);
        f->click("deleteButton");
        QVERIFY(hints.size() == 1 && hints.at(0).at(0).toInt() == VehiclesHint);
        QCOMPARE(f->field("vehicleMake")->text(), QString("Honda"));
        QVERIFY(!f->open(LoanForm).hasUnsavedChanges());
        QCOMPARE(f->text("accountNumber"), QString());

        f->open(InsuranceForm);
        f->setText("policyNumber", "P-1");
        f->db().execute("DELETE FROM Vehicles WHERE VehicleID = 2");
        f->m_prompter.answer(Answer::Ok, vehicleGone);
        f->click("saveButton");
        QCOMPARE(f->count("SELECT count(*) FROM Insurance"), 0);
        QVERIFY(!f->shown().hasUnsavedChanges());
    }

    // Typing left on the loan form while the company list is shown is offered on closing, and only that:
    // Cancel stays on the loan form, Yes saves it; with every vehicle gone unheard of, No closes.
    void closingOffersOnlyTheChanges()
    {
        for (const bool vehiclesGone : {false, true}) {
            init();
            leaveTypedLoan();
            if (vehiclesGone)
                f->db().execute("DELETE FROM Vehicles");
            f->m_prompter.answer(Answer::Cancel, offer);
            QVERIFY(!f->frame().close());
            QCOMPARE(f->shownNumber(), int(LoanForm));
            f->m_prompter.answer(vehiclesGone ? Answer::No : Answer::Yes, offer);
            QVERIFY(f->frame().close());
            QCOMPARE(f->m_prompter.prompts().size(), 2);
            QCOMPARE(f->count("SELECT count(*) FROM Loan WHERE VehicleID = 1 AND AcctNo = 'L-9'"),
                     vehiclesGone ? 0 : 1);
        }
    }

    void deleteQuestionsDefaultToNo()
    {
        f->addCompany("Quick Lube", 4);
        for (const char* sql :
             {"INSERT INTO Loan (VehicleID, AcctNo) VALUES (1, 'L-1')",
              "INSERT INTO Insurance (VehicleID, PolicyNo) VALUES (1, 'P-1')",
              "INSERT INTO GasLog (GasLogID, VehicleID, Date, Mileage) VALUES (1, 1, '20240105', 9800)",
              "INSERT INTO Maintenance (MaintID, VehicleID, StationID, MaintDate, ActualMiles) "
              "VALUES (1, 1, 0, '20240215', 10600)",
              "INSERT INTO JobOrder (JobOrderID, StationID, VehicleID, JCN, Date, OpenInd) VALUES "
              "(1, 0, 1, 'J-1', '20240310', -1)"})
            f->db().execute(sql);
        const std::tuple<int, QString, QString> rows[] = {
            {OwnerForm, "Do you want to delete the current owner?", "Owners"},
            {VehicleForm,
             "Do you want to delete the current vehicle?  Note:  All Schedule, Loan, Insurance, Job Orders, "
             "Maintenance, and Gas Log information will be lost.",
             "Vehicles"},
            {CompanyForm, "Do you want to delete the current service station?",
             "ContactInfo WHERE ContactType = 4"},
            {LoanForm, "Do you want to delete the loan information?", "Loan"},
            {InsuranceForm, "Do you want to delete the insurance information?", "Insurance"},
            {GasForm, "Do you want to delete the selected gas entry?", "GasLog"},
            {MaintenanceForm, "Do you want to delete the selected maintenance entry?", "Maintenance"},
            {JobOrderForm, "Do you want to delete the selected job order?", "JobOrder"},
        };
        for (const auto& [form, question, table] : rows) {
            const QString count = "SELECT count(*) FROM " + table;
            const int before = f->count(count);
            f->open(form);
            f->m_prompter.answer(Answer::No, question);
            f->click("deleteButton");
            QCOMPARE(f->m_prompter.prompts().last().buttons, Prompter::Buttons::YesNoDefaultNo);
            QCOMPARE(f->count(count), before);
        }
    }

    // Whatever the form does, a save never moves a stored record to another vehicle.
    void saveRefusesToMoveARecord()
    {
        f->db().execute(
            "INSERT INTO JobOrder (JobOrderID, VehicleID, Date, OpenInd) VALUES (1, 1, '20240301', -1)");
        f->db().execute("INSERT INTO Maintenance (MaintID, VehicleID, MaintDate, ActualMiles) "
                        "VALUES (1, 1, '20240301', 41000)");
        f->db().execute(
            "INSERT INTO GasLog (GasLogID, VehicleID, Date, Mileage) VALUES (1, 1, '20240301', 41000)");
        const QString refusal = "This record belongs to another vehicle, so the changes were not saved.";
        const auto refused = [&](const std::function<void()>& save) {
            try {
                save();
            } catch (const CdbException& error) {
                return error.description() == refusal;
            }
            return false;
        };
        JobOrderRecord order = *JobOrderRecord::load(f->db(), 1);
        order.vehicleId = 2;
        QVERIFY(refused([&] { order.save(f->db(), 1); }));
        MaintenanceRecord entry = *MaintenanceRecord::load(f->db(), 1);
        entry.vehicleId = 2;
        QVERIFY(refused([&] { MaintenanceEntries::save(f->db(), 1, entry); }));
        GasRecord gas = *GasRecord::load(f->db(), 1);
        QVERIFY(refused([&] { gas.save(f->db(), 2, 1); }));
        QCOMPARE(columnOf(f->db(),
                          "SELECT VehicleID FROM JobOrder UNION ALL SELECT VehicleID FROM Maintenance "
                          "UNION ALL SELECT VehicleID FROM GasLog"),
                 QStringList({"1", "1", "1"}));
    }

    void fileMenuSwitchesDataFiles()
    {
        const QString first = f->m_app.databasePath();
        Database other;
        const QString otherPath = f->m_env.createDatabase(other, "Other.vel");
        other.execute(
            "INSERT INTO ContactInfo (ContactID, ContactType, CompanyName) VALUES (1, 1, 'Elsewhere')");
        other.execute("INSERT INTO Owners (OwnerID, ContactID) VALUES (1, 1)");
        other.close();
        f->open(OwnerForm);
        f->click("editButton");
        f->setText("companyName", "Typed");
        f->field("companyName")->setFocus();
        // The changes typed are offered first; Cancel keeps the file and the typing.
        f->m_prompter.answer(Answer::Cancel, offer);
        QTest::keyClick(focused(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(f->m_app.databasePath(), first);
        QCOMPARE(f->text("companyName"), QString("Typed"));

        f->m_prompter.answer(Answer::No, offer).file(otherPath);
        QTest::keyClick(focused(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(f->m_app.settings().databaseLocation(), otherPath);
        QCOMPARE(f->shownNumber(), int(HomeForm));
        f->open(OwnerForm);
        QCOMPARE(f->box("ownerSelector")->currentText(), QString("Elsewhere"));

        const QString fresh = f->m_env.path("Fresh.vel");
        f->m_prompter.file(fresh);
        f->frame().findChild<QAction*>("newDataFileAction")->trigger();
        QCOMPARE(f->m_app.databasePath(), fresh);
        QCOMPARE(f->count("SELECT count(*) FROM Owners"), 0);
    }

    void pastReadingIsEstimatedAndNoted()
    {
        startWithoutVehicles();
        f->open(VehicleForm);
        QCOMPARE(f->field("actualDateEdit")->text(), QString("03/20/2024"));
        QVERIFY(f->find<QCheckBox>("activeCheck")->isChecked() &&
                f->find<QRadioButton>("usMeasurement")->isChecked());
        for (const auto& [name, text] :
             pairs("vehicleYear=2012|perMonthEdit=1,000|readingEdit=50,000|actualDateEdit=02/19/2024"))
            edit(name.constData(), text);
        f->m_prompter.noteAnswer(false);
        f->click("saveButton");
        QCOMPARE(
            f->m_prompter.prompts().last().text,
            QString("The Actual Miles Last Entered is not today.  System is estimating the (Est.) Odometer "
                    "Reading on the vehicle as of today."));
        QCOMPARE(f->m_app.settings().integer("Messages", "v1"), 0);
        QCOMPARE(value("SELECT EntryOfActualMiles || ' ' || DateOfActualMiles || ' ' || DateOfEstimatedMiles "
                       "FROM Vehicles"),
                 QString("50960 20240219 20240320"));
        QCOMPARE(f->field("readingEdit")->text(), QString("50,960"));
        QCOMPARE(f->find<QLabel>("readingLabel")->text(), QString("(Est.) Odometer Reading"));

        // Unchanged reading, rate and date: nothing is estimated again. With the note turned off a past date
        // is estimated silently; a reading of today is no estimate.
        const std::tuple<const char*, QString, QString, QString> steps[] = {
            {"comments", "Winter tyres", "50,960", "50960 Winter tyres"},
            {"readingEdit", "51000", "51,960", "51960 Winter tyres"},
            {"actualDateEdit", "03/20/2024", "51,960", "51960 Winter tyres"},
        };
        for (const auto& [name, typed, shown, stored] : steps) {
            f->click("editButton");
            edit(name, typed);
            f->click("saveButton");
            QCOMPARE(f->field("readingEdit")->text(), shown);
            QCOMPARE(value("SELECT EntryOfActualMiles || ' ' || Memo FROM Vehicles"), stored);
        }
        QCOMPARE(f->find<QLabel>("readingLabel")->text(), QString("Odometer Reading"));
        QCOMPARE(f->m_prompter.prompts().size(), 1);
    }

    void purchaseInformation()
    {
        startWithoutVehicles();
        addVehicle("Ford", 5000, 12);
        f->open(VehicleForm);
        // Browse shows the purchase read-only (its look is in tst_formlook) and changes nothing.
        const auto openPurchase = [this] { f->click("purchaseButton"); };
        withDialog<CPurchaseDialog>(openPurchase, [](CPurchaseDialog& dialog) {
            QVERIFY(dialog.findChild<QLineEdit*>("purchasedFrom")->isReadOnly());
            QCOMPARE(dialog.findChild<QLineEdit*>("purchasedFrom")->text(), QString("Dealer"));
            QCOMPARE(dialog.findChild<QLabel*>("readingLabel")->text(), QString("Odometer"));
            dialog.accept();
        });
        QVERIFY(!f->shown().hasUnsavedChanges());
        QCOMPARE(f->find<QWidget>("hoursCheck")->nextInFocusChain(), f->find<QWidget>("purchaseButton"));

        f->click("editButton");
        withDialog<CPurchaseDialog>(openPurchase, [this](CPurchaseDialog& dialog) {
            const auto field = [&](const char* name) { return dialog.findChild<QLineEdit*>(name); };
            field("purchasedFrom")->setText("O'Neil's Motors");
            field("purchaseDate")->setText("1/2/2020");
            field("purchaseAmount")->setText("$1,000,000");
            field("purchaseReading")->setText("5001");
            f->m_prompter.answer(Answer::Ok, Messages::VehicleCostOutOfRange);
            dialog.accept();
            QCOMPARE(dialog.focusWidget(), field("purchaseAmount"));
            field("purchaseAmount")->setText("$38,950.50");
            f->m_prompter.answer(Answer::Ok,
                                 "The Odometer Reading at purchase can not be greater then the current "
                                 "Odometer Reading on the vehicle.");
            dialog.accept();
            QVERIFY(dialog.isVisible());
            field("purchaseReading")->setText("5000");
            dialog.accept();
            QVERIFY(!dialog.isVisible());
        });
        QVERIFY(f->shown().hasUnsavedChanges());
        f->click("saveButton");
        QCOMPARE(value("SELECT PurchaseDate || ' ' || PurchaseAmount || ' ' || PurchaseMileage || ' ' || "
                       "CompanyName FROM Vehicles JOIN ContactInfo USING (ContactID)"),
                 QString("20200102 38950.5 5000 O'Neil's Motors"));
    }

    void duplicateCopiesOnlyWhenSaved()
    {
        startWithoutVehicles();
        addOwner("Second owner");
        addVehicle("Ford");
        for (const char* sql :
             {"INSERT INTO Schedule (ScheduleID, VehicleID, Description) VALUES (7, 1, 'Oil')",
              "INSERT INTO Loan (VehicleID, AcctNo) VALUES (1, 'L-1')",
              "INSERT INTO Insurance (VehicleID, PolicyNo) VALUES (1, 'P-1')",
              "INSERT INTO InsCoverage (VehicleID, TypeID) VALUES (1, 1)"})
            f->db().execute(sql);
        // What the second vehicle has of the rows the first one's duplicate may copy.
        const QString copiedRows =
            "SELECT group_concat(x) FROM (SELECT ScheduleID || Description AS x FROM "
            "Schedule WHERE VehicleID = 2 UNION ALL SELECT AcctNo FROM Loan WHERE "
            "VehicleID = 2 UNION ALL SELECT PolicyNo FROM Insurance WHERE VehicleID = 2 "
            "UNION ALL SELECT 'coverage' FROM InsCoverage WHERE VehicleID = 2)";
        CRecordForm& form = f->open(VehicleForm);

        // Cancel, then Yes to 61471: no duplicate.
        f->m_prompter.answer(Answer::Yes, Messages::CancelDuplicationQuestion);
        withDialog<QDialog>([&] { form.commandDuplicate(); }, [](QDialog& dialog) { dialog.reject(); });
        QCOMPARE(form.mode(), Mode::Browse);
        QCOMPARE(f->m_prompter.prompts().last().buttons, Prompter::Buttons::YesNoDefaultNo);

        // Cancel, then No: the duplicate goes on with the choices as they were.
        const QRect selectorPlace = f->find<QComboBox>("vehicleSelector")->geometry();
        f->m_prompter.answer(Answer::No, Messages::CancelDuplicationQuestion);
        withDialog<QDialog>([&] { form.commandDuplicate(); },
                            [](QDialog& dialog) {
                                dialog.findChild<QCheckBox*>("loanCheck")->setChecked(true);
                                dialog.reject();
                            });
        QCOMPARE(f->title(), QString("Add New Vehicle"));
        QCOMPARE(f->field("vehicleMake")->text(), QString("Ford"));
        QVERIFY(!f->box("vehicleSelector")->isEnabled() && f->find<QLabel>("selectorLabel")->isHidden());
        QTest::qWait(20);
        QCOMPARE(f->find<QComboBox>("vehicleSelector")->geometry(), selectorPlace);
        QCOMPARE(f->shown().focusWidget(), f->find<QWidget>("vehicleOwner"));
        QVERIFY(!form.hasUnsavedChanges());
        QCOMPARE(value(copiedRows), QString());

        f->field("vehicleVin")->setText("SECOND");
        f->click("saveButton");
        QCOMPARE(form.currentKey(), 2);
        // The copies get keys of their own; the source keeps its rows.
        QCOMPARE(value(copiedRows), QString("8Oil,L-1"));
        QCOMPARE(f->count("SELECT count(*) FROM Schedule WHERE VehicleID = 1"), 1);
        QCOMPARE(f->count("SELECT count(DISTINCT ContactID) FROM Vehicles"), 2);
        QVERIFY(f->box("vehicleSelector")->isEnabled() && !f->find<QLabel>("selectorLabel")->isHidden());
    }

    void updateHintsRefillTheLists()
    {
        startWithoutVehicles();
        addVehicle("Ford");
        f->open(VehicleForm);
        QCOMPARE(f->find<QComboBox>("vehicleOwner")->count(), 1);
        addOwner("Another");
        f->frame().document().updateAllViews(OwnersHint);
        QCOMPARE(f->find<QComboBox>("vehicleOwner")->count(), 2);
        QCOMPARE(f->find<QComboBox>("vehicleOwner")->currentText(), QString("Harbourline"));

        addVehicle("Isuzu");
        f->m_app.setCurrentVehicle(1);
        f->frame().document().updateAllViews(VehiclesHint);
        QCOMPARE(f->find<QComboBox>("vehicleSelector")->count(), 2);
        QCOMPARE(f->field("vehicleMake")->text(), QString("Ford"));
    }

    // The keyboard as the user meets it: keys typed into whatever field has the focus. The loan record of
    // vehicle 1 exists, so the form opens in Browse; Ctrl+S saves what is typed.
    void commandKeysWorkFromAnyField()
    {
        const std::tuple<const char*, Qt::Key, QString> rows[] = {
            {"accountNumber", Qt::Key_E, "Edit Loan Information"},
            {"comments", Qt::Key_E, "Edit Loan Information"},
            {"vehicleSelector", Qt::Key_E, "Edit Loan Information"},
            {"accountNumber", Qt::Key_S, "Browse Loan Information"},
        };
        for (const auto& [field, key, title] : rows) {
            init();
            f->db().execute("INSERT INTO Loan (VehicleID, AcctNo) VALUES (1, 'L-1')");
            f->open(LoanForm);
            if (key == Qt::Key_S) {
                f->click("editButton");
                f->setText("accountNumber", "L-2");
            }
            f->find<QWidget>(field)->setFocus();
            ClaimsControlKeys claims;
            focused()->installEventFilter(&claims);
            press(focused(), key, Qt::ControlModifier);
            QCOMPARE(f->title(), title);
            QCOMPARE(value("SELECT AcctNo FROM Loan"), QString(key == Qt::Key_S ? "L-2" : "L-1"));
        }
    }

    void paneKeysMoveBetweenSelectorFieldsAndButtons()
    {
        f->open(OwnerForm);
        f->box("ownerSelector")->setFocus();
        QStringList visited;
        for (const auto modifier : {Qt::NoModifier, Qt::NoModifier, Qt::ShiftModifier, Qt::ShiftModifier}) {
            press(focused(), Qt::Key_F6, modifier);
            visited << focusedName();
        }
        QCOMPARE(visited.join(' '), QString("companyName newButton companyName ownerSelector"));
    }

    void escapeClosesTheInnermostPopupFirst()
    {
        f->addCompany("First Lending", 2);
        for (const char* list : {"vehicleSelector", "loanCompany"}) {
            f->open(LoanForm);
            QComboBox* box = f->box(list);
            box->setFocus();
            box->showPopup();
            QTRY_VERIFY2(box->view()->isVisible(), list);
            press(focused(), Qt::Key_Escape);
            QTRY_VERIFY2(!box->view()->isVisible(), list);
            QCOMPARE(f->shownNumber(), int(LoanForm));
            // With nothing open, Escape typed into the field leaves the form for the home screen.
            QApplication::setActiveWindow(&f->frame());
            box->setFocus();
            press(focused(), Qt::Key_Escape);
            QCOMPARE(f->shownNumber(), int(HomeForm));
        }
    }

    void aFullFieldSaysSo()
    {
        f->open(OwnerForm);
        f->click("editButton");
        QLineEdit* name = f->field("companyName");
        QCOMPARE(name->toolTip(), QString("At most 50 characters"));
        QSignalSpy full(&f->shown(), &CRecordForm::fieldFull);
        name->setFocus();
        name->setText(QString(49, 'x'));
        name->end(false);
        press(name, Qt::Key_Y);
        QCOMPARE(full.size(), 0);
        press(name, Qt::Key_Z);
        QCOMPARE(full.size(), 1);
        QCOMPARE(name->text(), QString(49, 'x') + "y");
    }

    // Tab goes down each column of a form, as the eye reads it, then on to the rows across the form.
    void tabGoesDownEachColumn()
    {
        f->db().execute("INSERT INTO GasLog (GasLogID, VehicleID, Date, Mileage, Fillup) VALUES "
                        "(1, 1, '20240301', 41000, 0)");
        f->db().execute("INSERT INTO JobOrder (JobOrderID, VehicleID, JCN, Date, OpenInd) VALUES "
                        "(1, 1, 'J1', '20240301', -1)");
        const std::pair<int, QString> rows[] = {
            {GasForm, "fullTank reading distance amount costPerUnit totalPrice date estimated gasStation "
                      "briefDescription"},
            {MaintenanceForm,
             "reading serviceStation date jobOrder selectServicesButton description totalPrice comments"},
            {JobOrderForm, "jcn serviceStation date selectServicesButton description comments"},
            {LoanForm,
             "accountNumber loanLength loanAmount originatingDate interestRate paymentAmount comments"},
            {InsuranceForm, "policyNumber coverageStart paymentAmount deductible coverageEnd"},
        };
        for (const auto& [form, order] : rows) {
            f->open(form);
            if (f->shown().mode() == Mode::Browse)
                f->shown().commandNew();
            f->find<QWidget>(qPrintable(order.section(' ', 0, 0)))->setFocus();
            QStringList visited{focusedName()};
            while (visited.size() < order.count(' ') + 1) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                visited << focusedName();
            }
            QCOMPARE(visited.join(' '), order);
        }
    }
};

QTEST_MAIN(FleetFormsTest)
#include "tst_fleetforms.moc"
