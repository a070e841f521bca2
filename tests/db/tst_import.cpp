#include "DataRows.h"
#include "OldDataFiles.h"
#include "WholeFiles.h"
#include "db/Clock.h"
#include "db/Import.h"
#include "db/Messages.h"

#include <ctime>

namespace {

QStringList rows(Database& db, const QString& columns, const QString& from)
{
    return columnOf(db, "SELECT " + QString(columns).replace(", ", " || '|' || ") + " FROM " + from);
}

// Two cars of one owner whose name has an apostrophe and a car of another; stations 5 and 6 whose new keys
// are 6 and 7; an entry without its car; recommended readings of two cars sharing service 1.
void buildPreviousGeneration(const QString& path)
{
    ::buildPreviousGeneration(path, 1);
    Database db;
    db.open(path);
    Transaction transaction(db);
    for (const char* table : {"CarsOwners", "ActualMaintenance", "ActualMaintServices", "ServiceTypes",
                              "ServiceStations", "Schedule", "ScheduleServices"})
        db.execute(QString("DELETE FROM ") + table);
    for (const char* statement : {
             "INSERT INTO CarsOwners VALUES (1, 1996, 'Ford', 'Taurus', 'V1', 1000, 45000, '19990301', "
             "'O''Brien', 'Pat', '1 Main St', 'Apt 2', 'Springfield', 'IL', '62701', '555-1000', "
             "'555-2000'), (2, 1998, 'Honda', 'Civic', 'V2', 800, 12000, '19990315', 'O''Brien', 'Pat', '9 "
             "Elm', '', 'Chicago', 'IL', '60601', '555-9999', ''), (3, 1995, 'Volvo', '240', 'V3', 500, "
             "90000, '19990201', 'Smith', 'Ann', '2 Oak Ave', '', 'Peoria', 'IL', '61602', '555-3000', "
             "'555-4000')",
             "INSERT INTO ActualMaintenance VALUES (10, 1, 5, 1000, '19990110', 'Oil', 1.5), (11, NULL, 6, "
             "4000, '19990601', 'Oil again', 0), (12, 3, 0, 88000, '19990105', 'Wash', 3)",
             "INSERT INTO ActualMaintServices VALUES (11, 1, 1, 22), (10, 1, 1, 20), (10, 1, 2, 5.25)",
             "INSERT INTO ServiceTypes VALUES (1, 'Oil Change'), (2, 'Tire Rotation'), (5, 'Brake Check')",
             "INSERT INTO ServiceStations VALUES (5, 'Midas', 'Al', 'Jones', '3 Elm St', '', 'Springfield', "
             "'IL', '62702', '555-5000', '555-5001'), (6, 'Joe''s Garage', 'Joe', 'Black', '', '', '', '', "
             "'', '', '')",
             "INSERT INTO Schedule VALUES (1, 3000), (1, 6000), (3, 3000), (3, 5000), (3, 6000)",
             "INSERT INTO ScheduleServices VALUES (1, 3000, 1), (1, 6000, 1), (3, 3000, 1), (3, 5000, 1), "
             "(1, 3000, 2), (3, 6000, 5)",
         })
        db.execute(QString::fromLatin1(statement));
    transaction.commit();
}

} // namespace

class ImportTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_env;
    QString m_old;
    QString m_backup;
    QString m_newPath;

    // The import with those answers; where it says the new file went (a cancelled import clears it).
    QString runImport(ScriptedPrompter& prompter)
    {
        QString newPath = "not cleared";
        const bool imported =
            Import::importPreviousVersion(m_old, m_env->path("install"), prompter, &newPath);
        [&] {
            QVERIFY(prompter.verifyDone());
            QCOMPARE(prompter.busyDepth(), 0);
            QCOMPARE(imported, QFile::exists(newPath));
        }();
        return newPath;
    }

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        Clock::setNow(QDateTime(QDate(2024, 5, 17), QTime(9, 0)));
        m_old = m_env->path("Velmora.mdb");
        m_backup = m_env->path("Velmora.BAK");
        QDir().mkpath(m_env->path("new"));
        m_newPath = m_env->path("new/Velmora.vel");
        buildPreviousGeneration(m_old);
    }
    void cleanup() { m_env.reset(); }

    void transfersEverythingIntoANewDatabase()
    {
        const QByteArray original = contentsOf(m_old);
        writeFile(m_backup, "an older backup");
        ScriptedPrompter prompter;
        const QString newPath = runImport(prompter.file(m_env->path("new/typed name.vel")));
        const Prompter::FileDialog dialog = prompter.prompts().front().dialog;
        QCOMPARE(
            QStringList({dialog.defaultSuffix, dialog.defaultName, dialog.filter, dialog.folder}),
            QStringList({"vel", "Velmora.vel", "Velmora Database (Velmora.vel)", m_env->path("install")}));
        QCOMPARE(newPath, m_newPath);
        QCOMPARE(contentsOf(m_old), original);
        QCOMPARE(contentsOf(m_backup), original);

        Database db;
        db.open(newPath);
        QCOMPARE(DatabaseCreation::readVersion(db), QString("B19"));
        QCOMPARE(
            rows(db,
                 "VehicleID, VehicleYear, VehicleMake, VehicleVIN, EstMilesPerMonth, EntryOfActualMiles, "
                 "DateOfEstimatedMiles, ActiveInd, OwnerID, ContactID, PurchaseAmount",
                 "Vehicles ORDER BY VehicleID"),
            QStringList({"1|1996|Ford|V1|1000|45000|19990301|-1|1|2|0.0",
                         "2|1998|Honda|V2|800|12000|19990315|-1|1|3|0.0",
                         "3|1995|Volvo|V3|500|90000|19990201|-1|2|5|0.0"}));
        QCOMPARE(rows(db, "OwnerID, ContactID", "Owners ORDER BY OwnerID"), QStringList({"1|1", "2|4"}));
        // The owner's contact comes from the first of the owner's cars; a vehicle's own contact is empty.
        const QString empty = QString(11, '|');
        QCOMPARE(rows(db,
                      "ContactID, ContactType, CompanyName, LastName, FirstName, Address1, Address2, City, "
                      "State, ZipCode, Phone, AltPhone, Fax",
                      "ContactInfo ORDER BY ContactID"),
                 QStringList({"1|1||O'Brien|Pat|1 Main St|Apt 2|Springfield|IL|62701|555-1000|555-2000|",
                              "2|0" + empty, "3|0" + empty,
                              "4|1||Smith|Ann|2 Oak Ave||Peoria|IL|61602|555-3000|555-4000|", "5|0" + empty,
                              "6|4|Midas|Jones|Al|3 Elm St||Springfield|IL|62702|555-5000||555-5001",
                              "7|4|Joe`s Garage|Black|Joe||||||||"}));
        // Old stations 5 and 6 became companies 6 and 7: each entry follows its own station. Entry 11 names
        // no car and takes that of its services.
        QCOMPARE(rows(db, "MaintID, VehicleID, StationID, ActualMiles, MaintDate, Description, TotalPrice",
                      "Maintenance ORDER BY MaintID"),
                 QStringList({"10|1|6|1000|19990110|Oil|26.75", "11|1|7|4000|19990601|Oil again|22.0",
                              "12|3|0|88000|19990105|Wash|3.0"}));
        QCOMPARE(rows(db, "MaintID, ServiceID, VehicleID, Price, LinkInd, Warranty",
                      "MaintServices ORDER BY MaintID, ServiceID"),
                 QStringList({"10|1|1|20.0|0|", "10|2|1|5.25|0|", "11|1|1|22.0|0|"}));
        QCOMPARE(rows(db, "ServiceID, ServiceDesc, ServiceTypeID", "Services ORDER BY ServiceID"),
                 QStringList({"1|Oil Change|1", "2|Tire Rotation|1", "5|Brake Check|1"}));
        // Car 1 repeats service 1 every 3000 and last had it in June; car 3 has its own interval; car 1's
        // one-time service 2 is done already; car 3's one-time service 5 is still to come.
        QCOMPARE(rows(db,
                      "ScheduleID, VehicleID, ServiceID, PerformOnce, PerformEveryMiles, PerformEveryMonth, "
                      "PerformEveryDay, LastMiles, LastDate, EstPerformDate",
                      "Schedule ORDER BY ScheduleID"),
                 QStringList({"1|1|1|0|3000|3|0|4000|19990601|", "2|3|1|0|2000|2|0|0|20240517|",
                              "3|3|5|1|6000|0|0|0|20240517|"}));
    }

    void refusedOrFailedImportLeavesTheFilesAlone_data()
    {
        QTest::addColumn<QString>("oldFile");
        QTest::addColumn<QString>("description");
        addRow("not a database", "text", "not a database");
        addRow("database of another kind", "current", "CarsOwners");
        addRow(
            "overlong make",
            "UPDATE CarsOwners SET CarMake = 'A make longer than thirty-five characters' WHERE CarID = 3",
            "The value 'A make longer than thirty-five characters' in table CarsOwners, row 3, field CarMake "
            "does not fit that field, so nothing was imported.");
        addRow("reading beyond 32 bits",
               "UPDATE CarsOwners SET EntryOfActualMiles = 10000000000 WHERE CarID = 2",
               "The value '10000000000' in table CarsOwners, row 2, field EntryOfActualMiles does not fit");
        addRow("text for a number", "UPDATE CarsOwners SET EstMilesPerMonth = 'abc' WHERE CarID = 1",
               "The value 'abc' in table CarsOwners, row 1, field EstMilesPerMonth");
        addRow("fraction for a key", "UPDATE ActualMaintenance SET StationID = 5.5 WHERE ActualMaintID = 12",
               "The value '5.5' in table ActualMaintenance, row 3, field StationID");
        addRow("NUL in an owner's name",
               "UPDATE CarsOwners SET LastName = 'Sm' || char(0) || 'ith' WHERE CarID = 3",
               "The value 'Sm\\0ith' in table CarsOwners, row 3, field LastName");
        addRow("interval beyond 32 bits",
               "INSERT INTO Schedule VALUES (2, -2000000000), (2, 2000000000); INSERT INTO ScheduleServices "
               "VALUES (2, -2000000000, 3), (2, 2000000000, 3)",
               "The value '4000000000' in table ScheduleServices, row 7, field ScheduleRecMiles");
    }

    void refusedOrFailedImportLeavesTheFilesAlone()
    {
        QFETCH(QString, oldFile);
        QFETCH(QString, description);
        Database old;
        if (oldFile == "text") {
            writeFile(m_old, "Velmora maintenance notes\n");
        } else if (oldFile == "current") {
            m_env->createDatabase(old, "Velmora.mdb");
        } else {
            old.open(m_old);
            for (const QString& statement : oldFile.split("; "))
                old.execute(statement);
        }
        old.close();
        const QByteArray original = contentsOf(m_old);
        const bool checked = oldFile != "text" && oldFile != "current";
        if (!checked)
            writeFile(m_backup, "kept");

        runImport(ScriptedPrompter()
                      .file(m_newPath)
                      .answer(Prompter::Answer::Ok, description)
                      .answer(Prompter::Answer::Ok,
                              checked ? Messages::CouldNotImport : Messages::CanNotOpenExistingDatabase));
        QCOMPARE(contentsOf(m_old), original);
        QCOMPARE(contentsOf(m_backup), checked ? original : QByteArray("kept"));
        QVERIFY(!QFile::exists(m_newPath));
    }

    // Cancel at the save dialog changes nothing; a folder that holds a data file is refused and another
    // asked for.
    void cancelOrAFolderWithADataFile()
    {
        QCOMPARE(runImport(ScriptedPrompter().file(QString())), QString());
        QVERIFY(!QFile::exists(m_backup));
        QVERIFY(!QFile::exists(m_newPath));

        writeFile(m_newPath, "someone's data file");
        QDir().mkpath(m_env->path("other"));
        QCOMPARE(
            runImport(ScriptedPrompter()
                          .file(m_newPath)
                          .answer(Prompter::Answer::Ok, QDir::toNativeSeparators(m_env->path("new")) +
                                                            " already holds a Velmora data file.  Please "
                                                            "choose another folder for the imported data.")
                          .file(m_env->path("other/Velmora.vel"))),
            m_env->path("other/Velmora.vel"));
        QCOMPARE(contentsOf(m_newPath), QByteArray("someone's data file"));
    }

    // The owner lookup is done in memory, so four times the cars take about four times as long, not sixteen.
    // Processor time, not wall time: the machine's other load does not count.
    void importTimeGrowsWithTheNumberOfCars()
    {
        const auto cpuMilliseconds = [] { return std::clock() * 1000.0 / CLOCKS_PER_SEC; };
        double elapsed[2] = {};
        for (const int cars : {2000, 8000}) {
            const QString folder = m_env->path(QString("fleet%1").arg(cars));
            QDir().mkpath(folder);
            buildPreviousGeneration(m_old, cars);
            const double start = cpuMilliseconds();
            const QString newPath = runImport(ScriptedPrompter().file(folder + "/Velmora.vel"));
            elapsed[cars == 8000] = cpuMilliseconds() - start;
            Database db;
            db.open(newPath);
            QCOMPARE(db.scalar("SELECT count(*) FROM Owners").toInt(), cars / 3 + 1);
        }
        qInfo("import of 2,000 cars: %.0f ms, of 8,000 cars: %.0f ms", elapsed[0], elapsed[1]);
        QVERIFY2(elapsed[1] < 8 * qMax(elapsed[0], 100.0), qPrintable(QString::number(elapsed[1])));
    }
};

QTEST_GUILESS_MAIN(ImportTest)
#include "tst_import.moc"
