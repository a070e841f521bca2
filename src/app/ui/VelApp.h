#pragma once

#include "app/Settings.h"
#include "db/Database.h"

#include <QList>
#include <QString>
#include <memory>

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

    Database& database() { return m_database; }
    const QString& databasePath() const { return m_databasePath; }
    void setDatabasePath(const QString& path) { m_databasePath = path; }
    // Opens the application connection on the database path.
    void openDatabase();

    Settings& settings() { return m_settings; }
    Prompter& prompter() { return m_prompter; }

    qint32 currentVehicle() const { return m_currentVehicle; }
    void setCurrentVehicle(qint32 vehicleId) { m_currentVehicle = vehicleId; }

    const QList<int>& vehicleColumns() const { return m_vehicleColumns; }
    void loadVehicleColumns() { m_vehicleColumns = m_settings.vehicleFields(); }

    CMainFrame* mainFrame() const { return m_mainFrame.get(); }

private:
    Prompter& m_prompter;
    Settings m_settings;
    Database m_database;
    QString m_databasePath;
    qint32 m_currentVehicle = 0;
    QList<int> m_vehicleColumns;
    std::unique_ptr<CMainFrame> m_mainFrame;
};
