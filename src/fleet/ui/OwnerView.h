#pragma once

#include "forms/ContactLineFields.h"
#include "forms/RecordForm.h"

struct OwnerRecord;
class QLineEdit;

// The owner form (form 102): an Owners row with its ContactInfo row, picked from the owner list.
class COwnerView : public CRecordForm
{
    Q_OBJECT

public:
    COwnerView(CAppContext& app, CVelDoc& doc, QWidget* parent = nullptr);

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

    ContactLineFields m_contact;
    QLineEdit* m_locationId = nullptr;
};
