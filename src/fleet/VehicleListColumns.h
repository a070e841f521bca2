#pragma once

#include "fleet/VehicleList.h"

class QSqlQuery;

// For queries that list vehicles in their own way and show them as the vehicle list does: the select list
// of a VehicleList::Entry (Vehicles and Owners must be in the FROM clause, followed by ownerJoins()), and
// the Entry read from the columns starting at first.
namespace VehicleList {

QString entryColumns();
constexpr int EntryColumnCount = 11;
QString ownerJoins();
Entry readEntry(const QSqlQuery& query, int first);

} // namespace VehicleList
