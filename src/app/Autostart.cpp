#include "app/Autostart.h"

#include "context/ApplicationId.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>

namespace Autostart {

QString folder()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::home().filePath(QStringLiteral(".config"));
    return QDir(config).filePath(QStringLiteral("autostart"));
}

QString entryPath()
{
    return QDir(folder()).filePath(ApplicationId::ReminderEntry);
}

bool moveOldEntry()
{
    const QString old = QDir(folder()).filePath(ApplicationId::OldReminderEntry);
    if (!QFileInfo::exists(old))
        return true;
    if (QFileInfo::exists(entryPath()))
        return QFile::remove(old);
    return QFile::rename(old, entryPath());
}

QString reminderProgram(const QString& installDir)
{
    return QDir(installDir).filePath(QStringLiteral("velmora-notify"));
}

QString execArgument(const QString& program)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString argument = program;
    bool quote = false;
    for (QChar ch : program)
        quote = quote || reserved.contains(ch);
    if (quote) {
        QString escaped;
        for (QChar ch : program) {
            if (ch == u'"' || ch == u'`' || ch == u'$' || ch == u'\\')
                escaped += u'\\';
            escaped += ch;
        }
        argument = u'"' + escaped + u'"';
    }
    // A single % would start a field code.
    argument.replace(u'%', QStringLiteral("%%"));

    // The key's value is itself a string with escapes of its own, applied on top of the quoting.
    QString value;
    for (QChar ch : argument) {
        if (ch == u'\\')
            value += QStringLiteral("\\\\");
        else if (ch == u'\n')
            value += QStringLiteral("\\n");
        else if (ch == u'\t')
            value += QStringLiteral("\\t");
        else if (ch == u'\r')
            value += QStringLiteral("\\r");
        else
            value += ch;
    }
    return value;
}

QString desktopEntry(const QString& program)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Velmora Schedule Reminder\n"
                          "Comment=Reminds you of vehicle maintenance coming due\n"
                          "Icon=%2\n"
                          "Exec=%1\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(execArgument(program), ApplicationId::Id);
}

bool isRegistered()
{
    return QFileInfo::exists(entryPath());
}

bool registerReminder(const QString& program)
{
    if (!QDir().mkpath(folder()))
        return false;
    moveOldEntry();
    QSaveFile file(entryPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    file.write(desktopEntry(program).toUtf8());
    return file.commit();
}

bool unregisterReminder()
{
    const QString path = entryPath();
    const bool oldGone = moveOldEntry();
    return oldGone && (!QFileInfo::exists(path) || QFile::remove(path));
}

bool startReminder(const QString& program)
{
    return QProcess::startDetached(program, {});
}

} // namespace Autostart
