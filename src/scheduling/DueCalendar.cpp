#include "scheduling/DueCalendar.h"

namespace DueCalendar {

namespace {

// TEXT values escape backslash, semicolon, comma and line breaks; control characters are left out.
QString escaped(const QString& text)
{
    QString result;
    for (QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char(';') || c == QLatin1Char(','))
            result += QLatin1Char('\\') + QString(c);
        else if (c == QLatin1Char('\n'))
            result += QStringLiteral("\\n");
        else if (c.category() != QChar::Other_Control)
            result += c;
    }
    return result;
}

// Content lines longer than 75 octets are folded: CRLF then a space.
QString folded(const QString& line)
{
    QString result;
    int octets = 0;
    for (QChar c : line) {
        const int size = int(QString(c).toUtf8().size());
        if (octets + size > 75) {
            result += QStringLiteral("\r\n ");
            octets = 1;
        }
        result += c;
        octets += size;
    }
    return result + QStringLiteral("\r\n");
}

} // namespace

QString toICalendar(const DueList::List& list, const QDateTime& stamp)
{
    QString text = QStringLiteral("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Halvern Software//Velmora//EN\r\n"
                                  "CALSCALE:GREGORIAN\r\nMETHOD:PUBLISH\r\n");
    const QString dtstamp = stamp.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    for (const DueList::Row& row : list.rows) {
        if (!row.date.isValid())
            continue;
        text += QStringLiteral("BEGIN:VEVENT\r\n");
        text += folded(QStringLiteral("UID:velmora-schedule-%1-vehicle-%2@halvernsoftware.com")
                           .arg(row.scheduleId)
                           .arg(row.vehicleId));
        text += QStringLiteral("DTSTAMP:") + dtstamp + QStringLiteral("\r\n");
        text += QStringLiteral("DTSTART;VALUE=DATE:") + row.date.toString(QStringLiteral("yyyyMMdd")) +
                QStringLiteral("\r\n");
        text += QStringLiteral("DTEND;VALUE=DATE:") + row.date.addDays(1).toString(QStringLiteral("yyyyMMdd")) +
                QStringLiteral("\r\n");
        text += folded(QStringLiteral("SUMMARY:") + escaped(list.vehicle(row) + QStringLiteral(": ") + list.service(row)));
        text += folded(QStringLiteral("DESCRIPTION:") +
                       escaped(QStringLiteral("Perform every %1 %2. Last performed %3. Status: %4.")
                                   .arg(list.performEvery(row), list.unit(row), list.lastPerformed(row),
                                        DueList::statusText(row.status))));
        text += QStringLiteral("TRANSP:TRANSPARENT\r\nEND:VEVENT\r\n");
    }
    return text + QStringLiteral("END:VCALENDAR\r\n");
}

} // namespace DueCalendar
