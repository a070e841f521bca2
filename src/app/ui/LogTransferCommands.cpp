#include "app/ui/LogTransferCommands.h"

#include "app/LogExport.h"
#include "context/AppContext.h"
#include "db/DbException.h"
#include "db/Prompter.h"
#include "fleet/VehicleList.h"
#include "fuel/ui/ImportLogDialog.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSaveFile>
#include <QTextStream>

namespace {

QString vehicleText(CAppContext& app, qint32 vehicleId)
{
    for (const VehicleList::Item& item : VehicleList::items(app.database(), app.vehicleColumns()))
        if (item.vehicleId == vehicleId)
            return item.text;
    return QString();
}

} // namespace

bool importFuelLog(CAppContext& app, QWidget* parent)
{
    const qint32 vehicleId = app.currentVehicle();
    QString text;
    try {
        text = vehicleId > 0 ? vehicleText(app, vehicleId) : QString();
    } catch (const CdbException& error) {
        app.prompter().message(error.description(), Prompter::Icon::Error);
        return false;
    }
    if (text.isEmpty()) {
        app.prompter().message(QStringLiteral("Choose the vehicle the fuel log belongs to first (on the Gas Log or "
                                              "Vehicles form)."));
        return false;
    }
    return CImportLogDialog::run(app, vehicleId, text, parent);
}

void exportLog(CAppContext& app, QWidget* parent)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Export"));
    dialog.setObjectName(QStringLiteral("exportDialog"));
    auto* form = new QFormLayout(&dialog);
    auto* log = new QComboBox(&dialog);
    log->setObjectName(QStringLiteral("logBox"));
    log->addItems({QStringLiteral("Gas Log"), QStringLiteral("Maintenance"), QStringLiteral("Job Orders"),
                   QStringLiteral("Schedule"), QStringLiteral("Vehicles")});
    form->addRow(QStringLiteral("&Log:"), log);
    auto* scope = new QComboBox(&dialog);
    scope->setObjectName(QStringLiteral("scopeBox"));
    const qint32 vehicleId = app.currentVehicle();
    QString current;
    try {
        current = vehicleId > 0 ? vehicleText(app, vehicleId) : QString();
    } catch (const CdbException&) {
    }
    scope->addItem(QStringLiteral("All vehicles"));
    if (!current.isEmpty())
        scope->addItem(current);
    form->addRow(QStringLiteral("&Vehicles:"), scope);
    auto* layout = new QComboBox(&dialog);
    layout->setObjectName(QStringLiteral("formatBox"));
    layout->addItems({QStringLiteral("CSV"), QStringLiteral("LubeLogger (gas log of one vehicle)")});
    form->addRow(QStringLiteral("&Format:"), layout);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return;

    static const char* const names[] = {"gas-log", "maintenance", "job-orders", "schedule", "vehicles"};
    Prompter& prompter = app.prompter();
    Prompter::FileDialog chooser;
    chooser.title = QStringLiteral("Export");
    chooser.defaultSuffix = QStringLiteral("csv");
    chooser.defaultName = QString::fromLatin1(names[log->currentIndex()]) + QStringLiteral(".csv");
    chooser.filter = QStringLiteral("CSV files (*.csv);;All files (*)");
    chooser.confirmOverwrite = true;
    const QString path = prompter.saveFileName(chooser);
    if (path.isEmpty())
        return;
    // Written whole under a temporary name and renamed, so a failure never leaves half a file in its place.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        prompter.message(QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString()));
        return;
    }
    QString refusal;
    try {
        BusyScope busy(prompter);
        QTextStream out(&file);
        refusal = LogExport::write(app.database(), out, LogExport::Log(log->currentIndex()),
                                   layout->currentIndex() == 1 ? LogExport::Layout::LubeLogger : LogExport::Layout::Csv,
                                   scope->currentIndex() == 1 ? vehicleId : 0, app.vehicleColumns());
        out.flush();
    } catch (const CdbException& error) {
        refusal = error.description();
    }
    if (!refusal.isEmpty()) {
        file.cancelWriting();
        prompter.message(refusal);
        return;
    }
    if (!file.commit())
        prompter.message(QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString()));
}
