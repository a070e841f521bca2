#pragma once

#include "forms/RecordForm.h"
#include "maintenance/ServiceItems.h"

#include <QStringList>
#include <functional>

class CTypedCompany;
class QHBoxLayout;
class QListWidget;
class QTreeWidget;

// What the maintenance and job order forms share: the "Vehicles" box chooses the vehicle, a list of that
// vehicle's entries (in columns, widths kept in the settings) chooses the record, a "Service Station" box
// takes a listed or a new company, and a row of buttons leads to the other forms of the maintenance cycle.
// The record selector of the base form stays hidden behind the list and does the mode work.
class CVehicleEntryForm : public CRecordForm
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

    CVehicleEntryForm(CAppContext& app, CVelDoc& doc, int formNumber, FormTitles titles, QList<Column> columns,
                      int callerCode, QWidget* parent = nullptr);
    ~CVehicleEntryForm() override;

    bool canLeave(int targetForm) override;
    void enter(int a, int b) override;
    void onDocumentUpdate(int hint) override;

    QTreeWidget* entryList() const { return m_list; }

    // Lets the user change the services in place; false when cancelled. By default the Select Services
    // dialog; tests put their own choice here.
    using ServiceChooser = std::function<bool(QList<ServiceItem>&)>;
    void setServiceChooser(ServiceChooser chooser) { m_chooser = std::move(chooser); }

protected:
    // Fields go from this row of the field grid on.
    static constexpr int FirstFieldRow = 2;

    // The rows of the vehicle's entries, in order.
    virtual QList<ListRow> listRows(qint32 vehicleId) = 0;
    // The vehicle chosen changed (also at the first fill).
    virtual void vehicleChanged(qint32 vehicleId) { Q_UNUSED(vehicleId); }

    QList<ListEntry> selectorEntries() override;
    void modeChanged(Mode mode) override;
    void refreshLists(int hint) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    qint32 vehicleId() const;
    // Makes this vehicle the one shown, without the unsaved-changes question (the caller has asked it),
    // and fills the list with its entries.
    void showVehicle(qint32 vehicleId);
    QComboBox* addStationField(int row, int column);
    CTypedCompany* station() const { return m_station; }
    // Settles a new company name typed into the station box; the first of the form's checks.
    bool resolveStation();
    // "Se&lect Services" with the list of the record's services below it, from this row on (two rows).
    void addServicesField(int row);
    QList<ServiceItem> services() const;
    void showServices(const QList<ServiceItem>& items);
    // Adds a button to the row of buttons above the navigation ones.
    QPushButton* addCommandButton(const QString& text, const QString& objectName);
    // The navigation buttons; the one of this form is disabled.
    void addNavigationButtons();
    void setListColumnTitle(int column, const QString& title);

private:
    void ensureVehicles();
    void fillVehicles();
    void onVehicleChosen(int index);
    void onListSelection();
    void syncListFromSelector();
    void updateListState();
    void saveColumnWidths();
    void chooseServices();
    bool runSelectServices(QList<ServiceItem>& items);

    QList<Column> m_columns;
    QComboBox* m_vehicles = nullptr;
    QTreeWidget* m_list = nullptr;
    QComboBox* m_stationBox = nullptr;
    QPushButton* m_selectServices = nullptr;
    QListWidget* m_services = nullptr;
    ServiceChooser m_chooser;
    CTypedCompany* m_station = nullptr;
    QHBoxLayout* m_commandRow = nullptr;
    qint32 m_shownVehicle = 0;
    bool m_entered = false;
    bool m_vehiclesFilled = false;
    bool m_syncing = false;
    int m_callerCode = 0;
};
