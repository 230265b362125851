#include "edits/DataItemEdits.h"

#include "StoreTestSupport.h"
#include "edits/InspectorEdits.h"
#include "workspace/BandSettings.h"

using namespace storetest;

namespace {

// Preferences for new text fields that differ from the model's defaults.
struct Defaults : BandSettings {
    QString fontName = u"Courier"_s;
    double fontSize = 13;
    bool blankWhenNull = false;

    bool isSnapToGridEnabled() const override { return false; }
    double gridSize() const override { return 10; }
    double snapped(double v) const override { return v; }
    double snapped(double v, double) const override { return v; }
    QString defaultFontName() const override { return fontName; }
    double defaultFontSize() const override { return fontSize; }
    bool defaultBlankWhenNull() const override { return blankWhenNull; }
};

class DataItemEdits : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        amount.name = u"amount"_s;
        amount.className = u"java.math.BigDecimal"_s;
        other.name = u"other"_s;
        showTotals.name = u"showTotals"_s;
        editDocument(store, [&](ReportDocument &d) {
            d.fields = {amount, other};
            d.parameters = {showTotals};
        });
    }

    qsizetype undoSteps()
    {
        store.flushPendingUndoSnapshot();
        return store.undoStack().size();
    }

    int uses(const QString &token) const { return store.elementCountReferencing(token); }

    ReportField amount;
    ReportField other;
    ReportParameter showTotals;
};

TEST(DataItemTexts, UsageSaysElementInTheSingularForExactlyOne)
{
    EXPECT_EQ(::DataItemEdits::usageText(1, ::DataItemEdits::fieldToken(u"amount"_s)),
              u"1 element references $F{amount}"_s);
    EXPECT_EQ(::DataItemEdits::usageText(0, ::DataItemEdits::fieldToken(u"amount"_s)),
              u"0 elements reference $F{amount}"_s);
    EXPECT_EQ(::DataItemEdits::usageText(12, ::DataItemEdits::parameterToken(u"p"_s)),
              u"12 elements reference $P{p}"_s);
    EXPECT_EQ(::DataItemEdits::insertTextFieldHelp(u"amount"_s, u"Detail"_s),
              u"Insert a text field bound to $F{amount} in Detail"_s);
}

TEST_F(DataItemEdits, UsesCountTextFieldsAndPrintWhenAtAnyDepthButNotInTables)
{
    const QString token = ::DataItemEdits::fieldToken(u"amount"_s);
    EXPECT_EQ(uses(token), 0);

    ReportElement doubled = element(ElementKind::TextField{u"$F{amount} * 2"_s});
    place({doubled});
    EXPECT_EQ(uses(token), 1);
    EXPECT_EQ(uses(::DataItemEdits::fieldToken(u"other"_s)), 0);

    // Expression and print-when both naming it still count the element once.
    doubled.printWhenExpression = u"$F{amount} != null"_s;
    store.performUpdateElement(doubled.id, [&](ReportElement &e) { e = doubled; });
    EXPECT_EQ(uses(token), 1);

    // Moved into a frame inside a list, it counts the same.
    editDocument(store, [](ReportDocument &d) { d.detailBands.first().elements = {}; });
    place({list({frame({doubled})})});
    EXPECT_EQ(uses(token), 1);

    // In a table cell it does not count.
    editDocument(store, [](ReportDocument &d) { d.detailBands.first().elements = {}; });
    const ReportTableColumn column{.id = newId(), .detailCellElement = doubled};
    place({element(ElementKind::Table{.columns = {column}})});
    EXPECT_EQ(uses(token), 0);

    // A print-when expression counts on an element that is no text field.
    ReportElement box = element(ElementKind::Rectangle{});
    box.printWhenExpression = u"$P{showTotals}"_s;
    place({box, element(ElementKind::StaticText{u"$P{showTotals}"_s})});
    EXPECT_EQ(uses(::DataItemEdits::parameterToken(u"showTotals"_s)), 1)
        << "a static text's own text is no reference";
}

