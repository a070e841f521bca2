#include "app/ui/MainFrame.h"

#include "app/Autostart.h"
#include "app/FormSwitch.h"
#include "app/StartUp.h"
#include "app/WindowPlacement.h"
#include "app/ui/AboutBox.h"
#include "app/ui/DataFileCommands.h"
#include "app/ui/DaysAheadDialog.h"
#include "app/ui/DesktopLook.h"
#include "app/ui/DriverView.h"
#include "app/ui/HelpWindow.h"
#include "app/ui/LogTransferCommands.h"
#include "app/ui/VehicleFieldsDialog.h"
#include "app/ui/VelApp.h"
#include "app/ui/VelView.h"
#include "context/Enums.h"
#include "context/Settings.h"
#include "context/VelDoc.h"
#include "db/DataFile.h"
#include "db/DbException.h"
#include "db/Messages.h"
#include "db/Prompter.h"
#include "fleet/ReadingPlausibility.h"
#include "fleet/ui/InsuranceView.h"
#include "fleet/ui/LoanView.h"
#include "fleet/ui/OwnerView.h"
#include "fleet/ui/StationView.h"
#include "fleet/ui/VehicleView.h"
#include "forms/FormView.h"
#include "fuel/ui/GasView.h"
#include "maintenance/ui/JobOrderView.h"
#include "maintenance/ui/MaintenanceView.h"
#include "maintenance/ui/ScheduleMonitorView.h"
#include "reports/ui/ReportView.h"
#include "scheduling/ui/ScheduleView.h"
#include "scheduling/ui/ServiceListDlg.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>

namespace {

const QString SettingsSection = QStringLiteral("Settings");
// Menu check marks are stored as the check flag itself.
constexpr int Checked = 8;
constexpr int Unchecked = 0;

struct FormCommand
{
    int formNumber;
    int a;
    const char* objectName;
    const char* text;
    const char* statusTip;
};

const FormCommand GoCommands[] = {
    {HomeForm, 0, "homeFormAction", "&Home", ""},
    {OwnerForm, 0, "ownerFormAction", "&Owners", "Maintain owner information"},
    {VehicleForm, 0, "vehicleFormAction", "&Vehicles", "Maintain vehicle information"},
    {ScheduleForm, 0, "scheduleFormAction", "&Schedule", "Maintain schedule information"},
    {LoanForm, 0, "loanFormAction", "&Loans", "Maintain loan information"},
    {InsuranceForm, 0, "insuranceFormAction", "&Insurance", "Maintain insurance information"},
    {ScheduleMonitorForm, 0, "monitorFormAction", "Schedule &Monitor",
     "Monitor the schedule for maintenance due"},
    {MaintenanceForm, 0, "maintenanceFormAction", "M&aintenance Log", "Record or track maintenance"},
    {GasForm, 0, "gasFormAction", "&Gas Log", "Record or track gas"},
    {JobOrderForm, 0, "jobOrderFormAction", "&Job Orders", ""},
    {CompanyForm, 0, "companyFormAction", "&Companies", "Maintain company list"},
};

// The report form opened on one report, in the order of the report form's own list.
// The open data file's name first, as desktop programs name their document.
QString windowTitleFor(const QString& dataFile)
{
    const QString name = QFileInfo(dataFile).fileName();
    return name.isEmpty() ? QStringLiteral("Velmora") : name + QStringLiteral(" \u2014 Velmora");
}

const FormCommand ReportCommands[] = {
    {ReportForm, 0, "vehicleListReportAction", "&Vehicle List", "Create report about each vehicle"},
    {ReportForm, 1, "maintenanceReportAction", "&Maintenance Log",
     "Create report of performed maintenance for each vehicle"},
    {ReportForm, 3, "gasReportAction", "&Gas Log", ""},
    {ReportForm, 4, "fuelGraphReportAction", "&Fuel Efficiency Graph by Month", ""},
    {ReportForm, 7, "expenseGraphReportAction", "&Expense Graph", ""},
    {ReportForm, 2, "scheduleReportAction", "&Schedule Monitor",
     "Create report of the upcoming schedule maintenance for each vehicle"},
    {ReportForm, 8, "jobOrderReportAction", "&Job Orders", "Create report of job orders"},
};

} // namespace

