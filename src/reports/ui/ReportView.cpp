#include "reports/ui/ReportView.h"

#include "context/AppContext.h"
#include "context/Enums.h"
#include "db/Clock.h"
#include "db/DbException.h"
#include "db/Messages.h"
#include "db/Prompter.h"
#include "db/Values.h"
#include "fleet/ContactOperations.h"
#include "fleet/VehicleList.h"
#include "forms/DateField.h"
#include "forms/FormHost.h"
#include "forms/FormLayout.h"
#include "maintenance/ui/SelectJobOrdersDialog.h"
#include "reports/JobOrderFilter.h"
#include "reports/ReportCatalogue.h"
#include "reports/ReportCommand.h"
#include "reports/ReportDates.h"
#include "reports/ReportJob.h"
#include "reports/ReportMessages.h"
#include "reports/ui/PainterCanvas.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QSqlQuery>
#include <QVBoxLayout>

namespace {

const QString SettingsSection = QStringLiteral("Settings");
const char* const CompanyLineNames[4] = {"Info1", "Info2", "Info3", "Info4"};

QPushButton* button(const QString& text, const char* name, QWidget* parent)
{
    auto* result = new QPushButton(text, parent);
    result->setObjectName(QLatin1String(name));
    return result;
}

} // namespace

CReportView::CReportView(CAppContext& app, CVelDoc& doc, QWidget* parent)
    : CFormView(app, doc, ReportForm, parent)
{
    setObjectName(QStringLiteral("reportView"));
    // The title, the choices beside the company lines, and the commands at the bottom, as on the record
    // forms: Home at the bottom right.
    auto* outer = new QVBoxLayout(this);
    FormLayout::setFormMargins(outer, this);
    auto* title = new QLabel(QStringLiteral("Reports"), this);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    title->setFont(titleFont);
    outer->addWidget(title);

    auto* choices = new QFormLayout;
    // Each choice as wide as its entries: a date is no wider than a date.
    choices->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    m_reports = new QComboBox(this);
    m_reports->setObjectName(QStringLiteral("reportList"));
    for (const ReportCatalogue::Entry& entry : ReportCatalogue::offered())
        m_reports->addItem(entry.name, entry.code);
    choices->addRow(QStringLiteral("&Reports"), m_reports);
    m_owners = new QComboBox(this);
    m_owners->setObjectName(QStringLiteral("ownerList"));
    choices->addRow(QStringLiteral("&Owner"), m_owners);
    m_vehicles = new QComboBox(this);
    m_vehicles->setObjectName(QStringLiteral("vehicleList"));
    choices->addRow(QStringLiteral("&Vehicle"), m_vehicles);
    m_ranges = new QComboBox(this);
    m_ranges->setObjectName(QStringLiteral("dateRangeList"));
    m_ranges->addItems({QStringLiteral("All Dates"), QStringLiteral("This Month"),
                        QStringLiteral("This Quarter"), QStringLiteral("This Year")});
    choices->addRow(QStringLiteral("&Date Ranges"), m_ranges);
    m_begin = new CDateField(this);
    m_begin->setObjectName(QStringLiteral("beginDate"));
    choices->addRow(QStringLiteral("&Begin Date"), m_begin);
    m_end = new CDateField(this);
    m_end->setObjectName(QStringLiteral("endDate"));
    choices->addRow(QStringLiteral("&End Date"), m_end);
    m_selectJobOrders = button(QStringLiteral("Select &Job Orders"), "selectJobOrdersButton", this);
    choices->addRow(QString(), m_selectJobOrders);
    auto* choicesRow = new QHBoxLayout;
    choicesRow->setSpacing(2 * FormLayout::horizontalSpacing(this));
    choicesRow->addLayout(choices);

    auto* companyBox = new QGroupBox(this);
    auto* companyLayout = new QVBoxLayout(companyBox);
    m_companyInfo = new QCheckBox(QStringLiteral("Include &Company Information on Reports"), companyBox);
    m_companyInfo->setObjectName(QStringLiteral("companyInfoCheck"));
    companyLayout->addWidget(m_companyInfo);
    for (int i = 0; i < 4; ++i) {
        m_companyLines[i] = new QLineEdit(companyBox);
        m_companyLines[i]->setObjectName(QStringLiteral("companyLine%1").arg(i + 1));
        companyLayout->addWidget(m_companyLines[i]);
    }
    choicesRow->addWidget(companyBox, 1, Qt::AlignTop);
    outer->addLayout(choicesRow);
    m_colourGraphs = new QCheckBox(QStringLiteral("Print Colo&r Graphs"), this);
    m_colourGraphs->setObjectName(QStringLiteral("colorGraphsCheck"));
    outer->addWidget(m_colourGraphs);

    // The rows of choices stay together at the top; the room left over stays below them.
    outer->addStretch(1);
    auto* buttons = FormLayout::buttonRow(this);
    auto* printButton = button(QStringLiteral("&Print"), "printButton", this);
    auto* previewButton = button(QStringLiteral("Print Previe&w"), "previewButton", this);
    auto* pdfButton = button(QStringLiteral("E&xport PDF..."), "exportPdfButton", this);
    buttons->addWidget(printButton);
    buttons->addWidget(previewButton);
    buttons->addWidget(pdfButton);
    buttons->addStretch();
    auto* home = button(QStringLiteral("Home"), "homeButton", this);
    connect(home, &QPushButton::clicked, this, &CReportView::commandHome);
    buttons->addWidget(home);
    for (QPushButton* each : {printButton, previewButton, pdfButton, home, m_selectJobOrders})
        FormLayout::keepNaturalWidth(each);
    outer->addLayout(buttons);

    connect(printButton, &QPushButton::clicked, this, &CReportView::print);
    connect(previewButton, &QPushButton::clicked, this, &CReportView::preview);
    connect(pdfButton, &QPushButton::clicked, this, &CReportView::exportPdf);
    connect(m_selectJobOrders, &QPushButton::clicked, this, &CReportView::selectJobOrders);
    connect(m_reports, &QComboBox::activated, this, [this] { applyReportRule(); });
    connect(m_owners, &QComboBox::activated, this, [this] { fillVehicles(); });
    connect(m_ranges, &QComboBox::activated, this, [this](int index) { applyPreset(index); });
    connect(m_companyInfo, &QCheckBox::toggled, this, [this](bool on) {
        for (QLineEdit* line : m_companyLines)
            line->setEnabled(on);
    });

    loadSettings();
    fillOwners();
    applyReportRule();
}

