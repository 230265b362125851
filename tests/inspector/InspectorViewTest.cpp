#include "inspector/InspectorView.h"

#include "InspectorViewFixture.h"
#include "TestSupport.h"
#include "editors/CodeEditorView.h"
#include "editors/CodeTextView.h"
#include "editors/ExpressionBuilderButton.h"
#include "editors/ExpressionBuilderView.h"
#include "inspector/SectionCard.h"
#include "widgets/MeasurementField.h"
#include "workspace/AppSettings.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace storetest;

namespace {

TEST_F(InspectorViewTest, ShowsTheInspectorForTheSelection)
{
    EXPECT_EQ(view->shownKind(), InspectorKind::band);
    EXPECT_EQ(text(u"inspector.band.header"_s), u"Band: Detail"_s);

    const QList<ReportElement> three = {textField(), textField(0, 30), textField(0, 60)};
    placeSelected(three);
    EXPECT_EQ(view->shownKind(), InspectorKind::multiSelection);
    EXPECT_EQ(text(u"inspector.multiSelection.count"_s), u"3 Elements Selected"_s);
    EXPECT_TRUE(text(u"inspector.multiSelection.hint"_s).startsWith(u"Use the Align/Distribute"_s));

    store.setSelectedElementIDs({three[1].id});
    EXPECT_EQ(view->shownKind(), InspectorKind::element);
    EXPECT_EQ(text(u"inspector.heading"_s), u"Text Field"_s);

    // The element goes away (as by undo) while it is selected: the panel falls through.
    editDocument(store, [&](ReportDocument &d) {
        d.detailBands.first().elements.removeIf(
            [&](const ReportElement &e) { return e.id == three[1].id; });
    });
    EXPECT_EQ(view->shownKind(), InspectorKind::band);

    store.setIsReportRootSelected(true);
    EXPECT_EQ(view->shownKind(), InspectorKind::report);
    store.setSelectedDataItem(InspectorDataSelection::field(newId()));
    EXPECT_EQ(view->shownKind(), InspectorKind::dataItem);

    // Another tab's store; no store at all.
    DocumentStore other;
    view->setStore(&other);
    EXPECT_EQ(view->shownKind(), InspectorKind::band);
    view->setStore(nullptr);
    EXPECT_EQ(view->inspector(), nullptr);
}

TEST_F(InspectorViewTest, ElementColumnFollowsTheKindsPlan)
{
    const ReportElement chart = selectNew(element(ElementKind::Chart{.tag = u"pieChart"_s}));
    EXPECT_EQ(text(u"inspector.heading"_s), u"Chart (pieChart)"_s);
    EXPECT_EQ(find(u"inspector.style"_s), nullptr) << "a report without styles has no Style card";
    for (const QString &name :
         {u"inspector.frame"_s, u"inspector.visibility"_s, u"inspector.delete"_s})
        EXPECT_NE(find(name), nullptr) << name.toStdString();
    EXPECT_TRUE(text(u"inspector.notice.text"_s).startsWith(u"A <pieChart> chart - preserved"_s));
    const auto *notice = find<SectionCard>(u"inspector.notice"_s);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->titleLabel()->text(), u"Chart"_s);
    EXPECT_EQ(notice->titleLabel()->font().capitalization(), QFont::AllUppercase)
        << "titles are given in mixed case and shown in capitals";

    // A frame: its later cards keep their titled places, and the note counts direct children.
    const ReportElement box = frame({textField(), frame({textField(), textField()})});
    place({box});
    store.setSelectedElementIDs({box.id});
    QStringList cards;
    for (const SectionCard *card : view->inspector()->findChildren<SectionCard *>())
        cards << card->titleLabel()->text();
    EXPECT_EQ(cards, (QStringList{u"Frame"_s, u"Visibility"_s, u"Fill"_s, u"Borders"_s}));
    EXPECT_TRUE(text(u"inspector.frameNote"_s).startsWith(u"2 elements inside - "_s));

