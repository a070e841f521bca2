#include "TestEnvironment.h"

#include "ScriptedPrompter.h"
#include "db/Clock.h"
#include "db/Database.h"
#include "db/DatabaseCreation.h"
#include "fleet/RecordDeletion.h"

#include <QProcess>
#include <QSettings>
#include <QSqlQuery>
#include <QTest>

#include <ctime>

TestEnvironment::TestEnvironment()
{
    // Settings of the code under test go to this folder, never to the user's own.
    const QString config = m_dir.filePath("config");
    qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
    qputenv("XDG_DATA_HOME", m_dir.filePath("data").toLocal8Bit());
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, config);
}

TestEnvironment::~TestEnvironment()
{
    Clock::reset();
}

QString TestEnvironment::createDatabase(Database& db, const QString& name)
{
    const QString file = path(name);
    ScriptedPrompter prompter;
    if (!DatabaseCreation::createDatabase(file, prompter))
        QTest::qFail("could not create the test database", __FILE__, __LINE__);
    db.open(file);
    return file;
}

QStringList columnOf(Database& db, const QString& sql)
{
    QSqlQuery query(db.connection());
    if (!query.exec(sql))
        QTest::qFail(qPrintable("query failed: " + sql), __FILE__, __LINE__);
    QStringList values;
    while (query.next())
        values << query.value(0).toString();
    return values;
}

void addVehicleRows(Database& db, qint32 vehicleId, qint32 ownerId)
{
    if (ownerId)
        db.execute(QStringLiteral("INSERT INTO Vehicles (VehicleID, OwnerID, ContactID) VALUES (%1, %2, 0)")
                       .arg(vehicleId)
                       .arg(ownerId));
    for (const QString& table : RecordDeletion::vehicleTables())
        db.execute(QStringLiteral("INSERT INTO %1 (VehicleID) VALUES (%2)").arg(table).arg(vehicleId));
}

int rowsOfVehicles(Database& db, const QString& ids)
{
    int rows = 0;
    for (const QString& table : QStringList{"Vehicles"} + RecordDeletion::vehicleTables())
        rows += db.scalar(QString("SELECT count(*) FROM %1 WHERE VehicleID IN (%2)").arg(table, ids)).toInt();
    return rows;
}

CliRun runCli(const QStringList& arguments)
{
    QProcess process;
    process.start(qEnvironmentVariable("VELMORA_CLI"), arguments);
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

ScopedTimeZone::ScopedTimeZone(const QByteArray& zone)
    : m_had(qEnvironmentVariableIsSet("TZ")), m_saved(qgetenv("TZ"))
{
    qputenv("TZ", zone);
    tzset();
}

ScopedTimeZone::~ScopedTimeZone()
{
    if (m_had)
        qputenv("TZ", m_saved);
    else
        qunsetenv("TZ");
    tzset();
}
