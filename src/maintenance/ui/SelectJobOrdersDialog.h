#pragma once

#include <QDialog>

class Database;
class Settings;
class QTreeWidget;

// "Select Job Orders": the job orders the caller's filter lets through, any number of them chosen; OK
// gives the condition that restricts a report to the chosen ones.
class CSelectJobOrdersDialog : public QDialog
{
    Q_OBJECT

public:
    // filter: a condition in the program's filter dialect ("VehicleID = 3", "" for every job order).
    // Throws CdbException when the job orders cannot be read.
    CSelectJobOrdersDialog(Database& db, Settings& settings, const QString& filter,
                           QWidget* parent = nullptr);
    ~CSelectJobOrdersDialog() override;

    // "(JobOrderID IN (4, 9))" for the rows chosen, "" for none.
    QString selectionFilter() const;
    QTreeWidget* list() const { return m_list; }

private:
    Settings& m_settings;
    QTreeWidget* m_list = nullptr;
};
