#pragma once

class CFormView;
class QString;
class QWidget;

// What a form may ask of the window that shows it, without depending on that window's class: which
// forms it offers, a form it has already created, and the one way to another form.
class CFormHost
{
public:
    virtual bool hasForm(int formNumber) const = 0;
    virtual bool switchForm(int formNumber, int a = 0, int b = 0) = 0;
    virtual CFormView* createdForm(int formNumber) const = 0;
    // Tells the user in the status bar what a command has just done.
    virtual void showStatus(const QString& text) = 0;

    // The host of the window a widget sits in; nullptr for a widget shown on its own.
    static CFormHost* of(const QWidget* widget);

protected:
    ~CFormHost() = default;
};
