#pragma once

#include <QCalendarWidget>
#include <QIcon>
#include <QLineEdit>
#include <QPointer>

// A date typed as mm/dd/yyyy with a spin control: the arrows beside it, the Up and Down keys and the
// mouse wheel step the date by one day. Text that is not a date steps from today. A calendar button
// beside the arrows opens a month to pick the date from. Typing is never corrected here; the form checks
// the text when it is saved.
class CDateField : public QLineEdit
{
    Q_OBJECT

public:
    explicit CDateField(QWidget* parent = nullptr);

    // Moves the date by that many days (nothing happens while read-only).
    void stepDays(int days);

    // Opens the month of the date shown (else of today) under the field; nothing while read-only.
    void showCalendar();
    // The open calendar, if any.
    QCalendarWidget* calendar() const { return m_calendar; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    QIcon arrowIcon(bool up) const;
    QIcon calendarIcon() const;
    void pick(const QDate& date);

    QPointer<QCalendarWidget> m_calendar;
};
