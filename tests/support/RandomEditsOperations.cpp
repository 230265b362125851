// The edits RandomEdits makes, each through the path a panel or the canvas takes.

#include "RandomEdits.h"
#include "RandomEditsParts.h"

#include "FollowedStyles.h"

#include "canvas/BandGeometry.h"
#include "datapanel/RemovalQuestions.h"
#include "document/DocumentStore.h"
#include "editors/ExpressionScope.h"
#include "edits/DataListEdits.h"
#include "edits/InspectorEdits.h"
#include "edits/LengthLimits.h"
#include "inspector/CardChoices.h"
#include "model/Identifiers.h"
#include "model/JrxmlCodec.h"
#include "model/RawEnum.h"
#include "setup/PageSetupEdits.h"
#include "widgets/ScriptedDialogs.h"

using namespace Qt::StringLiterals;

namespace {

template <typename T> QStringList namesOf(const QList<T> &items)
{
    QStringList names;
    for (const T &item : items)
        names.append(item.name);
    return names;
}

// The attributes that a condition of the element's style, or of a parent style it names, sets
// and that the element, written, still sets itself: the engine prints those over the condition.
QStringList setOverConditions(const ReportElement &element, const QList<ReportStyle> &styles)
{
    QSet<QString> conditioned;
    QStringList seen;
    for (std::optional<QString> name = element.styleName; name && !seen.contains(*name);) {
        seen.append(*name);
        const auto style = std::find_if(styles.cbegin(), styles.cend(),
                                        [&](const ReportStyle &s) { return s.name == *name; });
        if (style == styles.cend())
            break;
        for (const ConditionalStyleRule &rule : style->conditionalStyles) {
            const std::pair<bool, QString> sets[] = {
                {rule.fontName && !rule.fontName->isEmpty(), u"fontName"_s},
                {bool(rule.fontSize), u"size"_s},
                {bool(rule.isBold), u"isBold"_s},
                {bool(rule.isItalic), u"isItalic"_s},
                {bool(rule.isUnderline), u"isUnderline"_s},
                {bool(rule.foreColor), u"forecolor"_s},
                {bool(rule.backColor), u"backcolor"_s}};
            for (const auto &[set, attribute] : sets) {
                if (set)
                    conditioned.insert(attribute);
            }
        }
        const QString *parent = style->kept.part({}).attribute(u"style");
        name = parent ? std::optional(*parent) : std::nullopt;
    }
    const QString text = JrxmlCodec::serializeElement(element, styles);
    // The first tag of that name: the element's own, before any of its children's.
    const auto tag = [&](const QString &name) {
        const qsizetype at = text.indexOf(u'<' + name + u' ');
        return at < 0 ? QString() : text.mid(at, text.indexOf(u'>', at) - at);
    };
    QStringList out;
    for (const QString &attribute : std::as_const(conditioned)) {
        const bool onFont = attribute != u"forecolor"_s && attribute != u"backcolor"_s;
        if (onFont && !element.kind.isTextKind())
            continue;
        if (tag(onFont ? u"font"_s : u"reportElement"_s).contains(u' ' + attribute + u'='))
            out.append(attribute);
    }
    return out;
}

void collectElements(const ElementList &list, const BandTarget &band, bool topLevel,
                     QList<randomedits::Placed> &out)
{
    for (const ReportElement &element : list) {
        out.append({element, band, topLevel});
        if (const ElementList *children = element.kind.children())
            collectElements(*children, band, false, out);
    }
}

} // namespace

