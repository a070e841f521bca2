#include "scheduling/ui/ServiceListDlg.h"

#include "db/DbException.h"
#include "db/Messages.h"
#include "db/Prompter.h"
#include "forms/FormLayout.h"
#include "forms/ReadOnlyLook.h"
#include "scheduling/SchedulingMessages.h"
#include "scheduling/ServiceCatalogue.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

CServiceListDlg::CServiceListDlg(Database& db, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_db(db), m_prompter(prompter)
{
    setObjectName(QStringLiteral("serviceListDialog"));
    setWindowTitle(QStringLiteral("Maintain Service List"));

    m_services = new QComboBox(this);
    m_services->setObjectName(QStringLiteral("serviceCombo"));
    m_services->setMinimumContentsLength(36);
    m_servicesLabel = new QLabel(QStringLiteral("Service Desc."), this);
    m_servicesLabel->setBuddy(m_services);
    m_description = new QLineEdit(this);
    m_description->setObjectName(QStringLiteral("serviceDescription"));
    m_description->setMaxLength(ServiceCatalogue::DescriptionLength);
    m_description->installEventFilter(this);
    m_types = new QComboBox(this);
    m_types->setObjectName(QStringLiteral("serviceType"));
    m_addingLabel = new QLabel(SchedulingMessages::AddingNewService, this);
    m_addingLabel->setObjectName(QStringLiteral("addingLabel"));
    QFont bold = m_addingLabel->font();
    bold.setBold(true);
    m_addingLabel->setFont(bold);
    m_addingLabel->hide();

    auto* grid = new QGridLayout;
    grid->addWidget(m_servicesLabel, 0, 0);
    grid->addWidget(m_services, 0, 1);
    grid->addWidget(m_addingLabel, 0, 1);
    auto* descriptionLabel = new QLabel(QStringLiteral("&Description"), this);
    descriptionLabel->setBuddy(m_description);
    grid->addWidget(descriptionLabel, 1, 0);
    grid->addWidget(m_description, 1, 1);
    auto* typeLabel = new QLabel(QStringLiteral("Service &Type"), this);
    typeLabel->setBuddy(m_types);
    grid->addWidget(typeLabel, 2, 0);
    grid->addWidget(m_types, 2, 1);
    grid->setColumnStretch(1, 1);

    auto makeButton = [this](const QString& text, const char* name) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(QString::fromLatin1(name));
        FormLayout::keepNaturalWidth(button);
        return button;
    };
    m_newButton = makeButton(QStringLiteral("New"), "newButton");
    m_editButton = makeButton(QStringLiteral("Edit"), "editButton");
    m_saveButton = makeButton(QStringLiteral("Save"), "saveButton");
    m_resetButton = makeButton(QStringLiteral("Reset"), "resetButton");
    m_deleteButton = makeButton(QStringLiteral("Delete"), "deleteButton");
    // The commands on the service shown, then the dialog's own buttons in the platform's order.
    auto* commands = FormLayout::buttonRow(this);
    for (QPushButton* button : {m_newButton, m_editButton, m_saveButton, m_resetButton})
        commands->addWidget(button);
    commands->addSpacing(2 * commands->spacing());
    commands->addWidget(m_deleteButton);
    commands->addStretch(1);
    auto* dialogButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_okButton = dialogButtons->button(QDialogButtonBox::Ok);
    m_okButton->setObjectName(QStringLiteral("okButton"));
    dialogButtons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(commands);
    layout->addStretch(1);
    layout->addWidget(dialogButtons);

    connect(dialogButtons, &QDialogButtonBox::accepted, this, &CServiceListDlg::accept);
    connect(dialogButtons, &QDialogButtonBox::rejected, this, &CServiceListDlg::reject);
    connect(m_newButton, &QPushButton::clicked, this, &CServiceListDlg::onNew);
    connect(m_editButton, &QPushButton::clicked, this, &CServiceListDlg::onEdit);
    connect(m_saveButton, &QPushButton::clicked, this, [this] { save(); });
    connect(m_resetButton, &QPushButton::clicked, this, &CServiceListDlg::onReset);
    connect(m_deleteButton, &QPushButton::clicked, this, &CServiceListDlg::onDelete);
    connect(m_services, &QComboBox::currentIndexChanged, this, &CServiceListDlg::onServiceChosen);
    connect(m_description, &QLineEdit::textEdited, this, &CServiceListDlg::onEdited);
    connect(m_types, &QComboBox::activated, this, &CServiceListDlg::onEdited);

    try {
        m_loading = true;
        for (const ListEntry& type : ServiceCatalogue::types(m_db))
            m_types->addItem(type.text, type.key);
        m_loading = false;
        fillServices(0);
        loadSelected();
    } catch (const CdbException& error) {
        m_loading = false;
        showError(error.description());
    }
    m_services->setFocus();
}

qint32 CServiceListDlg::shownService() const
{
    return m_adding || m_services->currentIndex() < 0 ? 0 : m_services->currentData().toInt();
}

void CServiceListDlg::showError(const QString& description)
{
    m_prompter.message(description, Prompter::Icon::Exclamation);
}

