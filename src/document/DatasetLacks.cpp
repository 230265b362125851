#include "document/DatasetLacks.h"

#include "document/DatasetRuns.h"
#include "document/ElementWalk.h"
#include "document/ExpressionUses.h"
#include "document/ReportReferences.h"
#include "model/StyleChain.h"
#include "model/XmlFragment.h"

#include <QLocale>
#include <QRegularExpression>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace DatasetLacks {

namespace {

// Spaces and tabs only: a line break inside the braces stays part of the name.
QString trimBlanks(QStringView text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    while (from < to && blank(text[from]))
        ++from;
    while (to > from && blank(text[to - 1]))
        --to;
    return text.sliced(from, to - from).toString();
}

template <typename List> QSet<QString> namesOf(const List &items)
{
    QSet<QString> names;
    for (const auto &item : items)
        names.insert(item.name);
    return names;
}

void appendExpressions(QStringList &texts, const QList<SubreportParameter> &parameters)
{
    for (const SubreportParameter &parameter : parameters)
        texts.append(parameter.expression);
}

// Content kept as the file wrote it, read as expressions evaluated where the element stands:
// what runs a dataset of its own inside it (a table or list in a cell) is left out.
void appendKept(QStringList &texts, const QString &xml)
{
    if (!xml.contains(u'$') || xml.contains(u"datasetRun"_s))
        return;
    texts.append(xml);
}

void appendKept(QStringList &texts, const KeptXml &part)
{
    for (const KeptXml::Child &child : part.children)
        appendKept(texts, child.xml);
}

void appendKept(QStringList &texts, const KeptParts &parts)
{
    appendKept(texts, parts.part({}));
}

// The expressions the element evaluates where it stands (not those of what it holds), those it
// keeps as the file wrote them too: a property's expression, a tooltip's, a dataset run's data
// source.
QStringList ownExpressions(const ReportElement &element)
{
    QStringList texts;
    const auto add = [&](const std::optional<QString> &text) {
        if (text)
            texts.append(*text);
    };
    add(element.printWhenExpression);
    add(element.hyperlinkExpression);
    appendKept(texts, element.kept.part(u"reportElement"));
    const ElementKind &kind = element.kind;
    if (const auto *field = kind.as<ElementKind::TextField>()) {
        texts.append(field->expression);
    } else if (const auto *image = kind.as<ElementKind::Image>()) {
        texts.append(image->expression);
    } else if (const auto *subreport = kind.as<ElementKind::Subreport>()) {
        texts.append(subreport->expression);
        add(subreport->connectionExpression);
        add(subreport->dataSourceExpression);
        appendExpressions(texts, subreport->parameters);
    } else if (const auto *list = kind.as<ElementKind::List>()) {
        texts.append(list->connectionExpression);
        appendExpressions(texts, list->parameters);
        appendKept(texts, list->kept.part(u"datasetRun"));
    } else if (const auto *table = kind.as<ElementKind::Table>()) {
        texts.append(table->connectionExpression);
        appendExpressions(texts, table->parameters);
        appendKept(texts, table->kept.part(u"datasetRun"));
    }
    // What else the element's own tag holds; a component's holds what runs over its dataset.
    if (!kind.is<ElementKind::List>() && !kind.is<ElementKind::Table>() &&
        !kind.is<ElementKind::Chart>() && !kind.is<ElementKind::Crosstab>() &&
        !kind.is<ElementKind::ComponentPlaceholder>() && !kind.is<ElementKind::GenericElement>())
        appendKept(texts, element.kept);
    return texts;
}

// The variables the element's return values go into where it stands: a subreport's, and those
// of a list's or table's run.
QStringList returnDestinations(const ReportElement &element)
{
    const KeptXml *holder = nullptr;
    if (element.kind.is<ElementKind::Subreport>())
        holder = &element.kept.part({});
    else if (const auto *list = element.kind.as<ElementKind::List>())
        holder = &list->kept.part(u"datasetRun");
    else if (const auto *table = element.kind.as<ElementKind::Table>())
        holder = &table->kept.part(u"datasetRun");
    QStringList names;
    if (!holder)
        return names;
    for (const KeptXml::Child &child : holder->children) {
        if (!child.xml.contains(u"toVariable"_s))
            continue;
        XmlFragment::edited(child.xml, [&](XmlFragment::Element &tag) {
            tag.skipChildren();
            if (tag.localName() != u"returnValue"_s)
                return;
            const QString name = tag.attribute("toVariable").value_or(QString());
            if (!name.isEmpty() && !names.contains(name))
                names.append(name);
        });
    }
    return names;
}

} // namespace

QString Reference::text() const
{
    return u'$' + letter + u'{' + name + u'}';
}

