#include "forms/ReadOnlyLook.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

void showAsReadOnly(QWidget* field, bool readOnly)
{
    if (auto* edit = qobject_cast<QLineEdit*>(field)) {
        edit->setReadOnly(readOnly);
        for (QAction* action : edit->actions())
            action->setEnabled(!readOnly);
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(field)) {
        memo->setReadOnly(readOnly);
    } else if (auto* rich = qobject_cast<QTextEdit*>(field)) {
        rich->setReadOnly(readOnly);
    }
    QPalette colours = field->palette();
    const QPalette standard = QApplication::palette(field);
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        colours.setColor(group, QPalette::Base,
                         standard.color(group, readOnly ? QPalette::Window : QPalette::Base));
    field->setPalette(colours);
}
