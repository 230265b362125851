#include "document/ReportReferences.h"

#include "document/ElementWalk.h"
#include "document/StyleHeirs.h"
#include "model/KeptBands.h"
#include "model/XmlFragment.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace ReportReferences {

namespace {

enum class Mode { count, rename, drop, collect };

// The reference given `ordinal`-th in that part of its holder.
QUuid referenceOf(const QUuid &holder, const QString &place, int part, int ordinal)
{
    return QUuid::createUuidV5(holder, place + u'/' + QString::number(part) + u'/' +
                                           QString::number(ordinal));
}

// The element of kept or captured content that `named` gives a style to, in that part of its
// holder: the report element whose position line it is, else the holder itself (an empty text:
// a cell's style is its table's or crosstab's).
QString styledElement(const XmlFragment::Element &named, int part)
{
    if (named.localName() != u"reportElement"_s || !named.parent())
        return {};
    return QString::number(part) + u'/' + named.parent()->place();
}

// The attributes that name a group, each with the one that says when it applies: dropping the
// group makes that one fall back (no fallback: the attribute goes).
struct GroupAttribute {
    const char *group;
    const char *type;
    const char *fallback;
};
constexpr GroupAttribute groupAttributes[] = {{"resetGroup", "resetType", "Report"},
                                              {"incrementGroup", "incrementType", nullptr},
                                              {"evaluationGroup", "evaluationTime", "Report"},
                                              {"printWhenGroupChanges", nullptr, nullptr}};

// The attributes of a kept XML element, read and changed as those of a fragment are.
class KeptAttributes {
public:
    explicit KeptAttributes(KeptXml &kept) : kept_(kept) {}

    std::optional<QString> attribute(const char *name) const
    {
        const QString *value = kept_.attribute(QString::fromLatin1(name));
        return value ? std::optional(*value) : std::nullopt;
    }
    void setAttribute(const char *name, const QString &value)
    {
        for (KeptXml::Attribute &attr : kept_.attributes) {
            if (attr.name == QLatin1StringView(name)) {
                attr.value = value;
                return;
            }
        }
        kept_.attributes.append({QString::fromLatin1(name), value});
    }
    void removeAttribute(const char *name) { kept_.removeAttribute(QString::fromLatin1(name)); }

private:
    KeptXml &kept_;
};

// One pass over a report for one name of one kind: counting, renaming or dropping.
class Pass {
public:
    Pass(Kind kind, Mode mode, const QString &name, const QString &to = {})
        : kind_(kind), mode_(mode), name_(name), to_(to)
    {
    }

    Uses uses;
    // The ids of the references to the thing, as the pass finds them (referenceOf).
    QSet<QUuid> holders;
    // When set, the pass looks at the references of these ids alone.
    const QSet<QUuid> *only = nullptr;
    // Dropping a group: the evaluation time of what was evaluated on it.
    QString evaluationFallback = u"Report"_s;
    // What Mode::collect found: every name of the kind, whatever the name given.
    QSet<QString> collected;

    bool run(ReportDocument &document)
    {
        bool changed = ElementWalk::editDocument(
            document, [this](const ReportElement &element, ElementScope scope) {
                return onElement(element, scope);
            });
        changed = KeptBands::edit(document,
                                  [this](QString &xml, const QUuid &group, const QString &place) {
                                      onKeptBand(xml, group, place);
                                  }) ||
                  changed;
        if (kind_ == Kind::group)
            changed = onVariables(document.variables) || changed;
        if (kind_ == Kind::style)
            changed = onStyles(document.styles) || changed;
        return changed;
    }

private:
    // An element, variable or style holds references from here on; `place` tells apart the
    // holders that one id stands for in several places (a kept band's).
    void beginHolder(const QUuid &id, const QString &place = {}, int ordinal = 0)
    {
        holder_ = id;
        holderPlace_ = place;
        part_ = 0;
        ordinal_ = ordinal;
        named_.clear();
    }
    // The next part of the holder (a fragment, a kept part) that a pass may pass over whole.
    void nextPart()
    {
        ++part_;
        ordinal_ = 0;
    }
    // Whether the value names the thing; collecting, it notes the value and answers false.
    // Every value the holder gives is one reference, known by its place among the holder's
    // references of the kind whatever they name: a rename leaves that place as it was, so the
    // references of two things of one name stay apart when one holder names both.
    bool names(const std::optional<QString> &value)
    {
        if (mode_ == Mode::collect) {
            if (value && !value->isEmpty())
                collected.insert(*value);
            return false;
        }
        if (!value)
            return false;
        const QUuid reference = referenceOf(holder_, holderPlace_, part_, ordinal_++);
        if (*value != name_ || (only && !only->contains(reference)))
            return false;
        named_.insert(reference);
        return true;
    }
    // The references the holder gave so far join the pass's.
    void endHolder() { holders.unite(std::exchange(named_, {})); }
    bool mayHold(const QString &text)
    {
        nextPart();
        return mode_ == Mode::collect || XmlFragment::mayHold(text, name_);
    }

