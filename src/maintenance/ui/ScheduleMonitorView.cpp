#include "maintenance/ui/ScheduleMonitorView.h"

#include "context/Enums.h"
#include "context/Settings.h"
#include "context/AppContext.h"
#include "db/Clock.h"
#include "db/Database.h"
#include "db/DbException.h"
#include "db/Prompter.h"
#include "db/Values.h"
#include "fleet/VehicleList.h"
#include "forms/FormHost.h"
#include "maintenance/MaintenanceMessages.h"
#include "scheduling/DueCalendar.h"
#include "maintenance/ui/JobOrderView.h"
#include "maintenance/ui/MaintenanceView.h"
#include "scheduling/DueList.h"
#include "scheduling/ScheduleTexts.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSaveFile>
#include <QSqlQuery>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QString SettingsSection = QStringLiteral("Settings");
const char* const WidthKeys[] = {"sm0", "sm1", "sm2", "sm3", "sm4"};
constexpr int EstimateColumn = 4;
constexpr int ScheduleMonitorReport = 2;
const QColor DueColour(255, 0, 0);
const QColor SoonColour(0, 0, 255);
const QColor FarColour(64, 64, 64);

enum RowRole : int { ScheduleIdRole = Qt::UserRole, DateRole };

// Far ahead grey, overdue (long overdue too) red, due soon blue, else the text colour.
QColor rowColour(const QTreeWidgetItem& item, int days, const QDateTime& now, const QColor& text)
{
    const QString estimate = item.text(EstimateColumn);
    if (estimate.startsWith(QLatin1Char('>')))
        return FarColour;
    if (estimate.startsWith(QLatin1Char('<')))
        return DueColour;
    switch (DueList::statusOfDay(item.data(0, DateRole).toDate(), days, now)) {
    case DueList::Status::Overdue:
        return DueColour;
    case DueList::Status::DueSoon:
        return SoonColour;
    case DueList::Status::Later:
        break;
    }
    return text;
}

void setRowColour(QTreeWidgetItem& item, const QColor& colour)
{
    for (int column = 0; column < 5; ++column)
        item.setForeground(column, colour);
}

} // namespace

CScheduleMonitorView::CScheduleMonitorView(CAppContext& app, CVelDoc& doc, QWidget* parent)
    : CFormView(app, doc, ScheduleMonitorForm, parent)
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(16, 12, 16, 10);

    auto* vehicleRow = new QHBoxLayout;
    auto* vehiclesLabel = new QLabel(QStringLiteral("Vehicles"), this);
    QFont bold = vehiclesLabel->font();
    bold.setBold(true);
    vehiclesLabel->setFont(bold);
    m_vehicles = new QComboBox(this);
    m_vehicles->setObjectName(QStringLiteral("vehicleSelector"));
    m_vehicles->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_vehicles->setMinimumContentsLength(34);
    vehiclesLabel->setBuddy(m_vehicles);
    vehicleRow->addWidget(vehiclesLabel);
    vehicleRow->addWidget(m_vehicles);
    vehicleRow->addStretch(1);
    outer->addLayout(vehicleRow);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("dueList"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setHeaderLabels({QStringLiteral("Vehicle"), QStringLiteral("Service Needed"),
                             ScheduleTexts::performEveryTitle(QStringLiteral("mi")),
                             ScheduleTexts::lastPerformedTitle(QStringLiteral("mi")),
                             QStringLiteral("Est Perform Date")});
    // The stored widths were chosen for a smaller font: never narrower than the title.
    for (int i = 0; i < 5; ++i)
        m_list->setColumnWidth(
            i, std::max(m_list->fontMetrics().horizontalAdvance(m_list->headerItem()->text(i)) + 16,
                        app.settings().integer(SettingsSection, QLatin1String(WidthKeys[i]))));
    outer->addWidget(m_list, 1);

    auto* legend = new QGridLayout;
    auto legendLine = [this](const QString& text, const QString& name, const QColor& colour) {
        auto* label = new QLabel(text, this);
        label->setObjectName(name);
        QPalette colours = label->palette();
        colours.setColor(QPalette::WindowText, colour);
        label->setPalette(colours);
        return label;
    };
    legend->addWidget(legendLine(QStringLiteral("Red = Maintenance is due immediately"),
                                 QStringLiteral("legendRed"), DueColour),
                      0, 0);
    m_legendBlue = legendLine(QString(), QStringLiteral("legendBlue"), SoonColour);
    m_legendBlack =
        legendLine(QString(), QStringLiteral("legendBlack"), palette().color(QPalette::WindowText));
    legend->addWidget(m_legendBlue, 1, 0);
    legend->addWidget(m_legendBlack, 2, 0);
    m_baseLineNote = new QLabel(QStringLiteral("* Figured from Base Line information."), this);
    m_baseLineNote->setObjectName(QStringLiteral("baseLineNote"));
    legend->addWidget(m_baseLineNote, 0, 1, Qt::AlignRight);
    legend->setColumnStretch(0, 1);
    outer->addLayout(legend);

    auto* buttons = new QHBoxLayout;
    auto button = [this, buttons](const QString& text, const QString& name) {
        auto* pushButton = new QPushButton(text, this);
        pushButton->setObjectName(name);
        pushButton->setAutoDefault(false);
        buttons->addWidget(pushButton);
        return pushButton;
    };
    QPushButton* createJobOrder =
        button(QStringLiteral("&Create Job Order"), QStringLiteral("createJobOrderButton"));
    QPushButton* perform =
        button(QStringLiteral("&Perform Maintenance"), QStringLiteral("performMaintenanceButton"));
    QPushButton* exportCalendar =
        button(QStringLiteral("E&xport to Calendar..."), QStringLiteral("exportCalendarButton"));
    connect(exportCalendar, &QPushButton::clicked, this, &CScheduleMonitorView::commandExportCalendar);
    buttons->addStretch(1);
    const CFormHost* host = CFormHost::of(this);
    const struct
    {
        const char* text;
        const char* name;
        int form;
    } navigation[] = {
        {"&Schedule Monitor", "scheduleMonitorButton", ScheduleMonitorForm},
        {"&Job Orders", "jobOrdersButton", JobOrderForm},
        {"&Maintenance", "maintenanceButton", MaintenanceForm},
        {"Gas L&og", "gasLogButton", GasForm},
        {"Home", "homeButton", HomeForm},
    };
    for (const auto& entry : navigation) {
        QPushButton* target = button(QString::fromLatin1(entry.text), QString::fromLatin1(entry.name));
        const int form = entry.form;
        target->setEnabled(form != ScheduleMonitorForm && (!host || form == HomeForm || host->hasForm(form)));
        connect(target, &QPushButton::clicked, this,
                [this, form] { Q_EMIT switchFormRequested(form, 0, 0); });
    }
    outer->addLayout(buttons);

    connect(createJobOrder, &QPushButton::clicked, this, &CScheduleMonitorView::commandCreateJobOrder);
    connect(perform, &QPushButton::clicked, this, &CScheduleMonitorView::commandPerformMaintenance);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &CScheduleMonitorView::commandPerformMaintenance);
    connect(m_vehicles, &QComboBox::currentIndexChanged, this, &CScheduleMonitorView::onVehicleChosen);
    showLegend();
}

