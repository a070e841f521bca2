#include "maintenance/ui/VehicleEntryForm.h"

#include "context/Enums.h"
#include "context/Settings.h"
#include "context/AppContext.h"
#include "context/VelDoc.h"
#include "db/Database.h"
#include "db/DbException.h"
#include "fleet/VehicleList.h"
#include "forms/FormHost.h"
#include "forms/TypedCompany.h"
#include "scheduling/ui/SelectServicesDlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSqlQuery>
#include <QTreeWidget>

namespace {

const QString SettingsSection = QStringLiteral("Settings");
// Below all the fields a form may add.
constexpr int CommandRow = 40;

} // namespace

CVehicleEntryForm::CVehicleEntryForm(CAppContext& app, CVelDoc& doc, int formNumber, FormTitles titles,
                                     QList<Column> columns, int callerCode, QWidget* parent)
    : CRecordForm(app, doc, formNumber, std::move(titles), parent), m_columns(std::move(columns)),
      m_callerCode(callerCode)
{
    setUpdateHints(GeneralHint, -1);
    setNavigation(NoForm, NoForm);
    // The list below stands in for the record selector.
    selector()->hide();
    selectorLabel()->hide();
    for (const char* name : {"backButton", "nextButton"})
        if (auto* button = findChild<QPushButton*>(QLatin1String(name)))
            button->hide();

    m_vehicles = new QComboBox(this);
    m_vehicles->setObjectName(QStringLiteral("vehicleSelector"));
    m_vehicles->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_vehicles->setMinimumContentsLength(34);
    auto* vehiclesLabel = new QLabel(QStringLiteral("Vehicles"), this);
    QFont bold = vehiclesLabel->font();
    bold.setBold(true);
    vehiclesLabel->setFont(bold);
    vehiclesLabel->setBuddy(m_vehicles);
    fieldGrid()->addWidget(vehiclesLabel, 0, 0);
    fieldGrid()->addWidget(m_vehicles, 0, 1, 1, 3, Qt::AlignLeft);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("entryList"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setMinimumHeight(m_list->fontMetrics().lineSpacing() * 8);
    QStringList headings;
    for (const Column& column : std::as_const(m_columns))
        headings.append(column.title);
    m_list->setHeaderLabels(headings);
    for (int i = 0; i < m_columns.size(); ++i) {
        // The stored widths were chosen for a smaller font: never narrower than the title or the sample.
        const QFontMetrics metrics = m_list->fontMetrics();
        const int least = std::max(metrics.horizontalAdvance(m_columns[i].title),
                                   metrics.horizontalAdvance(m_columns[i].sample)) +
                          16;
        m_list->setColumnWidth(
            i, std::max(least, app.settings().integer(SettingsSection, m_columns[i].widthKey)));
        if (m_columns[i].rightAligned)
            m_list->headerItem()->setTextAlignment(i, Qt::AlignRight | Qt::AlignVCenter);
    }
    fieldGrid()->addWidget(m_list, 1, 0, 1, 4);
    fieldGrid()->setRowStretch(1, 1);

    m_commandRow = new QHBoxLayout;
    fieldGrid()->addLayout(m_commandRow, CommandRow, 0, 1, 4);

    connect(m_vehicles, &QComboBox::currentIndexChanged, this, &CVehicleEntryForm::onVehicleChosen);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &CVehicleEntryForm::onListSelection);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { commandEdit(); });
    m_list->installEventFilter(this);
    connect(selector(), &QComboBox::currentIndexChanged, this, &CVehicleEntryForm::syncListFromSelector);
    connect(this, &CFormView::commandStateChanged, this, &CVehicleEntryForm::updateListState);
}

CVehicleEntryForm::~CVehicleEntryForm()
{
    saveColumnWidths();
}

void CVehicleEntryForm::saveColumnWidths()
{
    for (int i = 0; i < m_columns.size(); ++i)
        app().settings().setInteger(SettingsSection, m_columns[i].widthKey, m_list->columnWidth(i));
}

QComboBox* CVehicleEntryForm::addStationField(int row, int column)
{
    m_stationBox = new QComboBox(this);
    m_stationBox->setObjectName(QStringLiteral("serviceStation"));
    m_stationBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_stationBox->setMinimumContentsLength(26);
    m_station = new CTypedCompany(*this, *m_stationBox, m_callerCode);
    addField(QStringLiteral("Service Station"), m_stationBox, row, column);
    return m_stationBox;
}

