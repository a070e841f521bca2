#pragma once

#include <QString>
#include <optional>

class Database;

// The insurance of one vehicle as the insurance form shows it: amounts and dates are kept as the user sees
// and types them ("$500.00", "mm/dd/yyyy") and read only when saved.
struct InsuranceRecord
{
    qint32 companyId = 0;
    QString policyNumber;
    QString deductible;
    QString paymentAmount;
    QString coverageStart;
    QString coverageEnd;
    QString comments;

    // Empty insurance: no company, amounts 0, no dates.
    InsuranceRecord();

    enum class Field { Deductible, PaymentAmount, CoverageStart, CoverageEnd };
    struct Problem
    {
        QString message;
        Field field;
    };
    // Runs the checks in the order the user is told about them and returns the first failure. Valid dates
    // are rewritten in their normal form.
    std::optional<Problem> check();

    // The vehicle's insurance, or nothing when the vehicle has none.
    static std::optional<InsuranceRecord> load(Database& db, qint32 vehicleId);
    // Writes the vehicle's insurance row, adding it when there is none. Throws CdbException.
    void save(Database& db, qint32 vehicleId) const;
    // Removes the vehicle's insurance with its coverage rows, all or nothing.
    static void remove(Database& db, qint32 vehicleId);
};
