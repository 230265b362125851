#pragma once

#include "ExpressionBuilderSheet.h"

#include <QToolButton>

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
    ExpressionBuilderView *builder() const { return sheet_->builder(); }
    QDialog *sheet() const { return sheet_->dialog(); }

private:
    ReportDocument document_;
    ExpressionBuilderPresentationState *presentation_;
    ExpressionBuilderSheet *sheet_;
};
