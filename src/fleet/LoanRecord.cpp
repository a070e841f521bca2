#include "fleet/LoanRecord.h"

#include "db/Database.h"
#include "db/DbException.h"
#include "db/Messages.h"
#include "db/Values.h"
#include "db/sets/LoanSet.h"

namespace {

constexpr qint32 LongestLoanMonths = 360;
constexpr double AmountLimit = 1000000.0;
constexpr double RateLimit = 100.0;

bool openLoan(CLoanSet& loans, qint32 vehicleId)
{
    loans.m_strFilter = QStringLiteral("VehicleID = ") + QString::number(vehicleId);
    loans.open();
    return !loans.isEOF();
}

} // namespace

LoanRecord::LoanRecord()
    : amount(Values::formatMoney(0.0)), paymentAmount(Values::formatMoney(0.0)),
      interestRate(Values::formatRate(0.0))
{
}

std::optional<LoanRecord::Problem> LoanRecord::check()
{
    if (!originatingDate.isEmpty()) {
        const QString normal = Values::normaliseDate(originatingDate);
        if (normal.isEmpty())
            return Problem{Messages::DateInvalid, Field::OriginatingDate};
        originatingDate = normal;
    }
    if (Values::parseWholeNumber(length) > LongestLoanMonths)
        return Problem{Messages::LoanLengthOutOfRange, Field::Length};
    if (Values::parseAmount(amount) >= AmountLimit)
        return Problem{Messages::LoanAmountOutOfRange, Field::Amount};
    if (Values::parseAmount(paymentAmount) >= AmountLimit)
        return Problem{Messages::PaymentAmountOutOfRange, Field::PaymentAmount};
    if (Values::parsePercentage(interestRate) >= RateLimit)
        return Problem{Messages::InterestRateOutOfRange, Field::InterestRate};
    return std::nullopt;
}

std::optional<LoanRecord> LoanRecord::load(Database& db, qint32 vehicleId)
{
    CLoanSet loans(db);
    if (!openLoan(loans, vehicleId))
        return std::nullopt;
    LoanRecord record;
    record.companyId = loans.m_ContactID;
    record.accountNumber = loans.m_AcctNo;
    record.originatingDate = Values::toShownDate(loans.m_OriginatingDate);
    record.length = QString::number(loans.m_Length);
    record.amount = Values::withThousands(Values::formatMoney(loans.m_Amount));
    record.paymentAmount = Values::withThousands(Values::formatMoney(loans.m_PaymentAmount));
    record.interestRate = Values::formatRate(loans.m_InterestRate);
    record.comments = loans.m_Memo;
    return record;
}

void LoanRecord::save(Database& db, qint32 vehicleId) const
{
    if (vehicleId <= 0)
        throw CdbException(CdbException::NoCurrentRecord, QStringLiteral("No current record."));
    Transaction transaction(db);
    CLoanSet loans(db);
    if (openLoan(loans, vehicleId))
        loans.edit();
    else
        loans.addNew();
    loans.m_VehicleID = vehicleId;
    loans.m_Memo = comments;
    loans.m_AcctNo = accountNumber;
    loans.m_OriginatingDate = Values::toStoredDate(originatingDate);
    loans.m_Length = Values::parseWholeNumber(length);
    loans.m_Amount = Values::parseAmount(amount);
    loans.m_PaymentAmount = Values::parseAmount(paymentAmount);
    loans.m_InterestRate = Values::parsePercentage(interestRate);
    loans.m_ContactID = companyId;
    loans.update();
    transaction.commit();
}

void LoanRecord::remove(Database& db, qint32 vehicleId)
{
    db.execute(QStringLiteral("DELETE FROM Loan WHERE VehicleID = ") + QString::number(vehicleId));
}
