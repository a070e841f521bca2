#include "app/FleetGenerator.h"

#include "db/Clock.h"
#include "db/DataFile.h"
#include "db/Database.h"
#include "db/DatabaseCreation.h"
#include "db/DbException.h"
#include "db/Prompter.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <map>

namespace FleetGenerator {

namespace {

// Rows per vehicle, as a fleet manager's file looks after a few years of use.
constexpr int VehiclesPerOwner = 10;
constexpr int SchedulesPerVehicle = 20;
constexpr int MaintenancePerVehicle = 50;
constexpr int ServicesPerMaintenance = 3;
constexpr int JobOrdersPerVehicle = 5;
constexpr int FillUpsPerVehicle = 100;
constexpr int HistoryDays = 5 * 365;
constexpr double DaysPerMonth = 30.417;

const char* const firstNames[] = {"Maria", "Daniel", "Aisha", "Tom", "Grace", "Priya", "Owen", "Lena", "Marcus",
                                  "Sofia", "Hiro", "Nadia", "Peter", "Chloe", "Ravi", "Ingrid"};
const char* const lastNames[] = {"Okafor", "Reyes", "Lindqvist", "Whitfield", "Natarajan", "Brady", "Novak",
                                 "Fischer", "O`Neill", "Tanaka", "Haddad", "Moreau", "Kowalski", "Silva"};
const char* const companyWords[] = {"Harbourline", "Summit", "Riverside", "Northgate", "Bluewater", "Pioneer",
                                    "Keystone", "Evergreen", "Redwood", "Lakeshore", "Granite", "Meridian"};
const char* const companyKinds[] = {"Deliveries Ltd", "Logistics", "Construction", "Landscaping", "Plumbing Co",
                                    "Couriers", "Rentals", "Farms"};
const char* const cities[][3] = {{"Portland", "OR", "97209"}, {"Springfield", "IL", "62704"},
                                 {"Salem", "OR", "97301"},    {"Madison", "WI", "53703"},
                                 {"Austin", "TX", "78701"},   {"Toronto", "ON", "M5V 2T6"}};
const char* const streets[] = {"Wharf Road", "Maple Avenue", "Front Avenue", "Lakeview Drive", "Mill Street",
                               "Station Road", "Harbour Way", "Oak Lane"};

struct Model
{
    const char* make;
    const char* model;
    int perMonthLow;  // use per month in the vehicle's own unit
    int perMonthHigh;
    double perFill;   // fuel per fill-up in the vehicle's fuel unit
};

const Model roadModels[] = {{"Ford", "Transit 250", 1500, 3000, 22.0}, {"Isuzu", "NPR-HD", 1200, 2600, 35.0},
                            {"Toyota", "Prius", 900, 2200, 10.0},       {"Honda", "Civic", 700, 1800, 11.5},
                            {"Chevrolet", "Silverado 1500", 1000, 2400, 24.0},
                            {"Mercedes-Benz", "Sprinter 2500", 1500, 3200, 24.5}};
const Model hourModels[] = {{"Toyota", "8FGCU25 Forklift", 60, 160, 8.0}, {"Caterpillar", "305 CR Excavator", 40, 120, 18.0},
                            {"Kubota", "M7-172 Tractor", 30, 110, 45.0}};

QString stored(const QDate& date)
{
    return date.toString(QStringLiteral("yyyyMMdd"));
}

QString text(const char* value)
{
    return QString::fromUtf8(value);
}

double cents(double amount)
{
    return std::round(amount * 100.0) / 100.0;
}

// One prepared INSERT per table, reused for every row.
class Inserter
{
public:
    Inserter(Database& db, const QString& table, const QStringList& columns)
        : m_db(db), m_query(db.prepare(QStringLiteral("INSERT INTO [%1] ([%2]) VALUES (%3)")
                                           .arg(table, columns.join(QStringLiteral("], [")),
                                                QStringList(columns.size(), QStringLiteral("?"))
                                                    .join(QStringLiteral(", ")))))
    {
    }
    void add(const QVariantList& values)
    {
        for (int i = 0; i < values.size(); ++i)
            m_query.bindValue(i, values[i]);
        m_db.exec(m_query);
        ++m_count;
    }
    int count() const { return m_count; }

private:
    Database& m_db;
    QSqlQuery m_query;
    int m_count = 0;
};

QStringList columns(const char* list)
{
    return QString::fromLatin1(list).split(QLatin1Char(' '));
}

class Generator
{
public:
    Generator(Database& db, quint32 seed)
        : m_db(db), m_random(seed), m_today(Clock::today()),
          m_contacts(db, QStringLiteral("ContactInfo"),
                     columns("ContactID ContactType CompanyName LastName FirstName Address1 Address2 City State "
                             "ZipCode Phone AltPhone Fax Mobile Email WebAddress Memo")),
          m_owners(db, QStringLiteral("Owners"), columns("OwnerID ContactID LocationID Memo")),
          m_vehicles(db, QStringLiteral("Vehicles"),
                     columns("VehicleID VehicleYear VehicleMake VehicleModel VehicleVIN VehicleLicense VehicleNo "
                             "EstMilesPerMonth DateOfEstimatedMiles EntryOfActualMiles DateOfActualMiles "
                             "LastScheduledMaint OwnerID Memo ContactID MngrLastName MngrFirstName PurchaseMemo "
                             "PurchaseDate PurchaseAmount PurchaseMileage ActiveInd Measurement HoursInd")),
          m_schedule(db, QStringLiteral("Schedule"),
                     columns("ScheduleID VehicleID ServiceID Description StationID PerformOnce PerformEveryMiles "
                             "PerformEveryMonth LastMiles LastDate EstPerformDate PerformEveryDay")),
          m_maintenance(db, QStringLiteral("Maintenance"),
                        columns("MaintID StationID VehicleID ActualMiles Tax TotalPrice MaintDate JobOrderID "
                                "Description Memo")),
          m_services(db, QStringLiteral("MaintServices"),
                     columns("MaintID LinkInd ServiceID VehicleID Price Warranty")),
          m_jobOrders(db, QStringLiteral("JobOrder"),
                      columns("JobOrderID StationID VehicleID JCN Date Description OpenInd Memo")),
          m_gas(db, QStringLiteral("GasLog"),
                columns("GasLogID VehicleID Mileage BriefDesc StationID Date TotalCost CostGallon Gallons Fillup "
                        "Estimated")),
          m_loans(db, QStringLiteral("Loan"),
                  columns("VehicleID ContactID Payment AcctNo OriginatingDate Length Amount PaymentAmount "
                          "InterestRate Memo")),
          m_insurance(db, QStringLiteral("Insurance"),
                      columns("VehicleID ContactID PolicyNo Deductable DueDate CoverageStartDate CoverageEndDate "
                              "PaymentAmt Memo"))
    {
        QSqlQuery services = db.prepare(QStringLiteral("SELECT ServiceID, ServiceDesc FROM Services ORDER BY ServiceID"));
        db.exec(services);
        while (services.next())
            m_serviceNames[services.value(0).toInt()] = services.value(1).toString();
        for (const auto& [id, name] : m_serviceNames)
            m_serviceIds.push_back(id);
        m_contactId = nextId(QStringLiteral("ContactInfo"), QStringLiteral("ContactID"));
        m_ownerId = nextId(QStringLiteral("Owners"), QStringLiteral("OwnerID"));
        m_vehicleId = nextId(QStringLiteral("Vehicles"), QStringLiteral("VehicleID"));
        m_scheduleId = nextId(QStringLiteral("Schedule"), QStringLiteral("ScheduleID"));
        m_maintId = nextId(QStringLiteral("Maintenance"), QStringLiteral("MaintID"));
        m_jobOrderId = nextId(QStringLiteral("JobOrder"), QStringLiteral("JobOrderID"));
        m_gasId = nextId(QStringLiteral("GasLog"), QStringLiteral("GasLogID"));
    }

