#pragma once

#include <QString>

// The program's message texts, once each; numbered ones carry their number.
namespace Messages {

inline const QString CouldNotCreateDatabase = QStringLiteral("Couldn't create database");
inline const QString CanNotOpenNewDatabase = QStringLiteral("Can not open new database.");
inline const QString CanNotOpenExistingDatabase = QStringLiteral("Can not open existing database.");
inline const QString CanNotUpgradeToNewVersion = QStringLiteral("Can not upgrade database to new version.");
inline const QString CanNotUpgrade = QStringLiteral("Can not upgrade database.");
inline const QString CouldNotCreateBackupFile =
    QStringLiteral("Couldn't create backup file.  Make sure you have enough disk space and try again.");
inline const QString CouldNotOpenDatabase = QStringLiteral("Couldn't Open Database.");

// 61536
inline const QString MeasurementQuestion = QStringLiteral(
    "You now get to decided which type of measurement you wish to use.  Do you wish your vehicles to use the US "
    "Measurement System?  If you select No, the Metric System will be used instead.  You can always change "
    "measurement type by vehicle from the vehicle screen.");

inline const QString CouldNotImport = QStringLiteral("Couldn't import the data of the previous version.");

// Start-up, backup, restore and maintenance.
// 61453
inline const QString SelectImportFile = QStringLiteral("Please select the file you would like to import... ");
// 61496
inline const QString BackupFailed = QStringLiteral("The backup failed.");
// 61497
inline const QString RestoreFailed = QStringLiteral("The restore failed.");
// 61498
inline const QString BackupSucceeded = QStringLiteral("Your data has been backed up successfully.");
// 61499
inline const QString RestoreSucceeded = QStringLiteral("Your data has been restored successfully.");
// 61500
inline const QString MaintenanceSucceeded =
    QStringLiteral("Maintenance has been successfully performed on your data");
// 61501
inline const QString MaintenanceQuestion = QStringLiteral(
    "Running maintenance on the database will cause any unsaved data to be lost, and it's recommended to backup "
    "your data before performing this operation.  Do you want to continue?");
inline const QString DataFileRejected =
    QStringLiteral("%1 is not a Velmora data file or it is damaged, so it was not used.\n\n%2");
inline const QString BackupOntoDataFile = QStringLiteral(
    "A backup can not be written over the data file in use.  Please choose another file name or folder.");
inline const QString RestoreFromDataFile =
    QStringLiteral("That file is the data file in use, so there is nothing to restore from it.");
inline const QString ReplaceDataFileQuestion = QStringLiteral(
    "%1 already exists.  Do you want to replace it with a new, empty data file?  Everything it holds will be lost.");
inline const QString TemporaryFileInTheWay =
    QStringLiteral("%1 is in the way.  Please move or rename that file and try again.");
inline const QString DataLeftAsItWas = QStringLiteral("Your data has been left as it was.");

// Main frame: form switching and the option commands.
inline const QString NoFormSelected = QStringLiteral("Error: No form Selected!! ???????");
// 61450
inline const QString OwnerRequired = QStringLiteral(
    "You must enter an owner before performing that operation.  Would you like to do this now?");
// 61451
inline const QString VehicleRequired = QStringLiteral(
    "You must enter a vehicle before performing that operation.  Would you like to do this now?");
// 61495 (the accepted range is 1 to 30)
inline const QString DaysAheadOutOfRange = QStringLiteral("Number of days must be between 1 and 30.");
// 61521
inline const QString ReminderNoLongerLoaded =
    QStringLiteral("The Schedule Reminder will no longer be loaded when the computer is booted.  However, it will "
                   "continue to run until it is manually closed or the computer is rebooted.");
inline const QString ReminderNotRegistered =
    QStringLiteral("The Schedule Reminder could not be set to load when you log on: %1 could not be written.");
inline const QString ReminderNotRemoved =
    QStringLiteral("The Schedule Reminder could not be kept from loading when you log on: %1 could not be removed.");
inline const QString ProgramHelp =
    QStringLiteral("Velmora keeps the maintenance records of your vehicles: owners, vehicles, schedules, "
                   "maintenance, fuel and job orders.\n\nStart from the home page or the Go menu and choose the "
                   "records you want to work with.");

// Record forms: unsaved changes, owners.
// 61446
inline const QString ApplyChangesQuestion = QStringLiteral("Do you want to apply the changes before continuing?");
// A save that would move a record to another vehicle is refused.
inline const QString RecordOfAnotherVehicle =
    QStringLiteral("This record belongs to another vehicle, so the changes were not saved.");
// 61447
inline const QString CompanyOrLastNameRequired = QStringLiteral("You must fill in either Company Name or Last Name.");
// 61472
inline const QString DeleteOwnerQuestion = QStringLiteral("Do you want to delete the current owner?");
// 61515
inline const QString CompanyNameRequiredForLocation =
    QStringLiteral("Company Name is required when Location ID is specified.");
// 61516
inline const QString BothPersonNamesRequired =
    QStringLiteral("If a persons name is specified, both Last and First name are required.");
// 61519
inline const QString OwnerVehiclesDeleteQuestion =
    QStringLiteral("A vehicle is tied to this owner.  Deleting this owner will remove the relating vehicles, "
                   "including schedule, loan, and insurance information.  Do you want to continue?");

// Readings typed for a vehicle (vehicle form and the home screen's quick update).
// 61460
inline const QString ReadingOutOfRange = QStringLiteral("%1 must be numeric and between 0 and 1,000,000.");
// 61503
inline const QString ReadingBelowPurchase =
    QStringLiteral("The %1 on the vehicle can not be less then the %2 on the vehicle when purchased.");

// Vehicle form, its purchase information and duplication.
// 61448
inline const QString YearRequired = QStringLiteral("You must fill in the Year, and it must be greater then 1900.");
// 61459
inline const QString PerMonthOutOfRange = QStringLiteral("%1 must be numeric and between 0 and 100,000.");
// 61492
inline const QString ReadingBelowMaintenance =
    QStringLiteral("The %1 can not be less then any actual maintenance entered.");
// 61454
inline const QString DateFieldInvalid =
    QStringLiteral("%1 is not a valid date.  Must be mm/dd/yyyy (ex. 12/31/1998).");
// 61490
inline const QString FutureDate = QStringLiteral("You can not use a date in the future.");
// 61456
inline const QString DateInvalid =
    QStringLiteral("The Date is invalid.  The format must be mm/dd/yyyy (ex. 12/31/1998).");
// 61481
inline const QString VehicleCostOutOfRange =
    QStringLiteral("Cost of vehicle must be numeric and between $0 and $1,000,000.");
// 61480 reads as ReadingOutOfRange (61460), with the short reading name.
// 61502
inline const QString PurchaseReadingAboveCurrent = QStringLiteral(
    "The %1 Reading at purchase can not be greater then the current %2 Reading on the vehicle.");
// 61471
inline const QString CancelDuplicationQuestion =
    QStringLiteral("Do you want to cancel the duplication of this vehicle?");
// 61474
inline const QString DeleteVehicleQuestion =
    QStringLiteral("Do you want to delete the current vehicle?  Note:  All Schedule, Loan, Insurance, Job Orders, "
                   "Maintenance, and Gas Log information will be lost.");
// The note after saving a reading dated before today: %1 the date's label, %2 the reading's label.
inline const QString ReadingEstimatedNote =
    QStringLiteral("The %1 is not today.  System is estimating the %2 on the vehicle as of today.");

// Companies, the new-company rule, loans and insurance.
// 61449
inline const QString CompanyNameRequired = QStringLiteral("You must fill in the Company Name.");
inline const QString CompanyTypeRequired = QStringLiteral("You must choose the Company Type.");
// 61518
inline const QString CompanyNameInUse =
    QStringLiteral("The company name is already being used.  Please enter a unique company name.");
// 61509
inline const QString StationTypeInUse = QStringLiteral(
    "You can not change the type of this Company.  It is already being used as a Service Station.");
// 61510
inline const QString LoanCompanyTypeInUse = QStringLiteral(
    "You can not change the type of this Company.  It is already being used as a Loan Company.");
// 61511
inline const QString InsuranceCompanyTypeInUse = QStringLiteral(
    "You can not change the type of this Company.  It is already being used as an Insurance Company.");
// 61482
inline const QString DeleteCompanyQuestion = QStringLiteral("Do you want to delete the current service station?");
// 61483
inline const QString CompanyUsedByMaintenance = QStringLiteral(
    "Unable to delete the current company because it is assigned to a maintenance or schedule record.");
// 61520
inline const QString CompanyUsedByLoan =
    QStringLiteral("Unable to delete the current company because it is currently assigned to a Loan Record.");
// 61512
inline const QString CompanyUsedByInsurance = QStringLiteral(
    "Unable to delete the current company because it is currently assigned to an Insurance Record..");
// 61455
inline const QString NewCompanyQuestion =
    QStringLiteral("This company is new.  Would you like to enter detailed information at this time?");
// 61465
inline const QString LoanLengthOutOfRange = QStringLiteral("Length of Loan must be numeric and between 0 and 360.");
// 61466
inline const QString LoanAmountOutOfRange =
    QStringLiteral("Amount of Loan must be numeric and between $0 and $1,000,000.");
// 61468
inline const QString PaymentAmountOutOfRange =
    QStringLiteral("Payment Amount must be numeric and between 0 and 1,000,000.");
// 61467
inline const QString InterestRateOutOfRange =
    QStringLiteral("Interest Rate must be numeric and between 0 and 100.00%.");
// 61476
inline const QString DeleteLoanQuestion = QStringLiteral("Do you want to delete the loan information?");
// 61469
inline const QString DeductibleOutOfRange =
    QStringLiteral("Deductible must be numeric and between 0 and 1,000,000.");
// 61488
inline const QString CoverageEndBeforeStart =
    QStringLiteral("The Coverage End Date must be greater than the Coverage Start Date.");
// 61477
inline const QString DeleteInsuranceQuestion = QStringLiteral("Do you want to delete the insurance information?");

} // namespace Messages
