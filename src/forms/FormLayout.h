#pragma once

#include <QList>

class QBoxLayout;
class QComboBox;
class QDialog;
class QTreeView;
class QHBoxLayout;
class QLayout;
class QPushButton;
class QWidget;

// The one layout language of the forms and dialogs: margins and spacing come from the style, buttons keep
// their natural width and stand in groups, lists and text boxes take the space left over.
namespace FormLayout {

// The style's margins round a whole form, the same on every form whatever the window's width.
void setFormMargins(QLayout* layout, const QWidget* widget);
// The style's horizontal spacing between neighbouring controls (never so small that buttons touch).
int horizontalSpacing(const QWidget* widget);
// A row for a group of buttons, spaced as the style spaces controls.
QHBoxLayout* buttonRow(const QWidget* widget);
// Keeps the button at its natural width: a layout with room to spare does not stretch it.
void keepNaturalWidth(QPushButton* button);
// A group of buttons that lead to other forms: each as wide as the widest, so that the group reads as one.
void makeEqualWidths(const QList<QPushButton*>& buttons);

// Makes the dialog wide enough for its whole title beside the window's buttons.
void makeRoomForTitle(QDialog& dialog);
// Lets a drop-down list grow to its longest entry, and no wider, where the form has the room.
void fitToLongestEntry(QComboBox& box);
// Widens the columns before the last to their title and the rows they hold, so that no text is cut while
// the list has room; a column the user made wider keeps its width. The last column takes the rest.
void widenColumnsToContents(QTreeView& list);

} // namespace FormLayout