    Counts run(int vehicleCount)
    {
        if (m_serviceIds.size() < size_t(ServicesPerMaintenance))
            throw CdbException(-1, QStringLiteral("The file has too few services to generate a fleet."));
        const int stationCount = std::max(3, vehicleCount / 50);
        for (int i = 0; i < stationCount; ++i)
            m_stations.push_back(addCompany(4, i));
        for (int i = 0; i < 3; ++i) {
            m_loanCompanies.push_back(addCompany(2, i));
            m_insurers.push_back(addCompany(3, i));
        }
        Counts counts;
        const int ownerCount = std::max(1, (vehicleCount + VehiclesPerOwner - 1) / VehiclesPerOwner);
        std::vector<qint32> owners;
        for (int i = 0; i < ownerCount; ++i)
            owners.push_back(addOwner(i));
        for (int i = 0; i < vehicleCount; ++i)
            addVehicle(i, owners[size_t(i) % owners.size()]);

        counts.owners = m_owners.count();
        counts.vehicles = m_vehicles.count();
        counts.companies = stationCount + 6;
        counts.schedules = m_schedule.count();
        counts.maintenance = m_maintenance.count();
        counts.performedServices = m_performed;
        counts.jobOrders = m_jobOrders.count();
        counts.fillUps = m_gas.count();
        counts.loans = m_loans.count();
        counts.insurance = m_insurance.count();
        return counts;
    }

private:
    template <typename T, size_t N>
    const T& pick(const T (&items)[N])
    {
        return items[m_random.bounded(quint32(N))];
    }
    int between(int low, int high) { return low + int(m_random.bounded(quint32(high - low + 1))); }

