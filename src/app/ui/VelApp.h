#pragma once

#include "app/Settings.h"
#include "app/ui/WelcomeDialog.h"
#include "db/Database.h"

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

// Everything that lives as long as the program: the database path and the application connection, the
// settings, the prompter, the current vehicle and the vehicle list columns. Not a global: the frame and
// the forms are handed this object.
class CVelApp
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

    Database& database() { return m_database; }
    const QString& databasePath() const { return m_databasePath; }
    void setDatabasePath(const QString& path) { m_databasePath = path; }
    // Opens the application connection on the database path.
    void openDatabase();

    Settings& settings() { return m_settings; }
    Prompter& prompter() { return m_prompter; }

    qint32 currentVehicle() const { return m_currentVehicle; }
    void setCurrentVehicle(qint32 vehicleId) { m_currentVehicle = vehicleId; }

    // The company name a form's company box hands to the company form it opens.
    void setCompanyToOpen(const QString& name) { m_companyToOpen = name; }
    QString takeCompanyToOpen() { return std::exchange(m_companyToOpen, QString()); }

    const QList<int>& vehicleColumns() const { return m_vehicleColumns; }
    void loadVehicleColumns() { m_vehicleColumns = m_settings.vehicleFields(); }

    CMainFrame* mainFrame() const { return m_mainFrame.get(); }

    // Drawing resources shared by the home screens.
    const QFont& titleFont() const { return m_titleFont; }
    const QFont& largeFont() const { return m_largeFont; }
    const QBrush& blackBrush() const { return m_blackBrush; }
    const QBrush& blueBrush() const { return m_blueBrush; }

private:
    Prompter& m_prompter;
    Settings m_settings;
    Database m_database;
    QString m_databasePath;
    qint32 m_currentVehicle = 0;
    QString m_companyToOpen;
    QList<int> m_vehicleColumns;
    std::unique_ptr<CMainFrame> m_mainFrame;
    QStringList m_arguments;
    std::function<WelcomeChoice()> m_welcomeChooser;
    // Why the welcome dialog is shown (the stored data file that cannot be used).
    WelcomeNotice m_welcomeNotice;
    std::function<bool(const QString&)> m_reminderLauncher;
    QFont m_titleFont;
    QFont m_largeFont;
    QBrush m_blackBrush;
    QBrush m_blueBrush;
};
