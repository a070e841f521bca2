#pragma once

#include "forms/ContactLineFields.h"
#include "forms/RecordForm.h"

struct CompanyRecord;

// The company form (form 146): service stations, loan companies and insurance companies. Opened from
// another form with a caller code, its Home button becomes "&Return", which brings the company on screen
// back to that form, and "Cancel" goes back without saving.
class CStationView : public CRecordForm
{
    Q_OBJECT

public:
    CStationView(CAppContext& app, CVelDoc& doc, QWidget* parent = nullptr);

    // The caller code the form was opened with (0 when opened from the menu or the home screen).
    int callerCode() const { return m_caller; }

    void enter(int a, int b) override;
    void commandHome() override;

protected:
    QList<ListEntry> selectorEntries() override;
    bool loadRecord(qint32 key) override;
    void clearFields() override;
    bool validateFields() override;
    qint32 writeRecord(qint32 key) override;
    bool removeRecord(qint32 key) override;
    QWidget* firstField() const override;

private:
    CompanyRecord values() const;
    void showValues(const CompanyRecord& record);
    void showCallerButtons();
    void openForCaller(const QString& name);
    void returnToCaller();
    void cancelToCaller();

    bool m_entered = false;
    int m_caller = 0;
    int m_storedType = 0;
    QPushButton* m_cancelButton = nullptr;
    QComboBox* m_type = nullptr;
    ContactLineFields m_contact;
};
