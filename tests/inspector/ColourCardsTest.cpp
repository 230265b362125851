#include "EngineJudge.h"
#include "InspectorViewFixture.h"
#include "TestSupport.h"
#include "canvas/ElementPainter.h"
#include "inspector/ColorRow.h"
#include "widgets/AppPalettes.h"
#include "widgets/ColorWell.h"

#include <QApplication>
#include <QColorDialog>
#include <QFile>
#include <QPainter>
#include <QPdfDocument>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <cmath>

using namespace storetest;

namespace {

class ColourCardsTest : public InspectorViewTest {
protected:
    ReportElement stored(const ReportElement &e) const { return *store.element(e.id); }
    // Writes the report text to a file of that name and opens it, as a user opens a file.
    bool open(const QString &name, const QByteArray &jrxml)
    {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(jrxml) != jrxml.size())
            return false;
        file.close();
        store.load(QUrl::fromLocalFile(file.fileName()));
        return true;
    }

    QTemporaryDir dir;
};

} // namespace

// Cancel in the colour dialog puts back the colour it opened with, however long the user took
// and however many colours the dialog passed through: no undo step, no dirty mark. OK keeps the
// last colour as one undo step.
TEST_F(ColourCardsTest, CancelInTheColourDialogLeavesTheReportAsItWas)
{
    qint64 now = 0;
    store.setClock([&] { return now; });
    ReportElement field = textField();
    field.backColor = ElementColor{u"#123456"_s};
    field.topPen = BoxSidePen{1, ElementColor{u"#010203"_s}, PenLineStyle::solid};
    field.leftPen = BoxSidePen{1, std::nullopt, PenLineStyle::solid};
    selectNew(field);
    const ReportDocument before = store.document();
    const auto passThrough = [&](QColorDialog *dialog) {
        for (const QColor &colour : {QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255)}) {
            now += 5000; // far apart: without the dialog holding them they would be three steps
            dialog->setCurrentColor(colour);
        }
    };

    auto *highlight = find<ColorRow>(u"inspector.font.highlight"_s);
    ASSERT_TRUE(highlight);
    highlight->swatch()->click();
    passThrough(highlight->dialog());
    EXPECT_EQ(stored(field).backColor, ElementColor{u"#0000FF"_s});
    EXPECT_TRUE(store.isDirty());
    highlight->dialog()->reject();
    EXPECT_EQ(store.document(), before);
    EXPECT_FALSE(store.isDirty());
    EXPECT_FALSE(store.canUndo());
    EXPECT_EQ(highlight->shownColor(), QColor(0x12, 0x34, 0x56));

    // The borders' colour well: every selected side gets back its own colour.
    auto *colour = find<QToolButton>(u"inspector.borders.colour"_s);
    ASSERT_TRUE(colour);
    colour->click();
    auto *dialog = find<QColorDialog>(u"inspector.borders.colour.dialog"_s);
    ASSERT_TRUE(dialog);
    passThrough(dialog);
    EXPECT_EQ(stored(field).topPen->color, ElementColor{u"#0000FF"_s});
    dialog->reject();
    EXPECT_EQ(store.document(), before);
    EXPECT_FALSE(store.isDirty());
    EXPECT_FALSE(store.canUndo());

    // OK keeps the colour, as one undo step however long it took.
    highlight->swatch()->click();
    passThrough(highlight->dialog());
    highlight->dialog()->accept();
    EXPECT_EQ(stored(field).backColor, ElementColor{u"#0000FF"_s});
    EXPECT_TRUE(store.isDirty());
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(store.undoStack().size(), 1);
    store.undo();
    EXPECT_EQ(store.document(), before);
    EXPECT_FALSE(store.heldContinuousEdit());
}

