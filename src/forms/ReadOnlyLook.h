#pragma once

class QWidget;

// The one read-only look of the forms (Browse) and the read-only dialogs: a text field or text box is
// made read-only and drawn on the window's colour, and the buttons inside a field (a date field's arrows
// and calendar) are disabled, so that the user sees at once that nothing can be typed or picked there.
// Its text stays selectable and copyable, unlike a disabled field's. A list keeps scrolling and only
// takes the look. False gives back the field's writable look.
void showAsReadOnly(QWidget* field, bool readOnly);
