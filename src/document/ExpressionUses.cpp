#include "document/ExpressionUses.h"

#include "document/ElementWalk.h"
#include "document/SortFieldNames.h"
#include "model/JrxmlCodec.h"
#include "model/KeptBands.h"
#include "model/XmlFragment.h"

#include <QStringList>
#include <algorithm>
#include <utility>

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

// The dataset an expression is evaluated over when a sub-dataset that an element around it
// runs is that one, not the dataset where the element stands: the expression is held by the
// run's holder (what holds the datasetRun, or the dataset holding it) beside the run, not by
// the run itself, whose parameters, connection and data source are evaluated where the holder
// stands. A crosstab that runs one evaluates everything over it but its own dataset and
// parameters. `crosstabRun`: the fragment is the body of a crosstab that runs that sub-dataset.
// With `within`, only what that element (which holds the expression) and the elements inside it
// run is looked at. No value when the expression is evaluated where the fragment stands.
std::optional<QString> runOver(const XmlFragment::Element &expression,
                               const std::optional<QString> &crosstabRun,
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
                return own->attribute("subDataset").value_or(QString());
            run.reset();
        }
        if (within && *at == *within)
            return std::nullopt;
    }
    if (crosstabRun && !isCrosstabOwn(from))
        return crosstabRun;
    return std::nullopt;
}

// The sub-dataset that the run holding a return value or a passed parameter runs: that of its
// datasetRun, or `top` for one the fragment holds directly (what a list's or table's run keeps).
// No value for what no run holds (a subreport's return value).
std::optional<QString> runningDataset(const XmlFragment::Element &element,
                                      const std::optional<QString> &top)
{
    const std::optional<XmlFragment::Element> parent = element.parent();
    if (!parent)
        return top;
    if (parent->localName() == u"datasetRun"_s)
        return parent->attribute("subDataset").value_or(QString());
    return std::nullopt;
}

// Where what the counter reads is evaluated: no value for the report's own dataset.
using Scope = std::optional<QString>;

class Counter {
public:
    explicit Counter(const Declaration &declaration)
        : declaration_(declaration), target_(declaration.dataset)
    {
    }
    // Counting the expressions that hold the text as it stands, where the report's own are
    // evaluated.
    explicit Counter(const QString &text) : text_(text) {}
    // Handing every expression to `visit` with the dataset it is evaluated over, and every
    // parameter a run passes a value to to `passed`.
    Counter(const ExpressionVisit &visit, const PassedVisit &passed)
        : visiting_(true), visit_(visit), passed_(passed)
    {
    }

    Uses uses;

    // The dataset over which what is read next is evaluated.
    void standIn(const Scope &scope) { standsIn_ = scope; }

    void text(const QString &expression) { textIn(expression, standsIn_); }
    void text(const std::optional<QString> &expression)
    {
        if (expression)
            text(*expression);
    }

