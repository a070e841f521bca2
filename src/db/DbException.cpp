#include "db/DbException.h"

#include <QSqlError>

CdbException::CdbException(int code, QString description)
    : m_code(code), m_description(std::move(description)), m_utf8(m_description.toUtf8())
{
}

CdbException CdbException::fromSqlError(const QSqlError& error)
{
    QString text = error.databaseText();
    if (text.isEmpty())
        text = error.text();
    if (text.contains(QLatin1String("no such table"), Qt::CaseInsensitive))
        return CdbException(TableNotFound, text);
    if (text.contains(QLatin1String("no such column"), Qt::CaseInsensitive))
        return CdbException(TooFewParameters, text);
    bool ok = false;
    int code = error.nativeErrorCode().toInt(&ok);
    if (!ok || code == 0)
        code = 1;
    return CdbException(code, text);
}
