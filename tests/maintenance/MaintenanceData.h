#pragma once

#include "TestEnvironment.h"
#include "db/Clock.h"
#include "db/Database.h"

#include <QDateTime>

// A fresh file with one owner and two vehicles in miles (1: 50,000 read on 01/01/2024, 1,000 a month;
// 2: an hour meter), the default service catalogue (1 "Oil/Filter Change", 2 "Gas/Filter Change", 3
// "Spark Plugs Replaced"), and today fixed at 03/20/2024 noon.
struct MaintenanceData
{
    TestEnvironment env;
    Database db;
    QString file;

    MaintenanceData()
    {
        file = env.createDatabase(db);
        Clock::setNow(QDateTime(QDate(2024, 3, 20), QTime(12, 0)));
        db.execute("INSERT INTO ContactInfo (ContactID, ContactType, CompanyName) VALUES (1, 1, 'Harbourline'), "
                   "(2, 4, 'Quay Garage')");
        db.execute("INSERT INTO Owners (OwnerID, ContactID) VALUES (1, 1)");
        db.execute("INSERT INTO Vehicles (VehicleID, OwnerID, VehicleYear, VehicleMake, EntryOfActualMiles, "
                   "DateOfActualMiles, DateOfEstimatedMiles, EstMilesPerMonth, ActiveInd, Measurement, HoursInd) "
                   "VALUES (1, 1, '2019', 'Ford', 50000, '20240101', '20240101', 1000, -1, 0, 0), "
                   "(2, 1, '2012', 'Deere', 1200, '20240101', '20240101', 100, -1, 0, -1)");
    }
    int count(const QString& sql) { return db.scalar(sql).toInt(); }
    QString value(const QString& sql) { return db.scalar(sql).toString(); }
    void addJobOrder(qint32 id, const char* jcn, bool open = true, qint32 vehicle = 1)
    {
        db.execute(QString::asprintf("INSERT INTO JobOrder (JobOrderID, StationID, VehicleID, JCN, Date, "
                                     "Description, OpenInd) VALUES (%d, 2, %d, '%s', '20240310', 'Spring check', %d)",
                                     id, vehicle, jcn, open ? -1 : 0));
    }
    void addSchedule(qint32 id, qint32 service, int everyMiles, int everyMonths, int once = 0)
    {
        db.execute(QString::asprintf("INSERT INTO Schedule (ScheduleID, VehicleID, ServiceID, PerformOnce, "
                                     "PerformEveryMiles, PerformEveryMonth, PerformEveryDay, LastMiles, LastDate, "
                                     "EstPerformDate) VALUES (%d, 1, %d, %d, %d, %d, 0, 40000, '20230101', '')",
                                     id, service, once, everyMiles, everyMonths));
    }
};
