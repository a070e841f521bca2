#include "TestEnvironment.h"

#include "ScriptedPrompter.h"
#include "db/Clock.h"
#include "db/Database.h"
#include "db/DatabaseCreation.h"

#include <QSettings>
#include <QSqlQuery>
#include <QTest>

TestEnvironment::TestEnvironment()
{
    // Settings of the code under test go to this folder, never to the user's own.
    qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("data")).toLocal8Bit());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       m_dir.filePath(QStringLiteral("config")));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.filePath(QStringLiteral("config")));
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
