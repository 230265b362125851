#pragma once

#include "model/ReportDocument.h"

#include <QObject>
#include <QPointer>
#include <optional>

class DocumentStore;
class MeasurementField;
class WorkspaceModel;

// Undo and Redo of the window in one order: its buttons, its Edit menu and the keys typed in a
// sheet that edits the report all come here. The report's steps are the store's, typing that
// reaches the report as it is typed among them. A length typed in such a sheet and not committed
// yet (Return or leaving the field commits it) is one step more, the last one done: Undo takes
// it back before anything else, and Redo brings it back, uncommitted, once the report's steps
// undone after it are back. Typing anew, or any change of the report, ends what can be brought
// back.
class SheetHistory : public QObject {
    Q_OBJECT

public:
    explicit SheetHistory(WorkspaceModel &workspace, QObject *parent = nullptr);

    bool canUndo() const;
    bool canRedo() const;
    void undo();
    void redo();

signals:
    // canUndo() or canRedo() may have changed.
    void changed();

private:
    // The length field that has the keys in the sheet over the window, if any.
    static MeasurementField *sheetField();
    // The field's typing not committed yet, if it has any.
    static MeasurementField *typingField();
    // Whether the typing taken back last is the step Redo brings back.
    bool canBringBack() const;
    // Follows the typing of the length field that has the keys in the sheet.
    void followFocus();

    // Typing taken back, with the report as it stood then.
    struct TakenBack {
        QPointer<MeasurementField> field;
        QString typing;
        QString shown;
        QPointer<DocumentStore> store;
        ReportDocument document;
        qsizetype undoDepth = 0;
        qsizetype redoDepth = 0;
    };

    WorkspaceModel &workspace_;
    std::optional<TakenBack> takenBack_;
    QPointer<MeasurementField> followed_;
    QMetaObject::Connection typingConnection_;
    QMetaObject::Connection documentConnection_;
};
