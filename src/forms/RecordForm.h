#pragma once

#include "db/ListEntry.h"
#include "forms/FormView.h"

#include <QList>
#include <memory>

class CTypedCompany;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QVBoxLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;

// The banner texts of a form's three modes.
struct FormTitles
{
    QString browse;
    QString edit;
    QString addNew;
};

// The one mode machine of the record forms: Browse, Edit and Add New; the unsaved-changes question before
// anything replaces the values on screen; Save, Reset, New, Edit, Delete and Duplicate; the Enter key and
// its default marker; the context menu; Back, Next and Home; update hints between forms.
//
// A form derives from this, puts its fields into fieldGrid() (addLineField and friends register them, so
// that any edit sets the unsaved-changes flag and the mode makes them read-only or writable), and
// supplies the hooks below: the selector's entries, load, clear, validate, write and remove.
class CRecordForm : public CFormView
{
    Q_OBJECT

public:
    enum class Mode { Browse, Edit, AddNew };
    // Plain Save keeps the saved row current; saving before continuing (New, another selection) leaves the
    // row chosen in the selector current.
    enum class SaveKind { Plain, BeforeContinuing };

    CRecordForm(CAppContext& app, CVelDoc& doc, int formNumber, FormTitles titles, QWidget* parent = nullptr);
    ~CRecordForm() override;

    Mode mode() const { return m_mode; }
    QString modeTitle() const;
    bool isNewRecord() const { return m_newRecord; }
    bool hasUnsavedChanges() const { return m_unsaved; }
    bool hasPendingChanges() const override { return m_unsaved; }
    // Key of the row on screen (0 before the first load and for a record not yet saved).
    qint32 currentKey() const { return m_currentKey; }
    QComboBox* selector() const { return m_selector; }
    // Key of the selector's selected item, 0 when nothing is selected.
    qint32 selectedKey() const;

    bool canLeave(int targetForm) override;
    void enter(int a, int b) override;
    void onDocumentUpdate(int hint) override;

    bool canNew() const override;
    bool canSave() const override { return m_unsaved; }
    bool canDuplicate() const override;
    bool canEdit() const override;
    bool canReset() const { return m_unsaved || m_newRecord; }
    bool canDelete() const;
    void commandNew() override;
    void commandSave() override;
    void commandDuplicate() override;
    void commandEdit() override;
    void commandHome() override;
    void commandReset();
    void commandDelete();

    // The clipboard commands act on the focused edit field.
    bool canCut() const;
    bool canCopy() const;
    bool canPaste() const;
    void commandCut();
    void commandCopy();
    void commandPaste();

    // The panes F6 moves through: the selector, the fields, the command buttons, the navigation buttons.
    bool focusNextPane(bool forward) override;

    // The right-button menu for the present state; shown by the form, built here so it can be checked.
    std::unique_ptr<QMenu> createContextMenu();
    // The command button that carries the default marker (the one Enter runs), or none.
    QPushButton* markedButton() const;

    // Saves the values on screen: validation, the form's writeRecord in one transaction, selector refill and
    // the update hint. Returns whether the values are saved (true at once when nothing has changed).
    bool save(SaveKind kind);

Q_SIGNALS:
    // A key was typed into a field that holds as many characters as it may (the form has beeped).
    void fieldFull(QLineEdit* field);

protected:
    // Adds the contact lines the owner and company forms share.
    friend struct ContactLineFields;

    // The selector's items, in the order shown.
    virtual QList<ListEntry> selectorEntries() = 0;
    // Shows the row with this key; false when there is no such row.
    virtual bool loadRecord(qint32 key) = 0;
    // Puts every field to its empty default for a new record.
    virtual void clearFields() = 0;
    // Runs the form's checks in order; the first failure calls rejectField and returns false.
    virtual bool validateFields() = 0;
    // Writes the values on screen (key 0: a new row) and returns the row's key. Runs inside a transaction;
    // throws CdbException on failure.
    virtual qint32 writeRecord(qint32 key) = 0;
    // Asks the form's own confirmation and deletes the row with everything that hangs on it; false when the
    // user declined. Throws CdbException on failure.
    virtual bool removeRecord(qint32 key) = 0;
    // The field that gets the focus for New, Edit, Save and Reset.
    virtual QWidget* firstField() const = 0;

