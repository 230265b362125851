#include "InspectorViewFixture.h"
#include "WheelTurns.h"
#include "canvas/PaletteActions.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextDocumentFragment>

using namespace storetest;

namespace {

// The text a tooltip shows: Qt draws a text that looks like markup as rich text.
QString shownToolTip(const QString &toolTip)
{
    return Qt::mightBeRichText(toolTip) ? QTextDocumentFragment::fromHtml(toolTip).toPlainText()
                                        : toolTip;
}

// The inspector as a user meets it: a report with a dataset for lists and tables, a style, a
// group, a field and a parameter, and an inspector column shorter than its cards.
class InspectorInputTest : public InspectorViewTest {
protected:
    void SetUp() override
    {
        InspectorViewTest::SetUp();
        editDocument(store, [](ReportDocument &d) {
            ReportSubDataset orders;
            orders.name = u"Orders"_s;
            orders.fields = {ReportField{.name = u"orderNo"_s}};
            orders.variables = {ReportVariable{.name = u"orderCount"_s}};
            d.subDatasets = {orders};
            d.styles = {ReportStyle{.name = u"Body"_s}};
            d.groups = {ReportGroup{.name = u"<i>Region</i>"_s}};
            d.fields = {ReportField{.name = u"<b>amount</b>"_s}};
            d.parameters = {ReportParameter{.name = u"since"_s}};
            d.variables = {ReportVariable{.name = u"total"_s}};
        });
        store.setActiveBandTarget(detail());
        view->resize(420, 320);
        QApplication::processEvents();
    }

    // Turns the wheel over every control of the inspector shown now; the controls that took it.
    QStringList wheelTakers()
    {
        QApplication::processEvents();
        int tried = 0;
        const QStringList taken = testsupport::controlsTakingTheWheel(
            view.get(), testsupport::stillAsItWas([&] { return store.document(); }), &tried);
        tried_ += tried;
        return taken;
    }

    int tried_ = 0;
};

// The wheel turned to scroll the inspector passes over its pickers, steppers and spin boxes
// while the user reads down the cards; none of them changes, takes the focus or writes.
TEST_F(InspectorInputTest, TheWheelScrollsTheInspectorOverEveryControl)
{
    QScrollBar *bar = view->verticalScrollBar();
    int scrolled = 0;
    for (const PaletteActions::Kind kind : PaletteActions::allKinds) {
        store.setSelectedElementIDs({});
        PaletteActions::insert(kind, store, *settings);
        ASSERT_EQ(view->shownKind(), InspectorKind::element);
        // Borders on every side, so that the border card shows its width and style.
        store.updateElement(*store.selectedElementID(), [](ReportElement &e) {
            e.topPen = e.leftPen = e.bottomPen = e.rightPen = BoxSidePen{1, std::nullopt, {}};
        });
        store.setIsDirty(false);
        bar->setValue(0);
        EXPECT_EQ(wheelTakers(), QStringList())
            << store.selectedElementID()->toString().toStdString();
        scrolled = std::max(scrolled, bar->value());
        EXPECT_FALSE(store.isDirty());
    }
    store.setSelectedElementIDs({});
    EXPECT_EQ(wheelTakers(), QStringList()) << "band";
    store.setIsReportRootSelected(true);
    EXPECT_EQ(wheelTakers(), QStringList()) << "report";
    EXPECT_GT(tried_, 20) << "the pickers of every card were tried";
    EXPECT_GT(scrolled, 0) << "the turns scrolled the inspector instead";
}

// A column narrower than its cards scrolls sideways, so that no control is out of reach.
TEST_F(InspectorInputTest, ANarrowColumnScrollsSideways)
{
    PaletteActions::insert(PaletteActions::Kind::textField, store, *settings);
    for (const int width : {300, 200, 90}) {
        view->resize(width, 500);
        QApplication::processEvents();
        QScrollBar *bar = view->horizontalScrollBar();
        ASSERT_TRUE(bar->isVisible()) << width;
        bar->setValue(bar->maximum());
        QApplication::processEvents();
        // Scrolled to the end, the right edge of every card is inside the column.
        for (const QString &card : {u"inspector.frame"_s, u"inspector.format"_s}) {
            const QWidget *widget = find(card);
            ASSERT_TRUE(widget) << card.toStdString();
            const QPoint right = widget->mapTo(view->viewport(), QPoint(widget->width() - 1, 0));
            EXPECT_LT(right.x(), view->viewport()->width())
                << card.toStdString() << " at " << width;
        }
    }
    view->resize(600, 500);
    QApplication::processEvents();
    EXPECT_FALSE(view->horizontalScrollBar()->isVisible()) << "only while the cards need it";
}

// Names the user typed show as typed in the tooltips that name them.
TEST_F(InspectorInputTest, AFieldsTooltipShowsTheNamesAsTyped)
{
    store.setActiveBandTarget(BandTarget::groupHeader(store.document().groups[0].id));
    store.setSelectedDataItem(InspectorDataSelection::field(store.document().fields[0].id));
    ASSERT_EQ(view->shownKind(), InspectorKind::dataItem);
    const auto *insert = find<QPushButton>(u"inspector.dataItem.insert"_s);
    ASSERT_TRUE(insert);
    EXPECT_EQ(shownToolTip(insert->toolTip()),
              u"Insert a text field bound to $F{<b>amount</b>} in <i>Region</i> Header"_s);
}

// Inside a list the builder checks against the list's dataset; everywhere it knows the count
// variable that each group declares.
TEST_F(InspectorInputTest, TheBuilderChecksAgainstTheDatasetTheExpressionRunsIn)
{
    const ReportElement inList = element(ElementKind::TextField{});
    ReportElement list = storetest::list({inList});
    list.kind.as<ElementKind::List>()->datasetName = u"Orders"_s;
    place({list, element(ElementKind::TextField{})});
    const auto warningsFor = [&](const QUuid &id, const QString &expression) {
        store.setSelectedElementIDs({id});
        auto *button = find<ExpressionBuilderButton>(u"inspector.expression.builder"_s);
        typeInBuilder(button, expression);
        const QStringList shown = button && button->builder() ? button->builder()->warnings()
                                                              : QStringList{u"(no builder)"_s};
        if (button && button->builder())
            button->builder()->doneButton()->click();
        return shown;
    };
    EXPECT_EQ(warningsFor(inList.id, u"$F{orderNo} + $V{orderCount}"_s), QStringList());
    EXPECT_EQ(warningsFor(inList.id, u"$V{total}"_s),
              QStringList{u"$V{total} isn't a declared variable of the dataset \"Orders\" this "
                          u"element runs in."_s});
    const QUuid onBand = store.document().detailBands.first().elements.at(1).id;
    EXPECT_EQ(warningsFor(onBand, u"$V{total} + $V{<i>Region</i>_COUNT}"_s), QStringList());
}

// A report whose file has no detail band rests on the first band it has: the detail band the
// canvas offers in its place is not shown as a band of the report.
TEST_F(InspectorInputTest, AReportWithoutADetailBandShowsItsFirstBand)
{
    QTemporaryDir files;
    const QString path = files.filePath(u"NoDetail.jrxml"_s);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="NoDetail"
    pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20"
    topMargin="20" bottomMargin="20">
  <title><band height="60"/></title>
  <summary><band height="50"/></summary>
</jasperReport>
)");
    file.close();
    store.load(QUrl::fromLocalFile(path));
    QApplication::processEvents();
    ASSERT_EQ(view->shownKind(), InspectorKind::band);
    EXPECT_EQ(text(u"inspector.band.header"_s), u"Band: Title"_s);
    EXPECT_EQ(length(u"inspector.band.height"_s)->text(), u"21.17"_s) << "60 points";

