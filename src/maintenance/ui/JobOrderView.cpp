#include "maintenance/ui/JobOrderView.h"

#include "context/Enums.h"
#include "context/Settings.h"
#include "context/AppContext.h"
#include "db/DbException.h"
#include "db/Messages.h"
#include "db/Prompter.h"
#include "db/Values.h"
#include "fleet/CompanyRecord.h"
#include "forms/DateField.h"
#include "forms/TypedCompany.h"
#include "maintenance/JobOrderRecord.h"
#include "maintenance/MaintenanceMessages.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

constexpr int JobOrdersReport = 8;

} // namespace

CJobOrderView::CJobOrderView(CAppContext& app, CVelDoc& doc, QWidget* parent)
    : CVehicleEntryForm(app, doc, JobOrderForm,
                        {QStringLiteral("Browse Job Order"), QStringLiteral("Edit Job Order"),
                         QStringLiteral("Add New Job Order")},
                        {{QStringLiteral("Date"), QStringLiteral("j0"), false, QStringLiteral("00/00/0000 ")},
                         {QStringLiteral("JCN"), QStringLiteral("j1")},
                         {QStringLiteral("Brief Description"), QStringLiteral("j2")},
                         {QStringLiteral("Services List"), QStringLiteral("j3")}},
                        parent)
{
    const int row = FirstFieldRow;
    m_jcn = addLineField(QStringLiteral("Job Control No."), QStringLiteral("jcn"), JobOrderRecord::JcnLength,
                         row, 0);
    m_date = new CDateField(this);
    m_date->setObjectName(QStringLiteral("date"));
    m_date->setMaxLength(10);
    addField(QStringLiteral("Date"), m_date, row, 1);
    addStationField(QStringLiteral("Service Station"), QStringLiteral("serviceStation"), JobOrderCaller, row + 1,
                    0);
    addServicesField(row + 2);
    m_description = addLineField(QStringLiteral("Brief Description"), QStringLiteral("description"),
                                 JobOrderRecord::DescriptionLength, row + 3, 0, 2);
    m_comments = addMemoField(QStringLiteral("Comments"), QStringLiteral("comments"), row + 4, 0);
    m_comments->setMaximumHeight(m_comments->fontMetrics().lineSpacing() * 5 + 8);

    m_filterButton = addCommandButton(QStringLiteral("Filter"), QStringLiteral("filterButton"));
    QPushButton* print = addCommandButton(QStringLiteral("Print &Job Order"), QStringLiteral("printButton"));
    QPushButton* perform =
        addCommandButton(QStringLiteral("&Perform Maintenance"), QStringLiteral("performMaintenanceButton"));
    addNavigationButtons();
    connect(m_filterButton, &QPushButton::clicked, this, &CJobOrderView::showFilterMenu);
    connect(print, &QPushButton::clicked, this, &CJobOrderView::commandPrint);
    connect(perform, &QPushButton::clicked, this, &CJobOrderView::commandPerformMaintenance);
}

QWidget* CJobOrderView::firstField() const
{
    return m_jcn;
}

QLineEdit* CJobOrderView::descriptionField() const
{
    return m_description;
}

QList<CVehicleEntryForm::ListRow> CJobOrderView::listRows(qint32 vehicleId)
{
    QList<ListRow> rows;
    if (vehicleId == 0)
        return rows;
    for (const JobOrderListRow& order : JobOrders::list(app().database(), vehicleId, m_openOnly))
        rows.append(
            {order.jobOrderId, {order.date, order.jcn, order.description, order.services}, !order.open});
    return rows;
}

bool CJobOrderView::loadRecord(qint32 key)
{
    const std::optional<JobOrderRecord> order = JobOrderRecord::load(app().database(), key);
    if (!order)
        return false;
    m_jcn->setText(order->jcn);
    m_date->setText(Values::toShownDate(order->date));
    station()->show(order->stationId);
    showServices(order->services);
    m_description->setText(order->description);
    m_comments->setPlainText(order->memo);
    return true;
}

void CJobOrderView::clearFields()
{
    m_jcn->clear();
    m_date->setText(Values::todayShown());
    station()->show(0);
    showServices({});
    m_description->clear();
    m_comments->clear();
}

bool CJobOrderView::validateFields()
{
    if (!resolveCompany())
        return false;
    try {
        const QString jcn = m_jcn->text();
        if (!jcn.isEmpty() &&
            JobOrders::jcnUsedElsewhere(app().database(), jcn, isNewRecord() ? 0 : currentKey()) &&
            !app().prompter().yesNo(MaintenanceMessages::DuplicateJcnQuestion)) {
            m_jcn->setFocus(Qt::OtherFocusReason);
            return false;
        }
    } catch (const CdbException& error) {
        showError(error.description());
        return false;
    }
    const QString date = Values::normaliseDate(m_date->text().trimmed());
    if (date.isEmpty())
        return rejectField(Messages::DateInvalid, m_date);
    m_date->setText(date);
    return true;
}

