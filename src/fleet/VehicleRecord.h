#pragma once

#include "fleet/ContactFields.h"

#include <QString>
#include <functional>
#include <optional>

class Database;

// The words the vehicle form shows for a vehicle's unit. The form has its own short unit table
// ("Hours", "Miles", "KM"); the reading label carries "(Est.) " while the reading is an estimate.
struct VehicleLabels
{
    QString reading;     // "Odometer Reading", "(Est.) Hour Meter Reading"
    QString perMonth;    // "Estimated Miles Per Month"
    QString actualDate;  // "Actual KM Last Entered"
    QString readingName; // "Odometer" or "Hour Meter", for messages and the purchase dialog

    static VehicleLabels of(int measurement, bool hours, bool estimated);
};

// The seller of a vehicle: a ContactInfo row without a contact kind. The company name is kept as typed.
struct SellerContact : ContactFields
{
    bool operator==(const SellerContact&) const = default;
};

// What the Vehicle Purchase Information dialog edits.
struct PurchaseInfo
{
    SellerContact seller;
    QString memo;
    QString date; // stored "YYYYMMDD", or "" for no date
    double amount = 0.0;
    qint32 reading = 0;

    bool operator==(const PurchaseInfo&) const = default;
};

// The rows a duplicated vehicle takes over from its source when it is first saved.
struct DuplicateCopies
{
    qint32 sourceVehicleId = 0;
    bool schedule = false;
    bool loan = false;
    bool insurance = false;
};

// One vehicle as the vehicle form edits it: the Vehicles row with its seller contact.
struct VehicleRecord
{
    qint32 ownerId = 0;
    QString year;
    QString make;
    QString model;
    QString number;
    QString vin;
    QString license;
    qint32 perMonth = 0;
    qint32 reading = 0;
    QString actualDate;    // stored; the date of the last actual reading
    QString estimatedDate; // stored; the reading has been brought forward up to this date
    QString comments;
    int measurement = 0; // 0 US, 1 metric
    bool hours = false;
    bool active = true;
    PurchaseInfo purchase;

    // The reading shown is an estimate made since the last actual reading.
    bool isEstimated() const { return actualDate != estimatedDate; }

    // A new vehicle: empty texts, readings 0, today as the reading and purchase date, US units, active.
    static VehicleRecord newVehicle();

    // The vehicle with this key, or nothing. A missing seller row loads as an empty seller.
    static std::optional<VehicleRecord> load(Database& db, qint32 vehicleId);

    struct Saved
    {
        qint32 vehicleId = 0;
        // The reading was brought forward from the date entered (the rate, reading or date changed).
        bool reestimated = false;
        // The stored reading is an estimate (the reading's date is before today).
        bool estimated = false;
    };

    // Writes the vehicle and its seller contact, all or nothing; vehicleId 0 adds a new vehicle with a new
    // seller row and, when copies names a source, that source's schedule, loan and insurance rows as chosen.
    // The reading is brought forward to today when it, its date or the rate differ from the stored row.
    // Throws CdbException.
    Saved save(Database& db, qint32 vehicleId, const DuplicateCopies& copies = {}) const;
};

// The vehicle form's fields as typed, for the checks made before a save.
struct VehicleEntry
{
    QString year;
    QString perMonth;
    QString reading;
    QString actualDate;
    qint32 purchaseReading = 0;
    VehicleLabels labels;
};

namespace VehicleChecks {

enum class Field { Year, PerMonth, Reading, ActualDate };
struct Problem
{
    QString message;
    Field field;
};

// The first failed check, in the order the user is told about them. The reading-date check normalises
// entry.actualDate when the date is valid. hasMaintenanceAbove(reading) tells whether a maintenance entry
// of the vehicle carries a higher reading; pass none for a vehicle not yet saved.
std::optional<Problem> firstProblem(VehicleEntry& entry,
                                    const std::function<bool(qint32)>& hasMaintenanceAbove = {});

// Whether any maintenance entry of the vehicle has an actual reading above this one.
bool maintenanceAbove(Database& db, qint32 vehicleId, qint32 reading);

// The purchase dialog's values as typed.
struct PurchaseEntry
{
    QString date;
    QString amount;
    QString reading;
};
enum class PurchaseField { Date, Amount, Reading };
struct PurchaseProblem
{
    QString message;
    PurchaseField field;
};

// The first failed check of the purchase dialog; normalises entry.date when it is valid. currentReading
// is the reading on the vehicle form (0: not known yet, no upper limit).
std::optional<PurchaseProblem> firstPurchaseProblem(PurchaseEntry& entry, const QString& readingName,
                                                    qint32 currentReading);

} // namespace VehicleChecks
