#pragma once

#include "forms/FormView.h"

#include <QBasicTimer>
#include <QRect>
#include <QRectF>
#include <QStringList>
#include <array>
#include <functional>

class CVelApp;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPainter;
class QPushButton;

// The graphical home screen: a picture of nine labelled buttons that open the record forms, the schedule
// light, and the quick vehicle update panel for typing today's readings one vehicle after another.
class CVelView : public CFormView
{
    Q_OBJECT

public:
    // The picture's buttons, in the order the pointer tests them.
    enum Element : int {
        NoElement = 0,
        OwnersElement,
        VehiclesElement,
        ScheduleElement,
        LoansElement,
        InsuranceElement,
        ScheduleMonitorElement,
        MaintenanceElement,
        GasLogElement,
        JobOrdersElement,
    };
    static constexpr int ElementCount = 9;

    CVelView(CVelApp& app, CVelDoc& doc, QWidget* parent = nullptr);
    ~CVelView() override;

    // Starts the attention animation when there are no owners yet, stops it otherwise.
    void enter(int a, int b) override;
    void onDocumentUpdate(int hint) override;

    // Where an element is drawn, in the view's coordinates.
    QRect elementRect(int element) const;
    static QString elementLabel(int element);
    // The form an element opens.
    static int elementForm(int element);
    int hotElement() const { return m_hot; }
    // The element of the picture at a point of the view (NoElement outside them all).
    int elementAt(const QPoint& point) const;
    // Tells which forms exist yet; elements of the others are drawn dimmed and do nothing.
    void setFormAvailable(std::function<bool(int)> available);
    bool elementAvailable(int element) const;
    bool isAnimating() const { return m_animation.isActive(); }
    // The light drawn by the last repaint (1 nothing due, 2 due soon, 3 due now).
    int scheduleStatus() const { return m_status; }
    QRect statusLightRect() const;
    // The words of the status panel for a light: the heading, the word under the light, the detail line.
    static QStringList statusWords(int status);
    // The tile the keyboard is on (NoElement before the view first takes the focus).
    int focusedElement() const { return m_focused; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void timerEvent(QTimerEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildQuickUpdatePanel();
    void layoutPicture();
    bool graphicalFrontEnd();
    bool ownersEmpty();
    QRectF toView(const QRectF& design) const;
    QRect highlightRect(int element) const;
    QRect attentionRect() const;
    void setHotElement(int element);
    // The next tile that can be used from `from` in steps of `step`, NoElement past either end.
    int availableElementFrom(int from, int step) const;
    void setFocusedElement(int element);

    void paintBackdrop(QPainter& painter);
    void paintHeader(QPainter& painter);
    void paintElement(QPainter& painter, int element, bool highlighted);
    void paintAttention(QPainter& painter);
    void paintStatusLight(QPainter& painter);
    void paintTurnedOff(QPainter& painter);

    // Quick vehicle update.
    void fillVehicleList(bool selectCurrent);
    void loadSelectedVehicle();
    void vehicleChosen();
    bool saveTypedReading();
    void updateAndNext();
    void selectIndexQuietly(int index);
    void showDatabaseError(const QString& description);

    // Picture layout: design units scaled uniformly into the area above the panel.
    qreal m_scale = 1.0;
    QPointF m_origin;
    QRect m_pictureArea;
    std::array<QRect, ElementCount + 1> m_elements{};

    int m_hot = NoElement;
    int m_focused = NoElement;
    QRect m_highlight;
    bool m_attention = false;
    int m_phase = -3;
    QBasicTimer m_animation;
    int m_status = 1;
    // The earliest due date of the schedule, read again on every update hint rather than on every repaint.
    QString m_earliestDue;
    QString m_forecastLine; // the next 30 days' expected maintenance

    QFrame* m_panel = nullptr;
    QComboBox* m_vehicleList = nullptr;
    QLabel* m_readingLabel = nullptr;
    QLineEdit* m_readingEdit = nullptr;
    QPushButton* m_updateButton = nullptr;
    qint32 m_shownVehicle = 0;
    bool m_changed = false;
    bool m_filling = false;
    std::function<bool(int)> m_formAvailable;
};
