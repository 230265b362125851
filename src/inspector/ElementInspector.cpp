#include "inspector/ElementInspector.h"

#include "editors/ExpressionScope.h"
#include "inspector/ElementPart.h"
#include "inspector/ElementParts.h"
#include "inspector/FrameCard.h"
#include "inspector/StyleCard.h"
#include "inspector/VisibilityCard.h"
#include "widgets/InspectorRows.h"
#include "widgets/SymbolIcons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

ElementInspector::ElementInspector(const InspectorContext &context, const ReportElement &element,
                                   const ReportDocument &document, QWidget *parent)
    : InspectorPage(parent), writer_(context.store, element),
      heading_(InspectorRows::heading({}, this))
{
    setObjectName(u"inspector.element"_s);
    heading_->setObjectName(u"inspector.heading"_s);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(12);
    column->addWidget(heading_);

    if (!document.styles.isEmpty())
        parts_.append(new StyleCard(writer_, this));
    parts_.append(new FrameCard(writer_, element, *context.settings, this));
    // The cards' expressions run in the dataset around the element.
    const ReportDocument scope = expressions::scopeOfElement(document, element.id);
    parts_.append(new VisibilityCard(writer_, scope, context.sidecar, this));
    for (const PlannedSection &planned : elementCardPlan(element.kind)) {
        if (ElementPart *part = makeElementPart(planned, element, writer_, context, this))
            parts_.append(part);
    }
    for (ElementPart *part : std::as_const(parts_))
        column->addWidget(part->widget());

    // Deletes the selection, which is this element while the inspector shows it.
    auto *remove = new QPushButton(SymbolIcons::icon(u"trash"_s), u"Delete Element"_s, this);
    remove->setObjectName(u"inspector.delete"_s);
    remove->setProperty(SymbolIcons::symbolProperty, u"trash"_s);
    remove->setProperty("destructive", true);
    connect(remove, &QPushButton::clicked, this, [this] {
        if (writer_.acceptsWrites())
            writer_.store()->deleteSelectedElement();
    });
    auto *bottom = new QHBoxLayout;
    bottom->setContentsMargins(0, 4, 0, 0);
    bottom->addWidget(remove);
    bottom->addStretch(1);
    column->addLayout(bottom);

    show(element, scope);
}

void ElementInspector::refresh(const DocumentStore &store, const InspectorChoice &choice)
{
    if (choice.element)
        show(*choice.element, expressions::scopeOfElement(store.document(), choice.element->id));
}

void ElementInspector::show(const ReportElement &element, const ReportDocument &document)
{
    heading_->setText(element.kind.displayName());
    for (ElementPart *part : std::as_const(parts_))
        part->refresh(element, document);
}
