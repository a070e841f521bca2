#include "fleet/ui/StationView.h"
#include "fleet/ContactKind.h"

#include "context/Enums.h"
#include "context/AppContext.h"
#include "db/DbException.h"
#include "db/Messages.h"
#include "db/Prompter.h"
#include "fleet/CompanyRecord.h"
#include "fleet/ContactOperations.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

// The form a caller code returns to.
int callerForm(int callerCode)
{
    switch (callerCode) {
    case MaintenanceCaller:
        return MaintenanceForm;
    case ScheduleCaller:
        return ScheduleForm;
    case LoanCaller:
        return LoanForm;
    case InsuranceCaller:
        return InsuranceForm;
    case GasLogCaller:
        return GasForm;
    case JobOrderCaller:
        return JobOrderForm;
    default:
        return NoForm;
    }
}

// The kinds in the order of the Company Type list.
constexpr int TypeListKinds[] = {LoanCompanyContact, InsuranceCompanyContact, ServiceStationContact};

int typeIndexOf(int kind)
{
    for (int i = 0; i < 3; ++i)
        if (TypeListKinds[i] == kind)
            return i;
    return -1;
}

} // namespace

CStationView::CStationView(CAppContext& app, CVelDoc& doc, QWidget* parent)
    : CRecordForm(app, doc, CompanyForm,
                  {QStringLiteral("Browse Company"), QStringLiteral("Edit Company"),
                   QStringLiteral("Add New Company")},
                  parent)
{
    setSelectorLabel(QStringLiteral("Company"), QStringLiteral("companySelector"));
    setNavigation(NoForm, NoForm);
    setUpdateHints(CompanyAddedHint, CompanyAddedHint);
    // The company list is reached from the menu and from other forms, not along the Back/Next sequence.
    for (const char* name : {"backButton", "nextButton"})
        if (auto* button = findChild<QPushButton*>(QLatin1String(name)))
            button->hide();

    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_cancelButton->setToolTip(QStringLiteral("Go back without saving"));
    // Enter on the focused button presses it, as Space does.
    m_cancelButton->setAutoDefault(true);
    addNavigationButton(m_cancelButton);
    m_cancelButton->hide();
    connect(m_cancelButton, &QPushButton::clicked, this, &CStationView::cancelToCaller);

    m_type = new QComboBox(this);
    m_type->setObjectName(QStringLiteral("companyType"));
    m_type->addItems({QStringLiteral("Loan Company"), QStringLiteral("Insurance Company"),
                      QStringLiteral("Service Station")});
    addField(QStringLiteral("Company Type"), m_type, 0, 0);
    m_contact.addCompanyName(*this, 1);
    m_contact.addPersonAndAddress(*this);
    setTabOrder(homeButton(), m_cancelButton);
}

QList<ListEntry> CStationView::selectorEntries()
{
    return ContactOperations::companyListEntries(app().database(), 0);
}

QWidget* CStationView::firstField() const
{
    return m_contact.companyName;
}

CompanyRecord CStationView::values() const
{
    CompanyRecord record;
    const int index = m_type->currentIndex();
    record.type = index >= 0 ? TypeListKinds[index] : 0;
    m_contact.read(record, record.comments);
    return record;
}

void CStationView::showValues(const CompanyRecord& record)
{
    m_type->setCurrentIndex(typeIndexOf(record.type));
    m_contact.show(record, record.comments);
}

bool CStationView::loadRecord(qint32 key)
{
    const std::optional<CompanyRecord> record = CompanyRecord::load(app().database(), key);
    if (!record)
        return false;
    m_storedType = record->type;
    showValues(*record);
    return true;
}

void CStationView::clearFields()
{
    m_storedType = 0;
    CompanyRecord empty;
    // A company added for another form is of that form's kind until the user says otherwise.
    empty.type = CompanyCallers::kindOf(m_caller);
    showValues(empty);
}

bool CStationView::validateFields()
{
    std::optional<CompanyRecord::Problem> problem;
    try {
        problem = values().problem(app().database(), isNewRecord() ? 0 : currentKey(), m_storedType);
    } catch (const CdbException& error) {
        showError(error.description());
        return false;
    }
    if (!problem)
        return true;
    return rejectField(problem->message, problem->field == CompanyRecord::Field::Type
                                             ? static_cast<QWidget*>(m_type)
                                             : m_contact.companyName);
}

qint32 CStationView::writeRecord(qint32 key)
{
    return values().save(app().database(), key);
}

bool CStationView::removeRecord(qint32 key)
{
    Prompter& prompter = app().prompter();
    if (!prompter.yesNoDefaultNo(Messages::DeleteCompanyQuestion))
        return false;
    Database& db = app().database();
    if (const std::optional<QString> refusal = CompanyRecord::deleteRefusal(db, key)) {
        prompter.message(*refusal, Prompter::Icon::Exclamation);
        return false;
    }
    CompanyRecord::remove(db, key);
    return true;
}

void CStationView::enter(int a, int b)
{
    Q_UNUSED(b);
    m_caller = CompanyCallers::isCallerCode(a) ? a : NoCaller;
    const QString name = m_caller != NoCaller ? app().takeCompanyToOpen() : QString();
    showCallerButtons();
    try {
        if (!m_entered) {
            m_entered = true;
            CRecordForm::enter(0, 0);
        } else if (m_caller == NoCaller && !hasUnsavedChanges()) {
            fillSelector(0);
            loadSelected();
        }
        if (m_caller != NoCaller)
            openForCaller(name);
    } catch (const CdbException& error) {
        showError(error.description());
    }
}

void CStationView::showCallerButtons()
{
    const bool called = m_caller != NoCaller;
    homeButton()->setText(called ? QStringLiteral("&Return") : QStringLiteral("Home"));
    homeButton()->setObjectName(called ? QStringLiteral("returnButton") : QStringLiteral("homeButton"));
    homeButton()->setToolTip(
        called ? QStringLiteral("Save the company and take it back to the form it came from") : QString());
    m_cancelButton->setVisible(called);
}

void CStationView::openForCaller(const QString& name)
{
    qint32 key = 0;
    if (!name.isEmpty()) {
        for (const ListEntry& entry : selectorEntries())
            if (entry.text.compare(name, Qt::CaseInsensitive) == 0) {
                key = entry.key;
                break;
            }
    }
    fillSelector(key);
    if (key != 0) {
        loadSelected();
        return;
    }
    startNewRecord();
    // The name is the user's typing carried over: the company is to be saved unless the user cancels.
    if (!name.isEmpty())
        m_contact.companyName->setText(name);
}

void CStationView::commandHome()
{
    if (m_caller != NoCaller)
        returnToCaller();
    else
        CRecordForm::commandHome();
}

void CStationView::returnToCaller()
{
    if (hasUnsavedChanges() && !save(SaveKind::Plain))
        return;
    const qint32 key = isNewRecord() ? 0 : currentKey();
    Q_EMIT switchFormRequested(callerForm(m_caller), CompanyForm, key);
}

void CStationView::cancelToCaller()
{
    if (m_caller == NoCaller)
        return;
    if (canReset())
        commandReset();
    Q_EMIT switchFormRequested(callerForm(m_caller), CompanyForm, 0);
}
