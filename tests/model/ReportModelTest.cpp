#include "ModelBuilders.h"
#include "model/ReportDocument.h"

#include <QSet>
#include <gtest/gtest.h>
#include <thread>
#include <unordered_set>
#include <vector>

using testsupport::element;

namespace {

ReportElement subreport(const QString &expression)
{
    return element(ElementKind::Subreport{expression, {}, {}, {}});
}

} // namespace

TEST(ReportEnums, RawTextsAreExactAndCaseSensitive)
{
    EXPECT_EQ(enumFromRaw<StretchType>(u"RelativeToBandHeight"), StretchType::relativeToBandHeight);
    EXPECT_EQ(enumFromRaw<StretchType>(u"relativeToBandHeight"), std::nullopt);
    EXPECT_EQ(enumFromRaw<PrintOrder>(u"vertical"), std::nullopt);
    EXPECT_EQ(enumFromRaw<PrintOrder>(u"Vertical "), std::nullopt);
    EXPECT_EQ(enumFromRaw<CompositeElement>(u"Page X of Y"), CompositeElement::pageXofY);
    EXPECT_EQ(rawValue(PositionType::float_), QStringLiteral("Float"));
    EXPECT_EQ(penLineStyleLabel(PenLineStyle::double_), QStringLiteral("Double Line"));

    // Every case of every enumeration reads back from its own text.
    auto roundTrips = [](auto sample) {
        using E = decltype(sample);
        for (E e : allCases<E>())
            EXPECT_EQ(enumFromRaw<E>(rawValue(e)), e) << rawValue(e).toStdString();
    };
    roundTrips(WhenNoDataType{});
    roundTrips(GroupFooterPosition{});
    roundTrips(SortFieldOrder{});
    roundTrips(SortFieldType{});
    roundTrips(TextAlignment{});
    roundTrips(VerticalTextAlignment{});
    roundTrips(StretchType{});
    roundTrips(TextAdjust{});
    roundTrips(BreakType{});

    const QList<BandType> order = bandDisplayOrder();
    ASSERT_EQ(order.size(), 10);
    EXPECT_EQ(order.first(), BandType::background);
    EXPECT_EQ(order.at(4), BandType::detail);
    EXPECT_EQ(order.last(), BandType::noData);
    EXPECT_EQ(ReportDocument::queryLanguages.size(), 8);
    EXPECT_EQ(ReportDocument::queryLanguages.last(), QStringLiteral("empty"));
    EXPECT_EQ(ReportDocument::languages.size(), 3);
}

TEST(BandTarget, IdsEqualityAndHashing)
{
    const QUuid id = QUuid::fromString(QStringLiteral("{0f8fad5b-d9cb-469f-a165-70867728950e}"));
    EXPECT_EQ(BandTarget::standard(BandType::pageHeader).id(),
              QStringLiteral("standard.pageHeader"));
    EXPECT_EQ(BandTarget::standard(BandType::lastPageFooter).id(),
              QStringLiteral("standard.lastPageFooter"));
    EXPECT_EQ(BandTarget::groupFooter(id).id(),
              QStringLiteral("groupFooter.0F8FAD5B-D9CB-469F-A165-70867728950E"));
    EXPECT_EQ(BandTarget::detailBand(id), BandTarget::detailBand(id));
    EXPECT_EQ(qHash(BandTarget::detailBand(id)), qHash(BandTarget::detailBand(id)));
    EXPECT_NE(BandTarget::groupHeader(id), BandTarget::groupFooter(id));
    EXPECT_NE(BandTarget::standard(BandType::title), BandTarget::standard(BandType::summary));

    QSet<BandTarget> set{BandTarget::groupHeader(id), BandTarget::groupFooter(id),
                         BandTarget::groupHeader(id), BandTarget::standard(BandType::title)};
    EXPECT_EQ(set.size(), 3);
    std::unordered_set<BandTarget> stdSet{BandTarget::detailBand(id), BandTarget::detailBand(id)};
    EXPECT_EQ(stdSet.size(), 1u);
}

TEST(ElementKind, DisplayNames)
{
    EXPECT_EQ(ElementKind(ElementKind::ReportBreak{BreakType::column}).displayName(),
              QStringLiteral("Column Break"));
    EXPECT_EQ(ElementKind(ElementKind::ReportBreak{BreakType::page}).displayName(),
              QStringLiteral("Page Break"));
    EXPECT_EQ(ElementKind(ElementKind::Chart{QStringLiteral("pieChart"), {}, {}, {}}).displayName(),
              QStringLiteral("Chart (pieChart)"));
    EXPECT_EQ(
        ElementKind(ElementKind::ComponentPlaceholder{QStringLiteral("map"), {}}).displayName(),
        QStringLiteral("Barcode (map)"));
    EXPECT_EQ(ElementKind(ElementKind::GenericElement{}).displayName(),
              QStringLiteral("Generic Element"));
}