namespace randomedits {

QList<Placed> placedElements(const ReportDocument &document)
{
    QList<Placed> out;
    for (const BandTarget &band : targetsOf(document))
        collectElements(DocumentStore::elements(document, band), band, true, out);
    return out;
}

QList<ReportElement> elementsOf(const ReportDocument &document)
{
    QList<ReportElement> out;
    for (const Placed &placed : placedElements(document))
        out.append(placed.element);
    return out;
}

QList<BandTarget> targetsOf(const ReportDocument &document)
{
    QList<BandTarget> targets;
    for (const ReportBand &band : document.bands)
        targets.append(BandTarget::standard(band.type));
    for (const ReportBand &band : document.detailBands)
        targets.append(BandTarget::detailBand(band.id));
    for (const ReportGroup &group : document.groups) {
        targets.append(BandTarget::groupHeader(group.id));
        targets.append(BandTarget::groupFooter(group.id));
    }
    return targets;
}

bool isWritten(const ReportDocument &document, const BandTarget &target)
{
    switch (target.kind()) {
    case BandTarget::Case::standard: {
        const ReportBand *band = document.findBand(target.bandType());
        return band && band->isPresent && target.bandType() != BandType::detail;
    }
    case BandTarget::Case::detailBand:
        return std::any_of(document.detailBands.cbegin(), document.detailBands.cend(),
                           [&](const ReportBand &band) { return band.id == target.uuid(); });
    case BandTarget::Case::groupHeader:
    case BandTarget::Case::groupFooter:
        return std::any_of(document.groups.cbegin(), document.groups.cend(),
                           [&](const ReportGroup &group) { return group.id == target.uuid(); });
    }
    return false;
}

QString describe(const QString &what, const QString &name)
{
    return what + u" '"_s + name + u'\'';
}

QString placeOf(const ReportElement &element)
{
    return element.kind.displayName() + u" at "_s + QString::number(element.x) + u", "_s +
           QString::number(element.y);
}

QString whereOf(const Placed &placed)
{
    return placeOf(placed.element) + (placed.topLevel ? u" in "_s : u" nested in "_s) +
           placed.band.id();
}

} // namespace randomedits

using namespace randomedits;

QString RandomEdits::editList()
{
    const ReportDocument &d = store_.document();
    // A removal asks first when something uses the item; the answer goes either way.
    ScriptedDialogs dialogs;
    dialogs.answerAlert(chance(0.6) ? 0 : 1);
    using Declaration = RemovalQuestions::Declaration;
    using Kind = ReportReferences::Kind;
    // A field, parameter or variable added, removed, or its name typed or its class written.
    const auto declaration = [&](auto list, const DataListOperations &operations, Declaration kind,
                                 const QString &what) -> QString {
        using T = typename std::remove_reference_t<decltype(d.*list)>::value_type;
        const QList<T> &items = d.*list;
        if (items.isEmpty() || chance(0.3)) {
            (store_.*operations.add)();
            return u"add "_s + what;
        }
        const T item = items.at(pick(int(items.size())));
        if (chance(0.3)) {
            if (RemovalQuestions::mayRemove(&dialogs, store_, kind, item.id))
                (store_.*operations.remove)(item.id);
            return describe(u"remove "_s + what, item.name);
        }
        const DataListEdits::RowWriter<T> row(&store_, list, item.id);
        if (chance(0.3)) {
            const QString className = chance(0.5) ? u"java.lang.Integer"_s : u"java.lang.String"_s;
            row.write([&](T &i) { i.className = className; });
            return what + u" class "_s + className;
        }
        const QString to = randomName();
        typeName(item.name, to,
                 [&](const QString &name) { row.write([&](T &i) { i.name = name; }); });
        return describe(what + u" '"_s + item.name + u"' renamed to"_s, to);
    };
    switch (pick(7)) {
    case 0:
        return declaration(&ReportDocument::fields, DataListOperations::fields(),
                           Declaration::field, u"field"_s);
    case 1:
        return declaration(&ReportDocument::parameters, DataListOperations::parameters(),
                           Declaration::parameter, u"parameter"_s);
    case 2:
        return declaration(&ReportDocument::variables, DataListOperations::variables(),
                           Declaration::variable, u"variable"_s);
    case 3: {
        if (d.sortFields.isEmpty() || chance(0.4)) {
            store_.addSortField();
            return u"add sort field"_s;
        }
        const ReportSortField sort = d.sortFields.at(pick(int(d.sortFields.size())));
        if (chance(0.4)) {
            store_.removeSortField(sort.id);
            return u"remove sort field"_s;
        }
        const QString name =
            d.fields.isEmpty() ? randomName() : d.fields.at(pick(int(d.fields.size()))).name;
        // The card's picker names a field and makes the sort field sort on a field.
        DataListEdits::writeRow<ReportSortField>(store_, &ReportDocument::sortFields, sort.id,
                                                 [&](ReportSortField &s) {
                                                     s.name = name;
                                                     s.type = SortFieldType::field;
                                                 });
        return describe(u"sort by"_s, name);
    }
    case 4: {
        if (d.groups.isEmpty() || chance(0.4)) {
            store_.addGroup();
            return u"add group"_s;
        }
        const ReportGroup group = d.groups.at(pick(int(d.groups.size())));
        if (chance(0.5) && d.groups.size() > 1) {
            const int index = int(d.groups.indexOf(group));
            DataListEdits::moveRow(store_, &ReportDocument::groups, DataListOperations::groups(),
                                   group.id, index == 0 ? 1 : -1);
            return describe(u"move group"_s, group.name);
        }
        if (RemovalQuestions::mayDelete(&dialogs, store_, Kind::group, group.id))
            store_.removeGroup(group.id);
        return describe(u"delete group"_s, group.name);
    }
    case 5: {
        if (d.styles.isEmpty() || chance(0.4)) {
            store_.addStyle();
            return u"add style"_s;
        }
        const ReportStyle style = d.styles.at(pick(int(d.styles.size())));
        if (RemovalQuestions::mayDelete(&dialogs, store_, Kind::style, style.id))
            store_.removeStyle(style.id);
        return describe(u"delete style"_s, style.name);
    }
    default: {
        if (d.subDatasets.isEmpty() || chance(0.4)) {
            store_.addSubDataset();
            return u"add sub-dataset"_s;
        }
        const ReportSubDataset dataset = d.subDatasets.at(pick(int(d.subDatasets.size())));
        if (RemovalQuestions::mayDelete(&dialogs, store_, Kind::subDataset, dataset.id))
            store_.removeSubDataset(dataset.id);
        return describe(u"delete sub-dataset"_s, dataset.name);
    }
    }
}