    // The first style of the report brings the Style card, with no style chosen.
    editDocument(store, [](ReportDocument &d) { d.styles.append(ReportStyle{.name = u"Bold"_s}); });
    const auto *picker = find<QComboBox>(u"inspector.style.picker"_s);
    ASSERT_TRUE(picker);
    EXPECT_EQ(picker->currentText(), u"(None - direct formatting)"_s);
    EXPECT_EQ(picker->count(), 2);
    (void)chart;
}

TEST_F(InspectorViewTest, LengthsFollowTheUnitPreference)
{
    selectNew(textField(0, 0, 20, 20));
    QLineEdit *width = length(u"inspector.frame.width"_s);
    ASSERT_TRUE(width);
    EXPECT_EQ(width->text(), u"7.06"_s);
    settings->setMeasurementUnit(MeasurementUnit::inches);
    EXPECT_EQ(width->text(), u"0.28"_s);
    settings->setMeasurementUnit(MeasurementUnit::pixels);
    EXPECT_EQ(width->text(), u"20"_s);
    EXPECT_EQ(store.document().detailBands.first().elements.first().width, 20);
    EXPECT_FALSE(store.isDirty());
}

TEST_F(InspectorViewTest, TypingALengthStoresItInPointsAsTyped)
{
    QTemporaryDir dir;
    const ReportElement field = selectNew(textField(10, 0, 20, 20));
    settings->setMeasurementUnit(MeasurementUnit::inches);
    type(length(u"inspector.frame.x"_s), u"1"_s);
    QTest::keyClick(length(u"inspector.frame.x"_s), Qt::Key_Return);
    EXPECT_EQ(store.element(field.id)->x, 72);
    EXPECT_TRUE(store.isDirty());
    store.save(QUrl::fromLocalFile(dir.filePath(u"r.jrxml"_s)));
    EXPECT_TRUE(testsupport::readFile(dir.filePath(u"r.jrxml"_s)).contains(R"(x="72")"));

    // No snapping and no limits: a zero width is stored as zero.
    settings->setMeasurementUnit(MeasurementUnit::millimeters);
    type(length(u"inspector.frame.width"_s), u"0"_s);
    QTest::keyClick(length(u"inspector.frame.width"_s), Qt::Key_Tab);
    EXPECT_EQ(store.element(field.id)->width, 0);
    type(length(u"inspector.frame.y"_s), u"-3.3"_s);
    QTest::keyClick(length(u"inspector.frame.y"_s), Qt::Key_Return);
    EXPECT_DOUBLE_EQ(store.element(field.id)->y, -3.3 * (72 / 25.4));

    // What cannot be a length is refused and the field shows the stored value again.
    const ReportDocument before = store.document();
    for (const QString &bad : {u"inf"_s, u"nan"_s, u"-inf"_s, u"1e400"_s, u"wide"_s}) {
        type(length(u"inspector.frame.height"_s), bad);
        QTest::keyClick(length(u"inspector.frame.height"_s), Qt::Key_Return);
        EXPECT_EQ(length(u"inspector.frame.height"_s)->text(), u"7.06"_s) << bad.toStdString();
    }
    settings->setMeasurementUnit(MeasurementUnit::meters);
    type(length(u"inspector.frame.height"_s), u"1e306"_s);
    QTest::keyClick(length(u"inspector.frame.height"_s), Qt::Key_Return);
    EXPECT_EQ(store.document(), before) << "no length overflows into infinity";
}

