#pragma once

#include "forms/VehicleListForm.h"
#include "fuel/FuelEconomy.h"
#include "fuel/GasEntry.h"

class CFuelChart;
class QRadioButton;
class QCheckBox;

// The gas form (form 140): the fill-ups of the vehicle chosen in "Vehicles", newest reading first with
// their fuel economy, one fill-up's fields, and the statistics chart.
class CGasView : public CVehicleListForm
{
    Q_OBJECT

public:
    CGasView(CAppContext& app, CVelDoc& doc, QWidget* parent = nullptr);

    CFuelChart* chart() const { return m_chart; }

protected:
    QList<ListRow> listRows(qint32 vehicleId) override;
    void vehicleChanged(qint32 vehicleId) override;
    void showVehicleEntries() override;
    bool loadRecord(qint32 key) override;
    void clearFields() override;
    bool validateFields() override;
    qint32 writeRecord(qint32 key) override;
    bool removeRecord(qint32 key) override;
    QWidget* firstField() const override;
    void modeChanged(Mode mode) override;
    void recordSaved(qint32 key) override;
    void extendContextMenu(QMenu& menu) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void readVehicle(qint32 vehicleId);
    void applyUnits();
    void onFocusChanged(QWidget* old, QWidget* now);
    bool calculatesOnFocus(QWidget* now) const;
    void calculateDistance();
    void calculateReading();
    void calculateMoney();
    void runPendingCalculations();
    void resetCalculation();
    qint32 previousReading() const;
    QLineEdit* moneyField(FuelCalculation::Field field) const;

    CFuelChart* m_chart = nullptr;
    QRadioButton* m_fullTank = nullptr;
    QRadioButton* m_partialTank = nullptr;
    QLineEdit* m_reading = nullptr;
    QLineEdit* m_date = nullptr;
    QLineEdit* m_distance = nullptr;
    QCheckBox* m_estimated = nullptr;
    QLineEdit* m_description = nullptr;
    QComboBox* m_stationBox = nullptr;
    QLineEdit* m_amount = nullptr;
    QLineEdit* m_costPerUnit = nullptr;
    QLineEdit* m_total = nullptr;
    QLabel* m_readingLabel = nullptr;
    QLabel* m_distanceLabel = nullptr;
    QLabel* m_costLabel = nullptr;

    int m_measurement = 0;
    int m_hoursInd = 0;
    qint32 m_vehicleReading = 0;
    GasUnits m_units;
    std::vector<FuelEconomy::FillUp> m_fillUps; // reading order
    qint32 m_highestReading = 0;
    qint32 m_entryPrevious = 0;
    bool m_readingMoved = false;

    FuelCalculation m_calculation;
    bool m_readingChanged = false;
    bool m_distanceChanged = false;
    bool m_moneyChanged[4] = {false, false, false, false};
};
