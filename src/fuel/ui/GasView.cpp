#include "fuel/ui/GasView.h"

#include "context/Enums.h"
#include "context/Settings.h"
#include "context/AppContext.h"
#include "db/Database.h"
#include "db/DbException.h"
#include "db/Prompter.h"
#include "db/Values.h"
#include "fleet/CompanyRecord.h"
#include "fleet/ReadingEstimate.h"
#include "fleet/ReadingPlausibility.h"
#include "fleet/VehicleList.h"
#include "forms/DateField.h"
#include "forms/FormHost.h"
#include "forms/TypedCompany.h"
#include "fuel/FuelMessages.h"
#include "fuel/ui/FuelChart.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QSqlQuery>
#include <QTreeWidget>

namespace {

const QString SettingsSection = QStringLiteral("Settings");
const char* const WidthKeys[] = {"g0", "g1", "g2", "g3", "g4"};
constexpr int FirstFieldRow = 2;

// Report codes of the report form.
constexpr int GasLogReport = 3;
constexpr int FuelEfficiencyGraph = 4;
constexpr int ExpenseGraph = 7;

QString money(const char* pattern, double value)
{
    return Values::withThousands(QString::asprintf(pattern, value));
}

} // namespace

CGasView::CGasView(CAppContext& app, CVelDoc& doc, QWidget* parent)
    : CRecordForm(app, doc, GasForm,
                  {QStringLiteral("Browse Gas Entry"), QStringLiteral("Edit Gas Entry"),
                   QStringLiteral("Add New Gas Entry")},
                  parent)
{
    setUpdateHints(GeneralHint, -1);
    setNavigation(NoForm, NoForm);
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
    m_list->setHeaderLabels({QStringLiteral("Miles"), QStringLiteral("Date"),
                             QStringLiteral("Cost of Fillup"), QStringLiteral("Gallons"),
                             QStringLiteral("MPG")});
    m_list->headerItem()->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
    for (int i = 0; i < 5; ++i)
        m_list->setColumnWidth(i, app.settings().integer(SettingsSection, QLatin1String(WidthKeys[i])));
    m_list->setFixedHeight(CFuelChart::ChartHeight + 40);
    m_list->installEventFilter(this);
    m_chart = new CFuelChart(this);
    auto* listRow = new QHBoxLayout;
    listRow->addWidget(m_list, 1);
    listRow->addWidget(m_chart, 0, Qt::AlignTop);
    fieldGrid()->addLayout(listRow, 1, 0, 1, 4);

    auto* tank = new QWidget(this);
    auto* tankRow = new QHBoxLayout(tank);
    tankRow->setContentsMargins(0, 0, 0, 0);
    m_fullTank = new QRadioButton(QStringLiteral("Full Tank"), tank);
    m_fullTank->setObjectName(QStringLiteral("fullTank"));
    m_partialTank = new QRadioButton(QStringLiteral("Partial Tank"), tank);
    m_partialTank->setObjectName(QStringLiteral("partialTank"));
    tankRow->addWidget(m_fullTank);
    tankRow->addWidget(m_partialTank);
    tankRow->addStretch(1);
    auto* tankGroup = new QButtonGroup(this);
    tankGroup->addButton(m_fullTank);
    tankGroup->addButton(m_partialTank);
    fieldGrid()->addWidget(tank, FirstFieldRow, 1);
    registerField(m_fullTank);
    registerField(m_partialTank);

    const int row = FirstFieldRow + 1;
    m_reading = addLineField(QStringLiteral("Current Mileage"), QStringLiteral("reading"), 9, row, 0);
    m_readingLabel = qobject_cast<QLabel*>(fieldGrid()->itemAtPosition(row, 0)->widget());
    m_date = new CDateField(this);
    m_date->setObjectName(QStringLiteral("date"));
    m_date->setMaxLength(10);
    addField(QStringLiteral("Date"), m_date, row, 1);
    m_distance =
        addLineField(QStringLiteral("Miles driven this tank"), QStringLiteral("distance"), 12, row + 1, 0);
    m_distanceLabel = qobject_cast<QLabel*>(fieldGrid()->itemAtPosition(row + 1, 0)->widget());
    m_estimated = new QCheckBox(QStringLiteral("Estimated Entry"), this);
    m_estimated->setObjectName(QStringLiteral("estimated"));
    addField(QString(), m_estimated, row + 1, 1);
    m_amount = addLineField(QStringLiteral("Amount of Fuel"), QStringLiteral("amount"), 12, row + 2, 0);
    m_stationBox = new QComboBox(this);
    m_stationBox->setObjectName(QStringLiteral("gasStation"));
    m_stationBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_stationBox->setMinimumContentsLength(26);
    m_station = new CTypedCompany(*this, *m_stationBox, GasLogCaller);
    addField(QStringLiteral("Gas Station"), m_stationBox, row + 2, 1);
    m_costPerUnit =
        addLineField(QStringLiteral("Cost Per Gallon"), QStringLiteral("costPerUnit"), 12, row + 3, 0);
    m_costLabel = qobject_cast<QLabel*>(fieldGrid()->itemAtPosition(row + 3, 0)->widget());
    // Brief descriptions are kept as long as a record set's text may be.
    m_description = addLineField(QStringLiteral("Brief Description"), QStringLiteral("briefDescription"), 255,
                                 row + 3, 1);
    m_total = addLineField(QStringLiteral("Total Price"), QStringLiteral("totalPrice"), 12, row + 4, 0);

    for (QLineEdit* field : {m_amount, m_costPerUnit, m_total})
        field->installEventFilter(this);
    connect(m_reading, &QLineEdit::textEdited, this, [this] { m_readingChanged = true; });
    connect(m_distance, &QLineEdit::textEdited, this, [this] { m_distanceChanged = true; });
    const std::pair<QLineEdit*, FuelCalculation::Field> money[] = {
        {m_costPerUnit, FuelCalculation::CostPerUnit},
        {m_total, FuelCalculation::Total},
        {m_amount, FuelCalculation::Amount}};
    for (const auto& [field, code] : money)
        connect(field, &QLineEdit::textEdited, this, [this, code = code] {
            m_moneyChanged[code] = true;
            m_calculation.edited(code);
        });

    auto* navigationRow = new QHBoxLayout;
    fieldGrid()->addLayout(navigationRow, row + 6, 0, 1, 4);
    navigationRow->addStretch(1);
    // A form the frame does not offer leaves its button disabled.
    const CFormHost* host = CFormHost::of(this);
    const auto navigation = [&](const QString& text, const char* name, int formNumber) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(QLatin1String(name));
        button->setAutoDefault(false);
        navigationRow->addWidget(button);
        if (formNumber == GasForm) {
            button->setCheckable(true);
            button->setChecked(true);
            button->setEnabled(false);
            return;
        }
        button->setEnabled(host && host->hasForm(formNumber));
        connect(button, &QPushButton::clicked, this,
                [this, formNumber] { Q_EMIT switchFormRequested(formNumber, 0, 0); });
    };
    navigation(QStringLiteral("&Schedule Monitor"), "scheduleMonitorButton", ScheduleMonitorForm);
    navigation(QStringLiteral("&Job Orders"), "jobOrdersButton", JobOrderForm);
    navigation(QStringLiteral("&Maintenance"), "maintenanceButton", MaintenanceForm);
    navigation(QStringLiteral("Gas L&og"), "gasLogButton", GasForm);

    connect(m_vehicles, &QComboBox::currentIndexChanged, this, &CGasView::onVehicleChosen);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &CGasView::onListSelection);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { commandEdit(); });
    connect(selector(), &QComboBox::currentIndexChanged, this, &CGasView::syncListFromSelector);
    connect(this, &CFormView::commandStateChanged, this, &CGasView::updateListState);
    connect(qApp, &QApplication::focusChanged, this, &CGasView::onFocusChanged);
    applyUnits();
}

