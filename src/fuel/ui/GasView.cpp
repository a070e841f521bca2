#include "fuel/ui/GasView.h"

#include "context/AppContext.h"
#include "context/Enums.h"
#include "context/Settings.h"
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
#include "forms/ReadOnlyLook.h"
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
    : CVehicleListForm(app, doc, GasForm,
                       {QStringLiteral("Browse Gas Entry"), QStringLiteral("Edit Gas Entry"),
                        QStringLiteral("Add New Gas Entry")},
                       {{QStringLiteral("Miles"), QStringLiteral("g0"), true},
                        {QStringLiteral("Date"), QStringLiteral("g1")},
                        {QStringLiteral("Cost of Fillup"), QStringLiteral("g2")},
                        {QStringLiteral("Gallons"), QStringLiteral("g3")},
                        {QStringLiteral("MPG"), QStringLiteral("g4")}},
                       parent)
{
    // The list takes the height the window has to spare; the chart keeps its size at the top beside it.
    entryList()->setMinimumHeight(CFuelChart::ChartHeight + 40);
    m_chart = new CFuelChart(this);
    listRow()->addWidget(m_chart, 0, Qt::AlignTop);

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
    m_stationBox = addStationField(QStringLiteral("Gas Station"), QStringLiteral("gasStation"), GasLogCaller,
                                   row + 2, 1);
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

    addNavigationButtons();
    connect(qApp, &QApplication::focusChanged, this, &CGasView::onFocusChanged);
    applyUnits();
}

void CGasView::vehicleChanged(qint32 vehicleId)
{
    readVehicle(vehicleId);
}

void CGasView::readVehicle(qint32 vehicleId)
{
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

void CGasView::showVehicleEntries()
{
    // Another vehicle's fill-ups start with a new entry for it.
    fillSelector(0);
    startNewRecord();
}

void CGasView::applyUnits()
{
    m_units = GasUnits::of(m_measurement, m_hoursInd);
    m_readingLabel->setText(m_units.distanceWord);
    m_distanceLabel->setText(m_units.distanceLabel);
    m_costLabel->setText(m_units.costLabel);
    setListColumnTitle(0, m_units.distanceWord);
    setListColumnTitle(3, m_units.fuelWord + QLatin1Char('s'));
    setListColumnTitle(4, m_units.economyHeading);
}

QList<CVehicleListForm::ListRow> CGasView::listRows(qint32 vehicleId)
{
    m_fillUps = FuelEconomy::readFillUps(app().database(), vehicleId);
    const FuelEconomy::Listed listed = FuelEconomy::listEconomy(m_fillUps);
    m_highestReading = listed.highestReading;
    QList<ListRow> rows;
    rows.reserve(qsizetype(m_fillUps.size()));
    // Newest reading first.
    for (size_t i = m_fillUps.size(); i-- > 0;) {
        const FuelEconomy::FillUp& entry = m_fillUps[i];
        rows.append(
            {entry.gasLogId,
             {Values::withThousands(entry.reading), Values::toShownDate(entry.date),
              money("%.2f", entry.totalCost), money("%.3f", entry.fuel), money("%.2f", listed.economy[i])}});
    }
    const FuelEconomy::LastTen lastTen = FuelEconomy::lastTen(m_fillUps);
    m_chart->setFigures(lastTen.values, listed.overall, lastTen.economy, m_units.economyHeading);
    return rows;
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
    station()->show(record->stationId);
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
    m_date->setText(Values::todayShown());
    m_reading->setText(Values::withThousands(m_vehicleReading));
    m_description->clear();
    m_amount->clear();
    m_costPerUnit->clear();
    m_total->clear();
    station()->show(0);
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
    showAsReadOnly(m_distance, !distanceEditable);
    m_distance->setFocusPolicy(distanceEditable ? Qt::StrongFocus : Qt::NoFocus);
    resetCalculation();
    CVehicleListForm::modeChanged(mode);
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
        if (enter && watched != entryList() && mode() != Mode::Browse) {
            calculateMoney();
            return true;
        }
    }
    return CVehicleListForm::eventFilter(watched, event);
}

bool CGasView::validateFields()
{
    runPendingCalculations();
    if (!resolveCompany())
        return false;
    GasEntryTexts texts{m_date->text(),   m_reading->text(),     m_distance->text(),
                        m_amount->text(), m_costPerUnit->text(), m_total->text()};
    std::optional<GasChecks::Problem> problem;
    try {
        problem = GasChecks::firstProblem(app().database(), vehicleId(), isNewRecord() ? 0 : currentKey(),
                                          texts, m_units, previousReading(), !m_fillUps.empty());
        if (!problem && !ReadingPlausibility::confirmed(
                            app().database(), app().prompter(), app().settings(), vehicleId(),
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
    record.stationId = station()->companyKey();
    record.description = m_description->text();
    record.full = !m_partialTank->isChecked();
    record.estimated = m_estimated->isChecked();
    Database& db = app().database();
    const qint32 saved = record.save(db, vehicleId(), key);
    m_readingMoved = ReadingEstimate::recordIfMoreRecent(db, vehicleId(), record.reading, record.date);
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
        readVehicle(vehicleId());
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