// A fill chosen on an element whose file says it is transparent prints, and a fill cleared on
// an opaque one no longer prints: the engine prints what the canvas draws.
TEST_F(ColourCardsTest, FillsPrintAsTheCanvasDrawsThem)
{
    const QByteArray jrxml =
        "<jasperReport xmlns=\"http://jasperreports.sourceforge.net/jasperreports\" "
        "name=\"r\" pageWidth=\"200\" pageHeight=\"100\" columnWidth=\"200\" leftMargin=\"0\" "
        "rightMargin=\"0\" topMargin=\"0\" bottomMargin=\"0\"><title><band height=\"100\">"
        "<staticText><reportElement x=\"0\" y=\"0\" width=\"50\" height=\"50\" "
        "mode=\"Transparent\" backcolor=\"#FFFF00\"/><text><![CDATA[ ]]></text></staticText>"
        "<rectangle><reportElement x=\"100\" y=\"0\" width=\"50\" height=\"50\" "
        "backcolor=\"#00FF00\"/></rectangle>"
        "<frame><reportElement x=\"100\" y=\"0\" width=\"50\" height=\"50\" mode=\"Opaque\" "
        "backcolor=\"#0000FF\"/></frame></band></title></jasperReport>";
    ASSERT_TRUE(open(u"fills.jrxml"_s, jrxml));
    const ElementList elements = store.document().bands[1].elements;
    ASSERT_EQ(elements.size(), 3);

    // The canvas draws each background as printed: the transparent text shows none.
    const auto drawn = [&](const ReportElement &e) {
        QImage image(50, 50, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        ElementFaceContext context;
        context.styles = &store.document().styles;
        ElementPainter::paintContent(&painter, e, QRectF(0, 0, 50, 50), context);
        painter.end();
        return image.pixelColor(25, 25);
    };
    EXPECT_EQ(drawn(elements[0]).alpha(), 0);

    store.setSelectedElementID(elements[0].id);
    auto *highlight = find<ColorRow>(u"inspector.font.highlight"_s);
    ASSERT_TRUE(highlight);
    highlight->swatch()->click();
    highlight->dialog()->setCurrentColor(QColor(255, 0, 0));
    highlight->dialog()->accept();
    store.setSelectedElementID(elements[2].id);
    auto *fill = find<ColorRow>(u"inspector.fill.fill"_s);
    ASSERT_TRUE(fill);
    fill->clearButton()->click();
    const ElementList edited = store.document().bands[1].elements;
    EXPECT_EQ(drawn(edited[0]), QColor(255, 0, 0));
    EXPECT_EQ(drawn(edited[2]).alpha(), 0);

    QUILLMARK_REQUIRE_ENGINE();
    testsupport::EngineJudge engine(*location);
    QString pdf;
    ASSERT_EQ(engine.printError(store.document(), &pdf), std::nullopt);
    QPdfDocument printed;
    ASSERT_EQ(printed.load(pdf), QPdfDocument::Error::None);
    const QImage page = printed.render(0, QSize(200, 100));
    EXPECT_EQ(QColor(page.pixel(25, 25)), QColor(255, 0, 0)) << "the highlight prints";
    EXPECT_EQ(QColor(page.pixel(125, 25)), QColor(0, 255, 0)) << "under the cleared frame";
}

// The "Clear" link beside a colour is drawn in the accent colour, readable on the panel in every
// appearance, also under a dark platform palette that leaves the link colour at Qt's dark blue.
TEST(ColorRowLink, TheClearLinkStandsOutOnTheDarkPanel)
{
    QPalette platformDark = AppPalettes::dark();
    platformDark.setColor(QPalette::Link, QColor(0, 0, 255));
    for (const QPalette &palette : {AppPalettes::dark(), platformDark}) {
        QApplication::setPalette(palette);
        QWidget panel;
        AppPalettes::outlineControlsOnBase(&panel, palette);
        auto *row = new ColorRow(
            u"Highlight"_s, u"row"_s, [](auto) {}, &panel);
        row->showColor(ElementColor{u"#FFCC00"_s});
        panel.resize(300, 40);
        panel.show();
        QCoreApplication::processEvents();
        QPushButton *clear = row->clearButton();
        ASSERT_TRUE(clear->isVisible());
        const QImage image = clear->grab().toImage();
        const auto luminance = [](const QColor &c) {
            const auto channel = [](double v) {
                return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
            };
            return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
                   0.0722 * channel(c.blueF());
        };
        // The background is the corner's colour; the text's pixels differ from it the most.
        const double ground = luminance(QColor(image.pixel(0, 0)));
        double contrast = 1;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const double l = luminance(QColor(image.pixel(x, y)));
                contrast =
                    std::max(contrast, (std::max(l, ground) + 0.05) / (std::min(l, ground) + 0.05));
            }
        EXPECT_GE(contrast, 3.0) << "the link's text hardly stands out from the panel";
    }
    QApplication::setPalette(AppPalettes::light());
}

