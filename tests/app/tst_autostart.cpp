#include "DataRows.h"
#include "TestEnvironment.h"
#include "app/Autostart.h"

#include <QDir>
#include <QTest>

class TestAutostart : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void folderFollowsXdgConfigHome()
    {
        TestEnvironment env;
        QCOMPARE(Autostart::entryPath(),
                 env.path(QStringLiteral("config/autostart/velmora-reminder.desktop")));

        const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", "relative/config");
        const QString relativeIgnored = Autostart::folder();
        qputenv("XDG_CONFIG_HOME", "");
        const QString emptyIgnored = Autostart::folder();
        qputenv("XDG_CONFIG_HOME", saved);
        const QString expected = QDir::home().filePath(QStringLiteral(".config/autostart"));
        QCOMPARE(relativeIgnored, expected);
        QCOMPARE(emptyIgnored, expected);
    }

    void execArgumentIsQuoted_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("exec");
        addRow("plain", "/opt/velmora/velmora-notify", "/opt/velmora/velmora-notify");
        addRow("space", "/opt/my apps/velmora-notify", "\"/opt/my apps/velmora-notify\"");
        // $ and ` are escaped inside the quotes; the value's own rule doubles that escape's backslash.
        addRow("dollar", "/home/a$b/velmora-notify", "\"/home/a\\\\$b/velmora-notify\"");
        addRow("quote", "/x\"y/velmora-notify", "\"/x\\\\\"y/velmora-notify\"");
        addRow("percent", "/opt/100%/velmora-notify", "/opt/100%%/velmora-notify");
    }

    void execArgumentIsQuoted()
    {
        QFETCH(QString, program);
        QFETCH(QString, exec);
        QCOMPARE(Autostart::execArgument(program), exec);
    }
};

QTEST_GUILESS_MAIN(TestAutostart)
#include "tst_autostart.moc"
