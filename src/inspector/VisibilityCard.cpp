#include "inspector/VisibilityCard.h"

#include "editors/ExpressionBuilderButton.h"
#include "inspector/InspectorTexts.h"
#include "widgets/EnteredTextValidator.h"
#include "widgets/InspectorRows.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

VisibilityCard::VisibilityCard(const ElementWriter &writer, const ReportDocument &document,
                               SidecarModel *sidecar, QWidget *parent)
    : SectionCard(QStringLiteral("Visibility"), parent), writer_(writer),
      expression_(new QLineEdit(this))
{
    setObjectName(QStringLiteral("inspector.visibility"));
    expression_->setObjectName(QStringLiteral("inspector.visibility.expression"));
    EnteredTextValidator::install(expression_);
    expression_->setPlaceholderText(InspectorTexts::printWhenPlaceholder());
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSizeF(10);
    expression_->setFont(mono);
    connect(expression_, &QLineEdit::textEdited, this, &VisibilityCard::write);

    // The builder edits the same text through the same write as typing.
    builder_ =
        new ExpressionBuilderButton(TextBinding{[this] { return expression_->text(); },
                                                [this](const QString &text) { write(text); }},
                                    document, sidecar, this);
    builder_->setObjectName(QStringLiteral("inspector.visibility.builder"));

    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(expression_, 1, Qt::AlignTop);
    row->addWidget(builder_, 0, Qt::AlignTop);
    addLayout(row);
    addWidget(InspectorRows::secondaryText(InspectorTexts::printWhenHelp(), this));
}

void VisibilityCard::refresh(const ReportElement &element, const ReportDocument &document)
{
    InspectorRows::showText(expression_, element.printWhenExpression.value_or(QString()));
    builder_->setDocument(document);
}

void VisibilityCard::write(const QString &text)
{
    writer_.update(
        [&](ReportElement &e) { e.printWhenExpression = InspectorEdits::optionalText(text); });
}
