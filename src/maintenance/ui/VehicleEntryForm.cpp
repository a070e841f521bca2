#include "maintenance/ui/VehicleEntryForm.h"

#include "context/AppContext.h"
#include "context/Enums.h"
#include "context/VelDoc.h"
#include "db/Database.h"
#include "db/DbException.h"
#include "forms/ReadOnlyLook.h"
#include "forms/TypedCompany.h"
#include "scheduling/ui/SelectServicesDlg.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSqlQuery>

CVehicleEntryForm::CVehicleEntryForm(CAppContext& app, CVelDoc& doc, int formNumber, FormTitles titles,
                                     QList<Column> columns, QWidget* parent)
    : CVehicleListForm(app, doc, formNumber, std::move(titles), std::move(columns), parent)
{
}

namespace {

enum ServiceRole : int { ServiceIdRole = Qt::UserRole, ServiceTextRole, NotPerformedRole };

} // namespace

void CVehicleEntryForm::addServicesField(int row)
{
    m_selectServices = new QPushButton(QStringLiteral("Se&lect Services"), this);
    m_selectServices->setObjectName(QStringLiteral("selectServicesButton"));
    m_selectServices->setAutoDefault(false);
    m_services = new QListWidget(this);
    m_services->setObjectName(QStringLiteral("servicesList"));
    m_services->setMinimumHeight(m_services->fontMetrics().lineSpacing() * 4 + 6);
    m_services->setMaximumHeight(m_services->fontMetrics().lineSpacing() * 6 + 6);
    m_services->setFocusPolicy(Qt::ClickFocus);
    showAsReadOnly(m_services, mode() == Mode::Browse);
    fieldGrid()->addWidget(m_selectServices, row, 0, Qt::AlignLeft | Qt::AlignTop);
    fieldGrid()->addWidget(m_services, row, 1, 1, 3);
    // Registered for the mode only: the button marks the record changed when the choice is made.
    registerField(m_selectServices);
    disconnect(m_selectServices, &QPushButton::clicked, this, nullptr);
    connect(m_selectServices, &QPushButton::clicked, this, &CVehicleEntryForm::chooseServices);
}

void CVehicleEntryForm::modeChanged(Mode mode)
{
    CVehicleListForm::modeChanged(mode);
    // The services are changed through Select Services, so the box looks as the other fields do.
    if (m_services)
        showAsReadOnly(m_services, mode == Mode::Browse);
}

QList<ServiceItem> CVehicleEntryForm::services() const
{
    QList<ServiceItem> items;
    for (int i = 0; m_services && i < m_services->count(); ++i) {
        const QListWidgetItem* item = m_services->item(i);
        items.append({item->data(ServiceIdRole).toInt(), item->data(ServiceTextRole).toString(),
                      item->data(NotPerformedRole).toBool()});
    }
    return items;
}

void CVehicleEntryForm::showServices(const QList<ServiceItem>& items)
{
    m_services->clear();
    for (const ServiceItem& service : items) {
        auto* item = new QListWidgetItem(service.listText(), m_services);
        item->setData(ServiceIdRole, service.serviceId);
        item->setData(ServiceTextRole, service.text);
        item->setData(NotPerformedRole, service.notPerformed);
    }
}

void CVehicleEntryForm::chooseServices()
{
    QList<ServiceItem> chosen = services();
    if (!(m_chooser ? m_chooser(chosen) : runSelectServices(chosen)))
        return;
    showServices(chosen);
    markChanged();
}

bool CVehicleEntryForm::runSelectServices(QList<ServiceItem>& items)
{
    QList<qint32> serviceIds;
    QStringList typed;
    for (const ServiceItem& item : std::as_const(items)) {
        if (item.isUnexpected())
            typed.append(item.text);
        else
            serviceIds.append(item.serviceId);
    }
    try {
        CSelectServicesDlg dialog(app().database(), app().prompter(), this);
        dialog.setSelection(serviceIds, typed);
        bool catalogueChanged = false;
        connect(&dialog, &CSelectServicesDlg::serviceListChanged, this,
                [&catalogueChanged] { catalogueChanged = true; });
        const bool accepted = dialog.exec() == QDialog::Accepted;
        if (catalogueChanged)
            document().updateAllViews(ServiceListHint);
        if (!accepted)
            return false;
        // Catalogue services first, then the typed ones, as the dialog lists them.
        QStringList keys;
        for (qint32 key : dialog.serviceIds())
            keys.append(QString::number(key));
        QHash<qint32, QString> names;
        if (!keys.isEmpty()) {
            QSqlQuery query = app().database().prepare(
                QStringLiteral("SELECT ServiceID, ServiceDesc FROM Services WHERE ServiceID IN (%1)")
                    .arg(keys.join(QLatin1Char(','))));
            app().database().exec(query);
            while (query.next())
                names.insert(query.value(0).toInt(), query.value(1).toString());
        }
        items.clear();
        for (qint32 key : dialog.serviceIds())
            items.append({key, names.value(key)});
        for (const QString& text : dialog.unexpected())
            items.append({ServiceItem::Unexpected, text});
        return true;
    } catch (const CdbException& error) {
        showError(error.description());
        return false;
    }
}

bool CVehicleEntryForm::startFromSchedule(const QList<qint32>& scheduleIds)
{
    if (scheduleIds.isEmpty() || !resolveUnsavedChanges())
        return false;
    try {
        const std::optional<ServiceItems::ScheduledWork> work =
            ServiceItems::scheduledWork(app().database(), scheduleIds);
        if (!work)
            return false;
        showVehicle(work->vehicleId);
        startNewRecord();
        QuietEdits quiet(*this);
        showServices(work->services);
        descriptionField()->setText(work->description);
        station()->show(work->stationId);
    } catch (const CdbException& error) {
        showError(error.description());
        return false;
    }
    markChanged();
    return true;
}