CGasView::~CGasView()
{
    for (int i = 0; i < 5; ++i)
        app().settings().setInteger(SettingsSection, QLatin1String(WidthKeys[i]), m_list->columnWidth(i));
}

void CGasView::fillVehicles()
{
    const QSignalBlocker blocker(m_vehicles);
    m_vehicles->clear();
    for (const VehicleList::Item& item : VehicleList::items(app().database(), app().vehicleColumns()))
        m_vehicles->addItem(item.text, item.vehicleId);
    int index = m_vehicles->findData(app().currentVehicle());
    if (index < 0 && m_vehicles->count() > 0)
        index = 0;
    m_vehicles->setCurrentIndex(index);
    const qint32 vehicleId = index < 0 ? 0 : m_vehicles->itemData(index).toInt();
    if (vehicleId != m_shownVehicle)
        showVehicle(vehicleId);
}

void CGasView::showVehicle(qint32 vehicleId)
{
    m_shownVehicle = vehicleId;
    app().setCurrentVehicle(vehicleId);
    QSqlQuery query = app().database().prepare(
        QStringLiteral("SELECT Measurement, HoursInd, EntryOfActualMiles FROM Vehicles WHERE VehicleID = ?"));
    query.addBindValue(vehicleId);
    app().database().exec(query);
    const bool found = query.next();
    m_measurement = found ? query.value(0).toInt() : 0;
    m_hoursInd = found ? query.value(1).toInt() : 0;
    m_vehicleReading = found ? query.value(2).toInt() : 0;
    applyUnits();
}