bool CVehicleEntryForm::resolveStation()
{
    if (!m_station || m_station->resolve())
        return true;
    if (isVisible())
        m_stationBox->setFocus(Qt::OtherFocusReason);
    return false;
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
    m_services->setFixedHeight(m_services->fontMetrics().lineSpacing() * 6 + 6);
    m_services->setFocusPolicy(Qt::ClickFocus);
    fieldGrid()->addWidget(m_selectServices, row, 0, Qt::AlignLeft | Qt::AlignTop);
    fieldGrid()->addWidget(m_services, row, 1, 1, 3);
    // Registered for the mode only: the button marks the record changed when the choice is made.
    registerField(m_selectServices);
    disconnect(m_selectServices, &QPushButton::clicked, this, nullptr);
    connect(m_selectServices, &QPushButton::clicked, this, &CVehicleEntryForm::chooseServices);
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

QPushButton* CVehicleEntryForm::addCommandButton(const QString& text, const QString& objectName)
{
    auto* button = new QPushButton(text, this);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    m_commandRow->addWidget(button);
    return button;
}

void CVehicleEntryForm::addNavigationButtons()
{
    m_commandRow->addStretch(1);
    const struct
    {
        const char* text;
        const char* name;
        int form;
    } buttons[] = {
        {"&Schedule Monitor", "scheduleMonitorButton", ScheduleMonitorForm},
        {"&Job Orders", "jobOrdersButton", JobOrderForm},
        {"&Maintenance", "maintenanceButton", MaintenanceForm},
        {"Gas L&og", "gasLogButton", GasForm},
    };
    const CFormHost* host = CFormHost::of(this);
    for (const auto& entry : buttons) {
        QPushButton* button =
            addCommandButton(QString::fromLatin1(entry.text), QString::fromLatin1(entry.name));
        const int target = entry.form;
        button->setEnabled(target != formNumber() && (!host || host->hasForm(target)));
        connect(button, &QPushButton::clicked, this, [this, target] {
            if (target != formNumber())
                Q_EMIT switchFormRequested(target, 0, 0);
        });
    }
}

void CVehicleEntryForm::setListColumnTitle(int column, const QString& title)
{
    m_list->headerItem()->setText(column, title);
}

qint32 CVehicleEntryForm::vehicleId() const
{
    return m_vehicles->currentIndex() < 0 ? 0 : m_vehicles->currentData().toInt();
}

void CVehicleEntryForm::showVehicle(qint32 vehicle)
{
    m_vehiclesFilled = true;
    app().setCurrentVehicle(vehicle);
    fillVehicles();
    fillSelector(0);
}

void CVehicleEntryForm::fillVehicles()
{
    const QSignalBlocker blocker(m_vehicles);
    m_vehicles->clear();
    for (const VehicleList::Item& item : VehicleList::items(app().database(), app().vehicleColumns()))
        m_vehicles->addItem(item.text, item.vehicleId);
    const int index = m_vehicles->findData(app().currentVehicle());
    m_vehicles->setCurrentIndex(index >= 0 ? index : (m_vehicles->count() > 0 ? 0 : -1));
    app().setCurrentVehicle(vehicleId());
    if (m_shownVehicle != vehicleId()) {
        m_shownVehicle = vehicleId();
        vehicleChanged(m_shownVehicle);
    }
}

QList<ListEntry> CVehicleEntryForm::selectorEntries()
{
    const QList<ListRow> rows = listRows(vehicleId());
    QList<ListEntry> entries;
    m_syncing = true;
    m_list->clear();
    QList<QTreeWidgetItem*> items;
    const QColor grey = palette().color(QPalette::Disabled, QPalette::Text);
    for (const ListRow& row : rows) {
        auto* item = new QTreeWidgetItem(row.columns);
        item->setData(0, Qt::UserRole, row.key);
        for (int i = 0; i < m_columns.size(); ++i) {
            if (m_columns[i].rightAligned)
                item->setTextAlignment(i, Qt::AlignRight | Qt::AlignVCenter);
            if (row.dimmed)
                item->setForeground(i, grey);
        }
        items.append(item);
        entries.append({row.columns.value(0), row.key});
    }
    m_list->addTopLevelItems(items);
    m_syncing = false;
    return entries;
}

void CVehicleEntryForm::syncListFromSelector()
{
    if (m_syncing)
        return;
    m_syncing = true;
    const int index = selector()->currentIndex();
    m_list->clearSelection();
    if (QTreeWidgetItem* item = index >= 0 ? m_list->topLevelItem(index) : nullptr) {
        item->setSelected(true);
        m_list->setCurrentItem(item);
        m_list->scrollToItem(item);
    }
    m_syncing = false;
}

void CVehicleEntryForm::onListSelection()
{
    if (m_syncing)
        return;
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty())
        return;
    const int index = m_list->indexOfTopLevelItem(selected.first());
    if (index != selector()->currentIndex())
        selector()->setCurrentIndex(index);
}

