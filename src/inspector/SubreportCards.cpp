#include "inspector/SubreportCards.h"

#include "editors/ExpressionBuilderButton.h"
#include "inspector/SubreportDataSource.h"
#include "inspector/SubreportListTableTexts.h"
#include "widgets/EnteredTextValidator.h"
#include "widgets/InspectorRows.h"
#include "widgets/RowControls.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

using namespace Qt::StringLiterals;

SubreportFileCard::SubreportFileCard(const ElementWriter &writer, const QString &title,
                                     SidecarModel *sidecar, QWidget *parent)
    : SectionCard(title, parent), writer_(writer), expression_(new QLineEdit(this))
{
    setObjectName(u"inspector.subreportFile"_s);
    expression_->setObjectName(u"inspector.subreportFile.expression"_s);
    EnteredTextValidator::install(expression_);
    expression_->setPlaceholderText(SubreportListTableTexts::subreportFilePlaceholder());
    connect(expression_, &QLineEdit::textEdited, this, &SubreportFileCard::write);

    // The builder edits the same text through the same write as typing.
    builder_ =
        new ExpressionBuilderButton(TextBinding{[this] { return expression_->text(); },
                                                [this](const QString &text) { write(text); }},
                                    ReportDocument{}, sidecar, this);
    builder_->setObjectName(u"inspector.subreportFile.builder"_s);

    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(expression_, 1, Qt::AlignVCenter);
    row->addWidget(builder_, 0, Qt::AlignVCenter);
    addLayout(row);
    addWidget(InspectorRows::secondaryText(SubreportListTableTexts::subreportFileNote(), this));
}

void SubreportFileCard::refresh(const ReportElement &element, const ReportDocument &document)
{
    if (const auto *subreport = element.kind.as<ElementKind::Subreport>())
        RowControls::showText(expression_, subreport->expression);
    builder_->setDocument(document);
}

void SubreportFileCard::write(const QString &expression)
{
    // Stored as typed, the empty text included.
    writer_.updatePayload<ElementKind::Subreport>(
        [&](ElementKind::Subreport &subreport) { subreport.expression = expression; });
}

DataSourceCard::DataSourceCard(const ElementWriter &writer, const QString &title, QWidget *parent)
    : SectionCard(title, parent), writer_(writer), kind_(new QComboBox(this)),
      connection_(RowControls::expressionField(u"connection expression"_s,
                                               u"inspector.dataSource.connection"_s, this)),
      dataSource_(RowControls::expressionField(u"data source expression"_s,
                                               u"inspector.dataSource.dataSource"_s, this))
{
    setObjectName(u"inspector.dataSource"_s);
    kind_->setObjectName(u"inspector.dataSource.kind"_s);
    RowControls::ignoreWheelUnlessFocused(kind_);
    kind_->setAccessibleName(title);
    for (SubreportConnectionKind kind : allCases<SubreportConnectionKind>())
        kind_->addItem(rawValue(kind));
    addWidget(kind_);
    connect(kind_, &QComboBox::activated, this, &DataSourceCard::choose);

    addWidget(connection_);
    addWidget(dataSource_);
    // Typed text is stored as typed, the empty text included: this is the one optional text of
    // the inspector that an emptied field does not remove.
    connect(connection_, &QLineEdit::textEdited, this, [this](const QString &text) {
        writer_.updatePayload<ElementKind::Subreport>([&](ElementKind::Subreport &subreport) {
            SubreportDataSource::setConnectionExpression(subreport, text);
        });
    });
    connect(dataSource_, &QLineEdit::textEdited, this, [this](const QString &text) {
        writer_.updatePayload<ElementKind::Subreport>([&](ElementKind::Subreport &subreport) {
            SubreportDataSource::setDataSourceExpression(subreport, text);
        });
    });
}

void DataSourceCard::refresh(const ReportElement &element, const ReportDocument &)
{
    if (const auto *subreport = element.kind.as<ElementKind::Subreport>())
        show(*subreport);
}

void DataSourceCard::show(const ElementKind::Subreport &subreport)
{
    const SubreportConnectionKind kind = SubreportDataSource::inferKind(
        subreport.connectionExpression, subreport.dataSourceExpression);
    InspectorRows::showIndex(kind_, allCases<SubreportConnectionKind>().indexOf(kind));
    connection_->setVisible(
        SubreportDataSource::showsConnectionField(subreport.connectionExpression));
    RowControls::showText(connection_, subreport.connectionExpression.value_or(QString()));
    dataSource_->setVisible(
        SubreportDataSource::showsDataSourceField(subreport.dataSourceExpression));
    RowControls::showText(dataSource_, subreport.dataSourceExpression.value_or(QString()));
}

void DataSourceCard::choose(int index)
{
    const QList<SubreportConnectionKind> kinds = allCases<SubreportConnectionKind>();
    const std::optional<ReportElement> element = writer_.current();
    const auto *shown = element ? element->kind.as<ElementKind::Subreport>() : nullptr;
    if (!shown || index < 0 || index >= kinds.size())
        return;
    // Re-picking the kind shown writes nothing.
    if (SubreportDataSource::inferKind(shown->connectionExpression, shown->dataSourceExpression) !=
        kinds.at(index)) {
        writer_.updatePayload<ElementKind::Subreport>([&](ElementKind::Subreport &subreport) {
            SubreportDataSource::choose(subreport, kinds.at(index));
        });
    }
    // A choice that leaves the expressions as they were (a custom connection that is the
    // same-connection text) changes nothing the store would announce: the picker goes back to
    // the kind the expressions show.
    if (const std::optional<ReportElement> now = writer_.current()) {
        if (const auto *subreport = now->kind.as<ElementKind::Subreport>())
            show(*subreport);
    }
}
