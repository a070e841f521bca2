#include "maintenance/ui/SelectJobOrdersDialog.h"

#include "context/Settings.h"
#include "forms/FormLayout.h"
#include "maintenance/JobOrderRecord.h"

#include <QDialogButtonBox>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const char* const WidthKeys[] = {"j20", "j21", "j22", "j23"};

} // namespace

CSelectJobOrdersDialog::CSelectJobOrdersDialog(Database& db, Settings& settings, const QString& filter,
                                               QWidget* parent)
    : QDialog(parent), m_settings(settings)
{
    setWindowTitle(QStringLiteral("Select Job Orders"));
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("jobOrderList"));
    m_list->setRootIsDecorated(false);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setHeaderLabels({QStringLiteral("Date"), QStringLiteral("JCN"),
                             QStringLiteral("Brief Description"), QStringLiteral("Services List")});
    for (int i = 0; i < 4; ++i)
        m_list->setColumnWidth(i, settings.integer(QStringLiteral("Settings"), QLatin1String(WidthKeys[i])));
    const QColor grey = palette().color(QPalette::Disabled, QPalette::Text);
    for (const JobOrderListRow& order : JobOrders::list(db, 0, false, filter)) {
        auto* item = new QTreeWidgetItem(m_list, {order.date, order.jcn, order.description, order.services});
        item->setData(0, Qt::UserRole, order.jobOrderId);
        if (!order.open)
            for (int i = 0; i < 4; ++i)
                item->setForeground(i, grey);
    }
    FormLayout::widenColumnsToContents(*m_list);
    // Room for every column, up to a sensible width; the last column's text may then scroll.
    int width = 40;
    for (int i = 0; i < 4; ++i)
        width += i < 3 ? m_list->columnWidth(i)
                       : std::max(m_list->columnWidth(i),
                                  static_cast<QAbstractItemView*>(m_list)->sizeHintForColumn(i));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(std::min(width, 1000), 360);
}

CSelectJobOrdersDialog::~CSelectJobOrdersDialog()
{
    for (int i = 0; i < 4; ++i)
        m_settings.setInteger(QStringLiteral("Settings"), QLatin1String(WidthKeys[i]),
                              m_list->columnWidth(i));
}

QString CSelectJobOrdersDialog::selectionFilter() const
{
    QList<qint32> keys;
    // In list order, whatever order the rows were picked in.
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        if (m_list->topLevelItem(i)->isSelected())
            keys.append(m_list->topLevelItem(i)->data(0, Qt::UserRole).toInt());
    return JobOrders::selectionFilter(keys);
}
