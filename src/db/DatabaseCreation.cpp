#include "db/DatabaseCreation.h"

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

bool createDatabase(const QString& path, Prompter& prompter)
{
    try {
        Database db;
        db.create(path);
        Transaction transaction(db);
        for (const Schema::Table& table : Schema::tables())
            Schema::createTable(db, table);
        CServiceDescSet services(db);
        services.insertDefaultRows();
        CServiceTypeSet types(db);
        types.insertDefaultRows();
        writeVersionMarker(db);
        LookupIndexes::ensure(db);
        transaction.commit();
        return true;
    } catch (const CdbException&) {
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
