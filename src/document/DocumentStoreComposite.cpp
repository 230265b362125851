#include "document/DocumentStore.h"

#include "document/DatasetRuns.h"
#include "document/ReportReferences.h"
#include "model/JrxmlCodec.h"
#include "model/PageLayout.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double columnGap = 4;
constexpr double generatedHeight = 20;

// One text field of a composite preset, 20 high at y 10 in its band.
struct CompositeField {
    QString expression;
    double x;
    double width;
    bool atReportTime = false;
};

QList<CompositeField> compositeFields(CompositeElement composite)
{
    const QString pageNumber = QStringLiteral("\"\" + $V{PAGE_NUMBER}");
    switch (composite) {
    case CompositeElement::pageNumber:
        return {{pageNumber, 10, 60}};
    case CompositeElement::totalPages:
        // The page number evaluated when the engine's page counter holds the final count.
        return {{pageNumber, 10, 60, true}};
    case CompositeElement::pageXofY:
        return {{QStringLiteral("\"Page \" + $V{PAGE_NUMBER} + \" of \""), 10, 80},
                {pageNumber, 90, 40, true}};
    case CompositeElement::currentDate:
        return {{QStringLiteral("new java.text.SimpleDateFormat(\"MM/dd/yyyy\")"
                                ".format(new java.util.Date())"),
                 10, 100}};
    case CompositeElement::time:
        return {{QStringLiteral("new java.text.SimpleDateFormat(\"HH:mm:ss\")"
                                ".format(new java.util.Date())"),
                 10, 80}};
    }
    return {};
}

} // namespace

ReportElement DocumentStore::newElement(ElementKind kind, double x, double y, double width,
                                        double height)
{
    ReportElement element;
    element.id = newId();
    element.kind = std::move(kind);
    element.x = x;
    element.y = y;
    element.width = width;
    element.height = height;
    return element;
}

void DocumentStore::insertComposite(CompositeElement composite, const BandTarget &target)
{
    // One undo step per element: page X of Y costs two, both in the same band.
    const BandTarget destination = insertionTarget(target);
    for (const CompositeField &field : compositeFields(composite)) {
        ReportElement element = newElement(ElementKind::TextField{field.expression}, field.x, 10,
                                           field.width, generatedHeight);
        if (field.atReportTime)
            element.evaluationTime = QStringLiteral("Report");
        addElement(element, destination);
    }
}

void DocumentStore::generateColumnarLayout(const QList<ReportField> &fields,
                                           const BandTarget &detailTarget, bool isBlankWhenNull,
                                           const std::optional<ReportStyle> &style)
{
    if (fields.isEmpty())
        return;
    // Copies: the arguments may refer into the store, which listeners can change meanwhile.
    const QList<ReportField> columns = fields;
    // Values meant for a detail band that is gone (an undo took it while the sheet was open) go
    // to the first one.
    const BandTarget valueTarget = takesElements(detailTarget) || document_.detailBands.isEmpty()
                                       ? detailTarget
                                       : BandTarget::detailBand(document_.detailBands.first().id);
    if (refusesBandsOfParts(valueTarget))
        return;
    const std::optional<ReportStyle> columnStyle = style;
    const BandTarget header = BandTarget::standard(BandType::columnHeader);
    // The layout is made on a copy, which becomes the report only when every band holds what it
    // is given: a refusal changes nothing.
    ReportDocument next = document_;
    const auto refuse = [&](const BandTarget &target) {
        emit bandLimitReached(target, PageLayout::largestBandHeight(next, target));
    };
    // The labels need a column header that prints: one the report lacks or hides is added and
    // shown, as high as the page holds it.
    ReportBand &headerBand = standardBand(next, BandType::columnHeader);
    if (!headerBand.isPresent) {
        const std::optional<double> height = heightOnPage(next, header, headerBand.height);
        if (!height) {
            refuse(header);
            return;
        }
        headerBand.isPresent = true;
        headerBand.height = *height;
    }
    const ColumnLayout layout = columnLayout(columns.size());
    // Below what each band already holds.
    const double labelsTop = heightToHoldElements(next, header);
    const double valuesTop = heightToHoldElements(next, valueTarget);
    const bool valuesPlaced = elementList(std::as_const(next), valueTarget) != nullptr;
    for (qsizetype k = 0; k < columns.size(); ++k) {
        const ReportField &field = columns.at(k);
        const double x = double(k) * (layout.width + layout.gap);
        const QString caption = field.fieldDescription && !field.fieldDescription->isEmpty()
                                    ? *field.fieldDescription
                                    : field.name;
        ReportElement label = newElement(ElementKind::StaticText{caption}, x, labelsTop,
                                         layout.width, generatedHeight);
        label.isBold = true;
        ReportElement value =
            newElement(ElementKind::TextField{QString(QStringLiteral("$F{") + field.name + u'}')},
                       x, valuesTop, layout.width, generatedHeight);
        value.isBlankWhenNull = isBlankWhenNull;
        if (columnStyle) {
            for (ReportElement *element : {&label, &value}) {
                element->styleName = columnStyle->name;
                applyStyleProperties(*element, *columnStyle, next.styles);
            }
        }
        // Each where its band grows no further than the page holds it, moving up where needed;
        // none where the band cannot hold it at all.
        if (tallerThanBand(next, {label}, header)) {
            refuse(header);
            return;
        }
        placeElement(next, label, header);
        if (valuesPlaced && tallerThanBand(next, {value}, valueTarget)) {
            refuse(valueTarget);
            return;
        }
        placeElement(next, value, valueTarget);
    }
    applyDiscreteEdit(
        [&] { changeDocument([&](ReportDocument &document) { document = std::move(next); }); });
}