qint32 CGasView::initialKey()
{
    if (m_shownVehicle == 0 || m_vehicles->count() == 0)
        fillVehicles();
    return 0;
}

void CGasView::onVehicleChosen(int index)
{
    const qint32 vehicleId = index < 0 ? 0 : m_vehicles->itemData(index).toInt();
    if (vehicleId == m_shownVehicle)
        return;
    if (!resolveUnsavedChanges()) {
        const QSignalBlocker blocker(m_vehicles);
        m_vehicles->setCurrentIndex(m_vehicles->findData(m_shownVehicle));
        return;
    }
    try {
        showVehicle(vehicleId);
        fillSelector(0);
        startNewRecord();
    } catch (const CdbException& error) {
        showError(error.description());
    }
}

void CGasView::enter(int a, int b)
{
    if (!m_entered) {
        m_entered = true;
        CRecordForm::enter(a, b);
        return;
    }
    try {
        if (a == CompanyForm) {
            m_station->takeReturned(b);
            return;
        }
        if (hasUnsavedChanges())
            return;
        // The vehicle may have been changed on another form.
        if (app().currentVehicle() != m_shownVehicle) {
            fillVehicles();
            fillSelector(0);
            startNewRecord();
            return;
        }
        CRecordForm::enter(a, b);
    } catch (const CdbException& error) {
        showError(error.description());
    }
}

bool CGasView::canLeave(int targetForm)
{
    if (const std::optional<bool> decision = m_station->leaveCheck(targetForm))
        return *decision;
    return CRecordForm::canLeave(targetForm);
}

void CGasView::refreshLists(int hint)
{
    if (hint == GeneralHint || hint == VehiclesHint || hint == DataRestoredHint) {
        if (!hasUnsavedChanges()) {
            const qint32 before = m_shownVehicle;
            fillVehicles();
            if (before != m_shownVehicle) {
                fillSelector(0);
                startNewRecord();
            }
        }
    }
    if (hint == GeneralHint || hint == CompanyAddedHint || hint == DataRestoredHint)
        m_station->refresh();
}

void CGasView::applyUnits()
{
    m_units = GasUnits::of(m_measurement, m_hoursInd);
    m_readingLabel->setText(m_units.distanceWord);
    m_distanceLabel->setText(m_units.distanceLabel);
    m_costLabel->setText(m_units.costLabel);
    QTreeWidgetItem* header = m_list->headerItem();
    header->setText(0, m_units.distanceWord);
    header->setText(3, m_units.fuelWord + QLatin1Char('s'));
    header->setText(4, m_units.economyHeading);
}

QList<ListEntry> CGasView::selectorEntries()
{
    m_fillUps = FuelEconomy::readFillUps(app().database(), m_shownVehicle);
    const FuelEconomy::Listed listed = FuelEconomy::listEconomy(m_fillUps);
    m_highestReading = listed.highestReading;

    QList<ListEntry> entries;
    QList<QTreeWidgetItem*> items;
    entries.reserve(qsizetype(m_fillUps.size()));
    items.reserve(qsizetype(m_fillUps.size()));
    // Newest reading first.
    for (size_t i = m_fillUps.size(); i-- > 0;) {
        const FuelEconomy::FillUp& entry = m_fillUps[i];
        auto* item = new QTreeWidgetItem({Values::withThousands(entry.reading),
                                          Values::toShownDate(entry.date), money("%.2f", entry.totalCost),
                                          money("%.3f", entry.fuel), money("%.2f", listed.economy[i])});
        item->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
        item->setData(0, Qt::UserRole, entry.gasLogId);
        items.append(item);
        entries.append({QString(), entry.gasLogId});
    }
    {
        const QScopedValueRollback<bool> syncing(m_syncing, true);
        m_list->clear();
        m_list->addTopLevelItems(items);
    }
    const FuelEconomy::LastTen lastTen = FuelEconomy::lastTen(m_fillUps);
    m_chart->setFigures(lastTen.values, listed.overall, lastTen.economy, m_units.economyHeading);
    return entries;
}

