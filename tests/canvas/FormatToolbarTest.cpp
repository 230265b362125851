#include "canvas/FormatToolbar.h"
#include "AppTestSupport.h"
#include "ModelBuilders.h"
#include "widgets/ToolbarToggleIcon.h"
#include "workspace/AppSettings.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;
using testsupport::element;
using K = ElementKind;

namespace {

class FormatToolbarTest : public apptest::SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        settings = std::make_unique<AppSettings>(dir.path());
        store.setClock([this] { return now; });
        toolbar = std::make_unique<FormatToolbar>(*settings);
        toolbar->setStore(&store);
    }
    QUuid add(ElementKind kind)
    {
        ReportElement e = element(std::move(kind));
        store.addElement(e, BandTarget::standard(BandType::title));
        return e.id;
    }
    ReportElement at(const QUuid &id) const { return store.element(id).value(); }
    qreal groupOpacity() const
    {
        return static_cast<QGraphicsOpacityEffect *>(toolbar->textGroup()->graphicsEffect())
            ->opacity();
    }

    qint64 now = 1000;
    std::unique_ptr<AppSettings> settings;
    DocumentStore store;
    std::unique_ptr<FormatToolbar> toolbar;
};

} // namespace

TEST_F(FormatToolbarTest, EveryWriteReachesEverySelectedKind)
{
    const QUuid text = add(K::StaticText{u"A"_s});
    const QUuid rectangle = add(K::Rectangle{});
    const QUuid image = add(K::Image{u"\"a.png\""_s});
    store.setSelectedElementIDs({rectangle, image});
    EXPECT_FALSE(toolbar->textGroup()->isEnabled()) << "no text element";
    EXPECT_EQ(groupOpacity(), 0.5);
    EXPECT_EQ(toolbar->fontPicker()->currentText(), u"Arial"_s);
    EXPECT_EQ(toolbar->sizeLabel()->text(), u"10"_s);

    store.setSelectedElementIDs({text, rectangle, image});
    EXPECT_TRUE(toolbar->textGroup()->isEnabled());
    EXPECT_EQ(groupOpacity(), 1.0);
    EXPECT_EQ(toolbar->fontPicker()->currentText(), u"SansSerif"_s);

    toolbar->toggle(u"bold"_s)->click();
    toolbar->toggle(u"underline"_s)->click();
    emit toolbar->fontPicker()->activated(int(toolbar->fontPicker()->findText(u"Courier New"_s)));
    toolbar->alignmentButton(u"text.aligncenter"_s)->click();
    toolbar->alignmentButton(u"align.vertical.bottom"_s)->click();
    toolbar->sizeUpButton()->click();
    for (const QUuid &id : {text, rectangle, image}) {
        const ReportElement e = at(id);
        SCOPED_TRACE(e.kind.displayName().toStdString());
        EXPECT_TRUE(e.isBold && e.isUnderline && !e.isItalic);
        EXPECT_EQ(e.fontName, u"Courier New"_s);
        EXPECT_EQ(e.textAlignment, TextAlignment::center);
        EXPECT_EQ(e.verticalAlignment, VerticalTextAlignment::bottom);
        EXPECT_EQ(e.fontSize, 11);
    }
    EXPECT_TRUE(toolbar->toggle(u"bold"_s)->isOn());
    EXPECT_TRUE(toolbar->alignmentButton(u"text.aligncenter"_s)->isChecked());

    // The toggle writes the negation of the first text element's flag to all.
    store.updateElement(rectangle, [](ReportElement &e) { e.isBold = false; });
    store.setSelectedElementIDs({text, rectangle});
    toolbar->toggle(u"bold"_s)->click();
    EXPECT_FALSE(at(text).isBold);
    EXPECT_FALSE(at(rectangle).isBold);
}

