#pragma once

#include <QDialog>
#include <functional>

class Database;
class Prompter;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The Schedule Templates dialog: choose a template to schedule its services on the vehicle, or make the
// vehicle's schedule a new template; templates are renamed and deleted here too. After OK the caller reads
// usesTemplate() and templateId(); a new template has already been written with the vehicle's schedule.
class CScheduleTemplatesDlg : public QDialog
{
    Q_OBJECT

public:
    CScheduleTemplatesDlg(Database& db, Prompter& prompter, qint32 vehicleId, qint32 rememberedId,
                          QWidget* parent = nullptr);

    bool usesTemplate() const;
    qint32 templateId() const { return m_templateId; }
    // The name of the template chosen or made.
    QString templateName() const;

public Q_SLOTS:
    void accept() override;

private:
    void fillTemplates(qint32 keyToSelect);
    void choose(bool useTemplate);
    void deleteTemplate();
    void changeName();
    bool checkName(const QString& name, qint32 exceptId, QLineEdit* field);

    Database& m_db;
    Prompter& m_prompter;
    qint32 m_vehicleId;
    qint32 m_templateId = 0;
    QRadioButton* m_useRadio = nullptr;
    QRadioButton* m_makeRadio = nullptr;
    QComboBox* m_templates = nullptr;
    QPushButton* m_deleteButton = nullptr;
    QPushButton* m_changeButton = nullptr;
    QLineEdit* m_name = nullptr;
};

// The Change Schedule Template Name dialog; the name is checked by the caller's routine before it closes.
class CTemplateNameDlg : public QDialog
{
    Q_OBJECT

public:
    CTemplateNameDlg(const QString& name, std::function<bool(const QString&, QLineEdit*)> check,
                     QWidget* parent = nullptr);
    QString name() const;

public Q_SLOTS:
    void accept() override;

private:
    QString m_original;
    std::function<bool(const QString&, QLineEdit*)> m_check;
    QLineEdit* m_name = nullptr;
};
