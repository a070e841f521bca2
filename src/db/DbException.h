#pragma once

#include <QString>
#include <exception>

class QSqlError;

// The one error type of the data layer: an engine code and a description that is shown to the user.
class CdbException : public std::exception
{
public:
    enum Code : int {
        NoCurrentRecord = 3021,
        FileNotFound = 3024,
        ReadOnlyOperation = 3027,
        TooFewParameters = 3061, // what a query naming a missing field gives
        TableNotFound = 3078,
        VehicleChanged = 3164, // what an update that would move a row to another vehicle gives
    };

    CdbException(int code, QString description);

    int code() const { return m_code; }
    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return m_utf8.constData(); }

    // Maps an engine error onto our codes: missing tables and fields get their fixed numbers, anything
    // else keeps SQLite's own code and message.
    static CdbException fromSqlError(const QSqlError& error);

private:
    int m_code;
    QString m_description;
    QByteArray m_utf8;
};