CMainFrame::CMainFrame(CVelApp& app, QWidget* parent)
    : QMainWindow(parent), m_app(app), m_doc(std::make_unique<CVelDoc>())
{
    setObjectName(QStringLiteral("mainFrame"));
    setWindowTitle(windowTitleFor(app.databasePath()));

    m_stack = new QStackedWidget(this);
    m_stack->setObjectName(QStringLiteral("formStack"));
    setCentralWidget(m_stack);
    // Set once for all forms: taken from each form as it is first made, the window would grow under the
    // user the first time a taller form opens.
    m_stack->setMinimumSize(DesktopLook::formArea(*this));

    createMenus();
    createKeyboardCommands();
    createStatusBar();
    registerStandardForms();

    resize(900, 680);
    applyStoredRectangle();

    // A session that ends with the program still open keeps its placement as a close would.
    if (auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(application, &QGuiApplication::commitDataRequest, this, [this] { savePlacement(); });

    // Collected once the menus and key commands exist; see eventFilter.
    for (const QAction* command : findChildren<QAction*>())
        for (const QKeySequence& key : command->shortcuts())
            if (key != QKeySequence(Qt::Key_Escape))
                m_commandKeys.append(key);
    qApp->installEventFilter(this);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive && !m_switching && m_app.database().isOpen() &&
            m_app.database().replaced()) {
            m_app.refreshDataFile();
            dataReplaced();
        }
    });

    switchForm(HomeForm);
}

CMainFrame::~CMainFrame()
{
    // The forms refer to the document, so they go before it does.
    m_shown = nullptr;
    m_forms.clear();
    delete takeCentralWidget();
}

QAction* CMainFrame::addCommand(QMenu* menu, const char* objectName, const QString& text,
                                const QString& statusTip)
{
    auto* action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(objectName));
    if (!statusTip.isEmpty())
        action->setStatusTip(statusTip);
    if (menu)
        menu->addAction(action);
    else
        addAction(action);
    return action;
}

