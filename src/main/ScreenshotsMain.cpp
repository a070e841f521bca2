// velmora-screenshots: pictures of every form and dialog on the sample fleet, for reviewing the look in
// one place. Run offscreen by scripts/screenshots.sh; never installed.

#include "app/DemoData.h"
#include "app/ui/DesktopLook.h"
#include "app/ui/HelpWindow.h"
#include "app/ui/MainFrame.h"
#include "app/ui/QtPrompter.h"
#include "app/ui/VelApp.h"
#include "app/ui/WelcomeDialog.h"
#include "db/Clock.h"
#include "db/Database.h"
#include "db/DatabaseCreation.h"
#include "db/Messages.h"
#include "forms/FormView.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <functional>

namespace {

QTextStream& err()
{
    static QTextStream stream(stderr);
    return stream;
}

// The palette a dark desktop hands the program.
QPalette darkPalette()
{
    QPalette palette;
    const QColor window(0x2b, 0x2d, 0x31), base(0x1e, 0x1f, 0x22), text(0xe6, 0xe8, 0xeb);
    const QColor disabledText(0x80, 0x84, 0x8a);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, QColor(0x26, 0x28, 0x2c));
    palette.setColor(QPalette::ToolTipBase, base);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, disabledText);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, QColor(0x35, 0x38, 0x3d));
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::BrightText, Qt::white);
    palette.setColor(QPalette::Light, QColor(0x45, 0x48, 0x4e));
    palette.setColor(QPalette::Midlight, QColor(0x3b, 0x3e, 0x44));
    palette.setColor(QPalette::Mid, QColor(0x24, 0x26, 0x29));
    palette.setColor(QPalette::Dark, QColor(0x18, 0x19, 0x1b));
    palette.setColor(QPalette::Shadow, Qt::black);
    palette.setColor(QPalette::Highlight, QColor(0x3d, 0x7a, 0xd6));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, QColor(0x6c, 0xa8, 0xff));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, disabledText);
    palette.setColor(QPalette::Disabled, QPalette::Base, window);
    return palette;
}

class Camera
{
public:
    explicit Camera(QString folder) : m_folder(std::move(folder))
    {
        // Every dialog that opens is either the one being photographed or one in the way: both are closed,
        // so that nothing waits for an answer.
        QObject::connect(&m_watch, &QTimer::timeout, [this] { closeModal(); });
        m_watch.start(40);
    }

    void save(QWidget& widget, const QString& name)
    {
        QCoreApplication::processEvents();
        const QString file = QDir(m_folder).filePath(name + QStringLiteral(".png"));
        if (!widget.grab().save(file))
            err() << "could not write " << file << "\n";
        ++m_count;
    }

    // Runs open(), which shows a modal dialog, photographs the dialog and closes it.
    void shootModal(const QString& name, const std::function<void()>& open)
    {
        m_wanted = name;
        m_shot = false;
        open();
        if (!m_shot)
            err() << "no dialog opened for " << name << "\n";
        m_wanted.clear();
    }

    int count() const { return m_count; }

private:
    void closeModal()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || m_closing)
            return;
        m_closing = true;
        if (!m_wanted.isEmpty() && !m_shot) {
            // A moment for the dialog to lay out and draw (the print preview renders its pages).
            QEventLoop wait;
            QTimer::singleShot(250, &wait, &QEventLoop::quit);
            wait.exec();
            save(*modal, m_wanted);
            m_shot = true;
        } else {
            err() << "closed an unexpected dialog: " << modal->windowTitle() << "\n";
        }
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
        m_closing = false;
    }

    QString m_folder;
    QTimer m_watch;
    QString m_wanted;
    bool m_shot = false;
    bool m_closing = false;
    int m_count = 0;
};

struct Form
{
    const char* action;
    const char* name;
};

const Form Forms[] = {
    {"homeFormAction", "home-screen"},
    {"ownerFormAction", "owner-form"},
    {"vehicleFormAction", "vehicle-form"},
    {"scheduleFormAction", "schedule-form"},
    {"loanFormAction", "loan-form"},
    {"insuranceFormAction", "insurance-form"},
    {"monitorFormAction", "schedule-monitor"},
    {"maintenanceFormAction", "maintenance-form"},
    {"gasFormAction", "gas-form"},
    {"jobOrderFormAction", "job-order-form"},
    {"companyFormAction", "company-form"},
    {"maintenanceReportAction", "report-form"},
};

// A dialog opened by a command of the window or by a button of a form.
struct DialogShot
{
    const char* formAction; // the form to show first (empty: the command is the window's)
    const char* trigger;    // the action or button that opens the dialog
    const char* name;
};

const DialogShot Dialogs[] = {
    {"", "aboutAction", "about-box"},
    {"", "daysAheadAction", "days-ahead"},
    {"", "vehicleFieldsAction", "vehicle-fields"},
    {"", "backupAction", "file-dialog-backup"},
    {"", "printSetupAction", "print-setup"},
    {"", "servicesListAction", "maintain-service-list"},
    {"scheduleFormAction", "scheduleTemplatesButton", "schedule-templates"},
    {"vehicleFormAction", "purchaseButton", "purchase-information"},
    {"maintenanceReportAction", "previewButton", "print-preview"},
};

