// The edits RandomEdits makes with frames, lists and tables, bands and styles, each through the
// path the canvas, the palette or a card takes.

#include "RandomEdits.h"
#include "RandomEditsParts.h"

#include "canvas/ElementMenuItems.h"
#include "canvas/PaletteActions.h"
#include "canvas/SnippetLibrary.h"
#include "document/DatasetLacks.h"
#include "document/DocumentStore.h"
#include "editors/ExpressionScope.h"
#include "edits/DataItemEdits.h"
#include "edits/DataListEdits.h"
#include "edits/InspectorEdits.h"
#include "inspector/CardChoices.h"
#include "inspector/InspectorTexts.h"
#include "inspector/TableCells.h"
#include "model/RawEnum.h"
#include "workspace/AppSettings.h"

using namespace Qt::StringLiterals;
using namespace randomedits;

namespace {

template <typename Keep> QList<Placed> placedWhere(const ReportDocument &document, Keep keep)
{
    QList<Placed> kept = placedElements(document);
    kept.removeIf([&](const Placed &placed) { return !keep(placed); });
    return kept;
}

// The fields the cells of a table see: those of the sub-dataset it runs.
QList<ReportField> fieldsOfTable(const ReportDocument &document, const ReportElement &table)
{
    const QString name = table.kind.as<ElementKind::Table>()->datasetName;
    for (const ReportSubDataset &dataset : document.subDatasets) {
        if (dataset.name == name)
            return dataset.fields;
    }
    return {};
}

} // namespace

std::optional<Placed> RandomEdits::clickOn(const QList<Placed> &elements)
{
    if (elements.isEmpty())
        return std::nullopt;
    const Placed picked = elements.at(pick(int(elements.size())));
    store_.setActiveBandTarget(picked.band);
    store_.setSelectedElementIDs({picked.element.id});
    return picked;
}

QString RandomEdits::pickDestination()
{
    const QList<Placed> containers = placedWhere(
        store_.document(), [](const Placed &p) { return p.element.kind.children() != nullptr; });
    if (!containers.isEmpty() && chance(0.6)) {
        const Placed &container = containers.at(pick(int(containers.size())));
        // A click on the element: its band becomes the active one, and it the selection.
        store_.setActiveBandTarget(container.band);
        store_.setSelectedElementIDs({container.element.id});
        return u"into "_s + whereOf(container);
    }
    const QList<BandTarget> targets = targetsOf(store_.document());
    if (!targets.isEmpty())
        store_.setActiveBandTarget(targets.at(pick(int(targets.size()))));
    store_.setSelectedElementIDs({});
    return u"into "_s + store_.activeBandTarget().id();
}

QString RandomEdits::editClipboard()
{
    const QList<Placed> elements = placedElements(store_.document());
    if (elements.isEmpty() || chance(0.2)) {
        // Paste what an earlier copy or cut left on the clipboard.
        const QString where = pickDestination();
        store_.pasteClipboard();
        return u"paste "_s + where;
    }
    const Placed &picked = elements.at(pick(int(elements.size())));
    using Action = ElementMenuItem::Action;
    const auto menu = [&](Action action) {
        store_.setActiveBandTarget(picked.band);
        ElementMenuItem item;
        item.action = action;
        ElementMenuItems::perform(store_, item, {picked.element.id});
    };
    switch (pick(3)) {
    case 0: {
        menu(Action::copy);
        const QString where = pickDestination();
        store_.pasteClipboard();
        return u"copy "_s + whereOf(picked) + u", paste "_s + where;
    }
    case 1:
        menu(Action::duplicate);
        return u"duplicate "_s + whereOf(picked);
    default:
        menu(Action::cut);
        return u"cut "_s + whereOf(picked);
    }
}