    // An attribute that names the thing outright (a style, a sub-dataset).
    template <typename Holder> bool named(Holder &holder, const char *attr)
    {
        if (!names(holder.attribute(attr)))
            return false;
        if (mode_ == Mode::rename)
            holder.setAttribute(attr, to_);
        else if (mode_ == Mode::drop)
            holder.removeAttribute(attr);
        return true;
    }

    template <typename Holder> bool groupNamed(Holder &holder)
    {
        bool found = false;
        for (const GroupAttribute &g : groupAttributes) {
            if (mode_ != Mode::drop) {
                found = named(holder, g.group) || found;
                continue;
            }
            if (holder.attribute(g.group) != name_)
                continue;
            found = true;
            holder.removeAttribute(g.group);
            if (g.type && holder.attribute(g.type) == u"Group"_s) {
                if (g.fallback && qstrcmp(g.type, "evaluationTime") == 0)
                    holder.setAttribute(g.type, evaluationFallback);
                else if (g.fallback)
                    holder.setAttribute(g.type, QString::fromLatin1(g.fallback));
                else
                    holder.removeAttribute(g.type);
            }
        }
        return found;
    }

    // Whether the element and what it holds name their own groups, not the report's: what
    // lists, tables, crosstab cells and sub-datasets hold. Their content is then not visited.
    bool entersOwnGroups(XmlFragment::Element &element) const
    {
        static const QStringList inner = {u"listContents"_s, u"table"_s, u"list"_s,
                                          u"cellContents"_s, u"subDataset"_s};
        if (kind_ != Kind::group || !inner.contains(element.localName()))
            return false;
        element.skipChildren();
        return true;
    }

    // What names the thing in one element of kept or captured content.
    bool onXmlElement(XmlFragment::Element &element)
    {
        switch (kind_) {
        case Kind::style:
            if (!named(element, "style"))
                return false;
            styled_.insert(styledElement(element, part_));
            return true;
        case Kind::subDataset:
            return element.localName() == u"datasetRun"_s && named(element, "subDataset");
        case Kind::group:
            return !entersOwnGroups(element) && groupNamed(element);
        }
        return false;
    }

    // A band of a group's header or footer kept as written: each report element in it that
    // names the thing counts once; dropping a sub-dataset takes what runs it out.
    void onKeptBand(QString &xml, const QUuid &group, const QString &place)
    {
        if (!mayHold(xml))
            return;
        QSet<QUuid> named;
        QSet<QString> styled;
        QHash<QUuid, int> ordinals;
        const std::optional<QString> edited =
            XmlFragment::edited(xml, [&](XmlFragment::Element &e) {
                if (entersOwnGroups(e))
                    return;
                std::optional<XmlFragment::Element> holder = KeptBands::elementOf(e);
                // What no report element holds (a report book's part) is the group's own.
                const QUuid id = holder ? KeptBands::idOf(*holder, group, place) : group;
                beginHolder(id, place, ordinals.value(id));
                const bool found = onXmlElement(e);
                ordinals.insert(id, ordinal_);
                endHolder();
                if (!found || !holder)
                    return;
                // Each element a style names counts, those in a crosstab's cells too.
                if (kind_ == Kind::style) {
                    const std::optional<XmlFragment::Element> line = e.parent();
                    const QString element = e.localName() == u"reportElement"_s && line
                                                ? line->place()
                                                : holder->place();
                    if (!styled.contains(element)) {
                        styled.insert(element);
                        ++uses.elements;
                    }
                    return;
                }
                if (named.contains(id))
                    return;
                named.insert(id);
                if (kind_ == Kind::subDataset) {
                    ++uses.components;
                    if (mode_ == Mode::drop)
                        holder->remove();
                } else {
                    ++uses.elements;
                }
            });
        if (edited && mode_ != Mode::count)
            xml = *edited;
    }

    bool onFragment(QString &xml)
    {
        if (!mayHold(xml))
            return false;
        bool found = false;
        const std::optional<QString> edited = XmlFragment::edited(
            xml, [&](XmlFragment::Element &e) { found = onXmlElement(e) || found; });
        if (edited && mode_ != Mode::count)
            xml = *edited;
        return found;
    }

