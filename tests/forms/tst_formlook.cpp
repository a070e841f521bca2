#include "Dialogs.h"
#include "Screenshot.h"
#include "ScriptedPrompter.h"
#include "WindowDriver.h"
#include "context/AppContext.h"
#include "fleet/ui/PurchaseDialog.h"
#include "maintenance/ui/SelectJobOrdersDialog.h"
#include "scheduling/ui/ScheduleTemplatesDlg.h"
#include "scheduling/ui/ServiceListDlg.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

// How the forms and dialogs look on the sample fleet: what takes the spare room, how buttons stand, the
// read-only look in Browse, and texts shown whole. Pictures of each form go to VELMORA_SCREENSHOTS.
class FormLookTest : public QObject
{
    Q_OBJECT

private:
    ScriptedPrompter prompter;
    std::unique_ptr<WindowDriver> driver;

    QWidget& show(const QString& form, int width, int height)
    {
        const QString problem = driver->run("go " + form);
        if (!problem.isEmpty())
            qFatal("%s", qPrintable(problem));
        driver->run("pick 1"); // forms without a vehicle box stay as they are
        driver->frame().resize(width > 0 ? QSize(width, height) : driver->frame().minimumSize());
        QApplication::processEvents();
        saveScreenshot(driver->frame(), form + (width > 0 ? QString("-%1").arg(width) : QString("-min")));
        return *driver->shown();
    }
    template <class T = QWidget> T* on(QWidget& form, const QString& name)
    {
        return childNamed<T>(form, qPrintable(name));
    }
    static QStringList names(const char* list) { return QString(list).split(' ', Qt::SkipEmptyParts); }
    // Read-only looking: on the window's colour with every button inside it disabled (or, writable, the
    // field's own colour with its buttons enabled).
    static QString lookProblem(QWidget* field, bool readOnly)
    {
        const QPalette::ColorRole expected = readOnly ? QPalette::Window : QPalette::Base;
        if (field->palette().color(QPalette::Base) != QApplication::palette(field).color(expected))
            return field->objectName() + " has the wrong background";
        if (auto* edit = qobject_cast<QLineEdit*>(field)) {
            if (edit->isReadOnly() != readOnly)
                return field->objectName() + " read-only is wrong";
            for (QAction* action : edit->actions())
                if (action->isEnabled() == readOnly)
                    return field->objectName() + "'s " + action->objectName() + " enabled is wrong";
        }
        return {};
    }

private Q_SLOTS:
    void initTestCase() { driver = std::make_unique<WindowDriver>(prompter, &prompter); }
    void cleanupTestCase() { driver.reset(); }

    void spareHeightGoesToTheList()
    {
        const std::pair<QString, QString> rows[] = {{"schedule", "serviceList"},
                                                    {"gas", "entryList"},
                                                    {"maintenance", "entryList"},
                                                    {"joborders", "entryList"}};
        for (const auto& [form, list] : rows) {
            const int windowSmall = driver->frame().minimumSize().height();
            const int small = on(show(form, 0, 0), list)->height();
            const int big = on(show(form, 1600, 1000), list)->height();
            QVERIFY2(big - small > (1000 - windowSmall) / 2,
                     qPrintable(QString("%1: %2 -> %3").arg(form).arg(small).arg(big)));
        }
    }

    // The buttons that keep their natural width, and a group that stands side by side.
    void buttonsKeepTheirWidthAndSpacing()
    {
        const std::tuple<QString, const char*, const char*> rows[] = {
            {"schedule", "modifyServiceListButton scheduleTemplatesButton",
             "backButton nextButton homeButton"},
            {"gas", "newButton editButton homeButton",
             "scheduleMonitorButton jobOrdersButton maintenanceButton gasLogButton"},
            {"joborders", "filterButton printButton performMaintenanceButton",
             "filterButton printButton performMaintenanceButton"},
            {"monitor", "createJobOrderButton performMaintenanceButton homeButton",
             "jobOrdersButton maintenanceButton gasLogButton"},
            {"reports", "printButton previewButton homeButton", "printButton previewButton exportPdfButton"},
        };
        for (const auto& [form, naturalNames, groupNames] : rows) {
            const QStringList natural = names(naturalNames), group = names(groupNames);
            for (const int width : {0, 1600}) {
                QWidget& shown = show(form, width, 1000);
                for (const QString& name : natural)
                    QCOMPARE(on<QPushButton>(shown, name)->width(),
                             on<QPushButton>(shown, name)->sizeHint().width());
                // Side by side in one row, never touching, none shrunk below its text.
                for (int i = 1; i < group.size(); ++i) {
                    const QRect left = on(shown, group[i - 1])->geometry(),
                                right = on(shown, group[i])->geometry();
                    QCOMPARE(left.top(), right.top());
                    QVERIFY2(right.left() - left.right() > 4, qPrintable(group[i]));
                    QVERIFY(right.width() >= on<QPushButton>(shown, group[i])->sizeHint().width());
                }
                // Buttons that lead to other forms are one group of equal buttons.
                if (form == "gas")
                    for (const QString& name : group)
                        QCOMPARE(on(shown, name)->width(), on(shown, group[0])->width());
            }
        }
    }