void CMainFrame::createMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("fileMenu"));

    m_newAction = addCommand(file, "newAction", QStringLiteral("&New"), QStringLiteral("Start a new record"));
    m_newAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(m_newAction, &QAction::triggered, this, [this] {
        if (m_shown && m_shown->canNew())
            m_shown->commandNew();
    });

    m_duplicateAction = addCommand(file, "duplicateAction", QStringLiteral("&Duplicate Entry"),
                                   QStringLiteral("Start a new record with the values of the one shown"));
    connect(m_duplicateAction, &QAction::triggered, this, [this] {
        if (m_shown && m_shown->canDuplicate())
            m_shown->commandDuplicate();
    });

    m_saveAction =
        addCommand(file, "saveAction", QStringLiteral("&Save"), QStringLiteral("Save the record shown"));
    m_saveAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(m_saveAction, &QAction::triggered, this, [this] {
        if (m_shown && m_shown->canSave())
            m_shown->commandSave();
    });

    m_printAction = addCommand(file, "printAction", QStringLiteral("&Print..."),
                               QStringLiteral("Print what the form shows"));
    m_printAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(m_printAction, &QAction::triggered, this, [this] {
        if (m_shown && m_shown->canPrint())
            m_shown->commandPrint();
    });

    file->addSeparator();
    QAction* openFile = addCommand(file, "openDataFileAction", QStringLiteral("&Open Data File..."),
                                   QStringLiteral("Close this data file and open another"));
    openFile->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(openFile, &QAction::triggered, this, [this] { switchDataFile(false); });
    QAction* newFile = addCommand(file, "newDataFileAction", QStringLiteral("New Data Fi&le..."),
                                  QStringLiteral("Close this data file and start a new one"));
    connect(newFile, &QAction::triggered, this, [this] { switchDataFile(true); });
    file->addSeparator();
    QAction* importLog = addCommand(file, "importLogAction", QStringLiteral("&Import Fuel Log..."),
                                    QStringLiteral("Add another program's fuel log to the current vehicle"));
    connect(importLog, &QAction::triggered, this, [this] {
        if (importFuelLog(m_app, this))
            m_doc->updateAllViews(GeneralHint);
    });
    QAction* exportFile = addCommand(file, "exportAction", QStringLiteral("&Export..."),
                                     QStringLiteral("Write a log to a CSV file"));
    connect(exportFile, &QAction::triggered, this, [this] { exportLog(m_app, this); });

    file->addSeparator();
    QAction* printSetup = addCommand(file, "printSetupAction", QStringLiteral("Print Set&up..."),
                                     QStringLiteral("Change the printer and printing options"));
    connect(printSetup, &QAction::triggered, this, &CMainFrame::printSetup);
    file->addSeparator();

    QMenu* options = file->addMenu(QStringLiteral("Op&tions"));
    options->setObjectName(QStringLiteral("optionsMenu"));
    QAction* vehicleFields =
        addCommand(options, "vehicleFieldsAction", QStringLiteral("&Vehicle Fields Displayed..."),
                   QStringLiteral("Choose the fields the vehicle lists show"));
    connect(vehicleFields, &QAction::triggered, this, &CMainFrame::editVehicleFields);
    QAction* days =
        addCommand(options, "daysAheadAction", QStringLiteral("&Monitor Schedule - Days..."),
                   QStringLiteral("Specify number of days in future to highlight maintenance comeing up"));
    connect(days, &QAction::triggered, this, &CMainFrame::editDaysAhead);

    Settings& settings = m_app.settings();
    m_reminderAction = addCommand(options, "reminderAction", QStringLiteral("Schedule Reminder"),
                                  QStringLiteral("Load the Schedule Reminder when you log on"));
    m_reminderAction->setCheckable(true);
    m_reminderAction->setChecked(settings.integer(SettingsSection, QStringLiteral("NotifyPgm")) == Checked);
    connect(m_reminderAction, &QAction::triggered, this, &CMainFrame::toggleReminder);

    m_graphicalAction = addCommand(options, "graphicalAction", QStringLiteral("Use Graphical Front End"),
                                   QStringLiteral("Use the pictures of the home screen as buttons"));
    m_graphicalAction->setCheckable(true);
    m_graphicalAction->setChecked(settings.integer(SettingsSection, QStringLiteral("Graphical")) == Checked);
    connect(m_graphicalAction, &QAction::triggered, this, &CMainFrame::toggleGraphical);

    QAction* readings = addCommand(
        options, "readingCheckAction", QStringLiteral("Ask About &Implausible Readings"),
        QStringLiteral("Ask before saving a reading that implies far more use than the vehicle's estimate"));
    readings->setCheckable(true);
    readings->setChecked(
        settings.integer(QStringLiteral("Messages"), QLatin1String(ReadingPlausibility::SettingKey)) != 0);
    connect(readings, &QAction::triggered, this, [this](bool checked) {
        m_app.settings().setInteger(QStringLiteral("Messages"),
                                    QLatin1String(ReadingPlausibility::SettingKey), checked ? 1 : 0);
    });

    QAction* backup =
        addCommand(file, "backupAction", QStringLiteral("&Backup..."), QStringLiteral("Backup data"));
    connect(backup, &QAction::triggered, this, [this] {
        const QString made = backupDatabase(m_app);
        if (!made.isEmpty())
            showStatus(Messages::SavedTo.arg(QStringLiteral("a backup of ") +
                                                 QFileInfo(m_app.databasePath()).fileName(),
                                             QDir::toNativeSeparators(made)));
    });
    QAction* restore =
        addCommand(file, "restoreAction", QStringLiteral("&Restore..."), QStringLiteral("Restore data"));
    connect(restore, &QAction::triggered, this, &CMainFrame::restoreData);
    QAction* maintenance = addCommand(file, "maintenanceAction", QStringLiteral("Run &maintenance..."),
                                      QStringLiteral("Run maintenance on database"));
    connect(maintenance, &QAction::triggered, this, [this] { runMaintenance(m_app); });

    file->addSeparator();
    QAction* exit =
        addCommand(file, "exitAction", QStringLiteral("E&xit"), QStringLiteral("Quit the program"));
    exit->setShortcut(QKeySequence::Quit);
    exit->setMenuRole(QAction::QuitRole);
    connect(exit, &QAction::triggered, this, &QWidget::close);

    // Every form can be reached from the keyboard, not only from the home page's buttons.
    QMenu* go = menuBar()->addMenu(QStringLiteral("&Go"));
    go->setObjectName(QStringLiteral("goMenu"));
    const auto addFormCommand = [this](QMenu* menu, const FormCommand& command) {
        QAction* action = addCommand(menu, command.objectName, QString::fromLatin1(command.text),
                                     QString::fromLatin1(command.statusTip));
        const int formNumber = command.formNumber;
        const int a = command.a;
        connect(action, &QAction::triggered, this, [this, formNumber, a] { switchForm(formNumber, a, 0); });
        m_formActions.insert(formNumber, action);
    };
    for (const FormCommand& command : GoCommands) {
        addFormCommand(go, command);
        if (command.formNumber == HomeForm)
            go->addSeparator();
    }
    QAction* services = addCommand(go, "servicesListAction", QStringLiteral("Maintain Services Lis&t..."),
                                   QStringLiteral("Maintain services list"));
    connect(services, &QAction::triggered, this, [this] {
        CServiceListDlg dialog(m_app.database(), m_app.prompter(), this);
        connect(&dialog, &CServiceListDlg::serviceListChanged, this,
                [this] { m_doc->updateAllViews(ServiceListHint); });
        dialog.exec();
    });
    QMenu* reports = go->addMenu(QStringLiteral("&Reports"));
    reports->setObjectName(QStringLiteral("reportsMenu"));
    for (const FormCommand& command : ReportCommands)
        addFormCommand(reports, command);

    QMenu* helpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
    helpMenu->setObjectName(QStringLiteral("helpMenu"));
    QAction* guide = addCommand(helpMenu, "userGuideAction", QStringLiteral("&User Guide"),
                                QStringLiteral("Open the user guide at the form in front"));
    guide->setShortcut(QKeySequence(Qt::Key_F1));
    connect(guide, &QAction::triggered, this, &CMainFrame::showHelp);
    QAction* about = addCommand(helpMenu, "aboutAction", QStringLiteral("&About Velmora..."),
                                QStringLiteral("Display program information and version number"));
    about->setMenuRole(QAction::AboutRole);
    connect(about, &QAction::triggered, this, [this] { AboutBox::run(this); });
}

