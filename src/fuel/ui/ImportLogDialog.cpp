#include "fuel/ui/ImportLogDialog.h"

#include "context/AppContext.h"
#include "db/DbException.h"
#include "db/Prompter.h"
#include "db/Values.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// The preview shows enough rows to judge the reading of the file without filling memory with a big one.
constexpr int PreviewRows = 200;

} // namespace

CImportLogDialog::CImportLogDialog(CAppContext& app, qint32 vehicleId, const QString& vehicleText,
                                   const QString& path, QByteArray content, QWidget* parent)
    : QDialog(parent), m_app(app), m_vehicleId(vehicleId), m_content(std::move(content))
{
    setWindowTitle(QStringLiteral("Import Fuel Log"));
    setObjectName(QStringLiteral("importLogDialog"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Vehicle:"), new QLabel(vehicleText, this));
    form->addRow(QStringLiteral("File:"), new QLabel(QFileInfo(path).fileName(), this));
    m_found = new QLabel(this);
    m_found->setObjectName(QStringLiteral("foundLabel"));
    m_found->setWordWrap(true);
    form->addRow(QStringLiteral("Found:"), m_found);
    m_car = new QComboBox(this);
    m_car->setObjectName(QStringLiteral("carBox"));
    form->addRow(QStringLiteral("&Car:"), m_car);
    m_dateOrder = new QComboBox(this);
    m_dateOrder->setObjectName(QStringLiteral("dateOrderBox"));
    m_dateOrder->addItems({QStringLiteral("From the file"), QStringLiteral("Month/day/year"),
                           QStringLiteral("Day/month/year")});
    form->addRow(QStringLiteral("&Date order:"), m_dateOrder);
    m_skipConflicts = new QCheckBox(QStringLiteral("S&kip rows that conflict with the vehicle's readings"), this);
    m_skipConflicts->setObjectName(QStringLiteral("skipConflictsBox"));
    form->addRow(QString(), m_skipConflicts);
    layout->addLayout(form);

    m_preview = new QTableWidget(this);
    m_preview->setObjectName(QStringLiteral("previewTable"));
    m_preview->setColumnCount(9);
    m_preview->setHorizontalHeaderLabels({QStringLiteral("Line"), QStringLiteral("Date"), QStringLiteral("Reading"),
                                          QStringLiteral("Amount"), QStringLiteral("Per Unit"), QStringLiteral("Total"),
                                          QStringLiteral("Partial"), QStringLiteral("Missed"), QStringLiteral("Status")});
    m_preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_preview->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_preview->verticalHeader()->hide();
    m_preview->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_preview, 1);

    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("problemLabel"));
    m_problem->setWordWrap(true);
    layout->addWidget(m_problem);

    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Import"));
    m_buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("importButton"));
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(m_buttons);

    refresh();
    if (!m_result.cars.isEmpty()) {
        m_car->addItems(m_result.cars);
        refresh();
    } else {
        m_car->setEnabled(false);
    }
    connect(m_car, &QComboBox::currentIndexChanged, this, &CImportLogDialog::refresh);
    connect(m_dateOrder, &QComboBox::currentIndexChanged, this, &CImportLogDialog::refresh);
    connect(m_skipConflicts, &QCheckBox::toggled, this, &CImportLogDialog::refresh);
    resize(760, 480);
}

LogImport::Options CImportLogDialog::options() const
{
    LogImport::Options options;
    options.vehicleId = m_vehicleId;
    options.car = m_car->currentText();
    options.dateOrder = m_dateOrder->currentIndex() == 1   ? LogImport::DateOrder::MonthFirst
                        : m_dateOrder->currentIndex() == 2 ? LogImport::DateOrder::DayFirst
                                                           : LogImport::DateOrder::Unknown;
    options.skipConflicts = m_skipConflicts->isChecked();
    return options;
}

void CImportLogDialog::refresh()
{
    try {
        m_result = LogImport::prepare(m_app.database(), m_content, options());
    } catch (const CdbException& error) {
        m_result = LogImport::Result();
        m_result.error = error.description();
    }
    QStringList found;
    if (!m_result.formatName.isEmpty())
        found << m_result.formatName + QStringLiteral(" file");
    if (!m_result.unitsText.isEmpty())
        found << m_result.unitsText;
    if (!m_result.datesText.isEmpty())
        found << m_result.datesText;
    m_found->setText(found.join(QStringLiteral("; ")));
    // A refusal reads as a sentence of its own: it starts in lower case where the command line prefixes it.
    QString problem = m_result.error;
    if (!problem.isEmpty())
        problem[0] = problem[0].toUpper();
    m_problem->setText(problem.isEmpty() ? m_result.summaryLine(true) : QStringLiteral("<b>%1</b>").arg(problem.toHtmlEscaped()));
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(m_result.error.isEmpty() && m_result.imported > 0);

    const int shown = std::min<int>(int(m_result.rows.size()), PreviewRows);
    m_preview->setRowCount(shown);
    for (int i = 0; i < shown; ++i) {
        const LogImport::Row& row = m_result.rows[size_t(i)];
        const QString status = row.fate == LogImport::Row::Fate::Duplicate  ? QStringLiteral("Duplicate: skipped")
                               : row.fate == LogImport::Row::Fate::Conflict ? QStringLiteral("Conflicts with ") +
                                                                                  row.conflictWith
                                                                            : QStringLiteral("New");
        const QStringList cells{QString::number(row.line),
                                Values::toShownDate(row.date),
                                Values::withThousands(row.reading),
                                Values::formatFuel(row.amount),
                                QStringLiteral("$") + QString::number(row.costPerUnit, 'f', 3),
                                Values::withThousands(Values::formatMoney(row.total)),
                                row.partial ? QStringLiteral("P") : QString(),
                                row.missed ? QStringLiteral("M") : QString(),
                                status};
        for (int column = 0; column < cells.size(); ++column)
            m_preview->setItem(i, column, new QTableWidgetItem(cells[column]));
    }
    m_preview->resizeColumnsToContents();
}

bool CImportLogDialog::importRows()
{
    Prompter& prompter = m_app.prompter();
    try {
        BusyScope busy(prompter);
        m_result = LogImport::run(m_app.database(), m_content, options());
    } catch (const CdbException& error) {
        prompter.message(error.description(), Prompter::Icon::Error);
        return false;
    }
    if (!m_result.error.isEmpty()) {
        prompter.message(m_result.error);
        return false;
    }
    prompter.information(m_result.summaryLine(false));
    return m_result.imported > 0;
}

bool CImportLogDialog::run(CAppContext& app, qint32 vehicleId, const QString& vehicleText, QWidget* parent)
{
    Prompter::FileDialog chooser;
    chooser.title = QStringLiteral("Import Fuel Log");
    chooser.filter = QStringLiteral("Fuel logs (*.csv *.txt);;All files (*)");
    const QString path = app.prompter().openFileName(chooser);
    if (path.isEmpty())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        app.prompter().message(QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString()));
        return false;
    }
    CImportLogDialog dialog(app, vehicleId, vehicleText, path, file.readAll(), parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return dialog.importRows();
}
