#pragma once

// Who a ContactInfo row stands for: owners and the three kinds of company share the table.
enum ContactKind : int {
    OwnerContact = 1,
    LoanCompanyContact = 2,
    InsuranceCompanyContact = 3,
    ServiceStationContact = 4,
};
