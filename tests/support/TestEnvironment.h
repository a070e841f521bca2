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

// The first column of every row the query gives; a query that fails fails the test.
QStringList columnOf(Database& db, const QString& sql);
