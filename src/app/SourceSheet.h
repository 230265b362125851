#pragma once

#include <QWidget>
#include <optional>

class CodeEditorView;
class Dialogs;
class QLabel;
class WorkspaceModel;

// The source sheet's content: the active report as JRXML in an editable, coloured editor. Apply
// reads the text back into the open report; a text that does not read shows the reader's error
// in red, whole, and leaves the report as it was. The text and the error stay until the next
// opening. Closing the sheet while its text differs from what was last loaded or applied asks
// first whether to apply it, discard it or stay.
class SourceSheet : public QWidget {
    Q_OBJECT

public:
    SourceSheet(WorkspaceModel &workspace, Dialogs &dialogs, QWidget *parent = nullptr);

    // Loads the active report's JRXML, clears the error and shows the sheet.
    void openFromActiveReport();
    // Reads the text into the active report as one undo step: unsaved, nothing selected.
    void apply();
    // Whether the sheet may close now: true when its text is the report's; otherwise the user
    // chooses to apply it (closing only when it applies), discard it, or cancel.
    bool confirmClose();

    QString text() const { return text_; }
    const std::optional<QString> &errorMessage() const { return errorMessage_; }
    CodeEditorView *editor() const { return editor_; }
    QLabel *errorLabel() const { return errorLabel_; }

private:
    void setErrorMessage(const std::optional<QString> &message);

    WorkspaceModel &workspace_;
    Dialogs &dialogs_;
    QString text_;
    // The text last loaded from the report or applied to it.
    QString appliedText_;
    std::optional<QString> errorMessage_;
    QLabel *errorLabel_;
    CodeEditorView *editor_;
};