CReportView::~CReportView()
{
    saveSettings();
}

void CReportView::loadSettings()
{
    Settings& settings = app().settings();
    for (int i = 0; i < 4; ++i)
        m_companyLines[i]->setText(settings.text(SettingsSection, QLatin1String(CompanyLineNames[i])));
    m_companyInfo->setChecked(settings.integer(SettingsSection, QStringLiteral("InfoInd")) != 0);
    for (QLineEdit* line : m_companyLines)
        line->setEnabled(m_companyInfo->isChecked());
    m_colourGraphs->setChecked(settings.integer(SettingsSection, QStringLiteral("ColorGraphInd")) != 0);
}

void CReportView::saveSettings()
{
    Settings& settings = app().settings();
    settings.setInteger(SettingsSection, QStringLiteral("InfoInd"), m_companyInfo->isChecked() ? 1 : 0);
    for (int i = 0; i < 4; ++i)
        settings.setText(SettingsSection, QLatin1String(CompanyLineNames[i]), m_companyLines[i]->text());
    settings.setInteger(SettingsSection, QStringLiteral("ColorGraphInd"),
                        m_colourGraphs->isChecked() ? 1 : 0);
    settings.sync();
}

void CReportView::enter(int a, int b)
{
    selectReport(a, b);
}

void CReportView::onDocumentUpdate(int hint)
{
    if (hint == GeneralHint || hint == OwnersHint || hint == VehiclesHint || hint == DataRestoredHint)
        fillOwners();
}

void CReportView::commandHome()
{
    Q_EMIT switchFormRequested(HomeForm, 0, 0);
}

void CReportView::selectReport(int code, qint32 jobOrderId)
{
    const int index = m_reports->findData(code);
    if (index >= 0)
        m_reports->setCurrentIndex(index);
    m_restriction.clear();
    if (code == ReportCatalogue::JobOrders && jobOrderId > 0)
        m_restriction = JobOrderFilter::singleJobOrder(jobOrderId);
    applyReportRule();
}

