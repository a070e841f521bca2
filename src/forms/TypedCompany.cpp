#include "forms/TypedCompany.h"

#include "context/Enums.h"
#include "context/AppContext.h"
#include "context/VelDoc.h"
#include "db/DbException.h"
#include "db/Prompter.h"
#include "fleet/CompanyRecord.h"
#include "fleet/ContactOperations.h"
#include "forms/FormView.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QTimer>
#include <utility>

CTypedCompany::CTypedCompany(CFormView& form, QComboBox& box, int callerCode)
    : QObject(&form), m_form(form), m_box(box), m_callerCode(callerCode)
{
    m_box.setEditable(true);
    m_box.setInsertPolicy(QComboBox::NoInsert);
    // As long as a company name may be, so that a new name fits its row.
    m_box.lineEdit()->setMaxLength(50);
    connect(&m_box, &QComboBox::currentIndexChanged, this, &CTypedCompany::announceCompany);
    connect(&m_box, &QComboBox::editTextChanged, this, &CTypedCompany::announceCompany);
    connect(qApp, &QApplication::focusChanged, this, &CTypedCompany::onFocusChanged);
}

QString CTypedCompany::typedName() const
{
    return m_box.currentText().trimmed();
}

int CTypedCompany::matchingIndex() const
{
    const QString name = typedName();
    if (name.isEmpty())
        return -1;
    const int current = m_box.currentIndex();
    if (current >= 0 && m_box.itemText(current).compare(name, Qt::CaseInsensitive) == 0)
        return current;
    for (int i = 0; i < m_box.count(); ++i)
        if (m_box.itemText(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

qint32 CTypedCompany::companyKey() const
{
    const int index = matchingIndex();
    return index < 0 ? 0 : m_box.itemData(index).toInt();
}

bool CTypedCompany::hasNewName() const
{
    return !typedName().isEmpty() && matchingIndex() < 0;
}

void CTypedCompany::announceCompany()
{
    const qint32 key = companyKey();
    if (key == m_announcedKey)
        return;
    m_announcedKey = key;
    Q_EMIT companyChanged(key);
}

bool CTypedCompany::select(qint32 key)
{
    const int index = m_box.findData(key);
    if (index < 0)
        return false;
    m_box.setCurrentIndex(index);
    // An editable box keeps its index while the user types; the index alone does not bring the text back.
    if (m_box.currentText() != m_box.itemText(index))
        m_box.setEditText(m_box.itemText(index));
    return true;
}

void CTypedCompany::fill(qint32 keyToSelect)
{
    const QList<ListEntry> entries =
        ContactOperations::companyListEntries(m_form.app().database(), CompanyCallers::kindOf(m_callerCode));
    {
        // Refilling shows values; the form must not take it for the user's edit.
        const QSignalBlocker quiet(&m_box);
        m_box.clear();
        for (const ListEntry& entry : entries)
            m_box.addItem(entry.text, entry.key);
        const int index = m_box.findData(keyToSelect);
        m_box.setCurrentIndex(keyToSelect != 0 ? index : -1);
        m_box.setEditText(index >= 0 && keyToSelect != 0 ? m_box.itemText(index) : QString());
    }
    m_filled = true;
    announceCompany();
}

void CTypedCompany::show(qint32 key)
{
    if (!m_filled) {
        fill(key);
        return;
    }
    {
        const QSignalBlocker quiet(&m_box);
        const int index = key != 0 ? m_box.findData(key) : -1;
        m_box.setCurrentIndex(index);
        m_box.setEditText(index >= 0 ? m_box.itemText(index) : QString());
    }
    announceCompany();
}

void CTypedCompany::refresh()
{
    const bool typedName = hasNewName();
    const QString text = m_box.currentText();
    fill(typedName ? 0 : companyKey());
    if (typedName) {
        const QSignalBlocker quiet(&m_box);
        m_box.setEditText(text);
    }
    // The company's own details may have changed even when the key has not.
    Q_EMIT companyChanged(companyKey());
}

void CTypedCompany::takeReturned(qint32 key)
{
    refresh();
    if (key == 0 || m_box.findData(key) < 0 || key == companyKey())
        return;
    // Choosing a company for the record is an edit of it, also when the trip began in Browse.
    if (!m_box.isEnabled())
        m_form.commandEdit();
    select(key);
}

bool CTypedCompany::resolve()
{
    if (!hasNewName()) {
        // A name typed in another case is the listed company: show it as listed.
        const int index = matchingIndex();
        if (index >= 0 && (index != m_box.currentIndex() || m_box.currentText() != m_box.itemText(index)))
            select(m_box.itemData(index).toInt());
        return true;
    }
    if (m_resolving)
        return false;
    QScopedValueRollback<bool> resolving(m_resolving, true);
    const QString name = typedName();
    CAppContext& app = m_form.app();
    TypedCompany::Result result{TypedCompany::Outcome::Cancelled};
    try {
        result = TypedCompany::resolveNewName(app.database(), app.prompter(), name,
                                              CompanyCallers::kindOf(m_callerCode));
    } catch (const CdbException& error) {
        app.prompter().message(error.description(), Prompter::Icon::Exclamation);
        return false;
    }
    switch (result.outcome) {
    case TypedCompany::Outcome::Added:
        try {
            refresh();
        } catch (const CdbException& error) {
            app.prompter().message(error.description(), Prompter::Icon::Exclamation);
            return false;
        }
        select(result.contactId);
        m_form.document().updateAllViews(CompanyAddedHint);
        return true;
    case TypedCompany::Outcome::DetailsWanted:
        openCompanyFormWith(name);
        return false;
    case TypedCompany::Outcome::Cancelled:
        m_box.setFocus(Qt::OtherFocusReason);
        return false;
    case TypedCompany::Outcome::NameInUse:
        break;
    }
    return false;
}

void CTypedCompany::openCompanyForm()
{
    openCompanyFormWith(typedName());
}

void CTypedCompany::openCompanyFormWith(const QString& name)
{
    m_form.app().setCompanyToOpen(name);
    m_ownRequest = true;
    Q_EMIT m_form.switchFormRequested(CompanyForm, m_callerCode, 0);
}

std::optional<bool> CTypedCompany::leaveCheck(int targetForm)
{
    if (targetForm != CompanyForm)
        return std::nullopt;
    if (std::exchange(m_ownRequest, false))
        return true;
    // The Company List command from this form: the same trip, so that "&Return" comes back here.
    openCompanyForm();
    return false;
}

bool CTypedCompany::contains(const QWidget* widget) const
{
    return widget && (widget == &m_box || m_box.isAncestorOf(widget));
}

bool CTypedCompany::isResetButton(const QWidget* widget) const
{
    return widget && widget->objectName() == QLatin1String("resetButton");
}

void CTypedCompany::onFocusChanged(QWidget* old, QWidget* now)
{
    if (!contains(old) || !now || contains(now) || !m_form.isAncestorOf(now) || isResetButton(now))
        return;
    if (m_checkPending || !hasNewName())
        return;
    m_checkPending = true;
    QTimer::singleShot(0, this, &CTypedCompany::checkAfterFocusMoved);
}

void CTypedCompany::checkAfterFocusMoved()
{
    // A question asked while the mouse button that moved the focus is still down would swallow the click;
    // the button's own command (Save, Reset, E&dit Contact) goes first and handles the name itself.
    if (QGuiApplication::mouseButtons() != Qt::NoButton) {
        QTimer::singleShot(50, this, &CTypedCompany::checkAfterFocusMoved);
        return;
    }
    m_checkPending = false;
    QWidget* focus = QApplication::focusWidget();
    if (!m_box.isVisible() || !m_box.isEnabled() || !focus || contains(focus) ||
        !m_form.isAncestorOf(focus) || isResetButton(focus))
        return;
    resolve();
}
