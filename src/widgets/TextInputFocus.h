#pragma once

class QWidget;

// Whether keys belong to a text editor: a line edit, text edit, plain text edit, editable spin
// box or editable combo box, also one that sits on a graphics scene (where the focus widget is
// the graphics view), and a graphics text item that takes typing.
bool isTextInput(const QWidget *widget);
// The same for the application's focus widget.
bool isTextInputFocused();
