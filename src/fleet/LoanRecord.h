#pragma once

#include <QString>
#include <optional>

class Database;

// The loan of one vehicle as the loan form shows it: numbers and the date are kept as the user sees and
// types them ("$1200.00", "5.25%", "mm/dd/yyyy") and read only when saved.
struct LoanRecord
{
    qint32 companyId = 0;
    QString accountNumber;
    QString originatingDate;
    QString length = QStringLiteral("0");
    QString amount;
    QString paymentAmount;
    QString interestRate;
    QString comments;

    // An empty loan: no company, every number 0, no date.
    LoanRecord();

    enum class Field { OriginatingDate, Length, Amount, PaymentAmount, InterestRate };
    struct Problem
    {
        QString message;
        Field field;
    };
    // Runs the checks in the order the user is told about them and returns the first failure. A valid
    // date is rewritten in its normal form ("1/2/1999" becomes "01/02/1999").
    std::optional<Problem> check();

    // The vehicle's loan, or nothing when the vehicle has none.
    static std::optional<LoanRecord> load(Database& db, qint32 vehicleId);
    // Writes the vehicle's loan row, adding it when there is none. The values must have passed check().
    // Throws CdbException.
    void save(Database& db, qint32 vehicleId) const;
    static void remove(Database& db, qint32 vehicleId);
};
