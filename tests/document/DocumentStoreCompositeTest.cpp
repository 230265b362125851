#include "StoreTestSupport.h"

using namespace storetest;

namespace {

class DocumentStoreComposite : public StoreTest {
protected:
    const BandTarget pageFooter = BandTarget::standard(BandType::pageFooter);
    const BandTarget columnHeader = BandTarget::standard(BandType::columnHeader);
};

ReportField field(const QString &name, std::optional<QString> description = std::nullopt)
{
    ReportField f;
    f.name = name;
    f.fieldDescription = std::move(description);
    return f;
}

QList<ReportField> fields(int count)
{
    QList<ReportField> out;
    for (int i = 0; i < count; ++i)
        out.append(field(QStringLiteral("f") + QString::number(i)));
    return out;
}

QString expressionOf(const ReportElement &e)
{
    const auto *text = e.kind.as<ElementKind::TextField>();
    return text ? text->expression : QStringLiteral("<not a text field>");
}

} // namespace

TEST_F(DocumentStoreComposite, InsertsThePresets)
{
    const QString pageNumber = QStringLiteral(R"("" + $V{PAGE_NUMBER})");
    struct Expected {
        QString expression;
        double x;
        double width;
        QString evaluationTime;
    };
    const struct {
        CompositeElement preset;
        QList<Expected> elements;
    } cases[] = {
        {CompositeElement::pageNumber, {{pageNumber, 10, 60, QStringLiteral("Now")}}},
        {CompositeElement::totalPages, {{pageNumber, 10, 60, QStringLiteral("Report")}}},
        {CompositeElement::pageXofY,
         {{QStringLiteral(R"("Page " + $V{PAGE_NUMBER} + " of ")"), 10, 80, QStringLiteral("Now")},
          {pageNumber, 90, 40, QStringLiteral("Report")}}},
        {CompositeElement::currentDate,
         {{QStringLiteral(
               R"(new java.text.SimpleDateFormat("MM/dd/yyyy").format(new java.util.Date()))"),
           10, 100, QStringLiteral("Now")}}},
        {CompositeElement::time,
         {{QStringLiteral(
               R"(new java.text.SimpleDateFormat("HH:mm:ss").format(new java.util.Date()))"),
           10, 80, QStringLiteral("Now")}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(rawValue(c.preset).toStdString());
        DocumentStore fresh;
        fresh.insertComposite(c.preset, pageFooter);
        const QList<ReportElement> added = fresh.elements(pageFooter);
        ASSERT_EQ(added.size(), c.elements.size());
        for (qsizetype i = 0; i < added.size(); ++i) {
            const ReportElement &e = added[i];
            EXPECT_EQ(expressionOf(e), c.elements[i].expression);
            EXPECT_EQ(QRectF(e.x, e.y, e.width, e.height),
                      QRectF(c.elements[i].x, 10, c.elements[i].width, 20));
            EXPECT_EQ(e.evaluationTime, c.elements[i].evaluationTime);
            EXPECT_EQ(e.textAlignment, TextAlignment::left);
            EXPECT_FALSE(e.isBold);
        }
        EXPECT_EQ(fresh.selectedElementIDs(), QSet<QUuid>{added.last().id});
        // One undo step per element: undo takes back the last one only.
        fresh.undo();
        EXPECT_EQ(fresh.elements(pageFooter), added.first(added.size() - 1));
    }
}

TEST_F(DocumentStoreComposite, ColumnarWidthsShareTheColumnWithAMinimum)
{
    // The default report's column is 535 wide.
    const struct {
        int fields;
        double width;
        double lastX;
    } cases[] = {
        {1, 535, 0},
        {3, 527.0 / 3, 2 * (527.0 / 3 + 4)},
        {30, 20, 696},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.fields);
        DocumentStore fresh;
        const BandTarget band = BandTarget::detailBand(fresh.document().detailBands.first().id);
        fresh.generateColumnarLayout(fields(c.fields), band, false, std::nullopt);
        const QList<ReportElement> labels = fresh.elements(columnHeader);
        const QList<ReportElement> values = fresh.elements(band);
        ASSERT_EQ(labels.size(), c.fields);
        ASSERT_EQ(values.size(), c.fields);
        for (const QList<ReportElement> &row : {labels, values}) {
            EXPECT_DOUBLE_EQ(row.first().x, 0);
            EXPECT_DOUBLE_EQ(row.last().x, c.lastX);
            EXPECT_DOUBLE_EQ(row.last().width, c.width);
            EXPECT_EQ(row.last().height, 20);
        }
        EXPECT_EQ(fresh.undoStack().size(), 1);
    }
}

TEST_F(DocumentStoreComposite, ColumnarLabelsAndValues)
{
    store.setBandPresent(BandType::columnHeader, false);
    store.setIsDirty(false);
    const ReportElement existing = textField();
    place({existing});

    store.generateColumnarLayout(
        {field(QStringLiteral("cust_name"), QStringLiteral("Customer name")),
         field(QStringLiteral("total"), QString())},
        detail(), true, std::nullopt);
    const QList<ReportElement> labels = store.elements(columnHeader);
    ASSERT_EQ(labels.size(), 2);
    EXPECT_EQ(labels[0].kind,
              ElementKind(ElementKind::StaticText{QStringLiteral("Customer name")}));
    EXPECT_EQ(labels[1].kind, ElementKind(ElementKind::StaticText{QStringLiteral("total")}));
    EXPECT_TRUE(labels[0].isBold);
    const QList<ReportElement> values = store.elements(detail());
    ASSERT_EQ(values.size(), 3);
    EXPECT_EQ(values[0], existing);
    EXPECT_EQ(expressionOf(values[1]), QStringLiteral("$F{cust_name}"));
    EXPECT_FALSE(values[1].isBold);
    EXPECT_TRUE(values[1].isBlankWhenNull);
    EXPECT_FALSE(labels[0].isBlankWhenNull);
    EXPECT_FALSE(store.document().band(BandType::columnHeader)->isPresent);
    EXPECT_TRUE(store.isDirty());

    store.undo();
    EXPECT_TRUE(store.elements(columnHeader).isEmpty());
    EXPECT_EQ(store.elements(detail()), QList<ReportElement>{existing});

    store.setIsDirty(false);
    const qsizetype steps = store.undoStack().size();
    store.generateColumnarLayout({}, detail(), false, std::nullopt);
    EXPECT_EQ(store.undoStack().size(), steps);
    EXPECT_FALSE(store.isDirty());
}

TEST_F(DocumentStoreComposite, ColumnarLayoutWithAStyle)
{
    ReportStyle style;
    style.name = QStringLiteral("Body");
    style.fontSize = 14;
    style.foreColor = ElementColor{QStringLiteral("#0000FF")};
    store.generateColumnarLayout({field(QStringLiteral("a"))}, detail(), false, style);
    for (const ReportElement &e :
         {store.elements(columnHeader).first(), store.elements(detail()).first()}) {
        EXPECT_EQ(e.styleName, QStringLiteral("Body"));
        EXPECT_FALSE(e.isBold) << "the style's bold replaces the label's";
        EXPECT_EQ(e.fontSize, 14);
        EXPECT_EQ(e.foreColor, style.foreColor);
    }
}

TEST_F(DocumentStoreComposite, SmartInsertionGoesIntoTheOneSelectedContainer)
{
    const ReportElement container = frame({});
    const ReportElement field = textField();
    place({container, field});

    store.setSelectedElementIDs({container.id});
    const ReportElement intoFrame = textField(3, 4);
    store.addElementSmart(intoFrame);
    EXPECT_EQ(*store.element(container.id)->kind.children(), QList<ReportElement>{intoFrame});
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{intoFrame.id});

    for (const QSet<QUuid> &selection :
         {QSet<QUuid>{container.id, field.id}, QSet<QUuid>{field.id}}) {
        store.setSelectedElementIDs(selection);
        const ReportElement added = textField(3, 4);
        store.addElementSmart(added);
        EXPECT_EQ(store.elements(detail()).last(), added);
        EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{added.id});
    }
    EXPECT_EQ(store.element(container.id)->kind.children()->size(), 1);
    EXPECT_EQ(store.undoStack().size(), 3);
}