// A length beyond what a report can hold is refused with a message under the field; a band
// height below its elements stops at the lowest element's bottom.
TEST_F(InspectorViewTest, LengthsNoReportHoldsAreRefusedUnderTheField)
{
    settings->setMeasurementUnit(MeasurementUnit::pixels);
    const ReportElement field = selectNew(textField(10, 0, 20, 30));
    const ReportDocument before = store.document();
    for (const QString &name : {u"inspector.frame.y"_s, u"inspector.frame.height"_s}) {
        for (const QString &huge : {u"100000000"_s, u"1000000000"_s, u"3000000015"_s}) {
            type(length(name), huge);
            QTest::keyClick(length(name), Qt::Key_Return);
            EXPECT_EQ(store.document(), before) << name.toStdString() << " " << huge.toStdString();
            EXPECT_FALSE(find<MeasurementField>(name)->message().isEmpty());
            EXPECT_FALSE(find(name + u".message"_s)->isHidden());
        }
    }
    EXPECT_FALSE(store.isDirty());
    // A length the page holds is taken and the message goes.
    type(length(u"inspector.frame.y"_s), u"5"_s);
    QTest::keyClick(length(u"inspector.frame.y"_s), Qt::Key_Return);
    EXPECT_EQ(store.element(field.id)->y, 5);
    EXPECT_TRUE(find<MeasurementField>(u"inspector.frame.y"_s)->message().isEmpty());

    store.setSelectedElementIDs({});
    store.setActiveBandTarget(detail());
    for (const QString &low : {u"-5"_s, u"10"_s}) {
        type(length(u"inspector.band.height"_s), low);
        QTest::keyClick(length(u"inspector.band.height"_s), Qt::Key_Return);
        EXPECT_EQ(store.height(detail()), 35) << "the element's bottom";
        EXPECT_FALSE(find<MeasurementField>(u"inspector.band.height"_s)->message().isEmpty());
    }
    type(length(u"inspector.band.height"_s), u"1000000000"_s);
    QTest::keyClick(length(u"inspector.band.height"_s), Qt::Key_Return);
    EXPECT_EQ(store.height(detail()), 35);
    EXPECT_EQ(length(u"inspector.band.height"_s)->text(), u"35"_s);

    // The page of the report is at least a point wide and wider than its margins.
    store.setIsReportRootSelected(true);
    for (const QString &narrow : {u"0"_s, u"-142"_s, u"50"_s}) {
        type(length(u"inspector.page.width"_s), narrow);
        QTest::keyClick(length(u"inspector.page.width"_s), Qt::Key_Return);
        EXPECT_EQ(store.document().pageWidth, 595) << narrow.toStdString();
        EXPECT_FALSE(find<MeasurementField>(u"inspector.page.width"_s)->message().isEmpty());
    }
}

// A frame keeps holding what it holds: a width typed below its contents is taken as the report
// keeps it, and the field shows that width after every Return, the same width typed again too.
TEST_F(InspectorViewTest, AFrameNarrowerThanItsContentsShowsWhatTheReportHolds)
{
    settings->setMeasurementUnit(MeasurementUnit::pixels);
    ReportElement frame = element(ElementKind::Frame{{textField(60, 10, 100, 20)}}, 0, 0, 200, 40);
    selectNew(frame);
    QLineEdit *width = length(u"inspector.frame.width"_s);
    for (const QString &typed : {u"20"_s, u"20"_s, u"10"_s, u"170"_s}) {
        type(width, typed);
        QTest::keyClick(width, Qt::Key_Return);
        const double held = std::max(typed.toDouble(), 160.);
        EXPECT_EQ(store.element(frame.id)->width, held);
        EXPECT_EQ(width->text(), QString::number(held)) << "after " << typed.toStdString();
    }
}

TEST_F(InspectorViewTest, TabbingThroughTheFrameCardWritesNothing)
{
    // 20 points shows as 7.06 mm, which would read back as 20.0126 points.
    selectNew(textField(20, 20, 20, 20));
    QLineEdit *x = length(u"inspector.frame.x"_s);
    x->setFocus();
    ASSERT_TRUE(x->hasFocus());
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(length(u"inspector.frame.height"_s), Qt::Key_Return);
    EXPECT_FALSE(store.isDirty());
    EXPECT_TRUE(store.undoStack().isEmpty());
    const ReportElement shown = store.document().detailBands.first().elements.first();
    EXPECT_EQ(std::tuple(shown.x, shown.y, shown.width, shown.height),
              std::tuple(20., 20., 20., 20.));
}

