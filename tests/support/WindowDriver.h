#pragma once

#include "TestEnvironment.h"
#include "app/ui/MainFrame.h"
#include "app/ui/VelApp.h"
#include "db/Database.h"
#include "forms/FormView.h"

#include <QMap>
#include <QStringList>
#include <QTimer>
#include <memory>

class ScriptedPrompter;

// Every row of a data file by table and key, to tell which rows a run of the window changed and whether a
// row moved to another vehicle. Keys leave out VehicleID and StationID so that a row saved under another
// vehicle counts as the same row changed, not as one removed and one added.
struct DataSnapshot
{
    struct Row
    {
        qint32 vehicle = -1; // -1: the table has no VehicleID
        QString values;
    };
    QMap<QString, QMap<QString, Row>> tables;

    static DataSnapshot of(Database& db);
    // "GasLog+47 Vehicles~6 JobOrder-2": rows added, changed and removed, by table and key.
    static QString changes(const DataSnapshot& before, const DataSnapshot& after);
    // Rows in both whose VehicleID differs, as "Maintenance 12: vehicle 6 -> 1".
    static QStringList moved(const DataSnapshot& before, const DataSnapshot& after);
};

// The real main window with every form on the sample fleet (today fixed), driven through a small step
// language, one step a text; steps of a script are separated by ";", arguments with spaces are quoted:
//   go gas            the Go menu (home owners vehicles schedule loans insurance monitor maintenance gas
//                     joborders companies reports)
//   pick 6            the vehicle box of the shown form (by VehicleID; 0 = all vehicles)
//   row 1 / rows 0 2  the entries list of the shown form (one row, or several; or the first showing a text)
//   new edit save reset delete / press <button>   the form's buttons (a disabled one fails the step)
//   type amount 10    clicks into a field, selects its text and types
//   keys 3            types into the field that has the focus
//   tab backtab enter the keys, into the field that has the focus
//   click costPerUnit clicks a field (or check box, radio button)
//   choose jobOrder "" a drop-down list's entry by the start of its text ("#2": by position)
//   answer yes "apply the changes"  the answer to the next question (only with a scripted prompter)
//   note keep|clear   the next note with its "show next time" box
//   expect totalPrice $30.00 / expect form gas / expect mode AddNew   what the window shows
//   stored "SELECT ..." 30  what the data file holds (the query's first value)
//   newfile other.vel / open Velmora.vel   File › New Data File / Open Data File, in the test folder
// A step returns what went wrong, empty when it went as the user would expect.
class WindowDriver
{
public:
    // scripted: the prompter when it plays back scripted answers (answer and note steps need it).
    WindowDriver(Prompter& prompter, ScriptedPrompter* scripted);
    ~WindowDriver();

    QString run(const QString& step);
    // Runs the steps in order; stops at the first that fails, naming it.
    QString runScript(const QString& script);

    // What must hold after every step: the file passes its integrity check, no row moved to another
    // vehicle since `before`, no row hangs on a vehicle that is gone, each vehicle's readings keep their
    // chronology, and the shown form's list and record belong to the vehicle in its box.
    QString invariants(const DataSnapshot& before);
    // The data file as the last invariants check read it.
    const DataSnapshot& lastSnapshot() const { return m_last; }
    // Shows every form with a vehicle box and checks that each shows the current vehicle and only its
    // records (the window ends on the home screen).
    QString tourVehicleForms();

    DataSnapshot snapshot() { return DataSnapshot::of(m_reader); }
    CMainFrame& frame() { return *m_frame; }
    CVelApp& app() { return m_app; }
    QWidget* shown() const { return m_frame->shownForm(); }
    QString mainFile() const { return m_mainFile; }
    // The step language's arguments, quoted where they need it.
    static QString quoted(const QString& text);
    // Dialogs the guard closed (a step that opens one cannot hang the run).
    QStringList closedDialogs;

    static const QStringList& formNames();

private:
    QWidget* widget(const QString& name) const;
    QString shownBelongsToBox();

    TestEnvironment m_env;
    ScriptedPrompter* m_scripted;
    CVelApp m_app;
    QString m_mainFile;
    Database m_reader;
    DataSnapshot m_last;
    std::unique_ptr<CMainFrame> m_frame;
    QTimer m_dialogGuard;
};