QList<Reference> referencesIn(const QString &expression)
{
    QList<Reference> found;
    if (!expression.contains(u'$'))
        return found;
    static const QRegularExpression reference(uR"(\$([PFV])!?\{([^}]*)\})"_s);
    auto it = reference.globalMatch(expression);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        const Reference named{match.capturedView(1).front(), trimBlanks(match.capturedView(2))};
        if (!named.name.isEmpty() && !found.contains(named))
            found.append(named);
    }
    return found;
}

namespace {

QString kindOf(const Reference &reference)
{
    return reference.letter == u'F'   ? u"field"_s
           : reference.letter == u'P' ? u"parameter"_s
                                      : u"variable"_s;
}

} // namespace

QString note(const Reference &reference, const std::optional<QString> &dataset)
{
    return reference.text() + u" isn't a declared "_s + kindOf(reference) +
           (dataset ? u" of the dataset \""_s + *dataset + u"\" this element runs in."_s
                    : u" in this report."_s);
}

QString returnNote(const Reference &variable, const std::optional<QString> &dataset)
{
    return u"This element returns a value into "_s + variable.text() +
           u", which isn't a declared variable "_s +
           (dataset ? u"of the dataset \""_s + *dataset + u"\" it runs in."_s
                    : u"in this report."_s);
}

Declared::Declared(const QList<ReportField> &fields, const QList<ReportParameter> &parameters,
                   const QList<ReportVariable> &variables, const QStringList &groups)
    : fields_(namesOf(fields)), parameters_(namesOf(parameters)), variables_(namesOf(variables))
{
    // Every group counts its rows in a variable of its own.
    for (const QString &group : groups)
        variables_.insert(group + u"_COUNT"_s);
}

bool Declared::declares(const Reference &reference) const
{
    const QSet<QString> &names = reference.letter == u'F'   ? fields_
                                 : reference.letter == u'P' ? parameters_
                                                            : variables_;
    return names.contains(reference.name) || DatasetRuns::builtInNames().contains(reference.name);
}

Finder::Finder(const ReportDocument &document) : document_(document) {}

const Declared *Finder::declared(const QString &dataset)
{
    auto found = declared_.find(dataset);
    if (found == declared_.end()) {
        std::optional<Declared> names;
        const QStringList groups = ReportReferences::groupsOfDataset(document_, dataset);
        if (dataset.isEmpty()) {
            names.emplace(document_.fields, document_.parameters, document_.variables, groups);
        } else {
            // Of two sub-datasets sharing a name the engine runs the first.
            const auto sub = std::find_if(
                document_.subDatasets.cbegin(), document_.subDatasets.cend(),
                [&](const ReportSubDataset &candidate) { return candidate.name == dataset; });
            if (sub != document_.subDatasets.cend())
                names.emplace(sub->fields, sub->parameters, sub->variables, groups);
        }
        found = declared_.insert(dataset, std::move(names));
    }
    return found->has_value() ? &**found : nullptr;
}

void Finder::note(const QUuid &element, const QString &dataset, const QStringList &texts,
                  QList<Lack> &found)
{
    const Declared *names = declared(dataset);
    if (!names)
        return;
    QStringList lacked;
    for (const QString &text : texts) {
        for (const Reference &reference : referencesIn(text)) {
            if (!names->declares(reference) && !lacked.contains(reference.text()))
                lacked.append(reference.text());
        }
    }
    if (lacked.isEmpty())
        return;
    QStringList &references = lackOf(element, dataset, found).references;
    for (const QString &reference : std::as_const(lacked)) {
        if (!references.contains(reference))
            references.append(reference);
    }
}

void Finder::noteReturns(const QUuid &element, const QString &dataset, const QStringList &returned,
                         QList<Lack> &found)
{
    const Declared *names = declared(dataset);
    if (!names)
        return;
    for (const QString &name : returned) {
        const Reference variable{u'V', name};
        if (names->declares(variable))
            continue;
        QStringList &returns = lackOf(element, dataset, found).returns;
        if (!returns.contains(variable.text()))
            returns.append(variable.text());
    }
}

Lack &Finder::lackOf(const QUuid &element, const QString &dataset, QList<Lack> &found)
{
    QHash<QString, qsizetype> &ofElement = noted_[element];
    const auto same = ofElement.constFind(dataset);
    if (same != ofElement.cend())
        return found[*same];
    ofElement.insert(dataset, found.size());
    found.append({element, dataset, {}, {}});
    return found.last();
}

