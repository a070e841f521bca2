#include "ScriptedPrompter.h"
#include "WindowDriver.h"

#include <QTest>

// What users do across the forms of the sample fleet (1 Van 12, 2 Van 14, 3 Truck 4, 4 a car in kilometres,
// 5 a forklift in hours, 6 the Civic, 7 the laid-up Beetle), each journey ending with the rows it changed in
// the data file and a tour of every form with a vehicle box.
class JourneysTest : public QObject
{
    Q_OBJECT

private:
    void addGasRows()
    {
        // Two of amount 10, cost 3 and total 30 typed; the third is worked out however the user moves on.
        const struct
        {
            const char* field;
            const char* typed;
            const char* shown;
        } fields[] = {
            {"amount", "10", "10.000"}, {"costPerUnit", "3", "$3.000"}, {"totalPrice", "30", "$30.00"}};
        for (const auto& first : fields)
            for (const auto& second : fields)
                for (const char* move : {"enter", "tab", "click briefDescription"}) {
                    if (&first == &second)
                        continue;
                    const auto& third = fields[3 - (&first - fields) - (&second - fields)];
                    QTest::addRow("gas %s then %s, %s", first.field, second.field, move)
                        << QString(
                               "go gas; pick 1; new; type reading 63000; type %1 %2; tab; click %3; keys %4; "
                               "%5; expect %6 %7; note keep; save; stored \"SELECT Gallons || ' ' || "
                               "CostGallon || ' ' || TotalCost FROM GasLog WHERE GasLogID = 129\" \"10.0 3.0 "
                               "30.0\"")
                               .arg(first.field, first.typed, second.field, second.typed, move, third.field,
                                    third.shown)
                        << "GasLog+129 Vehicles~1";
                }
    }

private Q_SLOTS:
    void journey_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("changes");
        // Records of one vehicle are never saved under a vehicle picked on another form.
        QTest::newRow("job order after a vehicle picked on the vehicle form")
            << "go joborders; pick 2; row 0; go vehicles; pick 1; go joborders; expect current 1; row 0; "
               "edit; "
               "type description \"Brake check\"; save"
            << "JobOrder~1";
        QTest::newRow("maintenance after a vehicle picked on the gas form")
            << "go maintenance; pick 6; row 0; go gas; pick 2; go maintenance; expect current 2; row 0; "
               "edit; "
               "type description \"Checked over\"; save"
            << "";
        QTest::newRow("gas after a vehicle picked on the monitor")
            << "go gas; pick 1; reset; row 0; go monitor; pick 6; go gas; expect current 6; row 0; edit; "
               "type briefDescription \"Fleet card\"; save"
            << "";
        QTest::newRow("schedule after a vehicle picked on the loan form")
            << "go schedule; pick 1; go loans; pick 3; go schedule; expect current 3; row 0; edit; "
               "type monthsField 7; save"
            << "";
        QTest::newRow("insurance for a vehicle picked on the job orders form")
            << "go insurance; pick 1; go joborders; pick 6; go insurance; expect mode AddNew; "
               "type policyNumber PM-0077; save"
            << "";
        QTest::newRow("loan and vehicle after a pick on the maintenance form")
            << "go loans; pick 1; go maintenance; pick 2; go loans; expect mode AddNew; go vehicles; "
               "expect current 2; edit; type vehicleLicense HBL1045; save"
            << "Vehicles~2";
        QTest::newRow("hour meter after the Civic") << "go maintenance; pick 6; row 0; go vehicles; pick 5; "
                                                       "go maintenance; expect current 5; go gas; "
                                                       "expect rows 0; expect mode AddNew"
                                                    << "";
        QTest::newRow("new vehicle then its forms")
            << "go vehicles; new; type vehicleYear 2024; type vehicleMake \"O'Neil \\\"Van\\\"\"; save; go "
               "gas; "
               "expect current 8; expect rows 0; go joborders; expect rows 0"
            << "Vehicles+8";
        // Maintenance started from the schedule monitor and from a job order.
        QTest::newRow("perform maintenance from the monitor, one vehicle")
            << "go monitor; pick 1; row 0; press performMaintenanceButton; expect form maintenance; "
               "expect current 1; expect mode AddNew; note keep; save"
            << "";
        QTest::newRow("perform maintenance from the monitor, all vehicles")
            << "go vehicles; pick 1; go monitor; pick 0; row 0; press performMaintenanceButton; "
               "expect form maintenance; expect mode AddNew; note keep; save"
            << "";
        QTest::newRow("perform maintenance from a job order")
            << "go joborders; pick 2; row 0; press performMaintenanceButton; expect form maintenance; "
               "expect mode AddNew; save"
            << "";
        QTest::newRow("maintenance with the job order chosen and blanked again")
            << "go maintenance; pick 2; new; choose jobOrder HB-2240; choose jobOrder \"\"; "
               "type description Wipers; note keep; save"
            << "";
        QTest::newRow("gas amount, Tab, cost, Tab") << "go gas; pick 1; new; type reading 63000; type amount "
                                                       "10; tab; keys 3; tab; expect totalPrice $30.00; "
                                                       "note keep; save"
                                                    << "GasLog+129 Vehicles~1";
        // A vehicle deleted while another form holds typed changes for it.
        QTest::newRow("vehicle deleted under unsaved loan changes")
            << "go loans; pick 1; edit; type accountNumber CHANGED; answer yes \"This company is new\"; "
               "type loanCompany \"Northwind Credit\"; click accountNumber; go vehicles; pick 1; "
               "answer yes \"delete the current vehicle\"; delete; answer ok \"has been deleted\"; go loans"
            << "";
        QTest::newRow("vehicle deleted under unsaved gas changes")
            << "go gas; pick 6; reset; row 0; edit; type briefDescription CHANGED; answer yes \"This company is "
               "new\"; "
               "type gasStation \"Corner Fuel\"; click briefDescription; go vehicles; pick 6; "
               "answer yes \"delete the current vehicle\"; delete; go gas"
            << "";
        QTest::newRow("switching data files with forms open")
            << "go gas; pick 6; reset; row 0; go maintenance; go joborders; newfile other.vel; go home; "
               "open Velmora.vel; go gas"
            << "";
        addGasRows();
    }

    void journey()
    {
        QFETCH(QString, script);
        QFETCH(QString, changes);
        ScriptedPrompter prompter;
        WindowDriver driver(prompter, &prompter);
        const DataSnapshot before = driver.snapshot();
        const QString failed = driver.runScript(script);
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
        const QString tour = driver.tourVehicleForms();
        QVERIFY2(tour.isEmpty(), qPrintable(tour));
        const QString broken = driver.invariants(before);
        QVERIFY2(broken.isEmpty(), qPrintable(broken));
        QCOMPARE(DataSnapshot::changes(before, driver.snapshot()), changes);
        QVERIFY(prompter.verifyDone());
        QVERIFY2(driver.closedDialogs.isEmpty(), qPrintable(driver.closedDialogs.join(", ")));
    }
};

QTEST_MAIN(JourneysTest)
#include "tst_journeys.moc"
