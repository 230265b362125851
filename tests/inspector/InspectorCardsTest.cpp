#include "EngineJudge.h"
#include "InspectorViewFixture.h"
#include "TestSupport.h"
#include "inspector/ColorRow.h"
#include "inspector/TextCards.h"
#include "widgets/ColorHex.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QToolButton>
#include <QWheelEvent>

using namespace storetest;

namespace {

class InspectorCardsTest : public InspectorViewTest {
protected:
    // The report as saved to a file.
    QString saved()
    {
        const QString path = dir.filePath(u"r.jrxml"_s);
        EXPECT_FALSE(store.save(QUrl::fromLocalFile(path)).isEmpty());
        return QString::fromUtf8(testsupport::readFile(path));
    }

    ReportElement stored(const ReportElement &e) const { return *store.element(e.id); }

    QTemporaryDir dir;
};

TEST_F(InspectorCardsTest, EmptiedOptionalTextsAreStoredAsNoValue)
{
    const ReportElement field = selectNew(textField());
    type(find<QLineEdit>(u"inspector.format.pattern"_s), u"#,##0.00"_s);
    type(find<QLineEdit>(u"inspector.format.hyperlink"_s), u"$F{url}"_s);
    pick(find<QComboBox>(u"inspector.font.markup"_s), u"HTML"_s);
    EXPECT_EQ(stored(field).pattern, u"#,##0.00"_s);
    EXPECT_EQ(stored(field).hyperlinkExpression, u"$F{url}"_s);
    EXPECT_EQ(stored(field).markup, u"html"_s);
    QString file = saved();
    EXPECT_TRUE(file.contains(uR"(pattern="#,##0.00")"_s));
    EXPECT_TRUE(file.contains(uR"(markup="html")"_s));
    EXPECT_TRUE(file.contains(u"hyperlinkReferenceExpression"_s));

    for (const QString &name : {u"inspector.format.pattern"_s, u"inspector.format.hyperlink"_s}) {
        QLineEdit *edit = find<QLineEdit>(name);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
    }
    pick(find<QComboBox>(u"inspector.font.markup"_s), u"None"_s);
    EXPECT_EQ(stored(field).pattern, std::nullopt);
    EXPECT_EQ(stored(field).hyperlinkExpression, std::nullopt);
    EXPECT_EQ(stored(field).markup, std::nullopt);
    file = saved();
    EXPECT_FALSE(file.contains(u"pattern="_s));
    EXPECT_FALSE(file.contains(u"markup="_s));
    EXPECT_FALSE(file.contains(u"hyperlinkReferenceExpression"_s));

    // A blank is a pattern of its own.
    type(find<QLineEdit>(u"inspector.format.pattern"_s), u" "_s);
    EXPECT_EQ(stored(field).pattern, u" "_s);
    EXPECT_TRUE(saved().contains(uR"(pattern=" ")"_s));

    // A markup of "none" shows as None, and re-picking it writes nothing.
    editDocument(store, [](ReportDocument &d) {
        d.detailBands.first().elements.first().markup = u"none"_s;
    });
    store.setIsDirty(false);
    EXPECT_EQ(find<QComboBox>(u"inspector.font.markup"_s)->currentText(), u"None"_s);
    pick(find<QComboBox>(u"inspector.font.markup"_s), u"None"_s);
    EXPECT_FALSE(store.isDirty());
}

TEST_F(InspectorCardsTest, OverflowStoresNoValueForStretchHeight)
{
    const ReportElement field = selectNew(textField());
    auto *overflow = find<QComboBox>(u"inspector.format.overflow"_s);
    // A field that sets none is cut by the engine, and shows so.
    EXPECT_EQ(overflow->currentText(), u"Cut Text"_s);
    EXPECT_EQ(overflow->toolTip().size(), 170);
    pick(overflow, u"Shrink Font to Fit"_s);
    EXPECT_EQ(stored(field).textAdjust, TextAdjust::scaleFont);
    EXPECT_TRUE(saved().contains(uR"(textAdjust="ScaleFont")"_s));
    pick(overflow, u"Cut Text"_s);
    EXPECT_EQ(stored(field).textAdjust, TextAdjust::cutText);
    pick(overflow, u"Stretch Height"_s);
    EXPECT_EQ(stored(field).textAdjust, TextAdjust::stretchHeight);
    EXPECT_TRUE(saved().contains(uR"(textAdjust="StretchHeight")"_s));

    // Blank When Null is a toggle of its own.
    find<QCheckBox>(u"inspector.format.blankWhenNull"_s)->click();
    EXPECT_TRUE(stored(field).isBlankWhenNull);
}

TEST_F(InspectorCardsTest, TheGroupRowShowsOnlyForGroupAndStoresTheGroupItShows)
{
    ReportElement field = textField();
    field.evaluationTime = u"Later"_s;
    selectNew(field);
    auto *time = find<QComboBox>(u"inspector.format.evaluationTime"_s);
    ASSERT_TRUE(time);
    EXPECT_EQ(time->currentIndex(), -1) << "a time that is not offered shows no entry";
    EXPECT_EQ(time->toolTip().size(), 157);
    EXPECT_TRUE(find(u"inspector.format.groupRow"_s)->isHidden());
    ASSERT_TRUE(find(u"inspector.format.note"_s));
    EXPECT_TRUE(find(u"inspector.format.note"_s)->isHidden());

    // Without groups "Group" is greyed out: the engine refuses it without a group to name.
    const auto *entries = qobject_cast<QStandardItemModel *>(time->model());
    ASSERT_TRUE(entries);
    EXPECT_FALSE(entries->item(time->findText(u"Group"_s))->isEnabled());
    pick(time, u"Group"_s);
    EXPECT_EQ(stored(field).evaluationTime, u"Later"_s);
    EXPECT_FALSE(store.isDirty());

    // With groups, choosing "Group" stores the group the row shows; picking another stores it.
    editDocument(store, [](ReportDocument &d) {
        d.groups = {ReportGroup{.name = u"Region"_s}, ReportGroup{.name = u"City"_s}};
    });
    EXPECT_TRUE(entries->item(time->findText(u"Group"_s))->isEnabled());
    pick(time, u"Group"_s);
    EXPECT_EQ(stored(field).evaluationTime, u"Group"_s);
    EXPECT_FALSE(find(u"inspector.format.groupRow"_s)->isHidden());
    auto *group = find<QComboBox>(u"inspector.format.group"_s);
    EXPECT_EQ(group->currentText(), u"Region"_s);
    EXPECT_EQ(stored(field).evaluationGroup, u"Region"_s);
    pick(group, u"City"_s);
    EXPECT_EQ(stored(field).evaluationGroup, u"City"_s);
    EXPECT_TRUE(saved().contains(uR"(evaluationTime="Group" evaluationGroup="City")"_s));

    // Another time hides the row and keeps the group; "Group" again keeps the stored one.
    pick(time, u"Report"_s);
    EXPECT_TRUE(find(u"inspector.format.groupRow"_s)->isHidden());
    EXPECT_EQ(stored(field).evaluationTime, u"Report"_s);
    EXPECT_EQ(stored(field).evaluationGroup, u"City"_s);
    pick(time, u"Group"_s);
    EXPECT_EQ(stored(field).evaluationGroup, u"City"_s);

    // An image has the same controls in its Evaluation card, and its choice reaches the file.
    const ReportElement image = selectNew(element(ElementKind::Image{u"\"a.png\""_s}));
    pick(find<QComboBox>(u"inspector.evaluation.evaluationTime"_s), u"Page"_s);
    EXPECT_EQ(stored(image).evaluationTime, u"Page"_s);
    EXPECT_TRUE(saved().contains(uR"(<image evaluationTime="Page">)"_s));
}

// A subreport takes no evaluation time in the engine: its card offers "Now" and the time its
// file spelled, which shows until the user chooses "Now".
TEST_F(InspectorCardsTest, ASubreportOffersOnlyWhatTheEngineTakes)
{
    ReportElement sub = element(ElementKind::Subreport{u"\"sub.jasper\""_s});
    sub.evaluationTime = u"Report"_s;
    selectNew(sub);
    auto *time = find<QComboBox>(u"inspector.evaluation.evaluationTime"_s);
    ASSERT_TRUE(time);
    EXPECT_EQ(time->count(), 2);
    EXPECT_EQ(time->currentText(), u"Report"_s);
    ASSERT_TRUE(find(u"inspector.evaluation.note"_s));
    EXPECT_FALSE(find(u"inspector.evaluation.note"_s)->isHidden());
    pick(time, u"Now"_s);
    EXPECT_EQ(stored(sub).evaluationTime, u"Now"_s);
    EXPECT_EQ(time->count(), 1);
    EXPECT_FALSE(saved().contains(u"evaluationTime"_s));
}

// The evaluation times chosen in the cards are what the engine reads: it compiles each.
TEST_F(InspectorCardsTest, EvaluationChoicesCompileInTheEngine)
{
    editDocument(store, [](ReportDocument &d) {
        d.groups = {ReportGroup{.name = u"Region"_s, .expression = u"\"r\""_s}};
    });
    const ReportElement image = selectNew(element(ElementKind::Image{u"\"a.png\""_s}));
    ReportElement sub = element(ElementKind::Subreport{u"\"sub.jasper\""_s}, 0, 20);
    sub.evaluationTime = u"Report"_s;
    place({sub});

    QUILLMARK_REQUIRE_ENGINE();
    testsupport::EngineJudge engine(*location);
    EXPECT_TRUE(
        engine.compileError(store.document()).value_or(QString()).contains(u"evaluationTime"_s))
        << "a subreport's evaluation time is refused";

    auto *time = find<QComboBox>(u"inspector.evaluation.evaluationTime"_s);
    pick(time, u"Group"_s);
    EXPECT_EQ(stored(image).evaluationGroup, u"Region"_s);
    store.setSelectedElementID(sub.id);
    pick(find<QComboBox>(u"inspector.evaluation.evaluationTime"_s), u"Now"_s);
    EXPECT_EQ(engine.compileError(store.document()), std::nullopt);

    for (const QString &chosen : {u"Report"_s, u"Page"_s, u"Column"_s, u"Band"_s, u"Auto"_s}) {
        store.setSelectedElementID(image.id);
        pick(find<QComboBox>(u"inspector.evaluation.evaluationTime"_s), chosen);
        EXPECT_EQ(stored(image).evaluationTime, chosen);
        EXPECT_EQ(engine.compileError(store.document()), std::nullopt) << chosen.toStdString();
    }
}

TEST_F(InspectorCardsTest, TextAndExpressionEditorsChangeOnlyTheText)
{
    ReportElement label = element(ElementKind::StaticText{u"Hello"_s});
    label.foreColor = ElementColor{u"#112233"_s};
    selectNew(label);
    auto *editor = find<QPlainTextEdit>(u"inspector.text.editor"_s);
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->toPlainText(), u"Hello"_s);
    editor->setFocus();
    editor->moveCursor(QTextCursor::End);
    QTest::keyClicks(editor, u" all"_s);
    ReportElement expected = label;
    expected.kind = ElementKind::StaticText{u"Hello all"_s};
    EXPECT_EQ(stored(label), expected);
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(store.undoStack().size(), 1) << "a burst of typing is one step";

    const ReportElement field = selectNew(textField());
    auto *expression = find<QPlainTextEdit>(u"inspector.expression.editor"_s);
    ASSERT_TRUE(expression);
    expression->setFocus();
    expression->selectAll();
    QTest::keyClicks(expression, u"$F{b}"_s);
    EXPECT_EQ(stored(field).kind, ElementKind(ElementKind::TextField{u"$F{b}"_s}));
}

// A card that was not redrawn since the element changed elsewhere writes its one value into the
// element as it is now: nothing it showed earlier goes back.
TEST_F(InspectorCardsTest, AStaleCardWritesOnlyItsOneValue)
{
    ReportElement field = textField();
    selectNew(field);
    const ElementWriter writer(&store, field);
    FormatCard format(writer, u"Format"_s, nullptr);
    TextFieldExpressionCard expression(writer, u"Expression"_s, nullptr);
    format.refresh(field, store.document());
    expression.refresh(field, store.document());

    editDocument(store, [](ReportDocument &d) {
        ReportElement &e = d.detailBands.first().elements.first();
        e.pattern = u"0.0"_s;
        e.markup = u"html"_s;
        e.kind = ElementKind::TextField{u"$F{changed}"_s};
    });
    ReportElement expected = stored(field);
    format.findChild<QCheckBox *>(u"inspector.format.blankWhenNull"_s)->click();
    expected.isBlankWhenNull = true;
    EXPECT_EQ(stored(field), expected);

    auto *editor = expression.findChild<QPlainTextEdit *>(u"inspector.expression.editor"_s);
    editor->setPlainText(u"$F{typed}"_s);
    expected.kind = ElementKind::TextField{u"$F{typed}"_s};
    EXPECT_EQ(stored(field), expected);

    // The element became a static text under the same id: the expression card writes nothing.
    editDocument(store, [](ReportDocument &d) {
        d.detailBands.first().elements.first().kind = ElementKind::StaticText{u"x"_s};
    });
    expected = stored(field);
    editor->setPlainText(u"$F{late}"_s);
    EXPECT_EQ(stored(field), expected);
}

TEST_F(InspectorCardsTest, ColourRowsStoreUpperCaseAndClearRemovesTheAttribute)
{
    ReportElement box = element(ElementKind::Rectangle{});
    box.backColor = ElementColor{u"ff8000"_s};
    selectNew(box);
    auto *stroke = find<ColorRow>(u"inspector.shape.stroke"_s);
    auto *fill = find<ColorRow>(u"inspector.shape.fill"_s);
    ASSERT_TRUE(stroke && fill);
    EXPECT_EQ(stroke->shownColor(), QColor(Qt::black));
    EXPECT_TRUE(stroke->clearButton()->isHidden()) << "no Clear without a colour";
    EXPECT_EQ(fill->shownColor(), QColor(255, 128, 0)) << "lower case without # reads";
    EXPECT_FALSE(fill->clearButton()->isHidden());

    stroke->swatch()->click();
    QPointer<QColorDialog> dialog = stroke->dialog();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    dialog->setCurrentColor(QColor(255, 0, 0));
    EXPECT_EQ(stored(box).foreColor, ElementColor{u"#FF0000"_s});
    EXPECT_FALSE(stroke->clearButton()->isHidden());

    // Dragging through colours: each is written, opacity dropped, as one undo step.
    store.flushPendingUndoSnapshot();
    const qsizetype steps = store.undoStack().size();
    dialog->setCurrentColor(QColor(0x12, 0x34, 0xab, 100));
    dialog->setCurrentColor(QColor(0xab, 0xcd, 0xef));
    EXPECT_EQ(stored(box).foreColor, ElementColor{u"#ABCDEF"_s});
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(store.undoStack().size(), steps + 1);
    EXPECT_TRUE(saved().contains(uR"(forecolor="#ABCDEF")"_s));

    // The dialog stays open across changes of the report, and follows an undo.
    editDocument(store, [](ReportDocument &d) { d.detailBands.first().elements.first().x = 9; });
    EXPECT_EQ(stroke->dialog(), dialog.data());
    EXPECT_TRUE(dialog->isVisible());
    store.undo();
    EXPECT_EQ(ColorHex::toHex(dialog->currentColor()), u"#FF0000"_s);
    EXPECT_EQ(stored(box).foreColor, ElementColor{u"#FF0000"_s}) << "following writes nothing";
    dialog->close();

    // Picking the fill's own colour again writes nothing; picking another replaces the form.
    store.setIsDirty(false);
    fill->swatch()->click();
    fill->dialog()->setCurrentColor(QColor(255, 128, 0));
    EXPECT_FALSE(store.isDirty());
    fill->dialog()->setCurrentColor(QColor(0, 0, 255));
    EXPECT_EQ(stored(box).backColor, ElementColor{u"#0000FF"_s});
    fill->dialog()->close();

    fill->clearButton()->click();
    EXPECT_EQ(stored(box).backColor, std::nullopt);
    EXPECT_TRUE(fill->clearButton()->isHidden());
    EXPECT_FALSE(saved().contains(u"backcolor"_s));

    // Text elements have Text and Highlight rows.
    const ReportElement field = selectNew(textField());
    auto *highlight = find<ColorRow>(u"inspector.font.highlight"_s);
    ASSERT_TRUE(highlight);
    highlight->swatch()->click();
    highlight->dialog()->setCurrentColor(QColor(0, 255, 0));
    EXPECT_EQ(stored(field).backColor, ElementColor{u"#00FF00"_s});
    EXPECT_EQ(stored(field).foreColor, std::nullopt);
    highlight->dialog()->close();
}

TEST_F(InspectorCardsTest, ShapesHaveALineWidthFromZeroToTwenty)
{
    const ReportElement line = selectNew(element(ElementKind::Line{}));
    EXPECT_NE(find(u"inspector.shape.stroke"_s), nullptr);
    EXPECT_EQ(find(u"inspector.shape.fill"_s), nullptr) << "a line has no fill";
    auto *width = find<QDoubleSpinBox>(u"inspector.shape.line"_s);
    ASSERT_TRUE(width);
    EXPECT_EQ(width->text(), u"1.0"_s);
    width->stepUp();
    EXPECT_EQ(stored(line).penWidth, 1.5);
    EXPECT_EQ(width->text(), u"1.5"_s);
    for (int i = 0; i < 50; ++i)
        width->stepUp();
    EXPECT_EQ(stored(line).penWidth, 20);
    for (int i = 0; i < 50; ++i)
        width->stepDown();
    EXPECT_EQ(stored(line).penWidth, 0);
    width->stepDown();
    EXPECT_EQ(stored(line).penWidth, 0);

    selectNew(element(ElementKind::Ellipse{}));
    EXPECT_NE(find(u"inspector.shape.fill"_s), nullptr);

    // A frame's Fill card.
    const ReportElement box = frame({});
    place({box});
    store.setSelectedElementIDs({box.id});
    auto *fill = find<ColorRow>(u"inspector.fill.fill"_s);
    ASSERT_TRUE(fill);
    fill->swatch()->click();
    fill->dialog()->setCurrentColor(QColor(0x10, 0x20, 0x30));
    EXPECT_EQ(stored(box).backColor, ElementColor{u"#102030"_s});
    fill->dialog()->close();
}

TEST_F(InspectorCardsTest, ImageAndBreakCardsWriteTheirKind)
{
    const ReportElement image = selectNew(element(ElementKind::Image{u"\"logo.png\""_s}));
    auto *expression = find<QLineEdit>(u"inspector.imageExpression.expression"_s);
    ASSERT_TRUE(expression);
    EXPECT_EQ(expression->text(), u"\"logo.png\""_s);
    EXPECT_EQ(expression->placeholderText(), u"expression"_s);
    EXPECT_FALSE(find<QToolButton>(u"inspector.imageExpression.browse"_s)->isEnabled())
        << "no image import in this window";
    expression->selectAll();
    QTest::keyClick(expression, Qt::Key_Backspace);
    EXPECT_EQ(stored(image).kind, ElementKind(ElementKind::Image{QString()}))
        << "emptied, it stays an image";

    const ReportElement pageBreak = selectNew(element(ElementKind::ReportBreak{}));
    auto *picker = find<QComboBox>(u"inspector.break.picker"_s);
    ASSERT_TRUE(picker);
    EXPECT_EQ(text(u"inspector.break.explanation"_s),
              u"Forces a page break wherever this falls in the flow - real files usually keep it "
              u"1pt tall."_s);
    store.setIsDirty(false);
    pick(picker, u"Page"_s);
    EXPECT_FALSE(store.isDirty()) << "re-picking writes nothing";
    pick(picker, u"Column"_s);
    EXPECT_EQ(stored(pageBreak).kind,
              ElementKind(ElementKind::ReportBreak{.type = BreakType::column}));
    EXPECT_TRUE(text(u"inspector.break.explanation"_s).startsWith(u"Forces a column break"_s));
}

TEST_F(InspectorCardsTest, WithSeveralElementsSelectedTheCardsWriteNothing)
{
    const ReportElement field = selectNew(textField());
    const ElementWriter writer(&store, field);
    FontCard font(writer, u"Text"_s);
    font.refresh(field, store.document());
    const ReportElement other = textField(0, 40);
    place({other});
    store.setSelectedElementIDs({field.id, other.id});
    store.setIsDirty(false);
    const ReportDocument before = store.document();
    auto *markup = font.findChild<QComboBox *>(u"inspector.font.markup"_s);
    pick(markup, u"RTF"_s);
    auto *colour = font.findChild<ColorRow *>(u"inspector.font.text"_s);
    colour->swatch()->click();
    colour->dialog()->setCurrentColor(QColor(1, 2, 3));
    colour->dialog()->close();
    EXPECT_EQ(store.document(), before);
    EXPECT_FALSE(store.isDirty());
}

} // namespace

namespace {

// Turning the wheel to scroll the inspector passes over its pickers and the line width; none of
// them may change what it shows unless the user is in it.
TEST_F(InspectorCardsTest, TheWheelOverAControlScrollsInsteadOfChangingIt)
{
    const auto turnWheelOver = [](QWidget *control) {
        ASSERT_TRUE(control);
        ASSERT_FALSE(control->hasFocus());
        for (int delta : {-120, 120}) {
            QWheelEvent wheel(QPointF(5, 5), control->mapToGlobal(QPointF(5, 5)), QPoint(),
                              QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                              false);
            QApplication::sendEvent(control, &wheel);
        }
    };
    selectNew(textField());
    for (const QString &name :
         {u"inspector.frame.position"_s, u"inspector.frame.stretch"_s, u"inspector.font.markup"_s,
          u"inspector.format.overflow"_s, u"inspector.format.evaluationTime"_s})
        turnWheelOver(find<QComboBox>(name));
    selectNew(element(ElementKind::Line{}));
    turnWheelOver(find<QDoubleSpinBox>(u"inspector.shape.line"_s));
    EXPECT_FALSE(store.isDirty());
}

} // namespace
