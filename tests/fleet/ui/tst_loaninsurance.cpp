#include "CompanyFormsFixture.h"
#include "DataRows.h"
#include "db/Messages.h"
#include "forms/DateField.h"

#include <QCalendarWidget>
#include <QToolButton>

using Answer = Prompter::Answer;
using Mode = CRecordForm::Mode;

class LoanInsuranceTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<CompanyFormsFixture> f;

    // Saves the values on screen; a refusal must carry the message and focus the field.
    void saveExpecting(const QString& message, const char* focusField)
    {
        if (!message.isEmpty())
            return f->saveRefused(message, focusField);
        f->click("saveButton");
        QCOMPARE(f->shown().mode(), Mode::Browse);
    }

private Q_SLOTS:
    void init() { f = std::make_unique<CompanyFormsFixture>(); }
    void cleanup() { f.reset(); }

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

    void opensIntoANewRecordForAVehicleWithout_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("titleWord");
        QTest::addColumn<QString>("textField");
        addRow("loan", int(LoanForm), "Loan", "Loan", "accountNumber");
        addRow("insurance", int(InsuranceForm), "Insurance", "Insurance", "policyNumber");
    }

    void opensIntoANewRecordForAVehicleWithout()
    {
        QFETCH(int, form);
        QFETCH(QString, table);
        QFETCH(QString, titleWord);
        QFETCH(QString, textField);
        const QByteArray field = textField.toLatin1();
        CRecordForm& view = f->open(form);
        QCOMPARE(f->title(), QString("New %1 Information").arg(titleWord));
        QCOMPARE(view.mode(), Mode::AddNew);
        QVERIFY(f->box("vehicleSelector")->isEnabled());
        QVERIFY(!f->find<QPushButton>("newButton")->isEnabled());
        QVERIFY(!f->find<QPushButton>("deleteButton")->isEnabled());
        QCOMPARE(f->text("paymentAmount"), QString("$0.00"));

        f->setText(field.constData(), "X-1");
        f->click("saveButton");
        QCOMPARE(f->title(), QString("Browse %1 Information").arg(titleWord));
        QCOMPARE(f->count(QStringLiteral("SELECT count(*) FROM %1 WHERE VehicleID = 1").arg(table)), 1);

        f->box("vehicleSelector")->setCurrentIndex(1);
        QCOMPARE(view.mode(), Mode::AddNew);
        QCOMPARE(f->text(field.constData()), QString());
        QCOMPARE(f->m_app.currentVehicle(), 2);
        f->box("vehicleSelector")->setCurrentIndex(0);
        QCOMPARE(f->text(field.constData()), QString("X-1"));
        QCOMPARE(view.mode(), Mode::Browse);
    }

    void loanChecks_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("stored");
        addRow("360 months", "loanLength", "360", QString(), "Length", "360");
        addRow("361 months", "loanLength", "361", Messages::LoanLengthOutOfRange, "", "");
        addRow("no length", "loanLength", "", Messages::LoanLengthOutOfRange, "", "");
        addRow("99.99 %", "interestRate", "99.99%", QString(), "InterestRate", "99.99");
        addRow("100 %", "interestRate", "100", Messages::InterestRateOutOfRange, "", "");
        addRow("999,999.99", "loanAmount", "$999,999.99", QString(), "Amount", "999999.99");
        addRow("1,000,000", "loanAmount", "1,000,000", Messages::LoanAmountOutOfRange, "", "");
        addRow("payment 999,999.99", "paymentAmount", "999999.99", QString(), "PaymentAmount", "999999.99");
        addRow("payment 1,000,000", "paymentAmount", "1000000", Messages::PaymentAmountOutOfRange, "", "");
        addRow("no date", "originatingDate", "", QString(), "OriginatingDate", "");
        addRow("short date", "originatingDate", "1/2/1999", QString(), "OriginatingDate", "19990102");
        addRow("no such day", "originatingDate", "2/30/1999", Messages::DateInvalid, "", "");
    }

    void loanChecks()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(QString, column);
        QFETCH(QString, stored);
        const QByteArray name = field.toLatin1();
        f->open(LoanForm);
        f->setText("accountNumber", "A-1");
        f->setText(name.constData(), typed);
        saveExpecting(message, name.constData());
        if (!message.isEmpty()) {
            QCOMPARE(f->count("SELECT count(*) FROM Loan"), 0);
            return;
        }
        QCOMPARE(
            f->db().scalar(QStringLiteral("SELECT %1 FROM Loan WHERE VehicleID = 1").arg(column)).toString(),
            stored);
        if (field == "originatingDate")
            QCOMPARE(f->text("originatingDate"), typed.isEmpty() ? QString() : QString("01/02/1999"));
    }

    void insuranceChecks_data()
    {
        QTest::addColumn<QString>("deductible");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("stored");
        addRow("999,999.99", "$999,999.99", "", "", QString(), "", "999999.99||");
        addRow("1,000,000", "$1,000,000", "", "", Messages::DeductibleOutOfRange, "deductible", "");
        addRow("no deductible", "", "", "", Messages::DeductibleOutOfRange, "deductible", "");
        addRow("same day", "0", "3/1/2024", "03/01/2024", QString(), "", "0.0|20240301|20240301");
        addRow("start after end", "0", "03/02/2024", "03/01/2024", Messages::CoverageEndBeforeStart,
               "coverageEnd", "");
        addRow("only an end", "0", "", "1/1/1990", QString(), "", "0.0||19900101");
        addRow("bad start", "0", "13/1/2024", "", Messages::DateInvalid, "coverageStart", "");
    }

    void insuranceChecks()
    {
        QFETCH(QString, deductible);
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        QFETCH(QString, stored);
        f->open(InsuranceForm);
        f->setText("deductible", deductible);
        f->setText("coverageStart", start);
        f->setText("coverageEnd", end);
        saveExpecting(message, focus.toLatin1().constData());
        QCOMPARE(
            f->db()
                .scalar(
                    "SELECT Deductable || '|' || CoverageStartDate || '|' || CoverageEndDate FROM Insurance")
                .toString(),
            stored);
    }

    void deleteTakesTheRecordAndItsCoverage()
    {
        for (int vehicle : {1, 2}) {
            f->db().execute(
                QStringLiteral("INSERT INTO Loan (VehicleID, AcctNo) VALUES (%1, 'L')").arg(vehicle));
            f->db().execute(
                QStringLiteral("INSERT INTO Insurance (VehicleID, PolicyNo) VALUES (%1, 'P')").arg(vehicle));
            f->db().execute(
                QStringLiteral("INSERT INTO InsCoverage (VehicleID, TypeID) VALUES (%1, 1)").arg(vehicle));
        }
        CRecordForm& loan = f->open(LoanForm);
        f->m_prompter.answer(Answer::Yes, Messages::DeleteLoanQuestion);
        loan.commandDelete();
        QCOMPARE(f->count("SELECT count(*) FROM Loan WHERE VehicleID = 1"), 0);
        QCOMPARE(f->title(), QString("New Loan Information"));
        QCOMPARE(f->box("vehicleSelector")->currentIndex(), 0);

        CRecordForm& insurance = f->open(InsuranceForm);
        f->m_prompter.answer(Answer::Yes, Messages::DeleteInsuranceQuestion);
        insurance.commandDelete();
        QCOMPARE(f->count("SELECT count(*) FROM Insurance WHERE VehicleID = 1") +
                     f->count("SELECT count(*) FROM InsCoverage WHERE VehicleID = 1"),
                 0);
        QCOMPARE(f->count("SELECT count(*) FROM Insurance WHERE VehicleID = 2") +
                     f->count("SELECT count(*) FROM InsCoverage WHERE VehicleID = 2"),
                 2);
        QCOMPARE(f->title(), QString("New Insurance Information"));
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

QTEST_MAIN(LoanInsuranceTest)
#include "tst_loaninsurance.moc"
