#pragma once

#include "TextBinding.h"
#include "model/ReportDocument.h"

#include <QPointer>
#include <QToolButton>

class ExpressionBuilderPresentationState;
class ExpressionBuilderView;
class ExpressionEngine;
#include <QDialog>

// The small button beside an expression field that opens the expression builder for that field
// as a window-modal sheet. Every opening starts afresh (no sample values, results or pending
// insertion of an earlier one); the builder edits the field's text in place, and closing the
// sheet undoes nothing.
class ExpressionBuilderButton : public QToolButton {
    Q_OBJECT
public:
    ExpressionBuilderButton(TextBinding expression, const ReportDocument &document,
                            ExpressionEngine *engine, QWidget *parent = nullptr);

    // The report whose declarations the next opening offers.
    void setDocument(const ReportDocument &document) { document_ = document; }

    ExpressionBuilderPresentationState *presentation() const { return presentation_; }
    // The builder while its sheet shows.
    ExpressionBuilderView *builder() const;
    QDialog *sheet() const { return sheet_; }

private:
    void presentationChanged();

    TextBinding expression_;
    ReportDocument document_;
    ExpressionEngine *engine_;
    ExpressionBuilderPresentationState *presentation_;
    QPointer<QDialog> sheet_;
    QPointer<ExpressionBuilderView> builder_;
};