void Finder::noteBody(const ReportElement &element, const QString &dataset, QList<Lack> &found)
{
    // The expressions by the dataset they are evaluated over, in order of first appearance.
    QStringList datasets;
    QHash<QString, QStringList> texts;
    ExpressionUses::visitBody(element,
                              [&](const QString &text, const std::optional<QString> &over) {
                                  const QString in = over.value_or(dataset);
                                  if (!datasets.contains(in))
                                      datasets.append(in);
                                  texts[in].append(text);
                              });
    for (const QString &in : std::as_const(datasets))
        note(element.id, in, texts.value(in), found);
}

void Finder::visit(const ReportElement &element, const QString &dataset, Count count,
                   const Choose &choose, QList<Lack> &found)
{
    if (count != Count::all)
        count = choose(element);
    if (count == Count::all) {
        note(element.id, dataset, ownExpressions(element), found);
        noteReturns(element.id, dataset, returnDestinations(element), found);
        noteBody(element, dataset, found);
    }
    const Count inner = count == Count::none ? Count::none : Count::all;
    if (const ElementList *children = element.kind.children()) {
        const auto *list = element.kind.as<ElementKind::List>();
        const QString within = list ? list->datasetName : dataset;
        for (const ReportElement &child : *children)
            visit(child, within, inner, choose, found);
    }
    if (element.kind.is<ElementKind::Table>())
        visitTable(element, inner, choose, found);
}

void Finder::visitTable(const ReportElement &table, Count count, const Choose &choose,
                        QList<Lack> &found)
{
    const ElementKind::Table &payload = *table.kind.as<ElementKind::Table>();
    QStringList texts;
    QStringList returned;
    using Cell = ReportTableColumn::Cell;
    for (const ReportTableColumn &column : payload.columns) {
        for (const Cell cell : {Cell::header, Cell::detail, Cell::footer}) {
            // A cell's element is visited as the table's, and what it holds as its own.
            if (const SharedOptional<ReportElement> &element = column.element(cell)) {
                if (count == Count::all) {
                    texts += ownExpressions(*element);
                    returned += returnDestinations(*element);
                }
                if (const ElementList *children = element->kind.children()) {
                    const auto *list = element->kind.as<ElementKind::List>();
                    const QString within = list ? list->datasetName : payload.datasetName;
                    for (const ReportElement &child : *children)
                        visit(child, within, count, choose, found);
                }
                if (element->kind.is<ElementKind::Table>())
                    visitTable(*element, count, choose, found);
            }
            if (count == Count::all)
                appendKept(texts, column.formatting(cell).kept);
        }
        if (count == Count::all)
            appendKept(texts, column.kept);
    }
    if (count == Count::all) {
        for (const ElementKind::Table::KeptColumnGroup &group : payload.keptColumnGroups)
            appendKept(texts, group.xml);
        appendKept(texts, payload.kept);
        note(table.id, payload.datasetName, texts, found);
        noteReturns(table.id, payload.datasetName, returned, found);
    }
}

QList<Lack> Finder::everywhere(const Choose &choose)
{
    QList<Lack> found;
    noted_.clear();
    const auto walk = [&](const ElementList &list) {
        for (const ReportElement &element : list)
            visit(element, {}, Count::none, choose, found);
    };
    for (const ReportBand &band : document_.bands)
        walk(band.elements);
    for (const ReportBand &band : document_.detailBands)
        walk(band.elements);
    for (const ReportGroup &group : document_.groups) {
        walk(group.headerElements);
        walk(group.footerElements);
    }
    return found;
}

QList<Lack> Finder::within(const ReportElement &topLevel)
{
    QList<Lack> found;
    noted_.clear();
    visit(topLevel, {}, Count::all, {}, found);
    return found;
}

QList<Lack> Finder::of(const QSet<QUuid> &ids)
{
    if (ids.isEmpty())
        return {};
    return everywhere([&](const ReportElement &element) {
        return ids.contains(element.id) ? Count::all : Count::none;
    });
}

QList<Lack> Finder::inside(const QUuid &container)
{
    return everywhere([&](const ReportElement &element) {
        return element.id == container ? Count::contents : Count::none;
    });
}

