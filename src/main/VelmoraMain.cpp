#include "app/CommandLine.h"
#include "app/DemoData.h"
#include "app/ui/DesktopLook.h"
#include "app/ui/MainFrame.h"
#include "app/ui/QtPrompter.h"
#include "app/ui/SingleInstance.h"
#include "app/ui/VelApp.h"
#include "app/ui/artwork/Artwork.h"
#include "context/ApplicationId.h"
#include "db/Database.h"
#include "db/DatabaseCreation.h"
#include "db/DbException.h"

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <cstring>
#include <memory>

namespace {

bool wantsDemo(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--demo") == 0)
            return true;
    return false;
}

// Settings and autostart entries of a demo live in its own folder, so that trying the program never
// changes the user's data file location or options.
void keepSettingsIn(const QString& folder)
{
    const QString config = QDir(folder).filePath(QStringLiteral("config"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config);
}

bool prepareDemo(CVelApp& app, const QString& folder, Prompter& prompter)
{
    const QString path = QDir(folder).filePath(QStringLiteral("Velmora.vel"));
    if (!DatabaseCreation::createDatabase(path, prompter))
        return false;
    try {
        Database db;
        db.open(path, DatabaseCreation::ConnectText);
        DemoData::fill(db);
    } catch (const CdbException& error) {
        prompter.message(error.description());
        return false;
    }
    app.settings().setDatabaseLocation(path);
    // The reminder program would read the user's own settings, not the demo's.
    app.settings().setInteger(QStringLiteral("Settings"), QStringLiteral("NotifyPgm"), 0);
    app.settings().sync();
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    // Answered before the application object, which needs a display.
    if (const auto answered = CommandLine::answerInformational(argc, argv, QStringLiteral("velmora"),
                                                               CommandLine::velmoraHelp()))
        return *answered;
    const bool demo = wantsDemo(argc, argv);
    std::unique_ptr<QTemporaryDir> demoFolder;
    if (demo) {
        demoFolder =
            std::make_unique<QTemporaryDir>(QDir::temp().filePath(QStringLiteral("velmora-demo-XXXXXX")));
        if (!demoFolder->isValid())
            return 1;
        keepSettingsIn(demoFolder->path());
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setOrganizationName(QStringLiteral("Halvern Software"));
    QApplication::setWindowIcon(Artwork::programIcon());
    DesktopLook::applyStyle();
    // Wayland compositors and docks find the program's name and icon through its desktop entry.
    QGuiApplication::setDesktopFileName(ApplicationId::Id);

    // Before any database or window work: a second copy only wakes the first one and ends.
    SingleInstance instance(demo ? demoFolder->filePath(QStringLiteral("instance"))
                                 : SingleInstance::defaultKey());
    if (!instance.claim(CommandLine::dataFileArgument(QApplication::arguments())))
        return 0;

    QtPrompter prompter;
    CVelApp app(prompter);
    QObject::connect(&instance, &SingleInstance::activationRequested,
                     [&app] { SingleInstance::bringForward(app.mainFrame()); });
    QObject::connect(&instance, &SingleInstance::openRequested, [&app, &prompter](const QString& path) {
        // Another file must not be put under an open dialog's feet (a restore, a form's question).
        if (QApplication::activeModalWidget())
            prompter.message(QStringLiteral("Velmora cannot open %1 while a dialog is open. Close the "
                                            "dialog and open the file with File > Open Data File.")
                                 .arg(QDir::toNativeSeparators(path)));
        else if (app.mainFrame())
            app.mainFrame()->openDataFile(path);
    });

    if (demo && !prepareDemo(app, demoFolder->path(), prompter))
        return 1;
    if (!app.initInstance(QApplication::arguments()))
        return 0;
    prompter.setParentWidget(app.mainFrame());
    return QApplication::exec();
}
