#include "inspector/StyleCard.h"

#include "inspector/InspectorTexts.h"
#include "widgets/InspectorRows.h"
#include "widgets/WheelGuard.h"

#include <QComboBox>
#include <QSignalBlocker>

StyleCard::StyleCard(const ElementWriter &writer, QWidget *parent)
    : SectionCard(QStringLiteral("Style"), parent), writer_(writer), picker_(new QComboBox(this))
{
    setObjectName(QStringLiteral("inspector.style"));
    picker_->setObjectName(QStringLiteral("inspector.style.picker"));
    WheelGuard::ignoreUnlessFocused(picker_);
    addWidget(picker_);
    connect(picker_, &QComboBox::activated, this, &StyleCard::choose);
}

void StyleCard::refresh(const ReportElement &element, const ReportDocument &document)
{
    QList<std::pair<QUuid, QString>> styles;
    for (const ReportStyle &style : document.styles)
        styles.append({style.id, style.name});
    if (styles != shownStyles_ || picker_->count() == 0) {
        const QSignalBlocker blocker(picker_);
        picker_->clear();
        picker_->addItem(InspectorTexts::noStyleEntry(), QString());
        for (const auto &[id, name] : std::as_const(styles))
            picker_->addItem(name, name);
        shownStyles_ = styles;
    }
    // A name that no style has leaves the picker without a chosen entry.
    InspectorRows::showIndex(picker_, picker_->findData(element.styleName.value_or(QString())));
}

void StyleCard::choose(int index)
{
    const std::optional<ReportElement> element = writer_.current();
    if (!element || index < 0)
        return;
    const QString chosen = picker_->itemData(index).toString();
    if (chosen == element->styleName.value_or(QString()))
        return;
    DocumentStore &store = *writer_.store();
    if (chosen.isEmpty()) {
        store.clearStyle(element->id);
        return;
    }
    // Two styles of one name: the first in the report's order.
    for (const ReportStyle &style : store.document().styles) {
        if (style.name == chosen) {
            store.applyStyle(style, element->id);
            return;
        }
    }
}
