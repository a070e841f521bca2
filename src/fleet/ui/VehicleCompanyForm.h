#pragma once

#include "forms/RecordForm.h"

class CTypedCompany;
class QLineEdit;

// What the loan and insurance forms share: the vehicle selector is the record selector and a vehicle has
// at most one row, so there is no New command and a vehicle without a row opens straight into an editable
// empty record; the company box with the company's agent and phone, "E&dit Contact" through the company
// form and back, and "More &Contact Information". The derived form adds its fields from FirstFieldRow on
// and supplies load, clear, check, write and remove for the vehicle's row (the form's key is the vehicle).
class CVehicleCompanyForm : public CRecordForm
{
    Q_OBJECT

public:
    CVehicleCompanyForm(CAppContext& app, CVelDoc& doc, int formNumber, FormTitles titles,
                        const QString& companyLabel, const QString& companyObjectName, int callerCode,
                        QWidget* parent = nullptr);

    void onDocumentUpdate(int hint) override;
    bool canNew() const override { return false; }
    void commandNew() override {}

protected:
    static constexpr int FirstFieldRow = 2;

    QList<ListEntry> selectorEntries() override;
    qint32 initialKey() override;
    void recordMissing(qint32 key) override;
    QString missingParentMessage() override;
    void modeChanged(Mode mode) override;
    void extendContextMenu(QMenu& menu) override;
    void showAgain(int a, int b) override;
    QWidget* firstField() const override;

    // The form number when the frame has that form, else NoForm (for Back and Next).
    int offered(int formNumber) const;
    // The company the box names (0: none), and showing a stored one.
    qint32 companyKey() const;
    void showCompany(qint32 contactId);
    // A date typed as mm/dd/yyyy, with a spin that moves it by a day.
    QLineEdit* addDateField(const QString& label, const QString& objectName, int row, int column);

private:
    void showContact(qint32 contactId);
    void showContactInformation();

    QComboBox* m_companyBox = nullptr;
    CTypedCompany* m_company = nullptr;
    QLineEdit* m_agentName = nullptr;
    QLineEdit* m_phone = nullptr;
    QPushButton* m_editContact = nullptr;
    QPushButton* m_moreContact = nullptr;
};