    // Hiding it moves the report on to its next band, not to the offered detail band.
    store.setBandPresent(BandType::title, false);
    EXPECT_EQ(text(u"inspector.band.header"_s), u"Band: Summary"_s);
}

} // namespace

// Typing in the builder writes the element at every key; the Expression card the builder belongs
// to is not set and laid out again for each of them: its editor takes the expression once, when
// the builder closes, and then holds it.
TEST_F(InspectorInputTest, TheExpressionCardTakesTheBuildersTextWhenItCloses)
{
    const ReportElement field = element(ElementKind::TextField{u"$F{a}"_s});
    selectNew(field);
    QApplication::processEvents();
    auto *editor = find<QPlainTextEdit>(u"inspector.expression.editor"_s);
    auto *button = find<ExpressionBuilderButton>(u"inspector.expression.builder"_s);
    ASSERT_TRUE(editor && button);
    int changes = 0;
    QObject::connect(editor->document(), &QTextDocument::contentsChange, editor,
                     [&changes] { ++changes; });
    EXPECT_EQ(typeInBuilder(button, u"1 + "_s), u"1 + $F{a}"_s);
    QApplication::processEvents();
    const std::optional<ReportElement> stored = store.element(field.id);
    ASSERT_TRUE(stored);
    const auto *written = stored->kind.as<ElementKind::TextField>();
    ASSERT_TRUE(written);
    EXPECT_EQ(written->expression, u"1 + $F{a}"_s);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(editor->toPlainText(), u"$F{a}"_s);

    button->builder()->doneButton()->click();
    QApplication::processEvents();
    EXPECT_EQ(editor->toPlainText(), u"1 + $F{a}"_s);
    // Shown again, the same text changes nothing.
    store.setSelectedElementIDs({});
    store.setSelectedElementIDs({field.id});
    QApplication::processEvents();
    EXPECT_EQ(find<QPlainTextEdit>(u"inspector.expression.editor"_s)->toPlainText(),
              u"1 + $F{a}"_s);
}