    qint32 nextId(const QString& table, const QString& key)
    {
        return m_db.scalar(QStringLiteral("SELECT COALESCE(MAX([%1]), 0) + 1 FROM [%2]").arg(key, table)).toInt();
    }

    QString phone() { return QStringLiteral("(%1) 555-%2").arg(between(201, 989)).arg(between(100, 199), 4, 10, QLatin1Char('0')); }

    qint32 addContact(int type, const QString& company, const QString& first, const QString& last)
    {
        const auto& city = pick(cities);
        const qint32 id = m_contactId++;
        const QString domain = (company.isEmpty() ? last : company).section(QLatin1Char(' '), 0, 0).toLower();
        m_contacts.add({id, type, company, last, first,
                        QStringLiteral("%1 %2").arg(between(1, 4999)).arg(text(pick(streets))), QString(""),
                        text(city[0]), text(city[1]), text(city[2]), phone(), QString(""), QString(""), phone(),
                        QStringLiteral("office@%1.example").arg(domain), QString(""), QString("")});
        return id;
    }

    qint32 addCompany(int type, int index)
    {
        static const char* const kinds[] = {"", "", "Credit Union", "Mutual Insurance", "Fleet Service"};
        const QString name = QStringLiteral("%1 %2").arg(text(companyWords[size_t(index) % std::size(companyWords)]),
                                                        text(kinds[type]));
        const QString suffixed = index < int(std::size(companyWords)) ? name : name + QStringLiteral(" %1").arg(index);
        return addContact(type, suffixed.left(50), text(pick(firstNames)), text(pick(lastNames)));
    }

    qint32 addOwner(int index)
    {
        // Every third owner is a private person; the others are businesses with a depot.
        const bool person = index % 3 == 2;
        const QString company =
            person ? QString("")
                   : QStringLiteral("%1 %2 %3").arg(text(pick(companyWords)), text(pick(companyKinds))).arg(index + 1);
        const qint32 contact = addContact(1, company, text(pick(firstNames)), text(pick(lastNames)));
        const qint32 id = m_ownerId++;
        m_owners.add({id, contact, person ? QString("") : QStringLiteral("Depot %1").arg(between(1, 9)), QString("")});
        return id;
    }

