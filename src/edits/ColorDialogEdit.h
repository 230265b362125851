#pragma once

#include "edits/InspectorEdits.h"

#include <functional>
#include <optional>

// The writes of one colour dialog over one element. While the dialog is open, every colour the
// user passes through joins one undo step of the element, however long the user takes. Cancel
// puts back what the dialog changed as it was when the dialog opened; when that leaves the report
// as it was then, the dialog leaves no undo step and no dirty mark behind.
class ColorDialogEdit {
public:
    // Puts back into the element as it is now (`now`) the colours it had when the dialog opened
    // (`opened`), and nothing else.
    using Restore = std::function<void(ReportElement &now, const ReportElement &opened)>;

    ColorDialogEdit(const ElementWriter &writer, Restore restore);
    ~ColorDialogEdit();
    ColorDialogEdit(const ColorDialogEdit &) = delete;
    ColorDialogEdit &operator=(const ColorDialogEdit &) = delete;

    void opened();
    void accepted();
    void cancelled();

private:
    void letGo();

    ElementWriter writer_;
    Restore restore_;
    struct Opening {
        ReportElement element;
        ReportDocument document;
        bool wasDirty = false;
        QList<ReportDocument> undoStack;
    };
    std::optional<Opening> opening_;
};