    bool onAttributeText(QString &attributes, const char *tag)
    {
        if (!mayHold(attributes))
            return false;
        bool found = false;
        const std::optional<QString> edited = XmlFragment::editedAttributes(
            attributes, tag, [&](XmlFragment::Element &e) { found = onXmlElement(e) || found; });
        if (edited && mode_ != Mode::count)
            attributes = *edited;
        return found;
    }

    // The attributes of every part, and with `children` the kept child elements too.
    bool onKept(KeptParts &parts, bool children = true)
    {
        bool found = false;
        for (const QString &key : parts.keys()) {
            nextPart();
            KeptXml part = parts.part(key);
            KeptAttributes attributes(part);
            bool partFound = kind_ == Kind::group   ? groupNamed(attributes)
                             : kind_ == Kind::style ? named(attributes, "style")
                                                    : false;
            if (children) {
                for (KeptXml::Child &child : part.children)
                    partFound = onFragment(child.xml) || partFound;
            }
            if (partFound && mode_ != Mode::count)
                parts.setPart(key, std::move(part));
            found = found || partFound;
        }
        return found;
    }

    bool onStyleName(std::optional<QString> &styleName)
    {
        if (!names(styleName))
            return false;
        styled_.insert(QString());
        if (mode_ == Mode::rename)
            styleName = to_;
        else if (mode_ == Mode::drop)
            styleName.reset();
        return true;
    }

    bool onTable(ElementKind::Table &table)
    {
        bool found = onKept(table.kept);
        for (ElementKind::Table::KeptColumnGroup &group : table.keptColumnGroups)
            found = onFragment(group.xml) || found;
        for (ReportTableColumn &column : table.columns) {
            found = onKept(column.kept) || found;
            for (TableCellFormatting *cell :
                 {&column.columnHeaderFormatting, &column.detailCellFormatting,
                  &column.columnFooterFormatting}) {
                if (kind_ == Kind::style)
                    found = onStyleName(cell->styleName) || found;
                found = onKept(cell->kept) || found;
            }
        }
        return found;
    }

    // What the element's kind holds as the file wrote it.
    bool onPayload(ElementKind &kind)
    {
        bool found = false;
        if (auto *chart = kind.as<ElementKind::Chart>()) {
            found = onAttributeText(chart->chartAttrs, "chart");
            found = onFragment(chart->chartBodyXML) || found;
            found = onFragment(chart->siblingXML) || found;
        } else if (auto *crosstab = kind.as<ElementKind::Crosstab>()) {
            found = onAttributeText(crosstab->crosstabAttrs, "crosstab");
            found = onFragment(crosstab->bodyXML) || found;
        } else if (auto *component = kind.as<ElementKind::ComponentPlaceholder>()) {
            found = onFragment(component->componentXML);
        } else if (auto *generic = kind.as<ElementKind::GenericElement>()) {
            found = onAttributeText(generic->elementAttrs, "genericElement");
            found = onFragment(generic->bodyXML) || found;
        } else if (auto *table = kind.as<ElementKind::Table>()) {
            if (kind_ != Kind::group)
                found = onTable(*table);
        } else if (auto *list = kind.as<ElementKind::List>()) {
            if (kind_ != Kind::group)
                found = onKept(list->kept);
        }
        return found;
    }

    bool onDatasetName(QString &datasetName)
    {
        if (!names(datasetName))
            return false;
        if (mode_ == Mode::rename)
            datasetName = to_;
        return true;
    }

    ElementWalk::Outcome onElement(const ReportElement &element, ElementScope scope)
    {
        // Groups are the report's only in its own sections.
        if (kind_ == Kind::group && scope == ElementScope::dataset)
            return std::nullopt;
        beginHolder(element.id);
        styled_.clear();
        ReportElement e = element;
        bool found = false;
        switch (kind_) {
        case Kind::style:
            found = onStyleName(e.styleName);
            found = onKept(e.kept) || found;
            break;
        case Kind::group:
            if (e.kind.hasEvaluationTime()) {
                if (names(e.evaluationGroup)) {
                    found = true;
                    if (mode_ == Mode::rename) {
                        e.evaluationGroup = to_;
                    } else if (mode_ == Mode::drop) {
                        e.evaluationGroup.reset();
                        if (e.evaluationTime == u"Group"_s)
                            e.evaluationTime = evaluationFallback;
                    }
                }
            }
            // The kind's own tag and the position line; their kept children may belong to
            // content inside (a list's, a table's).
            found = onKept(e.kept, false) || found;
            break;
        case Kind::subDataset:
            if (auto *list = e.kind.as<ElementKind::List>())
                found = onDatasetName(list->datasetName);
            else if (auto *table = e.kind.as<ElementKind::Table>())
                found = onDatasetName(table->datasetName);
            found = onKept(e.kept) || found;
            break;
        }
        found = onPayload(e.kind) || found;
        endHolder();
        if (!found)
            return std::nullopt;
        // What runs a sub-dataset is a component; what names a group or style, an element. A
        // style counts each element inside that names it (a crosstab's cells, the cells a table
        // keeps as written), and the element itself when it or its cells name it.
        if (kind_ == Kind::subDataset)
            ++uses.components;
        else if (kind_ == Kind::style)
            uses.elements += std::max<int>(1, int(styled_.size()));
        else
            ++uses.elements;
        if (mode_ == Mode::count)
            return std::nullopt;
        if (kind_ == Kind::subDataset && mode_ == Mode::drop)
            return ElementWalk::Outcome(std::optional<ReportElement>());
        return ElementWalk::Outcome(std::move(e));
    }