QString RandomEdits::renameNamed()
{
    const ReportDocument &d = store_.document();
    const auto rename = [&](auto list, const QString &what) -> QString {
        using T = typename std::remove_reference_t<decltype(d.*list)>::value_type;
        const QList<T> &items = d.*list;
        if (items.isEmpty())
            return what + u": none to rename"_s;
        const T item = items.at(pick(int(items.size())));
        QStringList others = namesOf(items);
        others.removeOne(item.name);
        const QString to = nameBeside(others);
        const DataListEdits::RowWriter<T> row(&store_, list, item.id);
        typeName(item.name, to,
                 [&](const QString &name) { row.write([&](T &i) { i.name = name; }); });
        return what + u" '"_s + item.name + u"' typed into '"_s + to + u'\'';
    };
    switch (pick(3)) {
    case 0:
        return rename(&ReportDocument::groups, u"group"_s);
    case 1:
        return rename(&ReportDocument::styles, u"style"_s);
    default:
        return rename(&ReportDocument::subDatasets, u"sub-dataset"_s);
    }
}

QString RandomEdits::editStyleValues()
{
    const ReportDocument before = store_.document();
    if (before.styles.isEmpty())
        return u"style values: no style"_s;
    const ReportStyle style = before.styles.at(pick(int(before.styles.size())));
    const DataListEdits::RowWriter<ReportStyle> row(&store_, &ReportDocument::styles, style.id);
    QString what;
    switch (pick(8)) {
    case 0: {
        const double size = 6 + pick(20);
        row.write([&](ReportStyle &s) { s.fontSize = size; });
        what = describe(u"font size of style"_s, style.name) + u' ' + QString::number(size);
        break;
    }
    case 1:
        row.write([](ReportStyle &s) { s.conditionalStyles.append(ConditionalStyleRule()); });
        what = describe(u"add condition to style"_s, style.name);
        break;
    case 2:
        row.write([](ReportStyle &s) {
            if (!s.conditionalStyles.isEmpty())
                s.conditionalStyles.removeLast();
            s.isBold = !s.isBold;
        });
        what = describe(u"remove a condition, toggle bold of style"_s, style.name);
        break;
    case 3:
    case 4: {
        // The Text and Fill wells: a colour picked, of those the reports use most.
        static const QStringList colors = {u"#00AA00"_s, u"#FF0000"_s, u"#000000"_s, u"#FFFFFF"_s};
        const ElementColor color{colors.at(pick(int(colors.size())))};
        const bool fore = chance(0.7);
        row.write([&](ReportStyle &s) { (fore ? s.foreColor : s.backColor) = color; });
        what = describe(fore ? u"text colour of style"_s : u"fill colour of style"_s, style.name) +
               u' ' + color.hex;
        break;
    }
    case 5: {
        const auto alignment = TextAlignment(pick(3));
        row.write([&](ReportStyle &s) { s.textAlignment = alignment; });
        what = describe(u"alignment of style"_s, style.name) + u' ' + rawValue(alignment);
        break;
    }
    case 6: {
        static const QStringList fonts = {u"Courier New"_s, u"DejaVu Serif"_s, u"SansSerif"_s,
                                          u"Arial"_s};
        const QString font = fonts.at(pick(int(fonts.size())));
        row.write([&](ReportStyle &s) { s.fontName = font; });
        what = describe(u"font of style"_s, style.name) + u' ' + font;
        break;
    }
    default:
        // A style with conditions made the default style puts them on crosstab cells too, where
        // what they name may not exist: that is the conditions card's to warn of, not this edit's.
        if (!style.conditionalStyles.isEmpty()) {
            row.write([](ReportStyle &s) { s.isItalic = !s.isItalic; });
            what = describe(u"toggle italic of style"_s, style.name);
            break;
        }
        row.write([](ReportStyle &s) { s.isDefault = !s.isDefault; });
        what = describe(u"toggle Default of style"_s, style.name);
        break;
    }
    // The style changed, and only the style: then, now and then, undone and redone, the same. An
    // edit that changed nothing recorded no step to undo.
    lapses_ += FollowedStyles::lapses(before, store_.document());
    if (chance(0.3) && store_.document() != before) {
        for (const bool undo : {true, false}) {
            now_ += 2000; // past the coalescing window: a gesture of its own
            undo ? store_.undo() : store_.redo();
            for (const QString &lapse : FollowedStyles::lapses(before, store_.document()))
                lapses_.append((undo ? u"undone: "_s : u"redone: "_s) + lapse);
        }
        what += u", undone and redone"_s;
    }
    return what;
}

