#include "ScriptedPrompter.h"
#include "Screenshot.h"
#include "TestEnvironment.h"
#include "context/AppContext.h"
#include "db/Clock.h"
#include "fuel/ui/ImportLogDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

namespace {

struct Context : CAppContext
{
    using CAppContext::CAppContext;
};

// Two cars with dates that only --date-order can read, one row the vehicle already has.
const QByteArray TwoCars =
    "car_name,model,mpg,odometer,miles,gallons,price,city_percentage,fuelup_date,date_added,tags,notes,"
    "missed_fuelup,partial_fuelup,latitude,longitude,brand\n"
    "Civic,Civic,0,12000,0,10,3.459,50,06/07/2021 0:00,,,,0,0,,,\n"
    "Golf,Golf,0,5000,0,9,3.1,50,06/08/2021 0:00,,,,0,0,,,\n"
    "Civic,Civic,0,12250,250,4.5,3.5,50,07/06/2021 0:00,,,,0,1,,,\n";

} // namespace

class ImportLogDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void previewThenImport()
    {
        TestEnvironment env;
        Clock::setNow(QDateTime(QDate(2024, 6, 1), QTime(12, 0)));
        ScriptedPrompter prompter;
        Context app(prompter);
        Database& db = app.database();
        app.setDatabasePath(env.createDatabase(db));
        db.execute("INSERT INTO Vehicles (VehicleID, Measurement, HoursInd, EntryOfActualMiles, ActiveInd, OwnerID) "
                   "VALUES (1, 0, 0, 0, -1, 1)");
        db.execute("INSERT INTO GasLog (GasLogID, VehicleID, Mileage, Date, Gallons, Fillup) "
                   "VALUES (1, 1, 12000, '20210607', 10, 0)");

        CImportLogDialog dialog(app, 1, "2019 Honda Civic", "/tmp/fuelly.csv", TwoCars);
        auto* importButton = dialog.findChild<QPushButton*>("importButton");
        auto* problem = dialog.findChild<QLabel*>("problemLabel");
        auto* table = dialog.findChild<QTableWidget*>("previewTable");
        QCOMPARE(dialog.findChild<QComboBox*>("carBox")->count(), 2);
        // The Civic's dates never pass 12: nothing can be imported until the order is chosen.
        QVERIFY(!importButton->isEnabled());
        QVERIFY(problem->text().contains("The dates could be month/day or day/month"));
        dialog.findChild<QComboBox*>("dateOrderBox")->setCurrentIndex(1);
        QVERIFY(importButton->isEnabled());
        QCOMPARE(problem->text(), QString("Would import 1 fill-ups (1 partial, 0 missed); skipped 1 duplicates, 0 conflicts"));
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->item(0, 8)->text(), QString("Duplicate: skipped"));
        QCOMPARE(table->item(1, 1)->text(), QString("07/06/2021"));
        QCOMPARE(table->item(1, 6)->text(), QString("P"));
        dialog.show();
        saveScreenshot(dialog, "import-fuel-log");

        prompter.answer(Prompter::Answer::Ok,
                        "Imported 1 fill-ups (1 partial, 0 missed); skipped 1 duplicates, 0 conflicts");
        QVERIFY(dialog.importRows());
        QVERIFY(prompter.verifyDone());
        QCOMPARE(columnOf(db, "SELECT Date || ' ' || Mileage FROM GasLog ORDER BY GasLogID"),
                 (QStringList{"20210607 12000", "20210706 12250"}));
    }
};

QTEST_MAIN(ImportLogDialogTest)
#include "tst_importlogdialog.moc"
