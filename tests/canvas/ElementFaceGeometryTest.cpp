#include "canvas/ElementFaceGeometry.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

using namespace ElementFaceGeometry;
using namespace Qt::StringLiterals;

TEST(ElementFaceGeometryTest, ColoursFallBackByUse)
{
    const struct {
        std::optional<ElementColor> color;
        QColor stroke;
        QColor fill;
    } cases[] = {
        {ElementColor{u"#FF0000"_s}, QColor(255, 0, 0), QColor(255, 0, 0)},
        {ElementColor{u"00ff7F"_s}, QColor(0, 255, 127), QColor(0, 255, 127)},
        {std::nullopt, QColor(Qt::black), QColor(Qt::transparent)},
        {ElementColor{u"red"_s}, QColor(Qt::black), QColor(Qt::transparent)},
        {ElementColor{u"#F00"_s}, QColor(Qt::black), QColor(Qt::transparent)},
        {ElementColor{QString()}, QColor(Qt::black), QColor(Qt::transparent)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.color ? c.color->hex.toStdString() : "absent");
        EXPECT_EQ(displayColor(c.color, ColorUse::stroke).rgba(), c.stroke.rgba());
        EXPECT_EQ(displayColor(c.color, ColorUse::fill).rgba(), c.fill.rgba());
    }
}

TEST(ElementFaceGeometryTest, NinePlacements)
{
    const TextAlignment horizontals[] = {TextAlignment::left, TextAlignment::center,
                                         TextAlignment::right};
    const VerticalTextAlignment verticals[] = {
        VerticalTextAlignment::top, VerticalTextAlignment::middle, VerticalTextAlignment::bottom};
    const Qt::Alignment hFlags[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    const Qt::Alignment vFlags[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
    QSet<int> distinct;
    for (int h = 0; h < 3; ++h) {
        for (int v = 0; v < 3; ++v) {
            const Qt::Alignment placed = frameAlignment(horizontals[h], verticals[v]);
            EXPECT_EQ(placed, hFlags[h] | vFlags[v]) << h << "," << v;
            distinct.insert(int(placed));
        }
    }
    EXPECT_EQ(distinct.size(), 9);
    // Texts are inset horizontally only, whatever the paddings.
    EXPECT_EQ(textBox(drawnFrame(100, 20)), QRectF(2, 0, 96, 20));
}

TEST(ElementFaceGeometryTest, TableColumnsShareTheWidth)
{
    auto columns = [](std::initializer_list<double> widths) {
        QList<ReportTableColumn> list;
        for (const double w : widths)
            list.append(ReportTableColumn{.width = w});
        return list;
    };
    const struct {
        QList<ReportTableColumn> columns;
        double available;
        QList<double> expected;
    } cases[] = {
        {columns({100, 50}), 300, {200, 100}},
        {columns({300, 300}), 150, {75, 75}},
        {columns({}), 300, {}},
        {columns({0, 0}), 300, {0, 0}},
        // A sum below 1 divides by 1.
        {columns({0.25, 0.5}), 100, {25, 50}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(tableColumnWidths(c.columns, c.available), c.expected);
}

TEST(ElementFaceGeometryTest, LineEndsKeepRulesStraight)
{
    const struct {
        double width, height;
        QLineF expected;
    } cases[] = {
        {200, 100, QLineF(0, 0, 200, 100)},
        {200, 1, QLineF(0, 0.5, 200, 0.5)},
        {200, 0, QLineF(0, 0, 200, 0)},
        {0, 100, QLineF(0, 0, 0, 100)},
        {1, 100, QLineF(0.5, 0, 0.5, 100)},
        // No wider and no higher than a point: the engine prints nothing, nor is anything drawn.
        {1, 1, QLineF()},
        {0, 0, QLineF()},
        {0, 1, QLineF()},
        // Thicker than a rule but under the minimum: the raised frame's diagonal.
        {2, 3, QLineF(0, 0, 4, 4)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        EXPECT_EQ(lineEnds(c.width, c.height), c.expected);
        // The hit area stays at least 4 points each way.
        const QRectF frame = drawnFrame(c.width, c.height);
        EXPECT_GE(frame.width(), 4);
        EXPECT_GE(frame.height(), 4);
    }
}

} // namespace