void CServiceListDlg::fillServices(qint32 keyToSelect)
{
    const QList<ListEntry> entries = ServiceCatalogue::typedEntries(m_db);
    m_loading = true;
    m_services->clear();
    for (const ListEntry& entry : entries)
        m_services->addItem(entry.text, entry.key);
    m_services->setCurrentIndex(indexToSelect(entries, keyToSelect));
    m_loading = false;
    m_shownIndex = m_services->currentIndex();
}

void CServiceListDlg::loadSelected()
{
    m_adding = false;
    m_changed = false;
    m_addingLabel->hide();
    m_services->show();
    m_servicesLabel->show();
    m_shownIndex = m_services->currentIndex();
    const std::optional<ServiceCatalogue::Service> service =
        m_shownIndex < 0 ? std::nullopt : ServiceCatalogue::find(m_db, m_services->currentData().toInt());
    if (!service) {
        // Nothing to show: straight to adding the first service.
        onNew();
        return;
    }
    m_loading = true;
    m_description->setText(service->description);
    m_types->setCurrentIndex(m_types->findData(service->typeId));
    m_loading = false;
    setEditable(false);
    markDefault(m_editButton);
}

void CServiceListDlg::setEditable(bool editable)
{
    showAsReadOnly(m_description, !editable);
    m_types->setEnabled(editable);
}

void CServiceListDlg::markDefault(QPushButton* button)
{
    for (QPushButton* each : {m_newButton, m_editButton, m_saveButton})
        each->setDefault(each == button);
}

void CServiceListDlg::onEdited()
{
    if (!m_loading)
        m_changed = true;
}

bool CServiceListDlg::resolveChanges()
{
    if (!m_changed)
        return true;
    switch (m_prompter.ask(Messages::ApplyChangesQuestion, Prompter::Icon::Question,
                           Prompter::Buttons::YesNoCancel)) {
    case Prompter::Answer::Yes:
        return save();
    case Prompter::Answer::No:
        m_changed = false;
        return true;
    default:
        return false;
    }
}

void CServiceListDlg::onServiceChosen()
{
    if (m_loading)
        return;
    const int chosen = m_services->currentIndex();
    const qint32 chosenKey = m_services->currentData().toInt();
    if (m_changed) {
        // The question goes to the service being left.
        m_loading = true;
        m_services->setCurrentIndex(m_shownIndex);
        m_loading = false;
        if (!resolveChanges())
            return;
        m_loading = true;
        m_services->setCurrentIndex(m_services->findData(chosenKey) >= 0 ? m_services->findData(chosenKey)
                                                                         : chosen);
        m_loading = false;
    }
    try {
        loadSelected();
    } catch (const CdbException& error) {
        showError(error.description());
    }
}

void CServiceListDlg::onNew()
{
    if (!resolveChanges())
        return;
    m_adding = true;
    m_changed = false;
    m_loading = true;
    m_description->clear();
    m_types->setCurrentIndex(m_types->count() > 0 ? 0 : -1);
    m_loading = false;
    m_services->hide();
    m_servicesLabel->hide();
    m_addingLabel->show();
    setEditable(true);
    markDefault(m_saveButton);
    m_description->setFocus();
}

void CServiceListDlg::onEdit()
{
    setEditable(true);
    markDefault(m_saveButton);
    m_description->setFocus();
}

bool CServiceListDlg::save()
{
    if (!m_changed)
        return true;
    ServiceCatalogue::Service service{shownService(), m_description->text(), m_types->currentData().toInt()};
    try {
        const qint32 key = ServiceCatalogue::save(m_db, service);
        fillServices(key);
    } catch (const CdbException& error) {
        showError(error.description());
        return false;
    }
    m_adding = false;
    m_changed = false;
    m_addingLabel->hide();
    m_services->show();
    m_servicesLabel->show();
    setEditable(false);
    markDefault(m_newButton);
    Q_EMIT serviceListChanged();
    return true;
}

void CServiceListDlg::onReset()
{
    m_changed = false;
    try {
        loadSelected();
    } catch (const CdbException& error) {
        showError(error.description());
    }
}

void CServiceListDlg::onDelete()
{
    if (!m_prompter.yesNoDefaultNo(SchedulingMessages::DeleteServiceQuestion))
        return;
    if (m_adding) {
        onReset();
        return;
    }
    const qint32 key = shownService();
    if (key == 0)
        return;
    try {
        if (ServiceCatalogue::isInUse(m_db, key)) {
            m_prompter.message(SchedulingMessages::ServiceInUse, Prompter::Icon::Exclamation);
            return;
        }
        ServiceCatalogue::remove(m_db, key);
        fillServices(0);
        m_changed = false;
        loadSelected();
    } catch (const CdbException& error) {
        showError(error.description());
        return;
    }
    Q_EMIT serviceListChanged();
}

void CServiceListDlg::accept()
{
    if (save())
        QDialog::accept();
}

bool CServiceListDlg::eventFilter(QObject* watched, QEvent* event)
{
    // Entering the description selects it, so that typing replaces it.
    if (watched == m_description && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, m_description, &QLineEdit::selectAll);
    return QDialog::eventFilter(watched, event);
}
