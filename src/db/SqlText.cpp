#include "db/SqlText.h"

#include <QRegularExpression>

namespace SqlText {

QString literal(const QString& value)
{
    QString doubled = value;
    doubled.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + doubled + QLatin1Char('\'');
}

static QString translateUnquoted(QString part)
{
    static const QRegularExpression notTrue(QStringLiteral("<>\\s*TRUE\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression isTrue(QStringLiteral("=\\s*TRUE\\b"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression notFalse(QStringLiteral("<>\\s*FALSE\\b"),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression isFalse(QStringLiteral("=\\s*FALSE\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
    part.replace(notTrue, QStringLiteral("= 0"));
    part.replace(isTrue, QStringLiteral("<> 0"));
    part.replace(notFalse, QStringLiteral("<> 0"));
    part.replace(isFalse, QStringLiteral("= 0"));
    return part;
}

QString toSqlite(const QString& text)
{
    if (!text.contains(QLatin1String("TRUE"), Qt::CaseInsensitive) &&
        !text.contains(QLatin1String("FALSE"), Qt::CaseInsensitive))
        return text;
    QString result;
    QString pending;
    QChar quote;
    for (const QChar c : text) {
        if (quote.isNull()) {
            if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
                result += translateUnquoted(pending);
                pending.clear();
                quote = c;
                result += c;
            } else {
                pending += c;
            }
        } else {
            result += c;
            if (c == quote)
                quote = QChar(); // a doubled quote reopens at once on the next character
        }
    }
    result += quote.isNull() ? translateUnquoted(pending) : pending;
    return result;
}

} // namespace SqlText
