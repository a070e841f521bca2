#pragma once

#include "maintenance/ServiceItems.h"

#include <QList>
#include <QString>

class Database;

// What a job order and a maintenance entry share: a vehicle's work at a service station with its
// services, and the way their rows are found, read and written.
struct ServiceWork
{
    qint32 stationId = 0;
    qint32 vehicleId = 0;
    QString description;
    QString memo;
    QString date; // stored "YYYYMMDD"
    QList<ServiceItem> services;

    // Opens the set on the row whose key field holds key; whether there is one.
    template <class Set> static bool find(Set& set, const QString& keyField, qint32 key)
    {
        set.m_strFilter = QStringLiteral("%1 = %2").arg(keyField).arg(key);
        set.open();
        return !set.isEOF();
    }

    // Takes the shared fields from the set's row (its date from the set's own date field) and the services
    // from their tables.
    template <class Set>
    void read(Database& db, const Set& set, const QString& storedDate, qint32 key, ServiceItems::Owner owner)
    {
        stationId = set.m_StationID;
        vehicleId = set.m_VehicleID;
        description = set.m_Description;
        memo = set.m_Memo;
        date = storedDate;
        services = ServiceItems::of(db, key, owner);
    }

    // Readies the row with this key for writing, or a new row when there is none (key 0, or gone meanwhile),
    // puts the shared fields into it and returns its key; the caller adds its own fields and updates.
    template <class Set>
    static qint32 write(Set& set, const QString& keyField, qint32 key, const ServiceWork& work)
    {
        if (key != 0 && find(set, keyField, key)) {
            set.edit();
        } else {
            if (!set.isOpen())
                find(set, keyField, 0);
            key = set.nextIdentifier();
            set.addNew();
        }
        set.m_StationID = work.stationId;
        set.m_VehicleID = work.vehicleId;
        set.m_Description = work.description;
        set.m_Memo = work.memo;
        return key;
    }
};
