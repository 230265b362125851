#pragma once

#include "document/DocumentStore.h"
#include "widgets/OnDemand.h"

#include <QPointer>
#include <QWidget>

class AppSettings;
class QLabel;
class QToolButton;
class SaveSnippetSheet;
class SidecarModel;
class SnippetLibrary;
class SnippetSheetState;
class SnippetsMenu;

// The element palette: where new elements go, one button per insertable kind, the menu of
// composite fields and the snippets menu. It changes the report only through the active tab's
// store.
class PaletteView : public QWidget {
    Q_OBJECT

public:
    PaletteView(AppSettings &settings, SnippetLibrary &snippetLibrary, SidecarModel &sidecar,
                QWidget *parent = nullptr);

    void setStore(DocumentStore *store);

    QLabel *targetLabel() const { return targetLabel_; }
    // The element button that carries a symbol, or null.
    QToolButton *button(const QString &symbol) const;
    QToolButton *compositeButton() const { return composite_; }
    SnippetsMenu *snippetsMenu() const { return snippetsMenu_; }
    SnippetSheetState *snippetSheet() const { return snippetSheet_; }
    // The sheet that saves the selection as a snippet, built the first time it is needed.
    SaveSnippetSheet *saveSnippetSheet();

private:
    void buildCompositeMenu();
    void refreshTarget();

    AppSettings &settings_;
    SnippetLibrary &snippetLibrary_;
    SidecarModel &sidecar_;
    QPointer<DocumentStore> store_;
    QList<QMetaObject::Connection> storeConnections_;
    SnippetSheetState *snippetSheet_ = nullptr;

    QLabel *targetLabel_ = nullptr;
    QList<QToolButton *> buttons_;
    QToolButton *composite_ = nullptr;
    SnippetsMenu *snippetsMenu_ = nullptr;
    OnDemand<SaveSnippetSheet> sheet_;
};