    bool onVariables(QList<ReportVariable> &variables)
    {
        bool changed = false;
        for (qsizetype i = 0; i < variables.size(); ++i) {
            ReportVariable variable = variables.at(i);
            beginHolder(variable.id);
            bool found = false;
            const auto onGroup = [&](std::optional<QString> &group, QString *type,
                                     std::optional<QString> *optionalType) {
                if (!names(group))
                    return;
                found = true;
                if (mode_ == Mode::rename) {
                    group = to_;
                } else if (mode_ == Mode::drop) {
                    group.reset();
                    if (type && *type == u"Group"_s)
                        *type = u"Report"_s;
                    if (optionalType && *optionalType == u"Group"_s)
                        optionalType->reset();
                }
            };
            onGroup(variable.resetGroup, &variable.resetType, nullptr);
            onGroup(variable.incrementGroup, nullptr, &variable.incrementType);
            endHolder();
            if (!found)
                continue;
            ++uses.variables;
            if (mode_ != Mode::count) {
                variables[i] = std::move(variable);
                changed = true;
            }
        }
        return changed;
    }

    bool onStyles(QList<ReportStyle> &styles)
    {
        bool changed = false;
        for (qsizetype i = 0; i < styles.size(); ++i) {
            ReportStyle style = styles.at(i);
            beginHolder(style.id);
            bool found = onKept(style.kept);
            for (ConditionalStyleRule &rule : style.conditionalStyles)
                found = onKept(rule.kept) || found;
            endHolder();
            if (!found)
                continue;
            ++uses.styles;
            if (mode_ != Mode::count) {
                styles[i] = std::move(style);
                changed = true;
            }
        }
        return changed;
    }

    Kind kind_;
    Mode mode_;
    QString name_;
    QString to_;
    // The holder whose references the pass reads, and where in it.
    QUuid holder_;
    QString holderPlace_;
    int part_ = 0;
    int ordinal_ = 0;
    // The references to the thing the holder gave.
    QSet<QUuid> named_;
    // The elements of the holder a style names: the holder itself (an empty text), and the
    // elements inside what it keeps (styledElement).
    QSet<QString> styled_;
};

} // namespace

Uses uses(const ReportDocument &document, Kind kind, const QString &name, const QSet<QUuid> *only)
{
    Pass pass(kind, Mode::count, name);
    pass.only = only;
    ReportDocument counted = document; // nothing is written: the copy shares every list
    pass.run(counted);
    return pass.uses;
}

QSet<QUuid> holders(const ReportDocument &document, Kind kind, const QString &name)
{
    Pass pass(kind, Mode::count, name);
    ReportDocument counted = document; // nothing is written: the copy shares every list
    pass.run(counted);
    return pass.holders;
}

QStringList groupsOfDataset(const ReportDocument &document, const QString &dataset)
{
    QStringList names;
    const auto own = std::find_if(
        document.subDatasets.cbegin(), document.subDatasets.cend(),
        [&](const ReportSubDataset &subDataset) { return subDataset.name == dataset; });
    if (dataset.isEmpty() || own == document.subDatasets.cend()) {
        for (const ReportGroup &group : document.groups)
            names.append(group.name);
        return names;
    }
    // A sub-dataset's groups are kept as the file wrote them.
    for (const KeptXml::Child &child : own->kept.part({}).children) {
        XmlFragment::edited(child.xml, [&](XmlFragment::Element &element) {
            element.skipChildren();
            if (element.localName() == u"group")
                names.append(element.attribute("name").value_or(QString()));
        });
    }
    return names;
}

