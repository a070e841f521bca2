#pragma once

#include "fleet/VehicleRecord.h"

#include <QDialog>

class QCheckBox;

// "Duplicate Vehicle": which of the vehicle's schedule, loan and insurance the copy takes over.
class CDuplicateVehicleDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CDuplicateVehicleDialog(QWidget* parent = nullptr);

    // The choices made (without the source vehicle).
    DuplicateCopies choices() const;

private:
    QCheckBox* m_schedule = nullptr;
    QCheckBox* m_loan = nullptr;
    QCheckBox* m_insurance = nullptr;
};
