#include "scheduling/ui/SelectServicesDlg.h"

#include "db/DbException.h"
#include "db/Prompter.h"
#include "scheduling/SchedulingMessages.h"
#include "scheduling/ServiceCatalogue.h"
#include "scheduling/ui/ServiceListDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

qint32 keyOf(const QListWidgetItem* item)
{
    return item->data(Qt::UserRole).toInt();
}

QListWidgetItem* makeItem(const QString& text, qint32 key)
{
    auto* item = new QListWidgetItem(text);
    item->setData(Qt::UserRole, key);
    return item;
}

// After taking out the entry at row, the entry now at that place, or the first.
void selectAfterRemoval(QListWidget* list, int row)
{
    if (list->count() == 0)
        return;
    list->setCurrentRow(row < list->count() ? row : 0);
}

} // namespace

CSelectServicesDlg::CSelectServicesDlg(Database& db, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_db(db), m_prompter(prompter)
{
    setObjectName(QStringLiteral("selectServicesDialog"));
    setWindowTitle(QStringLiteral("Select Services"));

    m_available = new QListWidget(this);
    m_available->setObjectName(QStringLiteral("availableServices"));
    m_selected = new QListWidget(this);
    m_selected->setObjectName(QStringLiteral("selectedServices"));
    for (QListWidget* list : {m_available, m_selected}) {
        list->setMinimumWidth(220);
        list->installEventFilter(this);
    }
    auto* acrossButton = new QPushButton(QStringLiteral(">"), this);
    acrossButton->setObjectName(QStringLiteral("selectButton"));
    auto* backButton = new QPushButton(QStringLiteral("<"), this);
    backButton->setObjectName(QStringLiteral("deselectButton"));
    m_typed = new QLineEdit(this);
    m_typed->setObjectName(QStringLiteral("unexpectedService"));
    m_typed->setMaxLength(ServiceCatalogue::DescriptionLength);
    auto* addButton = new QPushButton(QStringLiteral("&Add"), this);
    addButton->setObjectName(QStringLiteral("addButton"));
    m_modifyButton = new QPushButton(QStringLiteral("&Modify Service List"), this);
    m_modifyButton->setObjectName(QStringLiteral("modifyServiceListButton"));
    // The dialog's buttons in the platform's order; Modify Service List stands with them as an action.
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->addButton(m_modifyButton, QDialogButtonBox::ActionRole);
    QPushButton* okButton = buttons->button(QDialogButtonBox::Ok);
    okButton->setObjectName(QStringLiteral("okButton"));
    m_cancelButton = buttons->button(QDialogButtonBox::Cancel);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    // Enter anywhere but on Modify Service List and Cancel means OK.
    for (QPushButton* button : {acrossButton, backButton, addButton})
        button->setAutoDefault(false);
    okButton->setDefault(true);

    auto* grid = new QGridLayout;
    auto* availableLabel = new QLabel(QStringLiteral("Services not selected"), this);
    availableLabel->setBuddy(m_available);
    auto* selectedLabel = new QLabel(QStringLiteral("Services selected"), this);
    selectedLabel->setBuddy(m_selected);
    grid->addWidget(availableLabel, 0, 0);
    grid->addWidget(selectedLabel, 0, 2);
    grid->addWidget(m_available, 1, 0);
    auto* moveButtons = new QVBoxLayout;
    moveButtons->addStretch(1);
    moveButtons->addWidget(acrossButton);
    moveButtons->addWidget(backButton);
    moveButtons->addStretch(1);
    grid->addLayout(moveButtons, 1, 1);
    grid->addWidget(m_selected, 1, 2);
    auto* typedLabel = new QLabel(QStringLiteral("Unexpected Maintenance"), this);
    typedLabel->setBuddy(m_typed);
    grid->addWidget(typedLabel, 2, 2);
    auto* typedRow = new QHBoxLayout;
    typedRow->addWidget(m_typed, 1);
    typedRow->addWidget(addButton);
    grid->addLayout(typedRow, 3, 2);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);

    connect(acrossButton, &QPushButton::clicked, this, &CSelectServicesDlg::moveAcross);
    connect(backButton, &QPushButton::clicked, this, &CSelectServicesDlg::moveBack);
    connect(m_available, &QListWidget::itemDoubleClicked, this, &CSelectServicesDlg::moveAcross);
    connect(m_selected, &QListWidget::itemDoubleClicked, this, &CSelectServicesDlg::moveBack);
    connect(addButton, &QPushButton::clicked, this, &CSelectServicesDlg::addTyped);
    connect(m_modifyButton, &QPushButton::clicked, this, &CSelectServicesDlg::modifyServiceList);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSelectServicesDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSelectServicesDlg::reject);
    fill();
}

