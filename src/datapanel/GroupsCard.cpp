#include "datapanel/DataListSection.h"
#include "datapanel/DataPanelCardMakers.h"
#include "datapanel/DataPanelCards.h"
#include "datapanel/DataRowLines.h"
#include "datapanel/GroupFooterPositions.h"
#include "editors/ExpressionBuilderButton.h"
#include "widgets/CardText.h"
#include "widgets/InspectorRows.h"
#include "widgets/WheelGuard.h"
#include "workspace/AppSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace {

using Writer = DataListEdits::RowWriter<ReportGroup>;

struct GroupFlag {
    QString label;
    QString name;
    bool ReportGroup::*flag;
};

// The checkboxes of the second and the third line, in their order.
const QList<GroupFlag> &flags()
{
    static const QList<GroupFlag> list = {
        {u"Start New Page"_s, u"startNewPage"_s, &ReportGroup::isStartNewPage},
        {u"Reset Page Number"_s, u"resetPageNumber"_s, &ReportGroup::isResetPageNumber},
        {u"Start New Column"_s, u"startNewColumn"_s, &ReportGroup::isStartNewColumn},
        {u"Reprint Header on Each Page"_s, u"reprintHeader"_s,
         &ReportGroup::isReprintHeaderOnEachPage},
        {u"Keep Together"_s, u"keepTogether"_s, &ReportGroup::isKeepTogether}};
    return list;
}

constexpr int flagsOnSecondLine = 3;

void buildGroupRow(DataListRow &row, DocumentStore *store, SidecarModel *sidecar)
{
    const Writer writer(store, &ReportDocument::groups, row.id());
    auto *lines = new DataRowLines(row, 4);

    DataRowLine *first = lines->addLine();
    QLineEdit *name = DataRowControls::textField(u"name"_s, 130, first);
    QObject::connect(name, &QLineEdit::textEdited, name, [writer](const QString &text) {
        writer.write([&](ReportGroup &group) { group.name = text; });
    });
    first->add(name);
    const auto [expression, builder] = DataRowControls::expressionField(
        u"expression, e.g. $F{category}"_s,
        [writer] {
            const ReportGroup *group = writer.current();
            return group ? group->expression : QString();
        },
        [writer](const QString &text) {
            writer.write([&](ReportGroup &group) { group.expression = text; });
        },
        store, sidecar, first);
    lines->endWithRowButtons(first);

    DataRowLine *second = lines->addLine(CardText::captionPointSize);
    DataRowLine *third = lines->addLine(CardText::captionPointSize);
    QList<std::pair<QCheckBox *, bool ReportGroup::*>> boxes;
    for (const GroupFlag &flag : flags()) {
        DataRowLine *line = boxes.size() < flagsOnSecondLine ? second : third;
        auto *box = new QCheckBox(flag.label, line);
        QObject::connect(box, &QCheckBox::clicked, box, [writer, member = flag.flag](bool on) {
            writer.write([&](ReportGroup &group) { group.*member = on; });
        });
        line->add(box);
        lines->name(box, flag.name);
        boxes.append({box, flag.flag});
    }
    auto *footer = new QComboBox(third);
    WheelGuard::ignoreUnlessFocused(footer);
    for (const GroupFooterPositions::Entry &entry : GroupFooterPositions::entries())
        footer->addItem(entry.label, int(entry.value));
    QObject::connect(footer, &QComboBox::activated, footer, [writer, footer](int index) {
        const auto position = GroupFooterPosition(footer->itemData(index).toInt());
        writer.write([&](ReportGroup &group) { GroupFooterPositions::choose(group, position); });
    });
    third->add(DataRowControls::labelled(u"Footer Position"_s, footer, 220, third));
    second->addStretch();
    third->addStretch();

    lines->name(name, u"name"_s);
    lines->name(expression, u"expression"_s);
    lines->name(builder, u"builder"_s);
    lines->name(footer, u"footerPosition"_s);
    lines->setRefresh([id = row.id(), name, expression = expression, boxes,
                       footer](const ReportDocument &document) {
        const ReportGroup *group = DataListEdits::find(document.groups, id);
        if (!group)
            return;
        InspectorRows::showText(name, group->name);
        InspectorRows::showText(expression, group->expression);
        for (const auto &[box, member] : boxes)
            DataRowControls::showChecked(box, group->*member);
        const std::optional<GroupFooterPosition> position = GroupFooterPositions::shown(*group);
        InspectorRows::showIndex(footer, position ? footer->findData(int(*position)) : -1);
    });
}

} // namespace

// One row of three lines per group: name and expression with the row buttons; three flags;
// two flags and the footer position.
DataPanelPart *makeGroupsCard(const DataPanelContext &context, QWidget *parent)
{
    DataListSpec spec =
        DataListSpec::of(&ReportDocument::groups, DataListOperations::groups(),
                         DataPanelCards::objectName(DataPanelCard::groups), u"Add Group"_s);
    spec.warnOfSharedNames(&ReportDocument::groups, u"group"_s);
    spec.mayRemove = DataListSpec::askingBeforeDeleting(context, ReportReferences::Kind::group);
    spec.renameWarning = RemovalQuestions::renameGroupWarning;
    spec.lengthUnit = [settings = context.settings] {
        return settings ? settings->measurementUnit() : MeasurementUnit::pixels;
    };
    spec.buildRow = [store = context.store, sidecar = context.sidecar](DataListRow &row) {
        buildGroupRow(row, store, sidecar);
    };
    return new DataListSection(context.store, std::move(spec), parent);
}
