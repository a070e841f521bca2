#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>

class Database;
class Prompter;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// The Select Services dialog: up to ten services for a maintenance entry or a job order, from the
// catalogue or typed in as unexpected services. The caller hands over the preselection and, after OK,
// reads the catalogue keys and the typed texts back in the order of the "Services selected" list.
class CSelectServicesDlg : public QDialog
{
    Q_OBJECT

public:
    // The most services one maintenance entry or job order holds.
    static constexpr int MostServices = 10;
    // Item data of a typed-in service.
    static constexpr int Unexpected = -1;

    CSelectServicesDlg(Database& db, Prompter& prompter, QWidget* parent = nullptr);

    // Keys no longer in the catalogue are left out.
    void setSelection(const QList<qint32>& serviceIds, const QStringList& unexpected);
    QList<qint32> serviceIds() const { return m_serviceIds; }
    QStringList unexpected() const { return m_unexpected; }

Q_SIGNALS:
    // The catalogue was changed through Modify Service List.
    void serviceListChanged();

public Q_SLOTS:
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fill();
    bool roomForOneMore();
    void moveAcross();
    void moveBack();
    bool addTyped();
    void modifyServiceList();

    Database& m_db;
    Prompter& m_prompter;
    QList<qint32> m_serviceIds;
    QStringList m_unexpected;
    QListWidget* m_available = nullptr;
    QListWidget* m_selected = nullptr;
    QLineEdit* m_typed = nullptr;
    QPushButton* m_modifyButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};
