#include "fleet/InsuranceRecord.h"

#include "db/Database.h"
#include "db/DbException.h"
#include "db/Messages.h"
#include "db/Values.h"
#include "db/sets/InsuranceSet.h"

namespace {

constexpr double AmountLimit = 1000000.0;

bool openInsurance(CInsuranceSet& insurance, qint32 vehicleId)
{
    insurance.m_strFilter = QStringLiteral("VehicleID = ") + QString::number(vehicleId);
    insurance.open();
    return !insurance.isEOF();
}

// Empty stays empty; anything else must be a date and is put in its normal form.
bool normaliseOptionalDate(QString& date)
{
    if (date.isEmpty())
        return true;
    const QString normal = Values::normaliseDate(date);
    if (normal.isEmpty())
        return false;
    date = normal;
    return true;
}

} // namespace

InsuranceRecord::InsuranceRecord()
    : deductible(Values::formatMoney(0.0)), paymentAmount(Values::formatMoney(0.0))
{
}

std::optional<InsuranceRecord::Problem> InsuranceRecord::check()
{
    if (Values::parseAmount(deductible) >= AmountLimit)
        return Problem{Messages::DeductibleOutOfRange, Field::Deductible};
    if (Values::parseAmount(paymentAmount) >= AmountLimit)
        return Problem{Messages::PaymentAmountOutOfRange, Field::PaymentAmount};
    if (!normaliseOptionalDate(coverageStart))
        return Problem{Messages::DateInvalid, Field::CoverageStart};
    if (!normaliseOptionalDate(coverageEnd))
        return Problem{Messages::DateInvalid, Field::CoverageEnd};
    if (!coverageStart.isEmpty() && !coverageEnd.isEmpty() &&
        Values::compareDates(coverageStart, coverageEnd) > 0)
        return Problem{Messages::CoverageEndBeforeStart, Field::CoverageEnd};
    return std::nullopt;
}

std::optional<InsuranceRecord> InsuranceRecord::load(Database& db, qint32 vehicleId)
{
    CInsuranceSet insurance(db);
    if (!openInsurance(insurance, vehicleId))
        return std::nullopt;
    InsuranceRecord record;
    record.companyId = insurance.m_ContactID;
    record.policyNumber = insurance.m_PolicyNo;
    record.deductible = Values::withThousands(Values::formatMoney(insurance.m_Deductable));
    record.paymentAmount = Values::withThousands(Values::formatMoney(insurance.m_PaymentAmt));
    record.coverageStart = Values::toShownDate(insurance.m_CoverageStartDate);
    record.coverageEnd = Values::toShownDate(insurance.m_CoverageEndDate);
    record.comments = insurance.m_Memo;
    return record;
}

void InsuranceRecord::save(Database& db, qint32 vehicleId) const
{
    if (vehicleId <= 0)
        throw CdbException(CdbException::NoCurrentRecord, QStringLiteral("No current record."));
    Transaction transaction(db);
    CInsuranceSet insurance(db);
    if (openInsurance(insurance, vehicleId))
        insurance.edit();
    else
        insurance.addNew();
    insurance.m_Memo = comments;
    insurance.m_PolicyNo = policyNumber;
    insurance.m_CoverageStartDate = Values::toStoredDate(coverageStart);
    insurance.m_CoverageEndDate = Values::toStoredDate(coverageEnd);
    insurance.m_VehicleID = vehicleId;
    insurance.m_Deductable = Values::parseAmount(deductible);
    insurance.m_PaymentAmt = Values::parseAmount(paymentAmount);
    insurance.m_ContactID = companyId;
    insurance.update();
    transaction.commit();
}

void InsuranceRecord::remove(Database& db, qint32 vehicleId)
{
    const QString id = QString::number(vehicleId);
    Transaction transaction(db);
    db.execute(QStringLiteral("DELETE FROM Insurance WHERE VehicleID = ") + id);
    db.execute(QStringLiteral("DELETE FROM InsCoverage WHERE VehicleID = ") + id);
    transaction.commit();
}
