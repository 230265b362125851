#pragma once

#include "RawEnum.h"

enum class WhenNoDataType { noPages, blankPage, allSectionsNoDetail, noDataSection };
QUILLMARK_ENUM_TEXTS(WhenNoDataType, {WhenNoDataType::noPages, "NoPages"},
                     {WhenNoDataType::blankPage, "BlankPage"},
                     {WhenNoDataType::allSectionsNoDetail, "AllSectionsNoDetail"},
                     {WhenNoDataType::noDataSection, "NoDataSection"});

// The label pickers show: "No Pages", "Blank Page", "All Sections, No Detail", "No Data Section".
inline QString whenNoDataTypeLabel(WhenNoDataType type)
{
    switch (type) {
    case WhenNoDataType::blankPage:
        return QStringLiteral("Blank Page");
    case WhenNoDataType::allSectionsNoDetail:
        return QStringLiteral("All Sections, No Detail");
    case WhenNoDataType::noDataSection:
        return QStringLiteral("No Data Section");
    case WhenNoDataType::noPages:
        break;
    }
    return QStringLiteral("No Pages");
}

enum class PrintOrder { vertical, horizontal };
QUILLMARK_ENUM_TEXTS(PrintOrder, {PrintOrder::vertical, "Vertical"},
                     {PrintOrder::horizontal, "Horizontal"});

enum class GroupFooterPosition { normal, stackAtBottom, forceAtBottom };
QUILLMARK_ENUM_TEXTS(GroupFooterPosition, {GroupFooterPosition::normal, "Normal"},
                     {GroupFooterPosition::stackAtBottom, "StackAtBottom"},
                     {GroupFooterPosition::forceAtBottom, "ForceAtBottom"});

enum class SortFieldOrder { ascending, descending };
QUILLMARK_ENUM_TEXTS(SortFieldOrder, {SortFieldOrder::ascending, "Ascending"},
                     {SortFieldOrder::descending, "Descending"});

enum class SortFieldType { field, variable };
QUILLMARK_ENUM_TEXTS(SortFieldType, {SortFieldType::field, "Field"},
                     {SortFieldType::variable, "Variable"});

enum class BandType {
    background,
    title,
    pageHeader,
    columnHeader,
    detail,
    columnFooter,
    pageFooter,
    lastPageFooter,
    summary,
    noData
};
QUILLMARK_ENUM_TEXTS(BandType, {BandType::background, "background"}, {BandType::title, "title"},
                     {BandType::pageHeader, "pageHeader"}, {BandType::columnHeader, "columnHeader"},
                     {BandType::detail, "detail"}, {BandType::columnFooter, "columnFooter"},
                     {BandType::pageFooter, "pageFooter"},
                     {BandType::lastPageFooter, "lastPageFooter"}, {BandType::summary, "summary"},
                     {BandType::noData, "noData"});

// The order in which bands are read, written and shown.
inline QList<BandType> bandDisplayOrder()
{
    return allCases<BandType>();
}

enum class TextAlignment { left, center, right };
QUILLMARK_ENUM_TEXTS(TextAlignment, {TextAlignment::left, "Left"},
                     {TextAlignment::center, "Center"}, {TextAlignment::right, "Right"});

enum class VerticalTextAlignment { top, middle, bottom };
QUILLMARK_ENUM_TEXTS(VerticalTextAlignment, {VerticalTextAlignment::top, "Top"},
                     {VerticalTextAlignment::middle, "Middle"},
                     {VerticalTextAlignment::bottom, "Bottom"});

enum class StretchType {
    noStretch,
    relativeToBandHeight,
    relativeToTallestObject,
    elementGroupBottom,
    elementGroupHeight,
    containerHeight,
    containerBottom
};
QUILLMARK_ENUM_TEXTS(StretchType, {StretchType::noStretch, "NoStretch"},
                     {StretchType::relativeToBandHeight, "RelativeToBandHeight"},
                     {StretchType::relativeToTallestObject, "RelativeToTallestObject"},
                     {StretchType::elementGroupBottom, "ElementGroupBottom"},
                     {StretchType::elementGroupHeight, "ElementGroupHeight"},
                     {StretchType::containerHeight, "ContainerHeight"},
                     {StretchType::containerBottom, "ContainerBottom"});

enum class PositionType { float_, fixRelativeToTop, fixRelativeToBottom };
QUILLMARK_ENUM_TEXTS(PositionType, {PositionType::float_, "Float"},
                     {PositionType::fixRelativeToTop, "FixRelativeToTop"},
                     {PositionType::fixRelativeToBottom, "FixRelativeToBottom"});

enum class TextAdjust { stretchHeight, cutText, scaleFont };
QUILLMARK_ENUM_TEXTS(TextAdjust, {TextAdjust::stretchHeight, "StretchHeight"},
                     {TextAdjust::cutText, "CutText"}, {TextAdjust::scaleFont, "ScaleFont"});

enum class PenLineStyle { solid, dashed, dotted, double_ };
QUILLMARK_ENUM_TEXTS(PenLineStyle, {PenLineStyle::solid, "Solid"}, {PenLineStyle::dashed, "Dashed"},
                     {PenLineStyle::dotted, "Dotted"}, {PenLineStyle::double_, "Double"});

// The label the border editor shows: "Solid Line", "Double Line", ...
inline QString penLineStyleLabel(PenLineStyle style)
{
    return rawValue(style) + QStringLiteral(" Line");
}

enum class BreakType { page, column };
QUILLMARK_ENUM_TEXTS(BreakType, {BreakType::page, "Page"}, {BreakType::column, "Column"});

// The composite fields the store inserts in one step; the texts are their names.
enum class CompositeElement { pageNumber, totalPages, pageXofY, currentDate, time };
QUILLMARK_ENUM_TEXTS(CompositeElement, {CompositeElement::pageNumber, "Page Number"},
                     {CompositeElement::totalPages, "Total Pages"},
                     {CompositeElement::pageXofY, "Page X of Y"},
                     {CompositeElement::currentDate, "Current Date"},
                     {CompositeElement::time, "Time"});
