#pragma once

class QWidget;

// Read-only text fields are drawn on the window's colour, so that the user sees at once that they
// cannot be typed into (a read-only field keeps its text selectable and copyable, unlike a disabled one).
void showAsReadOnly(QWidget* field, bool readOnly);
