#include "forms/VehicleListForm.h"

#include "context/AppContext.h"
#include "context/Enums.h"
#include "context/Settings.h"
#include "db/Database.h"
#include "db/DbException.h"
#include "fleet/VehicleList.h"
#include "forms/FormHost.h"
#include "forms/FormLayout.h"
#include "forms/FormMessages.h"
#include "forms/ReadOnlyLook.h"
#include "forms/TypedCompany.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

namespace {

const QString SettingsSection = QStringLiteral("Settings");
// Below all the fields a form may add.
constexpr int CommandRow = 40;

} // namespace

CVehicleListForm::CVehicleListForm(CAppContext& app, CVelDoc& doc, int formNumber, FormTitles titles,
                                   QList<Column> columns, QWidget* parent)
    : CRecordForm(app, doc, formNumber, std::move(titles), parent), m_columns(std::move(columns))
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
    // As wide as its longest vehicle where the form has the room (see fillVehicles), never cut sooner.
    m_vehicles->setSizePolicy(QSizePolicy::Expanding, m_vehicles->sizePolicy().verticalPolicy());
    auto* vehiclesLabel = new QLabel(QStringLiteral("Vehicles"), this);
    QFont bold = vehiclesLabel->font();
    bold.setBold(true);
    vehiclesLabel->setFont(bold);
    vehiclesLabel->setBuddy(m_vehicles);
    fieldGrid()->addWidget(vehiclesLabel, 0, 0);
    fieldGrid()->addWidget(m_vehicles, 0, 1, 1, 3);

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
    m_listRow = new QHBoxLayout;
    m_listRow->addWidget(m_list, 1);
    fieldGrid()->addLayout(m_listRow, 1, 0, 1, 4);
    growRow(1, 4);

    m_commandRow = FormLayout::buttonRow(this);
    fieldGrid()->addLayout(m_commandRow, CommandRow, 0, 1, 4);

    connect(m_vehicles, &QComboBox::currentIndexChanged, this, &CVehicleListForm::onVehicleChosen);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &CVehicleListForm::onListSelection);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { commandEdit(); });
    m_list->installEventFilter(this);
    connect(selector(), &QComboBox::currentIndexChanged, this, &CVehicleListForm::syncListFromSelector);
    connect(this, &CFormView::commandStateChanged, this, &CVehicleListForm::updateListState);
}

CVehicleListForm::~CVehicleListForm()
{
    saveColumnWidths();
}

void CVehicleListForm::saveColumnWidths()
{
    for (int i = 0; i < m_columns.size(); ++i)
        app().settings().setInteger(SettingsSection, m_columns[i].widthKey, m_list->columnWidth(i));
}

QComboBox* CVehicleListForm::addStationField(const QString& label, const QString& objectName, int callerCode,
                                             int row, int column)
{
    auto* box = new QComboBox(this);
    box->setObjectName(objectName);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(26);
    makeCompanyBox(*box, callerCode);
    addField(label, box, row, column);
    return box;
}

QPushButton* CVehicleListForm::addCommandButton(const QString& text, const QString& objectName)
{
    auto* button = new QPushButton(text, this);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    FormLayout::keepNaturalWidth(button);
    m_commandRow->addWidget(button);
    return button;
}

void CVehicleListForm::addNavigationButtons()
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
    QList<QPushButton*> group;
    for (const auto& entry : buttons) {
        QPushButton* button =
            addCommandButton(QString::fromLatin1(entry.text), QString::fromLatin1(entry.name));
        const int target = entry.form;
        button->setEnabled(target != formNumber() && (!host || host->hasForm(target)));
        group.append(button);
        connect(button, &QPushButton::clicked, this, [this, target] {
            if (target != formNumber())
                Q_EMIT switchFormRequested(target, 0, 0);
        });
    }
    FormLayout::makeEqualWidths(group);
}

void CVehicleListForm::setListColumnTitle(int column, const QString& title)
{
    m_list->headerItem()->setText(column, title);
}

qint32 CVehicleListForm::vehicleId() const
{
    return m_vehicles->currentIndex() < 0 ? 0 : m_vehicles->currentData().toInt();
}

void CVehicleListForm::showVehicle(qint32 vehicle)
{
    m_vehiclesFilled = true;
    app().setCurrentVehicle(vehicle);
    fillVehicles();
    fillSelector(0);
}

