#pragma once

#include "TextBinding.h"
#include "model/ReportDocument.h"

#include <QObject>
#include <QPointer>

class ExpressionBuilderPresentationState;
class ExpressionBuilderView;
class ExpressionEngine;
class SheetDialog;

// Shows the expression builder as a window-modal sheet while a presentation state is visible: a
// fresh builder (with a fresh test state and pending insertion) at every opening, on the report
// as it is then. Done, or the platform's dismissal, turns the state back off, which closes it.
// The sheet never outlives its presenter: when this object goes (with the button or element
// that owns it), an open sheet closes at once and its builder no longer reaches the presenter's
// text or engine.
class ExpressionBuilderSheet : public QObject {
    Q_OBJECT
public:
    // The dialog opens over `owner`'s window. `parent` owns this object (`owner` when none is
    // given); `presentation`, the binding and `engine` must stay valid while it lives.
    ExpressionBuilderSheet(ExpressionBuilderPresentationState *presentation, QWidget *owner,
                           TextBinding expression, std::function<ReportDocument()> document,
                           ExpressionEngine *engine, QObject *parent = nullptr);
    ~ExpressionBuilderSheet() override;

    ExpressionBuilderView *builder() const;
    SheetDialog *dialog() const;

private:
    void presentationChanged();
    // Hides the dialog and deletes it once control is back in the event loop (it may be the
    // dialog whose event is being handled); its builder is cut off from the presenter at once.
    void closeDialog();

    QPointer<ExpressionBuilderPresentationState> presentation_;
    QPointer<QWidget> owner_;
    TextBinding expression_;
    std::function<ReportDocument()> document_;
    ExpressionEngine *engine_;
    QPointer<SheetDialog> dialog_;
    QPointer<ExpressionBuilderView> builder_;
};