qint32 CJobOrderView::writeRecord(qint32 key)
{
    JobOrderRecord order;
    order.vehicleId = vehicleId();
    order.stationId = station()->companyKey();
    order.jcn = m_jcn->text();
    order.date = Values::toStoredDate(m_date->text());
    order.description = m_description->text();
    order.memo = m_comments->toPlainText();
    order.services = services();
    return order.save(app().database(), key);
}

bool CJobOrderView::removeRecord(qint32 key)
{
    Prompter& prompter = app().prompter();
    if (!prompter.yesNoDefaultNo(MaintenanceMessages::DeleteJobOrderQuestion))
        return false;
    if (JobOrders::tiedMaintenance(app().database(), key) != 0 &&
        !prompter.yesNoDefaultNo(MaintenanceMessages::JobOrderTiedQuestion))
        return false;
    JobOrders::remove(app().database(), key);
    return true;
}

bool CJobOrderView::selectedIsOpen() const
{
    if (isNewRecord() || currentKey() == 0)
        return true;
    try {
        const std::optional<JobOrderRecord> order =
            JobOrderRecord::load(const_cast<CJobOrderView*>(this)->app().database(), currentKey());
        return !order || order->open;
    } catch (const CdbException&) {
        return true;
    }
}

void CJobOrderView::commandEdit()
{
    if (isNewRecord())
        return;
    if (!selectedIsOpen()) {
        app().prompter().message(MaintenanceMessages::CompletedJobOrderEdit, Prompter::Icon::Exclamation);
        return;
    }
    CVehicleEntryForm::commandEdit();
}

void CJobOrderView::commandPerformMaintenance()
{
    if (hasUnsavedChanges() && !save(SaveKind::Plain))
        return;
    if (isNewRecord() || currentKey() == 0)
        return;
    if (!selectedIsOpen()) {
        app().prompter().message(MaintenanceMessages::JobOrderAlreadyPerformed, Prompter::Icon::Exclamation);
        return;
    }
    Q_EMIT switchFormRequested(MaintenanceForm, JobOrderForm, currentKey());
}

void CJobOrderView::commandPrint()
{
    if (hasUnsavedChanges() && !save(SaveKind::Plain))
        return;
    Settings& settings = app().settings();
    if (settings.integer(QStringLiteral("Messages"), QStringLiteral("j1")) != 0 &&
        !app().prompter().note(MaintenanceMessages::JobOrderPrintNote))
        settings.setInteger(QStringLiteral("Messages"), QStringLiteral("j1"), 0);
    Q_EMIT switchFormRequested(ReportForm, JobOrdersReport, isNewRecord() ? 0 : currentKey());
}

void CJobOrderView::setOpenOnly(bool openOnly)
{
    if (openOnly == m_openOnly)
        return;
    m_openOnly = openOnly;
    try {
        const qint32 kept = currentKey();
        fillSelector(kept);
        if (!hasUnsavedChanges() && !isNewRecord() && selectedKey() != kept)
            loadSelected();
    } catch (const CdbException& error) {
        showError(error.description());
    }
}

void CJobOrderView::showFilterMenu()
{
    QMenu menu(this);
    QMenu* filter = menu.addMenu(QStringLiteral("&Filter"));
    QAction* all =
        filter->addAction(QStringLiteral("Show All Job Orders"), this, [this] { setOpenOnly(false); });
    QAction* open =
        filter->addAction(QStringLiteral("Show Job Orders Still Open"), this, [this] { setOpenOnly(true); });
    all->setCheckable(true);
    open->setCheckable(true);
    all->setChecked(!m_openOnly);
    open->setChecked(m_openOnly);
    filter->exec(m_filterButton->mapToGlobal(QPoint(0, m_filterButton->height())));
}

void CJobOrderView::extendContextMenu(QMenu& menu)
{
    menu.addSeparator();
    menu.addAction(QStringLiteral("&Perform Maintenance"), this, &CJobOrderView::commandPerformMaintenance);
    QMenu* reports = menu.addMenu(QStringLiteral("&Reports"));
    reports->addAction(QStringLiteral("&Job Orders"), this,
                       [this] { Q_EMIT switchFormRequested(ReportForm, JobOrdersReport, 0); });
}
