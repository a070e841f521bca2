#include "CompanyFormsFixture.h"
#include "DataRows.h"
#include "Dialogs.h"
#include "Screenshot.h"
#include "db/Clock.h"
#include "fuel/ui/FuelChart.h"
#include "fuel/ui/ImportLogDialog.h"

#include <QTableWidget>
#include <QTreeWidget>

using Answer = Prompter::Answer;
using Mode = CRecordForm::Mode;

// Vehicle 1 (miles): gas 1 01/05/2024 at 9,800 full 12 gal, gas 2 01/20/2024 at 10,000 partial 5 gal,
// gas 3 02/01/2024 at 10,300 full 5 gal at $6.00 ($30.00), gas 4 01/04/2024 at 9,800 partial; a maintenance
// entry 02/15/2024 at 10,600, which is also the vehicle's actual reading. Vehicle 2 (kilometers): one fill-up
// of 1234.5 liters. Today is 03/20/2024.
// The gas form, its chart, and the dialog that imports another program's fuel log.
class GasFormTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<CompanyFormsFixture> f;

    QTreeWidget* list() { return f->find<QTreeWidget>("entryList"); }
    QString row(const QTreeWidgetItem* item)
    {
        QStringList texts;
        for (int column = 0; column < 5; ++column)
            texts << item->text(column);
        return texts.join(" | ");
    }
    QString row(int index) { return row(list()->topLevelItem(index)); }
    void selectRow(int index) { list()->setCurrentItem(list()->topLevelItem(index)); }
    // Types as the user does, then moves the focus on to the next field.
    void type(const char* field, const QString& text, const char* next)
    {
        QLineEdit* edit = f->field(field);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        f->find<QWidget>(next)->setFocus();
    }
    // A new entry with values "date|reading|distance|amount|cost per unit|total".
    void addNew(const QString& typed)
    {
        const QStringList values = typed.split('|');
        f->open(GasForm);
        f->click("newButton");
        for (int i = 0;
             const char* field : {"date", "reading", "distance", "amount", "costPerUnit", "totalPrice"})
            f->setText(field, values.value(i++));
    }
    QString vehicleReading()
    {
        return f->db()
            .scalar("SELECT EntryOfActualMiles || ' ' || DateOfActualMiles FROM Vehicles WHERE VehicleID = 1")
            .toString();
    }

