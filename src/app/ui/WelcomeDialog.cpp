#include "app/ui/WelcomeDialog.h"

#include "app/StartUp.h"
#include "app/ui/DataFileCommands.h"
#include "app/ui/DataFileMessages.h"
#include "app/ui/VelApp.h"
#include "db/DataFile.h"
#include "db/DatabaseCreation.h"
#include "db/DbException.h"
#include "db/Import.h"
#include "db/Messages.h"
#include "db/Prompter.h"
#include "db/Values.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QString DataFileName = QStringLiteral("Velmora.vel");

Prompter::FileDialog dataFileDialog(CVelApp& app, const QString& title)
{
    Prompter::FileDialog dialog;
    dialog.title = title;
    dialog.defaultSuffix = QStringLiteral("vel");
    dialog.defaultName = DataFileName;
    dialog.filter = QStringLiteral("Velmora Data Files (*.vel)");
    // The data file's own folder when there is one, else the user's data folder (an installed program's
    // folder is no place for data and is often not writable).
    dialog.folder = app.databasePath().isEmpty() || !QFileInfo(app.databasePath()).absoluteDir().exists()
                        ? defaultDataFolder()
                        : QFileInfo(app.databasePath()).absolutePath();
    dialog.confirmOverwrite = true;
    return dialog;
}

bool openChosenDatabase(CVelApp& app, const QString& path)
{
    app.setDatabasePath(path);
    try {
        app.openDatabase();
    } catch (const CdbException& error) {
        app.prompter().message(error.description());
        return false;
    }
    return app.database().isOpen();
}

bool createDataFile(CVelApp& app)
{
    if (app.database().isOpen())
        return true;
    const QString path = chooseAndCreateDataFile(app);
    return !path.isEmpty() && openChosenDatabase(app, path);
}

bool importDataFile(CVelApp& app)
{
    Prompter& prompter = app.prompter();
    prompter.information(Messages::SelectImportFile);
    Prompter::FileDialog dialog;
    dialog.title = QStringLiteral("Import from Previous Version");
    dialog.defaultSuffix = QStringLiteral("mdb");
    dialog.defaultName = QStringLiteral("Velmora.mdb");
    dialog.filter = QStringLiteral("Velmora Database (Velmora.mdb velmora.mdb VELMORA.MDB)");
    dialog.folder = app.settings().installDir();
    dialog.confirmOverwrite = true;
    const QString oldFile = prompter.openFileName(dialog);
    if (oldFile.isEmpty())
        return false;
    QString newPath;
    if (!Import::importPreviousVersion(oldFile, app.settings().installDir(), prompter, &newPath))
        return false;
    return openChosenDatabase(app, newPath);
}

bool locateDataFile(CVelApp& app)
{
    const QString path = chooseExistingDataFile(app);
    return !path.isEmpty() && openChosenDatabase(app, path);
}

} // namespace

QString chooseAndCreateDataFile(CVelApp& app)
{
    Prompter& prompter = app.prompter();
    Prompter::FileDialog dialog = dataFileDialog(app, QStringLiteral("Create New Data File"));
    dialog.folder = defaultDataFolder();
    const QString chosen = prompter.saveFileName(dialog);
    if (chosen.isEmpty())
        return {};
    // The name typed is the file's name (the settings keep the full path); the dialog has asked before
    // replacing a file of that name, but the data file in use is never replaced under the program.
    const QString path = QFileInfo(chosen).absoluteFilePath();
    if (app.database().isOpen() && DataFile::sameFile(path, app.databasePath())) {
        prompter.message(DataFileMessages::DataFileInUse);
        return {};
    }
    bool created = false;
    {
        BusyScope busy(prompter);
        created = DatabaseCreation::createDatabase(path, prompter);
    }
    return created ? path : QString();
}

QString chooseExistingDataFile(CVelApp& app)
{
    Prompter& prompter = app.prompter();
    Prompter::FileDialog dialog = dataFileDialog(app, QStringLiteral("Locate Existing Data File"));
    dialog.filter += QStringLiteral(";;All Files (*)");
    dialog.confirmOverwrite = false;
    const QString chosen = prompter.openFileName(dialog);
    if (chosen.isEmpty())
        return {};
    return acceptExistingDataFile(app, chosen);
}

QString acceptExistingDataFile(CVelApp& app, const QString& chosen)
{
    Prompter& prompter = app.prompter();
    StartUp::recoverInterrupted(chosen, prompter);
    try {
        DataFile::checkDataFile(chosen);
    } catch (const CdbException& error) {
        prompter.message(Messages::DataFileRejected.arg(QFileInfo(chosen).fileName(), error.description()));
        return {};
    }
    return QFileInfo(chosen).absoluteFilePath();
}

