#pragma once

#include <QString>

class CContactInfoSet;

// The fields of a ContactInfo row that owners, companies, sellers and the contact dialog share. Comments
// are left out: owners keep theirs in the Owners row and sellers have none.
struct ContactFields
{
    QString companyName;
    QString firstName;
    QString lastName;
    QString address1;
    QString address2;
    QString city;
    QString state;
    QString zipCode;
    QString phone;
    QString altPhone;
    QString fax;
    QString mobile;
    QString email;
    QString webAddress;

    bool operator==(const ContactFields&) const = default;

    // Owners and companies store the company name's apostrophes as backquotes; sellers keep it as typed.
    enum class CompanyQuotes { AsTyped, Backquoted };

    void loadFrom(const CContactInfoSet& contacts, CompanyQuotes quotes);
    void storeTo(CContactInfoSet& contacts, CompanyQuotes quotes) const;
};
