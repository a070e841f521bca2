#include "maintenance/ui/MaintenanceView.h"

#include "context/AppContext.h"
#include "context/Enums.h"
#include "context/Settings.h"
#include "db/Clock.h"
#include "db/Database.h"
#include "db/DbException.h"
#include "db/Messages.h"
#include "db/Prompter.h"
#include "db/Values.h"
#include "fleet/CompanyRecord.h"
#include "fleet/ReadingPlausibility.h"
#include "forms/DateField.h"
#include "forms/ReadOnlyLook.h"
#include "forms/TypedCompany.h"
#include "maintenance/JobOrderRecord.h"
#include "maintenance/MaintenanceMessages.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlQuery>

namespace {

constexpr int MaintenanceLogReport = 1;
constexpr int ExpenseGraphReport = 7;
const QString MessagesSection = QStringLiteral("Messages");

} // namespace

CMaintenanceView::CMaintenanceView(CAppContext& app, CVelDoc& doc, QWidget* parent)
    : CVehicleEntryForm(app, doc, MaintenanceForm,
                        {QStringLiteral("Browse Maintenance Entry"), QStringLiteral("Edit Maintenance Entry"),
                         QStringLiteral("Add New Maintenance Entry")},
                        {{QStringLiteral("Miles"), QStringLiteral("h0"), true},
                         {QStringLiteral("Date"), QStringLiteral("h1"), false, QStringLiteral("00/00/0000 ")},
                         {QStringLiteral("Brief Description"), QStringLiteral("h2")},
                         {QStringLiteral("Services List"), QStringLiteral("h3")}},
                        parent)
{
    const int row = FirstFieldRow;
    m_reading = addLineField(m_unitLabel, QStringLiteral("reading"), 9, row, 0);
    for (QLabel* label : findChildren<QLabel*>())
        if (label->buddy() == m_reading)
            m_readingLabel = label;
    m_date = new CDateField(this);
    m_date->setObjectName(QStringLiteral("date"));
    m_date->setMaxLength(10);
    addField(QStringLiteral("Date"), m_date, row, 1);
    addStationField(QStringLiteral("Service Station"), QStringLiteral("serviceStation"), MaintenanceCaller,
                    row + 1, 0);

    // The job order box while adding, the read-only JCN otherwise, in one place.
    auto* jobOrderPlace = new QWidget(this);
    auto* jobOrderLayout = new QHBoxLayout(jobOrderPlace);
    jobOrderLayout->setContentsMargins(0, 0, 0, 0);
    m_jobOrders = new QComboBox(jobOrderPlace);
    m_jobOrders->setObjectName(QStringLiteral("jobOrder"));
    m_jobOrders->setMinimumContentsLength(20);
    m_jobOrders->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_jcn = new QLineEdit(jobOrderPlace);
    m_jcn->setObjectName(QStringLiteral("jcn"));
    showAsReadOnly(m_jcn, true);
    m_jcn->setFocusPolicy(Qt::ClickFocus);
    m_jcn->setMinimumWidth(m_jcn->fontMetrics().horizontalAdvance(QString(22, QLatin1Char('X'))));
    jobOrderLayout->addWidget(m_jobOrders);
    jobOrderLayout->addWidget(m_jcn);
    auto* jcnLabel = new QLabel(QStringLiteral("JCN"), this);
    jcnLabel->setContentsMargins(14, 0, 0, 0);
    fieldGrid()->addWidget(jcnLabel, row + 1, 2);
    fieldGrid()->addWidget(jobOrderPlace, row + 1, 3, Qt::AlignLeft);
    registerField(m_jobOrders);
    connect(m_jobOrders, &QComboBox::currentIndexChanged, this, &CMaintenanceView::onJobOrderChosen);

    addServicesField(row + 2);
    m_description =
        addLineField(QStringLiteral("Brief Description"), QStringLiteral("description"), 50, row + 3, 0, 2);
    m_totalPrice = addLineField(QStringLiteral("Total Price"), QStringLiteral("totalPrice"), 16, row + 4, 0);
    m_comments = addMemoField(QStringLiteral("Comments"), QStringLiteral("comments"), row + 5, 0);
    m_comments->setMaximumHeight(m_comments->fontMetrics().lineSpacing() * 5 + 8);
    addNavigationButtons();
    showJobOrderBox(false);
}

void CMaintenanceView::enter(int a, int b)
{
    CVehicleEntryForm::enter(a, b);
    if (a == JobOrderForm && b > 0)
        startFromJobOrder(b);
}

QWidget* CMaintenanceView::firstField() const
{
    return m_reading;
}

QLineEdit* CMaintenanceView::descriptionField() const
{
    return m_description;
}

QList<CVehicleEntryForm::ListRow> CMaintenanceView::listRows(qint32 vehicleId)
{
    QList<ListRow> rows;
    if (vehicleId == 0)
        return rows;
    for (const MaintenanceListRow& entry : MaintenanceEntries::list(app().database(), vehicleId))
        rows.append({entry.maintId, {entry.reading, entry.date, entry.description, entry.services}});
    return rows;
}

