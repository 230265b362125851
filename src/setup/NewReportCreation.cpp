#include "setup/NewReportCreation.h"

#include "document/DocumentStore.h"
#include "document/ReportFile.h"
#include "model/Identifiers.h"
#include "model/JrxmlCodec.h"
#include "setup/NewReportWizardState.h"
#include "workspace/WorkspaceModel.h"

#include <QSet>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace NewReportCreation {

void applyStarterStyle(StarterHeaderStyle style, DocumentStore &store)
{
    const std::optional<ElementColor> color = StarterHeaderStyles::headerColor(style);
    if (!color)
        return;
    const BandTarget title = BandTarget::standard(BandType::title);
    store.setHeight(headerHeight, title);

    ReportElement bar;
    bar.id = newId();
    bar.kind = ElementKind::Rectangle{};
    bar.x = 0;
    bar.y = 0;
    bar.width = std::max(0.0, store.document().columnWidth);
    bar.height = headerHeight;
    bar.backColor = color;
    store.addElement(bar, title);

    ReportElement text;
    text.id = newId();
    text.kind = ElementKind::StaticText{u"Your Company Name"_s};
    text.x = headerTextX;
    text.y = headerTextY;
    // A column narrower than the two insets leaves the text without width, never below it.
    text.width = std::max(0.0, store.document().columnWidth - 2 * headerTextX);
    text.height = headerTextHeight;
    text.fontName = u"Arial"_s;
    text.fontSize = 18;
    text.isBold = true;
    text.foreColor = ElementColor{u"#FFFFFF"_s};
    store.addElement(text, title);
}

DocumentStore &createReport(WorkspaceModel &workspace, const NewReportWizardState &state)
{
    const PageSize size = state.resolvedSize();
    workspace.newTab(size.width, size.height);
    DocumentStore &store = *workspace.tabs().at(workspace.activeTabIndex());
    if (!state.styles().isEmpty()) {
        ReportDocument document = store.document();
        document.styles = state.styles();
        store.setDocument(document);
        store.setIsDirty(true);
    }
    applyStarterStyle(state.headerStyle(), store);
    return store;
}

QList<QList<ReportStyle>> readReportStyles(const QStringList &paths)
{
    QList<QList<ReportStyle>> result;
    for (const QString &path : paths) {
        const std::optional<QByteArray> bytes = ReportFile::tryReadBytes(path);
        if (!bytes)
            continue;
        try {
            result.append(JrxmlCodec::parse(*bytes).styles);
        } catch (const std::exception &) {
            // A report that does not parse offers nothing.
        }
    }
    return result;
}

QList<ReportStyle> stylesAvailableToImport(const QList<ReportStyle> &present,
                                           const QList<QList<ReportStyle>> &reportStyles)
{
    QSet<QString> taken;
    for (const ReportStyle &style : present)
        taken.insert(style.name);
    QList<ReportStyle> result;
    for (const QList<ReportStyle> &styles : reportStyles)
        for (const ReportStyle &style : styles) {
            if (taken.contains(style.name))
                continue;
            taken.insert(style.name);
            result.append(style);
        }
    return result;
}

} // namespace NewReportCreation
