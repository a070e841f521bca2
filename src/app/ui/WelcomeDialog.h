#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class CVelApp;
class QRadioButton;

enum class WelcomeChoice { Cancel, Create, Import, Locate, Restore };

// Why the welcome dialog is shown when a data file was in use before (empty on a first run).
struct WelcomeNotice
{
    QString text;
    // The file is not there any more: "Locate existing data file" is offered first.
    bool fileMissing = false;
};

// The notice for the data file at path, which cannot be used.
WelcomeNotice welcomeNoticeFor(const QString& path);

// Asked when no usable data file is known: create a new one, import the previous version's file, locate
// an existing one or restore a backup.
class CWelcomeDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CWelcomeDialog(const WelcomeNotice& notice = {}, QWidget* parent = nullptr);

    // The option picked; Cancel when the dialog was not accepted.
    WelcomeChoice choice() const;

private:
    QRadioButton* m_create = nullptr;
    QRadioButton* m_import = nullptr;
    QRadioButton* m_locate = nullptr;
    QRadioButton* m_restore = nullptr;
};

// Shows the welcome dialog and returns what the user picked.
WelcomeChoice askWelcomeChoice(const WelcomeNotice& notice = {}, QWidget* parent = nullptr);

using WelcomeChooser = std::function<WelcomeChoice()>;

// Asks through choose() until a data file is open at the application's database path (true) or the user
// cancels (false). A choice that is cancelled or fails asks again.
bool locateDatabase(CVelApp& app, const WelcomeChooser& choose);
