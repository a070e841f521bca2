#pragma once

#include "forms/FormHost.h"

#include <QHash>
#include <QKeySequence>
#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <optional>

class CFormView;
class CVelApp;
class CVelDoc;
class QAction;
class QLabel;
class QPrinter;
class QStackedWidget;

// The one top-level window: the menu, the status bar, the commands and the one form shown at a time.
// Forms are known by their form numbers, created on first use from a factory registered per number, and
// kept (hidden) afterwards so that they keep their state.
class CMainFrame : public QMainWindow, public CFormHost
{
    Q_OBJECT

public:
    using FormFactory = std::function<CFormView*(CVelApp&, CVelDoc&, QWidget*)>;

    explicit CMainFrame(CVelApp& app, QWidget* parent = nullptr);
    ~CMainFrame() override;

    template <class View> static FormFactory factoryOf()
    {
        return [](CVelApp& app, CVelDoc& doc, QWidget* parent) -> CFormView* {
            return new View(app, doc, parent);
        };
    }
    // Makes formNumber available (replacing an earlier factory; a form already created stays as it is).
    void registerForm(int formNumber, FormFactory factory);
    bool hasForm(int formNumber) const override;

    // The one way between forms: asks the shown form whether it may be left, makes sure the owners and
    // vehicles the target needs exist, creates the target on first use and enters it with a and b.
    // Returns whether the requested form (or the prerequisite form the user agreed to) is now shown.
    bool switchForm(int formNumber, int a = 0, int b = 0) override;
    CFormView* shownForm() const { return m_shown; }
    // The form of that number if it has been created.
    CFormView* createdForm(int formNumber) const override { return m_forms.value(formNumber); }
    void showStatus(const QString& text) override;

    CVelDoc& document() { return *m_doc; }
    CVelApp& app() { return m_app; }

    // Places the window as it was left last time (rectangle and maximized state) and shows it.
    void restorePlacement();
    // Writes the placement and the database path (also done when the window closes).
    void savePlacement();

    // Makes a data file named outside the program (the command line) the one in use, as File › Open Data
    // File does after its file dialog.
    void openDataFile(const QString& path);

    // The database file was replaced (a restore): every view reloads and the home page is shown.
    void dataReplaced();
    // Reloads the views when another program changed or replaced the data file since the last look.
    void noticeOtherPrograms();

    bool graphicalFrontEnd() const;
    // The printer settings chosen with Print Setup, kept for printing.
    QPrinter& printer();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct SwitchRequest
    {
        int formNumber;
        int a;
        int b;
    };

    void createMenus();
    void createKeyboardCommands();
    void createStatusBar();
    void registerStandardForms();
    void applyStoredRectangle();
    QAction* addCommand(QMenu* menu, const char* objectName, const QString& text, const QString& statusTip);
    bool showForm(int formNumber, int a, int b);
    void updateCommandState();
    void updateFormCommands();
    // Shows a form already created, without leave check or prerequisites (closing offers its changes).
    void bringForward(CFormView* form);
    // Offers the unsaved changes of every form, the shown one first; false when the user cancelled.
    bool offerAllChanges();
    // File › Open Data File / New Data File: the forms' changes offered, the other file checked (and
    // brought up to date) before it takes the place of the one in use, which stays open otherwise.
    void switchDataFile(bool createNew);
    void useDataFile(const QString& path);

    void editDaysAhead();
    void toggleReminder(bool checked);
    void toggleGraphical(bool checked);
    void editVehicleFields();
    void printSetup();
    void restoreData();
    void showHelp();

    CVelApp& m_app;
    std::unique_ptr<CVelDoc> m_doc;
    std::unique_ptr<QPrinter> m_printer;
    QStackedWidget* m_stack = nullptr;
    CFormView* m_shown = nullptr;
    std::map<int, FormFactory> m_factories;
    QHash<int, CFormView*> m_forms;
    bool m_switching = false;
    // Set while an Escape typed into a drop-down list or menu is being handled.
    bool m_escapeClosingPopup = false;
    std::optional<SwitchRequest> m_pendingSwitch;

    QAction* m_newAction = nullptr;
    QAction* m_duplicateAction = nullptr;
    QAction* m_saveAction = nullptr;
    QAction* m_editAction = nullptr;
    QAction* m_homeAction = nullptr;
    QAction* m_printAction = nullptr;
    // The frame's command keys, which reach the commands from inside any field of a form.
    QList<QKeySequence> m_commandKeys;
    QAction* m_reminderAction = nullptr;
    QAction* m_graphicalAction = nullptr;
    // Go-menu commands by the form they show.
    QMultiHash<int, QAction*> m_formActions;
};
