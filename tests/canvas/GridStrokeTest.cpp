#include "canvas/GridStroke.h"
#include "canvas/BandGeometry.h"

#include <QImage>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <random>

namespace {

struct Grid {
    QRectF seen;
    QList<double> xs, ys;
    QPen pen;
};

// A grid of `step` points over `seen`, its lines from one step before it to one step after, as a
// band lays out the lines of the part of it being painted.
Grid gridOver(const QRectF &seen, double step, const QPen &pen)
{
    Grid grid{seen, {}, {}, pen};
    for (double x = std::floor(seen.left() / step - 1) * step; x <= seen.right() + step; x += step)
        grid.xs.append(x);
    for (double y = std::floor(seen.top() / step - 1) * step; y <= seen.bottom() + step; y += step)
        grid.ys.append(y);
    return grid;
}

using Paint = void (*)(QPainter *, const QRectF &, const QList<double> &, const QList<double> &,
                       const QPen &);

// The grid drawn on a picture of `size` pixels filled with `ground`, through `transform`, inside
// `clip` (device pixels) when it is valid.
QImage drawn(Paint paint, const Grid &grid, const QSize &size, const QColor &ground,
             const QTransform &transform, const QRect &clip = {})
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(ground);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    if (clip.isValid())
        painter.setClipRect(clip);
    painter.setTransform(transform);
    paint(&painter, grid.seen, grid.xs, grid.ys, grid.pen);
    return image;
}

// The pixel of two pictures of one size whose channels differ most, and by how much.
struct Difference {
    int largest = 0;
    QPoint at;
    int pixels = 0; // how many differ at all
};

Difference largestDifference(const QImage &a, const QImage &b)
{
    Difference difference;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int largest =
                std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                          std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
            if (largest > 0)
                ++difference.pixels;
            if (largest > difference.largest) {
                difference.largest = largest;
                difference.at = QPoint(x, y);
            }
        }
    }
    return difference;
}

} // namespace

// Drawn column by column, a grid is the same picture as the grid stroked as one path, but for
// rounding: at every zoom and sub-pixel offset, with pens thinner and thicker than a pixel,
// grid steps smaller and larger than a column, over clipped and unclipped pictures.
TEST(GridStroke, ColumnsDrawTheSamePixelsAsOnePath)
{
    std::mt19937 random(20261208);
    std::uniform_real_distribution<double> unit(0, 1);
    const QSize size(420, 260);
    for (int run = 0; run < 150; ++run) {
        const double zoom = 0.25 + unit(random) * 3.75;
        const double scaleY = unit(random) < 0.8 ? zoom : 0.25 + unit(random) * 3.75;
        const QTransform transform =
            QTransform::fromTranslate(unit(random) * 80 - 40, unit(random) * 80 - 40)
                .scale(zoom, scaleY);
        const QRectF device(-10, -10, size.width() + 20, size.height() + 20);
        const QRectF area = transform.inverted().mapRect(device);
        // A part of the picture, as a band's exposed part is.
        const QRectF seen(area.left() + unit(random) * area.width() / 4,
                          area.top() + unit(random) * area.height() / 4,
                          area.width() * (0.5 + unit(random) / 2),
                          area.height() * (0.5 + unit(random) / 2));
        const double step = 1 + unit(random) * 30;
        const QColor color(int(unit(random) * 255), int(unit(random) * 255),
                           int(unit(random) * 255), 10 + int(unit(random) * 245));
        const double width = run % 3 == 0 ? 0.5 : 0.1 + unit(random) * 4;
        const Grid grid = gridOver(seen, step, QPen(color, width));
        const QColor ground = run % 2 == 0 ? QColor(Qt::white) : QColor(30, 60, 200, 120);
        const QRect clip = run % 4 == 0 ? QRect(int(unit(random) * 100), int(unit(random) * 60),
                                                200 + int(unit(random) * 100), 150)
                                        : QRect();
        const QImage whole = drawn(GridStroke::paintWhole, grid, size, ground, transform, clip);
        const QImage columns = drawn(GridStroke::paint, grid, size, ground, transform, clip);
        // The raster engine rounds the coverage of a clipped path a little otherwise: a few
        // levels of 255, where a line left out or cut short differs by its whole colour.
        const Difference difference = largestDifference(whole, columns);
        EXPECT_LE(difference.largest, 4)
            << "run " << run << ": zoom " << zoom << "x" << scaleY << ", step " << step << ", pen "
            << width << ", at pixel " << difference.at.x() << "," << difference.at.y() << " pixels "
            << difference.pixels;
    }
}