QString RandomEdits::editVariableGroups()
{
    const ReportDocument &d = store_.document();
    if (d.variables.isEmpty())
        return u"variable groups: no variable"_s;
    const ReportVariable variable = d.variables.at(pick(int(d.variables.size())));
    const DataListEdits::RowWriter<ReportVariable> row(&store_, &ReportDocument::variables,
                                                       variable.id);
    const std::optional<QString> group =
        d.groups.isEmpty() ? std::nullopt
                           : std::optional(d.groups.at(pick(int(d.groups.size()))).name);
    if (!group || chance(0.3)) {
        row.write([](ReportVariable &v) {
            v.resetType = u"Report"_s;
            v.incrementType.reset();
        });
        return describe(u"variable resets per report"_s, variable.name);
    }
    const bool increment = chance(0.4);
    row.write([&](ReportVariable &v) {
        if (increment) {
            v.incrementType = u"Group"_s;
            v.incrementGroup = group;
        } else {
            v.resetType = u"Group"_s;
            v.resetGroup = group;
        }
    });
    return describe(increment ? u"variable increments on"_s : u"variable resets on"_s, *group);
}

QString RandomEdits::editBands()
{
    const QList<BandTarget> targets = targetsOf(store_.document());
    if (chance(0.6) && !targets.isEmpty()) {
        const BandTarget target = targets.at(pick(int(targets.size())));
        // The band's handle stops at the lowest element's bottom, and at the highest the page
        // holds the band (a band a file made higher may stay as high).
        const double tallest = store_.tallestHeight(target);
        const double lowest =
            bandgeometry::handleMinimum(store_.heightToHoldElements(target), tallest);
        const double highest = std::max(tallest, lowest);
        const double height = std::clamp(double(10 + pick(150)), lowest, highest);
        store_.setHeight(height, target);
        return u"height of "_s + target.id() + u' ' + QString::number(height);
    }
    static const BandType types[] = {BandType::title,        BandType::pageHeader,
                                     BandType::columnHeader, BandType::columnFooter,
                                     BandType::pageFooter,   BandType::summary};
    const BandType type = types[pick(6)];
    const bool present = chance(0.5);
    store_.setBandPresent(type, present);
    return u"band "_s + rawValue(type) + (present ? u" shown"_s : u" hidden"_s);
}

