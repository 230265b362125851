#include "datapanel/DataListSection.h"
#include "datapanel/DataPanelCardMakers.h"
#include "datapanel/DataPanelCards.h"
#include "datapanel/DataPanelView.h"
#include "datapanel/DataRowLines.h"
#include "datapanel/GenerateColumnsSheetVisibility.h"
#include "edits/DataItemEdits.h"
#include "widgets/DataRowButtons.h"
#include "widgets/InspectorRows.h"
#include "widgets/PlainToolTip.h"
#include "widgets/SymbolIcons.h"
#include "workspace/AppSettings.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

void buildFieldRow(DataListRow &row, const QPointer<DocumentStore> &store, AppSettings *settings)
{
    const DataListEdits::RowWriter<ReportField> writer(store, &ReportDocument::fields, row.id());
    QLineEdit *name = DataRowControls::textField(u"name"_s, 130, &row);
    QObject::connect(name, &QLineEdit::textEdited, name, [writer](const QString &text) {
        writer.write([&](ReportField &field) { field.name = text; });
    });
    QLineEdit *className = DataRowControls::textField(u"class"_s, 150, &row);
    QObject::connect(className, &QLineEdit::textEdited, className, [writer](const QString &text) {
        writer.write([&](ReportField &field) { field.className = text; });
    });
    QLineEdit *description = DataRowControls::textField(u"description"_s, 0, &row);
    QObject::connect(description, &QLineEdit::textEdited, description,
                     [writer](const QString &text) {
                         writer.write([&](ReportField &field) {
                             field.fieldDescription = DataListEdits::storedText(text);
                         });
                     });
    auto *insert = new QToolButton(&row);
    insert->setAutoRaise(true);
    insert->setIcon(SymbolIcons::icon(u"text.badge.plus"_s));
    insert->setProperty(SymbolIcons::symbolProperty, u"text.badge.plus"_s);
    QObject::connect(insert, &QToolButton::clicked, insert, [store, settings, id = row.id()] {
        if (store && settings)
            DataItemEdits::insertTextField(*store, id, *settings);
    });
    row.addControl(name, u"name"_s);
    row.addControl(className, u"className"_s);
    row.addControl(description, u"description"_s, 1);
    row.addControl(insert, u"insert"_s);
    row.setRefresh([store, id = row.id(), name, className, description,
                    insert](const ReportDocument &document) {
        const ReportField *field = DataListEdits::find(document.fields, id);
        if (!field || !store)
            return;
        InspectorRows::showText(name, field->name);
        InspectorRows::showText(className, field->className);
        InspectorRows::showText(description, DataListEdits::shownText(field->fieldDescription));
        insert->setToolTip(plainToolTip(DataItemEdits::insertButtonHelp(*store, field->name)));
    });
}

// The field rows, with "Generate Columns..." beside "Add Field"; it is enabled while the report
// has fields. The insert buttons' help names the active band, so the rows refresh when it moves.
class FieldsSection : public DataListSection {
public:
    FieldsSection(const DataPanelContext &context, DataListSpec spec, QWidget *parent)
        : DataListSection(context.store, std::move(spec), parent), store_(context.store)
    {
        generate_ = DataRowButtons::addButton(
            u"Generate Columns..."_s,
            [panel = QPointer<QObject>(context.panel)] {
                if (GenerateColumnsSheetVisibility *sheet =
                        GenerateColumnsSheetVisibility::of(panel))
                    sheet->setVisible(true);
            },
            this, u"tablecells"_s);
        generate_->setObjectName(DataPanelCards::objectName(DataPanelCard::fields) +
                                 u".generateColumns"_s);
        generate_->setToolTip(
            u"Auto-build a Column Header + Detail row layout from a chosen subset of these fields"_s);
        auto *footer = new QHBoxLayout;
        footer->setContentsMargins(0, 0, 0, 0);
        DataRowControls::takeFromLayout(layout(), addButton());
        footer->addWidget(addButton());
        footer->addWidget(generate_);
        footer->addStretch(1);
        static_cast<QVBoxLayout *>(layout())->addLayout(footer);
        if (store_) {
            connect(store_, &DocumentStore::activeBandTargetChanged, this, &FieldsSection::refresh);
            connect(store_, &DocumentStore::selectedElementIDsChanged, this,
                    &FieldsSection::refresh);
        }
        refresh();
    }

    void refresh() override
    {
        DataListSection::refresh();
        if (generate_ && store_)
            generate_->setEnabled(!store_->document().fields.isEmpty());
    }

private:
    QPointer<DocumentStore> store_;
    QPushButton *generate_ = nullptr;
};

} // namespace

// One row per field: name, class, description, the insert button and the row buttons; under
// the rows "Add Field" and "Generate Columns...".
DataPanelPart *makeFieldsCard(const DataPanelContext &context, QWidget *parent)
{
    DataListSpec spec =
        DataListSpec::of(&ReportDocument::fields, DataListOperations::fields(),
                         DataPanelCards::objectName(DataPanelCard::fields), u"Add Field"_s);
    spec.warnOfSharedNames(&ReportDocument::fields, u"field"_s);
    spec.mayRemove =
        DataListSpec::askingBeforeRemoving(context, RemovalQuestions::Declaration::field);
    spec.renameWarning = DataListSpec::warningOfRenames(RemovalQuestions::Declaration::field);
    spec.buildRow = [store = context.store, settings = context.settings](DataListRow &row) {
        buildFieldRow(row, store, settings);
    };
    // The insert buttons' help names the active band, or the selected container and the
    // sub-dataset it runs.
    spec.context = [store = context.store](const ReportDocument &) {
        if (!store)
            return QStringList();
        QStringList shown{store->label(store->activeBandTarget())};
        if (const std::optional<ReportSubDataset> dataset = DataItemEdits::insertDataset(*store)) {
            shown << store->selectedContainerID()->toString() << dataset->name;
            for (const ReportField &field : dataset->fields)
                shown.append(field.name);
        }
        return shown;
    };
    return new FieldsSection(context, std::move(spec), parent);
}
