#include "fleet/VehicleRecord.h"

#include "db/Database.h"
#include "db/DbException.h"
#include "db/Messages.h"
#include "db/Values.h"
#include "db/sets/ContactInfoSet.h"
#include "db/sets/VehicleSet.h"
#include "fleet/ContactKind.h"
#include "fleet/ContactOperations.h"
#include "fleet/ReadingEstimate.h"

#include <QSqlQuery>
#include <QStringList>

namespace {

constexpr qint32 PerMonthLimit = 100000;
constexpr qint32 ReadingLimit = 1000000;
constexpr double PriceLimit = 1000000.0;
constexpr qint32 LowestYear = 1900;

QString vehicleUnitWord(int measurement, bool hours)
{
    if (hours)
        return QStringLiteral("Hours");
    return measurement != 0 ? QStringLiteral("KM") : QStringLiteral("Miles");
}

bool openVehicle(CVehicleSet& vehicles, qint32 vehicleId)
{
    vehicles.m_strFilter = QStringLiteral("VehicleID = ") + QString::number(vehicleId);
    vehicles.open();
    return !vehicles.isEOF();
}

// Owners and companies share ContactInfo with sellers; a vehicle pointing at one of theirs must not
// overwrite it with the seller's name.
bool isSellerRow(const CContactInfoSet& contacts)
{
    return contacts.m_ContactType < OwnerContact || contacts.m_ContactType > ServiceStationContact;
}

// Copies the source vehicle's rows of a table to the new vehicle in one statement. With a key field the
// copies get new keys following the table's highest.
void copyVehicleRows(Database& db, const QString& table, qint32 sourceId, qint32 targetId,
                     const QString& keyField = QString())
{
    const QStringList columns = db.columnsOf(table);
    QStringList selected;
    for (const QString& column : columns) {
        if (column == QLatin1String("vehicleid"))
            selected << QStringLiteral(":target");
        else if (!keyField.isEmpty() && column == keyField.toLower())
            selected << QStringLiteral(":base + row_number() OVER (ORDER BY %1)").arg(keyField);
        else
            selected << column;
    }
    QSqlQuery query =
        db.prepare(QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %1 WHERE VehicleID = :source")
                       .arg(table, columns.join(QStringLiteral(", ")), selected.join(QStringLiteral(", "))));
    query.bindValue(QStringLiteral(":target"), targetId);
    query.bindValue(QStringLiteral(":source"), sourceId);
    if (!keyField.isEmpty())
        query.bindValue(
            QStringLiteral(":base"),
            db.scalar(QStringLiteral("SELECT IFNULL(MAX(%1), 0) FROM %2").arg(keyField, table)).toLongLong());
    db.exec(query);
}

} // namespace

VehicleLabels VehicleLabels::of(int measurement, bool hours, bool estimated)
{
    const QString unit = vehicleUnitWord(measurement, hours);
    VehicleLabels labels;
    labels.readingName = Values::readingName(measurement, hours ? 1 : 0);
    labels.reading =
        (estimated ? QStringLiteral("(Est.) ") : QString()) + Values::readingLabel(measurement, hours);
    labels.perMonth = QStringLiteral("Estimated ") + unit + QStringLiteral(" Per Month");
    labels.actualDate = QStringLiteral("Actual ") + unit + QStringLiteral(" Last Entered");
    return labels;
}

VehicleRecord VehicleRecord::newVehicle()
{
    VehicleRecord record;
    record.actualDate = Values::todayStored();
    record.estimatedDate = record.actualDate;
    record.purchase.date = record.actualDate;
    return record;
}

