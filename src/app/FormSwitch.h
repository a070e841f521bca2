#pragma once

class Database;
class Prompter;

// The decisions the frame takes before it shows a form: which forms need an owner or a vehicle first,
// and where the user's answer to that question leads.
namespace FormSwitch {

// Forms that make no sense without an owner on file.
bool needsOwner(int formNumber);
// Forms that make no sense without a vehicle on file (the vehicle form itself only needs an owner).
bool needsVehicle(int formNumber);

// The form to show instead of formNumber: the owner form or the vehicle form when the user agrees to
// enter the missing record first, NoForm when the user declines. Throws CdbException when the tables
// cannot be read.
int resolvePrerequisites(int formNumber, Database& db, Prompter& prompter);

} // namespace FormSwitch