CScheduleMonitorView::~CScheduleMonitorView()
{
    for (int i = 0; i < 5; ++i)
        app().settings().setInteger(SettingsSection, QLatin1String(WidthKeys[i]), m_list->columnWidth(i));
}

qint32 CScheduleMonitorView::vehicleId() const
{
    return m_vehicles->currentIndex() < 0 ? 0 : m_vehicles->currentData().toInt();
}

void CScheduleMonitorView::fillVehicles()
{
    const QSignalBlocker blocker(m_vehicles);
    m_vehicles->clear();
    m_vehicles->addItem(QStringLiteral("*** All Vehicles ***"), 0);
    for (const VehicleList::Item& item : VehicleList::items(app().database(), app().vehicleColumns()))
        m_vehicles->addItem(item.text, item.vehicleId);
    const int index = m_vehicles->findData(app().currentVehicle());
    m_vehicles->setCurrentIndex(index >= 0 ? index : 0);
}

void CScheduleMonitorView::onVehicleChosen(int)
{
    app().setCurrentVehicle(vehicleId());
    try {
        fillList();
    } catch (const CdbException& error) {
        app().prompter().message(error.description());
    }
}

void CScheduleMonitorView::commandExportCalendar()
{
    Prompter& prompter = app().prompter();
    Prompter::FileDialog chooser;
    chooser.title = QStringLiteral("Export to Calendar");
    chooser.defaultSuffix = QStringLiteral("ics");
    chooser.defaultName = QStringLiteral("velmora-due.ics");
    chooser.filter = QStringLiteral("iCalendar files (*.ics);;All files (*)");
    chooser.confirmOverwrite = true;
    const QString path = prompter.saveFileName(chooser);
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    try {
        const DueList::List due =
            DueList::fill(app().database(), vehicleId(), app().settings().daysAhead(), app().vehicleColumns());
        if (file.open(QIODevice::WriteOnly) &&
            file.write(DueCalendar::toICalendar(due, Clock::now()).toUtf8()) >= 0 && file.commit())
            return;
    } catch (const CdbException& error) {
        prompter.message(error.description());
        return;
    }
    prompter.message(QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString()));
}

