#pragma once

#include "forms/RecordForm.h"

class CTypedCompany;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

// The schedule form (form 106): for the vehicle chosen in the selector, every service of the catalogue (or
// only the scheduled ones) with its interval and base; the selected row's entry is shown and edited below
// the list. Saving a row without an entry creates one; there is no separate Add New.
class CScheduleView : public CRecordForm
{
    Q_OBJECT

public:
    CScheduleView(CAppContext& app, CVelDoc& doc, QWidget* parent = nullptr);
    ~CScheduleView() override;

    bool canNew() const override { return false; }
    void commandNew() override {}
    void commandEdit() override;
    // Key of the selected row: a ScheduleID, minus the ServiceID for a row without an entry, 0 for none.
    qint32 selectedRowKey() const { return m_rowKey; }

protected:
    QList<ListEntry> selectorEntries() override;
    qint32 initialKey() override;
    bool loadRecord(qint32 key) override;
    void clearFields() override;
    bool validateFields() override;
    qint32 writeRecord(qint32 key) override;
    bool removeRecord(qint32 key) override;
    QWidget* firstField() const override;
    bool offersDelete() const override { return m_rowKey > 0; }
    void recordMissing(qint32 key) override;
    QString missingParentMessage() override;
    void modeChanged(Mode mode) override;
    void extendContextMenu(QMenu& menu) override;
    void refreshLists(int hint) override;
    void showAgain(int a, int b) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void fillList(qint32 vehicleId);
    void showRow();
    void showBaseLine(bool shown);
    void onRowChanged();
    void onShowChanged();
    void modifyServiceList();
    void scheduleTemplates();
    void reloadList();
    void updateListState();
    void setUnitWords(int measurement, int hoursInd);

    qint32 m_rowKey = 0;
    int m_rowPosition = 0;
    bool m_rowOnly = false;
    bool m_filling = false;
    qint16 m_storedFrequency = 0;
    qint32 m_rememberedTemplate = 0;
    QTreeWidget* m_list = nullptr;
    QRadioButton* m_showAll = nullptr;
    QRadioButton* m_showUsed = nullptr;
    QLabel* m_intervalLabel = nullptr;
    QLabel* m_baseReadingLabel = nullptr;
    QLabel* m_baseDateLabel = nullptr;
    QLabel* m_note = nullptr;
    QLineEdit* m_interval = nullptr;
    QLineEdit* m_months = nullptr;
    QLineEdit* m_days = nullptr;
    QLineEdit* m_baseReading = nullptr;
    QLineEdit* m_baseDate = nullptr;
    QLineEdit* m_description = nullptr;
    QComboBox* m_station = nullptr;
    QComboBox* m_frequency = nullptr;
    QPushButton* m_updateBaseLine = nullptr;
    QPushButton* m_modifyButton = nullptr;
    QPushButton* m_templatesButton = nullptr;
    CTypedCompany* m_company = nullptr;
};
