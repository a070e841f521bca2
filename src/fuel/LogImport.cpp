#include "fuel/LogImport.h"

#include "db/Clock.h"
#include "db/Database.h"
#include "db/DbException.h"
#include "db/MissedFillups.h"
#include "db/Values.h"
#include "fleet/ReadingEstimate.h"
#include "fuel/GasEntry.h"

#include <QDate>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QSqlQuery>
#include <QTextStream>
#include <QVariant>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

namespace LogImport {

namespace {

// ---- CSV records ----

struct Cell
{
    QString text;
    bool quoted = false;
};

struct Record
{
    int line = 0;
    std::vector<Cell> cells;
    QString at(int column) const { return column >= 0 && column < int(cells.size()) ? cells[column].text : QString(); }
    bool quotedAt(int column) const { return column >= 0 && column < int(cells.size()) && cells[column].quoted; }
};

QChar separatorOf(const QString& text)
{
    const QString firstLine = text.section(QLatin1Char('\n'), 0, 0);
    int commas = 0, semicolons = 0;
    bool inQuotes = false;
    for (QChar c : firstLine) {
        if (c == QLatin1Char('"'))
            inQuotes = !inQuotes;
        else if (!inQuotes && c == QLatin1Char(','))
            ++commas;
        else if (!inQuotes && c == QLatin1Char(';'))
            ++semicolons;
    }
    return semicolons > commas ? QLatin1Char(';') : QLatin1Char(',');
}

// RFC 4180 records: quoted fields may hold separators, doubled quotes and line breaks.
std::vector<Record> readRecords(const QString& text, QChar separator)
{
    std::vector<Record> records;
    Record record;
    Cell cell;
    bool inQuotes = false, cellStarted = false;
    int line = 1;
    record.line = 1;
    auto endCell = [&] {
        record.cells.push_back(cell);
        cell = Cell();
        cellStarted = false;
    };
    auto endRecord = [&](int nextLine) {
        endCell();
        const bool blank = record.cells.size() == 1 && record.cells[0].text.trimmed().isEmpty() &&
                           !record.cells[0].quoted;
        if (!blank)
            records.push_back(record);
        record = Record();
        record.line = nextLine;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (inQuotes) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    cell.text += c;
                    ++i;
                } else {
                    inQuotes = false;
                }
            } else {
                if (c == QLatin1Char('\n'))
                    ++line;
                cell.text += c;
            }
        } else if (c == QLatin1Char('"') && !cellStarted) {
            inQuotes = true;
            cell.quoted = true;
            cellStarted = true;
        } else if (c == separator) {
            endCell();
        } else if (c == QLatin1Char('\n')) {
            ++line;
            endRecord(line);
        } else if (c != QLatin1Char('\r')) {
            cell.text += c;
            cellStarted = true;
        }
    }
    if (cellStarted || !record.cells.empty())
        endRecord(line + 1);
    return records;
}

QString normalName(QString name)
{
    name = name.trimmed().toLower();
    if (name.startsWith(QChar(0xfeff)))
        name.remove(0, 1);
    return name;
}

// A header name without its unit in parentheses ("odo (km)" -> "odo"), and that unit.
QString baseName(const QString& name, QString* unit = nullptr)
{
    const qsizetype open = name.indexOf(QLatin1Char('('));
    if (open < 0)
        return name;
    if (unit)
        *unit = name.mid(open + 1).section(QLatin1Char(')'), 0, 0).trimmed();
    return name.left(open).trimmed();
}

int columnOf(const QStringList& header, const QStringList& names)
{
    for (const QString& name : names) {
        for (int i = 0; i < header.size(); ++i)
            if (baseName(header[i]) == name)
                return i;
    }
    return -1;
}

// ---- numbers ----

