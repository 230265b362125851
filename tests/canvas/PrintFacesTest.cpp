// The canvas draws text in the faces the print uses for the engine's font families.

#include "canvas/PrintFaces.h"
#include "TestSupport.h"
#include "canvas/ElementPainter.h"
#include "canvas/ElementPlaceholders.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// How wide the ink of a one-line static text in the family is.
int inkedWidth(const QString &family, const QString &text)
{
    ReportElement e;
    e.kind = ElementKind::StaticText{text};
    e.width = 400;
    e.height = 20;
    e.fontName = family;
    e.fontSize = 10;
    QImage image(400, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    ElementPainter::paintContent(&painter, e, QRectF(0, 0, 400, 20), ElementFaceContext{});
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
