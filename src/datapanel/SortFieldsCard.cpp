#include "datapanel/DataListSection.h"
#include "datapanel/DataPanelCardMakers.h"
#include "datapanel/DataPanelCards.h"
#include "document/SortFieldNames.h"
#include "widgets/Dialogs.h"
#include "widgets/InspectorRows.h"
#include "widgets/WheelGuard.h"

#include <QComboBox>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace {

template <typename Enum> void showEnum(QComboBox *picker, Enum value)
{
    InspectorRows::showIndex(picker, picker->findData(int(value)));
}

// A picker of a row: no label, the entries in the enumeration's order, a choice written at once.
// A choice `write` refuses (answering the value that stays) goes back to that value.
template <typename Enum>
QComboBox *enumPicker(const QList<std::pair<QString, Enum>> &entries, int width,
                      std::function<Enum(Enum)> write, QWidget *parent)
{
    auto *picker = new QComboBox(parent);
    WheelGuard::ignoreUnlessFocused(picker);
    for (const auto &[label, value] : entries)
        picker->addItem(label, int(value));
    picker->setFixedWidth(width);
    QObject::connect(picker, &QComboBox::activated, picker, [picker, write](int index) {
        const Enum chosen = Enum(picker->itemData(index).toInt());
        if (const Enum kept = write(chosen); kept != chosen)
            showEnum(picker, kept);
    });
    return picker;
}

// A sort field switched to sorting on a field or a variable names one of that kind: the engine
// refuses a name the report does not declare as such. With none left, the choice is refused
// with a word.
SortFieldType chooseType(const DataListEdits::RowWriter<ReportSortField> &writer,
                         DocumentStore *store, Dialogs *dialogs, SortFieldType type)
{
    const ReportSortField *sortField = writer.current();
    if (!sortField || !store)
        return type;
    const std::optional<ReportSortField> switched =
        SortFieldNames::switchedToType(store->document(), *sortField, type);
    if (!switched) {
        const SortFieldType kept = sortField->type;
        if (dialogs)
            dialogs->runAlert({AlertRequest::Style::informational,
                               u"Nothing to sort on"_s,
                               SortFieldNames::nothingOfTypeToSortOn(store->document(), type),
                               {{u"OK"_s, AlertRequest::Role::normal}},
                               0});
        return kept;
    }
    writer.write([&](ReportSortField &changed) {
        changed.type = switched->type;
        changed.name = switched->name;
    });
    return type;
}

} // namespace

DataPanelPart *makeSortFieldsCard(const DataPanelContext &context, QWidget *parent)
{
    DataListSpec spec = DataListSpec::of(
        &ReportDocument::sortFields, DataListOperations::sortFields(),
        DataPanelCards::objectName(DataPanelCard::sortFields), u"Add Sort Field"_s);
    // A sort field names what it sorts on: with nothing left, the add button says so.
    spec.mayAdd = [store = context.store, dialogs = context.dialogs] {
        if (!store)
            return false;
        if (SortFieldNames::next(store->document()))
            return true;
        if (dialogs)
            dialogs->runAlert({AlertRequest::Style::informational,
                               u"Nothing to sort on"_s,
                               SortFieldNames::nothingToSortOn(store->document()),
                               {{u"OK"_s, AlertRequest::Role::normal}},
                               0});
        return false;
    };
    // The engine refuses two sort fields on one name of one kind; a field and a variable of one
    // name may both be sorted on.
    spec.itemKind = u"sort field"_s;
    spec.names = [](const ReportDocument &document) {
        QStringList keys;
        for (const ReportSortField &sortField : document.sortFields)
            keys.append((sortField.type == SortFieldType::variable ? u"variable:"_s : u"field:"_s) +
                        sortField.name);
        return keys;
    };
    // The engine refuses a sort field on a name the report does not declare as that kind.
    spec.nameLacks = [](const ReportDocument &document, qsizetype index) {
        return SortFieldNames::lacking(document, document.sortFields.at(index));
    };
    spec.context = [](const ReportDocument &document) {
        QStringList declared;
        for (const ReportField &field : document.fields)
            declared.append(u"field:"_s + field.name);
        for (const ReportVariable &variable : document.variables)
            declared.append(u"variable:"_s + variable.name);
        for (const ReportGroup &group : document.groups)
            declared.append(u"group:"_s + group.name);
        return declared;
    };
    spec.buildRow = [store = context.store, dialogs = context.dialogs](DataListRow &row) {
        const DataListEdits::RowWriter<ReportSortField> writer(store, &ReportDocument::sortFields,
                                                               row.id());
        auto *name = new QLineEdit(&row);
        name->setPlaceholderText(u"name"_s);
        name->setFixedWidth(130);
        QObject::connect(name, &QLineEdit::textEdited, name, [writer](const QString &text) {
            writer.write([&](ReportSortField &sortField) { sortField.name = text; });
        });
        QComboBox *type = enumPicker<SortFieldType>(
            {{u"Field"_s, SortFieldType::field}, {u"Variable"_s, SortFieldType::variable}}, 100,
            [writer, store = QPointer<DocumentStore>(store), dialogs](SortFieldType value) {
                return chooseType(writer, store, dialogs, value);
            },
            &row);
        QComboBox *order = enumPicker<SortFieldOrder>(
            {{u"Ascending"_s, SortFieldOrder::ascending},
             {u"Descending"_s, SortFieldOrder::descending}},
            110,
            [writer](SortFieldOrder value) {
                writer.write([&](ReportSortField &sortField) { sortField.order = value; });
                return value;
            },
            &row);
        row.addControl(name, u"name"_s);
        row.addControl(type, u"type"_s);
        row.addControl(order, u"order"_s);
        row.setRefresh([id = row.id(), name, type, order](const ReportDocument &document) {
            const ReportSortField *sortField = DataListEdits::find(document.sortFields, id);
            if (!sortField)
                return;
            InspectorRows::showText(name, sortField->name);
            showEnum(type, sortField->type);
            showEnum(order, sortField->order);
        });
    };
    return new DataListSection(context.store, std::move(spec), parent);
}
