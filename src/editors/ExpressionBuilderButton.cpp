#include "ExpressionBuilderButton.h"

#include "ExpressionBuilderPresentationState.h"
#include "SidecarExpressionEngine.h"
#include "widgets/SymbolIcons.h"

using namespace Qt::StringLiterals;

ExpressionBuilderButton::ExpressionBuilderButton(TextBinding expression,
                                                 const ReportDocument &document,
                                                 SidecarModel *sidecar, QWidget *parent)
    : ExpressionBuilderButton(
          std::move(expression), document,
          sidecar ? std::make_unique<SidecarExpressionEngine>(*sidecar) : nullptr, nullptr, parent)
{
}

ExpressionBuilderButton::ExpressionBuilderButton(TextBinding expression,
                                                 const ReportDocument &document,
                                                 ExpressionEngine *engine, QWidget *parent)
    : ExpressionBuilderButton(std::move(expression), document, nullptr, engine, parent)
{
}

ExpressionBuilderButton::~ExpressionBuilderButton()
{
    // An open sheet closes now, before the engine its builder uses goes.
    delete sheet_;
}

ExpressionBuilderButton::ExpressionBuilderButton(TextBinding expression,
                                                 const ReportDocument &document,
                                                 std::unique_ptr<ExpressionEngine> ownEngine,
                                                 ExpressionEngine *engine, QWidget *parent)
    : QToolButton(parent), document_(document), ownEngine_(std::move(ownEngine)),
      presentation_(new ExpressionBuilderPresentationState(this)),
      sheet_(new ExpressionBuilderSheet(
          presentation_, this, std::move(expression),
          [this] { return documentSource_ ? documentSource_() : document_; },
          ownEngine_ ? ownEngine_.get() : engine))
{
    setIcon(SymbolIcons::icon(u"wand.and.stars"_s));
    setProperty(SymbolIcons::symbolProperty, u"wand.and.stars"_s);
    setAutoRaise(true);
    setToolTip(tr("Expression Builder - pick fields, parameters, and common patterns instead of "
                  "typing Java"));
    connect(this, &QToolButton::clicked, presentation_,
            [this] { presentation_->setVisible(true); });
}
