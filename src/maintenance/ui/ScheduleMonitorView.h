#pragma once

#include "forms/FormView.h"

#include <QList>

class QComboBox;
class QLabel;
class QMenu;
class QTreeWidget;

// The schedule monitor (form 143): the scheduled services of one vehicle or of all, soonest first, red when
// due, blue when due within the days-ahead setting. Filling it brings every estimated date up to date. The
// rows chosen can be performed (a new maintenance entry) or ordered (a new job order).
class CScheduleMonitorView : public CFormView
{
    Q_OBJECT

public:
    static constexpr int MostServices = 10;

    CScheduleMonitorView(CAppContext& app, CVelDoc& doc, QWidget* parent = nullptr);
    ~CScheduleMonitorView() override;

    void enter(int a, int b) override;
    void onDocumentUpdate(int hint) override;

    QTreeWidget* list() const { return m_list; }
    // The ScheduleIDs of the chosen rows in list order, after the checks; empty when refused or none.
    QList<qint32> chosenEntries();
    void commandPerformMaintenance();
    // Writes the due list shown as an iCalendar file the user names.
    void commandExportCalendar();
    void commandCreateJobOrder();
    std::unique_ptr<QMenu> createContextMenu();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void fillVehicles();
    void fillList();
    // recolour: the rows are coloured again for the current days-ahead setting and date.
    void showLegend(bool recolour = true);
    void colourRows();
    void onVehicleChosen(int index);
    qint32 vehicleId() const;

    QComboBox* m_vehicles = nullptr;
    QTreeWidget* m_list = nullptr;
    QLabel* m_legendBlue = nullptr;
    QLabel* m_legendBlack = nullptr;
    QLabel* m_baseLineNote = nullptr;
    bool m_filled = false;
};
