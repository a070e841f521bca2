#include "TestEnvironment.h"
#include "context/Settings.h"
#include "db/Database.h"
#include "maintenance/Reminder.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QTimer>

// A stand-in for the desktop's notification service: records what it is asked to show and then closes
// the notification, or answers it with the action, as a user would.
class TestNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    explicit TestNotifications(QDBusConnection bus) : m_bus(std::move(bus)) {}
    QStringList m_shown; // "app|summary|body|actions"
    bool m_invokeAction = false;

public Q_SLOTS:
    uint Notify(const QString& app, uint, const QString&, const QString& summary, const QString& body,
                const QStringList& actions, const QVariantMap&, int)
    {
        m_shown.append(QStringList{app, summary, body, actions.join(',')}.join('|'));
        const uint id = uint(m_shown.size());
        QTimer::singleShot(50, this, [this, id] {
            QDBusMessage signal =
                QDBusMessage::createSignal("/org/freedesktop/Notifications", "org.freedesktop.Notifications",
                                           m_invokeAction ? "ActionInvoked" : "NotificationClosed");
            m_bus.send(m_invokeAction ? signal << id << QString("default") : signal << id << uint(2));
        });
        return id;
    }

private:
    QDBusConnection m_bus;
};

class NotifyTest : public QObject
{
    Q_OBJECT

private:
    QProcess busDaemon;
    QString busAddress;
    QString file;

    QString inDays(int days) { return QDate::currentDate().addDays(days).toString("yyyyMMdd"); }

    // Runs the reminder on the private bus, which must end without an error; returns its standard output.
    QString runReminder(const QString& address = QString())
    {
        QProcess reminder;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DBUS_SESSION_BUS_ADDRESS", address.isEmpty() ? busAddress : address);
        reminder.setProcessEnvironment(environment);
        reminder.start(qEnvironmentVariable("VELMORA_NOTIFY"), {});
        [&] { QTRY_VERIFY_WITH_TIMEOUT(reminder.state() == QProcess::NotRunning, 20000); }();
        [&] { QCOMPARE(reminder.exitCode(), 0); }();
        return QString::fromUtf8(reminder.readAllStandardOutput());
    }

    // Adds rows "(ScheduleID, VehicleID, ServiceID, PerformEveryDay, LastDate)" to the schedule.
    void addSchedule(const QString& rows)
    {
        Database db;
        db.open(file);
        db.execute(
            "INSERT INTO Schedule (ScheduleID, VehicleID, ServiceID, PerformEveryDay, LastDate) VALUES " +
            rows);
    }

    QByteArray fileBytes()
    {
        QFile data(file);
        return data.open(QIODevice::ReadOnly) ? data.readAll() : QByteArray();
    }

private Q_SLOTS:
    void initTestCase()
    {
        busDaemon.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        QVERIFY(busDaemon.waitForReadyRead(10000));
        busAddress = QString::fromUtf8(busDaemon.readLine()).trimmed();
        QVERIFY(!busAddress.isEmpty());
    }
    void cleanupTestCase()
    {
        busDaemon.kill();
        busDaemon.waitForFinished();
    }

