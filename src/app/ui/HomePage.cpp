#include "app/ui/HomePage.h"

#include "app/Enums.h"

#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct ButtonText
{
    int formNumber;
    const char* objectName;
    const char* text;
};

// In the order a new user works through them: owners, vehicles, their schedule, then the logs.
const ButtonText Buttons[] = {
    {OwnerForm, "ownerButton", "&Owners"},
    {VehicleForm, "vehicleButton", "&Vehicles"},
    {ScheduleForm, "scheduleButton", "&Schedule"},
    {LoanForm, "loanButton", "&Loans"},
    {InsuranceForm, "insuranceButton", "&Insurance"},
    {ScheduleMonitorForm, "monitorButton", "Schedule &Monitor"},
    {MaintenanceForm, "maintenanceButton", "M&aintenance Log"},
    {GasForm, "gasButton", "&Gas Log"},
    {JobOrderForm, "jobOrderButton", "&Job Orders"},
    {CompanyForm, "companyButton", "&Companies"},
    {ReportForm, "reportButton", "&Reports"},
};

} // namespace

CHomePage::CHomePage(CVelApp& app, CVelDoc& doc, QWidget* parent) : CFormView(app, doc, HomeForm, parent)
{
    setObjectName(QStringLiteral("homePage"));

    auto* title = new QLabel(QStringLiteral("Velmora"), this);
    title->setObjectName(QStringLiteral("titleLabel"));
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 2.5);
    titleFont.setBold(true);
    title->setFont(titleFont);
    title->setAlignment(Qt::AlignCenter);

    auto* subtitle = new QLabel(QStringLiteral("Maintenance records for your vehicles and fleet"), this);
    subtitle->setObjectName(QStringLiteral("subtitleLabel"));
    subtitle->setAlignment(Qt::AlignCenter);

    m_grid = new QGridLayout;
    m_grid->setHorizontalSpacing(12);
    m_grid->setVerticalSpacing(8);
    for (const ButtonText& text : Buttons) {
        auto* button = new QPushButton(QString::fromLatin1(text.text), this);
        button->setObjectName(QString::fromLatin1(text.objectName));
        button->setMinimumWidth(160);
        button->setAutoDefault(false);
        const int formNumber = text.formNumber;
        connect(button, &QPushButton::clicked, this,
                [this, formNumber] { Q_EMIT switchFormRequested(formNumber, 0, 0); });
        m_destinations.append({formNumber, button});
    }

    auto* layout = new QVBoxLayout(this);
    layout->addStretch(2);
    layout->addWidget(title);
    layout->addWidget(subtitle);
    layout->addSpacing(24);
    auto* centred = new QHBoxLayout;
    centred->addStretch();
    centred->addLayout(m_grid);
    centred->addStretch();
    layout->addLayout(centred);
    layout->addStretch(3);

    refreshButtons();
}

void CHomePage::setFormAvailable(std::function<bool(int)> available)
{
    m_available = std::move(available);
    refreshButtons();
}

void CHomePage::enter(int, int)
{
    refreshButtons();
}

void CHomePage::refreshButtons()
{
    // Laid out afresh so that the buttons shown stay in two even columns without gaps.
    for (const Destination& destination : m_destinations)
        m_grid->removeWidget(destination.button);
    int index = 0;
    for (const Destination& destination : m_destinations) {
        const bool available = m_available && m_available(destination.formNumber);
        destination.button->setVisible(available);
        if (available) {
            m_grid->addWidget(destination.button, index / 2, index % 2);
            ++index;
        }
    }
    layout()->activate();
}