void CMainFrame::createKeyboardCommands()
{
    m_editAction = addCommand(nullptr, "editAction", QStringLiteral("Edit"), QString());
    m_editAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    connect(m_editAction, &QAction::triggered, this, [this] {
        if (m_shown && m_shown->canEdit())
            m_shown->commandEdit();
    });

    m_homeAction = addCommand(nullptr, "homeAction", QStringLiteral("Home"), QString());
    m_homeAction->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(m_homeAction, &QAction::triggered, this, [this] {
        // Escape belongs to the innermost thing open: a list's drop-down, a menu or a dialog closes first
        // (a drop-down list passes the key on to its box once it has closed).
        if (m_escapeClosingPopup || QApplication::activeModalWidget())
            return;
        if (QWidget* popup = QApplication::activePopupWidget()) {
            popup->close();
            return;
        }
        if (m_shown)
            m_shown->commandHome();
    });

    const std::pair<QKeySequence, bool> paneKeys[] = {{QKeySequence(Qt::Key_F6), true},
                                                      {QKeySequence(Qt::SHIFT | Qt::Key_F6), false}};
    for (const auto& [key, forward] : paneKeys) {
        QAction* pane =
            addCommand(nullptr, forward ? "nextPaneAction" : "previousPaneAction",
                       forward ? QStringLiteral("Next Pane") : QStringLiteral("Previous Pane"), QString());
        pane->setShortcut(key);
        connect(pane, &QAction::triggered, this, [this, forward = forward] {
            if (m_shown)
                m_shown->focusNextPane(forward);
        });
    }
}