    // Whether the form offers Duplicate Entry.
    virtual bool offersDuplicate() const { return false; }
    // Whether what is on screen can be deleted (forms whose rows may have no record yet say no for those).
    virtual bool offersDelete() const { return true; }
    // Adjusts the values kept by Duplicate (most forms keep all of them).
    virtual void prepareDuplicate() {}
    // The key the selector selects whenever the form is shown (0: the record shown before, at first the
    // first item).
    virtual qint32 initialKey() { return 0; }
    // The form is shown again with no changes typed (and not on the way back from the company form): bring
    // what it shows up to date. By default the wanted row is selected and read again; a new record stays.
    // Throws CdbException.
    virtual void showAgain(int a, int b);
    // The selected item has no row any more; by default the fields are emptied and the form stays in Browse.
    virtual void recordMissing(qint32 key);
    // Empty while the row the record belongs under (a vehicle's loan: the vehicle) is on file; otherwise
    // the message telling the user that the changes on screen are dropped. Records that stand alone
    // always have their place.
    virtual QString missingParentMessage() { return {}; }
    // Called after every mode change, for fields whose state depends on more than the mode.
    virtual void modeChanged(Mode mode) { Q_UNUSED(mode); }
    // A save has gone through and the form is back in Browse with the saved values (key: the row now
    // current), for what must follow a completed save, such as a note to the user.
    virtual void recordSaved(qint32 key) { Q_UNUSED(key); }
    // Adds items at the end of the context menu.
    virtual void extendContextMenu(QMenu& menu) { Q_UNUSED(menu); }
    // A document update with a hint other than the selector's own: refill the form's other lists.
    virtual void refreshLists(int hint) { Q_UNUSED(hint); }
    virtual void commandBack();
    virtual void commandNext();
    QPushButton* homeButton() const { return m_homeButton; }
    // Places a button of the form's own at the end of the bottom row, after Home.
    void addNavigationButton(QPushButton* button);
    QLabel* selectorLabel() const { return m_selectorLabel; }

    // Set-up, from the derived constructor.
    void setSelectorLabel(const QString& label, const QString& objectName);
    // Forms reached by Back and Next (0: the button stays disabled).
    void setNavigation(int backForm, int nextForm);
    // The hint sent after a save or delete, and the hint on which the selector is refilled.
    void setUpdateHints(int changeHint, int selectorHint);

    // The fields: two columns of label and field; column 0 or 1, a span of 2 takes the whole width. Line
    // fields are as wide as their longest text, memos take the whole width of their columns.
    QGridLayout* fieldGrid() const { return m_fieldGrid; }
    // The height the window has to spare goes to this row of the field grid (a list, the comments), with
    // the given share when several rows grow, rather than to an empty band above the buttons.
    void growRow(int row, int share = 1);
    // Fields added until endFieldGroup go into a titled box placed at this cell of the field grid; inside
    // it, rows and columns count from 0 again.
    QGroupBox* beginFieldGroup(const QString& title, const QString& objectName, int row, int column,
                               int rowSpan = 1, int columnSpan = 1);
    void endFieldGroup();
    QLineEdit* addLineField(const QString& label, const QString& objectName, int maxLength, int row,
                            int column, int columnSpan = 1);
    QPlainTextEdit* addMemoField(const QString& label, const QString& objectName, int row, int column,
                                 int columnSpan = 2);
    // Places and registers any field widget (combo box, check box, spin box ...); returns its label.
    QLabel* addField(const QString& label, QWidget* field, int row, int column, int columnSpan = 1);
    // A field of the record: its edits set the unsaved-changes flag, the mode makes it read-only or
    // writable. Line and text edits become read-only in Browse; other widgets are disabled.
    void registerField(QWidget* field);
    // Shows a failed check (exclamation icon), puts the focus on the field and returns false.
    bool rejectField(const QString& message, QWidget* field);
    // Sets the unsaved-changes flag as an edit of a field does.
    void markChanged();

