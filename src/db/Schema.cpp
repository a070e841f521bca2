#include "db/Schema.h"

#include "db/Database.h"

#include <stdexcept>

namespace Schema {

namespace {

Field L(const char* name) { return {QString::fromLatin1(name), FieldType::Long}; }
Field I(const char* name) { return {QString::fromLatin1(name), FieldType::Integer}; }
Field B(const char* name) { return {QString::fromLatin1(name), FieldType::Boolean}; }
Field D(const char* name) { return {QString::fromLatin1(name), FieldType::Double}; }
Field T(const char* name, int size) { return {QString::fromLatin1(name), FieldType::Text, size}; }
Field M(const char* name) { return {QString::fromLatin1(name), FieldType::Memo}; }

Index primaryKey(QStringList fields) { return {QStringLiteral("PrimaryKey"), std::move(fields), true, true}; }

std::vector<Table> buildTables()
{
    const QStringList vehicleKey{QStringLiteral("VehicleID")};
    return {
        {"ContactInfo",
         {L("ContactID"), I("ContactType"), T("CompanyName", 50), T("LastName", 35), T("FirstName", 35),
          T("Address1", 35), T("Address2", 35), T("City", 35), T("State", 35), T("ZipCode", 10), T("Phone", 30),
          T("AltPhone", 30), T("Fax", 30), T("Mobile", 30), T("Email", 50), T("WebAddress", 50), M("Memo")},
         {primaryKey({"ContactID"})}},
        {"Utilities", {T("TimeStamp", 8), T("VerInd", 10)}, {}},
        {"Drivers", {L("DriverID"), L("ContactID"), M("Memo")}, {primaryKey({"DriverID"})}},
        {"DriversLog",
         {L("DriversLogID"), L("VehicleID"), L("DriverID"), T("OutDate", 8), T("InDate", 8), L("OutMileage"),
          L("InMileage"), L("ReasonID"), M("Memo")},
         {primaryKey({"DriversLogID"})}},
        {"DriversLogReason", {L("ReasonID"), T("Reason", 50)}, {primaryKey({"ReasonID"})}},
        {"GasLog",
         {L("GasLogID"), L("VehicleID"), L("Mileage"), M("BriefDesc"), L("StationID"), T("Date", 8), D("TotalCost"),
          D("CostGallon"), D("Gallons"), I("Fillup"), I("Estimated")},
         {primaryKey({"GasLogID"})}},
        {"Insurance",
         {L("VehicleID"), L("ContactID"), T("PolicyNo", 35), D("Deductable"), T("DueDate", 8),
          T("CoverageStartDate", 8), T("CoverageEndDate", 8), D("PaymentAmt"), M("Memo")},
         {primaryKey(vehicleKey)}},
        {"InsCoverageTypes", {L("TypeID"), T("TypeName", 30)}, {primaryKey({"TypeID"})}},
        {"InsCoverage", {L("VehicleID"), L("TypeID"), D("Amount")}, {primaryKey(vehicleKey)}},
        // A new file's JobOrder key is neither primary nor unique; upgraded files get a unique one.
        {"JobOrder",
         {L("JobOrderID"), L("StationID"), L("VehicleID"), T("JCN", 20), T("Date", 8), T("Description", 50),
          B("OpenInd"), M("Memo")},
         {{QStringLiteral("PrimaryKey"), {QStringLiteral("JobOrderID")}, false, false}}},
        {"Loan",
         {L("VehicleID"), L("ContactID"), T("Payment", 50), T("AcctNo", 35), T("OriginatingDate", 8), L("Length"),
          D("Amount"), D("PaymentAmount"), D("InterestRate"), M("Memo")},
         {primaryKey(vehicleKey)}},
        {"Maintenance",
         {L("MaintID"), L("StationID"), L("VehicleID"), L("ActualMiles"), D("Tax"), D("TotalPrice"),
          T("MaintDate", 8), L("JobOrderID"), T("Description", 50), M("Memo")},
         {primaryKey({"MaintID", "VehicleID", "StationID"}),
          {QStringLiteral("MaintID"), {QStringLiteral("MaintID")}, false, false},
          {QStringLiteral("StationID"), {QStringLiteral("StationID")}, false, false}}},
        {"MaintServices",
         {L("MaintID"), I("LinkInd"), L("ServiceID"), L("VehicleID"), D("Price"), M("Warranty")},
         {primaryKey({"MaintID", "ServiceID", "LinkInd"})}},
        {"MaintServicesUnexpected",
         {L("UMaintID"), I("LinkInd"), L("VehicleID"), T("ServiceDesc", 50), D("Price"), M("Warranty")},
         {{QStringLiteral("PrimaryKey"), {QStringLiteral("UMaintID"), QStringLiteral("LinkInd")}, false, false}}},
        {"Owners", {L("OwnerID"), L("ContactID"), T("LocationID", 50), M("Memo")}, {primaryKey({"OwnerID"})}},
        {"Schedule",
         {L("ScheduleID"), L("VehicleID"), L("ServiceID"), T("Description", 50), L("StationID"), I("PerformOnce"),
          L("PerformEveryMiles"), L("PerformEveryMonth"), L("LastMiles"), T("LastDate", 8),
          T("EstPerformDate", 8), I("PerformEveryDay")},
         {primaryKey({"ScheduleID"})}},
        {"ScheduleTemplate",
         {L("ScheduleTemplateID"), L("ServiceID"), T("Description", 50), L("StationID"), I("PerformOnce"),
          L("PerformEveryMiles"), L("PerformEveryMonth"), I("PerformEveryDay")},
         {primaryKey({"ScheduleTemplateID", "ServiceID"})}},
        {"ScheduleTemplateNames", {L("ScheduleTemplateID"), T("TemplateName", 50)},
         {primaryKey({"ScheduleTemplateID"})}},
        {"ServiceStations", {L("StationID"), L("ContactID"), M("Memo")}, {primaryKey({"StationID"})}},
        {"Services", {L("ServiceID"), L("ServiceTypeID"), T("ServiceDesc", 50)},
         {primaryKey({"ServiceID"}), {QStringLiteral("ServiceDesc"), {QStringLiteral("ServiceDesc")}, false, false}}},
        {"ServiceTypes", {L("ServiceTypeID"), T("ServiceType", 30)},
         {primaryKey({"ServiceTypeID"}),
          {QStringLiteral("ServiceType"), {QStringLiteral("ServiceType")}, false, false}}},
        {"Vehicles",
         {L("VehicleID"), T("VehicleYear", 4), T("VehicleMake", 35), T("VehicleModel", 35), T("VehicleVIN", 20),
          T("VehicleLicense", 10), T("VehicleNo", 35), L("EstMilesPerMonth"), T("DateOfEstimatedMiles", 8),
          L("EntryOfActualMiles"), T("DateOfActualMiles", 8), L("LastScheduledMaint"), L("OwnerID"), M("Memo"),
          L("ContactID"), T("MngrLastName", 35), T("MngrFirstName", 35), M("PurchaseMemo"), T("PurchaseDate", 8),
          D("PurchaseAmount"), L("PurchaseMileage"), B("ActiveInd"), I("Measurement"), I("HoursInd")},
         {primaryKey(vehicleKey), {QStringLiteral("OwnerID"), {QStringLiteral("OwnerID")}, false, false}}},
    };
}

QString quoted(const QString& name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

} // namespace

const std::vector<Table>& tables()
{
    static const std::vector<Table> all = buildTables();
    return all;
}

const Table& table(const QString& name)
{
    for (const Table& t : tables())
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return t;
    throw std::out_of_range("unknown table");
}

QString columnDefinition(const Field& field)
{
    const QString name = quoted(field.name);
    switch (field.type) {
    case FieldType::Long:
    case FieldType::Integer:
    case FieldType::Boolean:
        return name + QStringLiteral(" INTEGER");
    case FieldType::Double:
        return name + QStringLiteral(" REAL");
    case FieldType::Text:
        return name + QStringLiteral(" TEXT COLLATE NOCASE CHECK(length(%1) <= %2)").arg(name).arg(field.size);
    case FieldType::Memo:
        return name + QStringLiteral(" TEXT COLLATE NOCASE");
    }
    return name;
}

QString createTableStatement(const Table& table)
{
    QStringList columns;
    for (const Field& field : table.fields)
        columns << columnDefinition(field);
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(table.name), columns.join(QStringLiteral(", ")));
}

QString indexName(const QString& table, const QString& index)
{
    return table + QLatin1Char('_') + index;
}

QString createIndexStatement(const QString& table, const Index& index)
{
    QStringList fields;
    for (const QString& field : index.fields)
        fields << quoted(field);
    return QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
        .arg(index.primary || index.unique ? QStringLiteral("UNIQUE ") : QString(),
             quoted(indexName(table, index.name)), quoted(table), fields.join(QStringLiteral(", ")));
}

QString addFieldStatement(const QString& table, const Field& field)
{
    return QStringLiteral("ALTER TABLE %1 ADD COLUMN %2").arg(quoted(table), columnDefinition(field));
}

void createTable(Database& db, const Table& table)
{
    db.execute(createTableStatement(table));
    for (const Index& index : table.indexes)
        db.execute(createIndexStatement(table.name, index));
}

} // namespace Schema
