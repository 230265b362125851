#include "edits/DataItemEdits.h"

#include "document/DocumentStore.h"
#include "edits/DataListEdits.h"
#include "model/Identifiers.h"
#include "workspace/BandSettings.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace DataItemEdits {

namespace {

std::optional<qsizetype> found(qsizetype index)
{
    return index < 0 ? std::nullopt : std::optional<qsizetype>(index);
}

} // namespace

std::optional<qsizetype> fieldIndex(const ReportDocument &document, const QUuid &id)
{
    return found(DataListEdits::indexOf(document.fields, id));
}

std::optional<qsizetype> parameterIndex(const ReportDocument &document, const QUuid &id)
{
    return found(DataListEdits::indexOf(document.parameters, id));
}

bool writeField(DocumentStore &store, const QUuid &id,
                const std::function<void(ReportField &)> &change)
{
    return DataListEdits::writeRow(store, &ReportDocument::fields, id, change);
}

bool writeParameter(DocumentStore &store, const QUuid &id,
                    const std::function<void(ReportParameter &)> &change)
{
    return DataListEdits::writeRow(store, &ReportDocument::parameters, id, change);
}

QString fieldToken(const QString &name)
{
    return u"$F{"_s + name + u'}';
}

QString parameterToken(const QString &name)
{
    return u"$P{"_s + name + u'}';
}

QString usageText(qsizetype count, const QString &token)
{
    if (count == 1)
        return u"1 element references "_s + token;
    return QString::number(count) + u" elements reference "_s + token;
}

QString fieldTitle()
{
    return u"Field"_s;
}

QString parameterTitle()
{
    return u"Parameter"_s;
}

QString insertTextFieldTitle()
{
    return u"Insert as Text Field"_s;
}

QString insertTextFieldHelp(const QString &fieldName, const QString &bandLabel)
{
    return u"Insert a text field bound to "_s + fieldToken(fieldName) + u" in "_s + bandLabel;
}

QString promptTitle()
{
    return u"Prompt for Value"_s;
}

QString promptHelp()
{
    return u"Ask for this parameter's value when the report runs"_s;
}

QString defaultValuePlaceholder()
{
    return u"expression"_s;
}

ReportElement textFieldFor(const QString &fieldName, const BandSettings &defaults)
{
    ReportElement element;
    element.id = newId();
    element.kind = ElementKind{ElementKind::TextField{fieldToken(fieldName)}};
    element.x = 10;
    element.y = 10;
    element.width = 150;
    element.height = 20;
    element.fontName = defaults.defaultFontName();
    element.fontSize = defaults.defaultFontSize();
    element.isBlankWhenNull = defaults.defaultBlankWhenNull();
    // Everything else keeps the model's defaults: no style, plain left and top aligned text,
    // evaluated now, no colours, paddings or borders.
    return element;
}

namespace {

bool declares(const ReportSubDataset &dataset, const QString &fieldName)
{
    return std::any_of(dataset.fields.cbegin(), dataset.fields.cend(),
                       [&](const ReportField &field) { return field.name == fieldName; });
}

} // namespace

bool insertTextField(DocumentStore &store, const QUuid &fieldID, const BandSettings &defaults)
{
    const std::optional<qsizetype> index = fieldIndex(store.document(), fieldID);
    if (!index)
        return false;
    const ReportField field = store.document().fields[*index];
    const ReportElement element = textFieldFor(field.name, defaults);
    const std::optional<ReportSubDataset> dataset = insertDataset(store);
    if (dataset && !declares(*dataset, field.name)) {
        ReportField declared = field;
        declared.id = newId();
        store.addElementSmart(element, declared, dataset->name);
    } else {
        store.addElementSmart(element);
    }
    return true;
}

std::optional<ReportSubDataset> insertDataset(const DocumentStore &store)
{
    const QString name = store.datasetInside(store.selectedContainerID());
    if (name.isEmpty())
        return std::nullopt;
    for (const ReportSubDataset &dataset : store.document().subDatasets) {
        if (dataset.name == name)
            return dataset;
    }
    return std::nullopt;
}

QString insertButtonHelp(const DocumentStore &store, const QString &fieldName)
{
    const QString start = u"Insert as a text field bound to "_s + fieldToken(fieldName) + u" in "_s;
    const std::optional<ReportSubDataset> dataset = insertDataset(store);
    if (!dataset)
        return start + store.label(store.activeBandTarget());
    const std::optional<ReportElement> container = store.element(*store.selectedContainerID());
    const QString selected = u"the selected "_s + container->kind.displayName().toLower();
    if (declares(*dataset, fieldName))
        return start + selected + u", which runs "_s + dataset->name;
    return start + selected + u", declaring "_s + fieldName + u" in "_s + dataset->name;
}

} // namespace DataItemEdits
