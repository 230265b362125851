#pragma once

#include "document/DocumentStore.h"

#include <QPointer>
#include <QToolButton>

class SnippetLibrary;
class SnippetSheetState;

// The palette's snippets menu: "Save Selection as Snippet...", enabled while exactly one
// element is selected, and one submenu per saved snippet with "Insert" and "Delete".
class SnippetsMenu : public QToolButton {
    Q_OBJECT

public:
    SnippetsMenu(SnippetLibrary &library, SnippetSheetState &sheet, QWidget *parent = nullptr);

    void setStore(DocumentStore *store);
    // Builds the menu's items afresh from the library and the selection; runs when it opens.
    void rebuild();

private:
    SnippetLibrary &library_;
    SnippetSheetState &sheet_;
    QPointer<DocumentStore> store_;
};
