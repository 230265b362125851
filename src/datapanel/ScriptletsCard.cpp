#include "datapanel/DataListSection.h"
#include "datapanel/DataPanelCardMakers.h"
#include "datapanel/DataPanelCards.h"
#include "widgets/InspectorRows.h"

#include <QLineEdit>

using namespace Qt::StringLiterals;

// The scriptlet rows edit the name and the class; the description is kept as read.
DataPanelPart *makeScriptletsCard(const DataPanelContext &context, QWidget *parent)
{
    DataListSpec spec =
        DataListSpec::of(&ReportDocument::scriptlets, DataListOperations::scriptlets(),
                         DataPanelCards::objectName(DataPanelCard::scriptlets), u"Add Scriptlet"_s);
    spec.buildRow = [store = context.store](DataListRow &row) {
        const DataListEdits::RowWriter<ReportScriptlet> writer(store, &ReportDocument::scriptlets,
                                                               row.id());
        auto *name = new QLineEdit(&row);
        name->setPlaceholderText(u"name"_s);
        name->setFixedWidth(130);
        QObject::connect(name, &QLineEdit::textEdited, name, [writer](const QString &text) {
            writer.write([&](ReportScriptlet &scriptlet) { scriptlet.name = text; });
        });
        auto *className = new QLineEdit(&row);
        className->setPlaceholderText(u"class"_s);
        className->setFixedWidth(220);
        QObject::connect(
            className, &QLineEdit::textEdited, className, [writer](const QString &text) {
                writer.write([&](ReportScriptlet &scriptlet) { scriptlet.className = text; });
            });
        row.addControl(name, u"name"_s);
        row.addControl(className, u"className"_s);
        row.setRefresh([id = row.id(), name, className](const ReportDocument &document) {
            const ReportScriptlet *scriptlet = DataListEdits::find(document.scriptlets, id);
            if (!scriptlet)
                return;
            InspectorRows::showText(name, scriptlet->name);
            InspectorRows::showText(className, scriptlet->className);
        });
    };
    return new DataListSection(context.store, std::move(spec), parent);
}