void CGasView::syncListFromSelector()
{
    const QScopedValueRollback<bool> syncing(m_syncing, true);
    const int index = selector()->currentIndex();
    m_list->clearSelection();
    if (index < 0 || index >= m_list->topLevelItemCount())
        return;
    QTreeWidgetItem* item = m_list->topLevelItem(index);
    item->setSelected(true);
    m_list->setCurrentItem(item);
    m_list->scrollToItem(item);
}

void CGasView::onListSelection()
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

void CGasView::updateListState()
{
    m_list->setEnabled(!hasUnsavedChanges() && !isNewRecord());
}

bool CGasView::loadRecord(qint32 key)
{
    applyUnits();
    const std::optional<GasRecord> record = GasRecord::load(app().database(), key);
    if (!record)
        return false;
    m_reading->setText(Values::withThousands(record->reading));
    m_date->setText(Values::toShownDate(record->date));
    m_fullTank->setChecked(record->full);
    m_partialTank->setChecked(!record->full);
    m_estimated->setChecked(record->estimated);
    m_description->setText(record->description);
    m_station->show(record->stationId);
    m_amount->setText(money("%.3f", record->amount));
    m_costPerUnit->setText(money("$%.3f", record->costPerUnit));
    m_total->setText(money("$%.2f", record->total));

    m_entryPrevious = 0;
    for (const FuelEconomy::FillUp& entry : m_fillUps)
        if (entry.reading < record->reading)
            m_entryPrevious = entry.reading;
    const qint32 distance = m_entryPrevious > 0 ? record->reading - m_entryPrevious : 0;
    const bool earliest = !m_fillUps.empty() && m_fillUps.front().gasLogId == key;
    m_distance->setText(FuelEconomy::distanceText(distance, earliest));
    resetCalculation();
    return true;
}

void CGasView::clearFields()
{
    applyUnits();
    {
        const QScopedValueRollback<bool> syncing(m_syncing, true);
        m_list->clearSelection();
    }
    m_date->setText(Values::todayShown());
    m_reading->setText(Values::withThousands(m_vehicleReading));
    m_description->clear();
    m_amount->clear();
    m_costPerUnit->clear();
    m_total->clear();
    m_station->show(0);
    m_estimated->setChecked(false);
    m_fullTank->setChecked(true);
    m_partialTank->setChecked(false);
    m_distance->clear();
    resetCalculation();
    // The distance from the highest recorded reading, as if the reading had been typed.
    calculateDistance();
}

void CGasView::modeChanged(Mode mode)
{
    // The reading is edited rather than the distance, except while adding to a vehicle with fill-ups.
    const bool distanceEditable = mode == Mode::AddNew && !m_fillUps.empty();
    m_distance->setReadOnly(!distanceEditable);
    m_distance->setFocusPolicy(distanceEditable ? Qt::StrongFocus : Qt::NoFocus);
    QPalette colours = m_distance->palette();
    colours.setColor(QPalette::Base, palette().color(distanceEditable ? QPalette::Base : QPalette::Window));
    m_distance->setPalette(colours);
    resetCalculation();
    updateListState();
}

QWidget* CGasView::firstField() const
{
    return isNewRecord() && !hasUnsavedChanges() ? static_cast<QWidget*>(m_fullTank) : m_reading;
}

void CGasView::resetCalculation()
{
    m_calculation.reset();
    m_readingChanged = false;
    m_distanceChanged = false;
    std::fill(std::begin(m_moneyChanged), std::end(m_moneyChanged), false);
}

