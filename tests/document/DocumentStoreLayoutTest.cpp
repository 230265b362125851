#include "StoreTestSupport.h"
#include "model/JrxmlCodec.h"

using namespace storetest;

namespace {

using Edge = DocumentStore::AlignEdge;
using Axis = DocumentStore::DistributeAxis;

class DocumentStoreLayout : public StoreTest {
protected:
    QPointF at(const ReportElement &e) const
    {
        const std::optional<ReportElement> now = store.element(e.id);
        return now ? QPointF(now->x, now->y) : QPointF(-1, -1);
    }
    const BandTarget columnHeader = BandTarget::standard(BandType::columnHeader);
};

QString expressionOf(const ReportElement &e)
{
    const auto *text = e.kind.as<ElementKind::TextField>();
    return text ? text->expression : u"<not a text field>"_s;
}

} // namespace

TEST_F(DocumentStoreLayout, AlignsOnTheCommonBoundingBoxOrTheActiveBand)
{
    // Spanning x 10..140 and y 5..40; the default detail band is 535 by 40.
    const ReportElement a = textField(10, 5, 50, 20);
    const ReportElement b = textField(40, 30, 100, 10);
    placeSelected({a, b});
    const struct {
        Edge edge;
        QPointF a, b;             // on the bounding box
        QPointF aInBand, bInBand; // in the active band
    } cases[] = {
        {Edge::right, {90, 5}, {40, 30}, {485, 5}, {435, 30}},
        {Edge::left, {10, 5}, {10, 30}, {0, 5}, {0, 30}},
        {Edge::horizontalCenter, {50, 5}, {25, 30}, {242.5, 5}, {217.5, 30}},
        {Edge::bottom, {10, 20}, {40, 30}, {10, 20}, {40, 30}},
        {Edge::top, {10, 5}, {40, 5}, {10, 0}, {40, 0}},
        {Edge::verticalCenter, {10, 12.5}, {40, 17.5}, {10, 10}, {40, 15}},
    };
    const ReportDocument before = store.document();
    // Two are needed to align and three to distribute, found in the report; fields to lay out.
    store.distributeSelected(Axis::vertical);
    store.setSelectedElementIDs({a.id, newId()});
    store.alignSelected(Edge::left);
    store.setSelectedElementIDs({});
    store.alignSelectedToContainer(Edge::right);
    store.generateColumnarLayout({}, detail(), false, std::nullopt);
    EXPECT_TRUE(store.undoStack().isEmpty());
    store.setSelectedElementIDs({a.id, b.id});
    for (const auto &c : cases) {
        SCOPED_TRACE(int(c.edge));
        store.alignSelected(c.edge);
        EXPECT_EQ(at(a), c.a);
        EXPECT_EQ(at(b), c.b);
        EXPECT_EQ(store.element(b.id)->width, 100);
        store.undo();
        EXPECT_EQ(store.document(), before) << "one undo step";
        store.alignSelectedToContainer(c.edge);
        EXPECT_EQ(at(a), c.aInBand);
        EXPECT_EQ(at(b), c.bInBand);
        store.undo();
    }
}

TEST_F(DocumentStoreLayout, DistributesWithEqualGaps)
{
    const ReportElement left = textField(0, 0, 10, 10);
    const ReportElement right = textField(100, 100, 10, 10);
    const ReportElement middle = textField(30, 30, 20, 20);
    placeSelected({left, right, middle});
    // Sorted 0, 30, 100: total 40, span 110, gap 35.
    store.distributeSelected(Axis::horizontal);
    store.distributeSelected(Axis::vertical);
    EXPECT_EQ(at(left), QPointF(0, 0));
    EXPECT_EQ(at(right), QPointF(100, 100));
    EXPECT_EQ(at(middle), QPointF(45, 45));
    store.undo();
    EXPECT_EQ(at(middle), QPointF(45, 30));

    // Wider than their span: a negative gap (150 over 110 gives -20) overlaps them evenly.
    const ReportElement inner = textField(20, 0, 50);
    placeSelected({textField(0, 200, 50), textField(60, 200, 50), inner});
    store.distributeSelected(Axis::horizontal);
    EXPECT_EQ(at(inner).x(), 30);
}

