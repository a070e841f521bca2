#pragma once

#include "fleet/ui/VehicleCompanyForm.h"

struct LoanRecord;
class QLineEdit;
class QPlainTextEdit;

// The loan form (form 105): the loan of the vehicle chosen in the selector, with its loan company.
class CLoanView : public CVehicleCompanyForm
{
    Q_OBJECT

public:
    CLoanView(CAppContext& app, CVelDoc& doc, QWidget* parent = nullptr);

protected:
    bool loadRecord(qint32 key) override;
    void clearFields() override;
    bool validateFields() override;
    qint32 writeRecord(qint32 key) override;
    bool removeRecord(qint32 key) override;

private:
    LoanRecord values() const;
    void showValues(const LoanRecord& record);

    QLineEdit* m_accountNumber = nullptr;
    QLineEdit* m_originatingDate = nullptr;
    QLineEdit* m_length = nullptr;
    QLineEdit* m_interestRate = nullptr;
    QLineEdit* m_amount = nullptr;
    QLineEdit* m_paymentAmount = nullptr;
    QPlainTextEdit* m_comments = nullptr;
};