void CVehicleEntryForm::updateListState()
{
    const bool available = !hasUnsavedChanges() && !isNewRecord();
    m_list->setEnabled(available);
    // A list that cannot be used looks it: the button face behind its rows.
    QPalette colours = m_list->palette();
    colours.setColor(QPalette::Base, palette().color(available ? QPalette::Base : QPalette::Button));
    m_list->setPalette(colours);
}

void CVehicleEntryForm::modeChanged(Mode mode)
{
    // A new record is none of the listed ones.
    if (mode == Mode::AddNew) {
        m_syncing = true;
        m_list->clearSelection();
        m_syncing = false;
    }
    updateListState();
}

bool CVehicleEntryForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        commandDelete();
        return true;
    }
    return CRecordForm::eventFilter(watched, event);
}

void CVehicleEntryForm::onVehicleChosen(int)
{
    const qint32 chosen = vehicleId();
    if (chosen == m_shownVehicle)
        return;
    if (!resolveUnsavedChanges()) {
        const QSignalBlocker blocker(m_vehicles);
        m_vehicles->setCurrentIndex(m_vehicles->findData(m_shownVehicle));
        return;
    }
    app().setCurrentVehicle(chosen);
    m_shownVehicle = chosen;
    try {
        vehicleChanged(chosen);
        fillSelector(0);
        loadSelected();
    } catch (const CdbException& error) {
        showError(error.description());
    }
}

bool CVehicleEntryForm::canLeave(int targetForm)
{
    if (m_station)
        if (const std::optional<bool> decision = m_station->leaveCheck(targetForm))
            return *decision;
    return CRecordForm::canLeave(targetForm);
}

void CVehicleEntryForm::ensureVehicles()
{
    if (m_vehiclesFilled)
        return;
    m_vehiclesFilled = true;
    fillVehicles();
}

void CVehicleEntryForm::showEvent(QShowEvent* event)
{
    try {
        ensureVehicles();
    } catch (const CdbException& error) {
        showError(error.description());
    }
    CRecordForm::showEvent(event);
}

void CVehicleEntryForm::enter(int a, int b)
{
    try {
        if (m_entered && a == CompanyForm && m_station) {
            m_station->takeReturned(b);
            return;
        }
        const bool first = !m_entered;
        m_entered = true;
        // Values being typed stay as they are, whatever happened elsewhere.
        if (!first && hasUnsavedChanges())
            return;
        ensureVehicles();
        if (!first)
            fillVehicles();
        if (!first && isNewRecord()) {
            // An empty new record stands for the vehicle shown; the vehicle may have changed meanwhile.
            fillSelector(0);
            loadSelected();
        } else {
            CRecordForm::enter(a, b);
        }
        if (m_station)
            m_station->refresh();
    } catch (const CdbException& error) {
        showError(error.description());
    }
}

void CVehicleEntryForm::onDocumentUpdate(int hint)
{
    try {
        if (m_vehiclesFilled && (hint == GeneralHint || hint == VehiclesHint || hint == DataRestoredHint)) {
            fillVehicles();
            if (hint == VehiclesHint && !hasUnsavedChanges() && !isNewRecord()) {
                fillSelector(currentKey());
                loadSelected();
            }
        }
    } catch (const CdbException& error) {
        showError(error.description());
    }
    CRecordForm::onDocumentUpdate(hint);
}

void CVehicleEntryForm::refreshLists(int hint)
{
    if (m_station && (hint == GeneralHint || hint == CompanyAddedHint))
        m_station->refresh();
}
