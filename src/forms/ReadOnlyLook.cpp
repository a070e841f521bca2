#include "forms/ReadOnlyLook.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

void showAsReadOnly(QWidget* field, bool readOnly)
{
    QPalette colours = field->palette();
    const QPalette standard = QApplication::palette(field);
    colours.setColor(QPalette::Base, standard.color(readOnly ? QPalette::Window : QPalette::Base));
    field->setPalette(colours);
}