QString RandomEdits::insertFromPalette()
{
    if (chance(0.3)) {
        const QList<Placed> elements = placedElements(store_.document());
        if (!elements.isEmpty()) {
            const Placed &saved = elements.at(pick(int(elements.size())));
            store_.setActiveBandTarget(saved.band);
            store_.setSelectedElementIDs({saved.element.id});
            PaletteActions::saveSelectionAsSnippet(store_, *snippets_, u"Saved"_s);
        }
        if (snippets_->snippets().isEmpty())
            return u"snippet: none saved"_s;
        const Snippet snippet = snippets_->snippets().at(pick(int(snippets_->snippets().size())));
        const QString where = pickDestination();
        PaletteActions::insertSnippet(store_, *snippets_, snippet);
        return u"insert snippet "_s + snippet.xml.left(60) + u' ' + where;
    }
    // Every kind but the subreport, which saves the report and writes a file of its own first.
    QList<PaletteActions::Kind> kinds(std::begin(PaletteActions::allKinds),
                                      std::end(PaletteActions::allKinds));
    kinds.removeAll(PaletteActions::Kind::subreport);
    const PaletteActions::Kind kind = kinds.at(pick(int(kinds.size())));
    const QString where = pickDestination();
    PaletteActions::insert(kind, store_, *appSettings_);
    return u"palette insert "_s + QString::number(int(kind)) + u' ' + where;
}

QString RandomEdits::alignOrEnclose()
{
    const QList<Placed> elements = placedElements(store_.document());
    // A click on one element, shift-clicks on up to two more of the same band.
    const std::optional<Placed> clicked = clickOn(elements);
    if (!clicked)
        return u"align: no element"_s;
    const Placed &first = *clicked;
    QString what = whereOf(first);
    for (int more = pick(3); more > 0; --more) {
        const Placed &other = elements.at(pick(int(elements.size())));
        if (!(other.band == first.band))
            continue;
        store_.toggleSelection(other.element.id, other.band);
        what += u" and "_s + whereOf(other);
    }
    const auto edge = DocumentStore::AlignEdge(pick(6));
    switch (pick(4)) {
    case 0:
    case 1:
        store_.alignSelectedToContainer(edge);
        return u"align to container, edge "_s + QString::number(int(edge)) + u": "_s + what;
    case 2:
        if (chance(0.5)) {
            store_.alignSelected(edge);
            return u"align to each other, edge "_s + QString::number(int(edge)) + u": "_s + what;
        }
        store_.distributeSelected(chance(0.5) ? DocumentStore::DistributeAxis::horizontal
                                              : DocumentStore::DistributeAxis::vertical);
        return u"distribute: "_s + what;
    default:
        store_.encloseSelectedInFrame();
        return u"enclose in frame: "_s + what;
    }
}

QString RandomEdits::editDetailBands()
{
    const ReportDocument &d = store_.document();
    switch (pick(3)) {
    case 0:
        store_.addDetailBand();
        return u"add detail band"_s;
    case 1: {
        if (d.detailBands.isEmpty())
            return u"remove detail band: none"_s;
        const ReportBand band = d.detailBands.at(pick(int(d.detailBands.size())));
        store_.removeDetailBand(band.id);
        return u"remove detail band "_s + BandTarget::detailBand(band.id).id();
    }
    default: {
        // The Generate Columns sheet: some of the fields, into one of the detail bands; a drop
        // of fields on a detail band does the same with the default style.
        QList<ReportField> fields;
        for (const ReportField &field : d.fields) {
            if (chance(0.6))
                fields.append(field);
        }
        if (fields.isEmpty() || d.detailBands.isEmpty())
            return u"generate columns: no field or detail band"_s;
        const BandTarget target =
            BandTarget::detailBand(d.detailBands.at(pick(int(d.detailBands.size()))).id);
        std::optional<ReportStyle> style;
        for (const ReportStyle &candidate : d.styles) {
            if (candidate.isDefault && chance(0.5))
                style = candidate;
        }
        store_.generateColumnarLayout(fields, target, chance(0.5), style);
        return u"generate "_s + QString::number(fields.size()) + u" columns in "_s + target.id();
    }
    }
}