TEST_F(FormatToolbarTest, SizeClicksUndoAsOneStepOnOneElementAndOneEachOnTwo)
{
    const QUuid a = add(K::TextField{u"$F{a}"_s});
    const QUuid b = add(K::TextField{u"$F{b}"_s});
    store.updateElement(a, [](ReportElement &e) { e.fontSize = 10.7; });
    store.setSelectedElementIDs({a});
    // A fractional size shows its fraction.
    EXPECT_EQ(toolbar->sizeLabel()->text(), u"10.7"_s);
    const qsizetype depth = store.undoStack().size();
    for (int i = 0; i < 5; ++i) {
        now += 100;
        toolbar->sizeUpButton()->click();
    }
    EXPECT_EQ(at(a).fontSize, 15.7);
    EXPECT_EQ(toolbar->sizeLabel()->text(), u"15.7"_s);
    store.undo();
    EXPECT_EQ(at(a).fontSize, 10.7);
    EXPECT_EQ(store.undoStack().size(), depth);

    store.setSelectedElementIDs({a, b});
    for (int i = 0; i < 5; ++i)
        toolbar->sizeUpButton()->click();
    EXPECT_EQ(at(b).fontSize, at(a).fontSize);
    for (int i = 0; i < 5; ++i)
        store.undo();
    EXPECT_EQ(at(a).fontSize, 10.7);
    EXPECT_EQ(at(b).fontSize, 10);
    EXPECT_EQ(store.undoStack().size(), depth);
}

TEST_F(FormatToolbarTest, AnUnlistedFontAndABrokenSizeShowAndTheSnapSwitchFlips)
{
    const QUuid text = add(K::StaticText{u"A"_s});
    store.updateElement(text, [](ReportElement &e) {
        e.fontName = u"Gill Sans"_s;
        e.fontSize = std::numeric_limits<double>::quiet_NaN();
    });
    store.setSelectedElementIDs({text});
    EXPECT_EQ(toolbar->fontPicker()->count(), 9);
    EXPECT_EQ(toolbar->fontPicker()->currentText(), u"Gill Sans"_s);
    EXPECT_EQ(toolbar->sizeLabel()->text(), u"–"_s);
    toolbar->sizeUpButton()->click();
    EXPECT_EQ(at(text).fontSize, 11) << "steps from the default size";

    ToolbarToggleIcon *snap = toolbar->toggle(u"grid"_s);
    EXPECT_TRUE(snap->isOn());
    EXPECT_EQ(snap->toolTip(), u"Snap to Grid: On (click to disable)"_s);
    const qsizetype depth = store.undoStack().size();
    snap->click();
    EXPECT_FALSE(settings->isSnapToGridEnabled());
    EXPECT_EQ(snap->toolTip(), u"Snap to Grid: Off (click to enable)"_s);
    EXPECT_EQ(store.undoStack().size(), depth);
}

TEST_F(FormatToolbarTest, RePickingWhatIsShownWritesNothing)
{
    const QUuid a = add(K::StaticText{u"A"_s});
    const QUuid b = add(K::TextField{u"$F{b}"_s});
    store.updateElement(a, [](ReportElement &e) {
        e.fontName = u"Verdana"_s;
        e.textAlignment = TextAlignment::center;
    });
    store.setSelectedElementIDs({a, b});
    store.setIsDirty(false);
    toolbar->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(toolbar.get()));
    const ReportDocument before = store.document();
    const qsizetype depth = store.undoStack().size();
    QComboBox *picker = toolbar->fontPicker();
    // Picks the picker's entry at `index` with the mouse, in its open list.
    const auto pick = [picker](int index) {
        picker->showPopup();
        QAbstractItemView *list = picker->view();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
        const QPoint at = list->visualRect(list->model()->index(index, 0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    };

    // The two elements differ; the first one's values are shown, and picking them again
    // changes neither element, records no step and leaves the report unchanged.
    pick(picker->currentIndex());
    for (const QString &symbol : {u"text.alignleft"_s, u"text.aligncenter"_s}) {
        QToolButton *segment = toolbar->alignmentButton(symbol);
        if (segment->isChecked())
            QTest::mouseClick(segment, Qt::LeftButton);
    }
    QTest::mouseClick(toolbar->alignmentButton(u"align.vertical.top"_s), Qt::LeftButton);
    EXPECT_EQ(store.document(), before);
    EXPECT_EQ(store.undoStack().size(), depth);
    EXPECT_FALSE(store.isDirty());

    // Another font is one step for both.
    const int other = picker->findText(u"Courier New"_s);
    pick(other);
    EXPECT_EQ(at(a).fontName, u"Courier New"_s);
    EXPECT_EQ(at(b).fontName, u"Courier New"_s);
    EXPECT_EQ(store.undoStack().size(), depth + 1);
    EXPECT_TRUE(store.isDirty());
}