qint32 CGasView::previousReading() const
{
    return isNewRecord() ? m_highestReading : m_entryPrevious;
}

void CGasView::calculateDistance()
{
    const qint32 reading = Values::parseWholeNumber(m_reading->text());
    if (reading < 1 || reading > ReadingEstimate::HighestReading)
        return;
    const qint32 previous = previousReading();
    m_distance->setText(previous < 1 || reading < previous ? QStringLiteral("Undetermined")
                                                           : Values::withThousands(reading - previous));
}

void CGasView::calculateReading()
{
    const qint32 previous = previousReading();
    if (previous < 1) {
        m_distance->setText(QStringLiteral("Undetermined"));
        return;
    }
    const qint32 distance = Values::parseWholeNumber(m_distance->text());
    if (distance >= 1 && distance <= 99999)
        m_reading->setText(Values::withThousands(previous + distance));
}

QLineEdit* CGasView::moneyField(FuelCalculation::Field field) const
{
    return field == FuelCalculation::Amount        ? m_amount
           : field == FuelCalculation::CostPerUnit ? m_costPerUnit
                                                   : m_total;
}

void CGasView::calculateMoney()
{
    std::fill(std::begin(m_moneyChanged), std::end(m_moneyChanged), false);
    const auto text = [this](FuelCalculation::Field field) { return moneyField(field)->text(); };
    const auto askOk = [this](FuelCalculation::Field last) {
        const QString question = last == FuelCalculation::Amount
                                     ? FuelMessages::CalculateAfterAmountQuestion.arg(m_costLabel->text())
                                 : last == FuelCalculation::CostPerUnit
                                     ? FuelMessages::CalculateAfterCostQuestion
                                     : FuelMessages::CalculateAfterTotalQuestion.arg(m_costLabel->text());
        return app().prompter().ask(question, Prompter::Icon::Question, Prompter::Buttons::OkCancel) ==
               Prompter::Answer::Ok;
    };
    const std::optional<FuelCalculation::Result> result = m_calculation.calculate(isNewRecord(), text, askOk);
    if (!result)
        return;
    QLineEdit* field = moneyField(result->field);
    field->setText(result->field == FuelCalculation::Amount        ? money("%.3f", result->value)
                   : result->field == FuelCalculation::CostPerUnit ? money("$%.3f", result->value)
                                                                   : money("$%.2f", result->value));
    if (field->hasFocus())
        field->selectAll();
}

bool CGasView::calculatesOnFocus(QWidget* now) const
{
    // Moving into the station box or the distance, or out of the form, leaves the values as typed.
    return now && hasUnsavedChanges() && isAncestorOf(now) && now != m_distance && now != m_stationBox &&
           !m_stationBox->isAncestorOf(now);
}

void CGasView::onFocusChanged(QWidget* old, QWidget* now)
{
    if (!old || mode() == Mode::Browse)
        return;
    if (old == m_reading && m_readingChanged) {
        m_readingChanged = false;
        calculateDistance();
    } else if (old == m_distance && m_distanceChanged && calculatesOnFocus(now)) {
        m_distanceChanged = false;
        calculateReading();
    } else if ((old == m_amount || old == m_costPerUnit || old == m_total) && calculatesOnFocus(now)) {
        const bool changed = (old == m_amount && m_moneyChanged[FuelCalculation::Amount]) ||
                             (old == m_costPerUnit && m_moneyChanged[FuelCalculation::CostPerUnit]) ||
                             (old == m_total && m_moneyChanged[FuelCalculation::Total]);
        if (changed)
            calculateMoney();
    }
}

void CGasView::runPendingCalculations()
{
    if (m_readingChanged) {
        m_readingChanged = false;
        calculateDistance();
    }
    if (m_distanceChanged) {
        m_distanceChanged = false;
        calculateReading();
    }
    if (m_moneyChanged[FuelCalculation::Amount] || m_moneyChanged[FuelCalculation::CostPerUnit] ||
        m_moneyChanged[FuelCalculation::Total])
        calculateMoney();
}

bool CGasView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (watched == m_list && key->key() == Qt::Key_Delete) {
            commandDelete();
            return true;
        }
        if (enter && watched != m_list && mode() != Mode::Browse) {
            calculateMoney();
            return true;
        }
    }
    return CRecordForm::eventFilter(watched, event);
}

