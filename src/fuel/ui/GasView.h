#pragma once

#include "forms/RecordForm.h"
#include "fuel/FuelEconomy.h"
#include "fuel/GasEntry.h"

class CFuelChart;
class CTypedCompany;
class QRadioButton;
class QCheckBox;
class QTreeWidget;

// The gas form (form 140): the fill-ups of the vehicle chosen in "Vehicles", newest reading first with
// their fuel economy, one fill-up's fields, and the statistics chart. The record selector of the base form
// stays hidden behind the list and does the mode work.
class CGasView : public CRecordForm
{
    Q_OBJECT

public:
    CGasView(CAppContext& app, CVelDoc& doc, QWidget* parent = nullptr);
    ~CGasView() override;

    bool canLeave(int targetForm) override;
    void enter(int a, int b) override;

    QTreeWidget* entryList() const { return m_list; }
    CFuelChart* chart() const { return m_chart; }

protected:
    QList<ListEntry> selectorEntries() override;
    bool loadRecord(qint32 key) override;
    void clearFields() override;
    bool validateFields() override;
    qint32 writeRecord(qint32 key) override;
    bool removeRecord(qint32 key) override;
    QWidget* firstField() const override;
    qint32 initialKey() override;
    void modeChanged(Mode mode) override;
    void recordSaved(qint32 key) override;
    void extendContextMenu(QMenu& menu) override;
    void refreshLists(int hint) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillVehicles();
    void onVehicleChosen(int index);
    void showVehicle(qint32 vehicleId);
    void applyUnits();
    void onListSelection();
    void syncListFromSelector();
    void updateListState();
    void onFocusChanged(QWidget* old, QWidget* now);
    bool calculatesOnFocus(QWidget* now) const;
    void calculateDistance();
    void calculateReading();
    void calculateMoney();
    void runPendingCalculations();
    void resetCalculation();
    qint32 previousReading() const;
    QLineEdit* moneyField(FuelCalculation::Field field) const;
    void addNavigationButton(const QString& text, const char* objectName, int formNumber);

    QComboBox* m_vehicles = nullptr;
    QTreeWidget* m_list = nullptr;
    CFuelChart* m_chart = nullptr;
    QRadioButton* m_fullTank = nullptr;
    QRadioButton* m_partialTank = nullptr;
    QLineEdit* m_reading = nullptr;
    QLineEdit* m_date = nullptr;
    QLineEdit* m_distance = nullptr;
    QCheckBox* m_estimated = nullptr;
    QLineEdit* m_description = nullptr;
    QComboBox* m_stationBox = nullptr;
    CTypedCompany* m_station = nullptr;
    QLineEdit* m_amount = nullptr;
    QLineEdit* m_costPerUnit = nullptr;
    QLineEdit* m_total = nullptr;
    QLabel* m_readingLabel = nullptr;
    QLabel* m_distanceLabel = nullptr;
    QLabel* m_costLabel = nullptr;

    qint32 m_shownVehicle = 0;
    int m_measurement = 0;
    int m_hoursInd = 0;
    qint32 m_vehicleReading = 0;
    GasUnits m_units;
    std::vector<FuelEconomy::FillUp> m_fillUps; // reading order
    qint32 m_highestReading = 0;
    qint32 m_entryPrevious = 0;
    bool m_readingMoved = false;
    bool m_syncing = false;
    bool m_entered = false;

    FuelCalculation m_calculation;
    bool m_readingChanged = false;
    bool m_distanceChanged = false;
    bool m_moneyChanged[4] = {false, false, false, false};
};
