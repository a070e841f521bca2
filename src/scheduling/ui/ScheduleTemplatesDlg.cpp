#include "scheduling/ui/ScheduleTemplatesDlg.h"

#include "db/DbException.h"
#include "db/Prompter.h"
#include "forms/FormLayout.h"
#include "scheduling/ScheduleTemplates.h"
#include "scheduling/SchedulingMessages.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CScheduleTemplatesDlg::CScheduleTemplatesDlg(Database& db, Prompter& prompter, qint32 vehicleId,
                                             qint32 rememberedId, QWidget* parent)
    : QDialog(parent), m_db(db), m_prompter(prompter), m_vehicleId(vehicleId), m_templateId(rememberedId)
{
    setObjectName(QStringLiteral("scheduleTemplatesDialog"));
    setWindowTitle(QStringLiteral("Schedule Templates"));
    m_useRadio = new QRadioButton(QStringLiteral("&Use template for this schedule"), this);
    m_useRadio->setObjectName(QStringLiteral("useTemplateRadio"));
    m_templates = new QComboBox(this);
    m_templates->setObjectName(QStringLiteral("templateCombo"));
    m_templates->setMinimumContentsLength(30);
    m_deleteButton = new QPushButton(QStringLiteral("&Delete"), this);
    m_deleteButton->setObjectName(QStringLiteral("deleteTemplateButton"));
    m_changeButton = new QPushButton(QStringLiteral("C&hange"), this);
    m_changeButton->setObjectName(QStringLiteral("changeTemplateButton"));
    m_makeRadio = new QRadioButton(QStringLiteral("&Make this schedule a template"), this);
    m_makeRadio->setObjectName(QStringLiteral("makeTemplateRadio"));
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("templateName"));
    m_name->setMaxLength(ScheduleTemplates::NameLength);
    for (QPushButton* button : {m_deleteButton, m_changeButton})
        button->setAutoDefault(false);

    auto* grid = new QGridLayout;
    grid->addWidget(m_useRadio, 0, 0, 1, 3);
    grid->addWidget(m_templates, 1, 0);
    grid->addWidget(m_deleteButton, 1, 1);
    grid->addWidget(m_changeButton, 1, 2);
    grid->addWidget(m_makeRadio, 2, 0, 1, 3);
    auto* nameLabel = new QLabel(QStringLiteral("New template &name"), this);
    nameLabel->setBuddy(m_name);
    grid->addWidget(nameLabel, 3, 0, 1, 3);
    grid->addWidget(m_name, 4, 0, 1, 3);
    grid->setColumnMinimumWidth(0, 260);
    grid->setContentsMargins(20, 0, 0, 0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &CScheduleTemplatesDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CScheduleTemplatesDlg::reject);
    connect(m_useRadio, &QRadioButton::clicked, this, [this] { choose(true); });
    connect(m_makeRadio, &QRadioButton::clicked, this, [this] { choose(false); });
    connect(m_templates, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            m_templateId = m_templates->itemData(index).toInt();
    });
    connect(m_deleteButton, &QPushButton::clicked, this, &CScheduleTemplatesDlg::deleteTemplate);
    connect(m_changeButton, &QPushButton::clicked, this, &CScheduleTemplatesDlg::changeName);

    fillTemplates(rememberedId);
    choose(false);
}

bool CScheduleTemplatesDlg::usesTemplate() const
{
    return m_useRadio->isChecked();
}

void CScheduleTemplatesDlg::fillTemplates(qint32 keyToSelect)
{
    QList<ListEntry> entries;
    try {
        entries = ScheduleTemplates::names(m_db);
    } catch (const CdbException& error) {
        m_prompter.message(error.description(), Prompter::Icon::Exclamation);
    }
    m_templates->clear();
    for (const ListEntry& entry : entries)
        m_templates->addItem(entry.text, entry.key);
    m_templates->setCurrentIndex(indexToSelect(entries, keyToSelect));
    m_useRadio->setEnabled(!entries.isEmpty());
    if (entries.isEmpty() && m_useRadio->isChecked())
        choose(false);
}

