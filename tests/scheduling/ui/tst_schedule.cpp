#include "CompanyFormsFixture.h"
#include "DataRows.h"
#include "Dialogs.h"
#include "Screenshot.h"
#include "db/Clock.h"
#include "db/Database.h"
#include "scheduling/ScheduleTemplates.h"
#include "scheduling/ui/ScheduleTemplatesDlg.h"
#include "scheduling/ui/SelectServicesDlg.h"
#include "scheduling/ui/ServiceListDlg.h"

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTreeWidget>

using Answer = Prompter::Answer;
using Mode = CRecordForm::Mode;

class ScheduleFormTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<CompanyFormsFixture> f;
    const QDate today{2024, 6, 10};

    QString shown(int days) const { return today.addDays(days).toString("MM/dd/yyyy"); }
    QString stored(int days) const { return today.addDays(days).toString("yyyyMMdd"); }
    // The columns (named with spaces between them) of each row, joined by spaces.
    QStringList rows(const QString& columns, const QString& from)
    {
        return columnOf(f->db(), "SELECT " + columns.split(' ').join(" || ' ' || ") + " FROM " + from);
    }
    QTreeWidget* list() { return f->find<QTreeWidget>("serviceList"); }
    QStringList row(const QTreeWidgetItem* i) { return {i->text(0), i->text(1), i->text(2), i->text(3)}; }
    // Selects the list row of the service (the list is sorted by type, then description).
    void selectService(const QString& description)
    {
        const QList<QTreeWidgetItem*> found = list()->findItems(description, Qt::MatchExactly, 1);
        QVERIFY(!found.isEmpty());
        list()->setCurrentItem(found.first());
    }
    // values: ScheduleID, VehicleID, ServiceID, PerformEveryMiles, LastMiles, LastDate, PerformOnce; then
    // optionally PerformEveryMonth, PerformEveryDay.
    void addEntry(const QString& values, const QString& monthsAndDays = "0, 0")
    {
        f->db().execute(
            "INSERT INTO Schedule (ScheduleID, VehicleID, ServiceID, PerformEveryMiles, LastMiles, "
            "LastDate, PerformOnce, PerformEveryMonth, PerformEveryDay, StationID, Description, "
            "EstPerformDate) VALUES (" +
            values + ", " + monthsAndDays + ", 0, '', '')");
    }
    void edit(const QString& service, const QString& interval, const QString& months, const QString& days)
    {
        selectService(service);
        f->click("editButton");
        f->setText("intervalField", interval);
        f->setText("monthsField", months);
        f->setText("daysField", days);
    }
    static void press(QWidget& dialog, const char* name) { childNamed<QPushButton>(dialog, name)->click(); }

