#pragma once

#include <QString>
#include <QStringList>
#include <vector>

class Database;

// The tables, fields and indexes of the current database version, in creation order, and the SQL that
// makes them on SQLite.
namespace Schema {

enum class FieldType { Long, Integer, Boolean, Double, Text, Memo };

struct Field
{
    QString name;
    FieldType type;
    int size = 0; // Text only
};

struct Index
{
    QString name;
    QStringList fields;
    bool primary = false;
    bool unique = false;
};

struct Table
{
    QString name;
    std::vector<Field> fields;
    std::vector<Index> indexes;
};

inline const QString CurrentVersion = QStringLiteral("B19");

const std::vector<Table>& tables();
const Table& table(const QString& name);

QString columnDefinition(const Field& field);
QString createTableStatement(const Table& table);
// SQLite index names are global, so each is prefixed with its table: Vehicles_PrimaryKey.
QString indexName(const QString& table, const QString& index);
QString createIndexStatement(const QString& table, const Index& index);
QString addFieldStatement(const QString& table, const Field& field);

// Creates one table with its indexes.
void createTable(Database& db, const Table& table);

} // namespace Schema