QSet<QString> namesIn(const ReportDocument &document, Kind kind)
{
    Pass pass(kind, Mode::collect, QString());
    ReportDocument read = document; // nothing is written: the copy shares every list
    pass.run(read);
    return pass.collected;
}

QStringList adopt(const ReportDocument &document, ElementList &elements, const QString &dataset)
{
    const QStringList groups = groupsOfDataset(document, dataset);
    // The elements alone in a report of the document's declarations.
    ReportDocument scratch;
    scratch.styles = document.styles;
    scratch.groups = document.groups;
    scratch.subDatasets = document.subDatasets;
    ReportBand band;
    band.type = BandType::title;
    band.elements = elements;
    scratch.bands = {band};
    const auto declared = [](const auto &items, const QString &name) {
        return std::any_of(items.cbegin(), items.cend(),
                           [&](const auto &item) { return item.name == name; });
    };
    for (const QString &group : namesIn(scratch, Kind::group)) {
        if (!groups.contains(group))
            dropGroup(scratch, group);
    }
    for (const QString &style : namesIn(scratch, Kind::style)) {
        if (!declared(document.styles, style))
            dropStyle(scratch, style, false);
    }
    elements = scratch.bands.first().elements;
    QStringList missing;
    for (const QString &dataset : namesIn(scratch, Kind::subDataset)) {
        if (!declared(document.subDatasets, dataset))
            missing.append(dataset);
    }
    missing.sort();
    return missing;
}

bool rename(ReportDocument &document, Kind kind, const QString &from, const QString &to,
            const QSet<QUuid> *only)
{
    if (from == to)
        return false;
    Pass pass(kind, Mode::rename, from, to);
    pass.only = only;
    return pass.run(document);
}

bool dropGroup(ReportDocument &document, const QString &name)
{
    return Pass(Kind::group, Mode::drop, name).run(document);
}

ReportDocument alone(const ElementList &elements)
{
    ReportDocument document;
    ReportBand band;
    band.elements = elements;
    document.bands = {band};
    return document;
}

QStringList groupsNamedIn(const ElementList &content)
{
    QStringList names = namesIn(alone(content), Kind::group).values();
    names.sort();
    return names;
}

bool keepGroupsOf(ElementList &content, const QStringList &before, const QStringList &after)
{
    // The content alone, in a report's section: there the group pass reaches it.
    ReportDocument section = alone(content);
    QSet<QString> named(before.cbegin(), before.cend());
    ElementWalk::visitDocument(section, [&](const ReportElement &element, ElementScope scope) {
        if (scope == ElementScope::report && element.evaluationGroup)
            named.insert(*element.evaluationGroup);
    });
    bool changed = false;
    for (const QString &name : std::as_const(named)) {
        if (after.contains(name))
            continue;
        // What the new dataset cannot evaluate on a group is evaluated at once, as new
        // elements are.
        Pass pass(Kind::group, Mode::drop, name);
        pass.evaluationFallback = u"Now"_s;
        changed = pass.run(section) || changed;
    }
    if (changed)
        content = section.bands.first().elements;
    return changed;
}

bool dropSubDataset(ReportDocument &document, const QString &name)
{
    return Pass(Kind::subDataset, Mode::drop, name).run(document);
}

bool dropStyle(ReportDocument &document, const QString &name, bool wasDefault)
{
    // The elements that named the style, found before their references go.
    QSet<QUuid> named;
    ElementWalk::visitDocument(document, [&](const ReportElement &element, ElementScope) {
        if (element.styleName == name || (wasDefault && !element.styleName))
            named.insert(element.id);
    });
    const QList<ReportStyle> before = document.styles;
    const bool changed = Pass(Kind::style, Mode::drop, name).run(document);
    // The styles that inherited from it, and the elements that named it, inherit anew.
    return StyleHeirs::follow(document, before, named) || changed;
}

QString usageMessage(const QString &name, const Uses &uses)
{
    const auto counted = [](int count, const QString &noun) -> QString {
        return QString::number(count) + u' ' + noun + (count == 1 ? QString() : u"s"_s);
    };
    QStringList parts;
    if (uses.variables > 0)
        parts.append(counted(uses.variables, u"variable"_s));
    if (uses.elements > 0)
        parts.append(counted(uses.elements, u"element"_s));
    if (uses.components > 0)
        parts.append(counted(uses.components, u"component"_s));
    if (uses.styles > 0)
        parts.append(counted(uses.styles, u"style"_s));
    QString joined;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            joined += i == parts.size() - 1 ? u" and "_s : u", "_s;
        joined += parts.at(i);
    }
    return name + u" is used by "_s + joined + u'.';
}

} // namespace ReportReferences
