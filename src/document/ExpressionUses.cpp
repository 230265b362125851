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

// The run of a sub-dataset that `holder` gives what it holds: its datasetRun, directly (a list,
// a table) or in its dataset (a chart's category dataset, a map's marker data); a crosstab's
// is in its crosstabDataset. A dataset itself holds no more than the run and what the run
// iterates with; what it holds is its holder's.
std::optional<XmlFragment::Element> runOf(const XmlFragment::Element &holder)
{
    const QString name = holder.localName();
    if (name == u"dataset"_s)
        return std::nullopt;
    if (std::optional<XmlFragment::Element> run = holder.child(u"datasetRun"))
        return run;
    std::optional<XmlFragment::Element> dataset =
        holder.child(name == u"crosstab"_s ? u"crosstabDataset" : u"dataset");
    if (dataset && name == u"crosstab"_s)
        dataset = dataset->child(u"dataset");
    return dataset ? dataset->child(u"datasetRun") : std::nullopt;
}

// What a crosstab holds that is evaluated where the crosstab stands, whatever it runs: its
// dataset and the values of its parameters.
bool isCrosstabOwn(const XmlFragment::Element &element)
{
    const QString name = element.localName();
    return name == u"crosstabDataset"_s || name == u"crosstabParameter"_s ||
           name == u"parametersMapExpression"_s;
}

// Whether the expression is evaluated over a sub-dataset that an element around it runs, not
// where that element stands: it is held by the run's holder (what holds the datasetRun, or
// the dataset holding it) beside the run, not by the run itself, whose parameters, connection
// and data source are evaluated where the holder stands. A crosstab that runs one evaluates
// everything over it but its own dataset and parameters. `crosstabRuns`: the fragment is the
// body of a crosstab that runs a sub-dataset. With `within`, only what that element (which
// holds the expression) and the elements inside it run is looked at.
bool isOverSubDataset(const XmlFragment::Element &expression, bool crosstabRuns,
                      const std::optional<XmlFragment::Element> &within = std::nullopt)
{
    // The run the walk came up through, until it reaches the run's holder.
    std::optional<XmlFragment::Element> run;
    XmlFragment::Element from = expression;
    for (std::optional<XmlFragment::Element> at = expression.parent(); at;
         from = *at, at = at->parent()) {
        if (at->localName() == u"datasetRun"_s) {
            run = at;
        } else if (const std::optional<XmlFragment::Element> own = runOf(*at)) {
            if (at->localName() == u"crosstab"_s ? !isCrosstabOwn(from) : !(run && *run == *own))
                return true;
            run.reset();
        }
        if (within && *at == *within)
            return false;
    }
    return crosstabRuns && !isCrosstabOwn(from);
}

class Counter {
public:
    explicit Counter(const Declaration &declaration) : declaration_(declaration) {}
    // Counting the expressions that hold the text as it stands.
    explicit Counter(const QString &text) : text_(text) {}

    Uses uses;

    void text(const QString &expression)
    {
        if (declaration_ ? isNamedIn(expression, *declaration_) : expression.contains(text_))
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
        if (declaration_ && declaration_->kind == Declaration::Kind::variable &&
            element.attribute("toVariable") == declaration_->name)
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

    // The expressions and return values of captured content. What runs over a sub-dataset (a
    // chart's series, a component's item data, a crosstab's groups and measures) is not the
    // report's, the run's own expressions and everything beside them are; a crosstab's cells
    // name the crosstab's parameters and measures. `crosstab`: the content is a crosstab's
    // body.
    void fragment(const QString &xml, bool crosstab = false)
    {
        if (!mayName(xml))
            return;
        // A crosstab's dataset comes before its groups and measures.
        bool crosstabRuns = false;
        XmlFragment::edited(xml, [&](XmlFragment::Element &element) {
            if (crosstab && element.localName() == u"datasetRun"_s &&
                element.isInside(u"crosstabDataset") && !element.isInside(u"cellContents"))
                crosstabRuns = true;
            if (!isExpression(element))
                return;
            if (!element.isInside(u"cellContents") && !isOverSubDataset(element, crosstabRuns))
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
            // What an element evaluates over the sub-dataset it runs is not the report's.
            if (!isOverSubDataset(element, false))
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

    // What a list's or table's dataset run keeps as written: its data source, its map of
    // parameters, its return values.
    void runKept(const KeptParts &parts)
    {
        for (const KeptXml::Child &child : parts.part(u"datasetRun").children)
            fragment(child.xml);
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
            runKept(list->kept);
        } else if (const auto *table = kind.as<ElementKind::Table>()) {
            text(table->connectionExpression);
            parameters(table->parameters);
            runKept(table->kept);
        } else if (const auto *chart = kind.as<ElementKind::Chart>()) {
            fragment(chart->chartBodyXML);
            fragment(chart->siblingXML);
        } else if (const auto *crosstab = kind.as<ElementKind::Crosstab>()) {
            fragment(crosstab->bodyXML, true);
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
    bool mayName(const QString &xml) const
    {
        return XmlFragment::mayHold(xml, declaration_ ? declaration_->name : text_);
    }

    std::optional<Declaration> declaration_;
    QString text_;
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

bool elementHolds(const ReportElement &element, const QString &text)
{
    Counter counter(text);
    counter.element(element);
    return counter.uses.expressions > 0;
}

bool keptElementHolds(const XmlFragment::Element &element, const QString &text)
{
    return element.holds([&](const XmlFragment::Element &inside) {
        return inside.localName().endsWith(u"Expression"_s) && inside.text().contains(text) &&
               KeptBands::elementOf(inside) == element && !inside.isInside(u"cellContents") &&
               !isOverSubDataset(inside, false, element);
    });
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
    return declaration.reference() + u" is used in "_s + usedIn(uses) + u'.';
}

QString usedIn(const Uses &uses)
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
    return joined;
}

} // namespace ExpressionUses
