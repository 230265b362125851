#include "ExpressionBuilderButton.h"

#include "ExpressionBuilderPresentationState.h"

#include <QIcon>

using namespace Qt::StringLiterals;

ExpressionBuilderButton::ExpressionBuilderButton(TextBinding expression,
                                                 const ReportDocument &document,
                                                 ExpressionEngine *engine, QWidget *parent)
    : QToolButton(parent), document_(document),
      presentation_(new ExpressionBuilderPresentationState(this)),
      sheet_(new ExpressionBuilderSheet(
          presentation_, this, std::move(expression), [this] { return document_; }, engine))
{
    setIcon(QIcon::fromTheme(u"tools-wizard"_s));
    setProperty("symbolName", u"wand.and.stars"_s);
    setAutoRaise(true);
    setToolTip(tr("Expression Builder - pick fields, parameters, and common patterns instead of "
                  "typing Java"));
    connect(this, &QToolButton::clicked, presentation_,
            [this] { presentation_->setVisible(true); });
}
