// The edits RandomEdits makes where a report's data meets its elements: widths typed into a
// table's Columns card, the Fields card's insert with a frame or list selected, removals from
// the data panel of fields, parameters and groups that the report names, and removals and renames
// in the Subdatasets card.

#include "RandomEdits.h"
#include "RandomEditsParts.h"

#include "datapanel/RemovalQuestions.h"
#include "document/DocumentStore.h"
#include "edits/DataItemEdits.h"
#include "edits/DataListEdits.h"
#include "edits/InspectorEdits.h"
#include "inspector/TableCells.h"
#include "model/JrxmlCodec.h"
#include "widgets/ScriptedDialogs.h"
#include "workspace/AppSettings.h"

using namespace Qt::StringLiterals;
using namespace randomedits;
using Cell = ReportTableColumn::Cell;

QString RandomEdits::editDataPaths()
{
    switch (pick(3)) {
    case 0:
        return typeColumnWidth();
    case 1:
        return insertFromFieldsCard();
    default:
        return removeNamedDeclaration();
    }
}

namespace {

// Whether a cell of the column holds elements beside the one the card edits.
bool isCrowded(const ReportTableColumn &column)
{
    for (const Cell cell : {Cell::header, Cell::detail, Cell::footer}) {
        if (!column.formatting(cell).kept.part({}).children.isEmpty())
            return true;
    }
    return false;
}

} // namespace

QString RandomEdits::typeColumnWidth()
{
    // Every column of every table, those with cells of several elements apart.
    QList<std::pair<Placed, qsizetype>> columns, crowded;
    for (const Placed &placed : placedElements(store_.document())) {
        const auto *table = placed.element.kind.as<ElementKind::Table>();
        for (qsizetype i = 0; table && i < table->columns.size(); ++i)
            (isCrowded(table->columns.at(i)) ? crowded : columns).append({placed, i});
    }
    if (!crowded.isEmpty() && (columns.isEmpty() || chance(0.6)))
        columns = crowded;
    if (columns.isEmpty())
        return u"column width: no table"_s;
    const auto &[table, index] = columns.at(pick(int(columns.size())));
    store_.setActiveBandTarget(table.band);
    store_.setSelectedElementIDs({table.element.id});
    const ReportTableColumn &column =
        table.element.kind.as<ElementKind::Table>()->columns.at(index);
    // Mostly narrower than the column is, now and then below 0 or past what the engine reads.
    static const double far[] = {-20, -5, -0.4, 0, 0.6, 1e5, 2147483647, 2147483648, 5e9, 1e10};
    const double width =
        chance(0.35) ? far[pick(10)] : pick(std::max(1, int(column.width))) + pick(4) * 0.25;
    const QString typed = TableCells::widthText(width, QLocale());
    const QString what = u"table "_s + whereOf(table) + u": column "_s + QString::number(index) +
                         u" width "_s + typed;
    // The Columns card's width field, committed.
    const ElementWriter writer(&store_, table.element);
    const LengthVerdict verdict = TableCells::commitWidth(writer, column.id, typed, QLocale());
    if (!verdict.points)
        return what + u" refused: "_s + verdict.message;
    return what;
}

QString RandomEdits::insertFromFieldsCard()
{
    const QList<ReportField> fields = store_.document().fields;
    if (fields.isEmpty())
        return u"fields card insert: no field"_s;
    const ReportField &field = fields.at(pick(int(fields.size())));
    const QString where = pickDestination();
    if (DataItemEdits::insertTextField(store_, field.id, *appSettings_) &&
        store_.selectedElementID())
        fieldsCardInserts_.insert(*store_.selectedElementID());
    return describe(u"fields card insert of"_s, field.name) + u' ' + where;
}