void CMaintenanceView::vehicleChanged(qint32 vehicleId)
{
    int measurement = 0;
    int hours = 0;
    QSqlQuery query = app().database().prepare(
        QStringLiteral("SELECT Measurement, HoursInd FROM Vehicles WHERE VehicleID = ?"));
    query.addBindValue(vehicleId);
    app().database().exec(query);
    if (query.next()) {
        measurement = query.value(0).toInt();
        hours = query.value(1).toInt();
    }
    m_unitLabel = hours != 0 ? QStringLiteral("Hours")
                             : (measurement != 0 ? QStringLiteral("Kilometers") : QStringLiteral("Mileage"));
    m_readingName = Values::readingLabel(measurement, hours);
    if (m_readingLabel)
        m_readingLabel->setText(m_unitLabel);
    setListColumnTitle(0, m_unitLabel);
}

void CMaintenanceView::showJobOrderBox(bool shown)
{
    m_jobOrders->setVisible(shown);
    m_jcn->setVisible(!shown);
}

bool CMaintenanceView::loadRecord(qint32 key)
{
    const std::optional<MaintenanceRecord> entry = MaintenanceRecord::load(app().database(), key);
    m_prefill = Prefill::None;
    if (!entry)
        return false;
    m_reading->setText(Values::withThousands(entry->reading));
    m_date->setText(Values::toShownDate(entry->date));
    station()->show(entry->stationId);
    showServices(entry->services);
    m_description->setText(entry->description);
    m_totalPrice->setText(Values::withThousands(Values::formatMoney(entry->totalPrice)));
    m_comments->setPlainText(entry->memo);
    const std::optional<JobOrderRecord> order =
        entry->jobOrderId > 0 ? JobOrderRecord::load(app().database(), entry->jobOrderId) : std::nullopt;
    m_jcn->setText(order ? order->jcn : QString());
    showJobOrderBox(false);
    return true;
}

void CMaintenanceView::clearFields()
{
    m_prefill = Prefill::None;
    m_prefillJobOrder = 0;
    qint32 reading = 0;
    if (vehicleId() != 0)
        reading = app()
                      .database()
                      .scalar(QStringLiteral("SELECT EntryOfActualMiles FROM Vehicles WHERE VehicleID = %1")
                                  .arg(vehicleId()))
                      .toInt();
    m_reading->setText(Values::withThousands(reading));
    m_date->setText(Values::todayShown());
    station()->show(0);
    showServices({});
    m_description->clear();
    m_totalPrice->setText(Values::formatMoney(0.0));
    m_comments->clear();
    m_jcn->clear();
    m_fillingJobOrders = true;
    m_jobOrders->clear();
    m_jobOrders->addItem(QString(), 0);
    if (vehicleId() != 0)
        for (const JobOrders::OpenJobOrder& order : JobOrders::openOf(app().database(), vehicleId()))
            m_jobOrders->addItem(order.jcn, order.jobOrderId);
    m_jobOrders->setCurrentIndex(0);
    m_fillingJobOrders = false;
    showJobOrderBox(true);
}

void CMaintenanceView::modeChanged(Mode mode)
{
    CVehicleEntryForm::modeChanged(mode);
    if (mode != Mode::AddNew)
        showJobOrderBox(false);
}

void CMaintenanceView::onJobOrderChosen(int index)
{
    if (m_fillingJobOrders || mode() != Mode::AddNew)
        return;
    if (index > 0) {
        startFromJobOrder(m_jobOrders->itemData(index).toInt(), true);
        return;
    }
    // The blank entry: the new entry is made from no job order, so saving it must complete none.
    m_prefill = Prefill::None;
    m_prefillJobOrder = 0;
}

void CMaintenanceView::startFromJobOrder(qint32 jobOrderId, bool fromList)
{
    try {
        const std::optional<JobOrderRecord> order = JobOrderRecord::load(app().database(), jobOrderId);
        if (!order)
            return;
        if (!fromList) {
            if (!resolveUnsavedChanges())
                return;
            showVehicle(order->vehicleId);
            startNewRecord();
        }
        QuietEdits quiet(*this);
        m_reading->setText(Values::withThousands(
            app()
                .database()
                .scalar(QStringLiteral("SELECT EntryOfActualMiles FROM Vehicles WHERE VehicleID = %1")
                            .arg(vehicleId()))
                .toInt()));
        m_date->setText(Values::todayShown());
        m_description->setText(order->description);
        m_comments->clear();
        m_totalPrice->setText(Values::formatMoney(0.0));
        station()->show(order->stationId);
        showServices(order->services);
        if (!fromList) {
            m_jcn->setText(order->jcn);
            showJobOrderBox(false);
        }
    } catch (const CdbException& error) {
        showError(error.description());
        return;
    }
    m_prefill = Prefill::JobOrder;
    m_prefillJobOrder = jobOrderId;
    markChanged();
    if (!fromList)
        m_totalPrice->setFocus(Qt::OtherFocusReason);
}

