// The import of a previous-generation file: 20,000 cars of 6,667 owners, whatever the fleet.

#include "BenchSupport.h"
#include "db/Database.h"
#include "db/Import.h"
#include "db/Prompter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

// Answers the question where the new file goes with a fresh folder each time.
class FolderPrompter : public Prompter
{
public:
    QString folder;
    Answer ask(const QString&, Icon, Buttons) override { return Answer::Ok; }
    QString saveFileName(const FileDialog&) override
    {
        return QDir(folder).filePath(QStringLiteral("Velmora.vel"));
    }
    QString openFileName(const FileDialog&) override { return {}; }
    bool note(const QString&) override { return true; }
};

void writePreviousGeneration(const QString& path, int cars)
{
    Database db;
    db.create(path);
    Transaction transaction(db);
    for (const char* table :
         {"CarsOwners (CarID, CarYear, CarMake, CarModel, CarVIN, EstMilesPerMonth, EntryOfActualMiles, "
          "DateOfActualMiles, LastName, FirstName, Address1, Address2, City, State, ZipCode, WorkPhone, "
          "HomePhone)",
          "ActualMaintenance (ActualMaintID, CarID, StationID, ActualMiles, MaintDate, Description, Tax)",
          "ActualMaintServices (ActualMaintID, CarID, ServiceID, Price)",
          "ServiceTypes (ServiceID, ServiceDesc)", "ServiceStations (StationID, StationName)",
          "Schedule (CarID, ScheduleRecMiles)", "ScheduleServices (CarID, ScheduleRecMiles, ServiceID)"})
        db.execute(QStringLiteral("CREATE TABLE ") + QLatin1String(table));
    const QString counter =
        QStringLiteral("WITH RECURSIVE n(id) AS (SELECT 1 UNION ALL SELECT id + 1 FROM n WHERE id < %1) ")
            .arg(cars);
    for (const char* rows :
         {"INSERT INTO CarsOwners SELECT id, 1998, 'Ford', 'Taurus', 'VIN' || id, 1000, 45000, '19990301', "
          "'Owner' || (id / 3), 'Pat', '1 Main St', '', 'Springfield', 'IL', '62701', '555-1000', '' FROM n",
          "INSERT INTO ActualMaintenance SELECT 2 * id + k, id, 1, 1000 * (k + 1), '19990110', 'Oil', 1.5 "
          "FROM n, (SELECT 0 AS k UNION ALL SELECT 1)",
          "INSERT INTO ActualMaintServices SELECT 2 * id + k, id, 1 + k, 20 FROM n, (SELECT 0 AS k UNION ALL "
          "SELECT 1)",
          "INSERT INTO Schedule SELECT id, m FROM n, (SELECT 3000 AS m UNION ALL SELECT 6000)",
          "INSERT INTO ScheduleServices SELECT id, m, 1 FROM n, (SELECT 3000 AS m UNION ALL SELECT 6000)"})
        db.execute(counter + QLatin1String(rows));
    db.execute(QStringLiteral("INSERT INTO ServiceTypes VALUES (1, 'Oil Change'), (2, 'Tire Rotation')"));
    db.execute(QStringLiteral("INSERT INTO ServiceStations VALUES (1, 'Midas')"));
    transaction.commit();
}

} // namespace

BENCH_CASE("Import of a previous-generation file with 20,000 cars", [](const Bench::Fleet&) {
    QTemporaryDir scratch;
    const QString old = scratch.filePath(QStringLiteral("Velmora.mdb"));
    writePreviousGeneration(old, 20000);
    FolderPrompter prompter;
    int run = 0;
    const double time =
        Bench::milliseconds([&] { Import::importPreviousVersion(old, scratch.path(), prompter, nullptr); }, 1,
                            [&] {
                                prompter.folder = scratch.filePath(QString::number(++run));
                                QDir().mkpath(prompter.folder);
                            });
    return Bench::Figure{time, QStringLiteral("ms")};
});
