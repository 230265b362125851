#include "datapanel/DataPanelCards.h"

using namespace Qt::StringLiterals;

namespace {

struct CardTexts {
    QString title;
    QString subtitle;
    QString objectName;
};

// In the order of DataPanelCard.
const std::array<CardTexts, 10> &cardTexts()
{
    static const std::array<CardTexts, 10> texts = {{
        {u"Database Connections"_s,
         u"Optional live connections for Read Fields / Compile & Preview / Export. Without one "
         u"selected, Read Fields reads the field names from the query's text, and previews and "
         u"exports run on one empty record (the sample CSV serves the query test only)."_s,
         u"datapanel.connections"_s},
        {u"Subdatasets"_s,
         u"A named, standalone parameters/query/fields set - what a List component's row "
         u"template iterates over via its Inspector's Dataset field, independent of this "
         u"report's own data."_s,
         u"datapanel.subDatasets"_s},
        {u"Parameters"_s, u"Values supplied when the report runs, e.g. $P{ReportTitle}"_s,
         u"datapanel.params"_s},
        {u"Fields"_s,
         u"Columns supplied by the data source, e.g. $F{amount}. The insert button drops a bound "
         u"text field into the active band - dragging directly onto the canvas isn't possible "
         u"while this panel covers it as a sheet."_s,
         u"datapanel.fields"_s},
        {u"Sort Fields"_s,
         u"Pre-sorts rows by a field or variable before group breaks are evaluated."_s,
         u"datapanel.sortFields"_s},
        {u"Scriptlets"_s,
         u"Registers a Java class that hooks into fill-time events (beforeReportInit, "
         u"afterDetailEval, etc)."_s,
         u"datapanel.scriptlets"_s},
        {u"Report Templates"_s,
         u"A .jrtx style-template reference, e.g. \"templates/base.jrtx\" or "
         u"$P{SUBREPORT_DIR} + \"base.jrtx\"."_s,
         u"datapanel.templates"_s},
        {u"Variables"_s, u"Computed values, e.g. $V{total}"_s, u"datapanel.variables"_s},
        {u"Groups"_s,
         u"Breaks the detail band whenever the expression's value changes, inserting a "
         u"header/footer around each run - edit their content on the canvas like any other "
         u"band."_s,
         u"datapanel.groups"_s},
        {u"Styles"_s,
         u"Defined once, referenced by elements via the Inspector's Style picker. Elements "
         u"that use a style follow an edit of it here at once, except in what they set "
         u"themselves - use \"Reapply\", beside the count of elements that use a style, to "
         u"push the current values onto every element that names it, over its own."_s,
         u"datapanel.styles"_s},
    }};
    return texts;
}

} // namespace

namespace DataPanelCards {

QString title(DataPanelCard card)
{
    return cardTexts().at(std::size_t(card)).title;
}

QString subtitle(DataPanelCard card)
{
    return cardTexts().at(std::size_t(card)).subtitle;
}

QString objectName(DataPanelCard card)
{
    return cardTexts().at(std::size_t(card)).objectName;
}

} // namespace DataPanelCards