int CReportView::reportCode() const
{
    return m_reports->currentData().toInt();
}

void CReportView::applyReportRule()
{
    const bool jobOrders = reportCode() == ReportCatalogue::JobOrders;
    m_selectJobOrders->setVisible(jobOrders);
    if (jobOrders && !JobOrderFilter::isSingleJobOrder(m_restriction))
        m_restriction.clear();
}

void CReportView::fillOwners()
{
    const qint32 owner = m_owners->currentData().toInt();
    m_owners->clear();
    m_owners->addItem(QStringLiteral("** All Owners **"), 0);
    try {
        QSqlQuery query = app().database().prepare(QStringLiteral(
            "SELECT OwnerID, CompanyName, LocationID, LastName, FirstName FROM Owners LEFT JOIN ContactInfo "
            "ON Owners.ContactID = ContactInfo.ContactID ORDER BY CompanyName, OwnerID"));
        app().database().exec(query);
        // In the order the reports visit the owners, named as the other owner lists name them.
        while (query.next())
            m_owners->addItem(
                ContactOperations::ownerItemText(query.value(1).toString(), query.value(2).toString(),
                                                 query.value(3).toString(), query.value(4).toString()),
                query.value(0).toInt());
    } catch (const CdbException& error) {
        app().prompter().message(error.description());
    }
    m_owners->setCurrentIndex(std::max(0, m_owners->findData(owner)));
    fillVehicles();
}

void CReportView::fillVehicles()
{
    m_vehicles->clear();
    m_vehicles->addItem(QStringLiteral("** All Vehicles **"), 0);
    try {
        for (const VehicleList::Item& item :
             VehicleList::items(app().database(), app().vehicleColumns(), m_owners->currentData().toInt()))
            m_vehicles->addItem(item.text, item.vehicleId);
    } catch (const CdbException& error) {
        app().prompter().message(error.description());
    }
    m_vehicles->setCurrentIndex(0);
}

void CReportView::applyPreset(int preset)
{
    const ReportDates::Range range = ReportDates::preset(ReportDates::Preset(preset), Clock::today());
    m_begin->setText(range.begin);
    m_end->setText(range.end);
}

bool CReportView::prepareOptions(Report::Options* options)
{
    const ReportDates::Check check = ReportDates::validate({m_begin->text(), m_end->text()});
    if (!check.ok) {
        CDateField* field = check.field == ReportDates::Check::End ? m_end : m_begin;
        field->setFocus();
        app().prompter().message(check.message);
        return false;
    }
    m_begin->setText(check.normalised.begin);
    m_end->setText(check.normalised.end);
    const qint32 vehicle = m_vehicles->currentData().toInt();
    if (vehicle != 0 && m_owners->currentData().toInt() == 0) {
        // A vehicle of "** All Owners **": its owner is chosen in the list, then the vehicle again.
        const qint32 owner =
            app()
                .database()
                .scalar(QStringLiteral("SELECT OwnerID FROM Vehicles WHERE VehicleID = %1").arg(vehicle))
                .toInt();
        m_owners->setCurrentIndex(std::max(0, m_owners->findData(owner)));
        fillVehicles();
        m_vehicles->setCurrentIndex(std::max(0, m_vehicles->findData(vehicle)));
    }
    options->code = reportCode();
    options->ownerId = m_owners->currentData().toInt();
    options->vehicleId = m_vehicles->currentData().toInt();
    options->beginStored = Values::toStoredDate(check.normalised.begin);
    options->endStored = Values::toStoredDate(check.normalised.end);
    options->companyInfo = m_companyInfo->isChecked();
    options->companyLines.clear();
    for (QLineEdit* line : m_companyLines)
        options->companyLines << line->text();
    options->colourGraphs = m_colourGraphs->isChecked();
    options->jobOrderRestriction = options->code == ReportCatalogue::JobOrders ? m_restriction : QString();
    return true;
}

