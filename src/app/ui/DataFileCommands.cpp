#include "app/ui/DataFileCommands.h"

#include "app/StartUp.h"
#include "app/ui/DataFileMessages.h"
#include "app/ui/VelApp.h"
#include "db/DataFile.h"
#include "db/DatabaseCreation.h"
#include "db/DbException.h"
#include "db/Messages.h"
#include "db/Prompter.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString SettingsSection = QStringLiteral("Settings");
// The folder of the last backup made or restored.
const QString BackupFolderSetting = QStringLiteral("BackupFolder");

// Backups are looked for where the last one went, else beside the data file.
QString backupFolder(CVelApp& app)
{
    const QString remembered = app.settings().text(SettingsSection, BackupFolderSetting);
    if (!remembered.isEmpty() && QFileInfo(remembered).isDir())
        return remembered;
    if (!app.databasePath().isEmpty())
        return QFileInfo(app.databasePath()).absolutePath();
    return defaultDataFolder();
}

void rememberBackupFolder(CVelApp& app, const QString& file)
{
    app.settings().setText(SettingsSection, BackupFolderSetting, QFileInfo(file).absolutePath());
}

Prompter::FileDialog backupFileDialog(CVelApp& app, const QString& title, const QString& filter)
{
    Prompter::FileDialog dialog;
    dialog.title = title;
    dialog.defaultSuffix = QStringLiteral("bak");
    dialog.defaultName = QStringLiteral("Velmora.bak");
    dialog.filter = filter;
    dialog.folder = backupFolder(app);
    dialog.confirmOverwrite = true;
    return dialog;
}

// Where restored data goes when no data file has been chosen yet: the program's file name in a folder
// the user picks, as for a new data file.
QString askRestoreDestination(CVelApp& app)
{
    Prompter::FileDialog dialog;
    dialog.title = QStringLiteral("Choose Where to Keep the Restored Data");
    dialog.defaultSuffix = QStringLiteral("vel");
    dialog.defaultName = QStringLiteral("Velmora.vel");
    dialog.filter = QStringLiteral("Velmora Database (Velmora.vel)");
    dialog.folder = defaultDataFolder();
    dialog.confirmOverwrite = true;
    const QString chosen = app.prompter().saveFileName(dialog);
    if (chosen.isEmpty())
        return {};
    return QDir(QFileInfo(chosen).absolutePath()).filePath(QStringLiteral("Velmora.vel"));
}

} // namespace

QString backupDatabase(CVelApp& app)
{
    Prompter& prompter = app.prompter();
    const QString target = prompter.saveFileName(backupFileDialog(
        app, QStringLiteral("Save Backup File As"), QStringLiteral("Velmora Database (Velmora.bak)")));
    if (target.isEmpty())
        return {};
    rememberBackupFolder(app, target);
    if (DataFile::sameFile(target, app.databasePath())) {
        prompter.message(Messages::BackupOntoDataFile);
        return {};
    }
    try {
        BusyScope busy(prompter);
        DataFile::backup(app.database(), target);
    } catch (const CdbException& error) {
        prompter.message(Messages::BackupFailed + QStringLiteral("\n\n") + DataFile::causeOf(error, target));
        return {};
    }
    prompter.information(Messages::BackupSucceeded);
    return target;
}

bool restoreDatabase(CVelApp& app)
{
    Prompter& prompter = app.prompter();
    Prompter::FileDialog dialog =
        backupFileDialog(app, QStringLiteral("Restore from Backup File"),
                         QStringLiteral("Velmora Backup File (*.bak);;All Files (*)"));
    dialog.confirmOverwrite = false;
    const QString backupPath = prompter.openFileName(dialog);
    if (backupPath.isEmpty())
        return false;
    rememberBackupFolder(app, backupPath);

    QString target = app.databasePath();
    if (target.isEmpty()) {
        target = askRestoreDestination(app);
        if (target.isEmpty())
            return false;
    }
    StartUp::recoverInterrupted(target, prompter);
    if (DataFile::sameFile(backupPath, target)) {
        prompter.message(Messages::RestoreFromDataFile);
        return false;
    }
    // A file that is not a sound data file must not take the place of the one in use.
    try {
        BusyScope busy(prompter);
        DataFile::checkDataFile(backupPath);
    } catch (const CdbException& error) {
        prompter.message(
            Messages::DataFileRejected.arg(QFileInfo(backupPath).fileName(), error.description()));
        return false;
    }
    // The data in use goes only on the user's word, given knowing which backup replaces it.
    const QFileInfo backup(backupPath);
    if (QFileInfo::exists(target) && !prompter.yesNoDefaultNo(DataFileMessages::RestoreQuestion.arg(
                                         QDir::toNativeSeparators(target), backup.fileName(),
                                         backup.lastModified().toString(QStringLiteral("MM/dd/yyyy hh:mm")))))
        return false;
    try {
        BusyScope busy(prompter);
        DataFile::restore(app.database(), target, backupPath);
    } catch (const CdbException& error) {
        prompter.message(Messages::RestoreFailed + QStringLiteral("\n\n") + DataFile::causeOf(error, target));
        return false;
    }
    app.setDatabasePath(target);
    // A backup made by an older version is brought up to date before anything reads it.
    const QString version = StartUp::checkDatabase(target).version;
    if (!StartUp::upgradeAndOpen(app.database(), target, version, prompter))
        return false;
    prompter.information(Messages::RestoreSucceeded);
    return true;
}

void runMaintenance(CVelApp& app)
{
    Prompter& prompter = app.prompter();
    if (prompter.ask(Messages::MaintenanceQuestion, Prompter::Icon::Question,
                     Prompter::Buttons::YesNoDefaultNo) != Prompter::Answer::Yes)
        return;
    try {
        BusyScope busy(prompter);
        DataFile::compact(app.database(), app.databasePath());
    } catch (const CdbException& error) {
        const bool dataBack = app.database().isOpen();
        prompter.message(dataBack ? error.description() + QStringLiteral("\n\n") + Messages::DataLeftAsItWas
                                  : error.description());
        return;
    }
    prompter.information(Messages::MaintenanceSucceeded);
}

QString defaultDataFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    return folder;
}