bool CVehicleListForm::fillVehicles(bool keepShown)
{
    {
        const QSignalBlocker blocker(m_vehicles);
        m_vehicles->clear();
        for (const VehicleList::Item& item : VehicleList::items(app().database(), app().vehicleColumns()))
            m_vehicles->addItem(item.text, item.vehicleId);
        const int index = m_vehicles->findData(keepShown ? m_shownVehicle : app().currentVehicle());
        m_vehicles->setCurrentIndex(index >= 0 ? index : (m_vehicles->count() > 0 ? 0 : -1));
        FormLayout::fitToLongestEntry(*m_vehicles);
    }
    if (!keepShown)
        app().setCurrentVehicle(vehicleId());
    if (m_shownVehicle == vehicleId())
        return false;
    m_shownVehicle = vehicleId();
    vehicleChanged(m_shownVehicle);
    return true;
}

QString CVehicleListForm::missingParentMessage()
{
    if (m_shownVehicle == 0 ||
        !app()
             .database()
             .scalar(QStringLiteral("SELECT 1 FROM Vehicles WHERE VehicleID = %1").arg(m_shownVehicle))
             .isNull())
        return {};
    return FormMessages::VehicleDeleted;
}

void CVehicleListForm::showVehicleEntries()
{
    fillSelector(0);
    loadSelected();
}

QList<ListEntry> CVehicleListForm::selectorEntries()
{
    // The form may be entered before it is first shown.
    ensureVehicles();
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
    FormLayout::widenColumnsToContents(*m_list);
    m_syncing = false;
    return entries;
}

void CVehicleListForm::syncListFromSelector()
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

void CVehicleListForm::onListSelection()
{
    if (m_syncing)
        return;
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty())
        return;
    const int index = m_list->indexOfTopLevelItem(selected.first());
    if (index != selector()->currentIndex())
        selector()->setCurrentIndex(index);
    else if (isNewRecord() && !hasUnsavedChanges())
        loadSelected();
}

void CVehicleListForm::updateListState()
{
    const bool available = !hasUnsavedChanges() && !isNewRecord();
    m_list->setEnabled(available);
    showAsReadOnly(m_list, !available);
}

void CVehicleListForm::modeChanged(Mode mode)
{
    // A new record is none of the listed ones.
    if (mode == Mode::AddNew) {
        m_syncing = true;
        m_list->clearSelection();
        m_syncing = false;
    }
    updateListState();
}

bool CVehicleListForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        commandDelete();
        return true;
    }
    return CRecordForm::eventFilter(watched, event);
}

void CVehicleListForm::onVehicleChosen(int)
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
        showVehicleEntries();
    } catch (const CdbException& error) {
        showError(error.description());
    }
}

void CVehicleListForm::ensureVehicles()
{
    if (m_vehiclesFilled)
        return;
    m_vehiclesFilled = true;
    fillVehicles();
}

void CVehicleListForm::showEvent(QShowEvent* event)
{
    try {
        ensureVehicles();
    } catch (const CdbException& error) {
        showError(error.description());
    }
    CRecordForm::showEvent(event);
}

void CVehicleListForm::showAgain(int a, int b)
{
    ensureVehicles();
    // The vehicle may have been chosen on another form: the list and the fields follow the box. An empty
    // new record stands for the vehicle shown and is made again for it.
    if (fillVehicles() || isNewRecord())
        showVehicleEntries();
    else
        CRecordForm::showAgain(a, b);
    if (station())
        station()->refresh();
}

void CVehicleListForm::onDocumentUpdate(int hint)
{
    try {
        if (m_vehiclesFilled && (hint == GeneralHint || hint == VehiclesHint || hint == DataRestoredHint)) {
            // Changes being typed keep their vehicle, unless it has gone; then they are dropped.
            if (hasUnsavedChanges() && hint != DataRestoredHint)
                dropChangesOfOrphan();
            const bool typing = hasUnsavedChanges() && hint != DataRestoredHint;
            if (fillVehicles(typing) && !typing)
                showVehicleEntries();
            else if (hint == VehiclesHint && !typing && !isNewRecord()) {
                fillSelector(currentKey());
                loadSelected();
            }
        }
    } catch (const CdbException& error) {
        showError(error.description());
    }
    CRecordForm::onDocumentUpdate(hint);
}