    void addVehicle(int index, qint32 owner)
    {
        // Seven in ten road vehicles count miles, two kilometres, one in ten machines counts engine hours.
        const int kind = index % 10;
        const bool hours = kind == 9;
        const bool kilometres = kind == 7 || kind == 8;
        const Model& model = hours ? pick(hourModels) : pick(roadModels);
        const double scale = kilometres ? 1.609 : 1.0;
        const int perMonth = int(between(model.perMonthLow, model.perMonthHigh) * scale);
        const double perDay = perMonth / DaysPerMonth;
        const QDate purchased = m_today.addDays(-HistoryDays - between(0, 900));
        const qint32 purchaseReading = hours ? between(0, 300) : int(between(5, 30000) * scale);
        const int lastReadingDaysAgo = between(1, 30);
        const QDate lastReading = m_today.addDays(-lastReadingDaysAgo);
        auto readingOn = [&](const QDate& date) { return purchaseReading + qint32(perDay * purchased.daysTo(date)); };
        const qint32 id = m_vehicleId++;
        const int year = purchased.year() - between(0, 2);
        const QString vin = hours ? QString("")
                                  : QStringLiteral("1GV%1%2").arg(index, 8, 10, QLatin1Char('0')).arg(between(100000, 999999));
        m_vehicles.add({id, QString::number(year), text(model.make), text(model.model), vin,
                        hours ? QString("") : QStringLiteral("FL%1").arg(index + 1, 5, 10, QLatin1Char('0')),
                        QStringLiteral("%1 %2").arg(hours ? QStringLiteral("Unit") : QStringLiteral("Van")).arg(index + 1),
                        perMonth, stored(lastReading), readingOn(lastReading), stored(lastReading), 0, owner,
                        QString(""), 0, QString(""), QString(""), QString(""), stored(purchased),
                        double(between(15000, 65000)), purchaseReading, index % 20 == 19 ? 0 : -1,
                        kilometres ? 1 : 0, hours ? 1 : 0});

        const qint32 station = m_stations[size_t(index) % m_stations.size()];
        const QDate historyStart = m_today.addDays(-HistoryDays);
        // Entries stop three weeks before the last actual reading, so none is later than it.
        const qint64 span = HistoryDays - lastReadingDaysAgo - 21;
        std::map<qint32, QDate> lastDone;

        // Maintenance spread over the history; every tenth entry came from a job order that is now closed.
        for (int m = 0; m < MaintenancePerVehicle; ++m) {
            const QDate date = historyStart.addDays(m * span / MaintenancePerVehicle + between(0, 20));
            qint32 jobOrder = 0;
            if (m % 10 == 9 && m / 10 < JobOrdersPerVehicle - 1) {
                jobOrder = m_jobOrderId++;
                m_jobOrders.add({jobOrder, station, id, QStringLiteral("J%1-%2").arg(id).arg(m / 10 + 1),
                                 stored(date), QStringLiteral("Scheduled service"), 0, QString("")});
            }
            const qint32 maint = m_maintId++;
            double total = 0;
            const size_t first = m_random.bounded(quint32(m_serviceIds.size()));
            for (int s = 0; s < ServicesPerMaintenance; ++s) {
                const qint32 service = m_serviceIds[(first + size_t(s) * 5) % m_serviceIds.size()];
                const double price = cents(between(1500, 25000) / 100.0);
                total += price;
                m_services.add({maint, 0, service, id, price, s == 0 ? QStringLiteral("90 days") : QString("")});
                ++m_performed;
                lastDone[service] = date;
            }
            const double tax = cents(total * 0.07);
            m_maintenance.add({maint, station, id, readingOn(date), tax, cents(total + tax), stored(date), jobOrder,
                               QStringLiteral("Routine service"), QString("")});
        }
        // The last job order is still open, with two services ordered.
        {
            const qint32 jobOrder = m_jobOrderId++;
            m_jobOrders.add({jobOrder, station, id, QStringLiteral("J%1-OPEN").arg(id),
                             stored(m_today.addDays(-between(0, 20))), QStringLiteral("Brakes and tyres"), -1,
                             QString("")});
            for (int s = 0; s < 2; ++s)
                m_services.add({jobOrder, 1, m_serviceIds[size_t(s) * 7 % m_serviceIds.size()], id, 0.0, QString("")});
        }

        // A vehicle has at most one schedule entry per service.
        const int scheduled = std::min<int>(SchedulesPerVehicle, int(m_serviceIds.size()));
        for (int s = 0; s < scheduled; ++s) {
            const qint32 service = m_serviceIds[size_t(s)];
            const int everyMonth = between(3, 24);
            const qint32 everyMiles = hours ? between(1, 10) * 50 : qint32(between(3, 30) * 1000 * scale);
            const auto done = lastDone.find(service);
            const QDate last = done != lastDone.end() ? done->second : purchased;
            const QDate byDate = last.addMonths(everyMonth);
            const QDate byReading = last.addDays(qint64(everyMiles / std::max(perDay, 0.1)));
            const QString description = m_serviceNames[service];
            m_schedule.add({m_scheduleId++, id, service, description.left(50), station, 0, everyMiles, everyMonth,
                            readingOn(last), stored(last), stored(std::min(byDate, byReading)), 0});
        }

        // Fillup 0 is a full tank and non-zero a partial one: one fill in twelve stops short.
        for (int g = 0; g < FillUpsPerVehicle; ++g) {
            const QDate date = historyStart.addDays(g * span / FillUpsPerVehicle + between(0, 10));
            const double amount = cents(model.perFill * (0.8 + between(0, 40) / 100.0) * (kilometres ? 3.785 : 1.0));
            const double price = between(2599, 4299) / 1000.0 / (kilometres ? 3.785 : 1.0);
            m_gas.add({m_gasId++, id, readingOn(date), QString(""), m_stations[size_t(g) % m_stations.size()],
                       stored(date), cents(amount * price), price, amount, g % 12 == 11 ? -1 : 0, 0});
        }

        if (index % 10 < 3) {
            m_loans.add({id, m_loanCompanies[size_t(index) % m_loanCompanies.size()], QStringLiteral("Monthly"),
                         QStringLiteral("LN-%1").arg(100000 + id), stored(purchased), 60, 32000.0, 598.75, 4.35,
                         QString("")});
        }
        if (index % 10 < 6) {
            const QDate start = m_today.addDays(-between(0, 300));
            m_insurance.add({id, m_insurers[size_t(index) % m_insurers.size()], QStringLiteral("PM-%1").arg(700000 + id),
                             500.0, stored(start.addMonths(11)), stored(start), stored(start.addYears(1)),
                             double(between(600, 2400)), QString("")});
        }
    }

