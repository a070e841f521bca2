#pragma once

#include "forms/RecordForm.h"

struct OwnerRecord;
class QLineEdit;
class QPlainTextEdit;

// The owner form (form 102): an Owners row with its ContactInfo row, picked from the owner list.
class COwnerView : public CRecordForm
{
    Q_OBJECT

public:
    COwnerView(CVelApp& app, CVelDoc& doc, QWidget* parent = nullptr);

protected:
    QList<ListEntry> selectorEntries() override;
    bool loadRecord(qint32 key) override;
    void clearFields() override;
    bool validateFields() override;
    qint32 writeRecord(qint32 key) override;
    bool removeRecord(qint32 key) override;
    QWidget* firstField() const override;
    bool offersDuplicate() const override { return true; }

private:
    OwnerRecord values() const;
    void showValues(const OwnerRecord& record);

    QLineEdit* m_companyName = nullptr;
    QLineEdit* m_locationId = nullptr;
    QLineEdit* m_firstName = nullptr;
    QLineEdit* m_lastName = nullptr;
    QLineEdit* m_address1 = nullptr;
    QLineEdit* m_address2 = nullptr;
    QLineEdit* m_city = nullptr;
    QLineEdit* m_state = nullptr;
    QLineEdit* m_zipCode = nullptr;
    QLineEdit* m_phone = nullptr;
    QLineEdit* m_altPhone = nullptr;
    QLineEdit* m_fax = nullptr;
    QLineEdit* m_mobile = nullptr;
    QLineEdit* m_email = nullptr;
    QLineEdit* m_webAddress = nullptr;
    QPlainTextEdit* m_comments = nullptr;
};
