#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <memory>

class QSettings;

// The per-user settings: QSettings("Halvern Software", "Velmora") in the sections Settings, Notify,
// Messages and Vehiclefields. Every value the program uses has its name, type and default in one table
// (Settings.cpp); integers are stored as integers, texts as strings.
class Settings
{
public:
    Settings();
    // For tests and tools: settings kept in a file of their own.
    explicit Settings(const QString& iniFile);
    ~Settings();

    int integer(const QString& section, const QString& name) const;
    QString text(const QString& section, const QString& name) const;
    void setInteger(const QString& section, const QString& name, int value);
    void setText(const QString& section, const QString& name, const QString& value);
    bool contains(const QString& section, const QString& name) const;
    void remove(const QString& section, const QString& name);
    void sync();

    // The documented default of a value (an invalid variant for a name not in the table).
    static QVariant defaultValue(const QString& section, const QString& name);

    // The ones read in many places.
    QString databaseLocation() const { return text(QStringLiteral("Settings"), QStringLiteral("DBLoc")); }
    void setDatabaseLocation(const QString& path) { setText(QStringLiteral("Settings"), QStringLiteral("DBLoc"), path); }
    QString installDir() const; // the stored value, else the folder of the running program
    int daysAhead() const { return integer(QStringLiteral("Notify"), QStringLiteral("Days")); }
    // The ten vehicle-list fieldSlots (field numbers, -1 = empty slot).
    QList<int> vehicleFields() const;
    void setVehicleFields(const QList<int>& fieldSlots);

private:
    std::unique_ptr<QSettings> m_settings;
};
