#include "app/StartUp.h"

#include "context/Settings.h"
#include "db/DataFile.h"
#include "db/Database.h"
#include "db/DatabaseCreation.h"
#include "db/DbException.h"
#include "db/FileClaim.h"
#include "db/LookupIndexes.h"
#include "db/Messages.h"
#include "db/Prompter.h"
#include "db/Upgrade.h"
#include "fleet/ReadingEstimate.h"

#include <QDir>
#include <QProcess>

namespace StartUp {

DatabaseCheck checkDatabase(const QString& path)
{
    DatabaseCheck check;
    if (path.isEmpty()) {
        check.mustLocate = true;
        return check;
    }
    Database db;
    try {
        db.open(path, DatabaseCreation::ConnectText);
    } catch (const CdbException&) {
        check.mustLocate = true;
        return check;
    }
    try {
        check.version = DatabaseCreation::readVersion(db);
    } catch (const CdbException& error) {
        // Any other trouble reading the marker is left for the open that follows to show.
        check.mustLocate = error.code() == CdbException::TableNotFound;
    }
    return check;
}

void recoverInterrupted(const QString& path, Prompter& prompter)
{
    for (const QString& note : DataFile::recoverInterrupted(path))
        prompter.information(note);
}

bool askAboutOtherWindows(const QString& path, Prompter& prompter, bool& readOnly)
{
    readOnly = false;
    if (path.isEmpty())
        return true;
    for (const FileClaim::Holder& holder : FileClaim::othersHolding(path)) {
        if (holder.program != QLatin1String("Velmora"))
            continue;
        if (prompter.ask(Messages::FileOpenElsewhere.arg(FileClaim::describe(path, holder)),
                         Prompter::Icon::Question, Prompter::Buttons::YesNo) != Prompter::Answer::Yes)
            return false;
        readOnly = true;
        return true;
    }
    return true;
}

Launcher detachedLauncher()
{
    return [](const QString& program) { return QProcess::startDetached(program, {}); };
}

QString reminderProgram(const Settings& settings)
{
    return QDir(settings.installDir()).filePath(QStringLiteral("velmora-notify"));
}

bool startReminder(const Settings& settings, const Launcher& launch)
{
    if (settings.integer(QStringLiteral("Settings"), QStringLiteral("NotifyPgm")) != 8)
        return false;
    launch(reminderProgram(settings));
    return true;
}

bool upgradeAndOpen(Database& db, const QString& path, const QString& version, Prompter& prompter,
                    bool readOnly)
{
    if (readOnly) {
        // Nothing is written to a file another window has open: no upgrade, no added indexes.
        try {
            db.open(path, DatabaseCreation::ConnectText, true);
            return true;
        } catch (const CdbException& error) {
            prompter.message(error.description());
            return false;
        }
    }
    if (!Upgrade::upgradeByVersion(db, path, version, prompter))
        return false;
    if (!db.isOpen() || db.path() != path) {
        try {
            db.open(path, DatabaseCreation::ConnectText);
        } catch (const CdbException& error) {
            prompter.message(error.description());
            return false;
        }
        if (!db.isOpen()) {
            prompter.message(Messages::CouldNotOpenDatabase);
            return false;
        }
    }
    LookupIndexes::ensure(db);
    return true;
}

int bringReadingsForward(Database& db, Prompter& prompter)
{
    try {
        BusyScope busy(prompter);
        return ReadingEstimate::bringAllForward(db);
    } catch (const CdbException& error) {
        prompter.message(error.description());
        return 0;
    }
}

} // namespace StartUp
