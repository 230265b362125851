#pragma once

class QWidget;

// Whether keys belong to a text editor: a line edit, text edit, plain text edit, editable spin
// box or editable combo box, also one that sits on a graphics scene (where the focus widget is
// the graphics view), and a graphics text item that takes typing.
bool isTextInput(const QWidget *widget);
// The same for the application's focus widget.
bool isTextInputFocused();

// Marks a panel of a window whose fields edit the active report as they are typed in (the
// inspector): Undo and Redo typed in its text fields are the window's, as in a sheet that edits
// the report, since a field's own would write its text back into the report as a new step.
void markReportPanel(QWidget *panel);
// Whether the widget stands in such a panel of its window.
bool isInReportPanel(const QWidget *widget);
