#include "ModelBuilders.h"
#include "TestSupport.h"
#include "canvas/ElementFaceGeometry.h"
#include "canvas/ElementFrame.h"
#include "canvas/ElementImageLoader.h"
#include "canvas/ElementPainter.h"
#include "canvas/TextLabelCache.h"
#include "model/JrxmlCodec.h"
#include "widgets/SymbolIcons.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <array>
#include <gtest/gtest.h>
#include <random>

using namespace Qt::StringLiterals;

namespace {

const QString dataDir = QStringLiteral(QUILLMARK_SOURCE_DIR "/tests/canvas/data");

// What the picture shows inside one element's frame: where something is drawn, and how much.
struct Footprint {
    QRect bounds;
    int inked = 0;
};

bool isInk(QRgb pixel)
{
    return qRed(pixel) < 232 || qGreen(pixel) < 232 || qBlue(pixel) < 232;
}

Footprint footprint(const QImage &image, const QRect &region)
{
    Footprint f;
    const QRect inside = region.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (isInk(image.pixel(x, y))) {
                ++f.inked;
                f.bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return f;
}

class ElementRenderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SymbolIcons::useIconTheme(false);
        report = JrxmlCodec::parse(testsupport::readFile(dataDir + u"/allkinds.jrxml"_s));
        ASSERT_TRUE(report.band(BandType::title));
        elements = report.band(BandType::title)->elements;
        picture = render();
    }

