#pragma once

#include "maintenance/MaintenanceRecord.h"
#include "maintenance/ui/VehicleEntryForm.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;

// The maintenance form (form 139): a vehicle's maintenance entries by reading, each with its date, reading,
// service station, services performed, description, total price and comments. A new entry can start
// empty, from schedule entries chosen on the schedule monitor, or from an open job order.
class CMaintenanceView : public CVehicleEntryForm
{
    Q_OBJECT

public:
    CMaintenanceView(CAppContext& app, CVelDoc& doc, QWidget* parent = nullptr);

    void enter(int a, int b) override;
    // A new entry holding the services of these schedule entries (of one vehicle, which becomes current).
    void startFromSchedule(const QList<qint32>& scheduleIds);
    // A new entry filled from the job order; fromList: chosen in the form's own job order box.
    void startFromJobOrder(qint32 jobOrderId, bool fromList = false);

protected:
    QList<ListRow> listRows(qint32 vehicleId) override;
    void vehicleChanged(qint32 vehicleId) override;
    bool loadRecord(qint32 key) override;
    void clearFields() override;
    bool validateFields() override;
    qint32 writeRecord(qint32 key) override;
    bool removeRecord(qint32 key) override;
    void recordSaved(qint32 key) override;
    QWidget* firstField() const override;
    QLineEdit* descriptionField() const override;
    void modeChanged(Mode mode) override;
    void extendContextMenu(QMenu& menu) override;

private:
    enum class Prefill { None, Schedule, JobOrder };

    void showJobOrderBox(bool shown);
    void onJobOrderChosen(int index);

    QString m_unitLabel = QStringLiteral("Mileage");
    QString m_readingName = QStringLiteral("Odometer Reading");
    Prefill m_prefill = Prefill::None;
    qint32 m_prefillJobOrder = 0;
    bool m_fillingJobOrders = false;
    MaintenanceEntries::LeftOver m_leftOver = MaintenanceEntries::LeftOver::MarkNotPerformed;
    MaintenanceEntries::Saved m_saved;

    QLineEdit* m_reading = nullptr;
    QLabel* m_readingLabel = nullptr;
    QLineEdit* m_date = nullptr;
    QComboBox* m_jobOrders = nullptr;
    QLineEdit* m_jcn = nullptr;
    QLineEdit* m_description = nullptr;
    QLineEdit* m_totalPrice = nullptr;
    QPlainTextEdit* m_comments = nullptr;
};
