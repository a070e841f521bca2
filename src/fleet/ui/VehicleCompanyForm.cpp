#include "fleet/ui/VehicleCompanyForm.h"

#include "context/AppContext.h"
#include "context/Enums.h"
#include "db/DbException.h"
#include "fleet/ContactOperations.h"
#include "fleet/VehicleList.h"
#include "fleet/ui/ContactInfoDialog.h"
#include "forms/DateField.h"
#include "forms/FormHost.h"
#include "forms/FormMessages.h"
#include "forms/ReadOnlyLook.h"
#include "forms/TypedCompany.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

CVehicleCompanyForm::CVehicleCompanyForm(CAppContext& app, CVelDoc& doc, int formNumber, FormTitles titles,
                                         const QString& companyLabel, const QString& companyObjectName,
                                         int callerCode, QWidget* parent)
    : CRecordForm(app, doc, formNumber, std::move(titles), parent)
{
    setSelectorLabel(QStringLiteral("Vehicle"), QStringLiteral("vehicleSelector"));
    setUpdateHints(GeneralHint, VehiclesHint);
    if (auto* newButton = findChild<QPushButton*>(QStringLiteral("newButton")))
        newButton->setEnabled(false);

    m_companyBox = new QComboBox(this);
    m_companyBox->setObjectName(companyObjectName);
    m_companyBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_companyBox->setMinimumContentsLength(34);
    m_company = makeCompanyBox(*m_companyBox, callerCode);
    addField(companyLabel, m_companyBox, 0, 0, 2);
    connect(m_company, &CTypedCompany::companyChanged, this, &CVehicleCompanyForm::showContact);

    auto* contactBox = new QGroupBox(QStringLiteral("Contact Information"), this);
    contactBox->setObjectName(QStringLiteral("contactInformation"));
    auto* contactGrid = new QGridLayout(contactBox);
    const auto readOnlyField = [contactBox](const QString& objectName) {
        auto* field = new QLineEdit(contactBox);
        field->setObjectName(objectName);
        field->setFocusPolicy(Qt::ClickFocus);
        showAsReadOnly(field, true);
        return field;
    };
    m_agentName = readOnlyField(QStringLiteral("agentName"));
    m_phone = readOnlyField(QStringLiteral("phone"));
    m_editContact = new QPushButton(QStringLiteral("E&dit Contact"), contactBox);
    m_editContact->setObjectName(QStringLiteral("editContactButton"));
    m_editContact->setToolTip(QStringLiteral("Open the company in the company list, or add it there"));
    m_moreContact = new QPushButton(QStringLiteral("More &Contact Information"), contactBox);
    m_moreContact->setObjectName(QStringLiteral("moreContactButton"));
    m_moreContact->setToolTip(QStringLiteral("Show the company's address, telephone numbers and comments"));
    // Enter on a focused button presses it, as Space does.
    m_editContact->setAutoDefault(true);
    m_moreContact->setAutoDefault(true);
    contactGrid->addWidget(new QLabel(QStringLiteral("Agent Name"), contactBox), 0, 0);
    contactGrid->addWidget(m_agentName, 0, 1);
    contactGrid->addWidget(new QLabel(QStringLiteral("Phone"), contactBox), 0, 2);
    contactGrid->addWidget(m_phone, 0, 3);
    contactGrid->addWidget(m_editContact, 0, 4);
    contactGrid->addWidget(m_moreContact, 0, 5);
    contactGrid->setColumnStretch(1, 3);
    contactGrid->setColumnStretch(3, 2);
    fieldGrid()->addWidget(contactBox, 1, 0, 1, 4);

    connect(m_editContact, &QPushButton::clicked, m_company, &CTypedCompany::openCompanyForm);
    connect(m_moreContact, &QPushButton::clicked, this, &CVehicleCompanyForm::showContactInformation);
}

int CVehicleCompanyForm::offered(int formNumber) const
{
    // The frame answers a form it does not have with an error, so a button leading there stays off.
    const CFormHost* frame = CFormHost::of(this);
    return frame && frame->hasForm(formNumber) ? formNumber : NoForm;
}

QList<ListEntry> CVehicleCompanyForm::selectorEntries()
{
    QList<ListEntry> entries;
    for (const VehicleList::Item& item : VehicleList::items(app().database(), app().vehicleColumns()))
        entries.append({item.text, item.vehicleId});
    return entries;
}

qint32 CVehicleCompanyForm::initialKey()
{
    return app().currentVehicle();
}

QWidget* CVehicleCompanyForm::firstField() const
{
    return m_companyBox;
}

void CVehicleCompanyForm::recordMissing(qint32 key)
{
    Q_UNUSED(key);
    startNewRecord();
}

QString CVehicleCompanyForm::missingParentMessage()
{
    const QString vehicle = QString::number(currentKey());
    const bool onFile = currentKey() == 0 ||
                        !app()
                             .database()
                             .scalar(QStringLiteral("SELECT 1 FROM Vehicles WHERE VehicleID = ") + vehicle)
                             .isNull();
    return onFile ? QString() : FormMessages::VehicleDeleted;
}

void CVehicleCompanyForm::modeChanged(Mode mode)
{
    Q_UNUSED(mode);
    // The selector picks the vehicle, never a row: it stays available for a vehicle without one.
    selector()->setEnabled(true);
}

void CVehicleCompanyForm::extendContextMenu(QMenu& menu)
{
    for (QAction* action : menu.actions())
        if (action->text() == QLatin1String("New"))
            action->setEnabled(false);
}

void CVehicleCompanyForm::showAgain(int, int)
{
    // The vehicle may have been changed on another form.
    fillSelector(app().currentVehicle());
    loadSelected();
}

void CVehicleCompanyForm::onDocumentUpdate(int hint)
{
    CRecordForm::onDocumentUpdate(hint);
    // An empty new record stands for the vehicle it was opened for; if that vehicle has gone, follow the
    // selector rather than keep a record that would be saved for a vehicle no longer on file.
    if (isNewRecord() && !hasUnsavedChanges() && selectedKey() != currentKey()) {
        try {
            loadSelected();
        } catch (const CdbException& error) {
            showError(error.description());
        }
    }
}

qint32 CVehicleCompanyForm::companyKey() const
{
    return m_company->companyKey();
}

void CVehicleCompanyForm::showCompany(qint32 contactId)
{
    m_company->show(contactId);
}

void CVehicleCompanyForm::showContact(qint32 contactId)
{
    std::optional<ContactDetails> details;
    if (contactId > 0) {
        try {
            details = ContactOperations::contactDetails(app().database(), contactId);
        } catch (const CdbException& error) {
            showError(error.description());
        }
    }
    m_agentName->setText(details ? details->agentName : QString());
    m_phone->setText(details ? details->phone : QString());
    m_moreContact->setEnabled(details.has_value());
}

void CVehicleCompanyForm::showContactInformation()
{
    try {
        const std::optional<ContactDetails> details =
            ContactOperations::contactDetails(app().database(), m_company->companyKey());
        if (!details)
            return;
        CContactInfoDialog dialog(*details, this);
        dialog.exec();
    } catch (const CdbException& error) {
        showError(error.description());
    }
}

QLineEdit* CVehicleCompanyForm::addDateField(const QString& label, const QString& objectName, int row,
                                             int column)
{
    auto* field = new CDateField(this);
    field->setObjectName(objectName);
    addField(label, field, row, column);
    return field;
}