TEST(ReportDocument, EqualityComparesEveryFieldIncludingIds)
{
    ReportDocument a;
    ReportDocument b = a;
    EXPECT_EQ(a, b);
    // Two default detail bands carry different ids.
    ReportDocument fresh;
    EXPECT_NE(a, fresh);
    const QUuid id = newId();
    EXPECT_EQ(id.version(), QUuid::Random);
    EXPECT_EQ(id.variant(), QUuid::DCE);
    EXPECT_EQ(idText(id), idText(id).toUpper());
    EXPECT_FALSE(idText(id).startsWith(QLatin1Char('{')));

    ReportElement lower = element(ElementKind::Rectangle{});
    lower.foreColor = ElementColor{QStringLiteral("#ff0000")};
    ReportElement upper = lower;
    upper.foreColor = ElementColor{QStringLiteral("#FF0000")};
    EXPECT_NE(lower, upper);

    // Nested children and table cells compare by content, not by shared storage.
    ReportElement frame = element(ElementKind::Frame{{lower}});
    ReportElement frameCopy = frame;
    EXPECT_EQ(frame, frameCopy);
    frameCopy.kind.children()->first().x = 5;
    EXPECT_NE(frame, frameCopy);
    EXPECT_EQ(frame.kind.children()->first().x, 0) << "a copy must not change its source";

    ReportTableColumn column{newId(), 90, 20, lower, {}, 20, {}, {}, 0, {}, {}};
    ReportTableColumn other = column;
    EXPECT_EQ(column, other);
    other.columnHeaderElement.modify([](ReportElement &e) { e.width = 7; });
    EXPECT_NE(column, other);
    EXPECT_EQ(column.columnHeaderElement->width, 100);
    other.columnHeaderElement = column.columnHeaderElement;
    EXPECT_EQ(column, other);
}

TEST(Identifiers, NewIdsAreRandomUuidsThatNoThreadRepeats)
{
    // Each thread draws from a generator of its own: threads started together must not share a
    // sequence, and no identifier may repeat within one.
    constexpr int threads = 4;
    constexpr int perThread = 5000;
    std::vector<std::vector<QUuid>> drawn(threads);
    {
        std::vector<std::thread> workers;
        for (std::vector<QUuid> &ids : drawn)
            workers.emplace_back([&ids] {
                for (int i = 0; i < perThread; ++i)
                    ids.push_back(newId());
            });
        for (std::thread &worker : workers)
            worker.join();
    }
    drawn.push_back({});
    for (int i = 0; i < perThread; ++i)
        drawn.back().push_back(newId());
    QSet<QUuid> seen;
    for (const std::vector<QUuid> &ids : drawn) {
        for (const QUuid &id : ids) {
            ASSERT_EQ(id.version(), QUuid::Random);
            ASSERT_EQ(id.variant(), QUuid::DCE);
            ASSERT_FALSE(seen.contains(id)) << qPrintable(idText(id));
            seen.insert(id);
        }
    }
    EXPECT_EQ(seen.size(), (threads + 1) * perThread);
    // The text form: upper case, without braces, 36 characters.
    const QString text = idText(drawn.front().front());
    EXPECT_EQ(text.size(), 36);
    EXPECT_EQ(text, text.toUpper());
    EXPECT_EQ(QUuid::fromString(text), drawn.front().front());
}

TEST(ReportDocument, BandLooksOnlyAtStandardBands)
{
    ReportDocument doc;
    ReportBand title;
    title.type = BandType::title;
    title.isPresent = false;
    title.height = 33;
    doc.bands = {title};
    ASSERT_TRUE(doc.band(BandType::title).has_value());
    EXPECT_EQ(doc.band(BandType::title)->height, 33);
    EXPECT_FALSE(doc.band(BandType::detail).has_value());
    EXPECT_FALSE(doc.band(BandType::summary).has_value());
}

TEST(ReportDocument, AllSubreportExpressionsWalksContainersButNotTableCells)
{
    ReportDocument doc;
    EXPECT_TRUE(doc.allSubreportExpressions().isEmpty());

    ElementKind::List list;
    list.children = {element(ElementKind::Frame{{subreport(QStringLiteral("\"deep.jasper\""))}})};
    ReportGroup group;
    group.footerElements = {element(list)};
    doc.groups = {group};
    EXPECT_EQ(doc.allSubreportExpressions(), QStringList{QStringLiteral("\"deep.jasper\"")});

    ElementKind::Table table;
    table.columns = {ReportTableColumn{
        newId(), 50, 20, subreport(QStringLiteral("\"cell\"")), {}, 20, {}, {}, 20, {}, {}}};
    ReportBand title;
    title.type = BandType::title;
    title.isPresent = false;
    title.elements = {subreport(QStringLiteral("a")), element(table),
                      subreport(QStringLiteral("a"))};
    doc.bands = {title};
    doc.detailBands.first().elements = {subreport(QStringLiteral("b"))};
    group.headerElements = {subreport(QStringLiteral("c"))};
    doc.groups = {group};
    EXPECT_EQ(doc.allSubreportExpressions(),
              (QStringList{QStringLiteral("a"), QStringLiteral("a"), QStringLiteral("b"),
                           QStringLiteral("c"), QStringLiteral("\"deep.jasper\"")}));
}

