#include "inspector/ElementCardPlan.h"

using namespace Qt::StringLiterals;

namespace {

using S = ElementSection;

struct Planner {
    QList<PlannedSection> operator()(const ElementKind::StaticText &) const
    {
        return {{S::text, u"Text"_s},
                {S::font, u"Text"_s},
                {S::padding, u"Padding"_s},
                {S::borders, u"Borders"_s}};
    }
    QList<PlannedSection> operator()(const ElementKind::TextField &) const
    {
        return {{S::expression, u"Expression"_s},
                {S::font, u"Text"_s},
                {S::format, u"Format"_s},
                {S::padding, u"Padding"_s},
                {S::borders, u"Borders"_s}};
    }
    QList<PlannedSection> operator()(const ElementKind::Image &) const
    {
        return {{S::imageExpression, u"Image Expression"_s},
                {S::evaluation, u"Evaluation"_s},
                {S::padding, u"Padding"_s},
                {S::borders, u"Borders"_s}};
    }
    QList<PlannedSection> operator()(const ElementKind::Subreport &) const
    {
        return {{S::subreportFile, u"Subreport File"_s},
                {S::dataSource, u"Data Source"_s},
                {S::subreportParameters, u"Parameters"_s},
                {S::evaluation, u"Evaluation"_s},
                {S::borders, u"Borders"_s}};
    }
    QList<PlannedSection> operator()(const ElementKind::Frame &) const
    {
        return {{S::fill, u"Fill"_s}, {S::borders, u"Borders"_s}, {S::frameNote, {}}};
    }
    QList<PlannedSection> operator()(const ElementKind::List &) const
    {
        return {{S::list, u"List"_s},
                {S::datasetParameters, u"Dataset Parameters"_s},
                {S::listNote, {}}};
    }
    QList<PlannedSection> operator()(const ElementKind::Table &) const
    {
        return {{S::table, u"Table"_s}, {S::columns, u"Columns"_s}, {S::noData, u"No Data"_s}};
    }
    QList<PlannedSection> operator()(const ElementKind::ReportBreak &) const
    {
        return {{S::breakType, u"Break"_s}};
    }
    QList<PlannedSection> operator()(const ElementKind::Chart &) const
    {
        return {{S::rawKindNotice, u"Chart"_s}};
    }
    QList<PlannedSection> operator()(const ElementKind::Crosstab &) const
    {
        return {{S::rawKindNotice, u"Crosstab"_s}};
    }
    // Every other component shows under this title, whatever it is.
    QList<PlannedSection> operator()(const ElementKind::ComponentPlaceholder &) const
    {
        return {{S::rawKindNotice, u"Barcode"_s}};
    }
    QList<PlannedSection> operator()(const ElementKind::GenericElement &) const
    {
        return {{S::rawKindNotice, u"Generic Element"_s}};
    }
    QList<PlannedSection> operator()(const ElementKind::Rectangle &) const { return shape(); }
    QList<PlannedSection> operator()(const ElementKind::Ellipse &) const { return shape(); }
    QList<PlannedSection> operator()(const ElementKind::Line &) const { return shape(); }

    static QList<PlannedSection> shape() { return {{S::shape, u"Style"_s}}; }
};

} // namespace

QList<PlannedSection> elementCardPlan(const ElementKind &kind)
{
    return std::visit(Planner{}, kind.payload);
}

QString sectionName(ElementSection section)
{
    switch (section) {
    case S::text:
        return u"text"_s;
    case S::font:
        return u"font"_s;
    case S::expression:
        return u"expression"_s;
    case S::format:
        return u"format"_s;
    case S::padding:
        return u"padding"_s;
    case S::borders:
        return u"borders"_s;
    case S::imageExpression:
        return u"imageExpression"_s;
    case S::evaluation:
        return u"evaluation"_s;
    case S::subreportFile:
        return u"subreportFile"_s;
    case S::dataSource:
        return u"dataSource"_s;
    case S::subreportParameters:
        return u"subreportParameters"_s;
    case S::fill:
        return u"fill"_s;
    case S::frameNote:
        return u"frameNote"_s;
    case S::list:
        return u"list"_s;
    case S::datasetParameters:
        return u"datasetParameters"_s;
    case S::listNote:
        return u"listNote"_s;
    case S::table:
        return u"table"_s;
    case S::columns:
        return u"columns"_s;
    case S::noData:
        return u"noData"_s;
    case S::breakType:
        return u"break"_s;
    case S::rawKindNotice:
        return u"notice"_s;
    case S::shape:
        return u"shape"_s;
    }
    return {};
}