QString RandomEdits::editPageSetup()
{
    double ReportDocument::*const lengths[] = {
        &ReportDocument::leftMargin, &ReportDocument::rightMargin, &ReportDocument::topMargin,
        &ReportDocument::bottomMargin, &ReportDocument::columnSpacing};
    static const char16_t *const names[] = {u"left margin", u"right margin", u"top margin",
                                            u"bottom margin", u"column spacing"};
    switch (pick(5)) {
    case 0: {
        const int points = pick(60);
        const int which = pick(5);
        const QString what = u"page setup length "_s + QString::fromUtf16(names[which]) + u' ' +
                             QString::number(points);
        // The sheet's field refuses a length the page cannot take, and stores what it adjusts.
        const LengthVerdict verdict = LengthLimits::pageLength(store_.document(), lengths[which],
                                                               points, MeasurementUnit::pixels);
        if (!verdict.points)
            return what + u" refused: "_s + verdict.message;
        PageSetupEdits::setLength(store_, lengths[which], *verdict.points);
        return what;
    }
    case 1: {
        const int count = 1 + pick(3);
        PageSetupEdits::setColumnCount(store_, count);
        return u"page setup columns "_s + QString::number(count);
    }
    case 2: {
        const bool portrait = chance(0.5);
        PageSetupEdits::setOrientation(store_, portrait);
        return u"page setup orientation "_s + (portrait ? u"portrait"_s : u"landscape"_s);
    }
    case 3:
        PageSetupEdits::fitColumnWidthToMargins(store_);
        return u"page setup fit"_s;
    default: {
        const WhenNoDataType type = WhenNoDataType(pick(4));
        PageSetupEdits::setGuarded(store_, &ReportDocument::whenNoDataType, type);
        return u"page setup when no data "_s + rawValue(type);
    }
    }
}

