// The edits RandomEdits makes through the fields and pickers of the cards and the band drops:
// an element's padding and frame fields, a band's Height field, the variables card's reset and
// increment pickers, the sort fields card's type picker, and fields and parameters dropped from
// the outline onto a band.

#include "RandomEdits.h"
#include "RandomEditsParts.h"

#include "canvas/BandDrop.h"
#include "canvas/BandDropHandler.h"
#include "document/DocumentStore.h"
#include "document/SortFieldNames.h"
#include "edits/DataListEdits.h"
#include "edits/InspectorEdits.h"
#include "edits/LengthLimits.h"
#include "inspector/BoxSides.h"
#include "model/RawEnum.h"
#include "workspace/AppSettings.h"

using namespace Qt::StringLiterals;
using namespace randomedits;

namespace {

// A length typed into a field: mostly what a band or element holds, now and then far past the
// page.
double typedLength(std::mt19937 &random)
{
    const int reach = std::bernoulli_distribution(0.3)(random) ? 2000 : 200;
    return std::uniform_int_distribution<int>(0, reach)(random);
}

} // namespace

QString RandomEdits::editPadding()
{
    // Frames most often: their padding is the room of what they hold.
    const QList<Placed> elements = placedElements(store_.document());
    QList<Placed> frames = elements;
    frames.removeIf([](const Placed &p) { return !p.element.kind.is<ElementKind::Frame>(); });
    const std::optional<Placed> clicked =
        clickOn(frames.isEmpty() || chance(0.3) ? elements : frames);
    if (!clicked)
        return u"padding: no element"_s;
    const Placed &picked = *clicked;
    // The diagram's sides, clicked on; the stepper, stepped from the first side's padding.
    BoxSideSet sides;
    for (const BoxSide side : BoxSides::all()) {
        if (chance(0.5))
            sides.insert(side);
    }
    if (sides.isEmpty())
        sides.insert(BoxSides::all().at(pick(4)));
    const double points =
        BoxSides::stepped(BoxSides::padding(picked.element, BoxSides::listed(sides).first()),
                          pick(60) - 10, BoxSides::paddingStep, 0, BoxSides::paddingMaximum);
    const ElementWriter writer(&store_, picked.element);
    writer.update([&](ReportElement &e) { BoxSides::setPadding(e, sides, points); });
    return u"padding of "_s + whereOf(picked) + u": "_s + BoxSides::editingCaption(sides) +
           u" to "_s + QString::number(points);
}

QString RandomEdits::typeElementFrame()
{
    const std::optional<Placed> clicked = clickOn(placedElements(store_.document()));
    if (!clicked)
        return u"frame card: no element"_s;
    const Placed &picked = *clicked;
    using Which = LengthLimits::ElementLength;
    static const Which fields[] = {Which::x, Which::y, Which::width, Which::height};
    static const char16_t *const names[] = {u"X", u"Y", u"Width", u"Height"};
    double ReportElement::*const members[] = {&ReportElement::x, &ReportElement::y,
                                              &ReportElement::width, &ReportElement::height};
    const int which = pick(4);
    const double typed = typedLength(random_);
    const QString what = u"frame card of "_s + whereOf(picked) + u": "_s +
                         QString::fromUtf16(names[which]) + u' ' + QString::number(typed);
    // The field refuses what its check refuses, and stores what it adjusts.
    const LengthVerdict verdict = LengthLimits::elementLength(
        store_, picked.element.id, fields[which], typed, MeasurementUnit::pixels);
    if (!verdict.points)
        return what + u" refused: "_s + verdict.message;
    const ElementWriter writer(&store_, picked.element);
    writer.update([&](ReportElement &e) { e.*members[which] = *verdict.points; });
    return what;
}

QString RandomEdits::typeBandHeight()
{
    const QList<BandTarget> targets = targetsOf(store_.document());
    if (targets.isEmpty())
        return u"band height: no band"_s;
    const BandTarget target = targets.at(pick(int(targets.size())));
    // A click on the band makes it the one the inspector shows.
    store_.setActiveBandTarget(target);
    store_.setSelectedElementIDs({});
    const double typed = typedLength(random_);
    const QString what = u"band height of "_s + target.id() + u' ' + QString::number(typed);
    const LengthVerdict verdict =
        LengthLimits::bandHeight(store_, target, typed, MeasurementUnit::pixels);
    if (!verdict.points)
        return what + u" refused: "_s + verdict.message;
    InspectorEdits::setBandHeight(store_, target, *verdict.points);
    return what;
}

