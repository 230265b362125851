#include "ExpressionBuilderSheet.h"

#include "ExpressionBuilderPresentationState.h"
#include "ExpressionBuilderView.h"
#include "widgets/SheetDialog.h"

#include <QVBoxLayout>

ExpressionBuilderSheet::ExpressionBuilderSheet(ExpressionBuilderPresentationState *presentation,
                                               QWidget *owner, TextBinding expression,
                                               std::function<ReportDocument()> document,
                                               ExpressionEngine *engine, QObject *parent)
    : QObject(parent ? parent : owner), presentation_(presentation), owner_(owner),
      expression_(std::move(expression)), document_(std::move(document)), engine_(engine)
{
    connect(presentation_, &ExpressionBuilderPresentationState::isVisibleChanged, this,
            &ExpressionBuilderSheet::presentationChanged);
}

ExpressionBuilderSheet::~ExpressionBuilderSheet()
{
    closeDialog();
}

SheetDialog *ExpressionBuilderSheet::dialog() const
{
    return dialog_;
}

ExpressionBuilderView *ExpressionBuilderSheet::builder() const
{
    return builder_;
}

void ExpressionBuilderSheet::closeDialog()
{
    SheetDialog *dialog = dialog_;
    dialog_ = nullptr;
    if (!dialog)
        return;
    disconnect(dialog, nullptr, this, nullptr);
    if (builder_)
        builder_->release();
    builder_ = nullptr;
    dialog->setShown(false);
    dialog->deleteLater();
}

void ExpressionBuilderSheet::presentationChanged()
{
    if (!presentation_)
        return;
    if (!presentation_->isVisible()) {
        closeDialog();
        return;
    }
    if (dialog_ || !owner_)
        return;
    // Every way the dialog reports back goes through this guard: the sheet may be gone.
    const auto dismiss = [self = QPointer(this)] {
        if (self && self->presentation_)
            self->presentation_->setVisible(false);
    };
    auto *dialog = new SheetDialog(owner_->window(), dismiss);
    dialog->setWindowTitle(tr("Expression Builder"));
    auto *layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    builder_ = new ExpressionBuilderView(expression_, document_ ? document_() : ReportDocument(),
                                         engine_, dismiss, dialog);
    layout->addWidget(builder_);
    connect(dialog, &QDialog::finished, this, dismiss);
    dialog_ = dialog;
    dialog->resize(builder_->sizeHint());
    dialog->setShown(true);
}
