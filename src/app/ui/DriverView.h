#pragma once

#include "forms/FormView.h"

class CVelApp;
class QComboBox;
class QLabel;
class QPushButton;

// The picture home form: a vehicle list and a picture with four hot zones that open the forms a driver
// uses most, with a tip for the zone under the pointer and the pointer's position.
class CDriverView : public CFormView
{
    Q_OBJECT

public:
    CDriverView(CVelApp& app, CVelDoc& doc, QWidget* parent = nullptr);

    // Shows the current vehicle in the list.
    void enter(int a, int b) override;
    // A vehicle chosen in the list but not yet applied is offered with the unsaved-changes question.
    bool canLeave(int targetForm) override;
    void onDocumentUpdate(int hint) override;

    // The hot zone under a point of the view (0 for none; zones are 1, 2, 3 and 5).
    static int zoneAt(const QPoint& point);
    static int zoneForm(int zone);
    static QString zoneTip(int zone);
    int currentZone() const { return m_zone; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void fillVehicleList();
    void showForm(int formNumber);
    void setZone(int zone);
    // The zone before or after the given one in the picture's order (0 past either end).
    static int neighbourZone(int zone, bool next);

    QLabel* m_title = nullptr;
    QComboBox* m_vehicleList = nullptr;
    QPushButton* m_homeButton = nullptr;
    QLabel* m_tip = nullptr;
    QLabel* m_position = nullptr;
    int m_zone = 0;
    bool m_changed = false;
    bool m_filling = false;
};
