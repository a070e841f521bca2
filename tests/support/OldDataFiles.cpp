#include "OldDataFiles.h"

#include "db/Database.h"
#include "db/Schema.h"

#include <QStringList>

void buildOldFile(const QString& path, OldShape shape, bool withVehicles)
{
    Database db;
    db.create(path);
    Transaction transaction(db);
    QStringList absent = QString("JobOrder MaintServicesUnexpected ScheduleTemplate ScheduleTemplateNames "
                                 "MaintServices.LinkInd Maintenance.JobOrderID")
                             .split(' ');
    if (shape != OldShape::V23)
        absent += {"Vehicles.Measurement", "Vehicles.HoursInd"};
    if (shape == OldShape::V20)
        absent += {"Utilities.VerInd", "Schedule.PerformEveryDay", "GasLog"};
    for (Schema::Table table : Schema::tables()) {
        if (absent.contains(table.name))
            continue;
        std::erase_if(table.fields,
                      [&](const Schema::Field& f) { return absent.contains(table.name + "." + f.name); });
        if (table.name == "MaintServices")
            table.indexes.front().fields = QStringList{"MaintID", "ServiceID"};
        Schema::createTable(db, table);
    }
    if (shape == OldShape::V20) {
        db.execute("CREATE TABLE GasLog (GasLogID INTEGER, VehicleID INTEGER, Date TEXT, Gallons REAL, "
                   "MilesTank INTEGER, Mileage INTEGER, Cost REAL, StationID INTEGER, Memo TEXT)");
        db.execute("CREATE UNIQUE INDEX GasLog_PrimaryKey ON GasLog (GasLogID)");
        db.execute("CREATE INDEX GasLog_Date ON GasLog (Date)");
        db.execute("INSERT INTO GasLog VALUES (1, 1, '19990101', 10.5, 300, 12000, 15.0, 0, 'old memo')");
        db.execute("INSERT INTO Utilities (TimeStamp) VALUES ('')");
    } else {
        db.execute("INSERT INTO GasLog (GasLogID, VehicleID) VALUES (1, 1)");
        db.execute(
            QString("INSERT INTO Utilities VALUES ('', '%1')").arg(shape == OldShape::V22 ? "2.2" : "2.3"));
    }
    if (withVehicles)
        db.execute("INSERT INTO Vehicles (VehicleID, OwnerID) VALUES (1, 1), (2, 1)");
    if (shape == OldShape::V23)
        db.execute("UPDATE Vehicles SET Measurement = VehicleID - 1, HoursInd = 1 - VehicleID");
    db.execute(
        "INSERT INTO Schedule (ScheduleID, VehicleID, ServiceID, PerformEveryMiles) VALUES (1, 1, 1, 3000)");
    db.execute("INSERT INTO Maintenance (MaintID, VehicleID, ActualMiles) VALUES (1, 1, 1000)");
    db.execute("INSERT INTO MaintServices (MaintID, ServiceID, VehicleID) VALUES (1, 1, 1), (1, 2, 1)");
    transaction.commit();
}

void buildPreviousGeneration(const QString& path, int carCount)
{
    Database db;
    db.create(path);
    Transaction transaction(db);
    for (const char* statement :
         {"CREATE TABLE CarsOwners (CarID, CarYear, CarMake, CarModel, CarVIN, EstMilesPerMonth, "
          "EntryOfActualMiles, DateOfActualMiles, LastName, FirstName, Address1, Address2, City, State, "
          "ZipCode, WorkPhone, HomePhone)",
          "CREATE TABLE ActualMaintenance (ActualMaintID, CarID, StationID, ActualMiles, MaintDate, "
          "Description, Tax)",
          "CREATE TABLE ActualMaintServices (ActualMaintID, CarID, ServiceID, Price)",
          "CREATE TABLE ServiceTypes (ServiceID, ServiceDesc)",
          "CREATE TABLE ServiceStations (StationID, StationName, StationMechFirstName, StationMechLastName, "
          "StationAddress1, StationAddress2, StationCity, StationState, StationZipCode, StationPhone, "
          "StationFax)",
          "CREATE TABLE Schedule (CarID, ScheduleRecMiles)",
          "CREATE TABLE ScheduleServices (CarID, ScheduleRecMiles, ServiceID)",
          "INSERT INTO ServiceTypes VALUES (1, 'Oil Change'), (2, 'Tire Rotation'), (3, 'Brake Check')",
          "INSERT INTO ServiceStations VALUES (1, 'Midas', 'Al', 'Jones', '3 Elm St', '', 'Springfield', "
          "'IL', '62702', '555-5000', '555-5001'), (2, 'Joe''s Garage', 'Joe', 'Black', '', '', '', '', "
          "'', '', ''), (3, 'Quick Lube', '', '', '', '', '', '', '', '', '')"})
        db.execute(QString::fromLatin1(statement));
    // Rows made by the engine from a counter: car n belongs to owner n / 3, has entries 2n and 2n + 1 and
    // recommended readings 3000 and 6000 of service 1.
    const QString counter =
        QString("WITH RECURSIVE n(id) AS (SELECT 1 UNION ALL SELECT id + 1 FROM n WHERE id < %1) ")
            .arg(carCount);
    for (const char* rows :
         {"INSERT INTO CarsOwners SELECT id, 1998, 'Ford', 'Taurus', 'VIN' || id, 1000, 45000, '19990301', "
          "'Owner' || (id / 3), 'Pat', '1 Main St', '', 'Springfield', 'IL', '62701', '555-1000', '' FROM n",
          "INSERT INTO ActualMaintenance SELECT 2 * id + k, id, 1 + id % 3, 1000 * (k + 1), '19990110', "
          "'Oil', 1.5 FROM n, (SELECT 0 AS k UNION ALL SELECT 1)",
          "INSERT INTO ActualMaintServices SELECT 2 * id + k, id, 1 + k, 20 FROM n, (SELECT 0 AS k UNION "
          "ALL SELECT 1)",
          "INSERT INTO Schedule SELECT id, m FROM n, (SELECT 3000 AS m UNION ALL SELECT 6000)",
          "INSERT INTO ScheduleServices SELECT id, m, 1 FROM n, (SELECT 3000 AS m UNION ALL SELECT 6000)"})
        db.execute(counter + rows);
    transaction.commit();
}
