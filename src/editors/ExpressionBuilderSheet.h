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
class ExpressionBuilderSheet : public QObject {
    Q_OBJECT
public:
    ExpressionBuilderSheet(ExpressionBuilderPresentationState *presentation, QWidget *owner,
                           TextBinding expression, std::function<ReportDocument()> document,
                           ExpressionEngine *engine);

    ExpressionBuilderView *builder() const;
    SheetDialog *dialog() const;

private:
    void presentationChanged();

    ExpressionBuilderPresentationState *presentation_;
    QWidget *owner_;
    TextBinding expression_;
    std::function<ReportDocument()> document_;
    ExpressionEngine *engine_;
    QPointer<SheetDialog> dialog_;
    QPointer<ExpressionBuilderView> builder_;
};
