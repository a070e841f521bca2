#pragma once

#include "context/Settings.h"
#include "db/Database.h"

#include <QList>
#include <QString>
#include <utility>

class Prompter;

// What every form and subsystem may use for as long as the program runs: the data file's path and the
// application connection, the settings, the prompter, the current vehicle and the vehicle list columns.
// The window's own part (start-up, the frame, fonts) sits above it in the application object.
class CAppContext
{
public:
    explicit CAppContext(Prompter& prompter) : m_prompter(prompter) { loadVehicleColumns(); }
    CAppContext(const CAppContext&) = delete;
    CAppContext& operator=(const CAppContext&) = delete;

    Database& database() { return m_database; }
    const QString& databasePath() const { return m_databasePath; }
    void setDatabasePath(const QString& path) { m_databasePath = path; }
    // Opens the application connection on the database path (read-only when the window was opened on a file
    // another window has open: every form then stays in Browse).
    void openDatabase();
    bool readOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    // Opens the file again when another program replaced it, and says what became of it since last asked,
    // so that the views can be reloaded before anything is read or saved.
    Database::FileState refreshDataFile();

    Settings& settings() { return m_settings; }
    Prompter& prompter() { return m_prompter; }

    qint32 currentVehicle() const { return m_currentVehicle; }
    void setCurrentVehicle(qint32 vehicleId) { m_currentVehicle = vehicleId; }

    // The company name a form's company box hands to the company form it opens.
    void setCompanyToOpen(const QString& name) { m_companyToOpen = name; }
    QString takeCompanyToOpen() { return std::exchange(m_companyToOpen, QString()); }

    const QList<int>& vehicleColumns() const { return m_vehicleColumns; }
    void loadVehicleColumns() { m_vehicleColumns = m_settings.vehicleFields(); }

protected:
    ~CAppContext() = default;

    Prompter& m_prompter;
    Settings m_settings;
    Database m_database;
    QString m_databasePath;
    bool m_readOnly = false;

private:
    qint32 m_currentVehicle = 0;
    QString m_companyToOpen;
    QList<int> m_vehicleColumns;
};
