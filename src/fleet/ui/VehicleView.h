#pragma once

#include "fleet/VehicleRecord.h"
#include "forms/RecordForm.h"

#include <optional>

class CDateField;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

// The vehicle form (form 103): a Vehicles row with its seller contact, picked from the vehicle list. Its
// reading is brought forward to today when saved with a new reading, date or rate; Duplicate starts a new
// vehicle from the one shown and can take over its schedule, loan and insurance.
class CVehicleView : public CRecordForm
{
    Q_OBJECT

public:
    CVehicleView(CAppContext& app, CVelDoc& doc, QWidget* parent = nullptr);

    void commandDuplicate() override;
    // The purchase information of the vehicle on screen (editable outside Browse).
    void editPurchase();

protected:
    QList<ListEntry> selectorEntries() override;
    bool loadRecord(qint32 key) override;
    void clearFields() override;
    bool validateFields() override;
    qint32 writeRecord(qint32 key) override;
    bool removeRecord(qint32 key) override;
    QWidget* firstField() const override;
    bool offersDuplicate() const override { return true; }
    qint32 initialKey() override;
    void modeChanged(Mode mode) override;
    void recordSaved(qint32 key) override;
    void extendContextMenu(QMenu& menu) override;
    void refreshLists(int hint) override;

private:
    VehicleRecord values() const;
    void showValues(const VehicleRecord& record);
    void fillOwners(qint32 keyToSelect);
    int measurement() const;
    VehicleLabels labels() const;
    void updateLabels();
    bool frameOffers(int formNumber) const;

    QComboBox* m_owner = nullptr;
    QLineEdit* m_year = nullptr;
    QLineEdit* m_make = nullptr;
    QLineEdit* m_model = nullptr;
    QLineEdit* m_number = nullptr;
    QLineEdit* m_vin = nullptr;
    QLineEdit* m_license = nullptr;
    QLineEdit* m_perMonth = nullptr;
    QLineEdit* m_reading = nullptr;
    CDateField* m_actualDate = nullptr;
    QPlainTextEdit* m_comments = nullptr;
    QRadioButton* m_us = nullptr;
    QRadioButton* m_metric = nullptr;
    QCheckBox* m_hours = nullptr;
    QCheckBox* m_active = nullptr;
    QPushButton* m_purchaseButton = nullptr;
    QLabel* m_perMonthLabel = nullptr;
    QLabel* m_readingLabel = nullptr;
    QLabel* m_actualDateLabel = nullptr;

    // Kept with the form rather than in widgets: the dialog edits them.
    PurchaseInfo m_purchase;
    // The reading on screen is an estimate (its row's two dates differ); shown as "(Est.) ".
    bool m_estimated = false;
    // While a duplicate is being entered: its source and what it takes over.
    DuplicateCopies m_duplicate;
    // The outcome of the save in progress, for the note that follows it.
    std::optional<VehicleRecord::Saved> m_saved;
};