// A line of no height shows the point the engine prints it with; tabbing through or typing the
// shown value again writes nothing, and a height the user types is written as typed.
TEST_F(InspectorViewTest, ALineOfNoHeightShowsItsOnePoint)
{
    settings->setMeasurementUnit(MeasurementUnit::pixels);
    const ReportElement line = selectNew(element(ElementKind::Line{}, 0, 10, 200, 0));
    QLineEdit *height = length(u"inspector.frame.height"_s);
    ASSERT_TRUE(height);
    EXPECT_EQ(height->text(), u"1"_s);
    EXPECT_EQ(length(u"inspector.frame.width"_s)->text(), u"200"_s);
    length(u"inspector.frame.width"_s)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(height, Qt::Key_Return);
    type(height, u"1"_s);
    QTest::keyClick(height, Qt::Key_Return);
    EXPECT_EQ(store.element(line.id)->height, 0);
    EXPECT_TRUE(store.undoStack().isEmpty());
    type(height, u"3"_s);
    QTest::keyClick(height, Qt::Key_Return);
    EXPECT_EQ(store.element(line.id)->height, 3);
    EXPECT_EQ(height->text(), u"3"_s);
}

TEST_F(InspectorViewTest, AFocusedLengthShowsNewValuesUntilTheUserTypes)
{
    const ReportElement field = selectNew(textField(20, 0, 20, 20));
    QLineEdit *x = length(u"inspector.frame.x"_s);
    x->setFocus();
    ASSERT_TRUE(x->hasFocus());
    const auto moveTo = [&](double points) {
        editDocument(store,
                     [&](ReportDocument &d) { d.detailBands.first().elements.first().x = points; });
    };
    moveTo(72 / 25.4 * 4); // as by an undo while the caret sits in X
    EXPECT_EQ(x->text(), u"4.00"_s);

    type(x, u"9"_s);
    moveTo(0);
    EXPECT_EQ(x->text(), u"9"_s) << "what the user is typing stays";
    QTest::keyClick(x, Qt::Key_Return);
    EXPECT_DOUBLE_EQ(store.element(field.id)->x, 9 * (72 / 25.4));
    EXPECT_EQ(x->text(), u"9.00"_s);
}

TEST_F(InspectorViewTest, ACommitArrivingAfterTheSelectionMovedIsDropped)
{
    const ReportElement a = textField(0, 0);
    const ReportElement b = textField(0, 30);
    place({a, b});
    store.setSelectedElementIDs({a.id});
    type(length(u"inspector.frame.x"_s), u"50"_s);
    // The canvas selects B while X still holds the typed text: the field hands in its commit
    // as it goes, and it is judged by the element the card was built for.
    store.setSelectedElementIDs({b.id});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(store.element(a.id)->x, 0);
    EXPECT_EQ(store.element(b.id)->x, 0);
    EXPECT_FALSE(store.isDirty());
    EXPECT_EQ(length(u"inspector.frame.x"_s)->text(), u"0.00"_s);
}

TEST_F(InspectorViewTest, ValuesAreShownInPlaceAndShowingNeverWrites)
{
    const ReportElement field = selectNew(textField());
    QPointer<QLineEdit> printWhen = find<QLineEdit>(u"inspector.visibility.expression"_s);
    ASSERT_TRUE(printWhen);
    EXPECT_EQ(printWhen->placeholderText(), u"e.g. new Boolean($F{amount}.doubleValue() > 0)"_s);
    type(printWhen, u"$P{on}"_s);
    EXPECT_EQ(store.element(field.id)->printWhenExpression, u"$P{on}"_s);
    EXPECT_EQ(find<QLineEdit>(u"inspector.visibility.expression"_s), printWhen)
        << "the card keeps its widgets while it edits";
    EXPECT_TRUE(printWhen->hasFocus());
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(store.undoStack().size(), 1) << "quick keystrokes are one step";

    // Emptying it removes the expression.
    printWhen->selectAll();
    QTest::keyClick(printWhen, Qt::Key_Backspace);
    EXPECT_EQ(store.element(field.id)->printWhenExpression, std::nullopt);

    // Changes from elsewhere reach the widgets without a write of their own.
    store.setIsDirty(false);
    const qsizetype steps = store.undoStack().size();
    editDocument(store, [&](ReportDocument &d) {
        ReportElement &e = d.detailBands.first().elements.first();
        e.printWhenExpression = u"$V{PAGE_NUMBER} > 1"_s;
        e.positionType = PositionType::float_;
        e.stretchType = StretchType::containerBottom;
        e.x = 72 / 25.4 * 3;
    });
    EXPECT_EQ(printWhen->text(), u"$V{PAGE_NUMBER} > 1"_s);
    EXPECT_EQ(find<QComboBox>(u"inspector.frame.position"_s)->currentText(), u"Float"_s);
    EXPECT_EQ(find<QComboBox>(u"inspector.frame.stretch"_s)->currentText(), u"Container Bottom"_s);
    EXPECT_EQ(length(u"inspector.frame.x"_s)->text(), u"3.00"_s);
    EXPECT_FALSE(store.isDirty());
    EXPECT_EQ(store.undoStack().size(), steps);

    // A picker writes what the user picks, and re-picking the shown entry writes nothing.
    auto *stretch = find<QComboBox>(u"inspector.frame.stretch"_s);
    emit stretch->activated(stretch->currentIndex());
    EXPECT_FALSE(store.isDirty());
    stretch->setCurrentIndex(0);
    emit stretch->activated(0);
    EXPECT_EQ(store.element(field.id)->stretchType, StretchType::noStretch);
    EXPECT_TRUE(store.isDirty());
}

