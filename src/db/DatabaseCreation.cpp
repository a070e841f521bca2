#include "db/DatabaseCreation.h"

#include "db/DataFile.h"
#include "db/Database.h"
#include "db/DbException.h"
#include "db/LookupIndexes.h"
#include "db/Messages.h"
#include "db/Prompter.h"
#include "db/Schema.h"
#include "db/sets/ServiceDescSet.h"
#include "db/sets/ServiceTypeSet.h"
#include "db/sets/UtilitiesSet.h"

namespace DatabaseCreation {

void fillNewFile(Database& db)
{
    Transaction transaction(db);
    for (const Schema::Table& table : Schema::tables())
        Schema::createTable(db, table);
    CServiceDescSet services(db);
    services.insertDefaultRows();
    CServiceTypeSet types(db);
    types.insertDefaultRows();
    writeVersionMarker(db);
    // After the marker: the indexes are made only for files of the current version.
    LookupIndexes::ensure(db);
    transaction.commit();
}

QString openStagingFile(Database& db, const QString& targetPath, const QString& purpose)
{
    const QString staging = DataFile::makeStagingFile(targetPath, purpose);
    try {
        db.open(staging, ConnectText);
        // The file is thrown away when anything fails, so its journal need not survive a crash.
        db.execute(QStringLiteral("PRAGMA journal_mode = MEMORY"));
        // It is synced once before it is renamed into place; meanwhile a large cache keeps big imports quick.
        db.execute(QStringLiteral("PRAGMA synchronous = OFF"));
        db.execute(QStringLiteral("PRAGMA cache_size = -65536"));
    } catch (const CdbException&) {
        db.close();
        DataFile::removeWithJournal(staging);
        throw;
    }
    return staging;
}

bool createDatabase(const QString& path, Prompter& prompter)
{
    // Built under a temporary name and renamed into place only when complete and checked, so a failure
    // leaves whatever was at the path as it was.
    QString staging;
    try {
        Database db;
        staging = openStagingFile(db, path, QStringLiteral("create"));
        fillNewFile(db);
        const QStringList problems = DataFile::problemsOf(db);
        if (!problems.isEmpty())
            throw CdbException(11, problems.join(QLatin1Char('\n')));
        db.close();
        DataFile::putInPlace(staging, path, true);
        return true;
    } catch (const CdbException& error) {
        DataFile::removeWithJournal(staging);
        prompter.message(DataFile::causeOf(error, path));
        prompter.message(Messages::CouldNotCreateDatabase);
        return false;
    }
}

void writeVersionMarker(Database& db)
{
    CUtilitiesSet utilities(db);
    utilities.open();
    if (utilities.isEOF()) {
        utilities.addNew();
    } else {
        utilities.edit();
    }
    utilities.m_VerInd = Schema::CurrentVersion;
    utilities.update();
    utilities.close();
}

QString readVersion(Database& db)
{
    CUtilitiesSet utilities(db);
    try {
        utilities.open();
    } catch (const CdbException& error) {
        if (error.code() == CdbException::TooFewParameters)
            return QStringLiteral("2.0");
        throw;
    }
    return utilities.isEOF() ? QString() : utilities.m_VerInd;
}

} // namespace DatabaseCreation
