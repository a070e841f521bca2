#pragma once

#include "forms/FormView.h"

#include <QList>
#include <functional>

class QGridLayout;
class QPushButton;

// The home page (form 101): the program's name and one button per form the user can go to. Buttons for
// forms that are not available are not shown.
class CHomePage : public CFormView
{
    Q_OBJECT

public:
    CHomePage(CVelApp& app, CVelDoc& doc, QWidget* parent = nullptr);

    // Tells the page which forms can be shown; asked again each time the page is entered.
    void setFormAvailable(std::function<bool(int)> available);

    void enter(int a, int b) override;

private:
    struct Destination
    {
        int formNumber;
        QPushButton* button;
    };
    void refreshButtons();

    std::function<bool(int)> m_available;
    QList<Destination> m_destinations;
    QGridLayout* m_grid = nullptr;
};
