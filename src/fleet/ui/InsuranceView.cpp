#include "fleet/ui/InsuranceView.h"

#include "context/Enums.h"
#include "context/AppContext.h"
#include "db/Messages.h"
#include "db/Prompter.h"
#include "fleet/CompanyRecord.h"
#include "fleet/InsuranceRecord.h"

#include <QLineEdit>
#include <QPlainTextEdit>

CInsuranceView::CInsuranceView(CAppContext& app, CVelDoc& doc, QWidget* parent)
    : CVehicleCompanyForm(
          app, doc, InsuranceForm,
          {QStringLiteral("Browse Insurance Information"), QStringLiteral("Edit Insurance Information"),
           QStringLiteral("New Insurance Information")},
          QStringLiteral("Insurance Company"), QStringLiteral("insuranceCompany"), InsuranceCaller, parent)
{
    setNavigation(offered(LoanForm), HomeForm);
    const int row = FirstFieldRow;
    m_policyNumber = addLineField(QStringLiteral("Policy #"), QStringLiteral("policyNumber"), 35, row, 0);
    m_deductible = addLineField(QStringLiteral("Deductible"), QStringLiteral("deductible"), 16, row, 1);
    m_coverageStart =
        addDateField(QStringLiteral("Coverage Start Date"), QStringLiteral("coverageStart"), row + 1, 0);
    m_coverageEnd =
        addDateField(QStringLiteral("Coverage End Date"), QStringLiteral("coverageEnd"), row + 1, 1);
    m_paymentAmount =
        addLineField(QStringLiteral("Payment Amount"), QStringLiteral("paymentAmount"), 16, row + 2, 0);
    m_comments = addMemoField(QStringLiteral("Comments"), QStringLiteral("comments"), row + 3, 0);
}

InsuranceRecord CInsuranceView::values() const
{
    InsuranceRecord record;
    record.companyId = companyKey();
    record.policyNumber = m_policyNumber->text();
    record.deductible = m_deductible->text();
    record.paymentAmount = m_paymentAmount->text();
    record.coverageStart = m_coverageStart->text().trimmed();
    record.coverageEnd = m_coverageEnd->text().trimmed();
    record.comments = m_comments->toPlainText();
    return record;
}

void CInsuranceView::showValues(const InsuranceRecord& record)
{
    showCompany(record.companyId);
    m_policyNumber->setText(record.policyNumber);
    m_deductible->setText(record.deductible);
    m_paymentAmount->setText(record.paymentAmount);
    m_coverageStart->setText(record.coverageStart);
    m_coverageEnd->setText(record.coverageEnd);
    m_comments->setPlainText(record.comments);
}

bool CInsuranceView::loadRecord(qint32 key)
{
    app().setCurrentVehicle(key);
    const std::optional<InsuranceRecord> record = InsuranceRecord::load(app().database(), key);
    if (!record)
        return false;
    showValues(*record);
    return true;
}

void CInsuranceView::clearFields()
{
    showValues(InsuranceRecord());
}

bool CInsuranceView::validateFields()
{
    if (!resolveCompany())
        return false;
    InsuranceRecord record = values();
    const std::optional<InsuranceRecord::Problem> problem = record.check();
    if (!problem) {
        m_coverageStart->setText(record.coverageStart);
        m_coverageEnd->setText(record.coverageEnd);
        return true;
    }
    QLineEdit* field = nullptr;
    switch (problem->field) {
    case InsuranceRecord::Field::Deductible:
        field = m_deductible;
        break;
    case InsuranceRecord::Field::PaymentAmount:
        field = m_paymentAmount;
        break;
    case InsuranceRecord::Field::CoverageStart:
        field = m_coverageStart;
        break;
    case InsuranceRecord::Field::CoverageEnd:
        // A start date that passed its check is shown in its normal form before the end date is refused.
        m_coverageStart->setText(record.coverageStart);
        field = m_coverageEnd;
        break;
    }
    return rejectField(problem->message, field);
}

qint32 CInsuranceView::writeRecord(qint32 key)
{
    Q_UNUSED(key);
    // The row belongs to the vehicle on screen, also when the selector has already moved on to another.
    const qint32 vehicleId = currentKey();
    values().save(app().database(), vehicleId);
    return vehicleId;
}

bool CInsuranceView::removeRecord(qint32 key)
{
    if (!app().prompter().yesNoDefaultNo(Messages::DeleteInsuranceQuestion))
        return false;
    InsuranceRecord::remove(app().database(), key);
    return true;
}
