#pragma once

#include "forms/RecordForm.h"

#include <QStringList>

class CTypedCompany;
class QHBoxLayout;
class QTreeWidget;

// What the forms of one vehicle's entries share (maintenance, job orders, gas log): the "Vehicles" box
// chooses the vehicle, a list of that vehicle's entries (in columns, widths kept in the settings) chooses
// the record, a station box takes a listed or a new company, and a row of buttons leads to the other forms
// of the maintenance cycle. The record selector of the base form stays hidden behind the list and does the
// mode work. The list and the fields always belong to the vehicle in the box.
class CVehicleListForm : public CRecordForm
{
    Q_OBJECT

public:
    struct ListRow
    {
        qint32 key = 0;
        QStringList columns;
        bool dimmed = false; // drawn in the grey text colour
    };
    struct Column
    {
        Column(QString title, QString widthKey, bool rightAligned = false, QString sample = {})
            : title(std::move(title)), widthKey(std::move(widthKey)), rightAligned(rightAligned),
              sample(std::move(sample))
        {
        }
        QString title;
        QString widthKey; // "Settings" value holding the width
        bool rightAligned = false;
        QString sample; // a typical value the column should show whole
    };

    CVehicleListForm(CAppContext& app, CVelDoc& doc, int formNumber, FormTitles titles, QList<Column> columns,
                     QWidget* parent = nullptr);
    ~CVehicleListForm() override;

    void onDocumentUpdate(int hint) override;

    QTreeWidget* entryList() const { return m_list; }

protected:
    // Fields go from this row of the field grid on.
    static constexpr int FirstFieldRow = 2;

    // The rows of the vehicle's entries, in order.
    virtual QList<ListRow> listRows(qint32 vehicleId) = 0;
    // The vehicle chosen changed (also at the first fill).
    virtual void vehicleChanged(qint32 vehicleId) { Q_UNUSED(vehicleId); }
    // What the form shows once another vehicle is in the box: by default its first entry.
    virtual void showVehicleEntries();

    QList<ListEntry> selectorEntries() override;
    QString missingParentMessage() override;
    void modeChanged(Mode mode) override;
    void showAgain(int a, int b) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    qint32 vehicleId() const;
    // Makes this vehicle the one shown, without the unsaved-changes question (the caller has asked it),
    // and fills the list with its entries.
    void showVehicle(qint32 vehicleId);
    // The station box (a company box) as a field of the form.
    QComboBox* addStationField(const QString& label, const QString& objectName, int callerCode, int row,
                               int column);
    CTypedCompany* station() const { return companyBox(); }
    // The layout holding the entry list, for what the form shows beside it.
    QHBoxLayout* listRow() const { return m_listRow; }
    // Adds a button to the row of buttons above the navigation ones.
    QPushButton* addCommandButton(const QString& text, const QString& objectName);
    // The navigation buttons; the one of this form is disabled.
    void addNavigationButtons();
    void setListColumnTitle(int column, const QString& title);

private:
    void ensureVehicles();
    // Fills the box and selects the current vehicle, or keepShown's vehicle; whether the vehicle changed.
    bool fillVehicles(bool keepShown = false);
    void onVehicleChosen(int index);
    void onListSelection();
    void syncListFromSelector();
    void updateListState();
    void saveColumnWidths();

    QList<Column> m_columns;
    QComboBox* m_vehicles = nullptr;
    QTreeWidget* m_list = nullptr;
    QHBoxLayout* m_listRow = nullptr;
    QHBoxLayout* m_commandRow = nullptr;
    qint32 m_shownVehicle = 0;
    bool m_vehiclesFilled = false;
    bool m_syncing = false;
};
