#include "StoreTestSupport.h"

using namespace storetest;

namespace {

class DocumentStoreStyles : public StoreTest {};

ReportStyle style(const QString &name)
{
    ReportStyle s;
    s.name = name;
    return s;
}

ReportElement named(const QString &styleName, ReportElement e = textField())
{
    e.styleName = styleName;
    return e;
}

} // namespace

TEST_F(DocumentStoreStyles, AddedStyleDefaults)
{
    store.addStyle();
    store.addStyle();
    store.addStyle();
    const ReportStyle &added = store.document().styles[2];
    EXPECT_EQ(added.name, QStringLiteral("Style3"));
    EXPECT_EQ(added.fontName, QStringLiteral("SansSerif"));
    EXPECT_EQ(added.fontSize, 10);
    EXPECT_EQ(added.penWidth, 1);
    EXPECT_FALSE(added.foreColor);
}

TEST_F(DocumentStoreStyles, ApplyingCopiesColoursOnlyWhenTheStyleHasThem)
{
    ReportElement e = textField();
    e.foreColor = ElementColor{QStringLiteral("#FF0000")};
    e.verticalAlignment = VerticalTextAlignment::bottom;
    place({e});

    ReportStyle plain = style(QStringLiteral("Plain"));
    plain.isBold = true;
    plain.fontSize = 12;
    plain.penWidth = 2;
    store.applyStyle(plain, e.id);
    ReportElement now = *store.element(e.id);
    EXPECT_EQ(now.styleName, QStringLiteral("Plain"));
    EXPECT_EQ(now.foreColor, ElementColor{QStringLiteral("#FF0000")});
    EXPECT_TRUE(now.isBold);
    EXPECT_EQ(now.fontSize, 12);
    EXPECT_EQ(now.penWidth, 2);
    EXPECT_EQ(now.verticalAlignment, VerticalTextAlignment::bottom);

    ReportStyle blue = style(QStringLiteral("Blue"));
    blue.foreColor = ElementColor{QStringLiteral("#0000FF")};
    store.applyStyle(blue, e.id);
    EXPECT_EQ(store.element(e.id)->foreColor, ElementColor{QStringLiteral("#0000FF")});
    EXPECT_FALSE(store.element(e.id)->isBold);

    store.applyStyle(plain, e.id);
    store.clearStyle(e.id);
    now = *store.element(e.id);
    EXPECT_EQ(now.styleName, std::nullopt);
    EXPECT_TRUE(now.isBold) << "clearing keeps the copied properties";
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(store.undoStack().size(), 1) << "edits of one element within the window merge";
}

TEST_F(DocumentStoreStyles, ReapplyReachesFramesAndListsButNotTableCells)
{
    const ReportElement inFrame = named(QStringLiteral("Heading"));
    const ReportElement inList = named(QStringLiteral("Heading"));
    const ReportElement top = named(QStringLiteral("Heading"));
    const ReportElement lower = named(QStringLiteral("heading"));
    const ReportElement inCell = named(QStringLiteral("Heading"));
    ReportTableColumn column;
    column.detailCellElement = inCell;
    ElementKind::Table table;
    table.columns = {column};
    place({top, lower, element(table), list({frame({inFrame}), inList})});
    store.performAddElement(named(QStringLiteral("Heading")),
                            BandTarget::standard(BandType::summary));

    ReportStyle heading = style(QStringLiteral("Heading"));
    heading.fontSize = 14;
    store.reapplyStyle(heading);
    for (const ReportElement &e : {top, inFrame, inList})
        EXPECT_EQ(store.element(e.id)->fontSize, 14);
    EXPECT_EQ(store.element(lower.id)->fontSize, 10);
    EXPECT_EQ(store.elements(BandTarget::standard(BandType::summary)).first().fontSize, 14);
    const ReportElement tableNow = store.elements(detail())[2];
    EXPECT_EQ(tableNow.kind.as<ElementKind::Table>()->columns[0].detailCellElement->fontSize, 10);
    EXPECT_EQ(store.undoStack().size(), 1);

    EXPECT_EQ(store.elementCountReferencingStyle(QStringLiteral("Heading")), 4);
    EXPECT_EQ(store.elementCountReferencingStyle(QStringLiteral("None")), 0);

    store.setIsDirty(false);
    store.reapplyStyle(style(QStringLiteral("Unused")));
    EXPECT_EQ(store.undoStack().size(), 2);
    EXPECT_TRUE(store.isDirty());
}

TEST_F(DocumentStoreStyles, CountsElementsByTheTextTheyUse)
{
    const QString ref = QStringLiteral("$F{amount}");
    ReportElement concatenated =
        element(ElementKind::TextField{QStringLiteral("\"Total: \" + $F{amount}")});
    ReportElement guarded = element(ElementKind::StaticText{QStringLiteral("x")});
    guarded.printWhenExpression = QStringLiteral("$F{amount} != null");
    ReportElement both = element(ElementKind::TextField{ref});
    both.printWhenExpression = ref;
    const ReportElement mentioned = element(ElementKind::StaticText{ref});
    const ReportElement otherCase = element(ElementKind::TextField{QStringLiteral("$F{Amount}")});
    place({concatenated, frame({guarded}), both, mentioned, otherCase});

    EXPECT_EQ(store.elementCountReferencing(ref), 3);
}
