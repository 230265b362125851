#include "widgets/DisclosureChevron.h"
#include "widgets/SymbolIcons.h"

#include <QDir>
#include <QImage>
#include <QTransform>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QImage drawn(DisclosureChevron &chevron)
{
    return chevron.grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

// The mean column of the ink in row `y` (pixels that differ from the corner), or -1 for none.
double inkColumn(const QImage &image, int y)
{
    const QRgb background = image.pixel(0, 0);
    double sum = 0;
    int count = 0;
    for (int x = 0; x < image.width(); ++x) {
        if (image.pixel(x, y) != background) {
            sum += x;
            ++count;
        }
    }
    return count == 0 ? -1 : sum / count;
}

TEST(DisclosureChevron, PointsRightWhenCollapsedAndDownWhenExpanded)
{
    SymbolIcons::useIconTheme(false);
    DisclosureChevron collapsed(false);
    DisclosureChevron expanded(true);
    EXPECT_FALSE(collapsed.isExpanded());
    EXPECT_TRUE(expanded.isExpanded());
    EXPECT_EQ(collapsed.width(), 10);
    EXPECT_EQ(expanded.width(), 10);
    EXPECT_EQ(collapsed.property(SymbolIcons::symbolProperty).toString(), u"chevron.right"_s);

    const QImage right = drawn(collapsed);
    const QImage down = drawn(expanded);
    const QString shots = QDir(QStringLiteral(QUILLMARK_BINARY_DIR)).filePath(u"screenshots"_s);
    QDir().mkpath(shots);
    right.scaled(80, 80).save(shots + u"/disclosure-chevron-collapsed.png"_s);
    down.scaled(80, 80).save(shots + u"/disclosure-chevron-expanded.png"_s);

    // A chevron pointing right has its tip, the rightmost ink, in the middle row, and its arms
    // reach further left above it.
    int top = 0;
    while (top < right.height() && inkColumn(right, top) < 0)
        ++top;
    ASSERT_LT(top, right.height() / 2) << "the chevron is drawn";
    EXPECT_GT(inkColumn(right, right.height() / 2), inkColumn(right, top) + 1);

    // Expanded is the same mark turned a quarter turn clockwise about its centre.
    EXPECT_NE(down, right);
    EXPECT_EQ(down, right.transformed(QTransform().rotate(90)));

    // The caller turns it by passing the new state.
    collapsed.setExpanded(true);
    EXPECT_EQ(drawn(collapsed), down);
}

TEST(DisclosureChevron, DrawsInTheDimmedTextColourOfThePalette)
{
    SymbolIcons::useIconTheme(false);
    for (const QColor text : {QColor(Qt::black), QColor(Qt::white)}) {
        DisclosureChevron chevron(false);
        QPalette palette = chevron.palette();
        palette.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
        palette.setColor(QPalette::WindowText, text);
        chevron.setPalette(palette);
        const QImage image = drawn(chevron);
        int darkest = 255;
        int lightest = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                darkest = std::min(darkest, qGray(image.pixel(x, y)));
                lightest = std::max(lightest, qGray(image.pixel(x, y)));
            }
        }
        // Dimmed: towards the text colour from the grey window, never all the way.
        if (text == QColor(Qt::black)) {
            EXPECT_LT(darkest, 0x80 - 20);
            EXPECT_GT(darkest, 0);
        } else {
            EXPECT_GT(lightest, 0x80 + 20);
            EXPECT_LT(lightest, 255);
        }
    }
}

} // namespace
