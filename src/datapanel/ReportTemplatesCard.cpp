#include "datapanel/DataListSection.h"
#include "datapanel/DataPanelCardMakers.h"
#include "datapanel/DataPanelCards.h"
#include "widgets/InspectorRows.h"

#include <QFontDatabase>
#include <QLineEdit>

using namespace Qt::StringLiterals;

// The template rows edit the expression only; the class name stays as it is.
DataPanelPart *makeReportTemplatesCard(const DataPanelContext &context, QWidget *parent)
{
    DataListSpec spec = DataListSpec::of(
        &ReportDocument::reportTemplates, DataListOperations::reportTemplates(),
        DataPanelCards::objectName(DataPanelCard::reportTemplates), u"Add Template"_s);
    spec.buildRow = [store = context.store](DataListRow &row) {
        const DataListEdits::RowWriter<ReportTemplate> writer(
            store, &ReportDocument::reportTemplates, row.id());
        auto *expression = new QLineEdit(&row);
        expression->setPlaceholderText(u"expression"_s);
        QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        mono.setPointSizeF(11);
        expression->setFont(mono);
        QObject::connect(expression, &QLineEdit::textEdited, expression,
                         [writer](const QString &text) {
                             writer.write([&](ReportTemplate &reportTemplate) {
                                 reportTemplate.expression = text;
                             });
                         });
        row.addControl(expression, u"expression"_s, 1);
        row.setRefresh([id = row.id(), expression](const ReportDocument &document) {
            if (const ReportTemplate *item = DataListEdits::find(document.reportTemplates, id))
                InspectorRows::showText(expression, item->expression);
        });
    };
    return new DataListSection(context.store, std::move(spec), parent);
}