    void layoutStaysPutAndMarginsAgree()
    {
        QWidget& schedule = show("schedule", 1600, 1000);
        QLabel* note = on<QLabel>(schedule, "baseLineNote");
        QWidget* templates = on(schedule, "scheduleTemplatesButton");
        for (const bool noteShown : {true, false}) {
            const QPoint before = templates->pos();
            note->setVisible(noteShown);
            QApplication::processEvents();
            QCOMPARE(templates->pos(), before);
        }
        // The report form: dates as wide as a date, Home at the bottom, not beside the title.
        QWidget& reports = show("reports", 1600, 1000);
        for (const char* date : {"beginDate", "endDate"})
            QCOMPARE(on(reports, date)->width(), on(reports, date)->sizeHint().width());
        QVERIFY(on(reports, "homeButton")->y() > on(reports, "previewButton")->y() - 2);
        QVERIFY(on(reports, "homeButton")->y() > reports.height() / 2);
        // Every form keeps the same margins at every width.
        const QMargins margins = show("owners", 1600, 1000).layout()->contentsMargins();
        for (const QString& form :
             names("vehicles schedule loans insurance maintenance gas joborders companies "
                   "reports monitor"))
            for (const int width : {0, 1600})
                QCOMPARE(show(form, width, 1000).layout()->contentsMargins(), margins);
    }

    void browseLooksReadOnly()
    {
        // The form, the fields to look at and the vehicle whose entries fill them.
        const std::tuple<QString, const char*, int> rows[] = {
            {"schedule", "baseLineDate intervalField", 1},
            {"gas", "date reading", 1},
            {"maintenance", "date description servicesList comments", 1},
            {"joborders", "date servicesList", 2},
        };
        for (const auto& [form, fields, vehicle] : rows) {
            QWidget& shown = show(form, 1100, 760);
            QCOMPARE(driver->run(QString("pick %1").arg(vehicle)), QString());
            for (const bool browse : {true, false}) {
                QCOMPARE(driver->run(browse ? "expect mode Browse" : "edit"), QString());
                for (const QString& name : names(fields))
                    if (name != "servicesList" || browse) // the services are never typed into
                        QCOMPARE(lookProblem(on(shown, name), browse), QString());
            }
        }
    }

    // In the smallest window every label and button text and every short field is shown whole; a wide window
    // widens the form, its comments taking the height too, so no wide empty band stands above the buttons.
    void smallestAndWidestWindows()
    {
        for (const QString& form : names("home owners vehicles companies loans insurance")) {
            QWidget& shown = show(form, 0, 0);
            QVERIFY(driver->frame().width() > 200);
            for (QWidget* widget : shown.findChildren<QWidget*>()) {
                auto* label = qobject_cast<QLabel*>(widget);
                auto* edit = qobject_cast<QLineEdit*>(widget);
                const bool text = (label && !label->wordWrap() && !label->text().isEmpty()) ||
                                  qobject_cast<QPushButton*>(widget);
                const bool shortField = edit && edit->maxLength() <= 12;
                if (!widget->isVisible() || (!text && !shortField))
                    continue;
                const int needed =
                    shortField ? widget->sizeHint().width() : widget->minimumSizeHint().width();
                QVERIFY2(widget->width() >= needed, qPrintable(form + ' ' + widget->objectName()));
            }
        }
        QWidget& loans = show("loans", 1900, 1000);
        auto* comments = on<QPlainTextEdit>(loans, "comments");
        QVERIFY(comments->width() > 1100);
        const int buttonsTop = on(loans, "homeButton")->mapTo(&loans, QPoint(0, 0)).y();
        QVERIFY(buttonsTop - comments->mapTo(&loans, QPoint(0, comments->height())).y() < 60);
    }

    void readOnlyDialogsAndWholeTexts()
    {
        PurchaseInfo info;
        info.date = "20240105";
        CPurchaseDialog purchase(info, "Mileage", 0, true, prompter);
        for (const char* name : {"purchaseDate", "purchaseAmount", "purchaseMemo"})
            QCOMPARE(lookProblem(on(purchase, name), true), QString());

        // OK and Cancel in the platform's order, apart from the commands on the service shown.
        CAppContext& app = driver->app();
        CServiceListDlg services(app.database(), prompter);
        services.show();
        auto* box = services.findChild<QDialogButtonBox*>();
        QVERIFY(box && box->buttons().size() == 2);
        for (const char* name : {"okButton", "cancelButton"})
            QCOMPARE(on(services, name)->parentWidget(), box);
        QCOMPARE(on(services, "editButton")->width(),
                 on<QPushButton>(services, "editButton")->sizeHint().width());

        // Texts shown whole while there is room: list columns, the vehicle box, a dialog's title.
        CSelectJobOrdersDialog orders(app.database(), app.settings(), "");
        orders.show();
        QVERIFY(orders.list()->columnWidth(0) >=
                orders.list()->fontMetrics().horizontalAdvance(orders.list()->topLevelItem(0)->text(0)));
        for (const QString& form : names("maintenance gas joborders")) {
            QWidget& shown = show(form, 1100, 760);
            auto* vehicles = on<QComboBox>(shown, "vehicleSelector");
            QVERIFY(vehicles->width() >
                    vehicles->fontMetrics().horizontalAdvance(vehicles->currentText()) + 20);
            auto* list = on<QTreeWidget>(shown, "entryList");
            for (int row = 0; row < list->topLevelItemCount(); ++row)
                QVERIFY(list->columnWidth(0) >
                        list->fontMetrics().horizontalAdvance(list->topLevelItem(row)->text(0)));
        }
        CTemplateNameDlg rename("Vans", [](const QString&, QLineEdit*) { return true; });
        QVERIFY(rename.minimumWidth() >
                rename.fontMetrics().horizontalAdvance("Change Schedule Template Name") + 100);
    }
};

QTEST_MAIN(FormLookTest)
#include "tst_formlook.moc"
