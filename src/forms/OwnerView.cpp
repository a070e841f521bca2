#include "forms/OwnerView.h"

#include "app/Enums.h"
#include "app/ui/VelApp.h"
#include "db/ContactOperations.h"
#include "db/Messages.h"
#include "db/OwnerRecord.h"
#include "db/Prompter.h"
#include "db/RecordDeletion.h"

#include <QLineEdit>
#include <QPlainTextEdit>

COwnerView::COwnerView(CVelApp& app, CVelDoc& doc, QWidget* parent)
    : CRecordForm(app, doc, OwnerForm,
                  {QStringLiteral("Browse Owner"), QStringLiteral("Edit Owner"), QStringLiteral("New Owner")},
                  parent)
{
    setSelectorLabel(QStringLiteral("Owner"), QStringLiteral("ownerSelector"));
    setNavigation(NoForm, VehicleForm);
    setUpdateHints(OwnersHint, OwnersHint);

    m_companyName = addLineField(QStringLiteral("Company Name"), QStringLiteral("companyName"), 50, 0, 0, 2);
    m_locationId = addLineField(QStringLiteral("Location/Store ID"), QStringLiteral("locationId"), 35, 1, 0);
    m_firstName = addLineField(QStringLiteral("First Name"), QStringLiteral("firstName"), 35, 2, 0);
    m_lastName = addLineField(QStringLiteral("Last Name"), QStringLiteral("lastName"), 35, 2, 1);
    m_address1 = addLineField(QStringLiteral("Address"), QStringLiteral("address1"), 35, 3, 0, 2);
    m_address2 = addLineField(QString(), QStringLiteral("address2"), 35, 4, 0, 2);
    m_city = addLineField(QStringLiteral("City"), QStringLiteral("city"), 35, 5, 0);
    m_state = addLineField(QStringLiteral("State"), QStringLiteral("state"), 35, 5, 1);
    m_zipCode = addLineField(QStringLiteral("Postal Code"), QStringLiteral("postalCode"), 10, 6, 0);
    m_phone = addLineField(QStringLiteral("Phone"), QStringLiteral("phone"), 30, 7, 0);
    m_altPhone = addLineField(QStringLiteral("Alt. Phone"), QStringLiteral("altPhone"), 30, 7, 1);
    m_fax = addLineField(QStringLiteral("Fax"), QStringLiteral("fax"), 30, 8, 0);
    m_mobile = addLineField(QStringLiteral("Mobile"), QStringLiteral("mobile"), 30, 8, 1);
    m_email = addLineField(QStringLiteral("Email"), QStringLiteral("email"), 50, 9, 0);
    m_webAddress = addLineField(QStringLiteral("Web Site Address"), QStringLiteral("webAddress"), 50, 9, 1);
    m_comments = addMemoField(QStringLiteral("Comments"), QStringLiteral("comments"), 10, 0);
}

QList<ListEntry> COwnerView::selectorEntries()
{
    return ContactOperations::ownerListEntries(app().database());
}

QWidget* COwnerView::firstField() const
{
    return m_companyName;
}

OwnerRecord COwnerView::values() const
{
    OwnerRecord record;
    record.companyName = m_companyName->text();
    record.locationId = m_locationId->text();
    record.firstName = m_firstName->text();
    record.lastName = m_lastName->text();
    record.address1 = m_address1->text();
    record.address2 = m_address2->text();
    record.city = m_city->text();
    record.state = m_state->text();
    record.zipCode = m_zipCode->text();
    record.phone = m_phone->text();
    record.altPhone = m_altPhone->text();
    record.fax = m_fax->text();
    record.mobile = m_mobile->text();
    record.email = m_email->text();
    record.webAddress = m_webAddress->text();
    record.comments = m_comments->toPlainText();
    return record;
}

void COwnerView::showValues(const OwnerRecord& record)
{
    m_companyName->setText(record.companyName);
    m_locationId->setText(record.locationId);
    m_firstName->setText(record.firstName);
    m_lastName->setText(record.lastName);
    m_address1->setText(record.address1);
    m_address2->setText(record.address2);
    m_city->setText(record.city);
    m_state->setText(record.state);
    m_zipCode->setText(record.zipCode);
    m_phone->setText(record.phone);
    m_altPhone->setText(record.altPhone);
    m_fax->setText(record.fax);
    m_mobile->setText(record.mobile);
    m_email->setText(record.email);
    m_webAddress->setText(record.webAddress);
    m_comments->setPlainText(record.comments);
}

bool COwnerView::loadRecord(qint32 key)
{
    const std::optional<OwnerRecord> record = OwnerRecord::load(app().database(), key);
    if (!record)
        return false;
    showValues(*record);
    return true;
}

void COwnerView::clearFields()
{
    showValues(OwnerRecord());
}

bool COwnerView::validateFields()
{
    const std::optional<OwnerRecord::Problem> problem = values().problem();
    if (!problem)
        return true;
    return rejectField(problem->message,
                       problem->field == OwnerRecord::Field::FirstName ? m_firstName : m_companyName);
}

qint32 COwnerView::writeRecord(qint32 key)
{
    return values().save(app().database(), key);
}

bool COwnerView::removeRecord(qint32 key)
{
    Prompter& prompter = app().prompter();
    if (!prompter.yesNo(Messages::DeleteOwnerQuestion))
        return false;
    Database& db = app().database();
    if (RecordDeletion::ownerHasVehicles(db, key) && !prompter.yesNo(Messages::OwnerVehiclesDeleteQuestion))
        return false;
    // Vehicle selectors elsewhere must drop the owner's vehicles as well.
    if (RecordDeletion::deleteOwner(db, key) > 0)
        alsoNotify(VehiclesHint);
    return true;
}