void CMainFrame::createStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("statusBar"));
    // A normal (not permanent) widget, so that the actions' status tips cover it while they show.
    auto* message = new QLabel(QStringLiteral("Ready"), bar);
    message->setObjectName(QStringLiteral("messagePane"));
    bar->addWidget(message, 1);
    // Qt cannot read the lock keys' states on every platform, so the indicators are shown dimmed.
    const std::pair<const char*, const char*> indicators[] = {
        {"capIndicator", "CAP"}, {"numIndicator", "NUM"}, {"scrollIndicator", "SCRL"}};
    for (const auto& [name, text] : indicators) {
        auto* label = new QLabel(QString::fromLatin1(text), bar);
        label->setObjectName(QString::fromLatin1(name));
        label->setEnabled(false);
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 12);
        bar->addPermanentWidget(label);
    }
}

void CMainFrame::registerStandardForms()
{
    registerForm(HomeForm, [this](CVelApp& app, CVelDoc& doc, QWidget* parent) -> CFormView* {
        auto* home = new CVelView(app, doc, parent);
        home->setFormAvailable([this](int formNumber) { return hasForm(formNumber); });
        return home;
    });
    registerForm(PictureHomeForm, factoryOf<CDriverView>());
    // Each form registers here once it is built: registerForm(<number>, factoryOf<CSomeView>()).
    registerForm(OwnerForm, factoryOf<COwnerView>());
    registerForm(CompanyForm, factoryOf<CStationView>());
    registerForm(LoanForm, factoryOf<CLoanView>());
    registerForm(InsuranceForm, factoryOf<CInsuranceView>());
    registerForm(VehicleForm, factoryOf<CVehicleView>());
    registerForm(JobOrderForm, factoryOf<CJobOrderView>());
    registerForm(MaintenanceForm, factoryOf<CMaintenanceView>());
    registerForm(ScheduleMonitorForm, factoryOf<CScheduleMonitorView>());
    registerForm(ReportForm, factoryOf<CReportView>());
    registerForm(GasForm, factoryOf<CGasView>());
    registerForm(ScheduleForm, factoryOf<CScheduleView>());
}

void CMainFrame::registerForm(int formNumber, FormFactory factory)
{
    m_factories[formNumber] = std::move(factory);
    updateFormCommands();
}

bool CMainFrame::hasForm(int formNumber) const
{
    return m_factories.count(formNumber) != 0;
}

bool CMainFrame::switchForm(int formNumber, int a, int b)
{
    // A form that asks for another form while it is being entered gets it once this switch is complete.
    if (m_switching) {
        m_pendingSwitch = SwitchRequest{formNumber, a, b};
        return false;
    }
    m_switching = true;
    const bool shown = showForm(formNumber, a, b);
    m_switching = false;
    if (m_pendingSwitch) {
        const SwitchRequest next = *m_pendingSwitch;
        m_pendingSwitch.reset();
        switchForm(next.formNumber, next.a, next.b);
    }
    return shown;
}

bool CMainFrame::showForm(int formNumber, int a, int b)
{
    Prompter& prompter = m_app.prompter();
    try {
        if (m_shown && !m_shown->canLeave(formNumber))
            return false;
        noticeOtherPrograms();
        formNumber = FormSwitch::resolvePrerequisites(formNumber, m_app.database(), prompter);
        if (formNumber == NoForm)
            return false;

        BusyScope busy(prompter);
        CFormView* form = m_forms.value(formNumber);
        if (!form) {
            const auto factory = m_factories.find(formNumber);
            if (factory == m_factories.end()) {
                prompter.message(Messages::NoFormSelected, Prompter::Icon::Error);
                return false;
            }
            form = factory->second(m_app, *m_doc, m_stack);
            m_stack->addWidget(form);
            m_forms.insert(formNumber, form);
            connect(form, &CFormView::switchFormRequested, this,
                    [this](int number, int formA, int formB) { switchForm(number, formA, formB); });
            connect(form, &CFormView::commandStateChanged, this, &CMainFrame::updateCommandState);
        }
        form->enter(a, b);
        m_stack->setCurrentWidget(form);
        m_shown = form;
        updateCommandState();
        return true;
    } catch (const CdbException& error) {
        prompter.message(error.description());
        updateCommandState();
        return false;
    }
}

