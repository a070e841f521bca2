#pragma once

class Database;

// A small sample fleet for trying the program: a delivery company with a few vans, a truck, a car kept in
// kilometres and a forklift kept in hours, and a private owner with a daily car and a classic laid up for
// the winter; the service stations, loan company and insurance company they deal with, and the loan and
// insurance of the first van.
namespace DemoData {

// Adds the sample owners, vehicles and companies to a new database, all or nothing. Readings are dated some
// days before today so that the start-up estimate moves them forward.
void fill(Database& db);

} // namespace DemoData
