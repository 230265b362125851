// The canvas draws a report's texts, lines and shapes as the engine prints them: the report is
// opened as a user opens it, its elements are drawn as the canvas draws them, and the same file
// is printed by the real engine; both pictures are compared ink by ink.

#include "InkBounds.h"
#include "canvas/ElementPainter.h"
#include "canvas/ElementPlaceholders.h"
#include "engine/SidecarClient.h"
#include "model/JrxmlCodec.h"
#include "widgets/StyleEditorTexts.h"

#include "EngineTestSupport.h"
#include "PrintedFonts.h"
#include "TestSupport.h"

#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QJsonObject>
#include <QPainter>
#include <QPdfDocument>
#include <QRawFont>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Pixels a point, for both pictures.
constexpr int scale = 2;

using Ink = std::function<bool(QRgb)>;

bool red(QRgb p)
{
    return qRed(p) > 200 && qGreen(p) < 80 && qBlue(p) < 80;
}

bool magenta(QRgb p)
{
    return qRed(p) > 200 && qGreen(p) < 80 && qBlue(p) > 200;
}

bool blue(QRgb p)
{
    return qRed(p) < 80 && qGreen(p) < 80 && qBlue(p) > 200;
}

bool green(QRgb p)
{
    return qRed(p) < 80 && qGreen(p) > 150 && qBlue(p) < 80;
}

// Anything that is not (nearly) white paper.
bool anyInk(QRgb p)
{
    return qRed(p) < 235 || qGreen(p) < 235 || qBlue(p) < 235;
}

// The bounding box of the ink's pixels inside `points` (a rectangle in points); empty: none.
QRect inked(const QImage &image, const QRectF &points, const Ink &ink)
{
    const QRect region(int(points.x() * scale), int(points.y() * scale),
                       int(points.width() * scale), int(points.height() * scale));
    return inkbounds::inked(image, region, ink);
}

// The PostScript name of the face the font draws with, read from the face's name table: the name
// a PDF embeds the face under.
QString postScriptName(const QFont &font)
{
    const QByteArray table = QRawFont::fromFont(font).fontTable("name");
    const auto number = [&](qsizetype at) {
        return at + 2 <= table.size() ? int(uchar(table[at])) << 8 | uchar(table[at + 1]) : 0;
    };
    const int count = number(2), strings = number(4);
    for (int i = 0; i < count; ++i) {
        const qsizetype record = 6 + 12 * qsizetype(i);
        if (number(record + 6) != 6)
            continue;
        const QByteArray text = table.mid(strings + number(record + 10), number(record + 8));
        // Macintosh names are single bytes; Unicode and Windows ones UTF-16, big-endian.
        if (number(record) == 1)
            return QString::fromLatin1(text);
        QString name;
        for (qsizetype k = 0; k + 1 < text.size(); k += 2)
            name.append(QChar(char16_t(uchar(text[k]) << 8 | uchar(text[k + 1]))));
        return name;
    }
    return {};
}

QString fixture()
{
    return testsupport::sourceDir() + u"/tests/tools/roundtrip-fixtures/DrawnAsPrinted.jrxml"_s;
}

} // namespace

