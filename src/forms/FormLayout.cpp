#include "forms/FormLayout.h"

#include <QComboBox>
#include <QDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QStyle>
#include <QStyleOption>
#include <QTreeView>

namespace FormLayout {

void setFormMargins(QLayout* layout, const QWidget* widget)
{
    // A form fills the window, so it takes the margins the style gives a window's content.
    QStyleOption option;
    option.initFrom(widget);
    option.state |= QStyle::State_Window;
    const QStyle* style = widget->style();
    layout->setContentsMargins(style->pixelMetric(QStyle::PM_LayoutLeftMargin, &option, widget),
                               style->pixelMetric(QStyle::PM_LayoutTopMargin, &option, widget),
                               style->pixelMetric(QStyle::PM_LayoutRightMargin, &option, widget),
                               style->pixelMetric(QStyle::PM_LayoutBottomMargin, &option, widget));
}

int horizontalSpacing(const QWidget* widget)
{
    const int spacing = widget->style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing, nullptr, widget);
    // Some styles leave spacing to each pair of controls (-1); buttons still need air between them.
    return spacing >= 0 ? spacing
                        : widget->style()->layoutSpacing(QSizePolicy::PushButton, QSizePolicy::PushButton,
                                                         Qt::Horizontal, nullptr, widget);
}

QHBoxLayout* buttonRow(const QWidget* widget)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(qMax(horizontalSpacing(widget), 6));
    return row;
}

void keepNaturalWidth(QPushButton* button)
{
    QSizePolicy policy = button->sizePolicy();
    policy.setHorizontalPolicy(QSizePolicy::Fixed);
    button->setSizePolicy(policy);
}

void makeEqualWidths(const QList<QPushButton*>& buttons)
{
    int widest = 0;
    for (QPushButton* button : buttons)
        widest = qMax(widest, button->sizeHint().width());
    for (QPushButton* button : buttons) {
        keepNaturalWidth(button);
        button->setFixedWidth(widest);
    }
}

void makeRoomForTitle(QDialog& dialog)
{
    // The desktop draws the title in its own (often bold) font, with the window's buttons beside it.
    QFont titleFont = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    titleFont.setBold(true);
    constexpr int WindowButtons = 160;
    const int needed = QFontMetrics(titleFont).horizontalAdvance(dialog.windowTitle()) + WindowButtons;
    dialog.setMinimumWidth(qMax(dialog.minimumWidth(), needed));
}

void fitToLongestEntry(QComboBox& box)
{
    const QFontMetrics metrics = box.fontMetrics();
    int longest = 0;
    for (int i = 0; i < box.count(); ++i)
        longest = qMax(longest, metrics.horizontalAdvance(box.itemText(i)));
    QStyleOptionComboBox option;
    option.initFrom(&box);
    const QSize needed = box.style()->sizeFromContents(QStyle::CT_ComboBox, &option,
                                                       QSize(longest + metrics.averageCharWidth(), 0), &box);
    box.setMaximumWidth(qMax(needed.width(), box.minimumSizeHint().width()));
}

void widenColumnsToContents(QTreeView& list)
{
    QHeaderView* header = list.header();
    for (int column = 0; column + 1 < header->count(); ++column) {
        if (header->isSectionHidden(column))
            continue;
        const int needed = qMax(static_cast<const QAbstractItemView&>(list).sizeHintForColumn(column),
                                header->sectionSizeHint(column));
        if (list.columnWidth(column) < needed)
            list.setColumnWidth(column, needed);
    }
}

} // namespace FormLayout
