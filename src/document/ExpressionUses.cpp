#include "document/ExpressionUses.h"

#include "document/ElementWalk.h"
#include "model/JrxmlCodec.h"
#include "model/XmlFragment.h"

#include <QStringList>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace ExpressionUses {

namespace {

class Counter {
public:
    explicit Counter(const QString &reference) : reference_(reference) {}

    int total = 0;

    void text(const QString &expression)
    {
        if (expression.contains(reference_))
            ++total;
    }
    void text(const std::optional<QString> &expression)
    {
        if (expression)
            text(*expression);
    }

    // The expressions of captured content. Where it runs a sub-dataset (a chart's or crosstab's
    // dataset run) only the run's own expressions are the report's; a crosstab's cells name the
    // crosstab's parameters and measures.
    void fragment(const QString &xml)
    {
        if (!xml.contains(reference_))
            return;
        const bool runsDataset = xml.contains(u"datasetRun"_s);
        XmlFragment::edited(xml, [&](XmlFragment::Element &element) {
            if (!element.localName().endsWith(u"Expression"_s))
                return;
            element.skipChildren();
            if (runsDataset && !element.isInside(u"datasetRun"))
                return;
            if (!element.isInside(u"cellContents"))
                text(element.text());
        });
    }

    void kept(const KeptParts &parts, const QStringList &inner = {})
    {
        for (const QString &key : parts.keys()) {
            if (inner.contains(key))
                continue;
            for (const KeptXml::Child &child : parts.part(key).children)
                fragment(child.xml);
        }
    }

    void parameters(const QList<SubreportParameter> &passed)
    {
        for (const SubreportParameter &parameter : passed)
            text(parameter.expression);
    }

    void element(const ReportElement &e)
    {
        text(e.printWhenExpression);
        text(e.hyperlinkExpression);
        const ElementKind &kind = e.kind;
        if (const auto *field = kind.as<ElementKind::TextField>()) {
            text(field->expression);
        } else if (const auto *image = kind.as<ElementKind::Image>()) {
            text(image->expression);
        } else if (const auto *subreport = kind.as<ElementKind::Subreport>()) {
            text(subreport->expression);
            text(subreport->connectionExpression);
            text(subreport->dataSourceExpression);
            parameters(subreport->parameters);
        } else if (const auto *list = kind.as<ElementKind::List>()) {
            text(list->connectionExpression);
            parameters(list->parameters);
        } else if (const auto *table = kind.as<ElementKind::Table>()) {
            text(table->connectionExpression);
            parameters(table->parameters);
        } else if (const auto *chart = kind.as<ElementKind::Chart>()) {
            fragment(chart->chartBodyXML);
            fragment(chart->siblingXML);
        } else if (const auto *crosstab = kind.as<ElementKind::Crosstab>()) {
            fragment(crosstab->bodyXML);
        } else if (const auto *component = kind.as<ElementKind::ComponentPlaceholder>()) {
            fragment(component->componentXML);
        } else if (const auto *generic = kind.as<ElementKind::GenericElement>()) {
            fragment(generic->bodyXML);
        }
        // A list's contents and a table's own rows (kept with the table itself) run over its
        // dataset.
        QStringList inner{u"listContents"_s};
        if (kind.is<ElementKind::Table>())
            inner.append(QString());
        kept(e.kept, inner);
    }

private:
    QString reference_;
};

} // namespace

int count(const ReportDocument &document, const QString &reference)
{
    Counter counter(reference);
    counter.text(document.queryString);
    for (const ReportParameter &parameter : document.parameters)
        counter.text(parameter.defaultValueExpression);
    for (const ReportVariable &variable : document.variables) {
        counter.text(variable.expression);
        counter.text(variable.initialValueExpression);
    }
    for (const ReportGroup &group : document.groups) {
        counter.text(group.expression);
        counter.text(group.headerPrintWhenExpression);
        counter.text(group.footerPrintWhenExpression);
    }
    for (const QList<ReportBand> *bands : {&document.bands, &document.detailBands}) {
        for (const ReportBand &band : *bands)
            counter.text(band.printWhenExpression);
    }
    for (const ReportStyle &style : document.styles) {
        for (const ConditionalStyleRule &rule : style.conditionalStyles)
            counter.text(rule.conditionExpression);
    }
    ElementWalk::visitDocument(document, [&](const ReportElement &element, ElementScope scope) {
        if (scope == ElementScope::report)
            counter.element(element);
    });
    return counter.total;
}

std::optional<QString> datasetLackingField(const ReportDocument &document, const QString &name)
{
    const QString reference = u"$F{"_s + name + u'}';
    std::optional<QString> lacking;
    // The walk meets a list or table before what it holds: the last one found is the innermost.
    ElementWalk::visitDocument(document, [&](const ReportElement &element, ElementScope) {
        QString dataset;
        if (const auto *list = element.kind.as<ElementKind::List>())
            dataset = list->datasetName;
        else if (const auto *table = element.kind.as<ElementKind::Table>())
            dataset = table->datasetName;
        else
            return;
        const auto declared = std::find_if(
            document.subDatasets.cbegin(), document.subDatasets.cend(),
            [&](const ReportSubDataset &subDataset) { return subDataset.name == dataset; });
        if (declared == document.subDatasets.cend() ||
            std::any_of(declared->fields.cbegin(), declared->fields.cend(),
                        [&](const ReportField &field) { return field.name == name; }))
            return;
        if (JrxmlCodec::serializeElement(element, {}).contains(reference))
            lacking = dataset;
    });
    return lacking;
}

QString message(const QString &reference, int count, int sortFields)
{
    const auto counted = [](int n, const QString &one, const QString &many) -> QString {
        return QString::number(n) + u' ' + (n == 1 ? one : many);
    };
    QStringList parts;
    if (count > 0 || sortFields == 0)
        parts.append(counted(count, u"expression"_s, u"expressions"_s));
    if (sortFields > 0)
        parts.append(counted(sortFields, u"sort field"_s, u"sort fields"_s));
    return reference + u" is used in "_s + parts.join(u" and "_s) + u'.';
}

} // namespace ExpressionUses
