#pragma once

#include <QWidget>

class CAppContext;
class CVelDoc;

// Base of every view the frame shows (record forms, home screens, report form). The frame asks it
// whether it may be left, calls its entry routine each time it is shown and routes the File menu's
// record commands to it. The record forms' shared mode machine builds on this.
class CFormView : public QWidget
{
    Q_OBJECT

public:
    CFormView(CAppContext& app, CVelDoc& doc, int formNumber, QWidget* parent = nullptr);

    int formNumber() const { return m_formNumber; }
    CAppContext& app() { return m_app; }
    CVelDoc& document() { return m_doc; }

    // Leave check before the frame shows the form targetForm; false keeps this form shown.
    virtual bool canLeave(int targetForm);
    // Changes typed on the form and not yet saved; the frame offers them before the program closes.
    virtual bool hasPendingChanges() const { return false; }
    // Entry routine, run every time the frame shows the form (a and b as passed to switch form).
    virtual void enter(int a, int b);
    // The document's update notification with its hint.
    virtual void onDocumentUpdate(int hint);

    // File menu commands; forms that have them override and report availability.
    virtual bool canNew() const { return false; }
    virtual bool canSave() const { return false; }
    virtual bool canDuplicate() const { return false; }
    virtual void commandNew() {}
    virtual void commandSave() {}
    virtual void commandDuplicate() {}
    // The frame's keyboard commands: Ctrl+E (Edit) and Escape (the form's Home command).
    virtual bool canEdit() const { return false; }
    virtual void commandEdit() {}
    virtual void commandHome() {}
    // Ctrl+P: print what the form shows, where it has something to print.
    virtual bool canPrint() const { return false; }
    virtual void commandPrint() {}
    // F6 and Shift+F6: move the focus to the next or previous pane of the form (selector, fields,
    // buttons); false when the form has no panes.
    virtual bool focusNextPane(bool forward)
    {
        Q_UNUSED(forward);
        return false;
    }

Q_SIGNALS:
    // Asks the frame to show another form (the one way between forms).
    void switchFormRequested(int formNumber, int a, int b);
    // The enable state of New / Save / Duplicate may have changed.
    void commandStateChanged();

private:
    CAppContext& m_app;
    CVelDoc& m_doc;
    int m_formNumber;
};
