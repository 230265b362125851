#pragma once

#include "inspector/InspectorDispatch.h"
#include "inspector/InspectorPage.h"

#include <QPointer>
#include <QScrollArea>
#include <optional>

class QVBoxLayout;

// The property panel of the main window's right-hand column. It shows one inspector for the
// active tab's selection (several elements, one element, a field or parameter, the report, or
// else the active band) in a scrolling column, and follows every change the store publishes:
// when what the inspector was built for changes, the inspector is built anew; otherwise its
// widgets show the new values in place. It keeps no copy of the report.
class InspectorView : public QScrollArea {
    Q_OBJECT

public:
    // The image import is the window's own; it may come later (setImageImport).
    InspectorView(AppSettings &settings, SidecarModel *sidecar,
                  ImageImportCoordinator *imageImport = nullptr, QWidget *parent = nullptr);

    // The active tab's store; none shows an empty panel.
    void setStore(DocumentStore *store);
    DocumentStore *store() const { return store_; }
    void setImageImport(ImageImportCoordinator *imageImport);
    // The window's alerts, for the cards' questions.
    void setDialogs(Dialogs *dialogs) { dialogs_ = dialogs; }

    // The inspector shown now, and what it was built for.
    InspectorPage *inspector() const { return page_; }
    std::optional<InspectorKind> shownKind() const;
    BoxSideSelectionState *paddingSelection() const { return paddingSelection_; }

protected:
    void changeEvent(QEvent *event) override;

private:
    void applyColumnPalette();
    void refresh();
    void refreshOnce();
    InspectorPage *build(const InspectorChoice &choice);
    void dropInspector();

    AppSettings &settings_;
    QPointer<SidecarModel> sidecar_;
    ImageImportCoordinator *imageImport_;
    Dialogs *dialogs_ = nullptr;
    QPointer<DocumentStore> store_;
    QList<QMetaObject::Connection> storeConnections_;
    // The padding sides chosen, for every element the view shows.
    BoxSideSelectionState *paddingSelection_;
    QWidget *column_;
    QVBoxLayout *columnLayout_;
    InspectorPage *page_ = nullptr;
    std::optional<InspectorStructure> structure_;
    // A write made while the panel refreshes (a field's commit as it loses the focus) asks for
    // one more refresh instead of re-entering.
    bool isRefreshing_ = false;
    bool refreshAgain_ = false;
};