TEST(DrawnAsPrintedTest, TextsLinesAndShapesAreDrawnAsPrinted)
{
    QUILLMARK_REQUIRE_ENGINE();
    QTemporaryDir dir;
    const QString jrxml = dir.filePath(u"DrawnAsPrinted.jrxml"_s);
    ASSERT_TRUE(QFile::copy(fixture(), jrxml));
    QFile file(jrxml);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const ReportDocument report = JrxmlCodec::parse(file.readAll());
    file.close();
    ASSERT_EQ(report.groups.size(), 1);
    const ElementList elements = report.groups[0].headerElements;
    ASSERT_EQ(elements.size(), 10);
    // The line the file gives no height keeps its 0 and is one point high, as the engine reads
    // it.
    EXPECT_EQ(elements[4].height, 0);
    EXPECT_EQ(elements[4].printedHeight(), 1);

    const QString pdf = dir.filePath(u"DrawnAsPrinted.pdf"_s);
    const QSize pixels(int(report.pageWidth) * scale, int(report.pageHeight) * scale);
    QString refusal;
    const QImage printed = inkbounds::printedPage(
        *location, jrxml, dir.filePath(u"DrawnAsPrinted.jasper"_s), pdf, pixels, refusal);
    if (printed.isNull())
        FAIL() << "the engine refused the report: " << refusal.toStdString();
    printed.save(QStringLiteral(QUILLMARK_BINARY_DIR "/drawnasprinted-printed.png"));

    // The group header is the first band of the page, at its top.
    QImage drawn(pixels, QImage::Format_RGB32);
    drawn.fill(Qt::white);
    {
        QPainter painter(&drawn);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(scale, scale);
        const ElementFaceContext context{QUrl::fromLocalFile(jrxml), false, false, nullptr,
                                         &report.styles};
        for (const ReportElement &e : elements) {
            painter.save();
            painter.translate(e.x, e.y);
            ElementPainter::paintTree(&painter, e, context);
            painter.restore();
        }
    }
    drawn.save(QStringLiteral(QUILLMARK_BINARY_DIR "/drawnasprinted-drawn.png"));

    const auto compare = [&](const char *what, const QRectF &points, const Ink &ink,
                             int tolerance) {
        SCOPED_TRACE(what);
        const QRect want = inked(printed, points, ink);
        const QRect got = inked(drawn, points, ink);
        ASSERT_EQ(got.isEmpty(), want.isEmpty())
            << "printed " << want.width() << "x" << want.height() << ", drawn " << got.width()
            << "x" << got.height();
        if (want.isEmpty())
            return;
        EXPECT_NEAR(got.top(), want.top(), tolerance);
        EXPECT_NEAR(got.bottom(), want.bottom(), tolerance);
        EXPECT_NEAR(got.left(), want.left(), tolerance);
        EXPECT_NEAR(got.right(), want.right(), tolerance);
    };
    // Text: the same face, size and colour, so the ink is as high and as wide (within the
    // rasterisers' differences at the glyphs' edges); the canvas sets text a little inside its
    // box, so its left edge is not compared.
    const auto compareText = [&](const char *what, const QRectF &points, const Ink &ink) {
        SCOPED_TRACE(what);
        const QRect want = inked(printed, points, ink);
        const QRect got = inked(drawn, points, ink);
        ASSERT_FALSE(want.isEmpty());
        ASSERT_FALSE(got.isEmpty());
        EXPECT_NEAR(got.top(), want.top(), 3);
        EXPECT_NEAR(got.bottom(), want.bottom(), 3);
        EXPECT_NEAR(got.width(), want.width(), want.width() / 25);
    };
    // A style without a parent takes the default style's 20-point red serif, and its own bold.
    compareText("parentless style", QRectF(10, 10, 300, 30), red);
    // A frame without a box and a rectangle whose pen has no width print no border.
    compare("boxless frame", QRectF(5, 45, 110, 50), anyInk, 0);
    compare("width-0 pen", QRectF(125, 45, 110, 50), anyInk, 0);
    // A 4-point magenta rule prints its whole width, centred on the middle of its point.
    compare("4-point rule", QRectF(0, 100, 220, 20), magenta, 1);
    // A line of no height is a rule one point high; its pen takes the default style's colour.
    compare("zero-height line", QRectF(0, 122, 220, 16), red, 0);
    // A pen coloured by the element's style.
    compare("style's pen colour", QRectF(0, 142, 220, 16), magenta, 1);
    // Thick outlines print their whole width, centred on the edge: half of it outside the box.
    const auto compareStroke = [&](const char *what, const QRectF &points, const Ink &ink) {
        ASSERT_FALSE(inked(printed, points, ink).isEmpty()) << what << ": nothing printed";
        compare(what, points, ink, 1);
    };
    compareStroke("4-point rectangle", QRectF(250, 40, 125, 60), blue);
    compareStroke("6-point ellipse", QRectF(250, 100, 125, 60), green);
    // A line of no size prints nothing, however wide its pen.
    compare("line of no size", QRectF(370, 10, 28, 28), anyInk, 0);
    // A frame's sides each print at their own width; a side of width 0 prints none.
    compareStroke("frame sides", QRectF(250, 160, 125, 40), blue);
}