    // Makes the box the form's company box (see CTypedCompany): the form then goes to the company form and
    // back without the unsaved-changes question, takes the company handed back, and refreshes the box when
    // companies change. The form places and registers the box itself.
    CTypedCompany* makeCompanyBox(QComboBox& box, int callerCode);
    CTypedCompany* companyBox() const { return m_company; }
    // Settles a new company name typed into the company box; the first of the form's checks. False leaves
    // the focus in the box (unless the company form has taken over).
    bool resolveCompany();

    // Changes made to fields inside this scope are values being shown, not edits.
    class QuietEdits
    {
    public:
        explicit QuietEdits(CRecordForm& form) : m_form(form) { ++m_form.m_quietDepth; }
        ~QuietEdits() { --m_form.m_quietDepth; }
        QuietEdits(const QuietEdits&) = delete;
        QuietEdits& operator=(const QuietEdits&) = delete;

    private:
        CRecordForm& m_form;
    };

    // Fills a combo box with entries and selects the key (else the first item), without counting as an edit.
    void fillList(QComboBox* list, const QList<ListEntry>& entries, qint32 keyToSelect);
    void fillSelector(qint32 keyToSelect);
    // Shows the selected record, or starts a new one when the selector is empty.
    void loadSelected();
    // Add New without the unsaved-changes question.
    void startNewRecord();
    // Asks 61446 when there are unsaved changes: Yes saves before continuing, No drops them. Returns
    // whether the caller may go on.
    bool resolveUnsavedChanges();
    // Drops the changes on screen, telling the user, when the record's parent row has gone.
    bool dropChangesOfOrphan();
    // An extra update hint to send after the change hint of the running save or delete.
    void alsoNotify(int hint);
    // Shows an engine error.
    void showError(const QString& description);

    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    enum class Marker { None, New, Edit, Save };

    void initialise();
    void setMode(Mode mode);
    void applyMode(QWidget* field);
    void setMarker(Marker marker);
    void updateCommandStates();
    void focusFirstField();
    void onSelectorChanged(int index);
    void onFieldEdited();
    void runEnterKey();
    void discardChanges();
    void notifyOthers();
    void selectQuietly(qint32 key);
    void setupTabOrder();
    QWidget* focusedEdit() const;
    QPushButton* makeButton(const QString& text, const QString& objectName);

    FormTitles m_titles;
    Mode m_mode = Mode::Browse;
    bool m_newRecord = false;
    bool m_unsaved = false;
    bool m_initialised = false;
    CTypedCompany* m_company = nullptr;
    bool m_nextAvailable = true;
    bool m_fillingSelector = false;
    bool m_notifying = false;
    int m_quietDepth = 0;
    qint32 m_currentKey = 0;
    int m_backForm = 0;
    int m_nextForm = 0;
    int m_changeHint = 0;
    int m_selectorHint = 0;
    QList<int> m_extraHints;
    QList<QWidget*> m_fields;

    QLabel* m_selectorLabel = nullptr;
    QComboBox* m_selector = nullptr;
    QLabel* m_banner = nullptr;
    QGridLayout* m_fieldGrid = nullptr;
    QGridLayout* m_groupGrid = nullptr;
    QPushButton* m_newButton = nullptr;
    QPushButton* m_editButton = nullptr;
    QPushButton* m_saveButton = nullptr;
    QPushButton* m_resetButton = nullptr;
    QPushButton* m_deleteButton = nullptr;
    QPushButton* m_backButton = nullptr;
    QPushButton* m_nextButton = nullptr;
    QPushButton* m_homeButton = nullptr;
    QHBoxLayout* m_navigationRow = nullptr;
    QVBoxLayout* m_contentLayout = nullptr;
};