void CMaintenanceView::startFromSchedule(const QList<qint32>& scheduleIds)
{
    if (!CVehicleEntryForm::startFromSchedule(scheduleIds))
        return;
    m_prefill = Prefill::Schedule;
    m_reading->setFocus(Qt::OtherFocusReason);
}

bool CMaintenanceView::validateFields()
{
    if (!resolveCompany())
        return false;
    const qint32 reading = Values::parseWholeNumber(m_reading->text());
    if (reading <= 0 || reading >= Values::ParseError)
        return rejectField(Values::fieldMessage(Messages::ReadingOutOfRange, m_unitLabel), m_reading);
    const QString date = Values::normaliseDate(m_date->text().trimmed());
    if (date.isEmpty())
        return rejectField(Messages::DateInvalid, m_date);
    m_date->setText(date);
    if (QDateTime(QDate::fromString(date, QStringLiteral("MM/dd/yyyy")), QTime(0, 0)) > Clock::now())
        return rejectField(Messages::FutureDate, m_date);
    const double price = Values::parseAmount(m_totalPrice->text());
    if (price >= Values::AmountParseError || price < 0)
        return rejectField(MaintenanceMessages::TotalPriceOutOfRange, m_totalPrice);
    try {
        const std::optional<QString> conflict =
            MaintenanceEntries::chronologyProblem(app().database(), vehicleId(), Values::toStoredDate(date),
                                                  reading, isNewRecord() ? 0 : currentKey(), m_unitLabel);
        if (conflict)
            return rejectField(*conflict, m_date);
        if (!ReadingPlausibility::confirmed(app().database(), app().prompter(), app().settings(), vehicleId(),
                                            {Values::toStoredDate(date), reading},
                                            ReadingPlausibility::Source::Maintenance,
                                            isNewRecord() ? 0 : currentKey()))
            return false;
        // The follow-up question is asked now, so that the save itself runs without stopping.
        m_leftOver = MaintenanceEntries::LeftOver::MarkNotPerformed;
        if (m_prefill == Prefill::JobOrder &&
            !MaintenanceEntries::leftOverServices(app().database(), m_prefillJobOrder, services())
                 .isEmpty() &&
            app().prompter().yesNo(MaintenanceMessages::NewJobOrderQuestion))
            m_leftOver = MaintenanceEntries::LeftOver::NewJobOrder;
    } catch (const CdbException& error) {
        showError(error.description());
        return false;
    }
    return true;
}

qint32 CMaintenanceView::writeRecord(qint32 key)
{
    MaintenanceRecord entry;
    if (key != 0)
        if (const std::optional<MaintenanceRecord> stored = MaintenanceRecord::load(app().database(), key))
            entry.jobOrderId = stored->jobOrderId;
    entry.vehicleId = vehicleId();
    entry.reading = Values::parseWholeNumber(m_reading->text());
    entry.date = Values::toStoredDate(m_date->text());
    entry.stationId = station()->companyKey();
    entry.description = m_description->text();
    entry.memo = m_comments->toPlainText();
    entry.totalPrice = Values::parseAmount(m_totalPrice->text());
    entry.services = services();
    const qint32 followUp = m_prefill == Prefill::JobOrder ? m_prefillJobOrder : 0;
    if (followUp != 0)
        entry.jobOrderId = followUp;
    m_saved = MaintenanceEntries::save(app().database(), key, entry, followUp, m_leftOver);
    m_prefill = Prefill::None;
    return m_saved.maintId;
}

void CMaintenanceView::recordSaved(qint32)
{
    const MaintenanceEntries::Saved saved = std::exchange(m_saved, {});
    Settings& settings = app().settings();
    if (saved.readingMoved && settings.integer(MessagesSection, QStringLiteral("m1")) != 0 &&
        !app().prompter().note(MaintenanceMessages::ReadingMoved.arg(m_unitLabel, m_readingName)))
        settings.setInteger(MessagesSection, QStringLiteral("m1"), 0);
    if (!saved.newJcn.isEmpty())
        app().prompter().information(MaintenanceMessages::NewJobOrderCreated.arg(saved.newJcn));
}

bool CMaintenanceView::removeRecord(qint32 key)
{
    if (!app().prompter().yesNoDefaultNo(MaintenanceMessages::DeleteMaintenanceQuestion))
        return false;
    MaintenanceEntries::remove(app().database(), key);
    return true;
}

void CMaintenanceView::extendContextMenu(QMenu& menu)
{
    menu.addSeparator();
    QMenu* reports = menu.addMenu(QStringLiteral("&Reports"));
    reports->addAction(QStringLiteral("&Maintenance Log"), this,
                       [this] { Q_EMIT switchFormRequested(ReportForm, MaintenanceLogReport, 0); });
    reports->addAction(QStringLiteral("&Expense Graph"), this,
                       [this] { Q_EMIT switchFormRequested(ReportForm, ExpenseGraphReport, 0); });
}
