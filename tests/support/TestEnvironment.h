#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class Database;

// A fresh folder, settings location and clock for one test; everything is undone when it goes.
class TestEnvironment
{
public:
    TestEnvironment();
    ~TestEnvironment();

    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString folder() const { return m_dir.path(); }
    // Creates a current-version database in the folder and opens db on it.
    QString createDatabase(Database& db, const QString& name = QStringLiteral("Velmora.vel"));

private:
    QTemporaryDir m_dir;
};

// The time zone (TZ) for the life of the object; the one before comes back when it goes.
class ScopedTimeZone
{
public:
    explicit ScopedTimeZone(const QByteArray& zone);
    ~ScopedTimeZone();

private:
    bool m_had;
    QByteArray m_saved;
};

// The first column of every row the query gives; a query that fails fails the test.
QStringList columnOf(Database& db, const QString& sql);

// What a run of the command-line tool (VELMORA_CLI) returned and printed.
struct CliRun
{
    int exitCode;
    QString out;
    QString err;
};
CliRun runCli(const QStringList& arguments);

// One row in every table that hangs on the vehicle; with an owner, the vehicle's own row first.
void addVehicleRows(Database& db, qint32 vehicleId, qint32 ownerId = 0);
// How many rows the vehicles ("1, 2") and every table that hangs on them hold.
int rowsOfVehicles(Database& db, const QString& ids);