TEST_F(DataItemEdits, DeclarationWritesSetDirtyAndAreOneStepPerItemRun)
{
    EXPECT_TRUE(
        ::DataItemEdits::writeField(store, amount.id, [](ReportField &f) { f.name = u"total"_s; }));
    EXPECT_EQ(store.document().fields[0].name, u"total"_s);
    EXPECT_TRUE(store.isDirty());

    ::DataItemEdits::writeField(store, amount.id, [](ReportField &f) {
        f.fieldDescription = InspectorEdits::optionalText(u"The sum"_s);
    });
    ::DataItemEdits::writeField(store, amount.id, [](ReportField &f) {
        f.fieldDescription = InspectorEdits::optionalText({});
    });
    EXPECT_EQ(store.document().fields[0].fieldDescription, std::nullopt)
        << "an emptied description is no value, not an empty text";

    EXPECT_TRUE(::DataItemEdits::writeParameter(
        store, showTotals.id, [](ReportParameter &p) { p.isForPrompting = true; }));
    ::DataItemEdits::writeParameter(store, showTotals.id, [](ReportParameter &p) {
        p.defaultValueExpression = InspectorEdits::optionalText(u"Boolean.TRUE"_s);
    });
    EXPECT_TRUE(store.document().parameters[0].isForPrompting);
    EXPECT_EQ(store.document().parameters[0].defaultValueExpression, u"Boolean.TRUE"_s);
    EXPECT_EQ(store.document().fields[1], other) << "the other field is untouched";
    EXPECT_EQ(undoSteps(), 2) << "the field's writes, then the parameter's";
    store.undo();
    EXPECT_FALSE(store.document().parameters[0].isForPrompting);
    EXPECT_EQ(store.document().fields[0].name, u"total"_s);
    store.undo();
    EXPECT_EQ(store.document().fields[0].name, u"amount"_s);
}

TEST_F(DataItemEdits, AWriteReachesItsItemByIdOrNothingAfterTheListChanged)
{
    // The panel was drawn with amount first; the list is then reordered and amount removed.
    store.moveField(0, 1);
    ASSERT_EQ(store.document().fields[1].id, amount.id);
    ::DataItemEdits::writeField(store, amount.id, [](ReportField &f) { f.className = u"X"_s; });
    EXPECT_EQ(store.document().fields[1].className, u"X"_s);
    EXPECT_EQ(store.document().fields[0], other);

    store.removeField(amount.id);
    store.setIsDirty(false);
    const ReportDocument before = store.document();
    EXPECT_FALSE(
        ::DataItemEdits::writeField(store, amount.id, [](ReportField &f) { f.name = u"lost"_s; }));
    EXPECT_FALSE(::DataItemEdits::writeParameter(store, amount.id,
                                                 [](ReportParameter &p) { p.name = u"lost"_s; }));
    EXPECT_EQ(store.document(), before) << "a write for a gone field reaches no other item";
    EXPECT_FALSE(store.isDirty());
}

TEST_F(DataItemEdits, InsertAsTextFieldAddsOneElementWithThePreferencesAsOneUndoStep)
{
    Defaults defaults;
    store.setActiveBandTarget(detail());
    ASSERT_TRUE(::DataItemEdits::insertTextField(store, amount.id, defaults));
    const ElementList &placed = store.document().detailBands.first().elements;
    ASSERT_EQ(placed.size(), 1);
    const ReportElement &inserted = placed.first();
    EXPECT_EQ(inserted.kind, ElementKind{ElementKind::TextField{u"$F{amount}"_s}});
    EXPECT_EQ((QList<double>{inserted.x, inserted.y, inserted.width, inserted.height}),
              (QList<double>{10, 10, 150, 20}));
    EXPECT_EQ(inserted.fontName, u"Courier"_s);
    EXPECT_EQ(inserted.fontSize, 13);
    EXPECT_FALSE(inserted.isBlankWhenNull);
    EXPECT_EQ(inserted.evaluationTime, u"Now"_s);
    EXPECT_EQ(inserted.styleName, std::nullopt);
    EXPECT_EQ(inserted.penWidth, 1.0);
    EXPECT_FALSE(inserted.isBold || inserted.isItalic || inserted.isUnderline);
    EXPECT_EQ(inserted.paddingTop + inserted.paddingLeft + inserted.paddingBottom +
                  inserted.paddingRight,
              0);
    EXPECT_FALSE(inserted.topPen || inserted.leftPen || inserted.bottomPen || inserted.rightPen);
    EXPECT_EQ(store.selectedElementID(), inserted.id);
    EXPECT_TRUE(store.isDirty());
    EXPECT_EQ(undoSteps(), 1);

    defaults.blankWhenNull = true;
    EXPECT_TRUE(::DataItemEdits::textFieldFor(u"a"_s, defaults).isBlankWhenNull);
    EXPECT_NE(::DataItemEdits::textFieldFor(u"a"_s, defaults).id,
              ::DataItemEdits::textFieldFor(u"a"_s, defaults).id);

    store.undo();
    EXPECT_TRUE(store.document().detailBands.first().elements.isEmpty());

    store.removeField(amount.id);
    const qsizetype steps = undoSteps();
    EXPECT_FALSE(::DataItemEdits::insertTextField(store, amount.id, defaults));
    EXPECT_EQ(undoSteps(), steps) << "a gone field inserts nothing";
}

} // namespace