    // Quiet with nothing due (in 6 days, an inactive vehicle's, no interval) or without a file; what is due
    // shows in one notification, else on standard output; the file never changes.
    void remindsOnceAndLeavesTheFileAlone()
    {
        TestEnvironment env;
        Database db;
        file = env.createDatabase(db);
        for (const char* statement :
             {"INSERT INTO ContactInfo (ContactID, ContactType, CompanyName) VALUES (1, 1, 'Harbourline')",
              "INSERT INTO Owners (OwnerID, ContactID) VALUES (1, 1)",
              "INSERT INTO Vehicles (VehicleID, OwnerID, VehicleYear, VehicleMake, ActiveInd) VALUES (1, 1, "
              "'2019', 'Ford', -1), (2, 1, '2012', 'Honda', -1), (3, 1, '2001', 'Saab', 0)"})
            db.execute(statement);
        db.close();
        Settings settings;
        settings.setDatabaseLocation(file);
        settings.setText("Settings", "InstallDir", env.folder());
        settings.sync();
        addSchedule(
            QString("(4, 2, 1, 7, '%1'), (5, 3, 1, 7, '%2'), (6, 1, 4, 0, '')").arg(inDays(-1), inDays(-10)));
        QByteArray before = fileBytes();
        QCOMPARE(runReminder(), QString());
        QCOMPARE(fileBytes(), before);
        addSchedule(QString("(1, 1, 1, 7, '%1'), (2, 2, 3, 7, '%2'), (3, 1, 2, 7, '%3')")
                        .arg(inDays(-10), inDays(-7), inDays(-2)));
        before = fileBytes();
        QDBusConnection bus = QDBusConnection::connectToBus(busAddress, "service");
        TestNotifications service(bus);
        QVERIFY(
            bus.registerObject("/org/freedesktop/Notifications", &service, QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService("org.freedesktop.Notifications"));

        QCOMPARE(runReminder(), QString());
        QCOMPARE(service.m_shown.size(), 1);
        const auto shown = [](int days) { return QDate::currentDate().addDays(days).toString("MM/dd/yyyy"); };
        const QString summary = "2 services overdue, 1 due within 5 days";
        const QString body = QString("Overdue since %1: 2019 Ford - Oil/Filter Change\n"
                                     "Overdue since %2: 2012 Honda - Spark Plugs Replaced\n"
                                     "Due %3: 2019 Ford - Gas/Filter Change")
                                 .arg(shown(-3), shown(0), shown(5));
        QCOMPARE(service.m_shown.first(), "Velmora|" + summary + "|" + body + "|default,Open Velmora");
        QCOMPARE(fileBytes(), before);

        // The action starts velmora from the installation folder.
        QFile program(env.path("velmora"));
        QVERIFY(program.open(QIODevice::WriteOnly));
        program.write(QString("#!/bin/sh\ntouch '%1'\n").arg(env.path("started")).toUtf8());
        program.close();
        program.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        service.m_invokeAction = true;
        runReminder();
        QTRY_VERIFY(QFile::exists(env.path("started")));
        QCOMPARE(fileBytes(), before);

        bus.unregisterService("org.freedesktop.Notifications");
        bus.unregisterObject("/org/freedesktop/Notifications");
        QDBusConnection::disconnectFromBus("service");

        // Without a notification service the whole list goes to standard output.
        const QString listed = runReminder();
        QCOMPARE(listed, summary + "\n" + body + "\n");
        // Nor is there a session bus at all.
        QCOMPARE(runReminder("unix:path=" + env.path("no-bus")), listed);
        QCOMPARE(fileBytes(), before);
        QVERIFY(QFile::remove(file));
        QCOMPARE(runReminder(), QString());
        QVERIFY(!QFile::exists(file));
    }

    void bodyShowsTheFirstFew()
    {
        // How many are due, how many of them overdue, the summary and the body's last line.
        const std::tuple<int, int, const char*, const char*> rows[] = {
            {1, 0, "1 service due within 5 days", "Due 03/21/2024: Van - Oil"},
            {1, 1, "1 service overdue", "Overdue since 03/21/2024: Van - Oil"},
            {5, 2, "2 services overdue, 3 due within 5 days", "Due 03/21/2024: Van - Oil"},
            {6, 0, "6 services due within 5 days", "and 1 more"},
            {12, 12, "12 services overdue", "and 7 more"}};
        for (const auto& [count, overdue, summary, lastLine] : rows) {
            QList<Reminder::DueService> due;
            for (int i = 0; i < count; ++i)
                due.append({"Van", "Oil", "20240321", i < overdue});
            QCOMPARE(Reminder::summary(due, 5), QString(summary));
            const QStringList lines = Reminder::body(due, 5).split('\n');
            QCOMPARE(lines.size(), std::min(count, 6));
            QCOMPARE(lines.last(), QString(lastLine));
            QCOMPARE(Reminder::body(due, 0).split('\n').size(), count);
        }
    }
};

QTEST_GUILESS_MAIN(NotifyTest)
#include "tst_notify.moc"
