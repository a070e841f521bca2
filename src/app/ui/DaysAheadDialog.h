#pragma once

#include <QDialog>

class QSpinBox;
class Prompter;
class Settings;

// "Specify Days in Future": how many days ahead due maintenance is highlighted (Days, section Notify).
// OK writes the setting only when the number is from 1 to 30.
class CDaysAheadDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr int MinimumDays = 1;
    static constexpr int MaximumDays = 30;

    CDaysAheadDialog(Settings& settings, Prompter& prompter, QWidget* parent = nullptr);

    void accept() override;

private:
    Settings& m_settings;
    Prompter& m_prompter;
    QSpinBox* m_days;
};
