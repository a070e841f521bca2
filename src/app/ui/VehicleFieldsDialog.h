#pragma once

#include <QDialog>
#include <QList>

class CVelApp;
class QListWidget;
class QWidget;

// Chooses the fields the vehicle lists show, in order: the left list holds the fields not shown (in field
// order), the right one the shown fields in the order of the list columns.
class CVehicleFieldsDialog : public QDialog
{
    Q_OBJECT

public:
    // fieldSlots: field numbers by slot, -1 for an empty slot.
    explicit CVehicleFieldsDialog(const QList<int>& fieldSlots, QWidget* parent = nullptr);

    // The ten slots as chosen: the right list's field numbers in order, -1 for the rest.
    QList<int> fieldSlots() const;

    void addSelected();
    void removeSelected();
    void moveUp();
    void moveDown();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QListWidget* m_notSelected = nullptr;
    QListWidget* m_selected = nullptr;
};

// Lets the user choose the fields the vehicle lists show. On OK stores them and reloads the application's
// vehicle columns, and returns true; Cancel changes nothing.
bool runVehicleFieldsDialog(CVelApp& app, QWidget* parent);