TEST_F(InspectorViewTest, TheExpressionBuilderWritesThePrintWhenAsTypingDoes)
{
    const ReportElement field = selectNew(textField());
    auto *button = find<ExpressionBuilderButton>(u"inspector.visibility.builder"_s);
    ASSERT_TRUE(button);
    const QString built = typeInBuilder(button, u"$P{x}"_s);
    ASSERT_NE(button->builder(), nullptr);
    EXPECT_FALSE(built.isEmpty());
    EXPECT_EQ(store.element(field.id)->printWhenExpression, built);
    EXPECT_EQ(find<QLineEdit>(u"inspector.visibility.expression"_s)->text(), built);
    button->builder()->doneButton()->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(store.element(field.id)->printWhenExpression, built) << "closing undoes nothing";
}

TEST_F(InspectorViewTest, TheStylePickerAppliesAndClearsAStyle)
{
    ReportStyle bold{.name = u"Heading"_s, .fontName = u"Serif"_s, .fontSize = 18, .isBold = true};
    bold.foreColor = ElementColor{u"#112233"_s};
    editDocument(store, [&](ReportDocument &d) {
        d.styles = {ReportStyle{.name = u"Body"_s}, bold, ReportStyle{.name = u"Heading"_s}};
    });
    const ReportElement field = selectNew(textField());
    auto *picker = find<QComboBox>(u"inspector.style.picker"_s);
    ASSERT_TRUE(picker);
    EXPECT_EQ(picker->count(), 4) << "two styles of one name are both listed";

    picker->setCurrentIndex(2);
    emit picker->activated(2);
    ReportElement styled = *store.element(field.id);
    EXPECT_EQ(styled.styleName, u"Heading"_s);
    EXPECT_TRUE(styled.isBold);
    EXPECT_EQ(styled.fontSize, 18);
    EXPECT_EQ(styled.foreColor, ElementColor{u"#112233"_s});
    EXPECT_EQ(picker->currentIndex(), 2);

    // The second "Heading" applies the first of that name; no change, so nothing is written.
    store.setIsDirty(false);
    picker->setCurrentIndex(3);
    emit picker->activated(3);
    EXPECT_FALSE(store.isDirty());

    picker->setCurrentIndex(0);
    emit picker->activated(0);
    const ReportElement cleared = *store.element(field.id);
    EXPECT_EQ(cleared.styleName, std::nullopt);
    EXPECT_TRUE(cleared.isBold) << "the formatting stays";
    EXPECT_EQ(cleared.foreColor, styled.foreColor);

    // A name no style has shows no chosen entry.
    editDocument(store, [](ReportDocument &d) {
        d.detailBands.first().elements.first().styleName = u"Gone"_s;
    });
    EXPECT_EQ(picker->currentIndex(), -1);
}

