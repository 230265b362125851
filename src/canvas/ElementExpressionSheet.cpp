#include "canvas/ElementExpressionSheet.h"

#include "document/DocumentStore.h"
#include "editors/ExpressionBuilderPresentationState.h"
#include "editors/ExpressionBuilderSheet.h"
#include "editors/ExpressionScope.h"

ElementExpressionSheet::ElementExpressionSheet(QObject *parent)
    : QObject(parent), presentation_(new ExpressionBuilderPresentationState(this))
{
}

ExpressionBuilderSheet *ElementExpressionSheet::sheet() const
{
    return sheet_;
}

void ElementExpressionSheet::open(DocumentStore *store, const QUuid &elementID, QWidget *owner,
                                  ExpressionEngine *engine)
{
    if (!store || !owner || presentation_->isVisible())
        return;
    if (!sheet_) {
        QPointer<DocumentStore> guarded(store);
        TextBinding expression{
            [guarded, elementID] {
                const std::optional<ReportElement> element =
                    guarded ? guarded->element(elementID) : std::nullopt;
                const auto *field = element ? element->kind.as<ElementKind::TextField>() : nullptr;
                return field ? field->expression : QString();
            },
            [guarded, elementID](const QString &text) {
                if (guarded)
                    guarded->updateElement(elementID, [&text](ReportElement &e) {
                        e.kind = ElementKind::TextField{text};
                    });
            }};
        // Owned here, so the sheet and an open dialog go with the element view.
        sheet_ = new ExpressionBuilderSheet(
            presentation_, owner, std::move(expression),
            [guarded, elementID] {
                return guarded ? expressions::scopeOfElement(guarded->document(), elementID)
                               : ReportDocument();
            },
            engine, this);
    }
    presentation_->setVisible(true);
}