TEST_F(DocumentStoreLayout, EnclosesTopLevelElementsInAFrameOnTopOfTheActiveBand)
{
    const ReportElement nested = textField(5, 5);
    const ReportElement container = frame({nested}, 300, 0);
    const ReportElement a = textField(20, 10, 50, 20);
    const ReportElement b = textField(100, 30, 40, 10);
    place({container, a});
    // b comes from another band; the frame lands in the active band all the same.
    store.performAddElement(b, BandTarget::standard(BandType::title));

    // A nested element is not enclosed: nothing happens.
    const ReportDocument before = store.document();
    store.setSelectedElementIDs({nested.id});
    store.encloseSelectedInFrame();
    EXPECT_EQ(store.document(), before);
    EXPECT_TRUE(store.undoStack().isEmpty());

    store.setSelectedElementIDs({a.id, b.id, nested.id});
    store.encloseSelectedInFrame();
    const QList<ReportElement> band = store.elements(detail());
    ASSERT_EQ(band.size(), 2);
    const ReportElement frame = band[1];
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{frame.id});
    EXPECT_EQ(QRectF(frame.x, frame.y, frame.width, frame.height), QRectF(20, 10, 120, 30));
    EXPECT_TRUE(store.elements(BandTarget::standard(BandType::title)).isEmpty());
    ASSERT_EQ(frame.kind.children()->size(), 2);
    for (const ReportElement &child : *frame.kind.children())
        EXPECT_EQ(QPointF(child.x, child.y), child.id == a.id ? QPointF(0, 0) : QPointF(80, 20));
    // The nested element stays in its container and only there, so ids stay unique.
    EXPECT_EQ(*store.element(container.id)->kind.children(), QList<ReportElement>{nested});

    store.undo();
    EXPECT_EQ(store.document(), before);
}

TEST_F(DocumentStoreLayout, InsertsThePresets)
{
    const QString pageNumber = uR"("" + $V{PAGE_NUMBER})"_s;
    const QString now = u"Now"_s, report = u"Report"_s;
    struct Expected {
        QString expression;
        QRectF geometry;
        QString evaluationTime;
    };
    const struct {
        CompositeElement preset;
        QList<Expected> elements;
    } cases[] = {
        {CompositeElement::pageNumber, {{pageNumber, {10, 10, 60, 20}, now}}},
        {CompositeElement::totalPages, {{pageNumber, {10, 10, 60, 20}, report}}},
        {CompositeElement::pageXofY,
         {{uR"("Page " + $V{PAGE_NUMBER} + " of ")"_s, {10, 10, 80, 20}, now},
          {pageNumber, {90, 10, 40, 20}, report}}},
        {CompositeElement::currentDate,
         {{uR"(new java.text.SimpleDateFormat("MM/dd/yyyy").format(new java.util.Date()))"_s,
           {10, 10, 100, 20},
           now}}},
        {CompositeElement::time,
         {{uR"(new java.text.SimpleDateFormat("HH:mm:ss").format(new java.util.Date()))"_s,
           {10, 10, 80, 20},
           now}}},
    };
    const BandTarget pageFooter = BandTarget::standard(BandType::pageFooter);
    for (const auto &c : cases) {
        SCOPED_TRACE(rawValue(c.preset).toStdString());
        DocumentStore fresh;
        fresh.insertComposite(c.preset, pageFooter);
        const QList<ReportElement> added = fresh.elements(pageFooter);
        ASSERT_EQ(added.size(), c.elements.size());
        for (qsizetype i = 0; i < added.size(); ++i) {
            const ReportElement &e = added[i];
            EXPECT_EQ(expressionOf(e), c.elements[i].expression);
            EXPECT_EQ(QRectF(e.x, e.y, e.width, e.height), c.elements[i].geometry);
            EXPECT_EQ(e.evaluationTime, c.elements[i].evaluationTime);
        }
        // One undo step per element: undo takes back the last one only.
        fresh.undo();
        EXPECT_EQ(fresh.elements(pageFooter), added.first(added.size() - 1));
    }
}

TEST_F(DocumentStoreLayout, ColumnarWidthsShareTheColumnAndStayWithinIt)
{
    // The default report's column is 535 wide; the gap is 4; widths are whole points.
    const struct {
        int fields;
        double columnWidth;
        double width;
        double lastX;
    } cases[] = {
        {1, 535, 535, 0},
        {3, 535, 175, 2 * 179},
        {30, 535, 13, 29 * 17},
        {14, 270, 15, 13 * 19},
        // Too narrow for the gaps: the columns touch.
        {100, 270, 2, 99 * 2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.fields);
        DocumentStore fresh;
        editDocument(fresh, [&](ReportDocument &d) { d.columnWidth = c.columnWidth; });
        fresh.generateColumnarLayout(QList<ReportField>(c.fields), fresh.activeBandTarget(), false,
                                     std::nullopt);
        const QList<ReportElement> labels = fresh.elements(columnHeader);
        const QList<ReportElement> values = fresh.elements(fresh.activeBandTarget());
        ASSERT_EQ(labels.size(), c.fields);
        ASSERT_EQ(values.size(), c.fields);
        for (const QList<ReportElement> &row : {labels, values}) {
            EXPECT_DOUBLE_EQ(row.first().x, 0);
            EXPECT_DOUBLE_EQ(row.last().x, c.lastX);
            EXPECT_DOUBLE_EQ(row.last().width, c.width);
            EXPECT_LE(row.last().x + row.last().width, c.columnWidth) << "within the column";
        }
        EXPECT_EQ(fresh.undoStack().size(), 1);
    }
}