// Each family the designer offers, and the free families that reports name, prints every style
// (regular, bold, italic, bold italic) in the face the canvas draws that style with, embedded:
// bold text is not the regular face made heavier, which is narrower than the canvas's.
TEST(DrawnAsPrintedTest, EveryOfferedFamilyPrintsEachStyleInTheFaceTheCanvasDraws)
{
    QUILLMARK_REQUIRE_ENGINE();
    if (QStandardPaths::findExecutable(u"pdffonts"_s).isEmpty())
        GTEST_SKIP() << "needs pdffonts (poppler-utils)";
    const QStringList freeFamilies{
        u"DejaVu Sans"_s,      u"DejaVu Serif"_s,    u"DejaVu Sans Mono"_s, u"Liberation Sans"_s,
        u"Liberation Serif"_s, u"Liberation Mono"_s, u"Carlito"_s};
    for (const QString &family : freeFamilies) {
        if (!QFontDatabase::hasFamily(family))
            GTEST_SKIP() << family.toStdString()
                         << " is not installed (fonts-dejavu, fonts-liberation2, "
                            "fonts-crosextra-carlito)";
    }
    QStringList families = StyleEditorTexts::fontNames();
    families << u"Serif"_s << u"Monospaced"_s << freeFamilies;
    families.removeDuplicates();

    QTemporaryDir dir;
    SidecarClient client;
    client.start(*location);
    for (const QString &family : families) {
        SCOPED_TRACE(family.toStdString());
        QList<std::pair<QByteArray, QByteArray>> texts;
        QStringList expected;
        for (const bool bold : {false, true}) {
            for (const bool italic : {false, true}) {
                texts.append({"fontName=\"" + family.toUtf8() + "\" isBold=\"" +
                                  (bold ? "true" : "false") + "\" isItalic=\"" +
                                  (italic ? "true" : "false") + "\"",
                              "Quarterly Sales Summary"});
                // As the canvas makes the font of a text.
                QFont font = ElementPlaceholders::sceneFont(nullptr, family, 12);
                font.setBold(bold);
                font.setItalic(italic);
                expected.append(postScriptName(font) + u" embedded"_s);
            }
        }
        // Four faces of the family's own on the canvas.
        ASSERT_EQ(QStringList(expected).removeDuplicates(), 0)
            << expected.join(u", "_s).toStdString();
        // The PDF writer also sets up the face of text without a font on every page.
        expected.append(u"DejaVuSans embedded"_s);
        expected.removeDuplicates();
        expected.sort();

        const QString stem = dir.filePath(family.simplified().remove(u' '));
        const QString jrxmlPath = stem + u".jrxml"_s, pdf = stem + u".pdf"_s;
        QFile jrxml(jrxmlPath);
        ASSERT_TRUE(jrxml.open(QIODevice::WriteOnly));
        jrxml.write(testsupport::reportOfTexts(texts));
        jrxml.close();
        try {
            client.send(u"render"_s, QJsonObject{{u"jrxmlPath"_s, jrxmlPath},
                                                 {u"jasperPath"_s, QString(stem + u".jasper"_s)},
                                                 {u"pdfPath"_s, pdf}});
        } catch (const std::exception &refusal) {
            FAIL() << "the engine refused the report: " << refusal.what();
        }
        EXPECT_EQ(testsupport::pdfFonts(pdf), expected);
    }
}