QString words(const QList<Lack> &lacks, const QString &subject, bool plural)
{
    // The references, and the variables returned into, by dataset, in order of first appearance.
    struct ByDataset {
        QStringList datasets;
        QHash<QString, QStringList> named;
        // What each dataset's list already names: thousands of elements may each name another.
        QHash<QString, QSet<QString>> listed;

        void add(const QString &dataset, const QStringList &items)
        {
            if (items.isEmpty())
                return;
            if (!named.contains(dataset))
                datasets.append(dataset);
            QStringList &names = named[dataset];
            QSet<QString> &seen = listed[dataset];
            for (const QString &item : items) {
                if (!seen.contains(item)) {
                    seen.insert(item);
                    names.append(item);
                }
            }
        }
    };
    ByDataset references, returns;
    for (const Lack &lack : lacks) {
        references.add(lack.dataset, lack.references);
        returns.add(lack.dataset, lack.returns);
    }
    if (references.datasets.isEmpty() && returns.datasets.isEmpty())
        return {};
    const auto listed = [](const QStringList &items) -> QString {
        if (items.size() == 1)
            return items.first();
        return items.first(items.size() - 1).join(u", "_s) + u" and "_s + items.last();
    };
    // A bar of thousands of names reads as none: past a dozen, the rest are counted.
    const auto listedShort = [&](const QStringList &items) -> QString {
        if (items.size() <= kListedNames)
            return listed(items);
        return items.first(kListedNames).join(u", "_s) + u" and "_s +
               QLocale().toString(items.size() - kListedNames) + u" more"_s;
    };
    // Each dataset's clause, and how many names they list.
    const auto clauses = [&](const ByDataset &byDataset, qsizetype &count) {
        QStringList out;
        for (const QString &dataset : byDataset.datasets) {
            const QStringList &named = byDataset.named.value(dataset);
            count += named.size();
            out.append(listedShort(named) + u", which "_s +
                       (dataset.isEmpty() ? u"the report's main dataset"_s
                                          : u"the dataset \""_s + dataset + u'"') +
                       u" does not declare"_s);
        }
        return out;
    };
    qsizetype referenceCount = 0;
    qsizetype returnCount = 0;
    const QStringList referenceClauses = clauses(references, referenceCount);
    const QStringList returnClauses = clauses(returns, returnCount);
    QStringList said;
    if (!referenceClauses.isEmpty())
        said.append((plural ? u" name "_s : u" names "_s) + listed(referenceClauses));
    if (!returnClauses.isEmpty())
        said.append((plural ? u" return into "_s : u" returns into "_s) + listed(returnClauses));
    const bool one = referenceCount + returnCount == 1;
    const QString changed = returnCount == 0 ? (one ? u"the expression"_s : u"the expressions"_s)
                            : referenceCount == 0
                                ? (one ? u"the return value"_s : u"the return values"_s)
                                : u"the expressions and return values"_s;
    const QString declare =
        (one ? u"Declare it there or change "_s : u"Declare them there or change "_s) + changed;
    return subject + said.join(u" and"_s) + u". "_s + declare +
           u": until then the report does not compile."_s;
}

namespace {

// The names a crosstab declares for what its cells evaluate: its parameters, and its row and
// column groups and measures as variables (a measure's totals too: "<measure>_<group>_ALL").
// It runs over no dataset: no fields, and none of a dataset's variables.
struct CrosstabNames {
    QSet<QString> parameters;
    QSet<QString> groups;
    QSet<QString> measures;

    explicit CrosstabNames(const QString &body)
    {
        XmlFragment::edited(body, [&](XmlFragment::Element &tag) {
            const std::optional<QString> name = tag.attribute("name");
            if (!name)
                return;
            const QString local = tag.localName();
            if (local == u"crosstabParameter")
                parameters.insert(*name);
            else if (local == u"rowGroup" || local == u"columnGroup")
                groups.insert(*name);
            else if (local == u"measure")
                measures.insert(*name);
        });
    }

    bool declares(const Reference &reference) const
    {
        if (reference.letter == u'F')
            return false;
        if (reference.letter == u'P')
            return parameters.contains(reference.name) ||
                   DatasetRuns::builtInNames().contains(reference.name);
        if (groups.contains(reference.name) || measures.contains(reference.name))
            return true;
        if (!reference.name.endsWith(u"_ALL"))
            return false;
        return std::any_of(measures.cbegin(), measures.cend(), [&](const QString &measure) {
            return reference.name.startsWith(measure + u'_');
        });
    }
};

} // namespace

QStringList conditionNotes(const ReportDocument &document, const QString &style,
                           const QString &expression)
{
    const ReportStyle *defaultStyle = StyleChain::defaultStyle(document.styles);
    if (!defaultStyle || defaultStyle->name != style)
        return {};
    const QList<Reference> references = referencesIn(expression);
    if (references.isEmpty())
        return {};
    QStringList notes;
    ElementWalk::visitDatasets(
        document, [&](const ReportElement &element, const std::optional<QString> &) {
            const auto *crosstab = element.kind.as<ElementKind::Crosstab>();
            if (!crosstab)
                return;
            const CrosstabNames names(crosstab->bodyXML);
            for (const Reference &reference : references) {
                QString words = reference.text() + u" isn't a declared "_s + kindOf(reference) +
                                u" of a crosstab of this report: the engine evaluates the "
                                u"default style's conditions in every crosstab's cells too."_s;
                if (!names.declares(reference) && !notes.contains(words))
                    notes.append(std::move(words));
            }
        });
    return notes;
}

} // namespace DatasetLacks
