#include "maintenance/ui/ScheduleMonitorView.h"

#include "context/AppContext.h"
#include "context/Enums.h"
#include "context/Settings.h"
#include "db/Clock.h"
#include "db/Database.h"
#include "db/DbException.h"
#include "db/Prompter.h"
#include "db/Values.h"
#include "fleet/VehicleList.h"
#include "forms/FormHost.h"
#include "forms/FormLayout.h"
#include "maintenance/MaintenanceMessages.h"
#include "maintenance/ui/JobOrderView.h"
#include "maintenance/ui/MaintenanceView.h"
#include "scheduling/DueCalendar.h"
#include "scheduling/DueList.h"
#include "scheduling/ScheduleTexts.h"

#include <QAbstractTableModel>
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
#include <QTreeView>
#include <QVBoxLayout>

namespace {

const QString SettingsSection = QStringLiteral("Settings");
const char* const WidthKeys[] = {"sm0", "sm1", "sm2", "sm3", "sm4"};
constexpr int ColumnCount = 5;
constexpr int ScheduleMonitorReport = 2;

// The meaning colours: red due, blue due soon, dark grey far ahead. On a dark palette the same hues are
// lightened so that they stay readable.
struct MeaningColours
{
    QColor due{255, 0, 0};
    QColor soon{0, 0, 255};
    QColor far{64, 64, 64};
    QColor text;

    explicit MeaningColours(const QPalette& palette) : text(palette.color(QPalette::Text))
    {
        if (palette.color(QPalette::Base).lightness() < 128) {
            due = QColor(255, 110, 110);
            soon = QColor(120, 165, 255);
            far = QColor(165, 165, 165);
        }
    }
};

} // namespace

// The monitor's rows as the compact list the due list returns; texts and colours are made when a row is
// drawn, so that a fleet's hundreds of thousands of rows cost a few numbers each.
class ScheduleMonitorModel : public QAbstractTableModel
{
public:
    explicit ScheduleMonitorModel(QObject* parent) : QAbstractTableModel(parent), m_colours(QPalette()) {}

    void setList(DueList::List list)
    {
        beginResetModel();
        m_list = std::move(list);
        endResetModel();
    }
    void setTitles(const QString& unit)
    {
        m_titles = {QStringLiteral("Vehicle"), QStringLiteral("Service Needed"),
                    ScheduleTexts::performEveryTitle(unit), ScheduleTexts::lastPerformedTitle(unit),
                    QStringLiteral("Est Perform Date")};
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
    }
    // The colours follow the days-ahead setting, today and the palette.
    void setColouring(int days, const QDateTime& now, const MeaningColours& colours)
    {
        m_days = days;
        m_now = now;
        m_colours = colours;
        if (!m_list.rows.empty())
            Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1), {Qt::ForegroundRole});
    }
    const DueList::List& list() const { return m_list; }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_list.rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : ColumnCount;
    }
    Qt::ItemFlags flags(const QModelIndex&) const override
    {
        return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < m_titles.size())
            return m_titles[section];
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || size_t(index.row()) >= m_list.rows.size())
            return {};
        const DueList::Row& row = m_list.rows[size_t(index.row())];
        switch (role) {
        case Qt::DisplayRole:
            switch (index.column()) {
            case 0:
                return m_list.vehicle(row);
            case 1:
                return m_list.service(row);
            case 2:
                return m_list.performEvery(row);
            case 3:
                return m_list.lastPerformed(row);
            default:
                return m_list.estimate(row);
            }
        case Qt::ForegroundRole:
            return QBrush(colour(row));
        case Qt::UserRole:
            return row.scheduleId;
        default:
            return {};
        }
    }

private:
    // Far ahead grey, overdue (long overdue too) red, due soon blue, else the text colour.
    QColor colour(const DueList::Row& row) const
    {
        if (row.beyond != 0)
            return row.beyond > 0 ? m_colours.far : m_colours.due;
        switch (DueList::statusOfDay(row.date, m_days, m_now)) {
        case DueList::Status::Overdue:
            return m_colours.due;
        case DueList::Status::DueSoon:
            return m_colours.soon;
        case DueList::Status::Later:
            break;
        }
        return m_colours.text;
    }

    DueList::List m_list;
    QStringList m_titles;
    int m_days = 0;
    QDateTime m_now;
    MeaningColours m_colours;
};

