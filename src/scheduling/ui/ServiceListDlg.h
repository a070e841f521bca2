#pragma once

#include <QDialog>

class Database;
class Prompter;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The Maintain Service List dialog: browse, edit, add and delete the services of the catalogue. A
// service that anything refers to is never deleted.
class CServiceListDlg : public QDialog
{
    Q_OBJECT

public:
    CServiceListDlg(Database& db, Prompter& prompter, QWidget* parent = nullptr);

    bool isAdding() const { return m_adding; }
    bool hasChanges() const { return m_changed; }
    // Key of the service shown (0 while adding).
    qint32 shownService() const;

Q_SIGNALS:
    // A service was saved or deleted: the other service lists should be read again.
    void serviceListChanged();

public Q_SLOTS:
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillServices(qint32 keyToSelect);
    void loadSelected();
    void setEditable(bool editable);
    void markDefault(QPushButton* button);
    bool resolveChanges();
    bool save();
    void onServiceChosen();
    void onNew();
    void onEdit();
    void onReset();
    void onDelete();
    void onEdited();
    void showError(const QString& description);

    Database& m_db;
    Prompter& m_prompter;
    QComboBox* m_services = nullptr;
    QLabel* m_servicesLabel = nullptr;
    QLineEdit* m_description = nullptr;
    QComboBox* m_types = nullptr;
    QLabel* m_addingLabel = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_newButton = nullptr;
    QPushButton* m_editButton = nullptr;
    QPushButton* m_saveButton = nullptr;
    QPushButton* m_resetButton = nullptr;
    QPushButton* m_deleteButton = nullptr;
    bool m_adding = false;
    bool m_changed = false;
    bool m_loading = false;
    int m_shownIndex = -1;
};
