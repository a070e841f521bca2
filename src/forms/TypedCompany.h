#pragma once

#include <QObject>
#include <optional>

class CFormView;
class QComboBox;
class QWidget;

// The company box of a form that refers to a company (maintenance, schedule, loan, insurance, gas log,
// job orders): an editable list of the companies of one kind that also takes a name typed in. A name that
// names no listed company is put to the user when the focus moves on to another field of the form (or
// when the form saves): refused when another contact already has it, opened in the company form, added at
// once with just its name, or left for the user to correct.
//
// The form registers the box as one of its fields, shows its stored company with show() and calls
// refresh() on the company-added hint; it calls resolve() before its own checks, asks leaveCheck() first
// in canLeave, and hands takeReturned() the company the company form gives back when it enters the form
// with (CompanyForm, key).
class CTypedCompany : public QObject
{
    Q_OBJECT

public:
    CTypedCompany(CFormView& form, QComboBox& box, int callerCode);

    QComboBox& box() const { return m_box; }
    int callerCode() const { return m_callerCode; }

    // The listed company the box names (compared without regard to case); 0 for an empty box or a new name.
    qint32 companyKey() const;
    // The box holds a name that no listed company has.
    bool hasNewName() const;
    // Puts a new name to the user. True when the box now names a listed company or is empty, so that the
    // form may go on; false when the form should stay where it is.
    bool resolve();
    // Selects the listed company with this key (an edit of the field, as choosing it would be); false when
    // the box does not list it.
    bool select(qint32 key);

    // Shows a stored company (0 or an unlisted key: none), not as an edit. Throws CdbException.
    void show(qint32 key);
    // Reads the list again, keeping the company named or the new name typed. Throws CdbException.
    void refresh();
    // The company the company form hands back (0: none): chosen for the record, as an edit of it, the
    // record going from Browse into Edit for it. Throws CdbException.
    void takeReturned(qint32 key);

    // Opens the company form on the name in the box, with the form's caller code ("E&dit Contact").
    void openCompanyForm();
    // The form's leave check when the frame is about to show the company form: the form's own request goes
    // without the unsaved-changes question (the user comes back to the values on screen); any other way to
    // the company list is turned into that request. Nothing for other targets.
    std::optional<bool> leaveCheck(int targetForm);

Q_SIGNALS:
    // The box now names another company, or none (key 0).
    void companyChanged(qint32 key);

private:
    void fill(qint32 keyToSelect);
    int matchingIndex() const;
    QString typedName() const;
    bool contains(const QWidget* widget) const;
    bool isResetButton(const QWidget* widget) const;
    void openCompanyFormWith(const QString& name);
    void onFocusChanged(QWidget* old, QWidget* now);
    void checkAfterFocusMoved();
    void announceCompany();

    CFormView& m_form;
    QComboBox& m_box;
    int m_callerCode;
    bool m_filled = false;
    qint32 m_announcedKey = -1;
    bool m_ownRequest = false;
    bool m_resolving = false;
    bool m_checkPending = false;
};