CScheduleMonitorView::CScheduleMonitorView(CAppContext& app, CVelDoc& doc, QWidget* parent)
    : CFormView(app, doc, ScheduleMonitorForm, parent)
{
    auto* outer = new QVBoxLayout(this);
    FormLayout::setFormMargins(outer, this);

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

    m_model = new ScheduleMonitorModel(this);
    m_model->setTitles(QStringLiteral("mi"));
    m_list = new QTreeView(this);
    m_list->setObjectName(QStringLiteral("dueList"));
    m_list->setModel(m_model);
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->header()->setStretchLastSection(true);
    // The user's widths as stored; the others are fitted to the rows at the first fill.
    for (int i = 0; i < ColumnCount; ++i)
        m_list->setColumnWidth(i, app.settings().integer(SettingsSection, QLatin1String(WidthKeys[i])));
    outer->addWidget(m_list, 1);

    auto* legend = new QGridLayout;
    auto legendLine = [this](const QString& text, const QString& name) {
        auto* label = new QLabel(text, this);
        label->setObjectName(name);
        return label;
    };
    m_legendRed =
        legendLine(QStringLiteral("Red = Maintenance is due immediately"), QStringLiteral("legendRed"));
    legend->addWidget(m_legendRed, 0, 0);
    m_legendBlue = legendLine(QString(), QStringLiteral("legendBlue"));
    m_legendBlack = legendLine(QString(), QStringLiteral("legendBlack"));
    legend->addWidget(m_legendBlue, 1, 0);
    legend->addWidget(m_legendBlack, 2, 0);
    m_baseLineNote = new QLabel(QStringLiteral("* Figured from Base Line information."), this);
    m_baseLineNote->setObjectName(QStringLiteral("baseLineNote"));
    legend->addWidget(m_baseLineNote, 0, 1, Qt::AlignRight);
    legend->setColumnStretch(0, 1);
    outer->addLayout(legend);

    // Commands on the rows, then the way to the other forms as one group, and Home below on its own, as
    // on the record forms.
    QHBoxLayout* buttons = FormLayout::buttonRow(this);
    auto button = [this](QBoxLayout* row, const QString& text, const QString& name) {
        auto* pushButton = new QPushButton(text, this);
        pushButton->setObjectName(name);
        pushButton->setAutoDefault(false);
        FormLayout::keepNaturalWidth(pushButton);
        row->addWidget(pushButton);
        return pushButton;
    };
    QPushButton* createJobOrder =
        button(buttons, QStringLiteral("&Create Job Order"), QStringLiteral("createJobOrderButton"));
    QPushButton* perform =
        button(buttons, QStringLiteral("&Perform Maintenance"), QStringLiteral("performMaintenanceButton"));
    QPushButton* exportCalendar =
        button(buttons, QStringLiteral("E&xport to Calendar..."), QStringLiteral("exportCalendarButton"));
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
    QHBoxLayout* homeRow = FormLayout::buttonRow(this);
    homeRow->addStretch(1);
    QList<QPushButton*> group;
    for (const auto& entry : navigation) {
        const int form = entry.form;
        QPushButton* target = button(form == HomeForm ? homeRow : buttons, QString::fromLatin1(entry.text),
                                     QString::fromLatin1(entry.name));
        if (form != HomeForm)
            group << target;
        target->setEnabled(form != ScheduleMonitorForm && (!host || form == HomeForm || host->hasForm(form)));
        connect(target, &QPushButton::clicked, this,
                [this, form] { Q_EMIT switchFormRequested(form, 0, 0); });
    }
    FormLayout::makeEqualWidths(group);
    outer->addLayout(buttons);
    outer->addLayout(homeRow);

    connect(createJobOrder, &QPushButton::clicked, this, &CScheduleMonitorView::commandCreateJobOrder);
    connect(perform, &QPushButton::clicked, this, &CScheduleMonitorView::commandPerformMaintenance);
    connect(m_list, &QTreeView::doubleClicked, this, &CScheduleMonitorView::commandPerformMaintenance);
    connect(m_vehicles, &QComboBox::currentIndexChanged, this, &CScheduleMonitorView::onVehicleChosen);
    useMeaningColours();
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
        const DueList::List due = DueList::fill(app().database(), vehicleId(), app().settings().daysAhead(),
                                                app().vehicleColumns());
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
    DueList::List due =
        DueList::fill(app().database(), vehicle, app().settings().daysAhead(), app().vehicleColumns());
    const bool usedBaseLine = due.usedBaseLine;
    m_model->setList(std::move(due));

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
    m_model->setTitles(unit);
    m_baseLineNote->setVisible(usedBaseLine);
    showLegend();
    if (!m_fitted && !m_model->list().rows.empty())
        fitColumns();
}

void CScheduleMonitorView::fitColumns()
{
    m_fitted = true;
    for (int i = 0; i + 1 < ColumnCount; ++i)
        if (!app().settings().contains(SettingsSection, QLatin1String(WidthKeys[i])))
            m_list->resizeColumnToContents(i);
}

void CScheduleMonitorView::showLegend(bool recolour)
{
    const int days = app().settings().daysAhead();
    m_legendBlue->setText(
        QStringLiteral("Blue = Maintenance that is due within the next %1 days.").arg(days));
    m_legendBlack->setText(
        QStringLiteral("Black = Maintenance that is not due within the next %1 days.").arg(days));
    if (recolour)
        m_model->setColouring(days, Clock::now(), MeaningColours(palette()));
}

void CScheduleMonitorView::useMeaningColours()
{
    const MeaningColours colours(palette());
    const auto paint = [](QLabel* label, const QColor& colour) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, colour);
        label->setPalette(palette);
    };
    paint(m_legendRed, colours.due);
    paint(m_legendBlue, colours.soon);
    paint(m_legendBlack, palette().color(QPalette::WindowText));
    m_model->setColouring(app().settings().daysAhead(), Clock::now(), colours);
}

void CScheduleMonitorView::changeEvent(QEvent* event)
{
    CFormView::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && m_model)
        useMeaningColours();
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
    QModelIndexList rows = m_list->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    for (const QModelIndex& row : rows)
        keys.append(row.data(Qt::UserRole).toInt());
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
