#pragma once

#include "maintenance/ui/VehicleEntryForm.h"

class QLineEdit;
class QPlainTextEdit;

// The job order form (form 243): a vehicle's job orders, open ones or all, each with its JCN, date, service
// station, description, comments and the services ordered; a completed one is shown but not edited, and
// "Perform Maintenance" turns an open one into a maintenance entry.
class CJobOrderView : public CVehicleEntryForm
{
    Q_OBJECT

public:
    CJobOrderView(CAppContext& app, CVelDoc& doc, QWidget* parent = nullptr);

    bool openOnly() const { return m_openOnly; }
    void setOpenOnly(bool openOnly);
    void commandEdit() override;
    void commandPerformMaintenance();
    void commandPrint();

protected:
    QList<ListRow> listRows(qint32 vehicleId) override;
    bool loadRecord(qint32 key) override;
    void clearFields() override;
    bool validateFields() override;
    qint32 writeRecord(qint32 key) override;
    bool removeRecord(qint32 key) override;
    QWidget* firstField() const override;
    QLineEdit* descriptionField() const override;
    void extendContextMenu(QMenu& menu) override;

private:
    bool selectedIsOpen() const;
    void showFilterMenu();

    bool m_openOnly = true;
    QLineEdit* m_jcn = nullptr;
    QLineEdit* m_date = nullptr;
    QLineEdit* m_description = nullptr;
    QPlainTextEdit* m_comments = nullptr;
    QPushButton* m_filterButton = nullptr;
};
