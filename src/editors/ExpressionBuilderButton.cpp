#include "ExpressionBuilderButton.h"

#include "ExpressionBuilderPresentationState.h"
#include "ExpressionBuilderView.h"

#include <QDialog>
#include <QIcon>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

ExpressionBuilderButton::ExpressionBuilderButton(TextBinding expression,
                                                 const ReportDocument &document,
                                                 ExpressionEngine *engine, QWidget *parent)
    : QToolButton(parent), expression_(std::move(expression)), document_(document), engine_(engine),
      presentation_(new ExpressionBuilderPresentationState(this))
{
    setIcon(QIcon::fromTheme(u"tools-wizard"_s));
    setProperty("symbolName", u"wand.and.stars"_s);
    setAutoRaise(true);
    setToolTip(tr("Expression Builder - pick fields, parameters, and common patterns instead of "
                  "typing Java"));
    connect(this, &QToolButton::clicked, presentation_,
            [this] { presentation_->setVisible(true); });
    connect(presentation_, &ExpressionBuilderPresentationState::isVisibleChanged, this,
            &ExpressionBuilderButton::presentationChanged);
}

ExpressionBuilderView *ExpressionBuilderButton::builder() const
{
    return builder_;
}

void ExpressionBuilderButton::presentationChanged()
{
    if (!presentation_->isVisible()) {
        if (sheet_) {
            sheet_->hide();
            sheet_->deleteLater();
        }
        return;
    }
    if (sheet_)
        return;
    auto *sheet = new QDialog(window());
    sheet->setWindowModality(Qt::WindowModal);
    sheet->setWindowTitle(tr("Expression Builder"));
    auto *layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(0, 0, 0, 0);
    // A fresh builder, test state and pending insertion at every opening.
    builder_ = new ExpressionBuilderView(
        expression_, document_, engine_, [this] { presentation_->setVisible(false); }, sheet);
    layout->addWidget(builder_);
    // Dismissed by the platform (Escape, the window's close button): the flag follows.
    connect(sheet, &QDialog::finished, presentation_, [this] { presentation_->setVisible(false); });
    sheet_ = sheet;
    sheet->resize(builder_->sizeHint());
    sheet->open();
}
