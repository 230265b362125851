#include "InspectorViewFixture.h"

#include <QCheckBox>
#include <QPushButton>

using namespace storetest;

namespace {

class DataItemInspectorTest : public InspectorViewTest {
protected:
    void SetUp() override
    {
        InspectorViewTest::SetUp();
        amount.name = u"amount"_s;
        amount.className = u"java.math.BigDecimal"_s;
        amount.fieldDescription = u"The sum"_s;
        other.name = u"other"_s;
        showTotals.name = u"showTotals"_s;
        showTotals.className = u"java.lang.Boolean"_s;
        editDocument(store, [&](ReportDocument &d) {
            d.fields = {amount, other};
            d.parameters = {showTotals};
        });
        store.setActiveBandTarget(detail());
    }

    qsizetype undoSteps()
    {
        store.flushPendingUndoSnapshot();
        return store.undoStack().size();
    }
    bool showsContent() const
    {
        // A newly built inspector is shown once the event loop runs.
        QApplication::processEvents();
        const QWidget *name = find(u"inspector.dataItem.name"_s);
        return name && name->isVisible();
    }
    const ReportField &field(qsizetype index) const { return store.document().fields[index]; }
    const ReportParameter &parameter() const { return store.document().parameters[0]; }

    ReportField amount;
    ReportField other;
    ReportParameter showTotals;
};

TEST_F(DataItemInspectorTest, AFieldIsShownAndEditedAsOneUndoStep)
{
    store.setSelectedDataItem(InspectorDataSelection::field(amount.id));
    ASSERT_EQ(view->shownKind(), InspectorKind::dataItem);
    EXPECT_EQ(text(u"inspector.dataItem.title"_s), u"Field"_s);
    EXPECT_EQ(find<QLineEdit>(u"inspector.dataItem.name"_s)->text(), u"amount"_s);
    EXPECT_EQ(find<QLineEdit>(u"inspector.dataItem.class"_s)->text(), u"java.math.BigDecimal"_s);
    EXPECT_EQ(find<QLineEdit>(u"inspector.dataItem.description"_s)->text(), u"The sum"_s);
    EXPECT_EQ(text(u"inspector.dataItem.usage"_s), u"0 elements reference $F{amount}"_s);
    EXPECT_EQ(find<QPushButton>(u"inspector.dataItem.insert"_s)->toolTip(),
              u"Insert a text field bound to $F{amount} in Detail"_s);

    place({element(ElementKind::TextField{u"$F{amount} * 2"_s})});
    store.setDocument(store.document()); // publishes the change, as any edit does
    EXPECT_EQ(text(u"inspector.dataItem.usage"_s), u"1 element references $F{amount}"_s);

    type(find<QLineEdit>(u"inspector.dataItem.name"_s), u"total"_s);
    EXPECT_EQ(field(0).name, u"total"_s);
    EXPECT_EQ(text(u"inspector.dataItem.usage"_s), u"0 elements reference $F{total}"_s)
        << "the count follows the name as stored; elements are not rewritten";
    EXPECT_EQ(find<QPushButton>(u"inspector.dataItem.insert"_s)->toolTip(),
              u"Insert a text field bound to $F{total} in Detail"_s);
    type(find<QLineEdit>(u"inspector.dataItem.class"_s), u"java.lang.Double"_s);
    EXPECT_EQ(field(0).className, u"java.lang.Double"_s);
    QLineEdit *description = find<QLineEdit>(u"inspector.dataItem.description"_s);
    description->setFocus();
    description->selectAll();
    QTest::keyClick(description, Qt::Key_Delete);
    EXPECT_EQ(field(0).fieldDescription, std::nullopt);
    EXPECT_EQ(description->text(), QString());
    EXPECT_TRUE(store.isDirty());
    EXPECT_EQ(undoSteps(), 1) << "the field's edits in quick succession are one step";
    EXPECT_EQ(field(1), other);
}

TEST_F(DataItemInspectorTest, AnItemThatIsGoneShowsAnEmptyPanel)
{
    store.setSelectedDataItem(InspectorDataSelection::field(newId()));
    EXPECT_EQ(view->shownKind(), InspectorKind::dataItem) << "not the band inspector";
    EXPECT_FALSE(showsContent());

    store.setSelectedDataItem(InspectorDataSelection::parameter(showTotals.id));
    EXPECT_TRUE(showsContent());
    store.removeParameter(showTotals.id);
    EXPECT_FALSE(showsContent());
    store.undo();
    EXPECT_TRUE(showsContent()) << "brought back, it shows again";
}

TEST_F(DataItemInspectorTest, AKeystrokeAfterTheListChangedReachesTheSameFieldOrNone)
{
    store.setSelectedDataItem(InspectorDataSelection::field(amount.id));
    QLineEdit *name = find<QLineEdit>(u"inspector.dataItem.name"_s);
    name->setFocus();
    name->end(false);

    // Moved to second place from elsewhere while the row keeps the focus.
    store.moveField(0, 1);
    QTest::keyClick(name, Qt::Key_X);
    EXPECT_EQ(field(1).name, u"amountx"_s);
    EXPECT_EQ(field(0), other);

    // Removed: the next keystroke changes nothing.
    editDocument(store, [&](ReportDocument &d) { d.fields.removeAt(1); });
    store.setIsDirty(false);
    const ReportDocument before = store.document();
    QTest::keyClick(name, Qt::Key_Y);
    EXPECT_EQ(store.document(), before);
    EXPECT_FALSE(store.isDirty());
}

TEST_F(DataItemInspectorTest, InsertAsTextFieldAddsOneSelectedElementWithThePreferences)
{
    settings->setDefaultFontName(u"Courier"_s);
    settings->setDefaultFontSize(13);
    settings->setDefaultBlankWhenNull(false);
    store.setSelectedDataItem(InspectorDataSelection::field(amount.id));
    find<QPushButton>(u"inspector.dataItem.insert"_s)->click();

    const ElementList &placed = store.document().detailBands.first().elements;
    ASSERT_EQ(placed.size(), 1);
    EXPECT_EQ(placed[0].kind, ElementKind{ElementKind::TextField{u"$F{amount}"_s}});
    EXPECT_EQ(placed[0].fontName, u"Courier"_s);
    EXPECT_EQ(placed[0].fontSize, 13);
    EXPECT_FALSE(placed[0].isBlankWhenNull);
    EXPECT_EQ(view->shownKind(), InspectorKind::element) << "the new text field is shown";
    EXPECT_EQ(undoSteps(), 1);
    store.undo();
    EXPECT_TRUE(store.document().detailBands.first().elements.isEmpty());
}

TEST_F(DataItemInspectorTest, AParameterIsShownAndEditedAsOneUndoStep)
{
    ReportElement box = element(ElementKind::Rectangle{});
    box.printWhenExpression = u"$P{showTotals}"_s;
    place({box});
    store.setSelectedDataItem(InspectorDataSelection::parameter(showTotals.id));
    EXPECT_EQ(text(u"inspector.dataItem.title"_s), u"Parameter"_s);
    EXPECT_EQ(text(u"inspector.dataItem.usage"_s), u"1 element references $P{showTotals}"_s);
    EXPECT_EQ(find<QLineEdit>(u"inspector.dataItem.class"_s)->text(), u"java.lang.Boolean"_s);
    auto *prompt = find<QCheckBox>(u"inspector.dataItem.prompt"_s);
    ASSERT_TRUE(prompt);
    EXPECT_EQ(prompt->toolTip(), u"Ask for this parameter's value when the report runs"_s);
    EXPECT_FALSE(prompt->isChecked());

    prompt->click();
    EXPECT_TRUE(parameter().isForPrompting);
    type(find<QLineEdit>(u"inspector.dataItem.description"_s), u"Totals?"_s);
    EXPECT_EQ(parameter().parameterDescription, u"Totals?"_s);
    QLineEdit *defaultValue = find<QLineEdit>(u"inspector.dataItem.defaultValue.expression"_s);
    EXPECT_EQ(defaultValue->placeholderText(), u"expression"_s);
    type(defaultValue, u"true"_s);
    EXPECT_EQ(parameter().defaultValueExpression, u"true"_s);
    QTest::keyClick(defaultValue, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(defaultValue, Qt::Key_Backspace);
    EXPECT_EQ(parameter().defaultValueExpression, std::nullopt);
    EXPECT_TRUE(store.isDirty());
    EXPECT_EQ(undoSteps(), 1) << "the parameter's edits in quick succession are one step";

    // An undo elsewhere shows the stored flag again without writing it.
    editDocument(store, [](ReportDocument &d) { d.parameters[0].isForPrompting = false; });
    EXPECT_FALSE(prompt->isChecked());
    EXPECT_FALSE(parameter().isForPrompting);

    // Every expression of an element counts: two images and a subreport that read their files
    // by it, a subreport parameter, and a hyperlink.
    const QString file = u"$P{showTotals} ? \"a.png\" : \"b.png\""_s;
    ReportElement linked = element(ElementKind::Ellipse{});
    linked.hyperlinkExpression = file;
    place({element(ElementKind::Image{file}), element(ElementKind::Image{file}),
           element(ElementKind::Subreport{.expression = file}),
           element(ElementKind::Subreport{.expression = u"\"s.jasper\""_s,
                                          .parameters = {{.name = u"p"_s, .expression = file}}}),
           linked, element(ElementKind::Image{u"\"c.png\""_s})});
    EXPECT_EQ(text(u"inspector.dataItem.usage"_s), u"6 elements reference $P{showTotals}"_s);
}

TEST_F(DataItemInspectorTest, TheBuilderWritesTheDefaultValueAsTypingDoes)
{
    store.setSelectedDataItem(InspectorDataSelection::parameter(showTotals.id));
    auto *button = find<ExpressionBuilderButton>(u"inspector.dataItem.defaultValue.builder"_s);
    ASSERT_TRUE(button);
    const QString built = typeInBuilder(button, u"$P{x}"_s);
    ASSERT_NE(button->builder(), nullptr);
    EXPECT_FALSE(built.isEmpty());
    EXPECT_EQ(parameter().defaultValueExpression, built);
    EXPECT_EQ(find<QLineEdit>(u"inspector.dataItem.defaultValue.expression"_s)->text(), built);

    // Emptied in the builder, the default value is no value.
    QWidget *editor = button->builder()->editor()->textView();
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_Backspace);
    ASSERT_TRUE(button->builder()->editor()->text().isEmpty());
    button->builder()->doneButton()->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(parameter().defaultValueExpression, std::nullopt);
    EXPECT_EQ(undoSteps(), 0);
}

} // namespace
