#pragma once

#include "forms/FormView.h"

#include <QList>

class QComboBox;
class QLabel;
class QMenu;
class QTreeView;
class ScheduleMonitorModel;

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

    QTreeView* list() const { return m_list; }
    // The ScheduleIDs of the chosen rows in list order, after the checks; empty when refused or none.
    QList<qint32> chosenEntries();
    void commandPerformMaintenance();
    // Writes the due list shown as an iCalendar file the user names.
    void commandExportCalendar();
    void commandCreateJobOrder();
    std::unique_ptr<QMenu> createContextMenu();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void fillVehicles();
    void fillList();
    // recolour: the rows are coloured again for the current days-ahead setting and date.
    void showLegend(bool recolour = true);
    void useMeaningColours();
    // Widens the columns the user never sized to their contents.
    void fitColumns();
    void onVehicleChosen(int index);
    qint32 vehicleId() const;

    QComboBox* m_vehicles = nullptr;
    QTreeView* m_list = nullptr;
    ScheduleMonitorModel* m_model = nullptr;
    QLabel* m_legendRed = nullptr;
    QLabel* m_legendBlue = nullptr;
    QLabel* m_legendBlack = nullptr;
    QLabel* m_baseLineNote = nullptr;
    bool m_filled = false;
    bool m_fitted = false;
};
