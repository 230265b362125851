#include "inspector/BoxCards.h"
#include "InspectorViewFixture.h"
#include "inspector/StepperField.h"
#include "widgets/ColorWell.h"

#include <QColorDialog>
#include <QComboBox>
#include <QWheelEvent>
#include <limits>

using namespace storetest;

namespace {

class BoxCardsTest : public InspectorViewTest {
protected:
    template <typename Diagram> Diagram *diagram(const QString &name) const
    {
        return find<Diagram>(name);
    }
    PaddingBoxDiagram *paddingDiagram() const
    {
        return diagram<PaddingBoxDiagram>(u"inspector.padding.diagram"_s);
    }
    BorderBoxDiagram *borderDiagram() const
    {
        return diagram<BorderBoxDiagram>(u"inspector.borders.diagram"_s);
    }
    static void click(BoxDiagram *diagram, BoxSide side)
    {
        ASSERT_TRUE(diagram);
        QTest::mouseClick(diagram, Qt::LeftButton, {}, diagram->barRect(side).center());
    }
    // One step of the stepper's arrows, as the user makes it.
    static void step(StepperField *stepper, Qt::Key key = Qt::Key_Up)
    {
        ASSERT_TRUE(stepper);
        QTest::keyClick(stepper, key);
    }
    StepperField *paddingStepper() const
    {
        return find<StepperField>(u"inspector.padding.stepper"_s);
    }
    StepperField *widthStepper() const { return find<StepperField>(u"inspector.borders.width"_s); }
    bool shows(const QString &name) const
    {
        // A newly built inspector is shown once the event loop runs.
        QApplication::processEvents();
        const QWidget *widget = find(name);
        return widget && widget->isVisible();
    }
    BoxSideSet chosen(BoxDiagram *d) const
    {
        BoxSideSet sides;
        for (BoxSide side : BoxSides::all()) {
            if (d->isSelected(side))
                sides.insert(side);
        }
        return sides;
    }
    qsizetype undoSteps()
    {
        store.flushPendingUndoSnapshot();
        return store.undoStack().size();
    }
    ReportElement stored(const ReportElement &e) const { return *store.element(e.id); }
};

TEST_F(BoxCardsTest, ThePaddingSelectionStaysWithTheViewFromOneElementToTheNext)
{
    const ReportElement a = textField();
    ReportElement b = textField(0, 40);
    b.paddingTop = 5;
    b.paddingRight = 7;
    place({a, b});
    store.setSelectedElementIDs({a.id});

    EXPECT_TRUE(shows(u"inspector.padding.hint"_s));
    EXPECT_FALSE(shows(u"inspector.padding.stepper"_s));
    const ReportDocument before = store.document();
    click(paddingDiagram(), BoxSide::right);
    click(paddingDiagram(), BoxSide::top);
    EXPECT_EQ(store.document(), before) << "choosing a padding side changes nothing";
    EXPECT_FALSE(store.isDirty());
    EXPECT_FALSE(shows(u"inspector.padding.hint"_s));
    EXPECT_EQ(text(u"inspector.padding.caption"_s), u"Editing: Top, Right"_s);
    EXPECT_EQ(paddingStepper()->text(), u"0 pt"_s);
    EXPECT_EQ(paddingDiagram()->helpText(BoxSide::top), u"Deselect Top padding (currently 0pt)"_s);

    step(paddingStepper());
    step(paddingStepper());
    EXPECT_EQ(stored(a).paddingTop, 2);
    EXPECT_EQ(stored(a).paddingRight, 2);
    EXPECT_EQ(stored(a).paddingLeft, 0);
    EXPECT_EQ(stored(a).paddingBottom, 0);
    EXPECT_EQ(paddingStepper()->text(), u"2 pt"_s);
    EXPECT_TRUE(store.isDirty());
    EXPECT_EQ(undoSteps(), 1) << "steps on one element coalesce";

    // The wheel over an unfocused stepper scrolls the panel and changes nothing.
    paddingStepper()->clearFocus();
    QWheelEvent wheel(QPointF(5, 5), paddingStepper()->mapToGlobal(QPointF(5, 5)), QPoint(),
                      QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(paddingStepper(), &wheel);
    EXPECT_EQ(stored(a).paddingTop, 2);

    // Another element: a new inspector, the same sides, that element's values.
    store.setSelectedElementIDs({b.id});
    EXPECT_EQ(chosen(paddingDiagram()), (BoxSideSet{BoxSide::top, BoxSide::right}));
    EXPECT_EQ(paddingStepper()->text(), u"5 pt"_s) << "the first listed side's value";
    step(paddingStepper(), Qt::Key_Down);
    EXPECT_EQ(stored(b).paddingTop, 4);
    EXPECT_EQ(stored(b).paddingRight, 4) << "every chosen side gets the new value";
    EXPECT_EQ(stored(a).paddingTop, 2);

    // Through the band inspector and back.
    store.setSelectedElementIDs({});
    ASSERT_EQ(view->shownKind(), InspectorKind::band);
    store.setSelectedElementIDs({a.id});
    EXPECT_EQ(chosen(paddingDiagram()), (BoxSideSet{BoxSide::top, BoxSide::right}));
    click(paddingDiagram(), BoxSide::top);
    click(paddingDiagram(), BoxSide::right);
    EXPECT_TRUE(shows(u"inspector.padding.hint"_s));
}

TEST_F(BoxCardsTest, PaddingBeyondAnyWholeNumberIsShownAndSteppedIntoTheRange)
{
    ReportElement e = textField();
    e.paddingTop = std::numeric_limits<double>::infinity();
    e.paddingLeft = std::numeric_limits<double>::quiet_NaN();
    e.paddingBottom = -1e300;
    selectNew(e);
    ASSERT_TRUE(paddingDiagram());
    EXPECT_FALSE(paddingDiagram()->grab().isNull()) << "the bars paint";
    click(paddingDiagram(), BoxSide::top);
    EXPECT_EQ(paddingStepper()->text(), u"9223372036854775807 pt"_s);
    step(paddingStepper(), Qt::Key_Down);
    EXPECT_EQ(stored(e).paddingTop, 100);

    click(paddingDiagram(), BoxSide::top);
    click(paddingDiagram(), BoxSide::left);
    EXPECT_EQ(paddingStepper()->text(), u"0 pt"_s);
    step(paddingStepper());
    EXPECT_EQ(stored(e).paddingLeft, 1);
}

TEST_F(BoxCardsTest, TheBorderSelectionStartsFromEachElementsPens)
{
    ReportElement a = textField();
    a.topPen = BoxSidePen{2, ElementColor{u"#FF0000"_s}, PenLineStyle::dashed};
    a.rightPen = BoxSidePen{0.5, std::nullopt, PenLineStyle::solid};
    ReportElement b = textField(0, 40);
    b.bottomPen = BoxSidePen{};
    place({a, b});
    store.setSelectedElementIDs({a.id});

    EXPECT_EQ(chosen(borderDiagram()), (BoxSideSet{BoxSide::top, BoxSide::right}));
    EXPECT_EQ(text(u"inspector.borders.caption"_s), u"Editing: Top, Right"_s);
    EXPECT_EQ(widthStepper()->text(), u"2.0 pt"_s) << "the controls show the top pen";
    EXPECT_EQ(find<QComboBox>(u"inspector.borders.style"_s)->currentText(), u"Dashed Line"_s);
    EXPECT_EQ(find<ColorWell>(u"inspector.borders.colour"_s)->shownColor(), QColor(Qt::red));
    EXPECT_EQ(borderDiagram()->helpText(BoxSide::top), u"Remove the Top border"_s);
    EXPECT_EQ(borderDiagram()->helpText(BoxSide::left), u"Add the Left border"_s);

    // A click on an unselected side gives it a default pen and chooses it.
    click(borderDiagram(), BoxSide::left);
    EXPECT_EQ(stored(a).leftPen, BoxSidePen{});
    // A click on a chosen side removes its pen with its width, colour and style.
    click(borderDiagram(), BoxSide::top);
    EXPECT_EQ(stored(a).topPen, std::nullopt);
    EXPECT_EQ(chosen(borderDiagram()), (BoxSideSet{BoxSide::left, BoxSide::right}));
    EXPECT_EQ(text(u"inspector.borders.caption"_s), u"Editing: Left, Right"_s);
    EXPECT_EQ(widthStepper()->text(), u"1.0 pt"_s);

    // Width, style and colour go to every chosen side that has a pen.
    step(widthStepper());
    find<QComboBox>(u"inspector.borders.style"_s)->setCurrentIndex(3);
    emit find<QComboBox>(u"inspector.borders.style"_s)->activated(3);
    auto *colour = find<ColorWell>(u"inspector.borders.colour"_s);
    colour->openDialog();
    colour->dialog()->setCurrentColor(QColor(0, 0, 255, 128));
    colour->dialog()->accept();
    const BoxSidePen edited{1.5, ElementColor{u"#0000FF"_s}, PenLineStyle::double_};
    EXPECT_EQ(stored(a).leftPen, edited);
    EXPECT_EQ(stored(a).rightPen, edited) << "the right pen takes the left pen's width";
    EXPECT_EQ(stored(a).topPen, std::nullopt) << "an unchosen side stays without a pen";
    EXPECT_EQ(stored(a).bottomPen, std::nullopt);
    EXPECT_EQ(undoSteps(), 1) << "the edits of one element coalesce";

    // Another element: the card is made anew with that element's bordered sides.
    store.setSelectedElementIDs({b.id});
    EXPECT_EQ(chosen(borderDiagram()), BoxSideSet{BoxSide::bottom});
    EXPECT_TRUE(shows(u"inspector.borders.width"_s));

    // A pen removed by other means leaves its side chosen, and the panel without controls.
    store.updateElement(b.id, [](ReportElement &e) { e.bottomPen.reset(); });
    EXPECT_EQ(chosen(borderDiagram()), BoxSideSet{BoxSide::bottom});
    EXPECT_FALSE(shows(u"inspector.borders.width"_s));
    EXPECT_EQ(text(u"inspector.borders.caption"_s), u"Editing: Bottom"_s);
    click(borderDiagram(), BoxSide::bottom);
    EXPECT_EQ(stored(b).bottomPen, std::nullopt);
    EXPECT_TRUE(shows(u"inspector.borders.hint"_s));
    click(borderDiagram(), BoxSide::bottom);
    EXPECT_EQ(stored(b).bottomPen, BoxSidePen{});

    // Back to the first element: its card starts again from its pens.
    store.setSelectedElementIDs({a.id});
    EXPECT_EQ(chosen(borderDiagram()), (BoxSideSet{BoxSide::left, BoxSide::right}));
}

TEST_F(BoxCardsTest, TheBoxEditorsWriteNothingWithoutTheirElementSelected)
{
    ReportElement e = textField();
    e.topPen = BoxSidePen{};
    selectNew(e);
    BorderBoxDiagram *borders = borderDiagram();
    PaddingBoxDiagram *padding = paddingDiagram();
    StepperField *width = widthStepper();
    click(padding, BoxSide::top);
    StepperField *paddingSteps = paddingStepper();
    ASSERT_TRUE(borders && padding && width && paddingSteps);
    // The selection moves on while the cards still exist (the panel rebuilds later).
    const ReportDocument before = store.document();
    const QSignalBlocker blocked(&store);
    store.setSelectedElementIDs({});
    click(borders, BoxSide::left);
    step(width);
    step(paddingSteps);
    EXPECT_EQ(store.document(), before);
}

} // namespace