bool CGasView::validateFields()
{
    runPendingCalculations();
    if (!m_station->resolve()) {
        if (isVisible())
            m_stationBox->setFocus(Qt::OtherFocusReason);
        return false;
    }
    GasEntryTexts texts{m_date->text(),   m_reading->text(),     m_distance->text(),
                        m_amount->text(), m_costPerUnit->text(), m_total->text()};
    std::optional<GasChecks::Problem> problem;
    try {
        problem = GasChecks::firstProblem(app().database(), m_shownVehicle, isNewRecord() ? 0 : currentKey(),
                                          texts, m_units, previousReading(), !m_fillUps.empty());
        if (!problem && !ReadingPlausibility::confirmed(
                            app().database(), app().prompter(), app().settings(), m_shownVehicle,
                            {Values::toStoredDate(texts.date), Values::parseWholeNumber(texts.reading)},
                            ReadingPlausibility::Source::Gas, isNewRecord() ? 0 : currentKey()))
            return false;
    } catch (const CdbException& error) {
        showError(error.description());
        return false;
    }
    {
        QuietEdits quiet(*this);
        m_date->setText(texts.date);
    }
    if (!problem)
        return true;
    QWidget* field = nullptr;
    switch (problem->field) {
    case GasChecks::Field::Date:
        field = m_date;
        break;
    case GasChecks::Field::Reading:
        field = m_reading;
        break;
    case GasChecks::Field::Distance:
        field = m_distance;
        break;
    case GasChecks::Field::Amount:
        field = m_amount;
        break;
    case GasChecks::Field::CostPerUnit:
        field = m_costPerUnit;
        break;
    case GasChecks::Field::Total:
        field = m_total;
        break;
    }
    return rejectField(problem->message, field);
}

qint32 CGasView::writeRecord(qint32 key)
{
    GasRecord record;
    record.reading = Values::parseWholeNumber(m_reading->text());
    record.date = Values::toStoredDate(Values::normaliseDate(m_date->text()));
    record.amount = Values::parseAmount(m_amount->text());
    record.costPerUnit = Values::parseAmount(m_costPerUnit->text());
    record.total = Values::parseAmount(m_total->text());
    record.stationId = m_station->companyKey();
    record.description = m_description->text();
    record.full = !m_partialTank->isChecked();
    record.estimated = m_estimated->isChecked();
    Database& db = app().database();
    const qint32 saved = record.save(db, m_shownVehicle, key);
    m_readingMoved = ReadingEstimate::recordIfMoreRecent(db, m_shownVehicle, record.reading, record.date);
    if (m_readingMoved)
        alsoNotify(VehiclesHint);
    return saved;
}

void CGasView::recordSaved(qint32)
{
    if (!m_readingMoved)
        return;
    m_readingMoved = false;
    try {
        showVehicle(m_shownVehicle);
    } catch (const CdbException& error) {
        showError(error.description());
    }
    Settings& settings = app().settings();
    if (settings.integer(QStringLiteral("Messages"), QStringLiteral("m1")) == 0)
        return;
    if (!app().prompter().note(FuelMessages::ReadingMovedNote.arg(m_units.distanceWord, m_units.readingWord)))
        settings.setInteger(QStringLiteral("Messages"), QStringLiteral("m1"), 0);
}

bool CGasView::removeRecord(qint32 key)
{
    if (!app().prompter().yesNoDefaultNo(FuelMessages::DeleteGasEntryQuestion))
        return false;
    GasRecord::remove(app().database(), key);
    return true;
}

void CGasView::extendContextMenu(QMenu& menu)
{
    menu.addSeparator();
    QMenu* reports = menu.addMenu(QStringLiteral("&Reports"));
    const CFormHost* host = CFormHost::of(this);
    const bool offered = host && host->hasForm(ReportForm);
    const std::pair<QString, int> items[] = {
        {QStringLiteral("&Gas Log"), GasLogReport},
        {QStringLiteral("Fuel Efficiency Graph by M&onth"), FuelEfficiencyGraph},
        {QStringLiteral("&Expense Graph"), ExpenseGraph}};
    for (const auto& [text, code] : items)
        reports
            ->addAction(text, this, [this, code = code] { Q_EMIT switchFormRequested(ReportForm, code, 0); })
            ->setEnabled(offered);
}
