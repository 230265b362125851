#include "document/ExpressionUses.h"

#include "document/ElementWalk.h"
#include "document/SortFieldNames.h"
#include "model/JrxmlCodec.h"
#include "model/KeptBands.h"
#include "model/XmlFragment.h"

#include <QStringList>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace ExpressionUses {

namespace {

// Whether a "$X{function, column, parameter…}" clause of the text names the parameter.
bool isClauseParameter(const QString &text, const QString &name)
{
    for (qsizetype at = text.indexOf(u"$X{"_s); at >= 0; at = text.indexOf(u"$X{"_s, at + 3)) {
        const qsizetype end = text.indexOf(u'}', at + 3);
        if (end < 0)
            return false;
        const QStringList arguments = text.sliced(at + 3, end - at - 3).split(u',');
        for (qsizetype i = 2; i < arguments.size(); ++i) {
            if (arguments.at(i).trimmed() == name)
                return true;
        }
    }
    return false;
}

class Counter {
public:
    explicit Counter(const Declaration &declaration) : declaration_(declaration) {}

    Uses uses;

    void text(const QString &expression)
    {
        if (isNamedIn(expression, declaration_))
            ++uses.expressions;
    }
    void text(const std::optional<QString> &expression)
    {
        if (expression)
            text(*expression);
    }

    // A return value that sets the variable.
    void returnValue(const XmlFragment::Element &element)
    {
        if (declaration_.kind == Declaration::Kind::variable &&
            element.attribute("toVariable") == declaration_.name)
            ++uses.returnValues;
    }

    // Whether an element of captured content is an expression, for the caller to judge; what
    // it holds is not visited then. A return value that sets the variable is counted here.
    bool isExpression(XmlFragment::Element &element)
    {
        if (element.localName() == u"returnValue"_s) {
            returnValue(element);
            return false;
        }
        if (!element.localName().endsWith(u"Expression"_s))
            return false;
        element.skipChildren();
        return true;
    }

    // The expressions and return values of captured content. Where it runs a sub-dataset (a
    // chart's or crosstab's dataset run) only the run's own expressions are the report's; a
    // crosstab's cells name the crosstab's parameters and measures.
    void fragment(const QString &xml)
    {
        if (!mayName(xml))
            return;
        const bool runsDataset = xml.contains(u"datasetRun"_s);
        XmlFragment::edited(xml, [&](XmlFragment::Element &element) {
            if (!isExpression(element))
                return;
            if (runsDataset && !element.isInside(u"datasetRun"))
                return;
            if (!element.isInside(u"cellContents"))
                text(element.text());
        });
    }

    // A band of a group's header or footer kept as written: each of its report elements as
    // fragment() takes an element's captured content, and what the band holds itself.
    void keptBand(const QString &xml)
    {
        if (!mayName(xml))
            return;
        XmlFragment::edited(xml, [&](XmlFragment::Element &element) {
            if (KeptBands::isInDatasetContent(element)) {
                element.skipChildren();
                return;
            }
            if (!isExpression(element))
                return;
            // An element that runs a sub-dataset: only its run's expressions are the report's.
            // A frame runs none itself; the elements in it are report elements of their own.
            const std::optional<XmlFragment::Element> holder = KeptBands::elementOf(element);
            if (holder && holder->localName() != u"frame"_s && holder->holds(u"datasetRun") &&
                !element.isInside(u"datasetRun"))
                return;
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
    // A quick test before a fragment is parsed: whether its text holds the name at all.
    bool mayName(const QString &xml) const { return XmlFragment::mayHold(xml, declaration_.name); }

    Declaration declaration_;
};

} // namespace

QString Declaration::reference() const
{
    const QChar letter = kind == Kind::field ? u'F' : kind == Kind::parameter ? u'P' : u'V';
    return u'$' + letter + u'{' + name + u'}';
}

bool isNamedIn(const QString &text, const Declaration &declaration)
{
    if (text.contains(declaration.reference()))
        return true;
    if (declaration.kind != Declaration::Kind::parameter)
        return false;
    return text.contains(u"$P!{"_s + declaration.name + u'}') ||
           isClauseParameter(text, declaration.name);
}

Uses uses(const ReportDocument &document, const Declaration &declaration)
{
    Counter counter(declaration);
    counter.text(document.queryString);
    // What the report keeps as the file wrote it: its filter expression among others.
    for (const KeptXml::Child &child : document.kept.part({}).children)
        counter.fragment(child.xml);
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
    KeptBands::visit(document, [&](const QString &xml, const QUuid &, const QString &) {
        counter.keptBand(xml);
    });
    Uses uses = counter.uses;
    if (declaration.kind != Declaration::Kind::parameter)
        uses.sortFields = SortFieldNames::count(document,
                                                declaration.kind == Declaration::Kind::field
                                                    ? SortFieldType::field
                                                    : SortFieldType::variable,
                                                declaration.name);
    return uses;
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

QString message(const Declaration &declaration, const Uses &uses)
{
    const auto counted = [](int n, const QString &one, const QString &many) -> QString {
        return QString::number(n) + u' ' + (n == 1 ? one : many);
    };
    QStringList parts;
    if (uses.expressions > 0 || uses.returnValues + uses.sortFields == 0)
        parts.append(counted(uses.expressions, u"expression"_s, u"expressions"_s));
    if (uses.returnValues > 0)
        parts.append(counted(uses.returnValues, u"return value"_s, u"return values"_s));
    if (uses.sortFields > 0)
        parts.append(counted(uses.sortFields, u"sort field"_s, u"sort fields"_s));
    QString joined = parts.takeLast();
    if (!parts.isEmpty())
        joined = parts.join(u", "_s) + u" and "_s + joined;
    return declaration.reference() + u" is used in "_s + joined + u'.';
}

} // namespace ExpressionUses