void CScheduleTemplatesDlg::choose(bool useTemplate)
{
    (useTemplate ? m_useRadio : m_makeRadio)->setChecked(true);
    m_templates->setEnabled(useTemplate);
    m_deleteButton->setEnabled(useTemplate);
    m_changeButton->setEnabled(useTemplate);
    m_name->setEnabled(!useTemplate);
    (useTemplate ? static_cast<QWidget*>(m_templates) : m_name)->setFocus();
}

void CScheduleTemplatesDlg::deleteTemplate()
{
    if (m_templates->currentIndex() < 0 ||
        !m_prompter.yesNoDefaultNo(SchedulingMessages::DeleteTemplateQuestion))
        return;
    try {
        ScheduleTemplates::remove(m_db, m_templates->currentData().toInt());
    } catch (const CdbException& error) {
        m_prompter.message(error.description(), Prompter::Icon::Exclamation);
    }
    fillTemplates(0);
}

bool CScheduleTemplatesDlg::checkName(const QString& name, qint32 exceptId, QLineEdit* field)
{
    QString problem;
    try {
        if (name.trimmed().isEmpty())
            problem = SchedulingMessages::TemplateNameNeeded;
        else if (ScheduleTemplates::nameInUse(m_db, name, exceptId))
            problem = SchedulingMessages::TemplateNameUsed;
    } catch (const CdbException& error) {
        problem = error.description();
    }
    if (problem.isEmpty())
        return true;
    m_prompter.message(problem, Prompter::Icon::Exclamation);
    field->setFocus();
    return false;
}

void CScheduleTemplatesDlg::changeName()
{
    if (m_templates->currentIndex() < 0)
        return;
    const qint32 id = m_templates->currentData().toInt();
    CTemplateNameDlg dialog(
        m_templates->currentText(),
        [this, id](const QString& name, QLineEdit* field) { return checkName(name, id, field); }, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    try {
        ScheduleTemplates::rename(m_db, id, dialog.name());
    } catch (const CdbException& error) {
        m_prompter.message(error.description(), Prompter::Icon::Exclamation);
    }
    fillTemplates(id);
}

QString CScheduleTemplatesDlg::templateName() const
{
    return usesTemplate() ? m_templates->currentText() : m_name->text().trimmed();
}

void CScheduleTemplatesDlg::accept()
{
    if (m_useRadio->isChecked()) {
        if (m_templates->currentIndex() < 0)
            return;
        m_templateId = m_templates->currentData().toInt();
        QDialog::accept();
        return;
    }
    const QString name = m_name->text().trimmed();
    if (!checkName(name, 0, m_name))
        return;
    try {
        m_templateId = ScheduleTemplates::create(m_db, name, m_vehicleId);
    } catch (const CdbException& error) {
        m_prompter.message(error.description(), Prompter::Icon::Exclamation);
        return;
    }
    QDialog::accept();
}

CTemplateNameDlg::CTemplateNameDlg(const QString& name, std::function<bool(const QString&, QLineEdit*)> check,
                                   QWidget* parent)
    : QDialog(parent), m_original(name), m_check(std::move(check))
{
    setObjectName(QStringLiteral("templateNameDialog"));
    setWindowTitle(QStringLiteral("Change Schedule Template Name"));
    m_name = new QLineEdit(name, this);
    m_name->setObjectName(QStringLiteral("newTemplateName"));
    m_name->setMaxLength(ScheduleTemplates::NameLength);
    m_name->setMinimumWidth(m_name->fontMetrics().horizontalAdvance(QString(34, QLatin1Char('X'))));
    auto* label = new QLabel(QStringLiteral("New Schedule Template &Name"), this);
    label->setBuddy(m_name);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_name);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CTemplateNameDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CTemplateNameDlg::reject);
    FormLayout::makeRoomForTitle(*this);
}

QString CTemplateNameDlg::name() const
{
    return m_name->text().trimmed();
}

void CTemplateNameDlg::accept()
{
    // The template's own name needs no look-up.
    if (name() == m_original || m_check(name(), m_name))
        QDialog::accept();
}
