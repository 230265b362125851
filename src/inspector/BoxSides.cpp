#include "inspector/BoxSides.h"

#include <algorithm>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

// The field of the side, const or not as the element is.
template <typename Element> auto &penField(Element &element, BoxSide side)
{
    switch (side) {
    case BoxSide::top:
        return element.topPen;
    case BoxSide::left:
        return element.leftPen;
    case BoxSide::bottom:
        return element.bottomPen;
    case BoxSide::right:
        break;
    }
    return element.rightPen;
}

template <typename Element> auto &paddingField(Element &element, BoxSide side)
{
    switch (side) {
    case BoxSide::top:
        return element.paddingTop;
    case BoxSide::left:
        return element.paddingLeft;
    case BoxSide::bottom:
        return element.paddingBottom;
    case BoxSide::right:
        break;
    }
    return element.paddingRight;
}

} // namespace

namespace BoxSides {

QList<BoxSide> all()
{
    return {BoxSide::top, BoxSide::left, BoxSide::bottom, BoxSide::right};
}

QString displayName(BoxSide side)
{
    switch (side) {
    case BoxSide::top:
        return u"Top"_s;
    case BoxSide::left:
        return u"Left"_s;
    case BoxSide::bottom:
        return u"Bottom"_s;
    case BoxSide::right:
        break;
    }
    return u"Right"_s;
}

QList<BoxSide> listed(const BoxSideSet &sides)
{
    QList<BoxSide> result;
    for (BoxSide side : all()) {
        if (sides.contains(side))
            result.append(side);
    }
    return result;
}

double padding(const ReportElement &element, BoxSide side)
{
    return paddingField(element, side);
}

const std::optional<BoxSidePen> &pen(const ReportElement &element, BoxSide side)
{
    return penField(element, side);
}

BoxSideSet bordered(const ReportElement &element)
{
    BoxSideSet sides;
    for (BoxSide side : all()) {
        if (pen(element, side))
            sides.insert(side);
    }
    return sides;
}

void setPadding(ReportElement &element, const BoxSideSet &sides, double points)
{
    for (BoxSide side : sides)
        paddingField(element, side) = points;
}

void toggleBorder(ReportElement &element, BoxSide side, bool nowSelected)
{
    std::optional<BoxSidePen> &field = penField(element, side);
    if (!nowSelected)
        field.reset();
    else if (!field)
        field = BoxSidePen{1.0, std::nullopt, PenLineStyle::solid};
}

void changePens(ReportElement &element, const BoxSideSet &sides,
                const std::function<void(BoxSidePen &)> &change)
{
    for (BoxSide side : sides) {
        if (std::optional<BoxSidePen> &field = penField(element, side))
            change(*field);
    }
}

void setPenWidth(ReportElement &element, const BoxSideSet &sides, double width)
{
    changePens(element, sides, [width](BoxSidePen &p) { p.width = width; });
}

void setPenStyle(ReportElement &element, const BoxSideSet &sides, PenLineStyle style)
{
    changePens(element, sides, [style](BoxSidePen &p) { p.style = style; });
}

void setPenColor(ReportElement &element, const BoxSideSet &sides, const ElementColor &color)
{
    changePens(element, sides, [&color](BoxSidePen &p) { p.color = color; });
}

double stepped(double value, int steps, double step, double minimum, double maximum)
{
    const double from = std::isnan(value) ? minimum : value;
    return std::clamp(from + steps * step, minimum, maximum);
}

QString editingCaption(const BoxSideSet &sides)
{
    QStringList names;
    for (BoxSide side : listed(sides))
        names.append(displayName(side));
    return u"Editing: "_s + names.join(u", "_s);
}

QString paddingHint()
{
    return u"Click a side to set its padding. Click more than one to edit them together."_s;
}

QString bordersHint()
{
    return u"Click a side of the box to add a border there. Click an already-added side again to "
           u"remove it. Click more than one side to edit them together."_s;
}

QString paddingBarHelp(BoxSide side, bool selected, double points)
{
    return (selected ? u"Deselect "_s : u"Select "_s) + displayName(side) +
           u" padding (currently "_s + QString::number(wholePoints(points)) + u"pt)"_s;
}

QString borderBarHelp(BoxSide side, bool selected)
{
    return (selected ? u"Remove the "_s : u"Add the "_s) + displayName(side) + u" border"_s;
}

QString paddingLabel(double points)
{
    return QString::number(wholePoints(points)) + u" pt"_s;
}

QString penWidthLabel(double width)
{
    return QString::asprintf("%.1f pt", width);
}

} // namespace BoxSides
