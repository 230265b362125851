#include "ExpressionBuilderSheet.h"

#include "ExpressionBuilderPresentationState.h"
#include "ExpressionBuilderView.h"
#include "widgets/SheetDialog.h"

#include <QVBoxLayout>

ExpressionBuilderSheet::ExpressionBuilderSheet(ExpressionBuilderPresentationState *presentation,
                                               QWidget *owner, TextBinding expression,
                                               std::function<ReportDocument()> document,
                                               ExpressionEngine *engine)
    : QObject(owner), presentation_(presentation), owner_(owner),
      expression_(std::move(expression)), document_(std::move(document)), engine_(engine)
{
    connect(presentation_, &ExpressionBuilderPresentationState::isVisibleChanged, this,
            &ExpressionBuilderSheet::presentationChanged);
}

SheetDialog *ExpressionBuilderSheet::dialog() const
{
    return dialog_;
}

ExpressionBuilderView *ExpressionBuilderSheet::builder() const
{
    return builder_;
}

void ExpressionBuilderSheet::presentationChanged()
{
    if (!presentation_->isVisible()) {
        if (dialog_) {
            dialog_->setShown(false);
            dialog_->deleteLater();
        }
        return;
    }
    if (dialog_)
        return;
    auto *dialog = new SheetDialog(owner_->window(), [this] { presentation_->setVisible(false); });
    dialog->setWindowTitle(tr("Expression Builder"));
    auto *layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    builder_ = new ExpressionBuilderView(
        expression_, document_ ? document_() : ReportDocument(), engine_,
        [this] { presentation_->setVisible(false); }, dialog);
    layout->addWidget(builder_);
    connect(dialog, &QDialog::finished, presentation_,
            [this] { presentation_->setVisible(false); });
    dialog_ = dialog;
    dialog->resize(builder_->sizeHint());
    dialog->setShown(true);
}
