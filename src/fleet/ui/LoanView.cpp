#include "fleet/ui/LoanView.h"

#include "context/Enums.h"
#include "context/AppContext.h"
#include "db/Messages.h"
#include "db/Prompter.h"
#include "fleet/CompanyRecord.h"
#include "fleet/LoanRecord.h"

#include <QLineEdit>
#include <QPlainTextEdit>

CLoanView::CLoanView(CAppContext& app, CVelDoc& doc, QWidget* parent)
    : CVehicleCompanyForm(app, doc, LoanForm,
                          {QStringLiteral("Browse Loan Information"), QStringLiteral("Edit Loan Information"),
                           QStringLiteral("New Loan Information")},
                          QStringLiteral("Loan Company"), QStringLiteral("loanCompany"), LoanCaller, parent)
{
    setNavigation(offered(ScheduleForm), offered(InsuranceForm));
    const int row = FirstFieldRow;
    m_accountNumber =
        addLineField(QStringLiteral("Loan Account #"), QStringLiteral("accountNumber"), 35, row, 0);
    m_originatingDate =
        addDateField(QStringLiteral("Loan Originating Date"), QStringLiteral("originatingDate"), row, 1);
    m_length =
        addLineField(QStringLiteral("Loan Length in Months"), QStringLiteral("loanLength"), 8, row + 1, 0);
    m_interestRate =
        addLineField(QStringLiteral("Interest Rate"), QStringLiteral("interestRate"), 10, row + 1, 1);
    m_amount = addLineField(QStringLiteral("Amount of Loan"), QStringLiteral("loanAmount"), 16, row + 2, 0);
    m_paymentAmount =
        addLineField(QStringLiteral("Payment Amount"), QStringLiteral("paymentAmount"), 16, row + 2, 1);
    m_comments = addMemoField(QStringLiteral("Comments"), QStringLiteral("comments"), row + 3, 0);
}

LoanRecord CLoanView::values() const
{
    LoanRecord record;
    record.companyId = companyKey();
    record.accountNumber = m_accountNumber->text();
    record.originatingDate = m_originatingDate->text().trimmed();
    record.length = m_length->text();
    record.amount = m_amount->text();
    record.paymentAmount = m_paymentAmount->text();
    record.interestRate = m_interestRate->text();
    record.comments = m_comments->toPlainText();
    return record;
}

void CLoanView::showValues(const LoanRecord& record)
{
    showCompany(record.companyId);
    m_accountNumber->setText(record.accountNumber);
    m_originatingDate->setText(record.originatingDate);
    m_length->setText(record.length);
    m_amount->setText(record.amount);
    m_paymentAmount->setText(record.paymentAmount);
    m_interestRate->setText(record.interestRate);
    m_comments->setPlainText(record.comments);
}

bool CLoanView::loadRecord(qint32 key)
{
    app().setCurrentVehicle(key);
    const std::optional<LoanRecord> record = LoanRecord::load(app().database(), key);
    if (!record)
        return false;
    showValues(*record);
    return true;
}

void CLoanView::clearFields()
{
    showValues(LoanRecord());
}

bool CLoanView::validateFields()
{
    if (!resolveCompany())
        return false;
    LoanRecord record = values();
    const std::optional<LoanRecord::Problem> problem = record.check();
    m_originatingDate->setText(record.originatingDate);
    if (!problem)
        return true;
    QLineEdit* field = nullptr;
    switch (problem->field) {
    case LoanRecord::Field::OriginatingDate:
        field = m_originatingDate;
        break;
    case LoanRecord::Field::Length:
        field = m_length;
        break;
    case LoanRecord::Field::Amount:
        field = m_amount;
        break;
    case LoanRecord::Field::PaymentAmount:
        field = m_paymentAmount;
        break;
    case LoanRecord::Field::InterestRate:
        field = m_interestRate;
        break;
    }
    return rejectField(problem->message, field);
}

qint32 CLoanView::writeRecord(qint32 key)
{
    Q_UNUSED(key);
    // The row belongs to the vehicle on screen, also when the selector has already moved on to another.
    const qint32 vehicleId = currentKey();
    values().save(app().database(), vehicleId);
    return vehicleId;
}

bool CLoanView::removeRecord(qint32 key)
{
    if (!app().prompter().yesNoDefaultNo(Messages::DeleteLoanQuestion))
        return false;
    LoanRecord::remove(app().database(), key);
    return true;
}