DocumentStore::ColumnLayout DocumentStore::columnLayout(qsizetype count) const
{
    // Whole points, as the file writes them, so that the last column ends within the column
    // however the file rounds: n × width + (n − 1) × gap never exceeds it. Too narrow a column
    // for the gaps leaves them out.
    const double n = double(std::max<qsizetype>(count, 1));
    const double room = std::max(0.0, std::floor(document_.columnWidth));
    double gap = columnGap;
    if (room - gap * (n - 1) < n)
        gap = 0;
    return {std::floor((room - gap * (n - 1)) / n), gap};
}

void DocumentStore::addElementSmart(const ReportElement &element)
{
    const bool wasThere = this->element(element.id).has_value();
    ElementList adopted{element};
    const QList<ReportSubDataset> datasets = adoptNames(adopted, selectedContainerID());
    if (!datasets.isEmpty()) {
        insertSmart(adopted.first(), [&](ReportDocument &d) { d.subDatasets.append(datasets); });
    } else if (const std::optional<QUuid> container = selectedContainerID()) {
        addChildElement(adopted.first(), *container);
    } else {
        addElement(adopted.first(), activeBandTarget_);
    }
    if (!wasThere && this->element(element.id))
        tellLackedNames({element.id}, QStringLiteral("The inserted element"), false);
}

void DocumentStore::addElementSmart(const ReportElement &element, const ReportSubDataset &dataset)
{
    const ReportSubDataset iterated = dataset;
    insertSmart(element, [&](ReportDocument &d) { d.subDatasets.append(iterated); });
}

void DocumentStore::addElementSmart(const ReportElement &element, const ReportField &field,
                                    const QString &dataset)
{
    const ReportField declared = field;
    const QString name = dataset;
    insertSmart(element, [&](ReportDocument &d) {
        if (name.isEmpty()) {
            d.fields.append(declared);
            return;
        }
        for (ReportSubDataset &subDataset : d.subDatasets) {
            if (subDataset.name == name) {
                subDataset.fields.append(declared);
                return;
            }
        }
    });
}

QString DocumentStore::datasetInside(const std::optional<QUuid> &container) const
{
    for (std::optional<ReportElement> around = container ? element(*container) : std::nullopt;
         around; around = containerOf(around->id)) {
        if (const auto *list = around->kind.as<ElementKind::List>())
            return list->datasetName;
    }
    return {};
}

bool DocumentStore::refusesInsert(const ReportElement &element)
{
    const ReportElement added = element;
    if (const std::optional<QUuid> container = selectedContainerID())
        return refusesNoRoom(*container);
    const BandTarget destination = insertionTarget(activeBandTarget_);
    return !takesElements(destination) || refusesBandsOfParts(destination) ||
           refusesTallerThanBand({added}, destination);
}

void DocumentStore::insertSmart(const ReportElement &element,
                                const std::function<void(ReportDocument &)> &declare)
{
    // Copies: listeners of the snapshot's signals may change what the arguments refer to.
    const ReportElement added = element;
    const std::optional<QUuid> container = selectedContainerID();
    const BandTarget destination = insertionTarget(activeBandTarget_);
    if (refusesInsert(added))
        return;
    QList<ReportElement> placed{added};
    if (!container)
        keepWithinWidth(document_, placed, destination);
    applyDiscreteEdit([&] {
        batchDocumentChanges([&] {
            changeDocument(declare);
            if (container)
                performAddChildElement(added, *container);
            else
                performAddElement(placed.first(), destination);
        });
        setSelectedElementIDs({added.id});
    });
}

QList<ReportSubDataset> DocumentStore::adoptNames(ElementList &elements,
                                                  const std::optional<QUuid> &container) const
{
    QList<ReportSubDataset> datasets;
    const QStringList missing =
        ReportReferences::adopt(document_, elements, datasetInside(container));
    // The groups of the sub-datasets the report declares are those the copies' runs may name.
    DatasetRuns::keepGroupsOfRuns(elements, document_);
    for (const QString &name : missing) {
        ReportSubDataset declared = newSubDataset(document_);
        declared.name = name;
        // With the parameters the elements' runs pass to it, the engine takes the runs as copied.
        for (const QString &parameter : DatasetRuns::passedTo(elements, name)) {
            ReportParameter passed;
            passed.name = parameter;
            passed.className = QStringLiteral("java.lang.Object");
            declared.parameters.append(passed);
        }
        // And with the groups their cells and content name, which the engine requires.
        JrxmlCodec::declareGroups(declared, DatasetRuns::groupsNamedBy(elements, name));
        datasets.append(declared);
    }
    return datasets;
}
