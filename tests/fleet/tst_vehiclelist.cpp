#include "TestEnvironment.h"
#include "db/Database.h"
#include "fleet/VehicleList.h"

#include <QTest>

class VehicleListTest : public QObject
{
    Q_OBJECT

private slots:
    void itemText_data()
    {
        QTest::addColumn<QList<int>>("fieldSlots");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("expected");
        const QStringList car = {"1999", "Honda", "Civic", "1HGEJ", "ABC 123", "", "Acme", "Depot 4", "Smith", "Ann"};
        const QList<int> none(10, -1);
        QList<int> defaults = none;
        defaults[0] = 0, defaults[1] = 1, defaults[2] = 2;
        QTest::newRow("default year make model") << defaults << car << "1999 Honda Civic";
        QList<int> makeVin = none;
        makeVin[0] = 1, makeVin[1] = 3;
        QTest::newRow("make and VIN") << makeVin << car << "Honda, 1HGEJ";
        QStringList noMake = car;
        noMake[1] = "";
        QTest::newRow("empty make skipped with its separator") << defaults << noMake << "1999 Civic";
        QStringList padded = car;
        padded[2] = "Civic   ";
        QList<int> modelNumberCompany = none;
        modelNumberCompany[0] = 2, modelNumberCompany[1] = 5, modelNumberCompany[2] = 6;
        QTest::newRow("trailing blanks dropped, empty number skipped")
            << modelNumberCompany << padded << "Civic, Acme";
        QList<int> names = none;
        names[0] = 9, names[1] = 8, names[2] = 0, names[3] = 7;
        QTest::newRow("first and last name with a blank") << names << car << "Ann Smith, 1999, Depot 4";
        QList<int> gap = none;
        gap[0] = 0, gap[2] = 1;
        QTest::newRow("an empty slot between year and make") << gap << car << "1999, Honda";
    }

    void itemText()
    {
        QFETCH(QList<int>, fieldSlots);
        QFETCH(QStringList, values);
        QFETCH(QString, expected);
        VehicleList::Entry entry;
        for (int i = 0; i < 10; ++i)
            entry.values[i] = values[i];
        QCOMPARE(VehicleList::itemText(fieldSlots, entry), expected);
    }

    void entriesComeFromTheVehicleAndItsOwner()
    {
        TestEnvironment env;
        Database db;
        env.createDatabase(db);
        db.execute("INSERT INTO ContactInfo (ContactID, ContactType, CompanyName, LastName, FirstName) "
                   "VALUES (7, 1, 'O`Neil Haulage', 'Smith', 'Ann')");
        db.execute("INSERT INTO Owners (OwnerID, ContactID, LocationID) VALUES (3, 7, 'North')");
        db.execute("INSERT INTO Owners (OwnerID, ContactID, LocationID) VALUES (4, 0, 'South')");
        db.execute("INSERT INTO Vehicles (VehicleID, OwnerID, VehicleYear, VehicleMake, VehicleModel) "
                   "VALUES (2, 3, '2001', 'Ford', 'F-150')");
        db.execute("INSERT INTO Vehicles (VehicleID, OwnerID, VehicleYear, VehicleMake, VehicleModel) "
                   "VALUES (1, 4, '2010', 'Volvo', 'FH')");
        db.execute("INSERT INTO Vehicles (VehicleID, OwnerID, VehicleMake) VALUES (9, 99, 'Orphan')");
        const QList<int> fieldSlots = {1, 6, 7, -1, -1, -1, -1, -1, -1, -1};
        const auto all = VehicleList::items(db, fieldSlots);
        QCOMPARE(all.size(), size_t(2));
        QCOMPARE(all[0].vehicleId, 2);
        QCOMPARE(all[0].text, QString("Ford, O'Neil Haulage, North"));
        QCOMPARE(all[1].text, QString("Volvo, South"));
        const auto owned = VehicleList::items(db, fieldSlots, 4);
        QCOMPARE(owned.size(), size_t(1));
        QCOMPARE(owned[0].vehicleId, 1);
    }
};

QTEST_GUILESS_MAIN(VehicleListTest)
#include "tst_vehiclelist.moc"
