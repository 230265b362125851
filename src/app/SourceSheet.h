#pragma once

#include <QWidget>
#include <optional>

class CodeEditorView;
class QLabel;
class WorkspaceModel;

// The source sheet's content: the active report as JRXML in an editable, coloured editor. Apply
// reads the text back into the open report; a text that does not read shows the reader's error
// in red and leaves the report as it was. The text and the error stay until the next opening.
class SourceSheet : public QWidget {
    Q_OBJECT

public:
    explicit SourceSheet(WorkspaceModel &workspace, QWidget *parent = nullptr);

    // Loads the active report's JRXML, clears the error and shows the sheet.
    void openFromActiveReport();
    // Reads the text into the active report as one undo step: unsaved, nothing selected.
    void apply();

    QString text() const { return text_; }
    const std::optional<QString> &errorMessage() const { return errorMessage_; }
    CodeEditorView *editor() const { return editor_; }
    QLabel *errorLabel() const { return errorLabel_; }

private:
    void setErrorMessage(const std::optional<QString> &message);

    WorkspaceModel &workspace_;
    QString text_;
    std::optional<QString> errorMessage_;
    QLabel *errorLabel_;
    CodeEditorView *editor_;
};