void CMainFrame::updateCommandState()
{
    m_newAction->setEnabled(m_shown && m_shown->canNew());
    m_saveAction->setEnabled(m_shown && m_shown->canSave());
    m_duplicateAction->setEnabled(m_shown && m_shown->canDuplicate());
    m_editAction->setEnabled(m_shown && m_shown->canEdit());
    m_printAction->setEnabled(m_shown && m_shown->canPrint());
    m_homeAction->setEnabled(m_shown != nullptr);
}

void CMainFrame::updateFormCommands()
{
    for (auto it = m_formActions.cbegin(); it != m_formActions.cend(); ++it)
        it.value()->setEnabled(hasForm(it.key()));
}

void CMainFrame::applyStoredRectangle()
{
    const WindowPlacement placement = WindowPlacement::load(m_app.settings());
    if (placement.normalRect.isNull())
        return;
    QRect rect = placement.normalRect;
    if (const QScreen* primary = QGuiApplication::primaryScreen()) {
        QList<QRect> screens;
        for (const QScreen* screen : QGuiApplication::screens())
            screens << screen->availableGeometry();
        rect = keepOnScreen(rect, screens, primary->availableGeometry());
    }
    setGeometry(rect);
}

void CMainFrame::restorePlacement()
{
    applyStoredRectangle();
    if (WindowPlacement::load(m_app.settings()).startsMaximized())
        showMaximized();
    else
        showNormal();
}

void CMainFrame::savePlacement()
{
    Settings& settings = m_app.settings();
    WindowPlacement::of(normalGeometry(), isMaximized(), isMinimized()).save(settings);
    settings.setDatabaseLocation(m_app.databasePath());
    settings.sync();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!offerAllChanges()) {
        event->ignore();
        return;
    }
    savePlacement();
    event->accept();
}

bool CMainFrame::offerAllChanges()
{
    // Unsaved changes on the shown form are offered first, as when switching to another form.
    if (m_shown && !m_shown->canLeave(NoForm))
        return false;
    // A form left for the company list keeps its changes while hidden; show each such form and offer its
    // changes too, so that closing never drops typing silently.
    for (CFormView* form : std::as_const(m_forms)) {
        if (form == m_shown || !form->hasPendingChanges())
            continue;
        // Only the changes are offered: the form is brought forward as it is, without the questions a
        // switch asks about owners and vehicles.
        bringForward(form);
        if (!form->canLeave(NoForm))
            return false;
    }
    return true;
}

void CMainFrame::switchDataFile(bool createNew)
{
    // The file in use is left as closing the window would leave it: nothing typed is dropped unasked.
    if (!offerAllChanges())
        return;
    useDataFile(createNew ? chooseAndCreateDataFile(m_app) : chooseExistingDataFile(m_app));
}

void CMainFrame::openDataFile(const QString& path)
{
    if (DataFile::sameFile(path, m_app.databasePath()) || !offerAllChanges())
        return;
    useDataFile(acceptExistingDataFile(m_app, path));
}

void CMainFrame::useDataFile(const QString& path)
{
    Prompter& prompter = m_app.prompter();
    const QString previous = m_app.databasePath();
    if (path.isEmpty() || DataFile::sameFile(path, previous))
        return;
    const QString version = StartUp::checkDatabase(path).version;
    m_app.database().close();
    m_app.setDatabasePath(path);
    if (!StartUp::upgradeAndOpen(m_app.database(), path, version, prompter)) {
        // The other file could not be used: carry on with the one before.
        m_app.setDatabasePath(previous);
        try {
            m_app.openDatabase();
        } catch (const CdbException& error) {
            prompter.message(error.description());
        }
        return;
    }
    m_app.settings().setDatabaseLocation(path);
    m_app.settings().sync();
    m_app.setCurrentVehicle(0);
    StartUp::bringReadingsForward(m_app.database(), prompter);
    dataReplaced();
}

