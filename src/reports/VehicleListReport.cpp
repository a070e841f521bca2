#include "db/Values.h"
#include "reports/ReportBodies.h"
#include "reports/ReportText.h"

#include <QHash>

namespace Report {

namespace {

using ReportText::padded;

struct Loan
{
    QString company, account, date;
    double amount = 0, rate = 0, payment = 0;
    int length = 0;
};

struct Insurance
{
    QString company, policy, start, end;
    double deductible = 0, payment = 0;
};

// Money shown with a printf pattern, then the thousands separator.
QString sepMoney(const char* pattern, double value)
{
    return Values::withThousands(QString::asprintf(pattern, value));
}

class VehicleListBody : public Body
{
public:
    void load(Database&, const Fleet& fleet, const Options&, const Layout& layout) override
    {
        m_fleet = &fleet;
        m_layout = layout;
    }

    int read(Database& db, const std::vector<qint32>& vehicleIds) override
    {
        m_loans.clear();
        m_insurance.clear();
        QSqlQuery loans = selectForVehicles(
            db, vehicleIds,
            QStringLiteral(
                "SELECT VehicleID, CompanyName, AcctNo, OriginatingDate, Amount, InterestRate, Length, "
                "PaymentAmount FROM Loan LEFT JOIN ContactInfo ON Loan.ContactID = ContactInfo.ContactID"),
            QStringLiteral("VehicleID"), {}, {});
        while (loans.next())
            m_loans.insert(loans.value(0).toInt(),
                           {Values::toShownQuotes(loans.value(1).toString()), loans.value(2).toString(),
                            loans.value(3).toString(), loans.value(4).toDouble(), loans.value(5).toDouble(),
                            loans.value(7).toDouble(), loans.value(6).toInt()});
        QSqlQuery insurance = selectForVehicles(
            db, vehicleIds,
            QStringLiteral(
                "SELECT VehicleID, CompanyName, PolicyNo, CoverageStartDate, CoverageEndDate, Deductable, "
                "PaymentAmt FROM Insurance LEFT JOIN ContactInfo "
                "ON Insurance.ContactID = ContactInfo.ContactID"),
            QStringLiteral("VehicleID"), {}, {});
        while (insurance.next())
            m_insurance.insert(insurance.value(0).toInt(),
                               {Values::toShownQuotes(insurance.value(1).toString()), insurance.value(2).toString(),
                                insurance.value(3).toString(), insurance.value(4).toString(),
                                insurance.value(5).toDouble(), insurance.value(6).toDouble()});
        return int(m_loans.size() + m_insurance.size());
    }

    VehicleBlocks vehicle(int index) override
    {
        const Vehicle& vehicle = m_fleet->vehicles[size_t(index)];
        VehicleBlocks blocks;
        Block& block = blocks.head;
        ReportText::addBand(block, vehicle, m_layout);
        ReportText::addDetails(block, vehicle, m_layout, false);
        const double line = m_layout.line;
        const double top = block.height + line + 5;
        const Pen frame;
        block.rect(27, top, 500 - 27, 5 * line, frame, std::nullopt);
        block.rect(510, top, m_layout.blockWidth - 510, 5 * line, frame, std::nullopt);
        const double first = top + 4;

        // Row by row across both boxes, so that each printed line reads left to right.
        const auto loan = m_loans.constFind(vehicle.vehicleId);
        const auto insurance = m_insurance.constFind(vehicle.vehicleId);
        const Loan noLoan;
        const Insurance noInsurance;
        const Loan& l = loan != m_loans.constEnd() ? *loan : noLoan;
        const Insurance& i = insurance != m_insurance.constEnd() ? *insurance : noInsurance;
        const QString loanLines[] = {
            QStringLiteral("   Company: ") + l.company, QStringLiteral(" Acct. No.: ") + l.account,
            QStringLiteral("Orig. Date       Amount  Int. Rate  Length   Pay. Amt"),
            loan == m_loans.constEnd()
                ? QString()
                : Values::toShownDate(l.date) + QStringLiteral("  ") + padded(sepMoney("$%6.2f", l.amount), 11) +
                      QStringLiteral("     ") + padded(QString::asprintf("%2.2f%%", l.rate), 6) +
                      QStringLiteral("    ") + padded(QString::asprintf("%4d", l.length), 4) + QStringLiteral("  ") +
                      padded(sepMoney("$%4.2f", l.payment), 8)};
        const QString insuranceLines[] = {
            QStringLiteral("   Company: ") + i.company, QStringLiteral("Policy No.: ") + i.policy,
            QStringLiteral("Coverage Dates          Deductible    Pay. Amt"),
            insurance == m_insurance.constEnd()
                ? QString()
                : Values::toShownDate(i.start) + QLatin1Char('-') + Values::toShownDate(i.end) +
                      QStringLiteral("       ") + padded(sepMoney("$%.0f", i.deductible), 6) + QStringLiteral("   ") +
                      padded(sepMoney("$%4.2f", i.payment), 9)};
        for (int row = 0; row < 4; ++row) {
            if (!loanLines[row].isEmpty())
                block.textAt(30, first + row * line, loanLines[row]);
            if (!insuranceLines[row].isEmpty())
                block.textAt(525, first + row * line, insuranceLines[row]);
        }
        block.height = top + 5 * line;
        block.need = block.height;
        return blocks;
    }

    int vehiclesPerPage() const override { return 3; }

private:
    const Fleet* m_fleet = nullptr;
    Layout m_layout;
    QHash<qint32, Loan> m_loans;
    QHash<qint32, Insurance> m_insurance;
};

} // namespace

std::unique_ptr<Body> makeVehicleList()
{
    return std::make_unique<VehicleListBody>();
}

} // namespace Report
