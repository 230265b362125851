#pragma once

#include "ExpressionBuilderSheet.h"

#include <QToolButton>
#include <functional>
#include <memory>

class SidecarModel;

// The small button beside an expression field that opens the expression builder for that field
// as a window-modal sheet. Every opening starts afresh (no sample values, results or pending
// insertion of an earlier one); the builder edits the field's text in place, and closing the
// sheet undoes nothing.
class ExpressionBuilderButton : public QToolButton {
    Q_OBJECT
public:
    // The builder's test runs on the application's engine driver.
    ExpressionBuilderButton(TextBinding expression, const ReportDocument &document,
                            SidecarModel *sidecar, QWidget *parent = nullptr);
    // The same on any engine (tests hand in a scripted one).
    ExpressionBuilderButton(TextBinding expression, const ReportDocument &document,
                            ExpressionEngine *engine, QWidget *parent = nullptr);
    ~ExpressionBuilderButton() override;

    // The report whose declarations the next opening offers.
    void setDocument(const ReportDocument &document) { document_ = document; }
    // Or where the next opening reads that report, when it opens.
    void setDocumentSource(std::function<ReportDocument()> source)
    {
        documentSource_ = std::move(source);
    }

    ExpressionBuilderPresentationState *presentation() const { return presentation_; }
    // The builder while its sheet shows.
    ExpressionBuilderView *builder() const { return sheet_->builder(); }
    SheetDialog *sheet() const { return sheet_->dialog(); }

private:
    ExpressionBuilderButton(TextBinding expression, const ReportDocument &document,
                            std::unique_ptr<ExpressionEngine> ownEngine, ExpressionEngine *engine,
                            QWidget *parent);

    ReportDocument document_;
    std::function<ReportDocument()> documentSource_;
    std::unique_ptr<ExpressionEngine> ownEngine_;
    ExpressionBuilderPresentationState *presentation_;
    ExpressionBuilderSheet *sheet_;
};
