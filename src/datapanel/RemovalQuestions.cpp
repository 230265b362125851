#include "datapanel/RemovalQuestions.h"

#include "document/DocumentStore.h"
#include "document/ElementWalk.h"
#include "document/ExpressionUses.h"
#include "model/KeptBands.h"
#include "model/StyleChain.h"

using namespace Qt::StringLiterals;

namespace RemovalQuestions {

namespace {

// The name of the item of that id, when no other item of the list has it.
template <typename T> std::optional<QString> soleName(const QList<T> &list, const QUuid &id)
{
    std::optional<QString> name;
    for (const T &item : list) {
        if (item.id == id)
            name = item.name;
    }
    if (!name)
        return std::nullopt;
    for (const T &item : list) {
        if (item.id != id && item.name == *name)
            return std::nullopt;
    }
    return name;
}

// The name of the item of that id; with another item of that name, what names the item alone
// (NameTies), else nothing tells which references are its: no value then.
template <typename T>
std::optional<std::pair<QString, std::optional<QSet<QUuid>>>>
namedUses(const ReportDocument &document, const QList<T> &list, const QUuid &id)
{
    if (const std::optional<QString> name = soleName(list, id))
        return std::pair(*name, std::nullopt);
    const auto tie = document.nameTies.constFind(id);
    const auto item =
        std::find_if(list.cbegin(), list.cend(), [&](const T &named) { return named.id == id; });
    if (tie == document.nameTies.cend() || item == list.cend())
        return std::nullopt;
    return std::pair(item->name, std::optional(*tie));
}

std::optional<std::pair<QString, std::optional<QSet<QUuid>>>>
namedUses(const ReportDocument &document, ReportReferences::Kind kind, const QUuid &id)
{
    switch (kind) {
    case ReportReferences::Kind::group:
        return namedUses(document, document.groups, id);
    case ReportReferences::Kind::subDataset:
        return namedUses(document, document.subDatasets, id);
    case ReportReferences::Kind::style:
        return namedUses(document, document.styles, id);
    }
    return std::nullopt;
}

// A declaration of that kind and name in the dataset of `dataset`.
ExpressionUses::Declaration declared(Declaration declaration, const QString &name,
                                     const std::optional<QString> &dataset)
{
    using Kind = ExpressionUses::Declaration::Kind;
    const Kind kind = declaration == Declaration::field       ? Kind::field
                      : declaration == Declaration::parameter ? Kind::parameter
                                                              : Kind::variable;
    return {kind, name, dataset};
}

// The name `find` answers for the list of that kind of the dataset of `dataset` (the report's
// own for a null id); no value when the report has no sub-dataset of that id.
template <typename Find>
std::optional<QString> inList(const ReportDocument &document, Declaration declaration,
                              const QUuid &dataset, const Find &find)
{
    const auto in = [&](const auto &parameters, const auto &fields, const auto &variables) {
        switch (declaration) {
        case Declaration::field:
            return find(fields);
        case Declaration::parameter:
            return find(parameters);
        case Declaration::variable:
            break;
        }
        return find(variables);
    };
    if (dataset.isNull())
        return in(document.parameters, document.fields, document.variables);
    for (const ReportSubDataset &subDataset : document.subDatasets) {
        if (subDataset.id == dataset)
            return in(subDataset.parameters, subDataset.fields, subDataset.variables);
    }
    return std::nullopt;
}

// The name of the sub-dataset of that id; no value for a null id, the report's own dataset.
std::optional<QString> datasetName(const ReportDocument &document, const QUuid &dataset)
{
    for (const ReportSubDataset &subDataset : document.subDatasets) {
        if (!dataset.isNull() && subDataset.id == dataset)
            return subDataset.name;
    }
    return std::nullopt;
}

// The declaration of that id, when no other of its list has its name.
std::optional<ExpressionUses::Declaration> declarationOf(const ReportDocument &document,
                                                         Declaration declaration, const QUuid &id,
                                                         const QUuid &dataset)
{
    const std::optional<QString> name = inList(
        document, declaration, dataset, [&](const auto &list) { return soleName(list, id); });
    if (!name)
        return std::nullopt;
    return declared(declaration, *name, datasetName(document, dataset));
}

// The variable in which a group counts its records.
ExpressionUses::Declaration countOf(const QString &group)
{
    return {ExpressionUses::Declaration::Kind::variable, group + u"_COUNT"_s};
}

// The name of the item of that id now, when no other item of the list has `former`.
template <typename T>
std::optional<QString> renamedFrom(const QList<T> &list, const QUuid &id, const QString &former)
{
    std::optional<QString> now;
    for (const T &item : list) {
        if (item.id == id)
            now = item.name;
        else if (item.name == former)
            return std::nullopt;
    }
    return now;
}

// "$F{City} is still used in 4 expressions: ...", naming the new reference; empty for none.
QString stillUsed(const ExpressionUses::Declaration &former, const ExpressionUses::Declaration &now,
                  const ExpressionUses::Uses &uses)
{
    if (uses.total() == 0)
        return {};
    return former.reference() + u" is still used in "_s + ExpressionUses::usedIn(uses) +
           u": the engine refuses the report until "_s + (uses.total() == 1 ? u"it"_s : u"they"_s) +
           u" name"_s + (uses.total() == 1 ? u"s "_s : u" "_s) + now.reference() + u'.';
}

// Whether the user chose the destructive first button.
bool confirmed(Dialogs &dialogs, const AlertRequest &question)
{
    return dialogs.runAlert(question) == 0;
}

// The elements that take the report's default style by naming no style (nor a report font):
// none when the style of that id is not the default style.
int defaultStyleUsers(const ReportDocument &document, const QUuid &id)
{
    const ReportStyle *defaultStyle = StyleChain::defaultStyle(document.styles);
    if (!defaultStyle || defaultStyle->id != id)
        return 0;
    int count = 0;
    ElementWalk::visitDocument(document, [&](const ReportElement &element, ElementScope) {
        if (!element.styleName && !element.kept.part(u"textElement/font").attribute(u"reportFont"))
            ++count;
    });
    return count + KeptBands::elementCount(document, {}, [](const XmlFragment::Element &element) {
               const std::optional<XmlFragment::Element> line = KeptBands::reportElementOf(element);
               return !line || !line->attribute("style");
           });
}

} // namespace

ReportReferences::Uses styleUses(const ReportDocument &document, const QUuid &id)
{
    ReportReferences::Uses uses;
    if (const auto named = namedUses(document, ReportReferences::Kind::style, id)) {
        const auto &[name, only] = *named;
        uses = ReportReferences::uses(document, ReportReferences::Kind::style, name,
                                      only ? &*only : nullptr);
    } else if (const auto style = std::find_if(document.styles.cbegin(), document.styles.cend(),
                                               [&](const ReportStyle &s) { return s.id == id; });
               style != document.styles.cend()) {
        // Another style has its name, and nothing tells which references are its: all are.
        uses = ReportReferences::uses(document, ReportReferences::Kind::style, style->name);
    }
    uses.elements += defaultStyleUsers(document, id);
    return uses;
}

AlertRequest deleteQuestion(const QString &message, ReportReferences::Kind kind)
{
    QString consequence;
    switch (kind) {
    case ReportReferences::Kind::group:
        consequence = u"What resets, increments or is evaluated on it then does so once for the "
                      u"whole report."_s;
        break;
    case ReportReferences::Kind::subDataset:
        consequence = u"The components that run it are deleted with it."_s;
        break;
    case ReportReferences::Kind::style:
        consequence = u"Elements that use it are then shown and printed without it."_s;
        break;
    }
    return {
        AlertRequest::Style::warning,
        message,
        consequence,
        {{u"Delete"_s, AlertRequest::Role::destructive}, {u"Cancel"_s, AlertRequest::Role::cancel}},
        1};
}

AlertRequest removeQuestion(const QString &message)
{
    return {
        AlertRequest::Style::warning,
        message,
        u"The report does not compile while something still names what it no longer declares."_s,
        {{u"Remove"_s, AlertRequest::Role::destructive}, {u"Cancel"_s, AlertRequest::Role::cancel}},
        1};
}

QString renameWarning(const ReportDocument &document, Declaration declaration, const QUuid &id,
                      const QString &former, const QUuid &dataset)
{
    const std::optional<QString> now =
        inList(document, declaration, dataset,
               [&](const auto &list) { return renamedFrom(list, id, former); });
    if (!now || *now == former)
        return {};
    const std::optional<QString> in = datasetName(document, dataset);
    const ExpressionUses::Declaration named = declared(declaration, former, in);
    return stillUsed(named, declared(declaration, *now, in), ExpressionUses::uses(document, named));
}

QString renameGroupWarning(const ReportDocument &document, const QUuid &id, const QString &former)
{
    const std::optional<QString> now = renamedFrom(document.groups, id, former);
    if (!now || *now == former)
        return {};
    return stillUsed(countOf(former), countOf(*now),
                     ExpressionUses::uses(document, countOf(former)));
}

bool mayDelete(Dialogs *dialogs, const DocumentStore &store, ReportReferences::Kind kind,
               const QUuid &id)
{
    if (!dialogs)
        return true;
    const auto named = namedUses(store.document(), kind, id);
    if (!named)
        return true;
    const auto &[name, only] = *named;
    // What goes with the item (a group's own sections) does not count.
    ReportDocument without = store.document();
    without.groups.removeIf([&](const ReportGroup &group) { return group.id == id; });
    const ReportReferences::Uses uses =
        kind == ReportReferences::Kind::style
            ? styleUses(without, id)
            : ReportReferences::uses(without, kind, name, only ? &*only : nullptr);
    // A group counts its records in a variable of its own, which expressions name.
    const ExpressionUses::Uses counted = kind == ReportReferences::Kind::group
                                             ? ExpressionUses::uses(without, countOf(name))
                                             : ExpressionUses::Uses{};
    if (uses.total() == 0 && counted.total() == 0)
        return true;
    if (counted.total() == 0)
        return confirmed(*dialogs,
                         deleteQuestion(ReportReferences::usageMessage(name, uses), kind));
    return confirmed(*dialogs, deleteGroupQuestion(name, uses, counted));
}

AlertRequest deleteGroupQuestion(const QString &name, const ReportReferences::Uses &uses,
                                 const ExpressionUses::Uses &counted)
{
    const ExpressionUses::Declaration count = countOf(name);
    const QString countUse = u"count of records, "_s + count.reference() + u", is used in "_s +
                             ExpressionUses::usedIn(counted) + u'.';
    AlertRequest question = deleteQuestion(
        uses.total() == 0 ? name + u"'s "_s + countUse
                          : ReportReferences::usageMessage(name, uses) + u" Its "_s + countUse,
        ReportReferences::Kind::group);
    const QString refused = u"The report does not compile while an expression still names "_s +
                            count.reference() + u'.';
    question.informativeText =
        uses.total() == 0 ? refused : question.informativeText + u' ' + refused;
    return question;
}

bool mayRemove(Dialogs *dialogs, const DocumentStore &store, Declaration declaration,
               const QUuid &id, const QUuid &dataset)
{
    if (!dialogs)
        return true;
    const std::optional<ExpressionUses::Declaration> declared =
        declarationOf(store.document(), declaration, id, dataset);
    if (!declared)
        return true;
    const ExpressionUses::Uses uses = ExpressionUses::uses(store.document(), *declared);
    if (uses.total() == 0)
        return true;
    return confirmed(*dialogs, removeQuestion(ExpressionUses::message(*declared, uses)));
}

} // namespace RemovalQuestions