void CSelectServicesDlg::setSelection(const QList<qint32>& serviceIds, const QStringList& unexpected)
{
    m_serviceIds = serviceIds;
    m_unexpected = unexpected;
    fill();
}

void CSelectServicesDlg::fill()
{
    m_available->clear();
    m_selected->clear();
    try {
        for (const ListEntry& entry : ServiceCatalogue::descriptions(m_db))
            m_available->addItem(makeItem(entry.text, entry.key));
    } catch (const CdbException& error) {
        m_prompter.message(error.description(), Prompter::Icon::Exclamation);
    }
    for (qint32 key : std::as_const(m_serviceIds)) {
        for (int row = 0; row < m_available->count(); ++row) {
            if (keyOf(m_available->item(row)) == key) {
                m_selected->addItem(m_available->takeItem(row));
                break;
            }
        }
    }
    for (const QString& text : std::as_const(m_unexpected))
        m_selected->addItem(makeItem(text, Unexpected));
    if (m_available->count() > 0)
        m_available->setCurrentRow(0);
    if (m_selected->count() > 0)
        m_selected->setCurrentRow(m_selected->count() - 1);
}

bool CSelectServicesDlg::roomForOneMore()
{
    if (m_selected->count() < MostServices)
        return true;
    m_selected->setFocus();
    m_prompter.message(SchedulingMessages::TenServicesAtMost, Prompter::Icon::Exclamation);
    return false;
}

void CSelectServicesDlg::moveAcross()
{
    const int row = m_available->currentRow();
    if (row < 0 || !roomForOneMore())
        return;
    m_selected->addItem(m_available->takeItem(row));
    m_selected->setCurrentRow(m_selected->count() - 1);
    selectAfterRemoval(m_available, row);
}

void CSelectServicesDlg::moveBack()
{
    const int row = m_selected->currentRow();
    if (row < 0)
        return;
    QListWidgetItem* item = m_selected->takeItem(row);
    if (keyOf(item) == Unexpected) {
        delete item;
    } else {
        // In front of the first entry with a greater key, as the list was first filled.
        int at = 0;
        while (at < m_available->count() && keyOf(m_available->item(at)) <= keyOf(item))
            ++at;
        m_available->insertItem(at, item);
        m_available->setCurrentRow(at);
    }
    selectAfterRemoval(m_selected, row);
}

bool CSelectServicesDlg::addTyped()
{
    const QString text = m_typed->text().trimmed();
    if (text.isEmpty())
        return true;
    if (!roomForOneMore())
        return false;
    m_selected->addItem(makeItem(text, Unexpected));
    m_selected->setCurrentRow(m_selected->count() - 1);
    m_typed->clear();
    return true;
}

void CSelectServicesDlg::modifyServiceList()
{
    if (m_selected->count() > 0 && !m_prompter.yesNo(SchedulingMessages::ResetSelectedServicesQuestion))
        return;
    CServiceListDlg dialog(m_db, m_prompter, this);
    connect(&dialog, &CServiceListDlg::serviceListChanged, this, &CSelectServicesDlg::serviceListChanged);
    if (dialog.exec() == QDialog::Accepted)
        fill();
}

void CSelectServicesDlg::accept()
{
    // A typed service that no longer fits stays in its box rather than being dropped.
    if (!addTyped())
        return;
    m_serviceIds.clear();
    m_unexpected.clear();
    for (int row = 0; row < m_selected->count(); ++row) {
        const QListWidgetItem* item = m_selected->item(row);
        if (keyOf(item) == Unexpected)
            m_unexpected << item->text();
        else
            m_serviceIds << keyOf(item);
    }
    QDialog::accept();
}

bool CSelectServicesDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        if (watched == m_available) {
            moveAcross();
            return true;
        }
        if (watched == m_selected) {
            moveBack();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
