#include "inspector/MultiSelectInspector.h"

#include "inspector/InspectorTexts.h"
#include "widgets/InspectorRows.h"

#include <QLabel>
#include <QVBoxLayout>

MultiSelectInspector::MultiSelectInspector(QWidget *parent)
    : InspectorPage(parent), count_(InspectorRows::heading({}, this))
{
    setObjectName(QStringLiteral("inspector.multiSelection"));
    count_->setObjectName(QStringLiteral("inspector.multiSelection.count"));
    QLabel *hint = InspectorRows::secondaryText(InspectorTexts::multiSelectionHint(), this);
    hint->setObjectName(QStringLiteral("inspector.multiSelection.hint"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(6);
    column->addWidget(count_);
    column->addWidget(hint);
}

void MultiSelectInspector::refresh(const DocumentStore &, const InspectorChoice &choice)
{
    count_->setText(InspectorTexts::multiSelectionTitle(choice.selectedCount));
}
