// velmora-notify: tells the user about due maintenance without opening the program. It reads the data file
// named in the settings (read-only, briefly), shows one desktop notification through the freedesktop
// notification service, and starts velmora when the user picks the notification's action. Without a
// notification service it prints the list. Nothing due, or no data file: it ends quietly.
#include "app/CommandLine.h"
#include "context/ApplicationId.h"
#include "context/Settings.h"
#include "db/DataFile.h"
#include "db/Database.h"
#include "db/DbException.h"
#include "maintenance/Reminder.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString Interface = QStringLiteral("org.freedesktop.Notifications");
const QString OpenAction = QStringLiteral("default");
constexpr int LinesShown = 5;

// Waits for the user's answer to the notification: the action starts velmora, closing it ends the wait.
class NotificationWatch : public QObject
{
    Q_OBJECT

public:
    NotificationWatch(uint id, QString program) : m_id(id), m_program(std::move(program)) {}

public Q_SLOTS:
    void actionInvoked(uint id, const QString& action)
    {
        if (id != m_id)
            return;
        if (action == OpenAction)
            // A running velmora is woken by the second start, as when the user starts it again.
            QProcess::startDetached(m_program, {});
        QCoreApplication::quit();
    }
    void notificationClosed(uint id, uint)
    {
        if (id == m_id)
            QCoreApplication::quit();
    }

private:
    uint m_id;
    QString m_program;
};

} // namespace

int main(int argc, char* argv[])
{
    if (const auto answered = CommandLine::answerInformational(
            argc, argv, QStringLiteral("velmora-notify"),
            QStringLiteral("Usage: velmora-notify\n"
                           "Shows one desktop notification listing the maintenance due within the Days "
                           "setting in the data file Velmora uses; prints the list when no notification "
                           "service answers.\n")))
        return *answered;
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    Settings settings;
    const QString path = settings.databaseLocation();
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return 0;
    const int daysAhead = settings.daysAhead();
    QList<Reminder::DueService> due;
    try {
        // A write cut short is rolled back first, as the program's own open would.
        QTemporaryDir scratch;
        Database db;
        DataFile::openLikeTheProgram(db, path, scratch);
        due = Reminder::dueServices(db, settings.vehicleFields(), daysAhead);
        db.close();
    } catch (const CdbException& error) {
        err << "velmora-notify: " << path << ": " << error.description() << Qt::endl;
        return 1;
    }
    if (due.isEmpty())
        return 0;

    const QString summary = Reminder::summary(due, daysAhead);
    QDBusConnection bus = QDBusConnection::sessionBus();
    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("Notify"));
    // The desktop-entry hint lets the notification server show the program's own name and icon.
    call << QStringLiteral("Velmora") << uint(0) << ApplicationId::Id << summary
         << Reminder::body(due, LinesShown) << QStringList{OpenAction, QStringLiteral("Open Velmora")}
         << QVariantMap{{QStringLiteral("desktop-entry"), ApplicationId::Id}} << int(-1);
    // No session bus, no notification service or a refusal: the list goes to standard output instead.
    const QDBusMessage answer = bus.isConnected() ? bus.call(call) : QDBusMessage();
    if (answer.type() != QDBusMessage::ReplyMessage || answer.arguments().isEmpty()) {
        out << summary << '\n' << Reminder::body(due, 0) << Qt::endl;
        return 0;
    }

    NotificationWatch watch(answer.arguments().constFirst().toUInt(),
                            QDir(settings.installDir()).filePath(QStringLiteral("velmora")));
    bus.connect(Service, Path, Interface, QStringLiteral("ActionInvoked"), &watch,
                SLOT(actionInvoked(uint, QString)));
    bus.connect(Service, Path, Interface, QStringLiteral("NotificationClosed"), &watch,
                SLOT(notificationClosed(uint, uint)));
    // A notification left open is not waited on for ever.
    QTimer::singleShot(std::chrono::hours(8), &application, &QCoreApplication::quit);
    return application.exec();
}

#include "NotifyMain.moc"