private Q_SLOTS:
    void init()
    {
        f = std::make_unique<CompanyFormsFixture>();
        Clock::setNow(QDateTime(today, QTime(10, 0)));
        f->db().execute(
            "UPDATE Vehicles SET EntryOfActualMiles = 20000, EstMilesPerMonth = 0, ActiveInd = -1, "
            "Measurement = 0, HoursInd = 0");
    }
    void cleanup()
    {
        f.reset();
        Clock::reset();
    }

    void checksInOrderWithTheUnitInTheMessages_data()
    {
        QTest::addColumn<int>("measurement");
        QTest::addColumn<int>("hours");
        QTest::addColumn<QString>("typed"); // interval|months|days|base reading|base date
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        addRow("interval, miles", 0, 0, "500,000|||0|06/10/2024",
               "Perform Every - Miles must be numeric and between 0 and 500,000.", "intervalField");
        addRow("empty interval, kilometres", 1, 0, "|6||0|06/10/2024",
               "Perform Every - Kilometers must be numeric and between 0 and 500,000.", "intervalField");
        addRow("months", 0, 0, "0|241||0|06/10/2024",
               "Perform Every - Months must be numeric and between 0 and 240.", "monthsField");
        addRow("days", 0, 0, "0||7301|0|06/10/2024",
               "Perform Every - Days must be numeric and between 0 and 7300.", "daysField");
        addRow("all zero, hours", 0, 1, "0|||0|06/10/2024",
               "You must enter either Perform Every - Hours or Perform Every - Months or Days", "daysField");
        addRow("months and days", 0, 0, "0|6|10|0|06/10/2024",
               "You can not specify both the Perform Every - Months and Perform Every - Days.", "daysField");
        addRow("base reading, hours", 1, 1, "250|||1,000,000|06/10/2024",
               "Base Line - Hours must be numeric and between 0 and 1,000,000.", "baseLineReading");
        addRow("base date", 0, 0, "3,000|||0|2/30/2024",
               "The Date is invalid.  The format must be mm/dd/yyyy (ex. 12/31/1998).", "baseLineDate");
    }
    void checksInOrderWithTheUnitInTheMessages()
    {
        QFETCH(int, measurement);
        QFETCH(int, hours);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        f->db().execute(
            QString("UPDATE Vehicles SET Measurement = %1, HoursInd = %2").arg(measurement).arg(hours));
        const QStringList values = typed.split('|');
        f->open(ScheduleForm);
        edit("Oil/Filter Change", values[0], values[1], values[2]);
        f->setText("baseLineReading", values[3]);
        f->setText("baseLineDate", values[4]);
        f->saveRefused(message, focus);
        QCOMPARE(f->count("SELECT count(*) FROM Schedule"), 0);
    }

    void savingARowWithoutEntryCreatesItAndEstimates()
    {
        f->open(ScheduleForm);
        QCOMPARE(row(list()->headerItem()).mid(2),
                 QStringList({"Perform Every (mi, mo)", "Last Performed (dt, mi)"}));
        selectService("Tire Rotation");
        QCOMPARE(f->text("baseLineDate"), shown(0));
        QVERIFY(!f->find<QPushButton>("deleteButton")->isEnabled());
        edit("Tire Rotation", "0", "6", "");
        QVERIFY(!list()->isEnabled());
        f->click("saveButton");
        QVERIFY(list()->isEnabled()); // browsing again
        QCOMPARE(
            rows("VehicleID ServiceID PerformEveryMonth PerformEveryDay LastDate EstPerformDate", "Schedule"),
            QStringList{"1 10 6 0 " + stored(0) + " " + stored(182)});
        QCOMPARE(row(list()->currentItem()),
                 QStringList({"Routine", "Tire Rotation", "0, 6(M)", "*" + shown(0) + ", 0"}));
        QVERIFY(f->find<QLabel>("baseLineNote")->isVisible());
        saveScreenshot(f->frame(), "schedule-form");
        QCOMPARE(f->shown().createContextMenu()->actions().last()->text(), QString("Unsche&dule"));

        f->m_prompter.answer(Answer::Yes, "Do you want to delete the selected schedule entry?");
        f->click("deleteButton");
        QCOMPARE(f->count("SELECT count(*) FROM Schedule"), 0);
        QCOMPARE(list()->currentItem()->text(1), QString("Tire Rotation"));
    }

    // No keeps the entry and the form in Edit; Yes deletes it.
    void zeroIntervalsOnAnEntryAskToDelete()
    {
        addEntry("1, 1, 1, 3000, 0, '20240101', 0");
        f->open(ScheduleForm);
        edit("Oil/Filter Change", "0", "0", "0");
        for (const bool yes : {false, true}) {
            f->m_prompter.answer(
                yes ? Answer::Yes : Answer::No,
                "You entered zero for Perform Every - Miles, Perform Every - Months, and Perform "
                "Every - Days, are you wanting to delete this schedule?");
            f->click("saveButton");
            QCOMPARE(f->m_prompter.prompts().last().buttons, Prompter::Buttons::YesNoDefaultNo);
            QCOMPARE(rows("PerformEveryMiles", "Schedule"), yes ? QStringList() : QStringList{"3000"});
            QCOMPARE(f->shown().mode(), yes ? Mode::Browse : Mode::Edit);
        }
    }

    void aFrequencyTheFormDoesNotOfferIsKept()
    {
        addEntry("1, 1, 1, 3000, 0, '20240101', 2");
        f->db().execute("UPDATE Schedule SET EstPerformDate = '19990101'");
        f->open(ScheduleForm);
        selectService("Oil/Filter Change");
        QCOMPARE(f->box("frequency")->currentIndex(), -1);
        f->click("editButton");
        f->setText("briefDescription", "Synthetic");
        f->click("saveButton");
        QCOMPARE(rows("PerformOnce EstPerformDate Description", "Schedule"),
                 QStringList{"2 19990101 Synthetic"});
    }

    // A service added from the menu reaches the list; Show Used survives a restart.
    void showUsedSurvivesARestart()
    {
        addEntry("1, 1, 3, 30000, 0, '20240101', 0");
        f->open(ScheduleForm);
        QCOMPARE(list()->topLevelItemCount(), 19);
        const auto addService = [](CServiceListDlg& dialog) {
            press(dialog, "newButton");
            QTest::keyClicks(childNamed<QLineEdit>(dialog, "serviceDescription"), "Rust Proofing");
            press(dialog, "okButton");
            QVERIFY(!dialog.isVisible());
        };
        withDialog<CServiceListDlg>(
            [this] { f->frame().findChild<QAction*>("servicesListAction")->trigger(); }, addService);
        QCOMPARE(list()->topLevelItemCount(), 20);
        QTest::mouseClick(f->find<QRadioButton>("showUsedRadio"), Qt::LeftButton);
        QCOMPARE(list()->topLevelItemCount(), 1);
        QCOMPARE(row(list()->topLevelItem(0)),
                 QStringList({"Routine", "Spark Plugs Replaced", "30000, 0(D)", "*01/01/2024, 0"}));
        f->m_frame.reset();
        f->m_app.settings().sync();
        f->open(ScheduleForm);
        QVERIFY(f->find<QRadioButton>("showUsedRadio")->isChecked());
        QCOMPARE(list()->topLevelItemCount(), 1);
    }

    void applyingATemplateSchedulesOnlyMissingServicesAndEstimates()
    {
        addEntry("1, 1, 1, 3000, 0, '20240101', 0");
        addEntry("2, 1, 2, 0, 0, '20240101', 0", "12, 0");
        const qint32 id = ScheduleTemplates::create(f->db(), "Vans", 1);
        addEntry("3, 2, 2, 0, 500, '20230101', 0", "0, 30");
        f->open(ScheduleForm);
        f->box("vehicleSelector")->setCurrentIndex(1);
        withDialog<CScheduleTemplatesDlg>(
            [this] { f->click("scheduleTemplatesButton"); },
            [id](CScheduleTemplatesDlg& dialog) {
                QCOMPARE(dialog.focusWidget(), childNamed<QLineEdit>(dialog, "templateName"));
                childNamed<QRadioButton>(dialog, "useTemplateRadio")->click();
                QCOMPARE(childNamed<QComboBox>(dialog, "templateCombo")->currentData().toInt(), id);
                press(dialog, "okButton");
            });
        // Reading 20,000 is far past 3,000 from a base of 0, but there is no daily use: only dates count.
        QCOMPARE(rows("ServiceID LastMiles LastDate PerformEveryMonth PerformEveryDay EstPerformDate",
                      "Schedule WHERE VehicleID = 2 ORDER BY ServiceID"),
                 QStringList({"1 0 " + stored(0) + " 0 0 ", "2 500 20230101 0 30 "}));
        f->db().execute("UPDATE Vehicles SET EstMilesPerMonth = 310 WHERE VehicleID = 2");
        f->db().execute("DELETE FROM Schedule WHERE ScheduleID > 3");
        ScheduleTemplates::apply(f->db(), id, 2);
        QCOMPARE(rows("EstPerformDate", "Schedule WHERE VehicleID = 2 AND ServiceID = 1"),
                 QStringList{stored(-1700)});
    }

    void templatesAreMadeRenamedAndDeleted()
    {
        addEntry("1, 1, 1, 3000, 1200, '20240101', 1");
        f->db().execute("UPDATE Schedule SET Description = 'Synthetic', EstPerformDate = '20240301'");
        {
            CScheduleTemplatesDlg dialog(f->db(), f->m_prompter, 1, 0);
            QVERIFY(childNamed<QRadioButton>(dialog, "makeTemplateRadio")->isChecked());
            QVERIFY(!childNamed<QRadioButton>(dialog, "useTemplateRadio")->isEnabled());
            QVERIFY(!childNamed<QComboBox>(dialog, "templateCombo")->isEnabled());
            f->m_prompter.answer(Answer::Ok, "You must fill in the Template Name.");
            dialog.accept();
            childNamed<QLineEdit>(dialog, "templateName")->setText("Vans");
            dialog.accept();
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QCOMPARE(rows("TemplateName ServiceID PerformEveryMiles PerformOnce Description",
                          "ScheduleTemplate INNER JOIN ScheduleTemplateNames USING (ScheduleTemplateID)"),
                     QStringList{"Vans 1 3000 1 Synthetic"});
        }
        ScheduleTemplates::create(f->db(), "Cars", 2);
        CScheduleTemplatesDlg dialog(f->db(), f->m_prompter, 1, 0);
        childNamed<QLineEdit>(dialog, "templateName")->setText("VANS");
        f->m_prompter.answer(Answer::Ok, "The schedule template name is already being used.  Please enter a "
                                         "unique template name.");
        dialog.accept();
        QVERIFY(!dialog.result());
        childNamed<QRadioButton>(dialog, "useTemplateRadio")->click();
        auto* templates = childNamed<QComboBox>(dialog, "templateCombo");
        QCOMPARE(templates->currentText(), QString("Cars"));
        const auto rename = [&](const QString& name) {
            withDialog<CTemplateNameDlg>(
                [&] { childNamed<QPushButton>(dialog, "changeTemplateButton")->click(); },
                [&](CTemplateNameDlg& names) {
                    childNamed<QLineEdit>(names, "newTemplateName")->setText(name);
                    names.accept();
                });
        };
        rename("Cars"); // its own name: no look-up, no message
        f->m_prompter.answer(Answer::Ok, "The schedule template name is already being used.");
        rename("vans");
        rename("Small cars");
        QCOMPARE(templates->currentText(), QString("Small cars"));
        // No keeps the template; Yes deletes the one chosen.
        for (const bool yes : {false, true}) {
            templates->setCurrentIndex(templates->findText(yes ? "Vans" : "Small cars"));
            f->m_prompter.answer(yes ? Answer::Yes : Answer::No,
                                 "Do you want to delete this schedule template?");
            childNamed<QPushButton>(dialog, "deleteTemplateButton")->click();
            QCOMPARE(f->m_prompter.prompts().last().buttons, Prompter::Buttons::YesNoDefaultNo);
        }
        QCOMPARE(rows("TemplateName", "ScheduleTemplateNames"), QStringList{"Small cars"});
        QCOMPARE(f->count("SELECT count(*) FROM ScheduleTemplate"), 0);
        QCOMPARE(f->count("SELECT count(*) FROM Schedule"), 1);
    }

    // Services 15 to 18 are used by a schedule entry, a maintenance, a job order and a template; 19 is not.
    void serviceInUseIsNotDeleted()
    {
        for (const char* use : {"Schedule (ScheduleID, VehicleID, ServiceID) VALUES (1, 1, 15)",
                                "MaintServices (MaintID, LinkInd, ServiceID) VALUES (1, 0, 16)",
                                "MaintServices (MaintID, LinkInd, ServiceID) VALUES (1, 1, 17)",
                                "ScheduleTemplate (ScheduleTemplateID, ServiceID) VALUES (1, 18)"})
            f->db().execute(QString("INSERT INTO ") + use);
        CServiceListDlg dialog(f->db(), f->m_prompter);
        QSignalSpy changed(&dialog, &CServiceListDlg::serviceListChanged);
        auto* services = childNamed<QComboBox>(dialog, "serviceCombo");
        auto* description = childNamed<QLineEdit>(dialog, "serviceDescription");
        for (int service = 15; service <= 19; ++service) {
            services->setCurrentIndex(services->findData(service));
            QCOMPARE(description->text(), services->currentText().section(", ", 1));
            QVERIFY(description->isReadOnly());
            f->m_prompter.answer(Answer::Yes, "Do you want to delete the selected service?");
            if (service < 19)
                f->m_prompter.answer(Answer::Ok,
                                     "Unable to delete the current service because it is currently being "
                                     "used by either a Schedule Entry or a Maintenance.");
            press(dialog, "deleteButton");
            QCOMPARE(f->count(QString("SELECT count(*) FROM Services WHERE ServiceID = %1").arg(service)),
                     service < 19 ? 1 : 0);
            QCOMPARE(changed.count(), service < 19 ? 0 : 1);
        }

        // A new service takes the highest key plus one: the deleted key comes back.
        press(dialog, "newButton");
        QVERIFY(childNamed<QLabel>(dialog, "addingLabel")->isVisibleTo(&dialog));
        QTest::keyClicks(description, "Rust Proofing");
        press(dialog, "saveButton");
        QCOMPARE(rows("ServiceDesc", "Services WHERE ServiceID = 19"), QStringList{"Rust Proofing"});
        QVERIFY(childNamed<QPushButton>(dialog, "newButton")->isDefault());
    }

    void selectServicesSkipsMissingKeysAndHoldsTen()
    {
        CSelectServicesDlg dialog(f->db(), f->m_prompter);
        dialog.setSelection({3, 999, 1}, {"Rust check"});
        auto* selected = childNamed<QListWidget>(dialog, "selectedServices");
        auto* available = childNamed<QListWidget>(dialog, "availableServices");
        QStringList texts;
        for (int i = 0; i < selected->count(); ++i)
            texts << selected->item(i)->text();
        QCOMPARE(texts, QStringList({"Spark Plugs Replaced", "Oil/Filter Change", "Rust check"}));
        // Back before the first entry with a greater key, although the list is alphabetical.
        selected->setCurrentRow(0);
        press(dialog, "deselectButton");
        QCOMPARE(available->currentRow(), 0);
        QCOMPARE(available->currentItem()->text(), QString("Spark Plugs Replaced"));
        QCOMPARE(available->item(1)->text(), QString("A/C Refrigerant Check"));
        QCOMPARE(selected->currentItem()->text(), QString("Oil/Filter Change"));
        for (int i = 0; i < 8; ++i)
            press(dialog, "selectButton");
        QCOMPARE(selected->count(), 10);
        f->m_prompter.answer(Answer::Ok, "Can only have ten services selected per maintenance entry.");
        press(dialog, "selectButton");
        QCOMPARE(selected->count(), 10);
        press(dialog, "okButton");
        QCOMPARE(dialog.serviceIds().size(), 9);
        QCOMPARE(dialog.serviceIds().first(), 1);
        QCOMPARE(dialog.unexpected(), QStringList{"Rust check"});
    }
};

QTEST_MAIN(ScheduleFormTest)
#include "tst_schedule.moc"