QString RandomEdits::removeNamedDeclaration()
{
    const ReportDocument &d = store_.document();
    const QString written = QString::fromUtf8(JrxmlCodec::serialize(d));
    // What the report names: a field, a parameter, or a group's count of records.
    struct Named {
        RemovalQuestions::Declaration kind;
        QUuid id;
        QString name;
        bool group = false;
    };
    QList<Named> named;
    for (const ReportField &field : d.fields) {
        if (written.contains(u"$F{"_s + field.name + u'}'))
            named.append({RemovalQuestions::Declaration::field, field.id, field.name});
    }
    for (const ReportParameter &parameter : d.parameters) {
        if (written.contains(u"$P{"_s + parameter.name + u'}'))
            named.append({RemovalQuestions::Declaration::parameter, parameter.id, parameter.name});
    }
    for (const ReportGroup &group : d.groups) {
        if (written.contains(u"$V{"_s + group.name + u"_COUNT}"_s))
            named.append({RemovalQuestions::Declaration::variable, group.id, group.name, true});
    }
    if (named.isEmpty())
        return u"remove what the report names: nothing named"_s;
    // Each kind as often as the others, whatever their numbers.
    QList<bool> groups;
    for (const Named &n : named)
        groups.append(n.group);
    const bool group = groups.contains(true) && (!groups.contains(false) || chance(0.4));
    named.removeIf([&](const Named &n) { return n.group != group; });
    const Named picked = named.at(pick(int(named.size())));
    // The data panel's remove button, which asks first when something uses the item; the
    // answer goes either way.
    ScriptedDialogs dialogs;
    dialogs.answerAlert(chance(0.6) ? 0 : 1);
    if (picked.group) {
        if (RemovalQuestions::mayDelete(&dialogs, store_, ReportReferences::Kind::group, picked.id))
            store_.removeGroup(picked.id);
        return describe(u"delete counted group"_s, picked.name);
    }
    if (RemovalQuestions::mayRemove(&dialogs, store_, picked.kind, picked.id)) {
        if (picked.kind == RemovalQuestions::Declaration::field)
            store_.removeField(picked.id);
        else
            store_.removeParameter(picked.id);
    }
    return describe(picked.kind == RemovalQuestions::Declaration::field
                        ? u"remove named field"_s
                        : u"remove named parameter"_s,
                    picked.name);
}

QString RandomEdits::editSubDatasetLists()
{
    using Declaration = RemovalQuestions::Declaration;
    const ReportDocument &d = store_.document();
    const QString written = QString::fromUtf8(JrxmlCodec::serialize(d));
    // Every item of the sub-datasets' lists, and those the report names somewhere.
    struct Item {
        QUuid dataset;
        Declaration kind;
        QUuid id;
        QString name;
        QStringList others; // the names of its list
        QString what;
    };
    QList<Item> items, named;
    for (const ReportSubDataset &dataset : d.subDatasets) {
        const auto add = [&](const auto &list, Declaration kind, const QString &what,
                             const QString &reference) {
            QStringList names;
            for (const auto &item : list)
                names.append(item.name);
            for (const auto &item : list) {
                const Item entry{dataset.id, kind,  item.id,
                                 item.name,  names, what + u" of "_s + dataset.name};
                items.append(entry);
                const QString quoted = u"=\""_s + item.name + u'"';
                if (written.contains(reference + item.name + u'}') ||
                    written.contains(u"datasetParameter name"_s + quoted) ||
                    written.contains(u"fromVariable"_s + quoted))
                    named.append(entry);
            }
        };
        add(dataset.parameters, Declaration::parameter, u"parameter"_s, u"$P{"_s);
        add(dataset.fields, Declaration::field, u"field"_s, u"$F{"_s);
        add(dataset.variables, Declaration::variable, u"variable"_s, u"$V{"_s);
    }
    if (items.isEmpty())
        return u"subdatasets card: nothing declared"_s;
    const QList<Item> &from = !named.isEmpty() && chance(0.8) ? named : items;
    const Item picked = from.at(pick(int(from.size())));
    // The row writes of the sub-dataset's block, on the picked item's list.
    const auto edit = [&](const auto &change) {
        DataListEdits::writeRow<ReportSubDataset>(store_, &ReportDocument::subDatasets,
                                                  picked.dataset, [&](ReportSubDataset &dataset) {
                                                      switch (picked.kind) {
                                                      case Declaration::parameter:
                                                          change(dataset.parameters);
                                                          break;
                                                      case Declaration::field:
                                                          change(dataset.fields);
                                                          break;
                                                      case Declaration::variable:
                                                          change(dataset.variables);
                                                          break;
                                                      }
                                                  });
    };
    if (chance(0.5)) {
        // The inner row's remove button, which asks first while what runs the sub-dataset names
        // the item; the answer goes either way.
        ScriptedDialogs dialogs;
        dialogs.answerAlert(chance(0.6) ? 0 : 1);
        if (RemovalQuestions::mayRemove(&dialogs, store_, picked.kind, picked.id, picked.dataset))
            edit([&](auto &list) {
                list.removeIf([&](const auto &item) { return item.id == picked.id; });
            });
        return describe(u"subdatasets card: remove "_s + picked.what, picked.name);
    }
    const QString to = nameBeside(picked.others);
    typeName(picked.name, to, [&](const QString &text) {
        edit([&](auto &list) {
            for (auto &item : list) {
                if (item.id == picked.id)
                    item.name = text;
            }
        });
    });
    return describe(u"subdatasets card: rename "_s + picked.what, picked.name) + u" to "_s + to;
}