// The grid itself: on a wide picture every line is drawn whole across the columns, each line on
// its own (a pen of half opacity shows crossings darker than the lines), and nothing between.
TEST(GridStroke, WideGridDrawsEveryLineWhole)
{
    const QSize size(600, 200);
    const Grid grid = gridOver(QRectF(0, 0, 600, 200), 50, QPen(QColor(0, 0, 0, 128), 6));
    const QImage image = drawn(GridStroke::paint, grid, size, Qt::white, QTransform());
    const QRgb white = QColor(Qt::white).rgb();
    const QRgb line = qRgb(127, 127, 127);
    const QRgb crossing = qRgb(63, 63, 63);
    for (int x = 0; x < size.width(); ++x) {
        const bool onVertical = x % 50 <= 2 || x % 50 >= 47;
        EXPECT_EQ(image.pixel(x, 100), onVertical ? crossing : line) << x;
        EXPECT_EQ(image.pixel(x, 125), onVertical ? line : white) << x;
    }
}

// A band's grid drawn over the part the painter changes is the picture of its whole grid, and
// takes the lines of that part alone, however wide or high the band: the scene hands a band that
// keeps a picture of itself its whole bounds as exposed, and a column may be two billion points
// wide. At every zoom and scroll, clipped or not.
TEST(GridStroke, ABandsGridTakesTheLinesOfThePaintedPartAlone)
{
    std::mt19937 random(20260515);
    std::uniform_real_distribution<double> unit(0, 1);
    const QSize size(300, 200);
    const QPen pen(QColor(128, 128, 128, 46), 0.5);
    for (int run = 0; run < 120; ++run) {
        const double widths[] = {2147483600, 1e6, 100 + unit(random) * 2000};
        const double width = widths[run % 3];
        const double height = run % 4 == 0 ? 2147483647 : 4 + unit(random) * 600;
        const double gridSize = 2 + unit(random) * 28;
        const double zoom = 0.25 + unit(random) * 2.75;
        const QRectF body(0, 14, width, height);
        // Somewhere along the band, a little before or past it.
        const QPointF at(unit(random) * width - 50, unit(random) * height - 50);
        const QTransform transform =
            QTransform::fromTranslate(-at.x() * zoom, -at.y() * zoom).scale(zoom, zoom);
        const QRect clip = run % 2 == 0 ? QRect(int(unit(random) * 100), int(unit(random) * 60),
                                                50 + int(unit(random) * 150), 100)
                                        : QRect(QPoint(0, 0), size);
        SCOPED_TRACE(testing::Message() << "run " << run << ": band " << width << "x" << height
                                        << ", grid " << gridSize << ", zoom " << zoom);
        const auto painted = [&](const std::function<void(QPainter &)> &paint) {
            QImage image(size, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::white);
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setClipRect(clip);
            painter.setTransform(transform);
            paint(painter);
            return image;
        };
        const QRectF whole(0, 0, width, 14 + height);
        GridStroke::BandLines lines;
        const QImage cut = painted([&](QPainter &painter) {
            lines = GridStroke::bandLines(&painter, whole, body, gridSize);
            GridStroke::paintBand(&painter, whole, body, gridSize, pen);
        });
        // The lines lie over the clip, one step before and after it at most.
        const QRectF shown = transform.inverted().mapRect(QRectF(clip)) & body;
        const auto along = [&](double length, double from, double to, const QList<double> &xs) {
            const double step = length / std::max(std::round(length / gridSize), 1.0);
            EXPECT_LE(xs.size(), std::ceil((to - from) / step) + 3);
            for (double x : xs) {
                EXPECT_GE(x, from - step);
                EXPECT_LE(x, to + step);
            }
        };
        if (shown.isEmpty()) {
            EXPECT_TRUE(lines.xs.isEmpty() && lines.ys.isEmpty());
            continue;
        }
        along(width, shown.left(), shown.right(), lines.xs);
        along(height, shown.top(), shown.bottom(), lines.ys);
        if (width > 1e5 || height > 1e5)
            continue;
        // A band small enough to lay out whole: its whole grid, stroked as one path.
        const QImage all = painted([&](QPainter &painter) {
            QList<double> ys = bandgeometry::gridLines(gridSize, height);
            for (double &y : ys)
                y += body.top();
            GridStroke::paintWhole(&painter, body, bandgeometry::gridLines(gridSize, width), ys,
                                   pen);
        });
        const Difference difference = largestDifference(all, cut);
        EXPECT_LE(difference.largest, 4) << "at pixel " << difference.at.x() << ","
                                         << difference.at.y() << ", pixels " << difference.pixels;
    }
}
