#include "app/ui/WelcomeDialog.h"

#include "app/StartUp.h"
#include "app/ui/DataFileCommands.h"
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
    dialog.filter = QStringLiteral("Velmora Database (Velmora.vel)");
    dialog.folder = app.settings().installDir();
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
    Prompter& prompter = app.prompter();
    const QString chosen = prompter.saveFileName(dataFileDialog(app, QStringLiteral("Create New Data File")));
    if (chosen.isEmpty())
        return false;
    // A new data file always takes the program's own name in the chosen folder, whatever was typed.
    const QFileInfo chosenInfo(chosen);
    const QString path = QDir(chosenInfo.absolutePath()).filePath(DataFileName);
    // The dialog only asked about replacing the name that was typed; a data file already there under the
    // program's name must not vanish without a question of its own.
    if (QFileInfo::exists(path) && chosenInfo.absoluteFilePath() != path &&
        !prompter.yesNoDefaultNo(Values::fieldMessage(Messages::ReplaceDataFileQuestion, path)))
        return false;
    bool created = false;
    {
        BusyScope busy(prompter);
        created = DatabaseCreation::createDatabase(path, prompter);
    }
    return created && openChosenDatabase(app, path);
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
    Prompter& prompter = app.prompter();
    Prompter::FileDialog dialog = dataFileDialog(app, QStringLiteral("Locate Existing Data File"));
    dialog.filter += QStringLiteral(";;All Files (*)");
    dialog.confirmOverwrite = false;
    const QString chosen = prompter.openFileName(dialog);
    if (chosen.isEmpty())
        return false;
    StartUp::recoverInterrupted(chosen, prompter);
    try {
        DataFile::checkDataFile(chosen);
    } catch (const CdbException& error) {
        prompter.message(Messages::DataFileRejected.arg(QFileInfo(chosen).fileName(), error.description()));
        return false;
    }
    return openChosenDatabase(app, QFileInfo(chosen).absoluteFilePath());
}

} // namespace

CWelcomeDialog::CWelcomeDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("welcomeDialog"));
    setWindowTitle(QStringLiteral("Welcome to Velmora"));

    auto* welcome = new QLabel(
        QStringLiteral("Thank you for choosing Velmora.  Let's find a home for your vehicle records."), this);
    welcome->setObjectName(QStringLiteral("welcomeText"));
    welcome->setWordWrap(true);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(18);
    font.setBold(true);
    welcome->setFont(font);
    QPalette palette = welcome->palette();
    palette.setColor(QPalette::WindowText, QColor(125, 13, 21));
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
    m_create->setChecked(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(welcome);
    layout->addSpacing(12);
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

WelcomeChoice askWelcomeChoice(QWidget* parent)
{
    CWelcomeDialog dialog(parent);
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