QString RandomEdits::editElement()
{
    const ReportDocument &d = store_.document();
    const QList<ReportElement> elements = elementsOf(d);
    if (elements.isEmpty())
        return u"element: none"_s;
    const ReportElement element = elements.at(pick(int(elements.size())));
    store_.setSelectedElementIDs({element.id});
    const ElementWriter writer(&store_, element);
    const QString what = u"element "_s + element.kind.displayName() + u" at "_s +
                         QString::number(element.x) + u", "_s + QString::number(element.y) +
                         u" sized "_s + QString::number(element.width) + u" x "_s +
                         QString::number(element.height) + u": "_s;
    switch (pick(7)) {
    case 0: {
        const double dx = pick(41) - 20, dy = pick(21) - 10;
        writer.update([&](ReportElement &e) {
            e.x = std::max(0.0, e.x + dx);
            e.y = std::max(0.0, e.y + dy);
        });
        return what + u"moved by "_s + QString::number(dx) + u", "_s + QString::number(dy);
    }
    case 1: {
        QString size;
        writer.update([&](ReportElement &e) {
            e.width = 10 + pick(200);
            e.height = 5 + pick(40);
            size = QString::number(e.width) + u" x "_s + QString::number(e.height);
        });
        return what + u"resized to "_s + size;
    }
    case 2: {
        QString font;
        writer.update([&](ReportElement &e) {
            e.fontSize = 6 + pick(20);
            e.isBold = !e.isBold;
            e.foreColor = ElementColor{chance(0.5) ? u"#FF0000"_s : u"#0000FF"_s};
            font =
                QString::number(e.fontSize) + (e.isBold ? u" bold "_s : u" "_s) + e.foreColor->hex;
        });
        return what + u"font and colour "_s + font;
    }
    case 3: {
        // The groups the Evaluation card offers: those of the dataset the element runs in.
        const QStringList groups = expressions::groupsOfElement(d, element.id);
        if (groups.isEmpty() || !element.kind.is<ElementKind::TextField>())
            return what + u"no group to evaluate on"_s;
        const QString group = groups.at(pick(int(groups.size())));
        writer.update([&](ReportElement &e) {
            e.evaluationTime = u"Group"_s;
            e.evaluationGroup = group;
        });
        return what + describe(u"evaluated on"_s, group);
    }
    case 4: {
        if (d.styles.isEmpty() || chance(0.2)) {
            store_.clearStyle(element.id);
            return what + u"style cleared"_s;
        }
        const ReportStyle style = d.styles.at(pick(int(d.styles.size())));
        store_.applyStyle(style, element.id);
        // What a condition of the style sets is left to it, or the condition would not print.
        if (const std::optional<ReportElement> styled = store_.element(element.id)) {
            const QStringList own = setOverConditions(*styled, store_.document().styles);
            if (!own.isEmpty())
                lapses_.append(what + describe(u"styled"_s, style.name) +
                               u": it still sets what a condition of the style sets: "_s +
                               own.join(u", "_s));
        }
        return what + describe(u"styled"_s, style.name);
    }
    case 5: {
        if (d.subDatasets.isEmpty())
            return what + u"no sub-dataset to run"_s;
        const QString dataset = d.subDatasets.at(pick(int(d.subDatasets.size()))).name;
        // A list's from the card's picker; a table's typed into its field and committed.
        CardChoices::chooseListDataset(writer, dataset);
        CardChoices::chooseTableDataset(writer, dataset);
        return what + describe(u"runs"_s, dataset);
    }
    default: {
        const QList<BandTarget> targets = targetsOf(d);
        const std::optional<BandTarget> home = store_.homeBandTarget(element.id);
        const BandTarget target = targets.at(pick(int(targets.size())));
        if (!store_.isTopLevelElement(element.id) || !home || *home == target)
            return what + u"not moved to another band"_s;
        store_.moveSelectedElementsToNewBand(target, 5, 5);
        return what + u"moved to "_s + target.id();
    }
    }
}

QString RandomEdits::addOrRemoveElement()
{
    const ReportDocument &d = store_.document();
    QList<ReportElement> topLevel;
    for (const BandTarget &target : targetsOf(d))
        topLevel.append(QList<ReportElement>(DocumentStore::elements(d, target)));
    if (topLevel.isEmpty() || chance(0.4)) {
        const QList<BandTarget> targets = targetsOf(d);
        ReportElement text;
        text.id = newId();
        text.kind = ElementKind::TextField{
            d.fields.isEmpty() ? u"\"x\""_s : u"$F{"_s + d.fields.first().name + u'}'};
        text.x = pick(200);
        text.y = pick(20);
        if (!d.styles.isEmpty() && chance(0.5))
            text.styleName = d.styles.at(pick(int(d.styles.size()))).name;
        const BandTarget target = targets.at(pick(int(targets.size())));
        store_.addElement(text, target);
        return u"add text field at "_s + QString::number(text.x) + u", "_s +
               QString::number(text.y) + u" to "_s + target.id();
    }
    const ReportElement element = topLevel.at(pick(int(topLevel.size())));
    store_.setSelectedElementIDs({element.id});
    const QString which = element.kind.displayName() + u" at "_s + QString::number(element.x) +
                          u", "_s + QString::number(element.y);
    if (chance(0.5)) {
        store_.deleteSelectedElement();
        return u"delete "_s + which;
    }
    store_.duplicateSelectedElement();
    return u"duplicate "_s + which;
}

QString RandomEdits::applySource()
{
    store_.applyParsedSource(JrxmlCodec::parse(JrxmlCodec::serialize(store_.document())));
    return u"source applied"_s;
}