    Database& m_db;
    QRandomGenerator m_random;
    QDate m_today;
    Inserter m_contacts, m_owners, m_vehicles, m_schedule, m_maintenance, m_services, m_jobOrders, m_gas, m_loans,
        m_insurance;
    std::map<qint32, QString> m_serviceNames;
    std::vector<qint32> m_serviceIds;
    std::vector<qint32> m_stations, m_loanCompanies, m_insurers;
    qint32 m_contactId = 1, m_ownerId = 1, m_vehicleId = 1, m_scheduleId = 1, m_maintId = 1, m_jobOrderId = 1,
           m_gasId = 1;
    int m_performed = 0;
};

// The command line has no one to answer questions: messages go to standard error.
class ErrorStreamPrompter : public Prompter
{
public:
    explicit ErrorStreamPrompter(QTextStream& err) : m_err(err) {}
    Answer ask(const QString& text, Icon, Buttons) override
    {
        m_err << text << '\n';
        return Answer::Cancel;
    }
    QString saveFileName(const FileDialog&) override { return QString(); }
    QString openFileName(const FileDialog&) override { return QString(); }
    bool note(const QString& text) override
    {
        m_err << text << '\n';
        return true;
    }

private:
    QTextStream& m_err;
};

} // namespace

Counts fill(Database& db, int vehicles, quint32 seed)
{
    Transaction transaction(db);
    Generator generator(db, seed);
    const Counts counts = generator.run(vehicles);
    transaction.commit();
    return counts;
}

int runCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QString path;
    int vehicles = -1;
    quint32 seed = 1;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        bool ok = true;
        if (arg == QLatin1String("--vehicles") && i + 1 < args.size())
            vehicles = args[++i].toInt(&ok);
        else if (arg == QLatin1String("--seed") && i + 1 < args.size())
            seed = args[++i].toUInt(&ok);
        else if (path.isEmpty() && !arg.startsWith(QLatin1String("--")))
            path = arg;
        else
            ok = false;
        if (!ok) {
            err << "velmora-cli: generate-fleet PATH --vehicles N [--seed S]\n";
            return 2;
        }
    }
    if (path.isEmpty() || vehicles < 1 || vehicles > 100000) {
        err << "velmora-cli: generate-fleet PATH --vehicles N [--seed S] (N from 1 to 100000)\n";
        return 2;
    }
    if (QFileInfo::exists(path)) {
        err << "velmora-cli: " << path << " already exists; remove it first\n";
        return 1;
    }
    // Filled under a temporary name and put in place only when complete, so a failure leaves nothing that
    // looks like a finished file.
    QString staging;
    try {
        Counts counts;
        {
            Database db;
            staging = DatabaseCreation::openStagingFile(db, path, QStringLiteral("generate"));
            DatabaseCreation::fillNewFile(db);
            counts = fill(db, vehicles, seed);
            const QStringList problems = DataFile::problemsOf(db);
            if (!problems.isEmpty())
                throw CdbException(11, problems.join(QLatin1Char('\n')));
        }
        DataFile::putInPlace(staging, path, false);
        out << "Generated " << counts.vehicles << " vehicles of " << counts.owners << " owners, " << counts.schedules
            << " schedule entries, " << counts.maintenance << " maintenance entries with " << counts.performedServices
            << " performed services, " << counts.jobOrders << " job orders, " << counts.fillUps << " fill-ups, "
            << counts.loans << " loans, " << counts.insurance << " insurance records\n";
        return 0;
    } catch (const CdbException& error) {
        DataFile::removeWithJournal(staging);
        err << "velmora-cli: " << DataFile::causeOf(error, path) << '\n';
        return 1;
    }
}

} // namespace FleetGenerator