void CMainFrame::bringForward(CFormView* form)
{
    m_stack->setCurrentWidget(form);
    m_shown = form;
    updateCommandState();
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    // A text field claims keys such as Ctrl+E (end of line on some desktops) before shortcuts are looked
    // up; the frame's command keys must still reach the commands from every field of a form.
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && widget && widget->window()->windowType() == Qt::Popup &&
            !m_escapeClosingPopup) {
            m_escapeClosingPopup = true;
            QTimer::singleShot(0, this, [this] { m_escapeClosingPopup = false; });
        }
    }
    if (event->type() == QEvent::ShortcutOverride) {
        auto* widget = qobject_cast<QWidget*>(watched);
        auto* key = static_cast<QKeyEvent*>(event);
        if (widget && widget->window() == this &&
            m_commandKeys.contains(QKeySequence(key->keyCombination()))) {
            key->ignore();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::showStatus(const QString& text)
{
    // The message pane keeps it; the actions' status tips cover it only while they show.
    if (auto* pane = findChild<QLabel*>(QStringLiteral("messagePane")))
        pane->setText(text);
}

void CMainFrame::noticeOtherPrograms()
{
    // What another program saved (or a file it put in place) is shown before anything is read or saved.
    switch (m_app.refreshDataFile()) {
    case Database::FileState::Replaced:
        m_doc->updateAllViews(DataRestoredHint);
        break;
    case Database::FileState::Changed:
        m_doc->updateAllViews(GeneralHint);
        break;
    case Database::FileState::Same:
        break;
    }
}

void CMainFrame::dataReplaced()
{
    setWindowTitle(windowTitleFor(m_app.databasePath()));
    m_doc->updateAllViews(DataRestoredHint);
    switchForm(HomeForm);
}

bool CMainFrame::graphicalFrontEnd() const
{
    return m_graphicalAction->isChecked();
}

QPrinter& CMainFrame::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

void CMainFrame::editDaysAhead()
{
    CDaysAheadDialog dialog(m_app.settings(), m_app.prompter(), this);
    if (dialog.exec() == QDialog::Accepted)
        m_doc->updateAllViews(DaysAheadHint);
}

void CMainFrame::toggleReminder(bool checked)
{
    Settings& settings = m_app.settings();
    Prompter& prompter = m_app.prompter();
    if (checked) {
        const QString program = Autostart::reminderProgram(settings.installDir());
        if (!Autostart::registerReminder(program))
            prompter.message(Messages::ReminderNotRegistered.arg(Autostart::entryPath()));
        // The reminder may not be installed; the setting still records the user's choice.
        Autostart::startReminder(program);
    } else if (Autostart::unregisterReminder()) {
        prompter.information(Messages::ReminderNoLongerLoaded);
    } else {
        prompter.message(Messages::ReminderNotRemoved.arg(Autostart::entryPath()));
    }
    settings.setInteger(SettingsSection, QStringLiteral("NotifyPgm"), checked ? Checked : Unchecked);
}

void CMainFrame::toggleGraphical(bool checked)
{
    m_app.settings().setInteger(SettingsSection, QStringLiteral("Graphical"), checked ? Checked : Unchecked);
    if (m_shown)
        m_shown->update();
}

void CMainFrame::editVehicleFields()
{
    if (runVehicleFieldsDialog(m_app, this))
        m_doc->updateAllViews(GeneralHint);
}

void CMainFrame::printSetup()
{
    QPageSetupDialog dialog(&printer(), this);
    dialog.exec();
}

void CMainFrame::restoreData()
{
    if (restoreDatabase(m_app))
        dataReplaced();
}

void CMainFrame::showHelp()
{
    HelpWindow::open(this, HelpWindow::sectionForForm(m_shown ? m_shown->formNumber() : NoForm));
}