QString RandomEdits::editTableColumns()
{
    const QList<Placed> tables = placedWhere(
        store_.document(), [](const Placed &p) { return p.element.kind.is<ElementKind::Table>(); });
    if (tables.isEmpty()) {
        // The palette makes one to work on next time.
        const QString where = pickDestination();
        PaletteActions::insert(PaletteActions::Kind::table, store_, *appSettings_);
        return u"table columns: no table, palette insert Table "_s + where;
    }
    const Placed &table = tables.at(pick(int(tables.size())));
    store_.setActiveBandTarget(table.band);
    store_.setSelectedElementIDs({table.element.id});
    const ElementWriter writer(&store_, table.element);
    const QList<ReportTableColumn> &columns = table.element.kind.as<ElementKind::Table>()->columns;
    const QString what = u"table "_s + whereOf(table) + u": "_s;
    // The Columns card's writes.
    const auto writeColumns = [&](const std::function<void(QList<ReportTableColumn> &)> &change) {
        writer.updatePayload<ElementKind::Table>([&](ElementKind::Table &t) { change(t.columns); });
    };
    if (columns.isEmpty() || chance(0.25)) {
        writeColumns(
            [](QList<ReportTableColumn> &all) { all.append(ReportTableColumn::blankFor(all)); });
        return what + u"add column"_s;
    }
    const qsizetype index = pick(int(columns.size()));
    const QUuid id = columns.at(index).id;
    const auto writeColumn = [&](const std::function<void(ReportTableColumn &)> &change) {
        writeColumns([&](QList<ReportTableColumn> &all) {
            for (ReportTableColumn &column : all) {
                if (column.id == id)
                    change(column);
            }
        });
    };
    const QString which = u"column "_s + QString::number(index) + u' ';
    switch (pick(4)) {
    case 0:
        writeColumns([&](QList<ReportTableColumn> &all) { TableCells::removeColumn(all, id); });
        return what + which + u"removed"_s;
    case 1: {
        // A width typed into the column's field and committed, as the locale writes numbers.
        const QString typed = QString::number(5 + pick(250));
        const LengthVerdict verdict = TableCells::commitWidth(writer, id, typed, QLocale());
        return what + which + u"width "_s + typed +
               (verdict.message.isEmpty() ? QString() : u" refused: "_s + verdict.message);
    }
    default: {
        const auto cell = TableCells::Cell(pick(3));
        const auto kind = TableCellKind(pick(3));
        const bool blank = appSettings_->defaultBlankWhenNull();
        if (chance(0.5)) {
            // As the Columns card picks it.
            TableCells::pick(writer, id, cell, kind, blank);
            return what + which + u"cell "_s + QString::number(int(cell)) + u" holds "_s +
                   rawValue(kind);
        }
        // The content typed into the cell's field, a keystroke at a time.
        const QList<ReportField> fields = fieldsOfTable(store_.document(), table.element);
        const QString to =
            fields.isEmpty() ? u"\"Total\""_s
                             : DataItemEdits::fieldToken(fields.at(pick(int(fields.size()))).name);
        const SharedOptional<ReportElement> &shown = TableCells::element(columns.at(index), cell);
        typeName(shown ? TableCells::content(*shown) : QString(), to, [&](const QString &text) {
            writeColumn([&](ReportTableColumn &column) {
                TableCells::element(column, cell).modify([&](ReportElement &e) {
                    TableCells::setContent(e, text);
                });
            });
        });
        return what + which + u"cell "_s + QString::number(int(cell)) + u" content "_s + to;
    }
    }
}

