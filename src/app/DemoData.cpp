#include "app/DemoData.h"

#include "context/Enums.h"
#include "db/Clock.h"
#include "db/Database.h"
#include "db/Values.h"
#include "db/sets/ContactInfoSet.h"
#include "db/sets/OwnerSet.h"
#include "db/sets/VehicleSet.h"
#include "fleet/CompanyRecord.h"
#include "fleet/ContactKind.h"
#include "fleet/InsuranceRecord.h"
#include "fleet/LoanRecord.h"
#include "maintenance/MaintenanceDemo.h"
#include "fuel/FuelDemo.h"
#include "scheduling/ScheduleDemo.h"

#include <iterator>

namespace DemoData {

namespace {

struct Contact
{
    const char* company;
    const char* firstName;
    const char* lastName;
    const char* address1;
    const char* address2;
    const char* city;
    const char* state;
    const char* zipCode;
    const char* phone;
    const char* altPhone;
    const char* fax;
    const char* email;
};

struct Owner
{
    const char* locationId;
    Contact contact;
};

struct Vehicle
{
    int owner; // index into the owners
    const char* year;
    const char* make;
    const char* model;
    const char* vin;
    const char* license;
    const char* number;
    qint32 reading;
    int readingDaysAgo;
    qint32 perMonth;
    qint16 measurement;
    qint16 hours;
    bool active;
    int purchasedDaysAgo;
    double price;
    qint32 purchaseReading;
    const char* seller;
};

const Owner owners[] = {
    {"Depot 3",
     {"Harbourline Deliveries Ltd", "Maria", "Okafor", "1450 Wharf Road", "Suite 200", "Portland", "OR",
      "97209", "(503) 555-0142", "(503) 555-0150", "(503) 555-0143", "fleet@harbourline.example"}},
    {"",
     {"", "Daniel", "Reyes", "88 Maple Avenue", "", "Springfield", "IL", "62704", "(217) 555-0178",
      "(217) 555-0199", "", "d.reyes@example.net"}},
};

const Vehicle vehicles[] = {
    {0, "2019", "Ford", "Transit 250", "1FTYR2CM5KKA10231", "HBL1021", "Van 12", 61250, 21, 2400, 0, 0, true,
     1900, 38950.0, 12, "Rose City Commercial Trucks"},
    {0, "2020", "Ford", "Transit 250", "1FTYR2CM1LKA20877", "HBL1044", "Van 14", 47310, 9, 2250, 0, 0, true,
     1500, 41200.0, 8, "Rose City Commercial Trucks"},
    {0, "2021", "Isuzu", "NPR-HD", "54DC4W1B7MS800312", "HBL2007", "Truck 4", 38400, 14, 1800, 0, 0, true,
     1100, 62500.0, 25, "Columbia Truck Centre"},
    {0, "2017", "Toyota", "Prius", "JTDKARFU4H3530918", "HBL0310", "Car 2", 128300, 30, 2500, 1, 0, true,
     2600, 24100.0, 15, "Westside Toyota"},
    {0, "2015", "Toyota", "8FGCU25 Forklift", "", "", "Lift 1", 6120, 40, 90, 0, 1, true, 3300, 21800.0, 0,
     "Pacific Lift Equipment"},
    {1, "2012", "Honda", "Civic", "19XFB2F58CE301447", "RXY 448", "", 148200, 30, 1000, 0, 0, true, 4200,
     17450.0, 21, "Springfield Honda"},
    {1, "1972", "Volkswagen", "Beetle", "1122334455", "VW 1972", "", 88040, 120, 150, 0, 0, false, 9000,
     4300.0, 71500, "Private sale"},
};

struct Company
{
    int kind;
    const char* name;
    const char* firstName;
    const char* lastName;
    const char* address1;
    const char* city;
    const char* state;
    const char* zipCode;
    const char* phone;
    const char* fax;
    const char* email;
    const char* webAddress;
    const char* comments;
};

const Company companies[] = {
    {ServiceStationContact, "Bridgeport Fleet Service", "Tom", "Lindqvist", "2210 NW Front Avenue",
     "Portland", "OR", "97209", "(503) 555-0187", "(503) 555-0188", "service@bridgeportfleet.example",
     "www.bridgeportfleet.example", "Opens 6:30 for fleet drop-offs. Ask for Tom."},
    {ServiceStationContact, "Maple Avenue Auto Care", "Grace", "Whitfield", "412 Maple Avenue", "Springfield",
     "IL", "62704", "(217) 555-0123", "", "grace@mapleautocare.example", "", ""},
    {LoanCompanyContact, "Cascade Commercial Credit", "Priya", "Natarajan", "900 SW Fifth Avenue", "Portland",
     "OR", "97204", "(503) 555-0160", "(503) 555-0161", "loans@cascadecredit.example",
     "www.cascadecredit.example", ""},
    {InsuranceCompanyContact, "Pinecrest Mutual Insurance", "Owen", "Brady", "75 Lakeview Drive", "Salem",
     "OR", "97301", "(971) 555-0134", "", "claims@pinecrestmutual.example", "www.pinecrestmutual.example",
     "Claims line is open around the clock."},
};

QString text(const char* value)
{
    return QString::fromUtf8(value);
}

QString shownDaysAgo(int days)
{
    return Values::toShownDate(Clock::today().addDays(-days).toString(QStringLiteral("yyyyMMdd")));
}

QString storedDaysAgo(int days)
{
    return Clock::today().addDays(-days).toString(QStringLiteral("yyyyMMdd"));
}

void addContact(CContactInfoSet& contacts, qint32 id, qint16 type, const Contact& contact)
{
    contacts.addNew();
    contacts.m_ContactID = id;
    contacts.m_ContactType = type;
    contacts.m_CompanyName = text(contact.company);
    contacts.m_FirstName = text(contact.firstName);
    contacts.m_LastName = text(contact.lastName);
    contacts.m_Address1 = text(contact.address1);
    contacts.m_Address2 = text(contact.address2);
    contacts.m_City = text(contact.city);
    contacts.m_State = text(contact.state);
    contacts.m_ZipCode = text(contact.zipCode);
    contacts.m_Phone = text(contact.phone);
    contacts.m_AltPhone = text(contact.altPhone);
    contacts.m_Fax = text(contact.fax);
    contacts.m_Email = text(contact.email);
    contacts.update();
}

} // namespace

void fill(Database& db)
{
    Transaction transaction(db);
    CContactInfoSet contacts(db);
    COwnerSet ownerSet(db);
    CVehicleSet vehicleSet(db);
    qint32 contactId = contacts.nextIdentifier();
    qint32 ownerId = ownerSet.nextIdentifier();
    qint32 vehicleId = vehicleSet.nextIdentifier();

    QList<qint32> ownerIds;
    for (const Owner& owner : owners) {
        addContact(contacts, contactId, OwnerContact, owner.contact);
        ownerSet.addNew();
        ownerSet.m_OwnerID = ownerId;
        ownerSet.m_ContactID = contactId++;
        ownerSet.m_LocationID = text(owner.locationId);
        ownerSet.update();
        ownerIds << ownerId++;
    }

    for (const Vehicle& vehicle : vehicles) {
        // The seller's row carries no contact kind, as the vehicle form writes it.
        Contact seller{};
        seller.company = vehicle.seller;
        addContact(contacts, contactId, 0, seller);

        vehicleSet.addNew();
        vehicleSet.m_VehicleID = vehicleId++;
        vehicleSet.m_OwnerID = ownerIds[vehicle.owner];
        vehicleSet.m_ContactID = contactId++;
        vehicleSet.m_VehicleYear = text(vehicle.year);
        vehicleSet.m_VehicleMake = text(vehicle.make);
        vehicleSet.m_VehicleModel = text(vehicle.model);
        vehicleSet.m_VehicleVIN = text(vehicle.vin);
        vehicleSet.m_VehicleLicense = text(vehicle.license);
        vehicleSet.m_VehicleNo = text(vehicle.number);
        vehicleSet.m_EntryOfActualMiles = vehicle.reading;
        vehicleSet.m_DateOfActualMiles = storedDaysAgo(vehicle.readingDaysAgo);
        vehicleSet.m_DateOfEstimatedMiles = vehicleSet.m_DateOfActualMiles;
        vehicleSet.m_EstMilesPerMonth = vehicle.perMonth;
        vehicleSet.m_Measurement = vehicle.measurement;
        vehicleSet.m_HoursInd = vehicle.hours;
        vehicleSet.m_ActiveInd = vehicle.active;
        vehicleSet.m_PurchaseDate = storedDaysAgo(vehicle.purchasedDaysAgo);
        vehicleSet.m_PurchaseAmount = vehicle.price;
        vehicleSet.m_PurchaseMileage = vehicle.purchaseReading;
        vehicleSet.update();
    }

    QList<qint32> companyIds;
    for (const Company& company : companies) {
        CompanyRecord record;
        record.type = company.kind;
        record.companyName = text(company.name);
        record.firstName = text(company.firstName);
        record.lastName = text(company.lastName);
        record.address1 = text(company.address1);
        record.city = text(company.city);
        record.state = text(company.state);
        record.zipCode = text(company.zipCode);
        record.phone = text(company.phone);
        record.fax = text(company.fax);
        record.email = text(company.email);
        record.webAddress = text(company.webAddress);
        record.comments = text(company.comments);
        companyIds << record.save(db, 0);
    }

    // The first van is financed and insured.
    const qint32 firstVehicle = vehicleId - qint32(std::size(vehicles));
    LoanRecord loan;
    loan.companyId = companyIds[2];
    loan.accountNumber = QStringLiteral("CCC-2019-04418");
    loan.originatingDate = shownDaysAgo(vehicles[0].purchasedDaysAgo);
    loan.length = QStringLiteral("72");
    loan.amount = QStringLiteral("32000.00");
    loan.paymentAmount = QStringLiteral("498.75");
    loan.interestRate = QStringLiteral("4.35");
    loan.comments = QStringLiteral("Payments drawn on the 1st of each month.");
    loan.save(db, firstVehicle);

    InsuranceRecord insurance;
    insurance.companyId = companyIds[3];
    insurance.policyNumber = QStringLiteral("PM-FL-778120");
    insurance.deductible = QStringLiteral("500.00");
    insurance.paymentAmount = QStringLiteral("1240.00");
    insurance.coverageStart = shownDaysAgo(120);
    insurance.coverageEnd = shownDaysAgo(120 - 364);
    insurance.comments = QStringLiteral("Fleet policy; covers the van's racking and tools.");
    insurance.save(db, firstVehicle);
    FuelDemo::fill(db);

    MaintenanceDemo::fill(db);
    ScheduleDemo::fill(db);
    transaction.commit();
}

} // namespace DemoData