QString RandomEdits::editVariableCard()
{
    const ReportDocument &d = store_.document();
    if (d.variables.isEmpty())
        return u"variables card: no variable"_s;
    const ReportVariable variable = d.variables.at(pick(int(d.variables.size())));
    const DataListEdits::RowWriter<ReportVariable> row(&store_, &ReportDocument::variables,
                                                       variable.id);
    const QString what = describe(u"variables card"_s, variable.name) + u": "_s;
    // The type pickers offer "Group" only while the report has a group; the group pickers offer
    // the report's groups.
    QStringList groups;
    for (const ReportGroup &group : d.groups)
        groups.append(group.name);
    QStringList types = {u"None"_s, u"Report"_s, u"Page"_s, u"Column"_s};
    if (!groups.isEmpty())
        types.append(u"Group"_s);
    switch (pick(4)) {
    case 0: {
        // "Group" comes up more often: it is the one that needs a group as well.
        const QString type = chance(0.4) ? types.last() : types.at(pick(int(types.size())));
        row.write([&](ReportVariable &v) {
            v.resetType = type;
            DataListEdits::keepGroupForType(type, v.resetGroup, groups);
        });
        return what + u"reset "_s + type;
    }
    case 2: {
        const QStringList increments =
            QStringList{DataListEdits::defaultIncrementTypeLabel} + types;
        const QString type =
            chance(0.4) ? increments.last() : increments.at(pick(int(increments.size())));
        row.write([&](ReportVariable &v) {
            v.incrementType = DataListEdits::storedIncrementType(type);
            DataListEdits::keepGroupForType(type, v.incrementGroup, groups);
        });
        return what + u"increment "_s + type;
    }
    default: {
        if (groups.isEmpty())
            return what + u"no group to pick"_s;
        const QString group = groups.at(pick(int(groups.size())));
        const bool reset = chance(0.5);
        row.write([&](ReportVariable &v) { (reset ? v.resetGroup : v.incrementGroup) = group; });
        return what + describe(reset ? u"reset group"_s : u"increment group"_s, group);
    }
    }
}

QString RandomEdits::editSortFieldType()
{
    const ReportDocument &d = store_.document();
    if (d.sortFields.isEmpty())
        return u"sort field type: no sort field"_s;
    const ReportSortField sort = d.sortFields.at(pick(int(d.sortFields.size())));
    const SortFieldType type = chance(0.5) ? SortFieldType::field : SortFieldType::variable;
    const QString what = describe(u"sort field"_s, sort.name) + u" type "_s + rawValue(type);
    // The card's picker: a type with nothing left to sort on is refused with a word.
    const std::optional<ReportSortField> switched = SortFieldNames::switchedToType(d, sort, type);
    if (!switched)
        return what + u" refused"_s;
    DataListEdits::writeRow<ReportSortField>(store_, &ReportDocument::sortFields, sort.id,
                                             [&](ReportSortField &s) {
                                                 s.type = switched->type;
                                                 s.name = switched->name;
                                             });
    return what + u" on "_s + switched->name;
}

QString RandomEdits::dropOnBand()
{
    const ReportDocument &d = store_.document();
    const QList<BandTarget> targets = targetsOf(d);
    if (targets.isEmpty())
        return u"drop: no band"_s;
    BandTarget target = targets.at(pick(int(targets.size())));
    // What the outline's rows drag: one field, the selected fields, or one parameter. Several
    // fields go onto a detail band, where they are one step; elsewhere each is a step of its own.
    QString text;
    switch (pick(3)) {
    case 0:
        if (d.fields.isEmpty())
            return u"drop: no field"_s;
        text = u"field:"_s + d.fields.at(pick(int(d.fields.size()))).name;
        break;
    case 1: {
        QStringList names;
        for (const ReportField &field : d.fields) {
            if (chance(0.5))
                names.append(field.name);
        }
        if (names.size() < 2 || d.detailBands.isEmpty())
            return u"drop: fewer than two fields chosen, or no detail band"_s;
        text = u"fields:"_s + names.join(u',');
        target = BandTarget::detailBand(d.detailBands.at(pick(int(d.detailBands.size()))).id);
        break;
    }
    default:
        if (d.parameters.isEmpty())
            return u"drop: no parameter"_s;
        text = u"param:"_s + d.parameters.at(pick(int(d.parameters.size()))).name;
        break;
    }
    const BandDrop drop = BandDrop::parse(text);
    const QPointF point(pickWithin(store_.width(target)),
                        pickWithin(std::max(store_.height(target), 1.0)));
    if (!bandUsesDrop(store_, target, drop))
        return u"drop "_s + text + u" on "_s + target.id() + u": not taken"_s;
    applyBandDrop(store_, *appSettings_, target, drop, point);
    return u"drop "_s + text + u" on "_s + target.id() + u" at "_s + QString::number(point.x()) +
           u", "_s + QString::number(point.y());
}
