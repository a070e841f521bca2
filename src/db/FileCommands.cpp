#include "db/FileCommands.h"

#include "db/DataFile.h"
#include "db/Database.h"
#include "db/DatabaseCreation.h"
#include "db/DbException.h"
#include "db/Upgrade.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

namespace FileCommands {

namespace {

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

// What the program does first with a data file: finish or undo an interrupted operation, and say so.
void recover(const QString& path, QTextStream& err)
{
    for (const QString& note : DataFile::recoverInterrupted(path))
        err << note << '\n';
}

int failed(QTextStream& err, const QString& text)
{
    err << "velmora-cli: " << text << '\n';
    return 1;
}

} // namespace

int check(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() != 1)
        return 2;
    const QString& path = args[0];
    if (QFileInfo(path).absoluteDir().exists() && QFileInfo(QFileInfo(path).absolutePath()).isWritable())
        recover(path, err);
    QTemporaryDir scratch;
    Database db;
    try {
        DataFile::openLikeTheProgram(db, path, scratch);
        if (!db.hasTable(QStringLiteral("Utilities")))
            throw CdbException(CdbException::TableNotFound,
                               QStringLiteral("the file has no Utilities table"));
        const QString version = DatabaseCreation::readVersion(db);
        const int tables =
            db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table'")).toInt();
        out << "Version: " << (version.isEmpty() ? QStringLiteral("(none)") : version) << '\n';
        out << "Tables: " << tables << '\n';
        for (const char* table : {"Services", "ServiceTypes", "Owners", "Vehicles"}) {
            const QString name = QString::fromLatin1(table);
            if (db.hasTable(name))
                out << name << ": " << db.scalar(QStringLiteral("SELECT count(*) FROM ") + name).toInt()
                    << '\n';
        }
        QSqlQuery integrity = db.prepare(QStringLiteral("PRAGMA integrity_check"));
        db.exec(integrity);
        QStringList damage;
        while (integrity.next())
            damage << integrity.value(0).toString();
        integrity.finish();
        const bool sound = damage == QStringList{QStringLiteral("ok")};
        out << "Integrity: " << (sound ? QStringLiteral("ok") : damage.join(QStringLiteral("; "))) << '\n';
        const QStringList missing = sound ? Upgrade::missingParts(db, version) : QStringList();
        for (const QString& part : missing)
            out << "Missing: " << part << '\n';
        out.flush();
        return sound && missing.isEmpty() ? 0 : 1;
    } catch (const CdbException& error) {
        out.flush();
        return failed(err, DataFile::whyNotUsable(error, path));
    }
}

int backup(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() != 2)
        return 2;
    const QString& dataFile = args[0];
    const QString& target = args[1];
    recover(dataFile, err);
    // Open for writing, so that the claim keeps the data file's recovery from taking the backup's temporary
    // for a leftover.
    Database db;
    try {
        db.open(dataFile, DatabaseCreation::ConnectText);
    } catch (const CdbException& error) {
        return failed(err, DataFile::whyNotUsable(error, dataFile));
    }
    try {
        DataFile::backup(db, target);
    } catch (const CdbException& error) {
        return failed(err, DataFile::causeOf(error, target));
    }
    out << "Backed up " << shown(dataFile) << " to " << shown(target) << '\n';
    return 0;
}

int restore(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() != 2)
        return 2;
    const QString& backupFile = args[0];
    const QString& dataFile = args[1];
    recover(dataFile, err);
    try {
        DataFile::checkDataFile(backupFile);
    } catch (const CdbException& error) {
        return failed(err, QStringLiteral("%1 is not a Velmora data file or it is damaged (%2)")
                               .arg(shown(backupFile), error.description()));
    }
    // Restoring over the data file in use replaces it, as the program's command does; a file that does not
    // open as a data file is kept aside instead.
    Database db;
    try {
        if (QFileInfo::exists(dataFile))
            DataFile::checkDataFile(dataFile);
        if (QFileInfo::exists(dataFile))
            db.open(dataFile, DatabaseCreation::ConnectText);
    } catch (const CdbException&) {
        db.close();
    }
    try {
        const QString aside = DataFile::restore(db, dataFile, backupFile);
        if (!aside.isEmpty())
            err << "The file that was at " << shown(dataFile) << " was kept as " << shown(aside) << '\n';
    } catch (const CdbException& error) {
        return failed(err, DataFile::causeOf(error, dataFile));
    }
    out << "Restored " << shown(dataFile) << " from " << shown(backupFile) << '\n';
    return 0;
}

int compact(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() != 1)
        return 2;
    const QString& dataFile = args[0];
    recover(dataFile, err);
    const qint64 before = QFileInfo(dataFile).size();
    Database db;
    try {
        DataFile::checkDataFile(dataFile);
        DataFile::compact(db, dataFile);
    } catch (const CdbException& error) {
        return failed(err, DataFile::causeOf(error, dataFile));
    }
    out << "Compacted " << shown(dataFile) << ": " << before << " -> " << QFileInfo(dataFile).size()
        << " bytes\n";
    return 0;
}

} // namespace FileCommands
