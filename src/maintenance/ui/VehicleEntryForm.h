#pragma once

#include "forms/VehicleListForm.h"
#include "maintenance/ServiceItems.h"

#include <functional>

class QLineEdit;
class QListWidget;

// What the maintenance and job order forms add to the vehicle's list of entries: the services of the
// record, chosen with the Select Services dialog, and a new record made from schedule entries.
class CVehicleEntryForm : public CVehicleListForm
{
    Q_OBJECT

public:
    CVehicleEntryForm(CAppContext& app, CVelDoc& doc, int formNumber, FormTitles titles,
                      QList<Column> columns, QWidget* parent = nullptr);

    // Lets the user change the services in place; false when cancelled. By default the Select Services
    // dialog; tests put their own choice here.
    using ServiceChooser = std::function<bool(QList<ServiceItem>&)>;
    void setServiceChooser(ServiceChooser chooser) { m_chooser = std::move(chooser); }

    // A new record for the services of these schedule entries (of one vehicle, which becomes current),
    // with their description and station; false when none was started.
    bool startFromSchedule(const QList<qint32>& scheduleIds);

protected:
    // The field the schedule entries' description goes into.
    virtual QLineEdit* descriptionField() const = 0;

    // "Se&lect Services" with the list of the record's services below it, from this row on (two rows).
    void addServicesField(int row);
    QList<ServiceItem> services() const;
    void showServices(const QList<ServiceItem>& items);
    void modeChanged(Mode mode) override;

private:
    void chooseServices();
    bool runSelectServices(QList<ServiceItem>& items);

    QPushButton* m_selectServices = nullptr;
    QListWidget* m_services = nullptr;
    ServiceChooser m_chooser;
};
