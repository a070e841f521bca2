#include "db/sets/ServiceDescSet.h"

CServiceDescSet::CServiceDescSet(Database& db) : RecordSet(db)
{
    bindLong("[ServiceID]", &m_ServiceID);
    bindText("[ServiceDesc]", &m_ServiceDesc);
    bindLong("[ServiceTypeID]", &m_ServiceTypeID);
}

QString CServiceDescSet::defaultSource() const
{
    return QStringLiteral("[Services]");
}

void CServiceDescSet::insertDefaultRows()
{
    static const struct
    {
        const char* description;
        qint32 type;
    } defaults[] = {
        {"Oil/Filter Change", 1},
        {"Gas/Filter Change", 1},
        {"Spark Plugs Replaced", 1},
        {"Ignition Cables Replaced", 1},
        {"Air Filter Replaced", 1},
        {"PCV Valve", 1},
        {"Belt Check", 2},
        {"Engine Coolant Flush/Replaced", 1},
        {"Fluid Levels Check", 2},
        {"Tire Rotation", 1},
        {"Exhaust System Inspection", 2},
        {"General Lubrication", 1},
        {"Wash/Clean Vehicle", 3},
        {"Brake Inspection", 2},
        {"Lighting Check", 2},
        {"Wiper Replacement", 1},
        {"Wax and Polish", 3},
        {"A/C Refrigerant Check", 2},
        {"Transmission Fluid/Filter Change", 1},
    };
    for (const auto& service : defaults) {
        const qint32 id = nextIdentifier();
        addNew();
        m_ServiceID = id;
        m_ServiceDesc = QString::fromLatin1(service.description);
        m_ServiceTypeID = service.type;
        update();
    }
}