void trigger(CMainFrame& frame, const char* name)
{
    if (auto* action = frame.findChild<QAction*>(QLatin1String(name))) {
        action->trigger();
    } else if (auto* button = frame.findChild<QAbstractButton*>(QLatin1String(name))) {
        if (button->isVisible() && button->isEnabled())
            button->click();
        else
            err() << name << " is not available\n";
    } else {
        err() << "nothing named " << name << "\n";
    }
    QCoreApplication::processEvents();
}

// A form that needs more than the window's fixed minimum is squeezed at that size.
void warnIfSqueezed(CMainFrame& frame, const char* name)
{
    QCoreApplication::processEvents();
    if (const CFormView* shown = frame.shownForm()) {
        const QSize needed = shown->minimumSizeHint();
        const QSize area = frame.centralWidget()->minimumSize();
        if (needed.width() > area.width() || needed.height() > area.height())
            err() << name << " needs " << needed.width() << "x" << needed.height() << ", more than "
                  << area.width() << "x" << area.height() << "\n";
    }
}

void shootForms(Camera& camera, CMainFrame& frame, const QList<QSize>& sizes, const QStringList& suffixes)
{
    for (const Form& form : Forms) {
        trigger(frame, form.action);
        for (qsizetype i = 0; i < sizes.size(); ++i) {
            frame.resize(sizes[i].isEmpty() ? frame.minimumSizeHint() : sizes[i]);
            if (sizes[i].isEmpty())
                warnIfSqueezed(frame, form.name);
            camera.save(frame, QLatin1String(form.name) + suffixes[i]);
        }
    }
}

int usage()
{
    err() << "Usage: velmora-screenshots FOLDER [--dark] [--canonical FOLDER]\n"
             "  pictures of every form (at the smallest window and at 1600x1000) and every dialog;\n"
             "  --canonical also writes the forms at 1100x760 under their plain names there\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir work(QDir::temp().filePath(QStringLiteral("velmora-screenshots-XXXXXX")));
    if (!work.isValid())
        return 1;
    // Settings live in the work folder, so that the user's own are never read or changed.
    const QString config = work.filePath(QStringLiteral("config"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config);

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setOrganizationName(QStringLiteral("Halvern Software"));
    QStringList arguments = QApplication::arguments().mid(1);
    const bool dark = arguments.removeAll(QStringLiteral("--dark")) > 0;
    QString canonical;
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--canonical")); at >= 0) {
        if (at + 1 >= arguments.size())
            return usage();
        canonical = arguments.takeAt(at + 1);
        arguments.removeAt(at);
    }
    if (arguments.size() != 1)
        return usage();
    const QString folder = arguments.constFirst();
    if (!QDir().mkpath(folder) || (!canonical.isEmpty() && !QDir().mkpath(canonical)))
        return 1;

    DesktopLook::applyStyle();
    if (dark)
        QApplication::setPalette(darkPalette());
    // A fixed day, so that pictures change only when the look does.
    Clock::setNow(QDateTime(QDate(2026, 7, 1), QTime(9, 0)));

    QtPrompter prompter;
    const QString dataFile = work.filePath(QStringLiteral("Velmora.vel"));
    if (!DatabaseCreation::createDatabase(dataFile, prompter))
        return 1;
    {
        Database db;
        db.open(dataFile, DatabaseCreation::ConnectText);
        DemoData::fill(db);
    }
    CVelApp app(prompter);
    app.settings().setDatabaseLocation(dataFile);
    app.settings().setInteger(QStringLiteral("Settings"), QStringLiteral("NotifyPgm"), 0);
    app.setReminderLauncher([](const QString&) { return true; });
    Camera camera(folder);
    if (!app.initInstance({}))
        return 1;
    CMainFrame& frame = *app.mainFrame();
    prompter.setParentWidget(&frame);
    frame.show();

    shootForms(camera, frame, {QSize(), QSize(1600, 1000)},
               {QStringLiteral("-min"), QStringLiteral("-1600x1000")});
    if (!canonical.isEmpty()) {
        Camera plain(canonical);
        shootForms(plain, frame, {QSize(1100, 760)}, {QString()});
    }

    frame.resize(1100, 760);
    for (const DialogShot& shot : Dialogs) {
        if (*shot.formAction)
            trigger(frame, shot.formAction);
        camera.shootModal(QLatin1String(shot.name), [&] { trigger(frame, shot.trigger); });
    }
    camera.shootModal(QStringLiteral("message-box-question"),
                      [&] { prompter.yesNoDefaultNo(Messages::ApplyChangesQuestion); });
    camera.shootModal(QStringLiteral("message-box-warning"), [&] {
        prompter.ask(Messages::ReadingOutOfRange.arg(QStringLiteral("This")), Prompter::Icon::Exclamation,
                     Prompter::Buttons::Ok);
    });
    camera.shootModal(QStringLiteral("welcome-dialog"), [&] {
        CWelcomeDialog welcome({}, &frame);
        welcome.exec();
    });
    {
        HelpWindow help;
        help.show();
        camera.save(help, QStringLiteral("user-guide"));
    }
    trigger(frame, "homeFormAction");
    err() << camera.count() << " pictures in " << folder << "\n";
    err().flush();
    // The window's placement stays in the work folder's settings; nothing else is written.
    return 0;
}
