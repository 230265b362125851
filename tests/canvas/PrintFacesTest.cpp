// The canvas draws text in the faces the print uses for the engine's font families.

#include "canvas/PrintFaces.h"
#include "TestSupport.h"
#include "canvas/ElementPainter.h"
#include "canvas/ElementPlaceholders.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// How wide the ink of a one-line static text in the family is, at `size` points a pixel each.
int inkedWidth(const QString &family, const QString &text, double size = 10)
{
    ReportElement e;
    e.kind = ElementKind::StaticText{text};
    e.width = 60 * size;
    e.height = 2 * size;
    e.fontName = family;
    e.fontSize = size;
    QImage image(int(e.width), int(e.height), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    ElementPainter::paintContent(&painter, e, QRectF(0, 0, e.width, e.height),
                                 ElementFaceContext{});
    painter.end();
    int left = image.width(), right = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 200) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    return right - left + 1;
}

} // namespace

TEST(PrintFaces, LogicalFamiliesAreTheFacesThePrintEmbeds)
{
    EXPECT_EQ(PrintFaces::drawnFamily(u"SansSerif"_s), u"DejaVu Sans"_s);
    EXPECT_EQ(PrintFaces::drawnFamily(u"Serif"_s), u"DejaVu Serif"_s);
    EXPECT_EQ(PrintFaces::drawnFamily(u"Monospaced"_s), u"DejaVu Sans Mono"_s);
    EXPECT_EQ(PrintFaces::drawnFamily(u"Helvetica"_s), u"Liberation Sans"_s);
    // A mapped face that is installed is printed in itself, else in its twin.
    const bool hasArial = QFontDatabase::families().contains(u"Arial"_s, Qt::CaseInsensitive);
    EXPECT_EQ(PrintFaces::drawnFamily(u"Arial"_s), hasArial ? u"Arial"_s : u"Liberation Sans"_s);
    EXPECT_EQ(PrintFaces::drawnFamily(u"DejaVu Serif"_s), u"DejaVu Serif"_s);
    EXPECT_EQ(PrintFaces::drawnFamily(u"Some Face"_s), u"Some Face"_s);
    // The engine tells families apart by their letter case: one it lacks prints in the PDF's
    // standard face, regular whatever the text's style.
    const PrintFaces::TextFaces lowerCase =
        PrintFaces::textFaces(u"dejavu sans"_s, std::nullopt, true, true);
    EXPECT_EQ(lowerCase.family, u"Liberation Sans"_s);
    EXPECT_FALSE(lowerCase.isBold || lowerCase.isItalic);
    // Or in the standard font the text names for the PDF, in that font's style.
    const PrintFaces::TextFaces named =
        PrintFaces::textFaces(u"Some Face"_s, u"Courier-BoldOblique"_s, false, false);
    EXPECT_EQ(named.family, u"Liberation Mono"_s);
    EXPECT_TRUE(named.isBold && named.isItalic);
    // Courier, in any letter case, is an old name the engine's runtime takes for its monospaced
    // font: measured as DialogInput is, in the system's monospaced face, printed in Helvetica.
    const PrintFaces::TextFaces dialogInput =
        PrintFaces::textFaces(u"DialogInput"_s, std::nullopt, false, false);
    ASSERT_TRUE(dialogInput.measuredFamily);
    const QFontMetricsF measured{QFont(*dialogInput.measuredFamily, 10)};
    EXPECT_NEAR(measured.horizontalAdvance(u"iiiiiiii"_s),
                measured.horizontalAdvance(u"MMMMMMMM"_s), 0.5)
        << dialogInput.measuredFamily->toStdString() << " is not monospaced";
    for (const QString &courier : {u"Courier"_s, u"COURIER"_s}) {
        const PrintFaces::TextFaces faces =
            PrintFaces::textFaces(courier, std::nullopt, false, false);
        EXPECT_EQ(faces.measuredFamily, dialogInput.measuredFamily) << courier.toStdString();
        EXPECT_EQ(faces.family, u"Liberation Sans"_s);
    }

    if (!QFontDatabase::families().contains(u"DejaVu Sans Mono"_s))
        GTEST_SKIP() << "DejaVu Sans Mono is not installed";
    const QFont font = ElementPlaceholders::sceneFont(nullptr, u"Monospaced"_s, 10);
    EXPECT_EQ(QFontInfo(font).family(), u"DejaVu Sans Mono"_s);
    EXPECT_TRUE(QFontInfo(font).fixedPitch());
}

// Text in the logical family Monospaced is drawn with characters of one width, as printed.
TEST(PrintFaces, MonospacedTextIsDrawnMonospaced)
{
    if (!QFontDatabase::families().contains(u"DejaVu Sans Mono"_s))
        GTEST_SKIP() << "DejaVu Sans Mono is not installed";
    const int narrow = inkedWidth(u"Monospaced"_s, u"iiiiiiiiiiiiiiii"_s);
    const int wide = inkedWidth(u"Monospaced"_s, u"MMMMMMMMMMMMMMMM"_s);
    EXPECT_NEAR(narrow, wide, wide * 0.15) << "narrow " << narrow << ", wide " << wide;
    // A proportional face is not.
    EXPECT_LT(inkedWidth(u"SansSerif"_s, u"iiiiiiiiiiiiiiii"_s),
              inkedWidth(u"SansSerif"_s, u"MMMMMMMMMMMMMMMM"_s) / 2);
}

// Texts are drawn with the advances the engine measures them by: Latin letters without kerning or
// ligatures, as wide as with a mark that breaks both between every two letters; the letters of
// Arabic and Persian words joined, narrower than kept apart by such marks.
TEST(PrintFaces, TextsAreShapedAsTheEngineMeasuresThem)
{
    const struct {
        QString family;
        QString text;
        bool joined;
    } cases[] = {
        {u"DejaVu Serif"_s, u"office affluent fluffy waffles AVATAR To Yo"_s, false},
        {u"DejaVu Sans"_s, u"office affluent fluffy waffles AVATAR To Yo"_s, false},
        {u"Carlito"_s, u"office affluent fluffy waffles AVATAR To Yo"_s, false},
        {u"DejaVu Sans"_s,
         u"\u0627\u0644\u062d\u0627\u0644\u0647 \u0627\u0644\u0632\u0648\u062c\u064a\u0647"_s,
         true},
        {u"DejaVu Sans"_s, u"\u0646\u0627\u0645 \u062e\u0627\u0646\u0648\u0627\u062f\u06af\u06cc"_s,
         true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        if (!QFontDatabase::families().contains(c.family))
            GTEST_SKIP() << c.family.toStdString() << " is not installed";
        QString apart;
        for (const QChar ch : c.text)
            apart += QString(ch) + QChar(0x200C); // zero-width non-joiner
        const int drawn = inkedWidth(c.family, c.text, 40);
        const int kept = inkedWidth(c.family, apart, 40);
        if (c.joined)
            EXPECT_LT(drawn, kept * 0.9);
        else
            EXPECT_NEAR(drawn, kept, 1);
    }
}