    // The expressions and return values of captured content. What runs over a sub-dataset (a
    // chart's series, a component's item data, a crosstab's groups and measures) is evaluated
    // there, the run's own expressions and everything beside them where the content stands; a
    // crosstab's cells name the crosstab's parameters and measures. `crosstab`: the content is a
    // crosstab's body. `topRun`: the content is what the run of that sub-dataset keeps.
    void fragment(const QString &xml, bool crosstab = false, const Scope &topRun = std::nullopt)
    {
        if (!mayName(xml))
            return;
        // A crosstab's dataset comes before its groups and measures.
        Scope crosstabRun;
        XmlFragment::edited(xml, [&](XmlFragment::Element &element) {
            const QString name = element.localName();
            if (crosstab && name == u"datasetRun"_s && element.isInside(u"crosstabDataset") &&
                !element.isInside(u"cellContents"))
                crosstabRun = element.attribute("subDataset").value_or(QString());
            if (name == u"returnValue"_s) {
                returnValue(element, runningDataset(element, topRun),
                            scopeOf(element, crosstabRun));
                return;
            }
            if (name == u"datasetParameter"_s)
                passedValue(element.attribute("name"), runningDataset(element, topRun));
            if (!name.endsWith(u"Expression"_s))
                return;
            element.skipChildren();
            if (!element.isInside(u"cellContents"))
                textIn(element.text(), scopeOf(element, crosstabRun));
        });
    }
    // The same for content evaluated over `scope`.
    void fragmentIn(const QString &xml, const Scope &scope)
    {
        const Scope was = std::exchange(standsIn_, scope);
        fragment(xml);
        standsIn_ = was;
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
    // The kept children of that part, evaluated over `scope`.
    void keptIn(const KeptParts &parts, const QString &key, const Scope &scope)
    {
        for (const KeptXml::Child &child : parts.part(key).children)
            fragmentIn(child.xml, scope);
    }

    // What a list's or table's run of `dataset` keeps as written: its data source, its map of
    // parameters, its return values; and the values it passes to the dataset's parameters.
    void run(const KeptParts &parts, const QString &dataset,
             const QList<SubreportParameter> &passed)
    {
        for (const KeptXml::Child &child : parts.part(u"datasetRun").children)
            fragment(child.xml, false, dataset);
        for (const SubreportParameter &parameter : passed) {
            text(parameter.expression);
            passedValue(parameter.name, dataset);
        }
    }

    // What a list's contents or a table's rows, column groups and cells keep as written, which
    // is evaluated over the sub-dataset it runs.
    void content(const ElementKind &kind)
    {
        if (const auto *list = kind.as<ElementKind::List>()) {
            for (const QString &key : {QString(), u"listContents"_s})
                keptIn(list->kept, key, list->datasetName);
        } else if (const auto *table = kind.as<ElementKind::Table>()) {
            keptIn(table->kept, {}, table->datasetName);
            for (const ElementKind::Table::KeptColumnGroup &group : table->keptColumnGroups)
                fragmentIn(group.xml, table->datasetName);
            for (const ReportTableColumn &column : table->columns) {
                keptIn(column.kept, {}, table->datasetName);
                for (const TableCellFormatting *cell :
                     {&column.columnHeaderFormatting, &column.detailCellFormatting,
                      &column.columnFooterFormatting})
                    keptIn(cell->kept, {}, table->datasetName);
            }
        }
    }

    // What a chart, crosstab or other component keeps as the file wrote it.
    void body(const ElementKind &kind)
    {
        if (const auto *chart = kind.as<ElementKind::Chart>()) {
            fragment(chart->chartBodyXML);
            fragment(chart->siblingXML);
        } else if (const auto *crosstab = kind.as<ElementKind::Crosstab>()) {
            fragment(crosstab->bodyXML, true);
        } else if (const auto *component = kind.as<ElementKind::ComponentPlaceholder>()) {
            fragment(component->componentXML);
        } else if (const auto *generic = kind.as<ElementKind::GenericElement>()) {
            fragment(generic->bodyXML);
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
            run(list->kept, list->datasetName, list->parameters);
        } else if (const auto *table = kind.as<ElementKind::Table>()) {
            text(table->connectionExpression);
            run(table->kept, table->datasetName, table->parameters);
        } else {
            body(kind);
        }
        // A list's contents and a table's own rows (kept with the table itself) run over its
        // dataset.
        QStringList inner{u"listContents"_s};
        if (kind.is<ElementKind::Table>())
            inner.append(QString());
        kept(e.kept, inner);
        content(kind);
    }

    // The sort fields a sub-dataset keeps as written that sort on the declaration.
    void keptSortFields(const KeptParts &parts)
    {
        if (!declaration_ || declaration_->kind == Declaration::Kind::parameter)
            return;
        const QString type =
            declaration_->kind == Declaration::Kind::field ? u"Field"_s : u"Variable"_s;
        for (const KeptXml::Child &child : parts.part({}).children) {
            if (!mayName(child.xml))
                continue;
            XmlFragment::edited(child.xml, [&](XmlFragment::Element &element) {
                element.skipChildren();
                if (element.localName() == u"sortField"_s &&
                    element.attribute("name") == declaration_->name &&
                    element.attribute("type").value_or(u"Field"_s) == type)
                    ++uses.sortFields;
            });
        }
    }

private:
    // Whether the expression, evaluated over `scope`, names what the counter looks for.
    void textIn(const QString &expression, const Scope &scope)
    {
        if (visiting_) {
            if (visit_)
                visit_(expression, scope);
            return;
        }
        if (scope != target_)
            return;
        if (declaration_ ? isNamedIn(expression, *declaration_) : expression.contains(text_))
            ++uses.expressions;
    }

    // The dataset over which the expression of captured content is evaluated.
    Scope scopeOf(const XmlFragment::Element &expression, const Scope &crosstabRun) const
    {
        if (Scope over = runOver(expression, crosstabRun))
            return over;
        return standsIn_;
    }

    // A return value of a run of `runs` (no value: of a subreport), which is read where
    // `scope` is evaluated: it sets a variable there and takes that of a variable of the run's
    // dataset.
    void returnValue(const XmlFragment::Element &element, const Scope &runs, const Scope &scope)
    {
        if (!declaration_ || declaration_->kind != Declaration::Kind::variable)
            return;
        if ((scope == target_ && element.attribute("toVariable") == declaration_->name) ||
            (runs && runs == target_ && element.attribute("fromVariable") == declaration_->name))
            ++uses.returnValues;
    }

    // A value passed to the parameter `name` of the sub-dataset `runs`.
    void passedValue(const std::optional<QString> &name, const Scope &runs)
    {
        if (passed_ && name && runs)
            passed_(*name, *runs);
        if (declaration_ && declaration_->kind == Declaration::Kind::parameter && runs &&
            runs == target_ && name == declaration_->name)
            ++uses.passedValues;
    }

    // A quick test before a fragment is parsed: whether its text holds the name at all.
    bool mayName(const QString &xml) const
    {
        if (visiting_)
            return xml.contains(u'$') || xml.contains(u"datasetParameter"_s);
        return XmlFragment::mayHold(xml, declaration_ ? declaration_->name : text_);
    }

    std::optional<Declaration> declaration_;
    QString text_;
    bool visiting_ = false;
    ExpressionVisit visit_;
    PassedVisit passed_;
    // The dataset whose declaration is counted, and the one over which what is read now is
    // evaluated.
    Scope target_;
    Scope standsIn_;
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

namespace {

// What any dataset holds that names the declaration: its query, what it keeps as the file wrote
// it (a filter expression, a sub-dataset's groups), its parameters' defaults and its variables.
void countDataset(Counter &counter, const QString &query, const KeptParts &kept,
                  const QList<ReportParameter> &parameters, const QList<ReportVariable> &variables)
{
    counter.text(query);
    for (const KeptXml::Child &child : kept.part({}).children)
        counter.fragment(child.xml);
    for (const ReportParameter &parameter : parameters)
        counter.text(parameter.defaultValueExpression);
    for (const ReportVariable &variable : variables) {
        counter.text(variable.expression);
        counter.text(variable.initialValueExpression);
    }
}

// What the report's own dataset holds besides its elements: that of any dataset, its groups,
// its sections' print-when conditions and its conditional styles.
void countReportDataset(Counter &counter, const ReportDocument &document)
{
    countDataset(counter, document.queryString, document.kept, document.parameters,
                 document.variables);
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
}

} // namespace

Uses uses(const ReportDocument &document, const Declaration &declaration)
{
    Counter counter(declaration);
    counter.standIn(declaration.dataset);
    if (!declaration.dataset) {
        countReportDataset(counter, document);
    } else {
        for (const ReportSubDataset &dataset : document.subDatasets) {
            if (dataset.name != *declaration.dataset)
                continue;
            countDataset(counter, dataset.queryString, dataset.kept, dataset.parameters,
                         dataset.variables);
            counter.keptSortFields(dataset.kept);
        }
    }
    ElementWalk::visitDatasets(document, [&](const ReportElement &element, const Scope &dataset) {
        counter.standIn(dataset);
        counter.element(element);
    });
    // The bands kept as written stand in the report's own sections.
    counter.standIn(std::nullopt);
    KeptBands::visit(document, [&](const QString &xml, const QUuid &, const QString &) {
        counter.fragment(xml);
    });
    Uses uses = counter.uses;
    if (!declaration.dataset && declaration.kind != Declaration::Kind::parameter)
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

void visitBody(const ReportElement &element, const ExpressionVisit &visit,
               const PassedVisit &passed)
{
    Counter counter(visit, passed);
    counter.body(element.kind);
}

bool keptElementHolds(const XmlFragment::Element &element, const QString &text)
{
    return element.holds([&](const XmlFragment::Element &inside) {
        return inside.localName().endsWith(u"Expression"_s) && inside.text().contains(text) &&
               KeptBands::elementOf(inside) == element && !inside.isInside(u"cellContents") &&
               !runOver(inside, std::nullopt, element);
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
    if (uses.expressions > 0 || uses.returnValues + uses.sortFields + uses.passedValues == 0)
        parts.append(counted(uses.expressions, u"expression"_s, u"expressions"_s));
    if (uses.returnValues > 0)
        parts.append(counted(uses.returnValues, u"return value"_s, u"return values"_s));
    if (uses.passedValues > 0)
        parts.append(counted(uses.passedValues, u"passed value"_s, u"passed values"_s));
    if (uses.sortFields > 0)
        parts.append(counted(uses.sortFields, u"sort field"_s, u"sort fields"_s));
    QString joined = parts.takeLast();
    if (!parts.isEmpty())
        joined = parts.join(u", "_s) + u" and "_s + joined;
    return joined;
}

} // namespace ExpressionUses
