#pragma once

#include "context/AppContext.h"
#include "app/ui/WelcomeDialog.h"

#include <QBrush>
#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <utility>

class Prompter;
class CMainFrame;
namespace DesktopLook {
class DialogSizes;
}

// The program's application object: the shared context the forms use, plus start-up, the main frame and
// the home screens' drawing resources. Not a global: the frame is handed this object, the forms its
// context.
class CVelApp : public CAppContext
{
public:
    explicit CVelApp(Prompter& prompter);
    ~CVelApp();

    // The start-up sequence: finds (or asks for) the data file, starts the reminder program, upgrades and
    // opens the database, creates and shows the main window and brings the readings forward. False when
    // the program should end (the user cancelled, or the database could not be opened).
    bool initInstance(const QStringList& arguments);
    // Asks through the welcome dialog until a data file is open; false when the user cancels.
    bool locateDatabase();
    const QStringList& arguments() const { return m_arguments; }

    // Replace the welcome dialog and the start of the reminder program (tests, the demo).
    void setWelcomeChooser(std::function<WelcomeChoice()> chooser) { m_welcomeChooser = std::move(chooser); }
    void setReminderLauncher(std::function<bool(const QString&)> launcher)
    {
        m_reminderLauncher = std::move(launcher);
    }

    CMainFrame* mainFrame() const { return m_mainFrame.get(); }

    // Drawing resources shared by the home screens.
    const QFont& titleFont() const { return m_titleFont; }
    const QFont& largeFont() const { return m_largeFont; }
    const QBrush& blackBrush() const { return m_blackBrush; }
    const QBrush& blueBrush() const { return m_blueBrush; }

private:
    std::unique_ptr<CMainFrame> m_mainFrame;
    QStringList m_arguments;
    std::function<WelcomeChoice()> m_welcomeChooser;
    // Why the welcome dialog is shown (the stored data file that cannot be used).
    WelcomeNotice m_welcomeNotice;
    std::function<bool(const QString&)> m_reminderLauncher;
    std::unique_ptr<DesktopLook::DialogSizes> m_dialogSizes;
    QFont m_titleFont;
    QFont m_largeFont;
    QBrush m_blackBrush;
    QBrush m_blueBrush;
};