std::unique_ptr<Report::ReportJob> CReportView::paginate(const Report::Options& options, double width,
                                                         double height)
{
    BusyScope busy(app().prompter());
    try {
        auto job = std::make_unique<Report::ReportJob>(app().database(), options, width, height);
        QProgressDialog progress(QStringLiteral("Laying out the pages..."), QStringLiteral("Cancel"), 0, 0,
                                 this);
        progress.setObjectName(QStringLiteral("paginationProgress"));
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(500);
        const bool done = job->paginate([&progress](int pages) {
            if (pages % 20 == 0) {
                progress.setLabelText(QStringLiteral("Laying out the pages... %1").arg(pages));
                QApplication::processEvents();
            }
            return !progress.wasCanceled();
        });
        return done ? std::move(job) : nullptr;
    } catch (const CdbException& error) {
        app().prompter().message(error.description());
        return nullptr;
    }
}

// The orientation belongs to this job's printer only; the user's printer defaults stay as they are.
void CReportView::setUpPrinter(QPrinter& printer, int code) const
{
    printer.setPageOrientation(ReportCatalogue::isLandscape(code) ? QPageLayout::Landscape
                                                                  : QPageLayout::Portrait);
    printer.setDocName(ReportCatalogue::title(code));
}

namespace {

QRectF printableArea(QPrinter& printer)
{
    return printer.pageLayout().paintRect(QPageLayout::Inch);
}

} // namespace

void CReportView::print()
{
    Report::Options options;
    if (!prepareOptions(&options))
        return;
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer, options.code);
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("printDialog"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QRectF area = printableArea(printer);
    auto job = paginate(options, area.width() * 100, area.height() * 100);
    if (!job)
        return;
    int from = printer.fromPage() > 0 ? printer.fromPage() : 1;
    int to = printer.toPage() > 0 ? std::min(printer.toPage(), job->pageCount()) : job->pageCount();
    QPainter painter(&printer);
    Report::renderPages(*job, printer, painter, from, to);
}

void CReportView::preview()
{
    Report::Options options;
    if (!prepareOptions(&options))
        return;
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer, options.code);
    const QRectF area = printableArea(printer);
    std::shared_ptr<Report::ReportJob> job = paginate(options, area.width() * 100, area.height() * 100);
    if (!job)
        return;
    QPrintPreviewDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("printPreview"));
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [job](QPrinter* target) {
        QPainter painter(target);
        Report::renderPages(*job, *target, painter, 1, job->pageCount());
    });
    dialog.exec();
}

void CReportView::exportPdf()
{
    Report::Options options;
    if (!prepareOptions(&options))
        return;
    Prompter::FileDialog dialog;
    dialog.title = QStringLiteral("Export PDF");
    dialog.defaultSuffix = QStringLiteral("pdf");
    dialog.defaultName = ReportCatalogue::title(options.code) + QStringLiteral(".pdf");
    dialog.filter = QStringLiteral("PDF Files (*.pdf)");
    dialog.confirmOverwrite = true;
    const QString path = app().prompter().saveFileName(dialog);
    if (path.isEmpty())
        return;
    const bool landscape = ReportCatalogue::isLandscape(options.code);
    auto job = paginate(options, letterPrintableWidth(landscape), letterPrintableHeight(landscape));
    if (!job)
        return;
    BusyScope busy(app().prompter());
    if (!Report::writeReportPdf(*job, path))
        app().prompter().message(ReportMessages::PdfNotWritten.arg(path));
    else if (CFormHost* host = CFormHost::of(this))
        host->showStatus(
            Messages::SavedTo.arg(ReportCatalogue::title(options.code), QDir::toNativeSeparators(path)));
}

void CReportView::selectJobOrders()
{
    // The dates go into the pre-filter, so they are checked first.
    const ReportDates::Check check = ReportDates::validate({m_begin->text(), m_end->text()});
    if (!check.ok) {
        (check.field == ReportDates::Check::End ? m_end : m_begin)->setFocus();
        app().prompter().message(check.message);
        return;
    }
    QList<qint32> listed;
    for (int i = 1; i < m_vehicles->count(); ++i)
        listed << m_vehicles->itemData(i).toInt();
    const QString filter = JobOrderFilter::preFilter(
        m_vehicles->currentData().toInt(), m_owners->currentData().toInt() != 0, listed,
        Values::toStoredDate(check.normalised.begin), Values::toStoredDate(check.normalised.end));
    try {
        CSelectJobOrdersDialog dialog(app().database(), app().settings(), filter, this);
        if (dialog.exec() == QDialog::Accepted)
            m_restriction = dialog.selectionFilter();
    } catch (const CdbException& error) {
        app().prompter().message(error.description());
    }
}
