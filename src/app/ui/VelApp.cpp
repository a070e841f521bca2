#include "app/ui/VelApp.h"

#include "app/Autostart.h"
#include "app/CommandLine.h"
#include "app/StartUp.h"
#include "app/ui/DesktopLook.h"
#include "app/ui/MainFrame.h"
#include "app/ui/SplashWindow.h"
#include "app/ui/WelcomeDialog.h"
#include "context/Enums.h"
#include "context/VelDoc.h"
#include "db/DatabaseCreation.h"

#include <QApplication>

CVelApp::CVelApp(Prompter& prompter)
    : CAppContext(prompter), m_welcomeChooser([this] { return askWelcomeChoice(m_welcomeNotice); }),
      m_reminderLauncher(StartUp::detachedLauncher()),
      m_dialogSizes(std::make_unique<DesktopLook::DialogSizes>(settings()))
{
    loadVehicleColumns();
}

CVelApp::~CVelApp() = default;

bool CVelApp::locateDatabase()
{
    m_welcomeNotice = welcomeNoticeFor(m_databasePath);
    return ::locateDatabase(*this, m_welcomeChooser);
}

bool CVelApp::initInstance(const QStringList& arguments)
{
    m_arguments = arguments;
    loadVehicleColumns();

    // A data file named on the command line (a double-click on a file) takes the place of the stored one.
    m_databasePath = CommandLine::dataFileArgument(arguments);
    if (m_databasePath.isEmpty())
        m_databasePath = m_settings.databaseLocation();
    StartUp::recoverInterrupted(m_databasePath, m_prompter);
    StartUp::DatabaseCheck check = StartUp::checkDatabase(m_databasePath);
    if (check.mustLocate) {
        if (!locateDatabase())
            return false;
        m_settings.setDatabaseLocation(m_databasePath);
        m_settings.sync();
        // The file just chosen may be an older version (a restored or located one): read its own marker.
        check = StartUp::checkDatabase(m_databasePath);
    }

    // An autostart entry written by an earlier version takes the current name.
    Autostart::moveOldEntry();
    StartUp::startReminder(m_settings, m_reminderLauncher);

    if (!StartUp::askAboutOtherWindows(m_databasePath, m_prompter, m_readOnly) ||
        !StartUp::upgradeAndOpen(m_database, m_databasePath, check.version, m_prompter, m_readOnly))
        return false;

    // Made before the frame, whose home screen draws with them.
    QFont title = QApplication::font();
    title.setPixelSize(18);
    title.setBold(true);
    m_titleFont = title;
    m_largeFont = QFont(QStringLiteral("Liberation Sans"));
    m_largeFont.setPixelSize(22);
    m_largeFont.setWeight(QFont::Normal);
    m_blackBrush = QBrush(Qt::black);
    m_blueBrush = QBrush(QColor(25, 25, 255));

    // Before the frame, so that its first view lists the readings as of today once, not twice.
    if (!m_readOnly)
        StartUp::bringReadingsForward(m_database, m_prompter);
    m_mainFrame = std::make_unique<CMainFrame>(*this);

    loadVehicleColumns();
    m_mainFrame->restorePlacement();
    // A real command line starts with the program's name; code that starts the application without one
    // (tests, tools) gets no splash, and "--no-splash" turns it off by hand.
    if (!arguments.isEmpty() && !arguments.contains(QStringLiteral("--no-splash")))
        SplashWindow::showOver(m_mainFrame.get());

    return true;
}
