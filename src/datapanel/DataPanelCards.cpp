#include "datapanel/DataPanelCards.h"

using namespace Qt::StringLiterals;

namespace DataPanelCards {

QString title(DataPanelCard card)
{
    switch (card) {
    case DataPanelCard::connections:
        return u"Database Connections"_s;
    case DataPanelCard::subDatasets:
        return u"Subdatasets"_s;
    case DataPanelCard::parameters:
        return u"Parameters"_s;
    case DataPanelCard::fields:
        return u"Fields"_s;
    case DataPanelCard::sortFields:
        return u"Sort Fields"_s;
    case DataPanelCard::scriptlets:
        return u"Scriptlets"_s;
    case DataPanelCard::reportTemplates:
        return u"Report Templates"_s;
    case DataPanelCard::variables:
        return u"Variables"_s;
    case DataPanelCard::groups:
        return u"Groups"_s;
    case DataPanelCard::styles:
        return u"Styles"_s;
    }
    return {};
}

QString subtitle(DataPanelCard card)
{
    switch (card) {
    case DataPanelCard::connections:
        return u"Optional live connections for Read Fields / Compile & Preview / Export. Without "
               u"one selected, everything works exactly as before (static query parsing, "
               u"empty/CSV data source)."_s;
    case DataPanelCard::subDatasets:
        return u"A named, standalone parameters/query/fields set - what a List component's row "
               u"template iterates over via its Inspector's Dataset field, independent of this "
               u"report's own data."_s;
    case DataPanelCard::parameters:
        return u"Values supplied when the report runs, e.g. $P{ReportTitle}"_s;
    case DataPanelCard::fields:
        return u"Columns supplied by the data source, e.g. $F{amount}. The insert button drops a "
               u"bound text field into the active band - dragging directly onto the canvas isn't "
               u"possible while this panel covers it as a sheet."_s;
    case DataPanelCard::sortFields:
        return u"Pre-sorts rows by a field or variable before group breaks are evaluated."_s;
    case DataPanelCard::scriptlets:
        return u"Registers a Java class that hooks into fill-time events (beforeReportInit, "
               u"afterDetailEval, etc)."_s;
    case DataPanelCard::reportTemplates:
        return u"A .jrtx style-template reference, e.g. \"templates/base.jrtx\" or "
               u"$P{SUBREPORT_DIR} + \"base.jrtx\"."_s;
    case DataPanelCard::variables:
        return u"Computed values, e.g. $V{total}"_s;
    case DataPanelCard::groups:
        return u"Breaks the detail band whenever the expression's value changes, inserting a "
               u"header/footer around each run - edit their content on the canvas like any other "
               u"band."_s;
    case DataPanelCard::styles:
        return u"Defined once, referenced by elements via the Inspector's Style picker. Editing a "
               u"style here doesn't retroactively update elements that already use it - use "
               u"\"Reapply\" to push the current values onto every element linked to it."_s;
    }
    return {};
}

QString objectName(DataPanelCard card)
{
    switch (card) {
    case DataPanelCard::connections:
        return u"datapanel.connections"_s;
    case DataPanelCard::subDatasets:
        return u"datapanel.subDatasets"_s;
    case DataPanelCard::parameters:
        return u"datapanel.params"_s;
    case DataPanelCard::fields:
        return u"datapanel.fields"_s;
    case DataPanelCard::sortFields:
        return u"datapanel.sortFields"_s;
    case DataPanelCard::scriptlets:
        return u"datapanel.scriptlets"_s;
    case DataPanelCard::reportTemplates:
        return u"datapanel.templates"_s;
    case DataPanelCard::variables:
        return u"datapanel.variables"_s;
    case DataPanelCard::groups:
        return u"datapanel.groups"_s;
    case DataPanelCard::styles:
        return u"datapanel.styles"_s;
    }
    return {};
}

} // namespace DataPanelCards