// A number as the file writes it: currency signs and thousands separators are left out; a decimal comma
// is read as such only where the file makes it certain. Nothing, with *ambiguous set, when it is not.
std::optional<double> readNumber(const QString& raw, bool quoted, bool semicolonFile, bool* ambiguous)
{
    *ambiguous = false;
    QString text;
    for (QChar c : raw)
        if (c.isDigit() || c == QLatin1Char('.') || c == QLatin1Char(',') || c == QLatin1Char('-'))
            text += c;
    if (text.isEmpty() || text == QLatin1String("-"))
        return std::nullopt;
    const qsizetype dot = text.lastIndexOf(QLatin1Char('.'));
    const qsizetype comma = text.lastIndexOf(QLatin1Char(','));
    auto digitsAfter = [&](qsizetype at) { return text.size() - at - 1; };
    if (dot >= 0 && comma >= 0) {
        const QChar decimal = dot > comma ? QLatin1Char('.') : QLatin1Char(',');
        const QChar thousands = dot > comma ? QLatin1Char(',') : QLatin1Char('.');
        if (text.count(decimal) > 1)
            return std::nullopt;
        text.remove(thousands);
        text.replace(decimal, QLatin1Char('.'));
    } else if (comma >= 0) {
        if (text.count(QLatin1Char(',')) > 1) {
            text.remove(QLatin1Char(','));
        } else if (semicolonFile || (quoted && digitsAfter(comma) != 3)) {
            text.replace(QLatin1Char(','), QLatin1Char('.'));
        } else {
            *ambiguous = true;
            return std::nullopt;
        }
    } else if (dot >= 0 && text.count(QLatin1Char('.')) > 1) {
        if (!semicolonFile)
            return std::nullopt;
        text.remove(QLatin1Char('.'));
    } else if (dot >= 0 && semicolonFile && digitsAfter(dot) == 3) {
        // "1.234" in a file written with decimal commas may be a thousand and more.
        *ambiguous = true;
        return std::nullopt;
    }
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double roundTo(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

bool flagOn(const QString& text)
{
    const QString t = text.trimmed().toLower();
    return t == QLatin1String("1") || t == QLatin1String("true") || t == QLatin1String("yes") ||
           t == QLatin1String("-1") || t == QLatin1String("y");
}

// ---- units ----

enum class Distance { None, Miles, Kilometres };
enum class Fuel { None, UsGallons, UkGallons, Litres };

QString distanceWords(Distance d)
{
    return d == Distance::Miles ? QStringLiteral("miles") : QStringLiteral("kilometres");
}

QString fuelWords(Fuel f)
{
    return f == Fuel::UsGallons   ? QStringLiteral("US gallons")
           : f == Fuel::UkGallons ? QStringLiteral("UK gallons")
                                  : QStringLiteral("litres");
}

double litresPer(Fuel f)
{
    return f == Fuel::UsGallons ? LitresPerUsGallon : f == Fuel::UkGallons ? LitresPerUkGallon : 1.0;
}

// ---- one file's columns, whatever its format ----

struct Layout
{
    Format format = Format::LubeLogger;
    QString name;
    std::vector<Record> records; // data records only
    int date = -1, reading = -1, amount = -1, total = -1, unitPrice = -1, partial = -1, full = -1,
        missed = -1, notes = -1, car = -1;
    Distance distance = Distance::None;
    Fuel fuel = Fuel::None;
    QString dateFormat; // declared by the file
    QString fileCar;    // a file of one car that names it
};

Distance distanceFromWord(const QString& word)
{
    const QString w = word.toLower();
    if (w == QLatin1String("km") || w.startsWith(QLatin1String("kilomet")))
        return Distance::Kilometres;
    if (w == QLatin1String("mi") || w.startsWith(QLatin1String("mile")))
        return Distance::Miles;
    return Distance::None;
}

Fuel fuelFromWord(const QString& word)
{
    const QString w = word.toLower();
    if (w.startsWith(QLatin1String("l")))
        return Fuel::Litres;
    if (w.contains(QLatin1String("uk")) || w.contains(QLatin1String("imp")))
        return Fuel::UkGallons;
    if (w.startsWith(QLatin1String("gal")) || w.contains(QLatin1String("us")))
        return Fuel::UsGallons;
    return Fuel::None;
}

QString layoutFuelio(const std::vector<Record>& all, Layout& layout)
{
    layout.format = Format::Fuelio;
    layout.name = QStringLiteral("Fuelio");
    QString section;
    QStringList header;
    for (const Record& record : all) {
        const QString first = record.at(0).trimmed();
        if (first.startsWith(QLatin1String("##"))) {
            section = first.mid(2).trimmed().toLower();
            header.clear();
            continue;
        }
        if (header.isEmpty()) {
            for (const Cell& cell : record.cells)
                header << normalName(cell.text);
            if (section == QLatin1String("log")) {
                layout.date = columnOf(header, {QStringLiteral("data"), QStringLiteral("date")});
                QString unit;
                const int odo = columnOf(header, {QStringLiteral("odo")});
                layout.reading = odo;
                if (odo >= 0 && baseName(header[odo], &unit) == QLatin1String("odo") &&
                    layout.distance == Distance::None)
                    layout.distance = distanceFromWord(unit);
                layout.amount = columnOf(header, {QStringLiteral("fuel")});
                unit.clear();
                if (layout.amount >= 0 && layout.fuel == Fuel::None) {
                    baseName(header[layout.amount], &unit);
                    layout.fuel = fuelFromWord(unit);
                }
                layout.full = columnOf(header, {QStringLiteral("full")});
                layout.total = columnOf(header, {QStringLiteral("price")});
                layout.unitPrice = columnOf(header, {QStringLiteral("volumeprice")});
                layout.missed = columnOf(header, {QStringLiteral("missed")});
                layout.notes = columnOf(header, {QStringLiteral("notes")});
            }
            continue;
        }
        if (section == QLatin1String("vehicle")) {
            const int name = columnOf(header, {QStringLiteral("name")});
            const int dist = columnOf(header, {QStringLiteral("distunit")});
            const int fuel = columnOf(header, {QStringLiteral("fuelunit")});
            const int format = columnOf(header, {QStringLiteral("importcsvdateformat")});
            layout.fileCar = record.at(name).trimmed();
            const QString d = record.at(dist).trimmed();
            if (d == QLatin1String("0"))
                layout.distance = Distance::Kilometres;
            else if (d == QLatin1String("1"))
                layout.distance = Distance::Miles;
            const QString f = record.at(fuel).trimmed();
            if (f == QLatin1String("0"))
                layout.fuel = Fuel::Litres;
            else if (f == QLatin1String("1"))
                layout.fuel = Fuel::UsGallons;
            else if (f == QLatin1String("2"))
                layout.fuel = Fuel::UkGallons;
            layout.dateFormat = record.at(format).trimmed();
        } else if (section == QLatin1String("log")) {
            layout.records.push_back(record);
        }
    }
    if (layout.date < 0 || layout.reading < 0 || layout.amount < 0)
        return QStringLiteral("the file's \"## Log\" section lacks its Data, Odo or Fuel column");
    return QString();
}

QString layoutTable(std::vector<Record> all, Format format, Layout& layout)
{
    QStringList header;
    for (const Cell& cell : all.front().cells)
        header << normalName(cell.text);
    all.erase(all.begin());
    layout.records = std::move(all);
    const bool fuelly = format == Format::Fuelly ||
                        (format == Format::Auto && header.contains(QStringLiteral("car_name")) &&
                         header.contains(QStringLiteral("fuelup_date")));
    layout.format = fuelly ? Format::Fuelly : Format::LubeLogger;
    layout.date = columnOf(header, {QStringLiteral("fuelup_date"), QStringLiteral("date")});
    layout.reading = columnOf(header, {QStringLiteral("odometer"), QStringLiteral("odo")});
    layout.amount = columnOf(header, {QStringLiteral("gallons"), QStringLiteral("litres"), QStringLiteral("liters"),
                                      QStringLiteral("fuelconsumed"), QStringLiteral("quantity")});
    layout.partial = columnOf(header, {QStringLiteral("partial_fuelup"), QStringLiteral("partial")});
    layout.full = columnOf(header, {QStringLiteral("isfilltofull"), QStringLiteral("filled up")});
    layout.missed = columnOf(header, {QStringLiteral("missed_fuelup"), QStringLiteral("missedfuelup"),
                                      QStringLiteral("missed")});
    layout.notes = columnOf(header, {QStringLiteral("notes")});
    if (fuelly) {
        layout.name = QStringLiteral("Fuelly");
        layout.car = columnOf(header, {QStringLiteral("car_name")});
        layout.unitPrice = columnOf(header, {QStringLiteral("price")});
        layout.distance = header.contains(QStringLiteral("km")) ? Distance::Kilometres : Distance::Miles;
        layout.fuel = header.contains(QStringLiteral("litres")) || header.contains(QStringLiteral("liters"))
                          ? Fuel::Litres
                          : Fuel::UsGallons;
    } else {
        const bool lubeLogger = header.contains(QStringLiteral("fuelconsumed")) ||
                                header.contains(QStringLiteral("isfilltofull"));
        layout.name = lubeLogger ? QStringLiteral("LubeLogger") : QStringLiteral("CSV");
        layout.total = columnOf(header, {QStringLiteral("cost"), QStringLiteral("total cost"),
                                         QStringLiteral("totalcost"), QStringLiteral("price")});
        // The amount column's own name may say its unit.
        if (layout.amount >= 0) {
            const QString name = baseName(header[layout.amount]);
            if (name == QLatin1String("gallons"))
                layout.fuel = Fuel::UsGallons;
            else if (name == QLatin1String("litres") || name == QLatin1String("liters"))
                layout.fuel = Fuel::Litres;
        }
    }
    if (layout.date < 0 || layout.reading < 0 || layout.amount < 0)
        return QStringLiteral("the file is not a fuel log this program reads: its header needs a date, an "
                              "odometer and a fuel amount column");
    return QString();
}

QString readLayout(const QByteArray& content, Format format, Layout& layout)
{
    QString text = QString::fromUtf8(content);
    if (text.contains(QChar(QChar::ReplacementCharacter)))
        text = QString::fromLatin1(content);
    const QChar separator = separatorOf(text);
    std::vector<Record> all = readRecords(text, separator);
    if (all.empty())
        return QStringLiteral("the file is empty");
    const bool sections = std::any_of(all.begin(), all.end(), [](const Record& r) {
        return r.at(0).trimmed().startsWith(QLatin1String("## "));
    });
    QString problem;
    if (format == Format::Fuelio || (format == Format::Auto && sections))
        problem = layoutFuelio(all, layout);
    else if (sections)
        problem = QStringLiteral("the file has \"##\" sections: it is a Fuelio backup, not the format given");
    else
        problem = layoutTable(std::move(all), format, layout);
    return problem;
}

// ---- dates ----

struct DateParts
{
    int a = 0, b = 0, year = 0; // a/b as written; year with four digits
    bool iso = false;
    bool valid = false;
};

DateParts splitDate(const QString& raw)
{
    DateParts parts;
    const QString text = raw.trimmed().section(QLatin1Char(' '), 0, 0).section(QLatin1Char('T'), 0, 0);
    static const QRegularExpression isoPattern(QStringLiteral("^(\\d{4})[-/.](\\d{1,2})[-/.](\\d{1,2})$"));
    static const QRegularExpression otherPattern(QStringLiteral("^(\\d{1,2})[-/.](\\d{1,2})[-/.](\\d{4})$"));
    QRegularExpressionMatch match = isoPattern.match(text);
    if (match.hasMatch()) {
        parts = {match.captured(2).toInt(), match.captured(3).toInt(), match.captured(1).toInt(), true, true};
        return parts;
    }
    match = otherPattern.match(text);
    if (match.hasMatch())
        parts = {match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt(), false, true};
    return parts;
}

QString storedDate(int year, int month, int day)
{
    const QDate date(year, month, day);
    return date.isValid() ? date.toString(QStringLiteral("yyyyMMdd")) : QString();
}

// The date order of the whole column: a part above 12 settles it.
QString settleDateOrder(const Layout& layout, const std::vector<const Record*>& records, DateOrder& order,
                        QString& how)
{
    if (!layout.dateFormat.isEmpty()) {
        how = QStringLiteral("dates as the file declares them (%1)").arg(layout.dateFormat);
        return QString();
    }
    bool firstAbove12 = false, secondAbove12 = false, anyOther = false;
    for (const Record* record : records) {
        const DateParts parts = splitDate(record->at(layout.date));
        if (!parts.valid || parts.iso)
            continue;
        anyOther = true;
        firstAbove12 |= parts.a > 12;
        secondAbove12 |= parts.b > 12;
    }
    if (!anyOther) {
        how = QStringLiteral("ISO dates");
        return QString();
    }
    DateOrder settled = DateOrder::Unknown;
    if (firstAbove12 && secondAbove12)
        return QStringLiteral("the dates mix day/month and month/day order");
    if (firstAbove12)
        settled = DateOrder::DayFirst;
    else if (secondAbove12)
        settled = DateOrder::MonthFirst;
    if (order != DateOrder::Unknown && settled != DateOrder::Unknown && order != settled)
        return QStringLiteral("--date-order contradicts the file's dates, which are %1")
            .arg(settled == DateOrder::DayFirst ? QStringLiteral("day/month/year") : QStringLiteral("month/day/year"));
    if (order == DateOrder::Unknown)
        order = settled;
    if (order == DateOrder::Unknown)
        return QStringLiteral("the dates could be month/day or day/month (no day above 12); give --date-order "
                              "mdy or --date-order dmy");
    how = order == DateOrder::DayFirst ? QStringLiteral("dates read day/month/year")
                                       : QStringLiteral("dates read month/day/year");
    if (settled == DateOrder::Unknown)
        how += QStringLiteral(" (as chosen)");
    return QString();
}

QString readDate(const Layout& layout, const QString& raw, DateOrder order)
{
    if (!layout.dateFormat.isEmpty()) {
        // The declared pattern is for the date; a time after it is left out.
        const QString pattern = layout.dateFormat.section(QLatin1Char(' '), 0, 0);
        const QString datePart = raw.trimmed().left(pattern.size());
        const QDate date = QDate::fromString(datePart, pattern);
        if (date.isValid())
            return date.toString(QStringLiteral("yyyyMMdd"));
    }
    const DateParts parts = splitDate(raw);
    if (!parts.valid)
        return QString();
    if (parts.iso)
        return storedDate(parts.year, parts.a, parts.b);
    return order == DateOrder::DayFirst ? storedDate(parts.year, parts.b, parts.a)
                                        : storedDate(parts.year, parts.a, parts.b);
}

// ---- the vehicle and its entries ----

struct Vehicle
{
    bool found = false;
    int measurement = 0;
    int hoursInd = 0;
};

Vehicle readVehicle(Database& db, qint32 vehicleId)
{
    Vehicle vehicle;
    QSqlQuery query = db.prepare(QStringLiteral("SELECT Measurement, HoursInd FROM Vehicles WHERE VehicleID = ?"));
    query.addBindValue(vehicleId);
    db.exec(query);
    if (query.next())
        vehicle = {true, query.value(0).toInt(), query.value(1).toInt()};
    return vehicle;
}

struct Entry
{
    QString date;
    qint32 reading = 0;
    bool gas = true;
};

std::vector<Entry> readEntries(Database& db, qint32 vehicleId)
{
    std::vector<Entry> entries;
    QSqlQuery query = db.prepare(QStringLiteral(
        "SELECT Date, Mileage, 1 FROM GasLog WHERE VehicleID = ? "
        "UNION ALL SELECT MaintDate, ActualMiles, 0 FROM Maintenance WHERE VehicleID = ? ORDER BY 1"));
    query.addBindValue(vehicleId);
    query.addBindValue(vehicleId);
    db.exec(query);
    while (query.next())
        entries.push_back({query.value(0).toString(), query.value(1).toInt(), query.value(2).toInt() != 0});
    return entries;
}

QString entryWords(const Entry& entry)
{
    return QStringLiteral("the %1 entry of %2 at %3")
        .arg(entry.gas ? QStringLiteral("gas") : QStringLiteral("maintenance"), Values::toShownDate(entry.date),
             Values::withThousands(entry.reading));
}

// Readings move forward with dates: an entry dated earlier may not read higher, one dated later may not
// read lower. Existing entries sorted by date give the highest reading before a date and the lowest after.
class ChronologyGuard
{
public:
    explicit ChronologyGuard(std::vector<Entry> entries) : m_entries(std::move(entries))
    {
        const size_t n = m_entries.size();
        m_highestUpTo.resize(n);
        m_lowestFrom.resize(n);
        for (size_t i = 0; i < n; ++i)
            m_highestUpTo[i] = i > 0 && m_entries[m_highestUpTo[i - 1]].reading >= m_entries[i].reading
                                   ? m_highestUpTo[i - 1]
                                   : i;
        for (size_t i = n; i-- > 0;)
            m_lowestFrom[i] = i + 1 < n && m_entries[m_lowestFrom[i + 1]].reading <= m_entries[i].reading
                                  ? m_lowestFrom[i + 1]
                                  : i;
    }

    // The entry a reading on a date contradicts, or nothing.
    const Entry* conflict(const QString& date, qint32 reading) const
    {
        auto lower = std::lower_bound(m_entries.begin(), m_entries.end(), date,
                                      [](const Entry& e, const QString& d) { return e.date < d; });
        auto upper = std::upper_bound(m_entries.begin(), m_entries.end(), date,
                                      [](const QString& d, const Entry& e) { return d < e.date; });
        if (lower != m_entries.begin()) {
            const Entry& highest = m_entries[m_highestUpTo[size_t(lower - m_entries.begin()) - 1]];
            if (highest.reading > reading)
                return &highest;
        }
        if (upper != m_entries.end()) {
            const Entry& lowest = m_entries[m_lowestFrom[size_t(upper - m_entries.begin())]];
            if (lowest.reading < reading)
                return &lowest;
        }
        return nullptr;
    }

private:
    std::vector<Entry> m_entries;
    std::vector<size_t> m_highestUpTo;
    std::vector<size_t> m_lowestFrom;
};

QString rowWords(const Row& row)
{
    return QStringLiteral("line %1 (%2, %3)")
        .arg(row.line)
        .arg(Values::toShownDate(row.date), Values::withThousands(row.reading));
}

QString readRows(const Layout& layout, const std::vector<const Record*>& records, DateOrder order,
                 const Vehicle& vehicle, bool semicolonFile, Result& result)
{
    const bool vehicleMetric = vehicle.measurement != 0;
    const Fuel vehicleFuel = vehicleMetric ? Fuel::Litres : Fuel::UsGallons;
    const Distance vehicleDistance = vehicleMetric ? Distance::Kilometres : Distance::Miles;
    const Fuel fileFuel = layout.fuel == Fuel::None ? vehicleFuel : layout.fuel;
    const Distance fileDistance = layout.distance == Distance::None || vehicle.hoursInd != 0
                                      ? vehicleDistance
                                      : layout.distance;
    const double readingFactor = fileDistance == vehicleDistance ? 1.0
                                 : fileDistance == Distance::Miles ? KilometresPerMile
                                                                   : 1.0 / KilometresPerMile;
    const double amountFactor = litresPer(fileFuel) / litresPer(vehicleFuel);
    const QString today = Values::todayStored();

    for (const Record* record : records) {
        Row row;
        row.line = record->line;
        auto refuse = [&](const QString& what, int column) {
            return QStringLiteral("line %1: %2 \"%3\"").arg(row.line).arg(what, record->at(column));
        };
        row.date = readDate(layout, record->at(layout.date), order);
        if (row.date.isEmpty())
            return refuse(QStringLiteral("the date cannot be read:"), layout.date);
        if (row.date > today)
            return refuse(QStringLiteral("the date is in the future:"), layout.date);
        bool ambiguous = false;
        auto number = [&](int column, std::optional<double>& value) -> QString {
            value.reset();
            if (column < 0 || record->at(column).trimmed().isEmpty())
                return QString();
            value = readNumber(record->at(column), record->quotedAt(column), semicolonFile, &ambiguous);
            if (value)
                return QString();
            return refuse(ambiguous ? QStringLiteral("the number could be read two ways (decimal comma or "
                                                     "thousands separator):")
                                    : QStringLiteral("the number cannot be read:"),
                          column);
        };
        std::optional<double> reading, amount, total, unitPrice;
        for (auto [column, value] : {std::pair{layout.reading, &reading}, std::pair{layout.amount, &amount},
                                     std::pair{layout.total, &total}, std::pair{layout.unitPrice, &unitPrice}}) {
            const QString problem = number(column, *value);
            if (!problem.isEmpty())
                return problem;
        }
        if (!reading)
            return refuse(QStringLiteral("the odometer reading is missing:"), layout.reading);
        if (!amount)
            return refuse(QStringLiteral("the amount of fuel is missing:"), layout.amount);
        const double storedReading = std::round(*reading * readingFactor);
        if (storedReading < 1 || storedReading > ReadingEstimate::HighestReading)
            return refuse(QStringLiteral("the reading does not fit (1 to 999,999 in the vehicle's units):"),
                          layout.reading);
        row.reading = qint32(storedReading);
        row.amount = roundTo(*amount * amountFactor, 3);
        if (!GasChecks::validAmount(row.amount))
            return refuse(QStringLiteral("the amount of fuel does not fit (.001 to 100,000):"), layout.amount);
        if (total && unitPrice) {
            row.total = roundTo(*total, 2);
            row.costPerUnit = roundTo(*unitPrice / amountFactor, 3);
        } else if (unitPrice) {
            row.total = roundTo(*amount * *unitPrice, 2);
            row.costPerUnit = roundTo(*unitPrice / amountFactor, 3);
        } else if (total) {
            row.total = roundTo(*total, 2);
            row.costPerUnit = roundTo(row.total / row.amount, 3);
        }
        if (!GasChecks::validTotal(row.total))
            return refuse(QStringLiteral("the total price does not fit (0 to 1,000,000):"),
                          total ? layout.total : layout.unitPrice);
        if (!GasChecks::validCostPerUnit(row.costPerUnit))
            return refuse(QStringLiteral("the price per unit does not fit (0 to 1,000):"),
                          unitPrice ? layout.unitPrice : layout.total);
        if (layout.partial >= 0)
            row.partial = flagOn(record->at(layout.partial));
        else if (layout.full >= 0)
            row.partial = !flagOn(record->at(layout.full));
        row.missed = layout.missed >= 0 && flagOn(record->at(layout.missed));
        row.notes = record->at(layout.notes).trimmed();
        result.rows.push_back(row);
    }

    QString how;
    if (layout.distance == Distance::None && layout.fuel == Fuel::None)
        how = QStringLiteral("the file names no units: read as the vehicle's own (%1 and %2)")
                  .arg(vehicle.hoursInd != 0 ? QStringLiteral("hours") : distanceWords(vehicleDistance),
                       fuelWords(vehicleFuel));
    else
        how = QStringLiteral("the file's units: %1 and %2")
                  .arg(layout.distance == Distance::None ? QStringLiteral("readings as the vehicle's")
                                                         : distanceWords(layout.distance),
                       fuelWords(fileFuel));
    if (readingFactor != 1.0 || amountFactor != 1.0)
        how += QStringLiteral(", converted to %1 and %2").arg(distanceWords(vehicleDistance), fuelWords(vehicleFuel));
    result.unitsText = how;
    return QString();
}

} // namespace

QString Result::summaryLine(bool dryRun) const
{
    return QStringLiteral("%1 %2 fill-ups (%3 partial, %4 missed); skipped %5 duplicates, %6 conflicts")
        .arg(dryRun ? QStringLiteral("Would import") : QStringLiteral("Imported"))
        .arg(imported)
        .arg(partial)
        .arg(missed)
        .arg(duplicates)
        .arg(conflicts);
}

Result prepare(Database& db, const QByteArray& content, const Options& options)
{
    Result result;
    Layout layout;
    result.error = readLayout(content, options.format, layout);
    if (!result.error.isEmpty())
        return result;
    result.formatName = layout.name;

    const Vehicle vehicle = readVehicle(db, options.vehicleId);
    if (!vehicle.found) {
        result.error = QStringLiteral("there is no vehicle %1 in the data file").arg(options.vehicleId);
        return result;
    }
    if (vehicle.hoursInd != 0 && layout.distance != Distance::None) {
        result.error = QStringLiteral("vehicle %1 measures hours, but the file's readings are %2")
                           .arg(options.vehicleId)
                           .arg(distanceWords(layout.distance));
        return result;
    }

    // The car: a file of several needs --car; a file that names one must agree with it.
    std::vector<const Record*> records;
    if (layout.car >= 0) {
        QStringList cars;
        for (const Record& record : layout.records)
            if (!cars.contains(record.at(layout.car).trimmed()))
                cars << record.at(layout.car).trimmed();
        result.cars = cars;
        QString car = options.car;
        if (car.isEmpty() && cars.size() == 1)
            car = cars.front();
        if (car.isEmpty()) {
            result.error = QStringLiteral("the file holds several cars; choose one with --car: %1")
                               .arg(cars.join(QStringLiteral(", ")));
            return result;
        }
        if (!cars.contains(car)) {
            result.error = QStringLiteral("the file has no car \"%1\"; its cars: %2").arg(car, cars.join(QStringLiteral(", ")));
            return result;
        }
        result.car = car;
        for (const Record& record : layout.records)
            if (record.at(layout.car).trimmed() == car)
                records.push_back(&record);
    } else {
        if (!options.car.isEmpty() && !layout.fileCar.isEmpty() && options.car != layout.fileCar) {
            result.error = QStringLiteral("the file has no car \"%1\"; it holds \"%2\"").arg(options.car, layout.fileCar);
            return result;
        }
        result.car = layout.fileCar;
        for (const Record& record : layout.records)
            records.push_back(&record);
    }

    DateOrder order = options.dateOrder;
    result.error = settleDateOrder(layout, records, order, result.datesText);
    if (!result.error.isEmpty())
        return result;
    result.error = readRows(layout, records, order, vehicle, separatorOf(QString::fromUtf8(content)) == QLatin1Char(';'),
                            result);
    if (!result.error.isEmpty())
        return result;

    // Duplicates of the vehicle's entries or of earlier rows; then the chronology, in date order so that
    // each row is checked against the rows kept before it.
    std::vector<Entry> entries = readEntries(db, options.vehicleId);
    QSet<QString> seen;
    for (const Entry& entry : entries)
        if (entry.gas)
            seen.insert(entry.date + QLatin1Char('/') + QString::number(entry.reading));
    for (Row& row : result.rows) {
        const QString key = row.date + QLatin1Char('/') + QString::number(row.reading);
        if (seen.contains(key))
            row.fate = Row::Fate::Duplicate;
        seen.insert(key);
    }
    std::vector<Row*> ordered;
    for (Row& row : result.rows)
        if (row.fate == Row::Fate::Import)
            ordered.push_back(&row);
    std::stable_sort(ordered.begin(), ordered.end(), [](const Row* a, const Row* b) {
        return a->date != b->date ? a->date < b->date : a->reading < b->reading;
    });
    const ChronologyGuard existing(entries);
    const Row* highestKept = nullptr; // among kept rows dated before the current one
    const Row* highestSameDate = nullptr;
    for (Row* row : ordered) {
        if (highestSameDate && highestSameDate->date != row->date) {
            if (!highestKept || highestSameDate->reading > highestKept->reading)
                highestKept = highestSameDate;
            highestSameDate = nullptr;
        }
        QString conflictWith;
        if (const Entry* entry = existing.conflict(row->date, row->reading))
            conflictWith = entryWords(*entry);
        else if (highestKept && highestKept->reading > row->reading)
            conflictWith = QStringLiteral("the file's ") + rowWords(*highestKept);
        if (!conflictWith.isEmpty()) {
            row->fate = Row::Fate::Conflict;
            row->conflictWith = conflictWith;
            if (!options.skipConflicts) {
                result.error = QStringLiteral("%1 breaks the vehicle's chronology: it conflicts with %2")
                                   .arg(rowWords(*row), conflictWith);
                return result;
            }
            continue;
        }
        if (!highestSameDate || row->reading > highestSameDate->reading)
            highestSameDate = row;
    }
    for (const Row& row : result.rows) {
        if (row.fate == Row::Fate::Duplicate)
            ++result.duplicates;
        else if (row.fate == Row::Fate::Conflict)
            ++result.conflicts;
        else {
            ++result.imported;
            result.partial += row.partial ? 1 : 0;
            result.missed += row.missed ? 1 : 0;
        }
    }
    return result;
}

Result run(Database& db, const QByteArray& content, const Options& options)
{
    Result result = prepare(db, content, options);
    if (!result.error.isEmpty() || options.dryRun || result.imported == 0)
        return result;
    std::vector<const Row*> rows;
    for (const Row& row : result.rows)
        if (row.fate == Row::Fate::Import)
            rows.push_back(&row);
    // Keys in date order, so that lists in key order read as the log did.
    std::stable_sort(rows.begin(), rows.end(), [](const Row* a, const Row* b) {
        return a->date != b->date ? a->date < b->date : a->reading < b->reading;
    });
    Transaction transaction(db);
    qint32 key = db.scalar(QStringLiteral("SELECT coalesce(max(GasLogID), 0) FROM GasLog")).toInt();
    QSqlQuery insert = db.prepare(QStringLiteral(
        "INSERT INTO GasLog (GasLogID, VehicleID, Mileage, BriefDesc, StationID, Date, TotalCost, CostGallon, "
        "Gallons, Fillup, Estimated) VALUES (?, ?, ?, ?, 0, ?, ?, ?, ?, ?, 0)"));
    std::optional<QSqlQuery> markMissed;
    if (result.missed > 0) {
        MissedFillups::ensureTable(db);
        markMissed = db.prepare(QStringLiteral("INSERT OR IGNORE INTO MissedFillups (GasLogID) VALUES (?)"));
    }
    for (const Row* row : rows) {
        ++key;
        insert.bindValue(0, key);
        insert.bindValue(1, options.vehicleId);
        insert.bindValue(2, row->reading);
        insert.bindValue(3, row->notes);
        insert.bindValue(4, row->date);
        insert.bindValue(5, row->total);
        insert.bindValue(6, row->costPerUnit);
        insert.bindValue(7, row->amount);
        insert.bindValue(8, row->partial ? 1 : 0);
        db.exec(insert);
        if (row->missed) {
            markMissed->bindValue(0, key);
            db.exec(*markMissed);
        }
    }
    const Row* newest = rows.back();
    ReadingEstimate::recordIfMoreRecent(db, options.vehicleId, newest->reading, newest->date);
    transaction.commit();
    return result;
}

int runCommand(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QStringList args = arguments;
    Options options;
    QString dataFile, logFile;
    auto bad = [&](const QString& problem) {
        err << "velmora-cli import-log: " << problem << '\n'
            << "usage: velmora-cli import-log DATAFILE FILE --vehicle ID [--car NAME] [--format "
               "auto|fuelly|lubelogger|fuelio] [--date-order mdy|dmy] [--dry-run] [--skip-conflicts]\n";
        return 2;
    };
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        const bool takesValue = arg == QLatin1String("--vehicle") || arg == QLatin1String("--car") ||
                                arg == QLatin1String("--format") || arg == QLatin1String("--date-order");
        if (takesValue && args.isEmpty())
            return bad(arg + QStringLiteral(" needs a value"));
        if (arg == QLatin1String("--vehicle")) {
            bool ok = false;
            options.vehicleId = args.takeFirst().toInt(&ok);
            if (!ok || options.vehicleId < 1)
                return bad(QStringLiteral("--vehicle takes a vehicle's number"));
        } else if (arg == QLatin1String("--car")) {
            options.car = args.takeFirst();
        } else if (arg == QLatin1String("--format")) {
            static const QHash<QString, Format> formats{{QStringLiteral("auto"), Format::Auto},
                                                        {QStringLiteral("fuelly"), Format::Fuelly},
                                                        {QStringLiteral("lubelogger"), Format::LubeLogger},
                                                        {QStringLiteral("fuelio"), Format::Fuelio}};
            const QString value = args.takeFirst().toLower();
            if (!formats.contains(value))
                return bad(QStringLiteral("--format is auto, fuelly, lubelogger or fuelio"));
            options.format = formats.value(value);
        } else if (arg == QLatin1String("--date-order")) {
            const QString value = args.takeFirst().toLower();
            if (value == QLatin1String("mdy"))
                options.dateOrder = DateOrder::MonthFirst;
            else if (value == QLatin1String("dmy"))
                options.dateOrder = DateOrder::DayFirst;
            else
                return bad(QStringLiteral("--date-order is mdy or dmy"));
        } else if (arg == QLatin1String("--dry-run")) {
            options.dryRun = true;
        } else if (arg == QLatin1String("--skip-conflicts")) {
            options.skipConflicts = true;
        } else if (arg.startsWith(QLatin1String("--"))) {
            return bad(QStringLiteral("unknown option %1").arg(arg));
        } else if (dataFile.isEmpty()) {
            dataFile = arg;
        } else if (logFile.isEmpty()) {
            logFile = arg;
        } else {
            return bad(QStringLiteral("unexpected argument \"%1\"").arg(arg));
        }
    }
    if (logFile.isEmpty())
        return bad(QStringLiteral("give the data file and the file to import"));
    if (options.vehicleId == 0)
        return bad(QStringLiteral("--vehicle is required"));

    QFile file(logFile);
    if (!file.open(QIODevice::ReadOnly)) {
        err << "velmora-cli import-log: cannot read " << logFile << ": " << file.errorString() << '\n';
        return 1;
    }
    const QByteArray content = file.readAll();
    try {
        Database db;
        db.open(dataFile, QString(), options.dryRun);
        const Result result = run(db, content, options);
        if (!result.error.isEmpty()) {
            err << "velmora-cli import-log: " << result.error << '\n';
            return 1;
        }
        out << "Format: " << result.formatName;
        if (!result.car.isEmpty())
            out << "; car: " << result.car;
        out << "\nUnits: " << result.unitsText << "\nDates: " << result.datesText << '\n';
        out << result.summaryLine(options.dryRun) << '\n';
        return 0;
    } catch (const CdbException& error) {
        err << "velmora-cli import-log: " << dataFile << ": " << error.description() << '\n';
        return 1;
    }
}

} // namespace LogImport
