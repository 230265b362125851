#include "inspector/ElementParts.h"

#include "inspector/BoxCards.h"
#include "inspector/ElementPart.h"
#include "inspector/EvaluationTimeControls.h"
#include "inspector/GraphicCards.h"
#include "inspector/InspectorTexts.h"
#include "inspector/SectionCard.h"
#include "inspector/SubreportListTableParts.h"
#include "inspector/TextCards.h"
#include "widgets/InspectorRows.h"

#include <QLabel>

namespace {

QString partObjectName(ElementSection section)
{
    return QStringLiteral("inspector.") + sectionName(section);
}

// A titled card whose content is not built yet: it keeps the card's place in the column.
class TitledCard : public SectionCard, public ElementPart {
public:
    TitledCard(const PlannedSection &planned, QWidget *parent) : SectionCard(planned.title, parent)
    {
        setObjectName(partObjectName(planned.section));
    }

    QWidget *widget() override { return this; }
    void refresh(const ReportElement &, const ReportDocument &) override {}
};

// The card of a kind kept as raw XML: one text that says what is kept and where to edit it.
class NoticeCard : public SectionCard, public ElementPart {
public:
    NoticeCard(const PlannedSection &planned, QWidget *parent)
        : SectionCard(planned.title, parent), text_(InspectorRows::secondaryText({}, this))
    {
        setObjectName(partObjectName(planned.section));
        text_->setObjectName(objectName() + QStringLiteral(".text"));
        addWidget(text_);
    }

    QWidget *widget() override { return this; }
    void refresh(const ReportElement &element, const ReportDocument &) override
    {
        text_->setText(InspectorTexts::rawKindNotice(element.kind).value_or(QString()));
    }

private:
    QLabel *text_;
};

// The note under a frame's cards: how many elements the frame holds directly.
class FrameNote : public QLabel, public ElementPart {
public:
    explicit FrameNote(QWidget *parent) : QLabel(parent)
    {
        setObjectName(partObjectName(ElementSection::frameNote));
        InspectorRows::makeSecondaryText(this);
    }

    QWidget *widget() override { return this; }
    void refresh(const ReportElement &element, const ReportDocument &) override
    {
        const ElementList *children = element.kind.children();
        setText(InspectorTexts::frameNote(children ? children->size() : 0));
    }
};

} // namespace

ElementPart *makeElementPart(const PlannedSection &planned, const ReportElement &element,
                             const ElementWriter &writer, const InspectorContext &context,
                             QWidget *parent)
{
    switch (planned.section) {
    case ElementSection::text:
        return new StaticTextCard(writer, planned.title, parent);
    case ElementSection::expression:
        return new TextFieldExpressionCard(writer, planned.title, context.sidecar, parent);
    case ElementSection::format:
        return new FormatCard(writer, planned.title, context.sidecar, parent);
    case ElementSection::font:
        return new FontCard(writer, planned.title, parent);
    case ElementSection::evaluation:
        return new EvaluationCard(writer, planned.title, parent);
    case ElementSection::imageExpression:
        return new ImageCard(writer, planned.title, context, parent);
    case ElementSection::breakType:
        return new BreakCard(writer, planned.title, parent);
    case ElementSection::shape:
        return new ShapeCard(writer, planned.title, !element.kind.is<ElementKind::Line>(), parent);
    case ElementSection::fill:
        return new FillCard(writer, planned.title, parent);
    case ElementSection::padding:
        return new PaddingCard(writer, planned.title, context.paddingSelection, parent);
    case ElementSection::borders:
        return new BordersCard(writer, planned.title, element, parent);
    case ElementSection::rawKindNotice:
        return new NoticeCard(planned, parent);
    case ElementSection::frameNote:
        return new FrameNote(parent);
    case ElementSection::subreportFile:
    case ElementSection::dataSource:
    case ElementSection::subreportParameters:
    case ElementSection::list:
    case ElementSection::datasetParameters:
    case ElementSection::listNote:
    case ElementSection::table:
    case ElementSection::columns:
    case ElementSection::noData:
        return makeComponentPart(planned, writer, context, parent);
    default:
        return new TitledCard(planned, parent);
    }
}
