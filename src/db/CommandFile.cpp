#include "db/CommandFile.h"

#include "db/DataFile.h"
#include "db/Database.h"
#include "db/DbException.h"

#include <QTextStream>
#include <QVariant>

int runOnDataFile(const QString& path, qint32 vehicleId, QTextStream& err,
                  const std::function<void(Database&)>& work)
{
    Database db;
    try {
        DataFile::checkDataFile(path);
        db.open(path);
    } catch (const CdbException& error) {
        err << "velmora-cli: " << DataFile::whyNotUsable(error, path) << '\n';
        return 1;
    }
    try {
        if (vehicleId != 0 &&
            db.scalar(QStringLiteral("SELECT count(*) FROM Vehicles WHERE VehicleID = %1").arg(vehicleId))
                    .toInt() == 0) {
            err << "velmora-cli: there is no vehicle " << vehicleId << " in " << path << '\n';
            return 1;
        }
        work(db);
    } catch (const CdbException& error) {
        err << "velmora-cli: " << path << ": " << DataFile::causeOf(error, path) << '\n';
        return 1;
    }
    return 0;
}
