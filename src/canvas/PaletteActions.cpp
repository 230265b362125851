#include "canvas/PaletteActions.h"

#include "canvas/SnippetLibrary.h"
#include "document/DocumentStore.h"
#include "edits/DataItemEdits.h"
#include "engine/SidecarModel.h"
#include "model/Identifiers.h"
#include "model/ReportParts.h"
#include "workspace/AppSettings.h"

#include <QPointer>

using namespace Qt::StringLiterals;

namespace PaletteActions {

namespace {

using K = ElementKind;

QString firstDatasetName(const ReportDocument &document)
{
    return document.subDatasets.isEmpty() ? QString() : document.subDatasets.first().name;
}

void addToCreating(DocumentStore &store, const QUuid &id, bool add)
{
    QSet<QUuid> ids = store.creatingSubreportElementIDs();
    if (add)
        ids.insert(id);
    else
        ids.remove(id);
    store.setCreatingSubreportElementIDs(ids);
}

void raiseExplorerTick(AppSettings &settings)
{
    settings.setExplorerRefreshTick(settings.explorerRefreshTick() + 1);
}

// The fields of the dataset of that name: the report's own for an empty name, and for one the
// report does not declare.
QList<ReportField> fieldsOf(const ReportDocument &document, const QString &dataset)
{
    for (const ReportSubDataset &subDataset : document.subDatasets) {
        if (!dataset.isEmpty() && subDataset.name == dataset)
            return subDataset.fields;
    }
    return document.fields;
}

} // namespace

ReportElement newElement(Kind kind, const ReportDocument &document, const AppSettings &settings,
                         const QString &subreportExpression,
                         const QList<SubreportParameter> &subreportParameters)
{
    ReportElement e; // the model's defaults are the palette's shared values
    e.id = newId();
    e.x = 10;
    e.y = 10;
    e.width = 150;
    e.height = 20;
    switch (kind) {
    case Kind::staticText:
    case Kind::textField:
        if (kind == Kind::staticText) {
            e.kind = K::StaticText{u"Label"_s};
        } else {
            e.kind = K::TextField{DataItemEdits::fieldToken(placeholderField().name)};
            e.isBlankWhenNull = settings.defaultBlankWhenNull();
        }
        e.fontName = settings.defaultFontName();
        e.fontSize = settings.defaultFontSize();
        break;
    case Kind::rectangle:
        e.kind = K::Rectangle{};
        break;
    case Kind::ellipse:
        e.kind = K::Ellipse{};
        break;
    case Kind::line:
        e.kind = K::Line{};
        break;
    case Kind::image:
        e.kind = K::Image{u"\"path/to/image.png\""_s};
        break;
    case Kind::subreport:
        e.kind = K::Subreport{subreportExpression, std::nullopt,
                              u"new net.sf.jasperreports.engine.JREmptyDataSource(1)"_s,
                              subreportParameters};
        e.width = 200;
        e.height = 100;
        break;
    case Kind::frame:
        e.kind = K::Frame{};
        e.width = 200;
        e.height = 100;
        break;
    case Kind::list:
        e.kind = K::List{
            firstDatasetName(document), u"$P{REPORT_CONNECTION}"_s, PrintOrder::vertical, {}, {}};
        e.width = 300;
        e.height = 60;
        break;
    case Kind::table: {
        const QList<ReportTableColumn> columns{ReportTableColumn::blank(),
                                               ReportTableColumn::blank()};
        e.width = 0;
        e.height = 0;
        for (const ReportTableColumn &column : columns)
            e.width += column.width;
        const ReportTableColumn &first = columns.first();
        e.height = first.columnHeaderHeight + first.detailCellHeight + first.columnFooterHeight;
        e.kind = K::Table{firstDatasetName(document), u"$P{REPORT_CONNECTION}"_s, {}, columns};
        break;
    }
    case Kind::reportBreak:
        e.kind = K::ReportBreak{BreakType::page};
        e.x = 0;
        e.width = 200;
        e.height = 1;
        break;
    }
    return e;
}

ReportField placeholderField()
{
    ReportField field;
    field.name = u"fieldName"_s;
    field.className = u"java.lang.String"_s;
    return field;
}

QString addTargetLabel(const DocumentStore &store)
{
    // Where the store puts it: a frame of a hidden band takes nothing, the active band does.
    if (const std::optional<QUuid> id = store.selectedContainerID()) {
        const std::optional<ReportElement> element = store.element(*id);
        if (element && element->kind.is<K::Frame>())
            return u"Add to Frame"_s;
    }
    return u"Add to "_s + store.label(store.activeBandTarget());
}

TargetCaption targetCaption(const DocumentStore &store)
{
    if (ReportParts::isPartReport(store.document())) {
        const QString band = store.label(store.activeBandTarget());
        return {ReportParts::noElementsCaption(band), ReportParts::noElementsMessage(band)};
    }
    return {addTargetLabel(store) + u':', {}};
}

void insert(Kind kind, DocumentStore &store, const AppSettings &settings)
{
    // A table or list iterates a sub-dataset, which the engine needs to find: a report without
    // one gets one with the element, in the same step.
    if ((kind == Kind::table || kind == Kind::list) && store.document().subDatasets.isEmpty()) {
        const ReportSubDataset dataset = DocumentStore::newSubDataset(store.document());
        ReportDocument withDataset = store.document();
        withDataset.subDatasets.append(dataset);
        store.addElementSmart(newElement(kind, withDataset, settings), dataset);
        return;
    }
    ReportElement element = newElement(kind, store.document(), settings);
    // A text field names the first field its dataset declares; in a dataset without fields, its
    // own is declared there in the same step, so that the report compiles.
    if (kind == Kind::textField) {
        const QString dataset = store.datasetInside(store.selectedContainerID());
        const QList<ReportField> fields = fieldsOf(store.document(), dataset);
        if (fields.isEmpty()) {
            store.addElementSmart(element, placeholderField(), dataset);
            return;
        }
        element.kind = K::TextField{DataItemEdits::fieldToken(fields.first().name)};
    }
    store.addElementSmart(element);
}

void insertSubreport(DocumentStore &store, AppSettings &settings, SidecarModel &sidecar)
{
    // Where the element would be refused (a report of parts, a band too low, a container with no
    // room), no subreport file is written for it.
    if (store.refusesInsert(newElement(Kind::subreport, store.document(), settings)) ||
        !store.promptSaveIfNeeded())
        return;
    const DocumentStore::AutoSubreport created =
        store.createAutoSubreport(settings.defaultPageWidth(), settings.defaultPageHeight());
    if (created.failure)
        return; // the store has said why
    const ReportElement element = newElement(Kind::subreport, store.document(), settings,
                                             created.expression, created.parameters);
    store.addElementSmart(element);
    if (!created.jrxmlPath || !created.jasperPath)
        return;
    addToCreating(store, element.id, true);
    raiseExplorerTick(settings);
    // The compile may end after the tab is closed: the store is looked for then, not kept. The
    // settings live as long as the application, so they carry the completion.
    const QPointer<DocumentStore> weakStore(&store);
    sidecar.compileOnly(*created.jrxmlPath, *created.jasperPath, &settings,
                        [weakStore, &settings, id = element.id](const std::optional<QString> &) {
                            if (weakStore)
                                addToCreating(*weakStore, id, false);
                            raiseExplorerTick(settings);
                        });
}

void saveSelectionAsSnippet(DocumentStore &store, SnippetLibrary &library, const QString &name)
{
    const std::optional<QUuid> id = store.selectedElementID();
    if (!id)
        return;
    if (const std::optional<ReportElement> element = store.element(*id))
        library.save(*element, name.isEmpty() ? u"Untitled Snippet"_s : name,
                     store.document().language);
}

void insertSnippet(DocumentStore &store, const SnippetLibrary &library, const Snippet &snippet)
{
    const std::optional<ReportElement> element = library.makeElement(snippet);
    if (!element)
        return;
    // Saved from a report of another language, it keeps its expressions as they were written.
    store.addElementWrittenIn(*element, snippet.language);
}

} // namespace PaletteActions
