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
    static void add(const char* name, const QString& script, const char* changes)
    {
        QTest::newRow(name) << script << QString(changes);
    }
    // What the new gas entry holds: amount, cost and total.
    static inline const QString storedGas =
        "stored \"SELECT Gallons || ' ' || CostGallon || ' ' || TotalCost FROM GasLog WHERE GasLogID = 129\" "
        "\"10.0 3.0 30.0\"";
    static void addGasRows()
    {
        // Two of amount 10, cost 3 and total 30 typed; the third is worked out however the user moves on.
        // Each field: its name, the text typed, the text shown when worked out.
        const char* fields[3][3] = {
            {"amount", "10", "10.000"}, {"costPerUnit", "3", "$3.000"}, {"totalPrice", "30", "$30.00"}};
        for (int first = 0; first < 3; ++first)
            for (int second = 0; second < 3; ++second)
                for (const QString move : {"enter", "tab", "click briefDescription"}) {
                    if (first == second)
                        continue;
                    const char* const* third = fields[3 - first - second];
                    QTest::addRow("gas %s then %s, %s", fields[first][0], fields[second][0], qPrintable(move))
                        << QString(
                               "go gas; pick 1; new; type reading 63000; type %1 %2; tab; click %3; keys %4; "
                               "%5; expect %6 %7; note keep; save; ")
                                   .arg(fields[first][0], fields[first][1], fields[second][0],
                                        fields[second][1], move, third[0], third[2]) +
                               storedGas
                        << "GasLog+129 Schedule~1,2 Vehicles~1";
                }
    }

