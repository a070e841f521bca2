#include "app/ui/VehicleFieldsDialog.h"

#include "app/ui/VelApp.h"
#include "fleet/VehicleList.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

constexpr int SlotCount = 10;

int fieldOf(const QListWidgetItem* item)
{
    return item->data(Qt::UserRole).toInt();
}

QListWidgetItem* newItem(int field)
{
    auto* item = new QListWidgetItem(VehicleList::fieldNames().value(field));
    item->setData(Qt::UserRole, field);
    return item;
}

// After an entry left a list: the entry now at its place, else the first, else nothing.
void selectAfterTaking(QListWidget* list, int row)
{
    if (list->count() == 0) {
        list->setCurrentRow(-1);
        list->clearSelection();
        return;
    }
    list->setCurrentRow(row < list->count() ? row : 0);
}

QPushButton* button(QWidget* parent, const char* name, const QString& text)
{
    auto* pushButton = new QPushButton(text, parent);
    pushButton->setObjectName(QLatin1String(name));
    pushButton->setAutoDefault(false);
    return pushButton;
}

} // namespace

CVehicleFieldsDialog::CVehicleFieldsDialog(const QList<int>& fieldSlots, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("vehicleFieldsDialog"));
    setWindowTitle(QStringLiteral("Vehicle Fields"));

    m_notSelected = new QListWidget(this);
    m_notSelected->setObjectName(QStringLiteral("fieldsNotSelected"));
    m_selected = new QListWidget(this);
    m_selected->setObjectName(QStringLiteral("fieldsSelected"));
    for (QListWidget* list : {m_notSelected, m_selected}) {
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->installEventFilter(this);
    }

    for (int field = 0; field < SlotCount; ++field)
        m_notSelected->addItem(newItem(field));
    for (int field : fieldSlots) {
        for (int row = 0; row < m_notSelected->count(); ++row) {
            if (fieldOf(m_notSelected->item(row)) == field) {
                m_selected->addItem(m_notSelected->takeItem(row));
                break;
            }
        }
    }

    QPushButton* add = button(this, "addButton", QStringLiteral("&Add >"));
    QPushButton* remove = button(this, "removeButton", QStringLiteral("< &Remove"));
    // An arrow says more than the letter alone; the letter stays as the button's key (Alt+U, Alt+D).
    QPushButton* up = button(this, "upButton", QStringLiteral("&u"));
    QPushButton* down = button(this, "downButton", QStringLiteral("&d"));
    up->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    down->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    up->setToolTip(QStringLiteral("Move the field up (Alt+U)"));
    down->setToolTip(QStringLiteral("Move the field down (Alt+D)"));
    up->setAccessibleName(QStringLiteral("Move up"));
    down->setAccessibleName(QStringLiteral("Move down"));
    connect(add, &QPushButton::clicked, this, &CVehicleFieldsDialog::addSelected);
    connect(remove, &QPushButton::clicked, this, &CVehicleFieldsDialog::removeSelected);
    connect(up, &QPushButton::clicked, this, &CVehicleFieldsDialog::moveUp);
    connect(down, &QPushButton::clicked, this, &CVehicleFieldsDialog::moveDown);
    connect(m_notSelected, &QListWidget::itemDoubleClicked, this, &CVehicleFieldsDialog::addSelected);
    connect(m_selected, &QListWidget::itemDoubleClicked, this, &CVehicleFieldsDialog::removeSelected);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* moveButtons = new QVBoxLayout;
    moveButtons->addStretch();
    moveButtons->addWidget(add);
    moveButtons->addWidget(remove);
    moveButtons->addStretch();
    auto* orderButtons = new QVBoxLayout;
    orderButtons->addStretch();
    orderButtons->addWidget(up);
    orderButtons->addWidget(down);
    orderButtons->addStretch();

    auto* grid = new QGridLayout(this);
    auto* text =
        new QLabel(QStringLiteral("Add the fields that you want displayed when listing Vehicles"), this);
    text->setWordWrap(true);
    grid->addWidget(text, 0, 0, 1, 4);
    grid->addWidget(new QLabel(QStringLiteral("Fields not selected"), this), 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("Fields selected"), this), 1, 2);
    grid->addWidget(m_notSelected, 2, 0);
    grid->addLayout(moveButtons, 2, 1);
    grid->addWidget(m_selected, 2, 2);
    grid->addLayout(orderButtons, 2, 3);
    grid->addWidget(buttons, 3, 0, 1, 4);
}

QList<int> CVehicleFieldsDialog::fieldSlots() const
{
    QList<int> fieldSlots;
    for (int slot = 0; slot < SlotCount; ++slot)
        fieldSlots << (slot < m_selected->count() ? fieldOf(m_selected->item(slot)) : -1);
    return fieldSlots;
}

void CVehicleFieldsDialog::addSelected()
{
    const int row = m_notSelected->currentRow();
    if (row < 0 || !m_notSelected->item(row)->isSelected())
        return;
    m_selected->addItem(m_notSelected->takeItem(row));
    m_selected->setCurrentRow(m_selected->count() - 1);
    selectAfterTaking(m_notSelected, row);
}

void CVehicleFieldsDialog::removeSelected()
{
    const int row = m_selected->currentRow();
    if (row < 0 || !m_selected->item(row)->isSelected())
        return;
    QListWidgetItem* item = m_selected->takeItem(row);
    // Back among the fields not shown, which stay in field order.
    int place = 0;
    while (place < m_notSelected->count() && fieldOf(m_notSelected->item(place)) < fieldOf(item))
        ++place;
    m_notSelected->insertItem(place, item);
    m_notSelected->setCurrentRow(place);
    selectAfterTaking(m_selected, row);
}

void CVehicleFieldsDialog::moveUp()
{
    const int row = m_selected->currentRow();
    if (row <= 0 || !m_selected->item(row)->isSelected())
        return;
    m_selected->insertItem(row - 1, m_selected->takeItem(row));
    m_selected->setCurrentRow(row - 1);
}

void CVehicleFieldsDialog::moveDown()
{
    const int row = m_selected->currentRow();
    if (row < 0 || row + 1 >= m_selected->count() || !m_selected->item(row)->isSelected())
        return;
    m_selected->insertItem(row + 1, m_selected->takeItem(row));
    m_selected->setCurrentRow(row + 1);
}

bool CVehicleFieldsDialog::eventFilter(QObject* watched, QEvent* event)
{
    // The space bar does in a list what a double-click does.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        if (watched == m_notSelected) {
            addSelected();
            return true;
        }
        if (watched == m_selected) {
            removeSelected();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool runVehicleFieldsDialog(CVelApp& app, QWidget* parent)
{
    CVehicleFieldsDialog dialog(app.vehicleColumns(), parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    app.settings().setVehicleFields(dialog.fieldSlots());
    app.loadVehicleColumns();
    return true;
}
