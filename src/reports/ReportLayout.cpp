#include "reports/ReportLayout.h"

#include "db/Database.h"
#include "db/Values.h"

#include <QSqlQuery>
#include <algorithm>

namespace Report {

void Block::text(double lineCount, const QString& line, double x, Font font)
{
    lines(lineCount);
    textAt(x, height, line, font);
}

void Block::textAt(double x, double y, const QString& line, Font font)
{
    Op op;
    op.x = x;
    op.y = y;
    op.font = font;
    op.text = line;
    ops.push_back(std::move(op));
}

void Block::line(double x1, double y1, double x2, double y2, const Pen& pen)
{
    Op op;
    op.kind = Op::Line;
    op.x = x1;
    op.y = y1;
    op.width = x2 - x1;
    op.height = y2 - y1;
    op.pen = pen;
    ops.push_back(std::move(op));
}

void Block::rect(double x, double y, double width, double height, std::optional<Pen> pen, std::optional<Rgb> fill)
{
    Op op;
    op.kind = Op::Rect;
    op.x = x;
    op.y = y;
    op.width = width;
    op.height = height;
    op.pen = pen;
    op.fill = fill;
    ops.push_back(std::move(op));
}

void Block::lines(double count)
{
    height += count * lineHeight(Font::Body);
    need = std::max(need, height);
}

Fleet loadFleet(Database& db, const Options& options)
{
    Fleet fleet;
    QString ownerSql = QStringLiteral(
        "SELECT Owners.OwnerID, CompanyName, LocationID, LastName, FirstName, Address1, Address2, City, State, "
        "ZipCode, Phone, Fax FROM Owners LEFT JOIN ContactInfo ON Owners.ContactID = ContactInfo.ContactID");
    if (options.vehicleId != 0)
        ownerSql += QStringLiteral(" WHERE Owners.OwnerID IN (SELECT OwnerID FROM Vehicles WHERE VehicleID = ?)");
    else if (options.ownerId != 0)
        ownerSql += QStringLiteral(" WHERE Owners.OwnerID = ?");
    ownerSql += QStringLiteral(" ORDER BY CompanyName, Owners.OwnerID");
    QSqlQuery owners = db.prepare(ownerSql);
    if (options.vehicleId != 0 || options.ownerId != 0)
        owners.addBindValue(options.vehicleId != 0 ? options.vehicleId : options.ownerId);
    db.exec(owners);
    QHash<qint32, int> ownerIndex;
    while (owners.next()) {
        Owner owner;
        owner.ownerId = owners.value(0).toInt();
        QString* fields[] = {&owner.companyName, &owner.locationId, &owner.lastName, &owner.firstName,
                             &owner.address1,    &owner.address2,   &owner.city,     &owner.state,
                             &owner.zipCode,     &owner.phone,      &owner.fax};
        for (int i = 0; i < 11; ++i)
            *fields[i] = owners.value(i + 1).toString();
        owner.companyName = Values::toShownQuotes(owner.companyName);
        if (ownerIndex.contains(owner.ownerId))
            continue;
        ownerIndex.insert(owner.ownerId, int(fleet.owners.size()));
        fleet.owners.push_back(std::move(owner));
    }

    QString vehicleSql = QStringLiteral(
        "SELECT VehicleID, OwnerID, VehicleNo, VehicleYear, VehicleMake, VehicleModel, VehicleVIN, VehicleLicense, "
        "EntryOfActualMiles, Measurement, HoursInd FROM Vehicles");
    if (options.vehicleId != 0)
        vehicleSql += QStringLiteral(" WHERE VehicleID = ?");
    else if (options.ownerId != 0)
        vehicleSql += QStringLiteral(" WHERE OwnerID = ?");
    vehicleSql += QStringLiteral(" ORDER BY VehicleNo, VehicleYear, VehicleMake, VehicleModel, VehicleID");
    QSqlQuery vehicles = db.prepare(vehicleSql);
    if (options.vehicleId != 0 || options.ownerId != 0)
        vehicles.addBindValue(options.vehicleId != 0 ? options.vehicleId : options.ownerId);
    db.exec(vehicles);
    std::vector<std::vector<Vehicle>> byOwner(fleet.owners.size());
    while (vehicles.next()) {
        const auto owner = ownerIndex.constFind(vehicles.value(1).toInt());
        if (owner == ownerIndex.constEnd())
            continue;
        Vehicle vehicle;
        vehicle.vehicleId = vehicles.value(0).toInt();
        vehicle.owner = *owner;
        vehicle.number = vehicles.value(2).toString();
        vehicle.year = vehicles.value(3).toString();
        vehicle.make = vehicles.value(4).toString();
        vehicle.model = vehicles.value(5).toString();
        vehicle.vin = vehicles.value(6).toString();
        vehicle.license = vehicles.value(7).toString();
        vehicle.reading = vehicles.value(8).toLongLong();
        vehicle.measurement = vehicles.value(9).toInt();
        vehicle.hours = vehicles.value(10).toInt();
        byOwner[size_t(*owner)].push_back(std::move(vehicle));
    }
    for (auto& list : byOwner)
        for (Vehicle& vehicle : list)
            fleet.vehicles.push_back(std::move(vehicle));
    return fleet;
}

VehicleCondition vehicleCondition(const Options& options, const QString& column)
{
    if (options.vehicleId != 0)
        return {column + QStringLiteral(" = ?"), {options.vehicleId}};
    if (options.ownerId != 0)
        return {column + QStringLiteral(" IN (SELECT VehicleID FROM Vehicles WHERE OwnerID = ?)"), {options.ownerId}};
    return {};
}

} // namespace Report
