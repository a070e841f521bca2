#include "context/Settings.h"

#include <QCoreApplication>
#include <QSettings>

namespace {

struct Entry
{
    const char* section;
    const char* name;
    QVariant value;
};

const QList<Entry>& table()
{
    static const QList<Entry> entries = [] {
        QList<Entry> all = {
            {"Settings", "DBLoc", QString()},      {"Settings", "InstallDir", QString()},
            {"Settings", "NotifyPgm", 8},          {"Settings", "Graphical", 8},
            {"Settings", "flags", 2},              {"Settings", "showCmd", 1},
            {"Settings", "x1", -1},                {"Settings", "y1", -1},
            {"Settings", "x2", 0},                 {"Settings", "y2", 0},
            {"Settings", "SchedShow", 0},          {"Settings", "LHInd", 0},
            {"Settings", "LHAll", 0},              {"Settings", "LHInch", 100},
            {"Settings", "Info1", QString()},      {"Settings", "Info2", QString()},
            {"Settings", "Info3", QString()},      {"Settings", "Info4", QString()},
            {"Settings", "InfoInd", 0},            {"Settings", "ColorGraphInd", 1},
            {"Notify", "Days", 5},                 {"Messages", "m1", 1},
            {"Messages", "j1", 1},                 {"Messages", "v1", 1},
            {"Messages", "r1", 1},
            // Sizes the user gave the file dialogs and the print preview (0: a default from the font).
            {"Settings", "FileDialogWidth", 0},    {"Settings", "FileDialogHeight", 0},
            {"Settings", "PreviewWidth", 0},       {"Settings", "PreviewHeight", 0},
        };
        const auto widths = [&all](const char* const* names, std::initializer_list<int> values) {
            int i = 0;
            for (int value : values)
                all.append({"Settings", names[i++], value});
        };
        static const char* const g[] = {"g0", "g1", "g2", "g3", "g4"};
        static const char* const h[] = {"h0", "h1", "h2", "h3"};
        static const char* const j[] = {"j0", "j1", "j2", "j3"};
        static const char* const j2[] = {"j20", "j21", "j22", "j23"};
        static const char* const s[] = {"s0", "s1", "s2", "s3"};
        static const char* const sm[] = {"sm0", "sm1", "sm2", "sm3", "sm4"};
        widths(g, {60, 80, 83, 65, 65});
        widths(h, {52, 67, 191, 277});
        widths(j, {67, 72, 181, 267});
        widths(j2, {67, 72, 168, 252});
        widths(s, {80, 267, 117, 118});
        widths(sm, {153, 114, 118, 118, 92});
        static const char* const fieldSlots[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
        for (int n = 0; n < 10; ++n)
            all.append({"Vehiclefields", fieldSlots[n], n < 3 ? n : -1});
        return all;
    }();
    return entries;
}

QString key(const QString& section, const QString& name)
{
    return section + QLatin1Char('/') + name;
}

} // namespace

Settings::Settings()
    : m_settings(std::make_unique<QSettings>(QStringLiteral("Halvern Software"), QStringLiteral("Velmora")))
{
}

Settings::Settings(const QString& iniFile) : m_settings(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

Settings::~Settings() = default;

QVariant Settings::defaultValue(const QString& section, const QString& name)
{
    for (const Entry& entry : table())
        if (section == QLatin1String(entry.section) && name == QLatin1String(entry.name))
            return entry.value;
    return {};
}

int Settings::integer(const QString& section, const QString& name) const
{
    bool ok = false;
    const int value = m_settings->value(key(section, name)).toInt(&ok);
    return ok ? value : defaultValue(section, name).toInt();
}

QString Settings::text(const QString& section, const QString& name) const
{
    const QVariant value = m_settings->value(key(section, name));
    return value.isValid() ? value.toString() : defaultValue(section, name).toString();
}

void Settings::setInteger(const QString& section, const QString& name, int value)
{
    m_settings->setValue(key(section, name), value);
}

void Settings::setText(const QString& section, const QString& name, const QString& value)
{
    m_settings->setValue(key(section, name), value);
}

bool Settings::contains(const QString& section, const QString& name) const
{
    return m_settings->contains(key(section, name));
}

void Settings::remove(const QString& section, const QString& name)
{
    m_settings->remove(key(section, name));
}

void Settings::sync()
{
    m_settings->sync();
}

QString Settings::installDir() const
{
    const QString stored = text(QStringLiteral("Settings"), QStringLiteral("InstallDir"));
    return stored.isEmpty() ? QCoreApplication::applicationDirPath() : stored;
}

QList<int> Settings::vehicleFields() const
{
    QList<int> fieldSlots;
    for (int n = 0; n < 10; ++n)
        fieldSlots << integer(QStringLiteral("Vehiclefields"), QString::number(n));
    return fieldSlots;
}

void Settings::setVehicleFields(const QList<int>& fieldSlots)
{
    for (int n = 0; n < 10; ++n)
        setInteger(QStringLiteral("Vehiclefields"), QString::number(n), n < fieldSlots.size() ? fieldSlots[n] : -1);
}
