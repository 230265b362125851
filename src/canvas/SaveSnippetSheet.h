#pragma once

#include "document/DocumentStore.h"
#include "widgets/SheetDialog.h"

#include <QPointer>

class QLineEdit;
class QPushButton;
class SnippetLibrary;
class SnippetSheetState;

// The sheet in which the selected element is saved as a snippet under a name. It is shown
// while the sheet state says so; Save and Cancel close it, and Save reads the selection then.
class SaveSnippetSheet : public SheetDialog {
    Q_OBJECT

public:
    SaveSnippetSheet(SnippetSheetState &state, SnippetLibrary &library, QWidget *window);

    void setStore(DocumentStore *store) { store_ = store; }

    QLineEdit *nameField() const { return nameField_; }
    QPushButton *saveButton() const { return save_; }
    QPushButton *cancelButton() const { return cancel_; }

private:
    void saveSnippet();

    SnippetSheetState &state_;
    SnippetLibrary &library_;
    QPointer<DocumentStore> store_;
    QLineEdit *nameField_ = nullptr;
    QPushButton *save_ = nullptr;
    QPushButton *cancel_ = nullptr;
};
