#pragma once

#include <QDialog>

// "About Velmora": the program icon, the name with its version and an OK button.
class AboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit AboutBox(QWidget* parent = nullptr);

    // Runs the box modally.
    static void run(QWidget* parent);
};