    QImage render()
    {
        const ReportBand band = *report.band(BandType::title);
        QImage image(int(report.pageWidth), int(band.height), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        const ElementFaceContext context{QUrl::fromLocalFile(dataDir + u"/allkinds.jrxml"_s), false,
                                         false, &images};
        for (const ReportElement &element : band.elements) {
            painter.save();
            painter.translate(element.x, element.y);
            ElementPainter::paintTree(&painter, element, context);
            painter.restore();
        }
        return image;
    }

    QRect frameOf(const ReportElement &e) const
    {
        return ElementFaceGeometry::drawnFrame(e.width, e.height)
            .translated(e.x, e.y)
            .toAlignedRect();
    }

    QColor at(int x, int y) const { return picture.pixelColor(x, y); }

    ReportDocument report;
    QList<ReportElement> elements;
    ElementImageLoader images;
    QImage picture;
};

// Structure, not bytes: each element inks about as much of its frame, in about the same place,
// as in the picture checked by eye. Texts may differ with the installed fonts.
TEST_F(ElementRenderTest, EveryKindMatchesTheReferenceInStructure)
{
    const QString referencePath = dataDir + u"/allkinds-reference.png"_s;
    picture.save(QStringLiteral(QUILLMARK_BINARY_DIR "/allkinds-rendered.png"));
    if (qEnvironmentVariableIsSet("QUILLMARK_WRITE_REFERENCE"))
        picture.save(referencePath);
    const QImage reference(referencePath);
    ASSERT_FALSE(reference.isNull()) << "missing " << referencePath.toStdString();
    ASSERT_EQ(reference.size(), picture.size());
    ASSERT_EQ(elements.size(), 18);
    for (const ReportElement &e : elements) {
        SCOPED_TRACE(e.kind.displayName().toStdString());
        const bool textOnly = e.kind.isTextKind();
        const Footprint got = footprint(picture, frameOf(e));
        const Footprint want = footprint(reference, frameOf(e));
        ASSERT_GT(want.inked, 0);
        EXPECT_NEAR(got.inked, want.inked, std::max(40.0, want.inked * (textOnly ? 0.5 : 0.3)));
        const int slack = textOnly ? 30 : 6;
        EXPECT_NEAR(got.bounds.left(), want.bounds.left(), slack);
        EXPECT_NEAR(got.bounds.right(), want.bounds.right(), slack);
        EXPECT_NEAR(got.bounds.top(), want.bounds.top(), textOnly ? 8 : slack);
        EXPECT_NEAR(got.bounds.bottom(), want.bounds.bottom(), textOnly ? 8 : slack);
    }
}

TEST_F(ElementRenderTest, TextsAndShapesTakeTheirOwnColoursAndPlaces)
{
    // Red text at the bottom right, 2 points in from the right edge; no background.
    const Footprint text = footprint(picture, frameOf(elements[0]));
    EXPECT_LE(text.bounds.right(), 10 + 150 - 2);
    EXPECT_GE(text.bounds.right(), 10 + 150 - 8);
    EXPECT_GE(text.bounds.bottom(), 10 + 40 - 6);
    EXPECT_EQ(at(11, 11), QColor(Qt::white));
    EXPECT_GT(at(text.bounds.center().x(), text.bounds.bottom() - 3).red(), 100);
    // The text field's background fills it, insets included.
    EXPECT_EQ(at(171, 11), QColor(0xDD, 0xEE, 0xFF));
    // The rectangle: yellow inside, blue 3-point outline on its edge.
    EXPECT_EQ(at(170, 195), QColor(0xFF, 0xFF, 0x00));
    EXPECT_EQ(at(170, 170), QColor(0x00, 0x00, 0xFF));
    // The 200 x 1 rule is straight: ink on its row, none 2 points below at its far end.
    EXPECT_TRUE(isInk(picture.pixel(530, 170)));
    EXPECT_FALSE(isInk(picture.pixel(530, 172)));
    // The 100 x 40 line runs corner to corner.
    EXPECT_TRUE(isInk(picture.pixel(390, 200)));
    EXPECT_FALSE(isInk(picture.pixel(430, 185)));
}

TEST_F(ElementRenderTest, PicturesKeepTheirShapeAndPlaceholdersStandIn)
{
    // A 2:1 picture in a 100 x 60 frame is printed, and drawn, as large as fits with its shape
    // kept, at the top left: the frame's bottom 10 points stay empty.
    EXPECT_EQ(at(331, 40).red(), 0xD0);
    EXPECT_EQ(at(428, 40).blue(), 0xD0);
    EXPECT_EQ(footprint(picture, frameOf(elements[2])).inked, 100 * 50);
    EXPECT_EQ(at(380, 65), QColor(Qt::white));
    // A missing file: the grey placeholder, not the picture.
    const QColor grey = at(441, 11);
    EXPECT_EQ(grey.red(), grey.blue());
    EXPECT_LT(grey.red(), 250);
    // The same image in an unsaved report cannot be found either.
    const QImage unsaved = [&] {
        QImage image(100, 60, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        ElementPainter::paintContent(&painter, elements[2], QRectF(0, 0, 100, 60),
                                     ElementFaceContext{{}, false, false, &images});
        return image;
    }();
    EXPECT_NE(unsaved.pixelColor(1, 30).red(), 0xD0);
}

TEST_F(ElementRenderTest, ContainersClipTheirChildrenAndTablesScaleColumns)
{
    // The frame's child reaching past the frame is cut off at its edge.
    EXPECT_EQ(at(200, 310), QColor(0xFF, 0x88, 0x00));
    EXPECT_FALSE(isInk(picture.pixel(214, 310)));
    // Columns of 100 and 50 in 180 points: the boundary at 120.
    const QImage column = picture.copy(390 + 120 - 1, 260, 3, 80);
    EXPECT_GT(footprint(column, column.rect()).inked,
              footprint(picture, QRect(390 + 60, 260, 3, 80)).inked);
    // Breaks: orange bars across the middle of the row.
    for (const int y : {375, 400}) {
        const QColor bar = at(30, y);
        EXPECT_GT(bar.red(), 200) << y;
        EXPECT_LT(bar.blue(), 150) << y;
    }
}

// A frame's border takes its pens' colour; the frame's own fore colour is another value.
TEST_F(ElementRenderTest, FrameBorderTakesItsPensColour)
{
    const auto frameWith = [](const char *pens) {
        const QByteArray jrxml =
            QByteArray("<jasperReport><title><band height=\"40\"><frame><reportElement x=\"0\" "
                       "y=\"0\" width=\"40\" height=\"40\" forecolor=\"#00FF00\"/><box>") +
            pens + "</box></frame></band></title></jasperReport>";
        return JrxmlCodec::parse(jrxml).band(BandType::title)->elements.at(0);
    };
    const auto border = [&](const ReportElement &frame) {
        QImage image(40, 40, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        ElementPainter::paintTree(&painter, frame, ElementFaceContext{{}, false, false, &images});
        return image.pixelColor(20, 0);
    };
    EXPECT_EQ(border(frameWith("<topPen lineWidth=\"4.0\" lineColor=\"#0000FF\"/>")),
              QColor(0x00, 0x00, 0xFF));
    EXPECT_EQ(border(frameWith("<topPen lineWidth=\"4.0\"/>")), QColor(0x00, 0xFF, 0x00));
}

TEST_F(ElementRenderTest, SubreportShowsWhileItsFileIsCreated)
{
    const ReportElement &subreport = elements[4];
    auto face = [&](bool creating) {
        QImage image(150, 60, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        ElementPainter::paintContent(&painter, subreport, QRectF(0, 0, 150, 60),
                                     ElementFaceContext{{}, creating, false, &images});
        return image;
    };
    EXPECT_NE(face(true), face(false));
    EXPECT_EQ(face(false), picture.copy(frameOf(subreport)));
}

} // namespace

namespace {

using PrintedTextLayout::Format;

// A label drawn into a white picture of `size` points at `zoom` by a painter of `direction`:
// from the kept layout when `cached`, else laid out afresh and drawn piece by piece. The font is
// `scale` times larger than the label's, and the picture `scale` times smaller, as the canvas
// draws a fractional size.
QImage paintLabel(QSize size, double zoom, double scale, const QFont &font, const QRectF &box,
                  const Format &format, const QString &text, bool cached,
                  Qt::LayoutDirection direction = Qt::LayoutDirectionAuto)
{
    QImage image(size * zoom, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setLayoutDirection(direction);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(zoom / scale, zoom / scale);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QRectF scaled(box.topLeft() * scale, box.size() * scale);
    const Format scaledFormat{format.alignment, format.padding * scale, format.tabStopWidth * scale,
                              format.measuringFont};
    if (cached)
        TextLabelCache::draw(&painter, scaled, text, scaledFormat);
    else
        PrintedTextLayout::draw(&painter, scaled, text, scaledFormat);
    return image;
}

// A text font as the canvas makes one: measured as the engine measures.
QFont labelFont(const QString &family, int pixelSize)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    PrintedTextLayout::shapeAsPrinted(font);
    return font;
}

const int verticals[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
const int horizontals[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
// The nine placements of a text in its box.
const int alignments[] = {Qt::AlignTop | Qt::AlignLeft,        Qt::AlignTop | Qt::AlignHCenter,
                          Qt::AlignTop | Qt::AlignRight,       Qt::AlignVCenter | Qt::AlignLeft,
                          Qt::AlignVCenter | Qt::AlignHCenter, Qt::AlignVCenter | Qt::AlignRight,
                          Qt::AlignBottom | Qt::AlignLeft,     Qt::AlignBottom | Qt::AlignHCenter,
                          Qt::AlignBottom | Qt::AlignRight};

} // namespace

// Element texts are drawn from layouts kept between paints: they look exactly as they are laid
// out and drawn afresh, broken, aligned, cut to whole lines and decorated, at any zoom, the first
// time and from the kept layout.
TEST(TextLabelCacheTest, LabelsDrawAsLaidOutAfresh)
{
    const QString texts[] = {
        u"Total"_s,
        u"A label long enough to wrap onto a second and a third line here"_s,
        u"Averylongwordthatcannotwrapanywhereatall and more words below it to overflow"_s,
        u"First line\nSecond line"_s,
        u"Windows\r\nbreaks\n\nand an empty line\r"_s,
        u"See reports/monthly/summary/2024/final.pdf now"_s,
        u"Count : "_s,
        u"Col1\tCol2\tCol3\tand a long last column that wraps"_s,
        u"  (12,345.50) $5 it's \u00a0no-break"_s,
        u"\u0627\u0644\u062d\u0627\u0644\u0647 \u0627\u0644\u0632\u0648\u062c\u064a\u0647 Total "
        u"42\n"
        u"Total: \u0627\u0633\u0645 \u0627\u0644\u0627\u0645 and on"_s,
    };
    const QRectF box(3, 2, 120, 30);
    for (const double zoom : {1.0, 2.0}) {
        for (const bool underline : {false, true}) {
            QFont font = labelFont(u"DejaVu Sans"_s, 9);
            font.setItalic(zoom > 1);
            font.setUnderline(underline);
            for (const QString &text : texts) {
                for (const int alignment : alignments) {
                    for (const double tabStops : {40.0, 25.0}) {
                        const Format format{Qt::Alignment(alignment), 2, tabStops};
                        const auto paint = [&](bool cached) {
                            return paintLabel({130, 40}, zoom, 1, font, box, format, text, cached);
                        };
                        SCOPED_TRACE(testing::Message()
                                     << text.toStdString() << " alignment " << alignment
                                     << " tab stops " << tabStops << " zoom " << zoom);
                        const QImage drawn = paint(false);
                        EXPECT_EQ(paint(true), drawn);
                        EXPECT_EQ(paint(true), drawn) << "from the kept layout";
                    }
                }
            }
        }
    }
}

namespace {

// A random text of words (Latin, Arabic and Hebrew ones among them), spaces, tabs, line breaks and
// carriage returns, slashes, numbers and punctuation, from a small alphabet.
QString randomText(std::mt19937 &random)
{
    static const QString pieces[] = {u"a"_s,
                                     u"word"_s,
                                     u"Total"_s,
                                     u" "_s,
                                     u"  "_s,
                                     u"\n"_s,
                                     u"\r\n"_s,
                                     u"\r"_s,
                                     u"\n\n"_s,
                                     u"\u00e9t\u00e9"_s,
                                     u"Averylongwordthatcannotwrap"_s,
                                     u"1,234.50"_s,
                                     u"\t"_s,
                                     u"reports/monthly/"_s,
                                     u"/"_s,
                                     u"-"_s,
                                     u"(x)"_s,
                                     u"$5"_s,
                                     u"it's"_s,
                                     u"\u00a0"_s,
                                     u": "_s,
                                     u"\u0627\u0633\u0645"_s,
                                     u"\u0627\u0644\u0627\u0645"_s,
                                     u"\u05e9\u05dc\u05d5\u05dd"_s,
                                     u"\u0646\u0627\u0645 42"_s,
                                     u"office"_s};
    QString text;
    const int count = std::uniform_int_distribution<int>(1, 24)(random);
    for (int i = 0; i < count; ++i)
        text += pieces[std::uniform_int_distribution<size_t>(0, std::size(pieces) - 1)(random)];
    return text;
}

} // namespace

// The kept layouts against fresh ones over random texts, boxes, fonts, fractional sizes, tab
// stops, alignments, zooms and painters' directions: the same picture, line breaks, tabs,
// trailing spaces and lines cut off included.
TEST(TextLabelCacheTest, RandomLabelsDrawAsLaidOutAfresh)
{
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    const auto pick = [&](int from, int to) {
        return std::uniform_int_distribution<int>(from, to)(random);
    };
    for (int round = 0; round < 150; ++round) {
        const QString text = randomText(random);
        // Half and quarter sizes are drawn from fonts two and four times larger.
        const double scale = std::array{1.0, 2.0, 4.0}[pick(0, 2)];
        QFont font = labelFont(
            std::array{u"DejaVu Sans"_s, u"DejaVu Serif"_s, u"Liberation Sans"_s}[pick(0, 2)],
            pick(6 * int(scale), 14 * int(scale)));
        font.setBold(pick(0, 1));
        font.setItalic(pick(0, 1));
        // Some measured in another face than they are drawn in, as a family the engine lacks.
        std::optional<QFont> measuringFont;
        if (pick(0, 3) == 0) {
            measuringFont = labelFont(u"DejaVu Sans"_s, font.pixelSize());
            measuringFont->setBold(font.bold());
        }
        const Format format{Qt::Alignment(verticals[pick(0, 2)] | horizontals[pick(0, 2)]),
                            double(pick(0, 3)), double(pick(1, 60)), measuringFont};
        const QRectF box(pick(0, 4), pick(0, 4), pick(8, 150), pick(6, 70));
        const double zoom = pick(0, 1) ? 1.0 : 2.0;
        // The canvas's window paints from left to right, its pictures in the text's direction.
        const Qt::LayoutDirection direction =
            std::array{Qt::LeftToRight, Qt::RightToLeft, Qt::LayoutDirectionAuto}[pick(0, 2)];
        const auto paint = [&](bool cached) {
            return paintLabel({160, 80}, zoom, scale, font, box, format, text, cached, direction);
        };
        const QImage drawn = paint(false);
        ASSERT_EQ(paint(true), drawn)
            << "round " << round << ": " << QString(text).replace(u'\n', u"\\n"_s).toStdString()
            << " alignment " << format.alignment.toInt() << " box " << box.width() << "x"
            << box.height() << " size " << font.pixelSize() << "/" << scale << " tab stops "
            << format.tabStopWidth << " zoom " << zoom << " direction " << direction;
    }
}

// A text far longer than its box shows is laid out and kept only as far as the box shows it,
// whatever its alignment: the picture is the one laid out afresh all the same.
TEST(TextLabelCacheTest, RandomLongLabelsDrawAsLaidOutAfresh)
{
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    const auto pick = [&](int from, int to) {
        return std::uniform_int_distribution<int>(from, to)(random);
    };
    for (int round = 0; round < 20; ++round) {
        QString text;
        while (text.size() < 40000)
            text += randomText(random);
        const QFont font = labelFont(u"DejaVu Sans"_s, pick(6, 14));
        const Format format{Qt::Alignment(verticals[pick(0, 2)] | horizontals[pick(0, 2)]), 2, 40};
        const QRectF box(pick(0, 4), pick(0, 4), pick(8, 150), pick(6, 70));
        const auto paint = [&](bool cached) {
            return paintLabel({160, 80}, 1.0, 1, font, box, format, text, cached);
        };
        ASSERT_EQ(paint(true), paint(false))
            << "round " << round << " alignment " << format.alignment.toInt() << " box "
            << box.width() << "x" << box.height();
    }
}

// The frames of elements copied from kept pictures against the same drawn directly, over random
// boxes, zooms, places, pixel ratios and selections: a frame placed on an eighth of a device
// pixel shows the same pixels (but for a rounding step of the blending), one placed anywhere else
// no more than the part of a pixel it was moved by; the handles stand on the same pixels.
TEST(ElementFrameTest, RandomFramesDrawAsDrawnDirectly)
{
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    const auto pick = [&](int from, int to) {
        return std::uniform_int_distribution<int>(from, to)(random);
    };
    for (int round = 0; round < 400; ++round) {
        const QRectF box(0, 0, pick(2, 800) / 4.0, pick(2, 400) / 4.0);
        const double zoom = std::array{0.5, 0.75, 1.0, 1.25, 1.5, 2.0, 3.0}[pick(0, 6)];
        const qreal ratio = pick(1, 2);
        const bool onEighths = pick(0, 1);
        const QPointF place = onEighths ? QPointF(pick(0, 160), pick(0, 160)) / 8
                                        : QPointF(pick(0, 20000), pick(0, 20000)) / 1000;
        const bool selected = pick(0, 1);
        const bool handles = selected && pick(0, 1);
        const auto paint = [&](bool kept) {
            QImage image(QSize(240, 160) * ratio, QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::white);
            QPainter painter(&image);
            painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
            painter.translate(QPointF(8, 8) + place / ratio);
            painter.scale(zoom, zoom);
            kept ? ElementFrame::draw(&painter, box, selected, handles)
                 : ElementFrame::paint(&painter, box, selected, handles);
            return image;
        };
        const QImage direct = paint(false);
        const QImage kept = paint(true);
        // Drawn once more from the picture kept by the first.
        ASSERT_EQ(paint(true), kept) << "round " << round;
        int largest = 0;
        for (int y = 0; y < direct.height(); ++y) {
            for (int x = 0; x < direct.width(); ++x) {
                const QRgb a = direct.pixel(x, y), b = kept.pixel(x, y);
                largest =
                    std::max({largest, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                              std::abs(qBlue(a) - qBlue(b))});
            }
        }
        ASSERT_LE(largest, onEighths ? 3 : 24)
            << "round " << round << ": box " << box.width() << "x" << box.height() << " zoom "
            << zoom << " ratio " << ratio << " place " << place.x() << "," << place.y()
            << (selected ? " selected" : "") << (handles ? " with handles" : "");
    }
}

// A static text's line breaks print as breaks: the canvas draws its two lines one under the
// other, not joined on one line.
TEST(TextLabelCacheTest, AStaticTextsLineBreaksAreDrawn)
{
    ReportElement e = testsupport::element(ElementKind::StaticText{u"First line\nSecond line"_s});
    e.width = 300;
    e.height = 60;
    e.fontName = u"DejaVu Sans"_s;
    e.fontSize = 12;
    QImage image(300, 60, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        ElementPainter::paintContent(&painter, e, QRectF(0, 0, 300, 60), ElementFaceContext{});
    }
    // The rows with ink: two runs, one per line, separated by blank rows.
    QList<std::pair<int, int>> runs;
    for (int y = 0; y < image.height(); ++y) {
        if (footprint(image, QRect(0, y, image.width(), 1)).inked == 0)
            continue;
        if (!runs.isEmpty() && runs.last().second == y - 1)
            runs.last().second = y;
        else
            runs.append({y, y});
    }
    ASSERT_EQ(runs.size(), 2) << "one row of ink per line";
    // Each line is drawn whole on its own row: the first line's ink is no wider than the words
    // "First line" are.
    const int firstWidth =
        footprint(image, QRect(0, runs[0].first, 300, runs[0].second - runs[0].first + 1))
            .bounds.width();
    QFont font(u"DejaVu Sans"_s);
    font.setPixelSize(12);
    EXPECT_LE(firstWidth, QFontMetrics(font).horizontalAdvance(u"First line"_s) + 2);
}