private Q_SLOTS:
    void init()
    {
        Clock::setNow(QDateTime(QDate(2024, 3, 20), QTime(10, 0)));
        f = std::make_unique<CompanyFormsFixture>();
        f->db().execute("UPDATE Vehicles SET Measurement = VehicleID - 1, HoursInd = 0, ActiveInd = -1, "
                        "EstMilesPerMonth = 0, EntryOfActualMiles = 10600, DateOfActualMiles = '20240215', "
                        "DateOfEstimatedMiles = '20240320'");
        f->db().execute(
            "INSERT INTO GasLog (GasLogID, VehicleID, Date, Mileage, Gallons, CostGallon, TotalCost, "
            "Fillup, StationID) VALUES (1, 1, '20240105', 9800, 12, 2.5, 30, 0, 0), "
            "(2, 1, '20240120', 10000, 5, 3, 15, 1, 0), (3, 1, '20240201', 10300, 5, 6, 30, 0, 0), "
            "(4, 1, '20240104', 9800, 1, 3, 3, 1, 0), (5, 2, '20240110', 5000, 1234.5, 1, 1234.5, 0, 0)");
        f->db().execute("INSERT INTO Maintenance (MaintID, VehicleID, StationID, MaintDate, ActualMiles) "
                        "VALUES (1, 1, 0, '20240215', 10600)");
        f->m_app.setCurrentVehicle(1);
    }
    void cleanup()
    {
        f.reset();
        Clock::reset();
    }

    // The economy heading in miles is tst_values' unit words; here the whole heading in kilometres.
    void listWithEconomyAndDistances()
    {
        f->open(GasForm);
        QCOMPARE(list()->topLevelItemCount(), 4);
        QCOMPARE(row(0), QString("10,300 | 02/01/2024 | 30.00 | 5.000 | 50.00"));
        QCOMPARE(row(1), QString("10,000 | 01/20/2024 | 15.00 | 5.000 | 0.00"));
        QCOMPARE(f->text("distance"), QString("300"));
        selectRow(3);
        QCOMPARE(f->text("distance"), QString("N/A"));
        selectRow(2);
        QCOMPARE(f->text("distance"), QString("Undetermined"));
        QCOMPARE(f->find<CFuelChart>("fuelChart")->drawnTexts().mid(17),
                 QStringList({"Overall MPG 50.00", "Last 10 MPG 50.00"}));
        saveScreenshot(f->frame(), "gas-form");

        // Kilometers and liters, and the thousands separator on amounts.
        f->box("vehicleSelector")->setCurrentIndex(1);
        QCOMPARE(f->shown().mode(), Mode::AddNew);
        QCOMPARE(f->text("distance"), QString("5,600"));
        f->click("resetButton");
        QCOMPARE(row(list()->headerItem()), QString("Kilometers | Date | Cost of Fillup | Liters | KPL"));
        QCOMPARE(row(0), QString("5,000 | 01/10/2024 | 1,234.50 | 1,234.500 | 0.00"));
        QCOMPARE(f->text("amount") + " " + f->text("totalPrice") + " " + f->text("costPerUnit"),
                 QString("1,234.500 $1,234.50 $1.000"));
    }

    // Two of amount, cost and total typed give the third (every order and way of leaving is tst_journeys');
    // here one alone gives nothing, a cost of 0 never gives an amount, and the distance and reading follow
    // each other.
    void amountCostAndTotalWhileAdding()
    {
        f->open(GasForm);
        f->click("newButton");
        QCOMPARE(f->title(), QString("Add New Gas Entry"));
        QCOMPARE(f->text("reading"), QString("10,600"));
        QCOMPARE(f->text("distance"), QString("300"));
        type("amount", "10", "costPerUnit");
        QCOMPARE(f->text("totalPrice"), QString());
        type("costPerUnit", "1.5", "totalPrice");
        type("totalPrice", "30", "amount");
        QCOMPARE(f->text("amount"), QString("20.000"));
        type("costPerUnit", "0", "totalPrice");
        type("totalPrice", "45", "reading");
        QCOMPARE(f->text("amount"), QString("20.000"));
        type("distance", "250", "amount");
        QCOMPARE(f->text("reading"), QString("10,550"));
        type("reading", "10200", "amount");
        QCOMPARE(f->text("distance"), QString("Undetermined"));
    }

    // OK works out the amount, Cancel the cost.
    void onlyTheTotalChangedOnAnEntryOnFile()
    {
        f->open(GasForm);
        for (const auto& [answer, amount, cost] :
             {std::tuple(Answer::Ok, "6.667", "$6.000"), std::tuple(Answer::Cancel, "5.000", "$8.000")}) {
            f->click("resetButton");
            f->click("editButton");
            f->m_prompter.answer(answer,
                                 "In order to calculate correctly, I need more information.  If you wish "
                                 "to calculate the Amount of Fuel, press OK.  Otherwise, if you wish to "
                                 "calculate the Cost Per Gallon, press Cancel");
            type("totalPrice", "40", "reading");
            QCOMPARE(f->m_prompter.prompts().last().buttons, Prompter::Buttons::OkCancel);
            QCOMPARE(f->text("amount"), QString(amount));
            QCOMPARE(f->text("costPerUnit"), QString(cost));
        }
    }

    void checksOnSave_data()
    {
        QTest::addColumn<QString>("values");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        addRow("date", "02/30/2024|10,700|400|10|3|30",
               "The Date is invalid.  The format must be mm/dd/yyyy (ex. 12/31/1998).", "date");
        addRow("future", "03/21/2024|10,700|400|10|3|30", "You can not use a date in the future.", "date");
        addRow("reading", "03/01/2024|0|400|10|3|30", "Mileage must be numeric and between 0 and 1,000,000.",
               "reading");
        addRow("distance", "03/01/2024|10300|0|10|3|30",
               "Mileage Driven must be numeric and between 1 and 100,000", "distance");
        addRow("amount", "03/01/2024|10,700|400|0|3|30",
               "Amount of Fuel must be numeric and between .001 and 100,000", "amount");
        addRow("cost 1000", "03/01/2024|10,700|400|10|1000|30",
               "Cost Per Gallon must be numeric and between $0 and $1,000.00", "costPerUnit");
        addRow("total", "03/01/2024|10,700|400|10|3|1000000",
               "Total Price must be numeric and between 0 and 1,000,000.", "totalPrice");
        addRow("earlier date, higher reading", "01/25/2024|10,400|100|10|3|30",
               "Can not enter gas with given Date and Mileage because of another gas entry recorded "
               "on 02/01/2024 at 10,300 Mileage.",
               "date");
        addRow("maintenance entry", "03/01/2024|10,500|200|10|3|30",
               "Can not enter gas with given Date and Mileage because of a maintenance entry recorded on "
               "02/15/2024 at 10600 Mileage.",
               "date");
    }
    void checksOnSave()
    {
        QFETCH(QString, values);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        addNew(values);
        f->saveRefused(message, focus);
        QCOMPARE(f->count("SELECT count(*) FROM GasLog"), 5);
    }

    // A lower reading on the vehicle's reading date leaves it; a higher one moves it, with a note.
    void vehicleReadingOnSameDay()
    {
        for (const QString reading : {"10550", "10650"}) {
            addNew("02/15/2024|" + reading + "|100|10|3|30");
            if (reading == "10650")
                f->m_prompter.noteAnswer(false);
            f->click("saveButton");
            QCOMPARE(f->title(), QString("Browse Gas Entry")); // saved: what a save stores is tst_journeys'
            QCOMPARE(vehicleReading(), (reading == "10650" ? "10650" : "10600") + QString(" 20240215"));
        }
        QCOMPARE(f->m_prompter.texts().last(),
                 QString("The Mileage entered for this Gas Entry is more current than the vehicle's current "
                         "Odometer Reading.  Updating the vehicle's current Odometer Reading."));
        QCOMPARE(f->m_app.settings().integer("Messages", "m1"), 0);
    }

    void failedReadingMoveLeavesNothingWritten()
    {
        f->db().execute("CREATE TRIGGER refuse BEFORE UPDATE ON Vehicles BEGIN SELECT RAISE(ABORT, 'disk I/O "
                        "error'); END");
        addNew("03/01/2024|10,700|400|10|3|30");
        f->m_prompter.answer(Answer::Ok, "disk I/O error");
        f->click("saveButton");
        QCOMPARE(f->count("SELECT count(*) FROM GasLog"), 5);
        QCOMPARE(vehicleReading(), QString("10600 20240215"));
        QCOMPARE(f->shown().mode(), Mode::AddNew);
        QCOMPARE(f->text("reading"), QString("10,700"));
    }

    // The question itself, with No as its default, is tst_fleetforms'.
    void deleteKeepsTheVehicleReading()
    {
        f->open(GasForm);
        f->m_prompter.answer(Answer::Yes, "Do you want to delete the selected gas entry?");
        f->shown().commandDelete();
        QCOMPARE(row(0), QString("10,000 | 01/20/2024 | 15.00 | 5.000 | 0.00"));
        QCOMPARE(f->count("SELECT count(*) FROM GasLog"), 4);
        QCOMPARE(vehicleReading(), QString("10600 20240215"));
    }

    // Two cars with dates that only the date order can read, one row the vehicle already has.
    void importPreviewThenImport()
    {
        f->db().execute("DELETE FROM GasLog");
        f->db().execute("DELETE FROM Maintenance");
        f->db().execute("INSERT INTO GasLog (GasLogID, VehicleID, Mileage, Date, Gallons, Fillup) "
                        "VALUES (1, 1, 12000, '20210607', 10, 0)");
        CImportLogDialog dialog(
            f->m_app, 1, "2019 Honda Civic", "/tmp/fuelly.csv",
            "car_name,model,mpg,odometer,miles,gallons,price,city_percentage,fuelup_date,"
            "date_added,tags,notes,missed_fuelup,partial_fuelup,latitude,longitude,brand\n"
            "Civic,Civic,0,12000,0,10,3.459,50,06/07/2021 0:00,,,,0,0,,,\n"
            "Golf,Golf,0,5000,0,9,3.1,50,06/08/2021 0:00,,,,0,0,,,\n"
            "Civic,Civic,0,12250,250,4.5,3.5,50,07/06/2021 0:00,,,,0,1,,,\n");

        auto* importButton = childNamed<QPushButton>(dialog, "importButton");
        auto* problem = childNamed<QLabel>(dialog, "problemLabel");
        auto* table = childNamed<QTableWidget>(dialog, "previewTable");
        QCOMPARE(childNamed<QComboBox>(dialog, "carBox")->count(), 2);
        // The Civic's dates never pass 12: nothing can be imported until the order is chosen.
        QVERIFY(!importButton->isEnabled());
        QVERIFY(problem->text().contains("The dates could be month/day or day/month"));
        childNamed<QComboBox>(dialog, "dateOrderBox")->setCurrentIndex(1);
        QVERIFY(importButton->isEnabled());
        QCOMPARE(problem->text(),
                 QString("Would import 1 fill-ups (1 partial, 0 missed); skipped 1 duplicates, 0 conflicts"));
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(
            QStringList({table->item(0, 8)->text(), table->item(1, 1)->text(), table->item(1, 6)->text()}),
            QStringList({"Duplicate: skipped", "07/06/2021", "P"}));
        dialog.show();
        saveScreenshot(dialog, "import-fuel-log");

        f->m_prompter.answer(Answer::Ok,
                             "Imported 1 fill-ups (1 partial, 0 missed); skipped 1 duplicates, 0 conflicts");
        QVERIFY(dialog.importRows());
        QCOMPARE(columnOf(f->db(), "SELECT Date || ' ' || Mileage FROM GasLog ORDER BY GasLogID"),
                 (QStringList{"20210607 12000", "20210706 12250"}));
    }

    // The five ticks of the scale for the economy figures given.
    void chartScale()
    {
        const std::pair<std::vector<double>, const char*> rows[] = {
            {{}, "26.0 28.0 30.0 32.0 34.0"},
            {{25.2}, "25.0 25.5 26.0 26.5 27.0"},
            {{20.0, 21.6, 20.8}, "20.0 20.5 21.0 21.5 22.0"},
            {{30.0, 18.0}, "18.0 22.0 26.0 30.0 34.0"}};
        for (const auto& [values, ticks] : rows) {
            CFuelChart chart;
            chart.setFigures(values, 0.0, 0.0, "MPG");
            const QStringList texts = chart.drawnTexts();
            QCOMPARE(texts.mid(0, 3), QStringList({"Last 10", "Fill Ups", "10"}));
            QCOMPARE(texts.mid(12, 5).join(' '), QString(ticks));
        }
    }
};

QTEST_MAIN(GasFormTest)
#include "tst_gasform.moc"