// A report without a printing column header gets one, shown, in the same step; the columns go
// below what the bands already hold.
TEST_F(DocumentStoreLayout, ColumnsAddTheColumnHeaderTheyNeedBelowWhatTheBandsHold)
{
    for (const bool lacksTheBand : {true, false}) {
        SCOPED_TRACE(lacksTheBand);
        DocumentStore fresh;
        fresh.setClock([] { return qint64(0); });
        editDocument(fresh, [&](ReportDocument &d) {
            if (lacksTheBand)
                d.bands.removeIf(
                    [](const ReportBand &b) { return b.type == BandType::columnHeader; });
            else
                for (ReportBand &band : d.bands)
                    band.isPresent = band.isPresent && band.type != BandType::columnHeader;
        });
        const BandTarget values = fresh.activeBandTarget();
        fresh.performAddElement(textField(0, 0, 100, 30), values);
        const ReportDocument before = fresh.document();
        fresh.generateColumnarLayout({{.name = u"a"_s}, {.name = u"b"_s}}, values, false,
                                     std::nullopt);
        const std::optional<ReportBand> header = fresh.document().band(BandType::columnHeader);
        ASSERT_TRUE(header);
        EXPECT_TRUE(header->isPresent);
        EXPECT_EQ(header->elements.size(), 2);
        EXPECT_EQ(header->height, 20);
        EXPECT_EQ(fresh.elements(values).last().y, 30) << "below the detail band's element";
        EXPECT_EQ(fresh.height(values), 50);
        const QByteArray saved = JrxmlCodec::serialize(fresh.document());
        EXPECT_TRUE(saved.contains("<columnHeader>")) << saved.toStdString();
        EXPECT_TRUE(saved.contains("<![CDATA[a]]>"));
        // The order of the standard bands stays the file's.
        QList<BandType> order;
        for (const ReportBand &band : fresh.document().bands)
            order.append(band.type);
        QList<BandType> expected = bandDisplayOrder();
        expected.removeAll(BandType::detail);
        EXPECT_EQ(order, expected);
        fresh.undo();
        EXPECT_EQ(fresh.document(), before) << "one undo step, the band with it";
    }
}

TEST_F(DocumentStoreLayout, ColumnarLabelsAndValues)
{
    store.generateColumnarLayout({{.name = u"name"_s, .fieldDescription = u"Customer name"_s},
                                  {.name = u"total"_s, .fieldDescription = QString()}},
                                 detail(), true, std::nullopt);
    ConditionalStyleRule italicRows{.conditionExpression = u"$V{REPORT_COUNT} % 2 == 0"_s};
    italicRows.isItalic = true;
    store.generateColumnarLayout(
        {{.name = u"a"_s}}, detail(), false,
        ReportStyle{.name = u"Body"_s, .fontSize = 14, .conditionalStyles = {italicRows}});
    const QList<ReportElement> labels = store.elements(columnHeader);
    const QList<ReportElement> values = store.elements(detail());
    ASSERT_EQ(labels.size(), 3);
    ASSERT_EQ(values.size(), 3);
    EXPECT_EQ(labels[0].kind, ElementKind(ElementKind::StaticText{u"Customer name"_s}));
    EXPECT_EQ(labels[1].kind, ElementKind(ElementKind::StaticText{u"total"_s}))
        << "an empty description counts as none";
    EXPECT_EQ(expressionOf(values[1]), u"$F{total}"_s);
    EXPECT_TRUE(labels[0].isBold && !values[0].isBold);
    EXPECT_TRUE(values[0].isBlankWhenNull && !labels[0].isBlankWhenNull);
    // A style is named and copied into both, its bold replacing the label's.
    EXPECT_TRUE(labels[2].styleName == u"Body"_s && labels[2].fontSize == 14 && !labels[2].isBold);
    EXPECT_TRUE(values[2].styleName == u"Body"_s && values[2].fontSize == 14);
    // What its condition sets is left to it: neither sets italic of its own.
    for (const ReportElement &styled : {labels[2], values[2]}) {
        const QString written = JrxmlCodec::serializeElement(styled, store.document().styles);
        EXPECT_FALSE(written.contains(u"isItalic="_s)) << written.toStdString();
        EXPECT_FALSE(styled.isItalic);
    }
}
