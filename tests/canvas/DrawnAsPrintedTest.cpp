// The canvas draws a report's texts, lines and shapes as the engine prints them: the report is
// opened as a user opens it, its elements are drawn as the canvas draws them, and the same file
// is printed by the real engine; both pictures are compared ink by ink.

#include "InkBounds.h"
#include "canvas/ElementPainter.h"
#include "canvas/ElementPlaceholders.h"
#include "canvas/ElementView.h"
#include "canvas/PrintFaces.h"
#include "engine/SidecarClient.h"
#include "model/JrxmlCodec.h"
#include "widgets/StyleEditorTexts.h"

#include "CanvasPointer.h"
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

// Where, inside `points`, the widest stretch of columns without ink between the first and the last
// inked one begins (in pixels): the space between the words of a line of two words, which tells
// which word stands first. -1: no such stretch.
int widestGap(const QImage &image, const QRectF &points, const Ink &ink)
{
    const QRect region(int(points.x() * scale), int(points.y() * scale),
                       int(points.width() * scale), int(points.height() * scale));
    const QRect bounds = inkbounds::inked(image, region, ink);
    int best = -1, bestWidth = 0, gapStart = -1;
    for (int x = bounds.left(); x <= bounds.right(); ++x) {
        const bool inked =
            !inkbounds::inked(image, QRect(x, region.top(), 1, region.height()), ink).isEmpty();
        if (!inked && gapStart < 0)
            gapStart = x;
        if (inked && gapStart >= 0) {
            if (x - gapStart > bestWidth) {
                bestWidth = x - gapStart;
                best = gapStart;
            }
            gapStart = -1;
        }
    }
    return best;
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

// The page of the report in pixels.
QSize pagePixels(const ReportDocument &report)
{
    return QSize(int(report.pageWidth) * scale, int(report.pageHeight) * scale);
}

// White paper `pixels` large.
QImage paper(QSize pixels)
{
    QImage image(pixels, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// The engine's print of the report at `jrxml` (its compiled report and PDF go beside it),
// `pixels` large, kept in the build folder as drawnasprinted-`shot`.png for a look; null, with
// the engine's refusal in `refusal`, when it does not print.
QImage printedPicture(const SidecarClient::Location &location, const QString &jrxml, QSize pixels,
                      const char *shot, QString &refusal)
{
    const QString stem = jrxml.chopped(int(qstrlen(".jrxml")));
    const QImage printed = inkbounds::printedPage(location, jrxml, stem + u".jasper"_s,
                                                  stem + u".pdf"_s, pixels, refusal);
    printed.save(QStringLiteral(QUILLMARK_BINARY_DIR "/drawnasprinted-") +
                 QString::fromLatin1(shot) + u".png"_s);
    return printed;
}

QString fixture(const QString &name = u"DrawnAsPrinted"_s)
{
    return testsupport::sourceDir() + u"/tests/tools/roundtrip-fixtures/"_s + name + u".jrxml"_s;
}

// The canvas's faces of `elements` (of the page's first band, at its top) on a white page of the
// report, `scale` pixels a point.
QImage drawnPage(const ReportDocument &report, const ElementList &elements, const QString &jrxml)
{
    QImage drawn = paper(pagePixels(report));
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
    return drawn;
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

    const QSize pixels = pagePixels(report);
    QString refusal;
    const QImage printed = printedPicture(*location, jrxml, pixels, "printed", refusal);
    if (printed.isNull())
        FAIL() << "the engine refused the report: " << refusal.toStdString();

    // The group header is the first band of the page, at its top.
    const QImage drawn = drawnPage(report, elements, jrxml);
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

// Texts break, align and fit as the engine prints them: trailing spaces do not count where a line
// is aligned, a slash does not break a word, a word too long for its box breaks at the character
// that no longer fits, a text that overflows its box shows the whole lines that fit, aligned in
// the box, and a box too low for a line shows none; fractional sizes print at their size and tabs
// at the tab stops (40 points apart, or as the paragraph or its style sets them); a text without
// tabs breaks only at spaces and hyphens, as the PDF writer breaks it.
TEST(DrawnAsPrintedTest, TextsBreakAndAlignAsPrinted)
{
    QUILLMARK_REQUIRE_ENGINE();
    QTemporaryDir dir;
    const QString jrxml = dir.filePath(u"DrawnAsPrintedTexts.jrxml"_s);
    ASSERT_TRUE(QFile::copy(fixture(u"DrawnAsPrintedTexts"_s), jrxml));
    QFile file(jrxml);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const ReportDocument report = JrxmlCodec::parse(file.readAll());
    file.close();
    ASSERT_TRUE(report.band(BandType::title));
    const ElementList elements = report.band(BandType::title)->elements;
    ASSERT_EQ(elements.size(), 32);

    QString refusal;
    const QImage printed =
        printedPicture(*location, jrxml, pagePixels(report), "texts-printed", refusal);
    if (printed.isNull())
        FAIL() << "the engine refused the report: " << refusal.toStdString();
    const QImage drawn = drawnPage(report, elements, jrxml);
    drawn.save(QStringLiteral(QUILLMARK_BINARY_DIR "/drawnasprinted-texts-drawn.png"));

    // Where the blue text shows inside `points`, and how far the canvas's left and right edges of
    // it lie from the print's: the canvas sets text 2 points inside its box at either side, so
    // left-aligned text starts 2 points further right, right-aligned text ends 2 points further
    // left, and text after a tab stands where the print's does.
    struct Row {
        const char *what;
        QRectF points;
        double leftShift;
        double rightShift;
    };
    const double line = 11.64; // the height of a line of 10-point DejaVu Sans
    const Row rows[] = {
        {"trailing spaces of right-aligned text", QRectF(10, 10, 200, 20), -2, -2},
        {"trailing spaces of centred text", QRectF(230, 10, 150, 20), 0, 0},
        {"a word with slashes, first line", QRectF(10, 40, 120, line), 2, 2},
        {"a word with slashes, second line", QRectF(10, 40 + line, 120, line), 2, 2},
        {"a word with slashes, third line", QRectF(10, 40 + 2 * line, 120, line), 2, 2},
        {"a long word, second line", QRectF(150, 40 + line, 62, line), 2, 2},
        {"a long word, third line", QRectF(150, 40 + 2 * line, 62, line), 2, 2},
        {"a long word, last line", QRectF(150, 40 + 3 * line, 62, line), 2, 2},
        {"overflowing bottom-aligned text", QRectF(230, 40, 70, 30), 2, 2},
        {"overflowing middle-aligned text", QRectF(320, 40, 70, 30), 2, 2},
        {"a box too low for a line", QRectF(410, 40, 50, 9), 0, 0},
        {"7.5 points", QRectF(10, 130, 300, 20), 2, 2},
        {"10.5 points", QRectF(10, 155, 300, 20), 2, 2},
        {"12.5 points", QRectF(10, 180, 320, 20), 2, 2},
        {"tabs 40 points apart", QRectF(10, 210, 200, 20), 2, 0},
        {"tabs of the style, 70 points apart", QRectF(10, 235, 250, 20), 2, 0},
        {"tabs of the paragraph, 55 points apart", QRectF(300, 210, 250, 20), 2, 0},
        {"a line of text without tabs ends at a space, not after a quote",
         QRectF(10, 265, 390, line), 2, 2},
        // Arabic and Persian letters are joined, so their words fit as printed; right-to-left
        // paragraphs are aligned as the element says.
        {"Arabic", QRectF(10, 315, 45, 15), 2, 2},
        {"Persian", QRectF(70, 315, 62, 15), 2, 2},
        {"Pashto", QRectF(150, 315, 50, 15), 2, 2},
        {"Hebrew", QRectF(220, 315, 70, 15), 2, 2},
        {"right-aligned Arabic", QRectF(310, 315, 80, 15), -2, -2},
        {"Arabic broken into lines, first line", QRectF(10, 340, 75, line), 2, 2},
        {"Arabic broken into lines, second line", QRectF(10, 340 + line, 75, line), 2, 2},
        {"Arabic within a left-to-right line", QRectF(100, 340, 100, 15), 2, 2},
        {"a right-to-left line with a Latin word", QRectF(220, 340, 90, 15), 2, 2},
        {"a Hebrew line with a Latin word", QRectF(330, 340, 90, 15), 2, 2},
        // A family the engine does not have prints in the PDF's Helvetica, or in the standard
        // font the text names, in its regular style; the text is measured in the system's face
        // for the family, so what fits and how far apart the lines are come from that face.
        {"a family the engine lacks", QRectF(10, 380, 280, 15), 2, 2},
        {"a family the engine lacks, bold", QRectF(300, 380, 280, 15), 2, 2},
        {"a family the engine lacks, first line", QRectF(10, 400, 160, line), 2, 2},
        {"a family the engine lacks, second line", QRectF(10, 400 + line, 160, line), 2, 2},
        {"a family the engine lacks, last line", QRectF(10, 400 + 2 * line, 160, line), 2, 2},
        {"a standard font's name as the family", QRectF(200, 400, 280, 15), 2, 2},
        {"a family the engine lacks, printed in Times", QRectF(200, 420, 280, 15), 2, 2},
        {"the runtime's logical Dialog, italic", QRectF(200, 440, 280, 15), 2, 2},
        // An older report's font: its family and weight, the size of the default style.
        {"a report font", QRectF(10, 450, 180, 15), 2, 2},
        // Courier, an old name the engine's runtime takes for its monospaced font, is measured
        // in the system's monospaced face and prints in Helvetica, or in the standard Courier.
        {"Courier, first line", QRectF(10, 475, 160, line), 2, 2},
        {"Courier, second line", QRectF(10, 475 + line, 160, line), 2, 2},
        {"Courier, last line", QRectF(10, 475 + 2 * line, 160, line), 2, 2},
        {"Courier printed in Courier", QRectF(200, 475, 280, 15), 2, 2},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        const QRect want = inked(printed, row.points, blue);
        const QRect got = inked(drawn, row.points, blue);
        EXPECT_EQ(got.isEmpty(), want.isEmpty())
            << "printed " << want.width() << "x" << want.height() << ", drawn " << got.width()
            << "x" << got.height();
        if (want.isEmpty() || got.isEmpty())
            continue;
        EXPECT_NEAR(got.top(), want.top(), 3);
        EXPECT_NEAR(got.bottom(), want.bottom(), 3);
        EXPECT_NEAR(got.left(), want.left() + row.leftShift * scale, 3);
        EXPECT_NEAR(got.right(), want.right() + row.rightShift * scale, 3);
    }
    // A paragraph whose first letter is Arabic or Hebrew reads from right to left, its Latin
    // word at the left; one that starts with a Latin letter from left to right.
    const struct {
        const char *what;
        QRectF points;
    } lines[] = {
        {"Arabic within a left-to-right line", QRectF(100, 340, 100, 15)},
        {"a right-to-left line with a Latin word", QRectF(220, 340, 90, 15)},
        {"a Hebrew line with a Latin word", QRectF(330, 340, 90, 15)},
    };
    for (const auto &l : lines) {
        SCOPED_TRACE(l.what);
        const int want = widestGap(printed, l.points, blue);
        ASSERT_GE(want, 0);
        EXPECT_NEAR(widestGap(drawn, l.points, blue), want + 2 * scale, 3);
    }
}

// Each family the designer offers, and every family the canvas takes the engine to have, prints
// every style (regular, bold, italic, bold italic) in the face the canvas draws that style with,
// embedded: bold text is not the regular face made heavier, which is narrower than the canvas's.
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
    families << PrintFaces::engineFamilies() << freeFamilies;
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

// Frames place their children inside their paddings, the pens of shapes inside a container or at
// a band's side edge print whole, half outside, and shapes and texts lower than the 4 points an
// element is hit at print no higher than they are: the report's title is drawn by the canvas as
// the user sees it (after giving a frame a style that pads it and dragging a child inside a padded
// frame), and printed by the engine from the file the canvas saved.
TEST(DrawnAsPrintedTest, ContainersAndThinShapesAreDrawnOnTheCanvasAsPrinted)
{
    QUILLMARK_REQUIRE_ENGINE();
    const QString name = u"DrawnAsPrintedContainers"_s;
    QTemporaryDir dir;
    const QString jrxml = dir.filePath(name + u".jrxml"_s);
    ASSERT_TRUE(QFile::copy(fixture(name), jrxml));
    QFile::setPermissions(jrxml, QFile::ReadOwner | QFile::WriteOwner);
    DocumentStore store;
    store.load(QUrl::fromLocalFile(jrxml));
    CanvasPointer pointer;
    pointer.showCanvas(&store, {900, 700});
    const BandTarget title = pointer.title;
    const ElementList elements = store.elements(title);
    ASSERT_EQ(elements.size(), 17);
    // The last frame is given the style that pads it, as Apply to Selected Element gives it.
    ASSERT_EQ(store.document().styles.size(), 1);
    store.applyStyle(store.document().styles.at(0), elements[11].id);

    // The child of the last frame (padding 10), dragged 40 points right and 20 down.
    const ReportElement &frame = elements[10];
    const QUuid child = frame.kind.children()->at(0).id;
    const ElementView *childView =
        pointer.band(title)->elementItems().value(frame.id)->children().value(child);
    ASSERT_NE(childView, nullptr);
    const QPointF grip =
        pointer.band(title)->body()->mapFromScene(childView->mapToScene(childView->box().center()));
    pointer.drag(pointer.at(title, grip), pointer.at(title, grip + QPointF(40, 20)));
    const std::optional<ReportElement> dropped = store.element(child);
    ASSERT_TRUE(dropped);
    EXPECT_EQ(QPointF(dropped->x, dropped->y), QPointF(40, 20));
    store.setSelectedElementIDs({});
    store.save(QUrl::fromLocalFile(jrxml));

    const ReportDocument &report = store.document();
    const QSize pixels = pagePixels(report);
    QString refusal;
    const QImage printed = printedPicture(*location, jrxml, pixels, "containers-printed", refusal);
    if (printed.isNull())
        FAIL() << "the engine refused the report: " << refusal.toStdString();

    // The page around the band's body as the canvas shows it, where the page prints the band.
    QImage drawn = paper(pixels);
    {
        QPainter painter(&drawn);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF around =
            QRectF(0, 0, report.pageWidth, report.pageHeight)
                .translated(-report.leftMargin, -report.topMargin)
                .translated(pointer.canvas.scene()->bodySceneRect(title).topLeft());
        pointer.canvas.scene()->render(&painter, QRectF(QPointF(), QSizeF(pixels)), around);
    }
    drawn.save(QStringLiteral(QUILLMARK_BINARY_DIR "/drawnasprinted-containers-drawn.png"));

    // Each row: where on the page (in points, around one element) one ink is compared.
    struct Row {
        const char *what;
        QRectF points;
        Ink ink;
    };
    const Row rows[] = {
        {"child of a frame a style pads by 8", {25, 25, 110, 60}, red},
        {"child of a frame padded by 10", {155, 25, 110, 60}, blue},
        {"child of a frame padded 20 left and 15 at the top", {285, 25, 110, 60}, green},
        {"child of a frame with a 3-point border and padding 6", {25, 95, 110, 60}, red},
        {"frame of its container's size with a 6-point pen", {150, 92, 120, 66}, blue},
        {"rectangle of its frame's size with a 6-point pen", {280, 92, 120, 66}, green},
        {"rectangle spanning the column with a 6-point pen", {5, 160, 410, 50}, magenta},
        {"rectangle 2 points high without pen", {25, 214, 210, 14}, red},
        {"rectangle 1 point high with its 1-point pen", {25, 229, 210, 14}, blue},
        {"opaque text 2 points high", {25, 244, 210, 14}, green},
        {"child dragged inside a frame padded by 10", {262, 202, 136, 86}, red},
        {"child of a frame given the style that pads it by 8", {25, 265, 110, 50}, red},
        // A shape folded flat prints a rule, half its pen longer where its outline starts.
        {"rectangle 0 points high with a 2-point pen", {20, 320, 170, 20}, blue},
        {"opaque rectangle 0 points wide with a 4-point pen", {205, 310, 30, 60}, green},
        {"ellipse 0 points high with a 3-point pen", {245, 320, 120, 20}, magenta},
        {"ellipse 0 points wide with a 2-point pen", {370, 310, 20, 60}, red},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        const QRect want = inked(printed, row.points, row.ink);
        const QRect got = inked(drawn, row.points, row.ink);
        ASSERT_FALSE(want.isEmpty()) << "nothing printed";
        ASSERT_FALSE(got.isEmpty()) << "nothing drawn";
        EXPECT_NEAR(got.top(), want.top(), 1);
        EXPECT_NEAR(got.bottom(), want.bottom(), 1);
        EXPECT_NEAR(got.left(), want.left(), 1);
        EXPECT_NEAR(got.right(), want.right(), 1);
    }
    // A shape of neither width nor height prints nothing, however wide its pen.
    const QRectF dot(20, 340, 20, 20);
    EXPECT_TRUE(inked(printed, dot, blue).isEmpty());
    EXPECT_TRUE(inked(drawn, dot, blue).isEmpty());
}
