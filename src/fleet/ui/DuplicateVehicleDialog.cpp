#include "fleet/ui/DuplicateVehicleDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CDuplicateVehicleDialog::CDuplicateVehicleDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("duplicateVehicleDialog"));
    setWindowTitle(QStringLiteral("Duplicate Vehicle"));
    auto* outer = new QVBoxLayout(this);
    auto* explanation = new QLabel(
        tr("The new vehicle starts with the values of the one shown. Choose what else it takes over when it "
           "is saved:"),
        this);
    explanation->setWordWrap(true);
    outer->addWidget(explanation);

    auto* box = new QGroupBox(this);
    auto* boxLayout = new QVBoxLayout(box);
    m_schedule = new QCheckBox(QStringLiteral("Schedule"), box);
    m_schedule->setObjectName(QStringLiteral("scheduleCheck"));
    // The service schedule is what a fleet's vehicles of one kind usually share.
    m_schedule->setChecked(true);
    m_loan = new QCheckBox(QStringLiteral("Loan"), box);
    m_loan->setObjectName(QStringLiteral("loanCheck"));
    m_insurance = new QCheckBox(QStringLiteral("Insurance"), box);
    m_insurance->setObjectName(QStringLiteral("insuranceCheck"));
    for (QCheckBox* check : {m_schedule, m_loan, m_insurance})
        boxLayout->addWidget(check);
    outer->addWidget(box);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    outer->addWidget(buttons);
    setMinimumWidth(320);
}

DuplicateCopies CDuplicateVehicleDialog::choices() const
{
    DuplicateCopies copies;
    copies.schedule = m_schedule->isChecked();
    copies.loan = m_loan->isChecked();
    copies.insurance = m_insurance->isChecked();
    return copies;
}
