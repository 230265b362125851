#include "inspector/ReportInspector.h"

#include "document/DocumentStore.h"
#include "edits/InspectorEdits.h"
#include "edits/LengthLimits.h"
#include "inspector/InspectorTexts.h"
#include "inspector/SectionCard.h"
#include "widgets/InspectorRows.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

ReportInspector::ReportInspector(const InspectorContext &context, QWidget *parent)
    : InspectorPage(parent), store_(context.store), header_(InspectorRows::heading({}, this))
{
    setObjectName(u"inspector.report"_s);
    header_->setObjectName(u"inspector.report.header"_s);
    const ReportDocument &document = store_->document();

    auto *report = new SectionCard(u"Report"_s, this);
    report->setObjectName(u"inspector.report.card"_s);
    name_ = new TextRow(
        u"Name"_s,
        [this](const QString &text) {
            write(u"report.name"_s, [&](ReportDocument &d) { d.name = text; });
        },
        LengthRow::labelWidth, report);
    name_->lineEdit()->setObjectName(u"inspector.report.name"_s);
    report->addWidget(name_);

    auto *page = new SectionCard(u"Page"_s, this);
    page->setObjectName(u"inspector.page"_s);
    width_ = new LengthRow(
        u"Width"_s, document.pageWidth, *context.settings,
        [this](double value) {
            write(u"report.pageWidth"_s, [&](ReportDocument &d) { d.pageWidth = value; });
        },
        page);
    width_->setObjectName(u"inspector.page.width"_s);
    height_ = new LengthRow(
        u"Height"_s, document.pageHeight, *context.settings,
        [this](double value) {
            write(u"report.pageHeight"_s, [&](ReportDocument &d) { d.pageHeight = value; });
        },
        page);
    height_->setObjectName(u"inspector.page.height"_s);
    for (const auto &[row, field] : {std::pair{width_, &ReportDocument::pageWidth},
                                     std::pair{height_, &ReportDocument::pageHeight}}) {
        row->setCheck([this, field](double value, MeasurementUnit unit) {
            if (!store_)
                return LengthVerdict::accept(value);
            return LengthLimits::pageLength(store_->document(), field, value, unit);
        });
        page->addWidget(row);
    }

    summary_ = InspectorRows::secondaryText({}, this);
    summary_->setObjectName(u"inspector.report.summary"_s);
    QLabel *hint = InspectorRows::secondaryText(InspectorTexts::reportHint(), this);
    hint->setObjectName(u"inspector.report.hint"_s);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(12);
    for (QWidget *part : std::initializer_list<QWidget *>{header_, report, page, summary_, hint})
        column->addWidget(part);
}

void ReportInspector::refresh(const DocumentStore &store, const InspectorChoice &)
{
    const ReportDocument &document = store.document();
    header_->setText(InspectorTexts::reportHeader(document.name));
    name_->showText(document.name);
    width_->setPoints(document.pageWidth);
    height_->setPoints(document.pageHeight);
    summary_->setText(InspectorTexts::reportSummary(
        document.parameters.size(), document.fields.size(), document.groups.size()));
}

void ReportInspector::write(const QString &key, const std::function<void(ReportDocument &)> &change)
{
    if (store_)
        InspectorEdits::writeDeclaration(*store_, key, change);
}
