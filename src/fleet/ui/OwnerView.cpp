#include "fleet/ui/OwnerView.h"

#include "context/Enums.h"
#include "context/AppContext.h"
#include "db/Messages.h"
#include "db/Prompter.h"
#include "fleet/ContactOperations.h"
#include "fleet/OwnerRecord.h"
#include "fleet/RecordDeletion.h"

#include <QLineEdit>
#include <QPlainTextEdit>

COwnerView::COwnerView(CAppContext& app, CVelDoc& doc, QWidget* parent)
    : CRecordForm(app, doc, OwnerForm,
                  {QStringLiteral("Browse Owner"), QStringLiteral("Edit Owner"), QStringLiteral("New Owner")},
                  parent)
{
    setSelectorLabel(QStringLiteral("Owner"), QStringLiteral("ownerSelector"));
    setNavigation(NoForm, VehicleForm);
    setUpdateHints(OwnersHint, OwnersHint);

    m_contact.addCompanyName(*this, 0);
    m_locationId = addLineField(QStringLiteral("Location/Store ID"), QStringLiteral("locationId"), 35, 1, 0);
    m_contact.addPersonAndAddress(*this);
}

QList<ListEntry> COwnerView::selectorEntries()
{
    return ContactOperations::ownerListEntries(app().database());
}

QWidget* COwnerView::firstField() const
{
    return m_contact.companyName;
}

OwnerRecord COwnerView::values() const
{
    OwnerRecord record;
    m_contact.read(record, record.comments);
    record.locationId = m_locationId->text();
    return record;
}

void COwnerView::showValues(const OwnerRecord& record)
{
    m_contact.show(record, record.comments);
    m_locationId->setText(record.locationId);
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
    return rejectField(problem->message, problem->field == OwnerRecord::Field::FirstName
                                             ? m_contact.firstName
                                             : m_contact.companyName);
}

qint32 COwnerView::writeRecord(qint32 key)
{
    return values().save(app().database(), key);
}

bool COwnerView::removeRecord(qint32 key)
{
    Prompter& prompter = app().prompter();
    if (!prompter.yesNoDefaultNo(Messages::DeleteOwnerQuestion))
        return false;
    Database& db = app().database();
    if (RecordDeletion::ownerHasVehicles(db, key) && !prompter.yesNoDefaultNo(Messages::OwnerVehiclesDeleteQuestion))
        return false;
    // Vehicle selectors elsewhere must drop the owner's vehicles as well.
    if (RecordDeletion::deleteOwner(db, key) > 0)
        alsoNotify(VehiclesHint);
    return true;
}