WelcomeNotice welcomeNoticeFor(const QString& path)
{
    WelcomeNotice notice;
    if (path.isEmpty())
        return notice;
    const QString shown = QDir::toNativeSeparators(path);
    if (!QFileInfo::exists(path)) {
        notice.text = DataFileMessages::DataFileMissing.arg(shown);
        notice.fileMissing = true;
        return notice;
    }
    QString why = QStringLiteral("it is not a Velmora data file.");
    try {
        DataFile::checkDataFile(path);
    } catch (const CdbException& error) {
        why = error.description();
    }
    notice.text = DataFileMessages::DataFileUnusable.arg(shown, why);
    return notice;
}

CWelcomeDialog::CWelcomeDialog(const WelcomeNotice& notice, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("welcomeDialog"));
    setWindowTitle(QStringLiteral("Welcome to Velmora"));

    // The thanks belong to a first run; a returning user is told what happened to the data file below.
    auto* welcome = new QLabel(
        notice.text.isEmpty()
            ? QStringLiteral("Thank you for choosing Velmora.  Let's find a home for your vehicle records.")
            : QStringLiteral("Welcome back.  Let's find your vehicle records."),
        this);
    welcome->setObjectName(QStringLiteral("welcomeText"));
    welcome->setWordWrap(true);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(18);
    font.setBold(true);
    welcome->setFont(font);
    QPalette palette = welcome->palette();
    // The program's red, lightened where the desktop's windows are dark.
    const bool dark = palette.color(QPalette::Window).lightness() < 128;
    palette.setColor(QPalette::WindowText, dark ? QColor(0xff, 0x8f, 0x85) : QColor(125, 13, 21));
    welcome->setPalette(palette);

    const auto option = [this](const char* name, const QString& text) {
        auto* button = new QRadioButton(text, this);
        button->setObjectName(QLatin1String(name));
        return button;
    };
    m_create = option("createChoice", QStringLiteral("Create new data file"));
    m_import = option("importChoice", QStringLiteral("Import from previous version"));
    m_locate = option("locateChoice", QStringLiteral("Locate existing data file"));
    m_restore = option("restoreChoice", QStringLiteral("Restore data from a backup"));
    // A data file that has gone is most likely somewhere else now: finding it is the first thing to offer.
    (notice.fileMissing ? m_locate : m_create)->setChecked(true);

    // Why the dialog is shown when a data file was in use before.
    auto* problem = new QLabel(notice.text, this);
    problem->setObjectName(QStringLiteral("noticeText"));
    problem->setWordWrap(true);
    problem->setTextInteractionFlags(Qt::TextSelectableByMouse);
    problem->setStyleSheet(
        QStringLiteral("QLabel { background: #fff4e5; color: #3b2a12; border: 1px solid #e0a458; "
                       "border-radius: 4px; padding: 6px 8px; }"));
    problem->setVisible(!notice.text.isEmpty());

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(welcome);
    layout->addSpacing(12);
    if (!notice.text.isEmpty()) {
        layout->addWidget(problem);
        layout->addSpacing(8);
    }
    for (QRadioButton* button : {m_create, m_import, m_locate, m_restore})
        layout->addWidget(button);
    layout->addSpacing(12);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

WelcomeChoice CWelcomeDialog::choice() const
{
    if (result() != QDialog::Accepted)
        return WelcomeChoice::Cancel;
    if (m_import->isChecked())
        return WelcomeChoice::Import;
    if (m_locate->isChecked())
        return WelcomeChoice::Locate;
    if (m_restore->isChecked())
        return WelcomeChoice::Restore;
    return WelcomeChoice::Create;
}

WelcomeChoice askWelcomeChoice(const WelcomeNotice& notice, QWidget* parent)
{
    CWelcomeDialog dialog(notice, parent);
    dialog.exec();
    return dialog.choice();
}

bool locateDatabase(CVelApp& app, const WelcomeChooser& choose)
{
    for (;;) {
        switch (choose()) {
        case WelcomeChoice::Cancel:
            return false;
        case WelcomeChoice::Create:
            if (createDataFile(app))
                return true;
            break;
        case WelcomeChoice::Import:
            if (importDataFile(app))
                return true;
            break;
        case WelcomeChoice::Locate:
            if (locateDataFile(app))
                return true;
            break;
        case WelcomeChoice::Restore:
            restoreDatabase(app);
            if (app.database().isOpen())
                return true;
            break;
        }
    }
}
