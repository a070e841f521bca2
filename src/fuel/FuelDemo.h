#pragma once

class Database;

// A year of fill-ups for the sample fleet: a van kept in miles and gallons, a car kept in kilometres and
// liters, and a daily car that is often topped up with partial fills.
namespace FuelDemo {

// Adds the fill-ups to the sample vehicles (found by their VIN), inside the caller's transaction. The last
// fill-up of each vehicle is at its actual reading, earlier ones follow its use per month backwards.
void fill(Database& db);

} // namespace FuelDemo