// A well shows what prints: "none" where no fill is set and none prints, the colour a
// transparent element keeps marked as not printed, the white an opaque one without a colour
// prints. A colour picked on "none" prints, and the report compiles.
TEST_F(ColourCardsTest, FillWellsShowWhatPrints)
{
    const QByteArray jrxml =
        "<jasperReport xmlns=\"http://jasperreports.sourceforge.net/jasperreports\" "
        "name=\"r\" pageWidth=\"300\" pageHeight=\"100\" columnWidth=\"300\" leftMargin=\"0\" "
        "rightMargin=\"0\" topMargin=\"0\" bottomMargin=\"0\"><title><band height=\"100\">"
        "<textField><reportElement x=\"0\" y=\"0\" width=\"50\" height=\"50\"/>"
        "<textFieldExpression><![CDATA[\"a\"]]></textFieldExpression></textField>"
        "<staticText><reportElement x=\"50\" y=\"0\" width=\"50\" height=\"50\" "
        "mode=\"Transparent\" backcolor=\"#FFFF00\"/><text><![CDATA[b]]></text></staticText>"
        "<frame><reportElement x=\"100\" y=\"0\" width=\"50\" height=\"50\"/></frame>"
        "<rectangle><reportElement x=\"150\" y=\"0\" width=\"50\" height=\"50\"/></rectangle>"
        "</band></title></jasperReport>";
    ASSERT_TRUE(open(u"wells.jrxml"_s, jrxml));
    const ElementList elements = store.document().bands[1].elements;
    ASSERT_EQ(elements.size(), 4);
    struct Case {
        int element;
        QString row;
        ColorWell::Look look;
        QColor shown;
        QString tip;
    };
    const QList<Case> cases = {
        {0, u"inspector.font.highlight"_s, ColorWell::Look::none, Qt::white, u"None"_s},
        {1, u"inspector.font.highlight"_s, ColorWell::Look::notPrinted, QColor(255, 255, 0),
         u"#FFFF00, not printed: the element is transparent"_s},
        {2, u"inspector.fill.fill"_s, ColorWell::Look::none, Qt::white, u"None"_s},
        {3, u"inspector.shape.fill"_s, ColorWell::Look::colour, Qt::white, u"#FFFFFF"_s},
    };
    // The inspector's cards of the element selected before go once the event loop runs.
    const auto select = [&](int index) {
        store.setSelectedElementID(elements[index].id);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.element);
        select(c.element);
        auto *row = find<ColorRow>(c.row);
        ASSERT_TRUE(row);
        EXPECT_EQ(row->colorWell()->look(), c.look);
        EXPECT_EQ(row->shownColor(), c.shown);
        EXPECT_EQ(row->swatch()->toolTip(), c.tip);
        EXPECT_EQ(row->clearButton()->isVisibleTo(row), c.element == 3)
            << "the white the rectangle prints is its own; the transparent one's is not set";
    }
    // The text colour prints black where none is set: it says so.
    select(0);
    auto *text = find<ColorRow>(u"inspector.font.text"_s);
    EXPECT_EQ(text->colorWell()->look(), ColorWell::Look::colour);
    EXPECT_EQ(text->shownColor(), QColor(Qt::black));

    // A colour picked on "none" is set and prints; Clear goes back to "none".
    auto *highlight = find<ColorRow>(u"inspector.font.highlight"_s);
    QTest::mouseClick(highlight->swatch(), Qt::LeftButton);
    ASSERT_TRUE(highlight->dialog());
    EXPECT_EQ(highlight->dialog()->currentColor(), QColor(Qt::white)) << "opens on white";
    highlight->dialog()->setCurrentColor(QColor(0, 128, 255));
    highlight->dialog()->accept();
    EXPECT_EQ(highlight->colorWell()->look(), ColorWell::Look::colour);
    EXPECT_EQ(highlight->shownColor(), QColor(0, 128, 255));
    // The colour a transparent element keeps is where its dialog opens, and picked it prints.
    select(1);
    highlight = find<ColorRow>(u"inspector.font.highlight"_s);
    QTest::mouseClick(highlight->swatch(), Qt::LeftButton);
    EXPECT_EQ(highlight->dialog()->currentColor(), QColor(255, 255, 0));
    highlight->dialog()->setCurrentColor(QColor(255, 0, 0));
    highlight->dialog()->setCurrentColor(QColor(255, 255, 0));
    highlight->dialog()->accept();
    EXPECT_EQ(store.element(elements[1].id)->backColor, ElementColor{u"#FFFF00"_s});
    EXPECT_EQ(highlight->colorWell()->look(), ColorWell::Look::colour);
    // Clear on the rectangle's fill leaves "none": it no longer prints.
    select(3);
    auto *fill = find<ColorRow>(u"inspector.shape.fill"_s);
    QTest::mouseClick(fill->clearButton(), Qt::LeftButton);
    EXPECT_EQ(fill->colorWell()->look(), ColorWell::Look::none);
    EXPECT_EQ(fill->swatch()->toolTip(), u"None"_s);

    QUILLMARK_REQUIRE_ENGINE();
    testsupport::EngineJudge engine(*location);
    QString pdf;
    ASSERT_EQ(engine.printError(store.document(), &pdf), std::nullopt);
    QPdfDocument printed;
    ASSERT_EQ(printed.load(pdf), QPdfDocument::Error::None);
    const QImage page = printed.render(0, QSize(300, 100));
    EXPECT_EQ(QColor(page.pixel(40, 40)), QColor(0, 128, 255)) << "the picked highlight prints";
    EXPECT_EQ(QColor(page.pixel(90, 40)), QColor(255, 255, 0)) << "and the kept one, picked";
}
