#pragma once

#include <QString>

// Data files of the older versions and of the previous generation, for upgrade, import and fault tests.
enum class OldShape { V20, V22, V23WithoutVehicleFields, V23 };

// The older shapes: without the job-order tables and fields, with the old MaintServices key; 2.0 and 2.2
// without the vehicles' measurement fields; 2.0 also without VerInd and PerformEveryDay and with the old
// fuel fields (one of them indexed). Two vehicles, a schedule entry, a maintenance entry with two services.
void buildOldFile(const QString& path, OldShape shape, bool withVehicles = true);

// A previous-generation file with the given number of cars (an owner for every third car, each owner's
// cars named alike), two maintenance entries per car, three stations and a schedule for each car.
void buildPreviousGeneration(const QString& path, int cars);