TEST(ReportParameter, LiteralDefaultDisplayValue)
{
    const struct {
        std::optional<QString> expression;
        std::optional<QString> expected;
    } cases[] = {
        {std::nullopt, std::nullopt},
        {QStringLiteral(" \t "), std::nullopt},
        {QStringLiteral("  \"hello world\"\t"), QStringLiteral("hello world")},
        {QStringLiteral("\"\""), QString()},
        {QStringLiteral("\""), std::nullopt},
        {QStringLiteral("\"open"), std::nullopt},
        {QStringLiteral("\"a\" + \"b\""), QStringLiteral("a\" + \"b")},
        {QStringLiteral("\"a\\nb\""), QStringLiteral("a\\nb")},
        {QStringLiteral("true"), QStringLiteral("true")},
        {QStringLiteral("false"), QStringLiteral("false")},
        {QStringLiteral("TRUE"), std::nullopt},
        {QStringLiteral("Boolean.TRUE"), std::nullopt},
        {QStringLiteral(" 42 "), QStringLiteral("42")},
        {QStringLiteral("-12.5"), QStringLiteral("-12.5")},
        {QStringLiteral("12."), std::nullopt},
        {QStringLiteral(".5"), std::nullopt},
        {QStringLiteral("+3"), std::nullopt},
        {QStringLiteral("1e5"), std::nullopt},
        {QStringLiteral("5L"), std::nullopt},
        {QStringLiteral("new Integer(5)"), std::nullopt},
        {QStringLiteral("\n42"), std::nullopt}, // line breaks are not trimmed
    };
    for (const auto &c : cases) {
        ReportParameter p;
        p.defaultValueExpression = c.expression;
        EXPECT_EQ(p.literalDefaultDisplayValue(), c.expected)
            << c.expression.value_or(QStringLiteral("<none>")).toStdString();
    }
    ReportParameter emptyQuoted;
    emptyQuoted.defaultValueExpression = QStringLiteral("\"\"");
    ASSERT_TRUE(emptyQuoted.literalDefaultDisplayValue().has_value());
}

TEST(ElementList, CopiesShareEachValueUntilOneSideWritesIt)
{
    ElementList original;
    for (int i = 0; i < 4; ++i)
        original.append(element(ElementKind::Rectangle{}));
    const auto shared = [](const ElementList &a, const ElementList &b, qsizetype i) {
        return &a.at(i) == &b.at(i);
    };

    // Writing one place copies that value only; the source keeps its own.
    ElementList copy = original;
    copy[1].x = 7;
    copy.last().y = 3;
    EXPECT_EQ(original.at(1).x, 0);
    EXPECT_EQ(original.at(3).y, 0);
    EXPECT_TRUE(shared(copy, original, 0));
    EXPECT_TRUE(shared(copy, original, 2));
    EXPECT_FALSE(shared(copy, original, 1));
    EXPECT_NE(copy, original);

    // Reordering, removing and taking move places, not values.
    ElementList reordered = original;
    reordered.move(0, 3);
    reordered.swapItemsAt(0, 1);
    EXPECT_EQ(&reordered.at(3), &original.at(0));
    const ReportElement taken = reordered.takeAt(0);
    EXPECT_EQ(taken, original.at(2));
    EXPECT_EQ(&reordered.at(0), &original.at(1));
    EXPECT_EQ(reordered.size(), 3);
    EXPECT_EQ(original.size(), 4);

    // Equal values in separate boxes compare equal, and so do the QList forms.
    const QList<ReportElement> values = original;
    const ElementList rebuilt = values;
    EXPECT_FALSE(shared(rebuilt, original, 0));
    EXPECT_EQ(rebuilt, original);
    EXPECT_EQ(original, values);
    EXPECT_EQ(values, original);

    // Writing through an iterator reaches only this list.
    ElementList iterated = original;
    for (ReportElement &e : iterated)
        e.width = 1;
    EXPECT_EQ(original.at(0).width, 100);
    EXPECT_EQ(iterated.value(3).width, 1);
    EXPECT_EQ(iterated.value(9).width, 100) << "a place outside gives the default";
}

// A value held apart from its list (as the canvas holds an element it shows) shares the list's
// box, and keeps the value it was given when the list's place changes.
TEST(ElementList, ASharedValueKeepsItsValueWhileTheListMovesOn)
{
    ElementList list;
    list.append(element(ElementKind::Rectangle{}));
    const ElementList::Shared held = list.shared(0);
    EXPECT_EQ(&*held, &list.at(0)) << "no copy while nothing changes";
    EXPECT_TRUE(held.isSameBox(list.shared(0)));

    list[0].x = 5;
    EXPECT_EQ(held->x, 0);
    EXPECT_EQ(list.at(0).x, 5);
    EXPECT_FALSE(held.isSameBox(list.shared(0)));

    const ElementList::Shared loose(list.at(0));
    EXPECT_EQ(*loose, list.at(0));
    EXPECT_FALSE(loose.isSameBox(list.shared(0))) << "a value of no list has a box of its own";
}
