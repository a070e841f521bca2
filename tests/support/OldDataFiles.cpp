#include "OldDataFiles.h"

#include "db/Database.h"
#include "db/Schema.h"

#include <QSet>
#include <QSqlQuery>

void buildOldFile(const QString& path, OldShape shape, bool withVehicles)
{
    Database db;
    db.create(path);
    Transaction transaction(db);
    QSet<QString> absent{"JobOrder",
                         "MaintServicesUnexpected",
                         "ScheduleTemplate",
                         "ScheduleTemplateNames",
                         "MaintServices.LinkInd",
                         "Maintenance.JobOrderID"};
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

void buildPreviousGeneration(const QString& path, int cars)
{
    Database db;
    db.create(path);
    Transaction transaction(db);
    for (const char* statement :
         {"CREATE TABLE CarsOwners (CarID, CarYear, CarMake, CarModel, CarVIN, EstMilesPerMonth, "
          "EntryOfActualMiles, DateOfActualMiles, LastName, FirstName, Address1, Address2, City, State, "
          "ZipCode, "
          "WorkPhone, HomePhone)",
          "CREATE TABLE ActualMaintenance (ActualMaintID, CarID, StationID, ActualMiles, MaintDate, "
          "Description, "
          "Tax)",
          "CREATE TABLE ActualMaintServices (ActualMaintID, CarID, ServiceID, Price)",
          "CREATE TABLE ServiceTypes (ServiceID, ServiceDesc)",
          "CREATE TABLE ServiceStations (StationID, StationName, StationMechFirstName, StationMechLastName, "
          "StationAddress1, StationAddress2, StationCity, StationState, StationZipCode, StationPhone, "
          "StationFax)",
          "CREATE TABLE Schedule (CarID, ScheduleRecMiles)",
          "CREATE TABLE ScheduleServices (CarID, ScheduleRecMiles, ServiceID)",
          "INSERT INTO ServiceTypes VALUES (1, 'Oil Change'), (2, 'Tire Rotation'), (3, 'Brake Check')",
          "INSERT INTO ServiceStations VALUES (1, 'Midas', 'Al', 'Jones', '3 Elm St', '', 'Springfield', "
          "'IL', "
          "'62702', '555-5000', '555-5001'), (2, 'Joe''s Garage', 'Joe', 'Black', '', '', '', '', '', '', "
          "''), "
          "(3, 'Quick Lube', '', '', '', '', '', '', '', '', '')"})
        db.execute(QString::fromLatin1(statement));
    QSqlQuery car =
        db.prepare("INSERT INTO CarsOwners VALUES (?, 1998, 'Ford', 'Taurus', ?, 1000, 45000, "
                   "'19990301', ?, 'Pat', '1 Main St', '', 'Springfield', 'IL', '62701', '555-1000', '')");
    QSqlQuery entry = db.prepare("INSERT INTO ActualMaintenance VALUES (?, ?, ?, ?, '19990110', 'Oil', 1.5)");
    QSqlQuery service = db.prepare("INSERT INTO ActualMaintServices VALUES (?, ?, ?, 20)");
    QSqlQuery recommended = db.prepare("INSERT INTO Schedule VALUES (?, ?)");
    QSqlQuery serviceOf = db.prepare("INSERT INTO ScheduleServices VALUES (?, ?, 1)");
    for (int id = 1; id <= cars; ++id) {
        car.addBindValue(id);
        car.addBindValue(QString("VIN%1").arg(id));
        car.addBindValue(QString("Owner%1").arg(id / 3));
        db.exec(car);
        for (int n = 0; n < 2; ++n) {
            const int maintId = id * 2 + n;
            for (QSqlQuery* query : {&entry, &service}) {
                query->addBindValue(maintId);
                query->addBindValue(id);
            }
            entry.addBindValue(1 + id % 3);
            entry.addBindValue(1000 * (n + 1));
            db.exec(entry);
            service.addBindValue(1 + n);
            db.exec(service);
        }
        for (int miles : {3000, 6000}) {
            for (QSqlQuery* query : {&recommended, &serviceOf}) {
                query->addBindValue(id);
                query->addBindValue(miles);
                db.exec(*query);
            }
        }
    }
    transaction.commit();
}