TEST_F(InspectorViewTest, DeleteElementRemovesItAndOneUndoBringsItBack)
{
    const ReportElement box = selectNew(frame({textField()}));
    auto *remove = find<QPushButton>(u"inspector.delete"_s);
    ASSERT_TRUE(remove);
    EXPECT_EQ(remove->text(), u"Delete Element"_s);
    QTest::mouseClick(remove, Qt::LeftButton);
    EXPECT_FALSE(store.element(box.id));
    EXPECT_TRUE(store.isDirty());
    EXPECT_EQ(view->shownKind(), InspectorKind::band);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    store.undo();
    ASSERT_TRUE(store.element(box.id));
    EXPECT_EQ(store.element(box.id)->kind.children()->size(), 1);
}

TEST_F(InspectorViewTest, ReportAndBandInspectorsWriteTheirPaths)
{
    store.setIsReportRootSelected(true);
    editDocument(store, [](ReportDocument &d) {
        d.name.clear();
        d.fields.append(ReportField{.name = u"id"_s});
    });
    EXPECT_EQ(text(u"inspector.report.header"_s), u"Report: Untitled"_s);
    EXPECT_EQ(text(u"inspector.report.summary"_s), u"0 parameters, 1 field, 0 groups."_s);
    auto *name = find<QLineEdit>(u"inspector.report.name"_s);
    type(name, u"Q3"_s);
    EXPECT_EQ(store.document().name, u"Q3"_s);
    EXPECT_EQ(text(u"inspector.report.header"_s), u"Report: Q3"_s);
    EXPECT_TRUE(store.isDirty());
    EXPECT_TRUE(store.canUndo()) << "the typed name is an undo step";

    settings->setMeasurementUnit(MeasurementUnit::pixels);
    type(length(u"inspector.page.width"_s), u"842"_s);
    QTest::keyClick(length(u"inspector.page.width"_s), Qt::Key_Return);
    EXPECT_EQ(store.document().pageWidth, 842);
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(store.undoStack().size(), 2) << "the name, then the width";

    // The band: its label, and a height through the store's coalesced operation.
    store.setActiveBandTarget(BandTarget::standard(BandType::pageHeader));
    EXPECT_EQ(text(u"inspector.band.header"_s), u"Band: Page Header"_s);
    type(length(u"inspector.band.height"_s), u"44"_s);
    QTest::keyClick(length(u"inspector.band.height"_s), Qt::Key_Return);
    EXPECT_EQ(store.height(BandTarget::standard(BandType::pageHeader)), 44);
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(store.undoStack().size(), 3);
    store.undo();
    store.undo();
    EXPECT_EQ(store.document().pageWidth, DocumentStore::defaultDocument().pageWidth);
    EXPECT_EQ(store.document().name, u"Q3"_s) << "each undo takes back one edit";
}

TEST_F(InspectorViewTest, OutlinesAndDimmedTextsFollowTheAppearance)
{
    const QPalette saved = QApplication::palette();
    QPalette dark = saved;
    dark.setColor(QPalette::Window, QColor(0x2B, 0x2B, 0x2D));
    dark.setColor(QPalette::Base, QColor(0x1E, 0x1E, 0x20));
    dark.setColor(QPalette::Mid, QColor(0x55, 0x55, 0x58));
    dark.setColor(QPalette::WindowText, QColor(0xEC, 0xEC, 0xEE));
    for (const QPalette &palette : {dark, saved}) {
        QApplication::setPalette(palette);
        QApplication::processEvents();
        // Fields draw their outline from the window colour; on the base-coloured panel the mid
        // colour keeps it visible.
        EXPECT_EQ(view->widget()->palette().color(QPalette::Window), palette.color(QPalette::Mid));
        const auto *hint = find<QLabel>(u"inspector.band.hint"_s);
        ASSERT_TRUE(hint);
        EXPECT_EQ(hint->foregroundRole(), QPalette::WindowText);
        const QColor shown = hint->palette().color(hint->foregroundRole());
        EXPECT_LT(shown.alphaF(), 1.0) << "the hint is dimmed";
        EXPECT_EQ(shown.rgb(), palette.color(QPalette::WindowText).rgb());
    }
}

} // namespace