std::optional<VehicleRecord> VehicleRecord::load(Database& db, qint32 vehicleId)
{
    CVehicleSet vehicles(db);
    if (!openVehicle(vehicles, vehicleId))
        return std::nullopt;
    VehicleRecord record;
    record.ownerId = vehicles.m_OwnerID;
    record.year = vehicles.m_VehicleYear;
    record.make = vehicles.m_VehicleMake;
    record.model = vehicles.m_VehicleModel;
    record.number = vehicles.m_VehicleNo;
    record.vin = vehicles.m_VehicleVIN;
    record.license = vehicles.m_VehicleLicense;
    record.perMonth = vehicles.m_EstMilesPerMonth;
    record.reading = vehicles.m_EntryOfActualMiles;
    record.actualDate = vehicles.m_DateOfActualMiles;
    record.estimatedDate = vehicles.m_DateOfEstimatedMiles;
    record.comments = vehicles.m_Memo;
    record.measurement = vehicles.m_Measurement;
    record.hours = vehicles.m_HoursInd != 0;
    record.active = vehicles.m_ActiveInd;
    record.purchase.memo = vehicles.m_PurchaseMemo;
    record.purchase.date = vehicles.m_PurchaseDate;
    record.purchase.amount = vehicles.m_PurchaseAmount;
    record.purchase.reading = vehicles.m_PurchaseMileage;
    if (vehicles.m_ContactID != 0) {
        CContactInfoSet contacts(db);
        if (ContactOperations::findContact(contacts, vehicles.m_ContactID) && isSellerRow(contacts))
            record.purchase.seller.loadFrom(contacts, ContactFields::CompanyQuotes::AsTyped);
    }
    return record;
}

VehicleRecord::Saved VehicleRecord::save(Database& db, qint32 vehicleId, const DuplicateCopies& copies) const
{
    Transaction transaction(db);
    CVehicleSet vehicles(db);
    Saved saved;
    // The reading on screen is as of the date the stored reading was brought forward to. Unless the user
    // changed the reading or its date, the estimate goes on from there: starting it again from the date
    // of the actual reading would count those days twice.
    QString estimateFrom = actualDate;
    qint32 sellerId = 0;
    if (vehicleId > 0) {
        if (!openVehicle(vehicles, vehicleId))
            throw CdbException(CdbException::NoCurrentRecord, QStringLiteral("No current record."));
        const bool sameReading =
            vehicles.m_EntryOfActualMiles == reading && vehicles.m_DateOfActualMiles == actualDate;
        saved.reestimated = !(sameReading && vehicles.m_EstMilesPerMonth == perMonth);
        if (sameReading)
            estimateFrom = vehicles.m_DateOfEstimatedMiles;
        sellerId = vehicles.m_ContactID;
        vehicles.edit();
    } else {
        saved.reestimated = true;
        if (copies.sourceVehicleId > 0) {
            CVehicleSet source(db);
            if (openVehicle(source, copies.sourceVehicleId) && source.m_EntryOfActualMiles == reading &&
                source.m_DateOfActualMiles == actualDate)
                estimateFrom = source.m_DateOfEstimatedMiles;
        }
        vehicleId = vehicles.nextIdentifier();
        vehicles.addNew();
        vehicles.m_VehicleID = vehicleId;
    }

    vehicles.m_VehicleYear = year;
    vehicles.m_VehicleMake = make;
    vehicles.m_VehicleModel = model;
    vehicles.m_VehicleNo = number;
    vehicles.m_VehicleVIN = vin;
    vehicles.m_VehicleLicense = license;
    vehicles.m_EstMilesPerMonth = perMonth;
    vehicles.m_EntryOfActualMiles = reading;
    vehicles.m_DateOfActualMiles = actualDate;
    vehicles.m_DateOfEstimatedMiles = estimateFrom;
    // Whether the vehicle is estimated at all is decided by what is saved now.
    vehicles.m_ActiveInd = active;
    if (saved.reestimated)
        ReadingEstimate::bringForward(vehicles);
    vehicles.m_Memo = comments;
    vehicles.m_OwnerID = ownerId;
    vehicles.m_PurchaseAmount = purchase.amount;
    vehicles.m_PurchaseDate = purchase.date;
    vehicles.m_PurchaseMemo = purchase.memo;
    vehicles.m_PurchaseMileage = purchase.reading;
    vehicles.m_Measurement = qint16(measurement);
    vehicles.m_HoursInd = hours ? 1 : 0;
    saved.estimated = vehicles.m_DateOfActualMiles != vehicles.m_DateOfEstimatedMiles;

    CContactInfoSet contacts(db);
    if (sellerId != 0 && ContactOperations::findContact(contacts, sellerId) && isSellerRow(contacts)) {
        contacts.edit();
    } else {
        sellerId = contacts.nextIdentifier();
        contacts.addNew();
        contacts.m_ContactID = sellerId;
    }
    purchase.seller.storeTo(contacts, ContactFields::CompanyQuotes::AsTyped);
    contacts.update();
    vehicles.m_ContactID = sellerId;
    vehicles.update();

    if (copies.sourceVehicleId > 0 && copies.sourceVehicleId != vehicleId) {
        if (copies.schedule)
            copyVehicleRows(db, QStringLiteral("Schedule"), copies.sourceVehicleId, vehicleId,
                            QStringLiteral("ScheduleID"));
        if (copies.loan)
            copyVehicleRows(db, QStringLiteral("Loan"), copies.sourceVehicleId, vehicleId);
        if (copies.insurance)
            copyVehicleRows(db, QStringLiteral("Insurance"), copies.sourceVehicleId, vehicleId);
    }

    transaction.commit();
    saved.vehicleId = vehicleId;
    return saved;
}

