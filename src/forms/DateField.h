#pragma once

#include <QIcon>
#include <QLineEdit>

// A date typed as mm/dd/yyyy with a spin control: the arrows beside it, the Up and Down keys and the
// mouse wheel step the date by one day. Text that is not a date steps from today. Typing is never
// corrected here; the form checks the text when it is saved.
class CDateField : public QLineEdit
{
    Q_OBJECT

public:
    explicit CDateField(QWidget* parent = nullptr);

    // Moves the date by that many days (nothing happens while read-only).
    void stepDays(int days);

    QSize sizeHint() const override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    QIcon arrowIcon(bool up) const;
};