void CScheduleMonitorView::fillList()
{
    m_filled = true;
    const qint32 vehicle = vehicleId();
    const DueList::List due =
        DueList::fill(app().database(), vehicle, app().settings().daysAhead(), app().vehicleColumns());
    m_list->clear();
    // Items are complete, colours included, before the tree holds them: each change to an item in the
    // tree costs a notification.
    const int days = app().settings().daysAhead();
    const QDateTime now = Clock::now();
    const QColor text = palette().color(QPalette::Text);
    QList<QTreeWidgetItem*> items;
    items.reserve(qsizetype(due.rows.size()));
    for (const DueList::Row& row : due.rows) {
        auto* item = new QTreeWidgetItem(
            {row.vehicle, row.service, row.performEvery, row.lastPerformed, row.estimate});
        item->setData(0, ScheduleIdRole, row.scheduleId);
        item->setData(0, DateRole, row.date);
        setRowColour(*item, rowColour(*item, days, now, text));
        items.append(item);
    }
    m_list->addTopLevelItems(items);

    // The units of the vehicle shown; with all vehicles shown, the titles keep miles.
    QString unit = QStringLiteral("mi");
    if (vehicle != 0) {
        QSqlQuery query = app().database().prepare(
            QStringLiteral("SELECT Measurement, HoursInd FROM Vehicles WHERE VehicleID = ?"));
        query.addBindValue(vehicle);
        app().database().exec(query);
        if (query.next())
            unit = Values::unitAbbreviation(query.value(0).toInt(), query.value(1).toInt());
    }
    m_list->headerItem()->setText(2, ScheduleTexts::performEveryTitle(unit));
    m_list->headerItem()->setText(3, ScheduleTexts::lastPerformedTitle(unit));
    m_baseLineNote->setVisible(due.usedBaseLine);
    showLegend(false);
}

void CScheduleMonitorView::showLegend(bool recolour)
{
    const int days = app().settings().daysAhead();
    m_legendBlue->setText(
        QStringLiteral("Blue = Maintenance that is due within the next %1 days.").arg(days));
    m_legendBlack->setText(
        QStringLiteral("Black = Maintenance that is not due within the next %1 days.").arg(days));
    if (recolour)
        colourRows();
}

void CScheduleMonitorView::colourRows()
{
    const int days = app().settings().daysAhead();
    const QDateTime now = Clock::now();
    const QColor text = palette().color(QPalette::Text);
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = m_list->topLevelItem(i);
        const QColor colour = rowColour(*item, days, now, text);
        if (item->foreground(0).color() != colour)
            setRowColour(*item, colour);
    }
}

void CScheduleMonitorView::enter(int, int)
{
    try {
        fillVehicles();
        fillList();
    } catch (const CdbException& error) {
        app().prompter().message(error.description());
    }
}

void CScheduleMonitorView::onDocumentUpdate(int hint)
{
    if (!m_filled)
        return;
    try {
        if (hint == GeneralHint || hint == VehiclesHint || hint == DataRestoredHint) {
            fillVehicles();
            fillList();
        } else if (hint == ServiceListHint) {
            fillList();
        } else if (hint == DaysAheadHint) {
            showLegend();
        }
    } catch (const CdbException& error) {
        app().prompter().message(error.description());
    }
}

QList<qint32> CScheduleMonitorView::chosenEntries()
{
    QList<qint32> keys;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        if (m_list->topLevelItem(i)->isSelected())
            keys.append(m_list->topLevelItem(i)->data(0, ScheduleIdRole).toInt());
    if (keys.size() > 1 && vehicleId() == 0) {
        app().prompter().message(MaintenanceMessages::MultipleServicesAllVehicles);
        return {};
    }
    if (keys.size() > MostServices) {
        app().prompter().message(MaintenanceMessages::TooManyServices);
        return {};
    }
    return keys;
}

void CScheduleMonitorView::commandPerformMaintenance()
{
    const QList<qint32> keys = chosenEntries();
    CFormHost* host = CFormHost::of(this);
    if (keys.isEmpty() || !host || !host->switchForm(MaintenanceForm))
        return;
    if (auto* form = qobject_cast<CMaintenanceView*>(host->createdForm(MaintenanceForm)))
        form->startFromSchedule(keys);
}

void CScheduleMonitorView::commandCreateJobOrder()
{
    const QList<qint32> keys = chosenEntries();
    CFormHost* host = CFormHost::of(this);
    if (keys.isEmpty() || !host || !host->switchForm(JobOrderForm))
        return;
    if (auto* form = qobject_cast<CJobOrderView*>(host->createdForm(JobOrderForm)))
        form->startFromSchedule(keys);
}

std::unique_ptr<QMenu> CScheduleMonitorView::createContextMenu()
{
    auto menu = std::make_unique<QMenu>(this);
    menu->addAction(QStringLiteral("&Create Job Order"), this, &CScheduleMonitorView::commandCreateJobOrder);
    menu->addAction(QStringLiteral("&Perform Maintenance"), this,
                    &CScheduleMonitorView::commandPerformMaintenance);
    menu->addSeparator();
    QMenu* reports = menu->addMenu(QStringLiteral("&Reports"));
    reports->addAction(QStringLiteral("&Schedule Monitor"), this,
                       [this] { Q_EMIT switchFormRequested(ReportForm, ScheduleMonitorReport, 0); });
    return menu;
}

void CScheduleMonitorView::contextMenuEvent(QContextMenuEvent* event)
{
    std::unique_ptr<QMenu> menu = createContextMenu();
    menu->exec(event->globalPos());
}