private Q_SLOTS:
    void journey_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("changes");
        // Records of one vehicle are never saved under a vehicle picked on another form.
        add("job order after a vehicle picked on the vehicle form",
            "go joborders; pick 2; row 0; go vehicles; pick 1; go joborders; expect current 1; expect rows "
            "0; expect mode AddNew; type jcn HB-2300; type description \"Brake check\"; save",
            "JobOrder+3");
        add("maintenance after a vehicle picked on the gas form",
            "go maintenance; pick 6; row 0; go gas; pick 2; go maintenance; expect current 2; row 0; edit; "
            "type description \"Checked over\"; save",
            "Maintenance~4");
        add("gas after a vehicle picked on the monitor",
            "go gas; pick 4; reset; row 0; go monitor; pick 6; go gas; expect current 6; reset; row 0; edit; "
            "type briefDescription \"Fleet card\"; save",
            "GasLog~128");
        add("schedule after a vehicle picked on the loan form",
            "go schedule; pick 1; go loans; pick 3; go schedule; expect current 3; click showUsedRadio; row "
            "0; edit; type monthsField 7; save",
            "Schedule~9");
        add("insurance for a vehicle picked on the job orders form",
            "go insurance; pick 1; go joborders; pick 6; go insurance; expect mode AddNew; "
            "type policyNumber PM-0077; save",
            "Insurance+6");
        add("loan and vehicle after a pick on the maintenance form",
            "go loans; pick 1; go maintenance; pick 2; go loans; expect mode AddNew; go vehicles; "
            "expect current 2; edit; type vehicleLicense HBL1045; save",
            "Vehicles~2");
        add("hour meter after the Civic",
            "go maintenance; pick 6; row 0; go vehicles; pick 5; go maintenance; expect current 5; go gas; "
            "expect rows 0; expect mode AddNew",
            "");
        add("new vehicle then its forms",
            "go vehicles; new; type vehicleYear 2024; type vehicleMake \"O'Neil \\\"Van\\\"\"; save; go gas; "
            "expect current 8; expect rows 0; go joborders; expect rows 0",
            "ContactInfo+14 Vehicles+8");
        // Maintenance started from the schedule monitor and from a job order.
        add("perform maintenance from the monitor, one vehicle",
            "go monitor; pick 1; row 0; press performMaintenanceButton; expect form maintenance; "
            "expect current 1; expect mode AddNew; note keep; save",
            "MaintServices+11/9/0 Maintenance+11 Schedule~4 Vehicles~1");
        add("perform maintenance from the monitor, all vehicles",
            "go vehicles; pick 6; go monitor; pick 0; row Civic; press performMaintenanceButton; "
            "expect form maintenance; expect current 1; expect mode AddNew; note keep; save",
            "MaintServices+11/9/0 Maintenance+11 Schedule~4 Vehicles~1");
        add("perform maintenance from a job order",
            "go joborders; pick 2; row 0; press performMaintenanceButton; expect form maintenance; "
            "expect mode AddNew; note keep; save",
            "JobOrder~2 MaintServices+11/10/0,11/14/0 MaintServicesUnexpected+11/0 Maintenance+11 Schedule~6 "
            "Vehicles~2");
        // The services chosen with the job order stay on screen; the link to it goes with the blank choice.
        add("maintenance with the job order chosen and blanked again",
            "go maintenance; pick 2; new; choose jobOrder HB-2240; choose jobOrder \"\"; type description "
            "Wipers; note keep; save; stored \"SELECT JobOrderID FROM Maintenance WHERE MaintID = 11\" 0",
            "MaintServices+11/10/0,11/14/0 MaintServicesUnexpected+11/0 Maintenance+11 Schedule~6 "
            "Vehicles~2");
        add("gas amount, Tab, cost, Tab",
            "go gas; pick 1; new; type reading 63000; type amount 10; tab; keys 3; tab; "
            "expect totalPrice $30.00; note keep; save",
            "GasLog+129 Schedule~1,2 Vehicles~1");
        // The station box between the two does not work the total out on the way.
        add("gas amount, through the station box, cost, Enter",
            "go gas; pick 1; new; type reading 63000; type amount 10; click gasStation; click costPerUnit; "
            "keys 3; enter; expect totalPrice $30.00; note keep; save; " +
                storedGas,
            "GasLog+129 Schedule~1,2 Vehicles~1");
        // A vehicle deleted while another form holds typed changes for it.
        add("vehicle deleted under unsaved loan changes",
            "go loans; pick 1; edit; type accountNumber CHANGED; answer yes \"This company is new\"; "
            "type loanCompany \"Northwind Credit\"; click accountNumber; answer no \"apply the changes\"; "
            "go vehicles; pick 1; answer yes \"delete the current vehicle\"; answer ok \"has been deleted\"; "
            "delete; go loans; expect current 2",
            "GasLog-52rows Insurance-1 JobOrder-1 Loan-1 MaintServices-16rows "
            "MaintServicesUnexpected-1/2,3/0 Maintenance-6rows Schedule-1,2,3,4 Vehicles-1");
        add("vehicle deleted under unsaved gas changes",
            "go gas; pick 6; reset; row 0; edit; type briefDescription CHANGED; answer yes \"This company is "
            "new\"; type gasStation \"Corner Fuel\"; click briefDescription; answer no \"apply the "
            "changes\"; go vehicles; pick 6; answer yes \"delete the current vehicle\"; answer ok \"has been "
            "deleted\"; delete; go gas; expect current 1",
            "GasLog-36rows MaintServices-10/1/0,5/1/0,5/10/0,6/1/0 Maintenance-10,5,6 Schedule-15,16 "
            "Vehicles-6");
        add("switching data files with forms open",
            "go gas; pick 6; reset; row 0; go maintenance; go joborders; newfile other.vel; go home; "
            "open Velmora.vel; go gas",
            "");
        addGasRows();
    }

    void journey()
    {
        QFETCH(QString, script);
        QFETCH(QString, changes);
        ScriptedPrompter prompter;
        prompter.collectUnexpected();
        WindowDriver driver(prompter, &prompter);
        // The monitor brings every stored due date up to date; that is done before, not counted as a change.
        QCOMPARE(driver.runScript("go monitor; pick 0; pick 1; go home"), QString());
        const DataSnapshot before = driver.snapshot();
        QString problem = driver.runScript(script);
        if (problem.isEmpty())
            problem = driver.tourVehicleForms();
        if (problem.isEmpty())
            problem = driver.invariants(before);
        if (const QString changed = DataSnapshot::changes(before, driver.snapshot());
            problem.isEmpty() && changed != changes)
            problem = QString("changed \"%1\", expected \"%2\"").arg(changed, changes);
        if (problem.isEmpty() && !driver.closedDialogs.isEmpty())
            problem = "a dialog opened: " + driver.closedDialogs.join(", ");
        if (problem.isEmpty() && !prompter.unexpected().isEmpty())
            problem = "unexpected questions: " + prompter.unexpected().join("; ");
        if (problem.isEmpty() && !prompter.verifyDone())
            problem = "answers left over";
        QVERIFY2(problem.isEmpty(), qPrintable(problem + "\nasked: " + prompter.texts().join("\n       ")));
    }
};

QTEST_MAIN(JourneysTest)
#include "tst_journeys.moc"
