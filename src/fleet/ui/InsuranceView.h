#pragma once

#include "fleet/ui/VehicleCompanyForm.h"

struct InsuranceRecord;
class QLineEdit;
class QPlainTextEdit;

// The insurance form (form 104): the insurance of the vehicle chosen in the selector, with its insurance
// company.
class CInsuranceView : public CVehicleCompanyForm
{
    Q_OBJECT

public:
    CInsuranceView(CAppContext& app, CVelDoc& doc, QWidget* parent = nullptr);

protected:
    bool loadRecord(qint32 key) override;
    void clearFields() override;
    bool validateFields() override;
    qint32 writeRecord(qint32 key) override;
    bool removeRecord(qint32 key) override;

private:
    InsuranceRecord values() const;
    void showValues(const InsuranceRecord& record);

    QLineEdit* m_policyNumber = nullptr;
    QLineEdit* m_deductible = nullptr;
    QLineEdit* m_coverageStart = nullptr;
    QLineEdit* m_coverageEnd = nullptr;
    QLineEdit* m_paymentAmount = nullptr;
    QPlainTextEdit* m_comments = nullptr;
};