QString RandomEdits::chooseEvaluation()
{
    const QList<Placed> candidates = placedWhere(store_.document(), [](const Placed &p) {
        return p.element.kind.is<ElementKind::TextField>() ||
               p.element.kind.is<ElementKind::Image>();
    });
    if (candidates.isEmpty())
        return u"evaluation: no text field or image"_s;
    const Placed &picked = candidates.at(pick(int(candidates.size())));
    store_.setActiveBandTarget(picked.band);
    store_.setSelectedElementIDs({picked.element.id});
    const ElementWriter writer(&store_, picked.element);
    const QString what = u"evaluation of "_s + whereOf(picked) + u": "_s;
    const QStringList groups = expressions::groupsOfElement(store_.document(), picked.element.id);
    if (picked.element.evaluationTime == u"Group" && !groups.isEmpty() && chance(0.5)) {
        const QString group = groups.at(pick(int(groups.size())));
        CardChoices::chooseEvaluationGroup(writer, group);
        return what + describe(u"group"_s, group);
    }
    const QStringList times =
        InspectorTexts::offeredEvaluationTimes(picked.element.kind, picked.element.evaluationTime);
    // "Group" comes up more often than the others: it is the one that names something.
    const QString time = chance(0.4) ? u"Group"_s : times.at(pick(int(times.size())));
    CardChoices::chooseEvaluationTime(writer, time);
    return what + u"time "_s + time;
}

QString RandomEdits::editConditions()
{
    const ReportDocument &d = store_.document();
    if (d.styles.isEmpty())
        return u"conditions: no style"_s;
    const ReportStyle style = d.styles.at(pick(int(d.styles.size())));
    const DataListEdits::RowWriter<ReportStyle> row(&store_, &ReportDocument::styles, style.id);
    const QString what = describe(u"conditions of style"_s, style.name) + u": "_s;
    if (style.conditionalStyles.isEmpty() || chance(0.2)) {
        row.write([](ReportStyle &s) {
            s.conditionalStyles.append(DataListDefaults::conditionalStyle());
        });
        return what + u"add condition"_s;
    }
    const ConditionalStyleRule rule =
        style.conditionalStyles.at(pick(int(style.conditionalStyles.size())));
    // The rule card's writes.
    const auto write = [&](const std::function<void(ConditionalStyleRule &)> &change) {
        row.write([&](ReportStyle &s) {
            const qsizetype index = DataListEdits::indexOf(s.conditionalStyles, rule.id);
            if (index >= 0)
                change(s.conditionalStyles[index]);
        });
    };
    switch (pick(4)) {
    case 0:
        row.write([&](ReportStyle &s) {
            s.conditionalStyles.removeIf(
                [&](const ConditionalStyleRule &r) { return r.id == rule.id; });
        });
        return what + u"remove condition"_s;
    case 1: {
        QStringList conditions{u"Boolean.TRUE"_s, u"$V{REPORT_COUNT} % 2 == 0"_s};
        if (!d.fields.isEmpty())
            conditions.append(DataItemEdits::fieldToken(d.fields.first().name) + u" != null"_s);
        const QString to = conditions.at(pick(int(conditions.size())));
        typeName(rule.conditionExpression, to, [&](const QString &text) {
            write([&](ConditionalStyleRule &r) { r.conditionExpression = text; });
        });
        // The card warns under the condition of what a crosstab lacks of it.
        lacksSaid_ += DatasetLacks::conditionNotes(store_.document(), style.name, to);
        return what + u"condition typed "_s + to;
    }
    case 2: {
        const bool italic = chance(0.5);
        write([&](ConditionalStyleRule &r) {
            r.isBold = !r.isBold.value_or(false);
            r.isItalic = italic;
        });
        return what + u"bold and italic"_s;
    }
    default: {
        const bool clear = chance(0.3);
        const ElementColor colour{chance(0.5) ? u"#00FF00"_s : u"#123456"_s};
        write([&](ConditionalStyleRule &r) {
            if (clear)
                r.foreColor.reset();
            else
                r.foreColor = colour;
        });
        return what + (clear ? u"colour cleared"_s : u"colour set"_s);
    }
    }
}
