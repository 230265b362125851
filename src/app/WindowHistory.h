#pragma once

#include "model/ReportDocument.h"

#include <QObject>
#include <QPointer>
#include <optional>

class DocumentStore;
class HeldTyping;
class WorkspaceModel;

// Undo and Redo of the main window in one order: its buttons, its Edit menu and the keys typed in
// the fields that edit the report, in its inspector or in a sheet over it, all come here. The
// report's steps are the store's, typing that reaches the report as it is typed among them.
// Typing a field holds until it is committed (HeldTyping) is one step more, the last one done:
// Undo takes it back before anything else, and Redo brings it back, still held, once the
// report's steps undone after it are back. Typing anew, or any change of the report, ends what
// can be brought back. While a dialog keeps the window out of reach (the expression builder, an
// alert), neither is offered.
class WindowHistory : public QObject {
    Q_OBJECT

public:
    explicit WindowHistory(WorkspaceModel &workspace, QObject *parent = nullptr);

    // The main window whose Undo and Redo these are; without one, only the typing in a sheet
    // over it counts.
    void setWindow(QWidget *window);

    bool canUndo() const;
    bool canRedo() const;
    void undo();
    void redo();

signals:
    // canUndo() or canRedo() may have changed.
    void changed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The window whose field has the keys: the sheet that edits the report over the main
    // window, else the main window.
    QWidget *keysWindow() const;
    // The field that has the keys there, if it may hold typing.
    HeldTyping *focusField() const;
    // That field, while it holds typing.
    HeldTyping *typingField() const;
    // Whether the typing taken back last is the step Redo brings back.
    bool canBringBack() const;
    // Follows the typing of the field that has the keys.
    void followFocus();

    // Typing taken back, with the report as it stood then.
    struct TakenBack {
        QPointer<HeldTyping> field;
        QString typing;
        QString shown;
        QPointer<DocumentStore> store;
        ReportDocument document;
        qsizetype undoDepth = 0;
        qsizetype redoDepth = 0;
    };

    WorkspaceModel &workspace_;
    QPointer<QWidget> window_;
    // A modal dialog keeps the window out of reach.
    bool blocked_ = false;
    std::optional<TakenBack> takenBack_;
    QPointer<HeldTyping> followed_;
    QMetaObject::Connection typingConnection_;
    QMetaObject::Connection documentConnection_;
};