namespace VehicleChecks {

std::optional<Problem> firstProblem(VehicleEntry& entry,
                                    const std::function<bool(qint32)>& hasMaintenanceAbove)
{
    const VehicleLabels& labels = entry.labels;
    const qint32 year = Values::parseWholeNumber(entry.year);
    if (year == Values::ParseError || year <= LowestYear)
        return Problem{Messages::YearRequired, Field::Year};
    if (Values::parseWholeNumber(entry.perMonth) >= PerMonthLimit)
        return Problem{Values::fieldMessage(Messages::PerMonthOutOfRange, labels.perMonth), Field::PerMonth};
    const qint32 reading = Values::parseWholeNumber(entry.reading);
    if (reading >= ReadingLimit)
        return Problem{Values::fieldMessage(Messages::ReadingOutOfRange, labels.reading), Field::Reading};
    if (reading < entry.purchaseReading)
        return Problem{Messages::ReadingBelowPurchase.arg(labels.reading, labels.readingName),
                       Field::Reading};
    if (hasMaintenanceAbove && hasMaintenanceAbove(reading))
        return Problem{Values::fieldMessage(Messages::ReadingBelowMaintenance, labels.reading),
                       Field::Reading};
    const QString date = Values::normaliseDate(entry.actualDate);
    if (date.isEmpty())
        return Problem{Values::fieldMessage(Messages::DateFieldInvalid, labels.actualDate),
                       Field::ActualDate};
    entry.actualDate = date;
    if (Values::compareDates(date, Values::todayShown()) > 0)
        return Problem{Messages::FutureDate, Field::ActualDate};
    return std::nullopt;
}

bool maintenanceAbove(Database& db, qint32 vehicleId, qint32 reading)
{
    return !db.scalar(QStringLiteral(
                          "SELECT 1 FROM Maintenance WHERE VehicleID = %1 AND ActualMiles > %2 LIMIT 1")
                          .arg(vehicleId)
                          .arg(reading))
                .isNull();
}

std::optional<PurchaseProblem> firstPurchaseProblem(PurchaseEntry& entry, const QString& readingName,
                                                    qint32 currentReading)
{
    if (!entry.date.isEmpty()) {
        const QString date = Values::normaliseDate(entry.date);
        if (date.isEmpty())
            return PurchaseProblem{Messages::DateInvalid, PurchaseField::Date};
        entry.date = date;
        if (Values::compareDates(date, Values::todayShown()) > 0)
            return PurchaseProblem{Messages::FutureDate, PurchaseField::Date};
    }
    if (Values::parseAmount(entry.amount) >= PriceLimit)
        return PurchaseProblem{Messages::VehicleCostOutOfRange, PurchaseField::Amount};
    const qint32 reading = Values::parseWholeNumber(entry.reading);
    if (reading >= ReadingLimit)
        return PurchaseProblem{Values::fieldMessage(Messages::ReadingOutOfRange, readingName),
                               PurchaseField::Reading};
    if (currentReading != 0 && reading > currentReading)
        return PurchaseProblem{Messages::PurchaseReadingAboveCurrent.arg(readingName, readingName),
                               PurchaseField::Reading};
    return std::nullopt;
}

} // namespace VehicleChecks
