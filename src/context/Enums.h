#pragma once

// Numbers the program's logic keeps: forms are known by their form numbers, views are told why they
// update by a hint.
enum FormNumber : int {
    NoForm = 0,
    HomeForm = 101,
    OwnerForm = 102,
    VehicleForm = 103,
    InsuranceForm = 104,
    LoanForm = 105,
    ScheduleForm = 106,
    MaintenanceForm = 139,
    GasForm = 140,
    PictureHomeForm = 141,
    ScheduleMonitorForm = 143,
    CompanyForm = 146,
    ReportForm = 154,
    JobOrderForm = 243,
};

enum UpdateHint : int {
    GeneralHint = 0,
    OwnersHint = 1,
    VehiclesHint = 2,
    CompanyAddedHint = 3,
    ServiceListHint = 4,
    DaysAheadHint = 5,
    DataRestoredHint = 100,
};

