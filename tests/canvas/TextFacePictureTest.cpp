#include "canvas/ElementView.h"

#include "CanvasPointer.h"

#include <QImage>
#include <QScrollBar>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <random>

using namespace Qt::StringLiterals;

namespace {

// How many pixels of two pictures of one size differ by more than a rounding step in a channel.
int differingPixels(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return a.width() * a.height() + 1;
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > 8 || std::abs(qGreen(p) - qGreen(q)) > 8 ||
                std::abs(qBlue(p) - qBlue(q)) > 8)
                ++count;
        }
    }
    return count;
}

// How many pixels of a picture are dark: ink of a black text.
int inkOf(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += qGray(image.pixel(x, y)) < 128;
    }
    return count;
}

// A canvas on a report of texts in its title band, and the drawing of its viewport.
struct TextCanvas : CanvasPointer {
    // Each text `width` by `height` points, `step` below the one before.
    explicit TextCanvas(const QList<QString> &texts, double zoom = 1, double width = 160,
                        double height = 30, double step = 40)
    {
        ReportDocument document = DocumentStore::defaultDocument();
        ReportBand &titleBand =
            *std::find_if(document.bands.begin(), document.bands.end(),
                          [](const ReportBand &b) { return b.type == BandType::title; });
        titleBand.height = 200;
        for (qsizetype i = 0; i < texts.size(); ++i) {
            ReportElement e = testsupport::element(ElementKind::StaticText{texts[i]});
            e.x = 20;
            e.y = 10 + step * double(i);
            e.width = width;
            e.height = height;
            e.fontSize = 16;
            titleBand.elements.append(e);
            ids.append(e.id);
        }
        store.setDocument(document);
        store.setZoomLevel(zoom);
        showCanvas(&store, {700, 500});
        QCoreApplication::processEvents();
    }

    ElementView *view(qsizetype i) const { return band(title)->elementItems().value(ids[i]); }
    // The viewport drawn now; each call paints every item again.
    QImage drawn() const { return viewport()->grab().toImage(); }
    // The part of the drawing that shows element `i`'s box, `offset` viewport pixels away.
    QImage face(const QImage &drawing, qsizetype i, QPoint offset = {}) const
    {
        const ReportElement e = store.element(ids[i]).value();
        const QRect box =
            canvas.graphicsView()
                ->mapFromScene(band(title)->mapRectToScene(QRectF(
                    QPointF(e.x, e.y + canvas::headerStripHeight), QSizeF(e.width, e.height))))
                .boundingRect();
        return drawing.copy(box.adjusted(2, 2, -2, -2).translated(offset));
    }

    DocumentStore store;
    QList<QUuid> ids;
};

} // namespace

// A text is drawn directly once, kept as a picture when it is drawn again, and then drawn from
// the picture; an edit of its text or a zoom draws it anew, as a canvas made afresh draws it.
TEST(TextFacePictureTest, TextsAreKeptAsPicturesUntilTheirTextOrTheZoomChanges)
{
    TextCanvas canvas({u"Hello canvas"_s});
    // Shown once: drawn directly.
    EXPECT_EQ(canvas.view(0)->faceCache().pictureCount(), 0);
    EXPECT_FALSE(canvas.view(0)->faceCache().holdsPicture());
    const QImage kept = canvas.face(canvas.drawn(), 0);
    EXPECT_EQ(canvas.view(0)->faceCache().pictureCount(), 1);
    EXPECT_TRUE(canvas.view(0)->faceCache().holdsPicture());
    const QImage fromPicture = canvas.face(canvas.drawn(), 0);
    const QImage again = canvas.face(canvas.drawn(), 0);
    EXPECT_EQ(canvas.view(0)->faceCache().pictureCount(), 1);
    EXPECT_GT(inkOf(kept), 20);
    EXPECT_LE(differingPixels(kept, fromPicture), 2);
    EXPECT_LE(differingPixels(kept, again), 2);
    // As a canvas made afresh, which draws it directly, shows it.
    TextCanvas direct({u"Hello canvas"_s});
    EXPECT_EQ(direct.view(0)->faceCache().pictureCount(), 0);
    EXPECT_LE(differingPixels(fromPicture, direct.face(direct.viewport()->grab().toImage(), 0)), 2);

    // The text changes: the canvas shows the new one, as a fresh canvas draws it.
    canvas.store.updateElement(canvas.ids[0], [](ReportElement &e) {
        e.kind = ElementKind::StaticText{u"Another text"_s};
    });
    canvas.drawn();
    const QImage edited = canvas.face(canvas.drawn(), 0);
    EXPECT_GT(differingPixels(edited, kept), 20);
    TextCanvas fresh({u"Another text"_s});
    EXPECT_LE(differingPixels(edited, fresh.face(fresh.drawn(), 0)), 2);

    // A zoom draws it at the new scale, crisp as a canvas opened at that zoom draws it.
    canvas.store.setZoomLevel(2);
    QCoreApplication::processEvents();
    canvas.drawn();
    const QImage zoomed = canvas.face(canvas.drawn(), 0);
    TextCanvas freshZoomed({u"Another text"_s}, 2);
    const QImage expected = freshZoomed.face(freshZoomed.drawn(), 0);
    EXPECT_EQ(zoomed.size(), expected.size());
    EXPECT_LE(differingPixels(zoomed, expected), 4);
    EXPECT_GT(inkOf(zoomed), 2 * inkOf(edited));
}

// Texts dragged as a selected group, a random way, carry their drawn text along, drawn from their
// pictures at each step, and show it at their new place after the drop, still from the pictures
// they had: an element that only moved keeps its face.
TEST(TextFacePictureTest, DraggedTextsMoveWithTheirDrawnText)
{
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    TextCanvas canvas({u"First line"_s, u"Second line"_s, u"Third line"_s});
    // Dropped on whole points where the pointer leaves them.
    canvas.bandSettings.snapping = false;
    canvas.store.setActiveBandTarget(canvas.title);
    canvas.store.setSelectedElementIDs({canvas.ids[0], canvas.ids[1], canvas.ids[2]});
    QCoreApplication::processEvents();
    canvas.drawn();
    const QImage before = canvas.drawn();
    QList<QImage> faces;
    for (qsizetype i = 0; i < 3; ++i) {
        faces.append(canvas.face(before, i));
        EXPECT_GT(inkOf(faces.last()), 20);
    }

    const QPoint from = canvas.at(canvas.title, {100, 25});
    const QPoint travel(std::uniform_int_distribution<int>(1, 300)(random),
                        std::uniform_int_distribution<int>(1, 60)(random));
    canvas.carry(from, from + travel);
    for (int step = 1; step <= 3; ++step) {
        const QImage during = canvas.drawn();
        for (qsizetype i = 0; i < 3; ++i) {
            EXPECT_LE(differingPixels(canvas.face(during, i, travel), faces[i]), 2)
                << "element " << i << " at step " << step;
            // Drawn from the picture it had before the drag.
            EXPECT_EQ(canvas.view(i)->faceCache().pictureCount(), 1);
        }
    }
    canvas.release(from + travel);
    QCoreApplication::processEvents();
    canvas.drawn();
    const QImage after = canvas.drawn();
    for (qsizetype i = 0; i < 3; ++i) {
        const ReportElement e = canvas.store.element(canvas.ids[i]).value();
        EXPECT_EQ(QPointF(e.x, e.y), QPointF(20 + travel.x(), 10 + 40.0 * double(i) + travel.y()));
        EXPECT_LE(differingPixels(canvas.face(after, i), faces[i]), 2) << "element " << i;
        EXPECT_EQ(canvas.view(i)->faceCache().pictureCount(), 1) << "element " << i;
    }
}

// A text as wide as a file may make it (the engine takes any width a 32-bit number holds) is
// drawn where it is visible, selected and after a scroll as before, as a narrower text shows its
// left part: no picture is made of a face far larger than the view.
TEST(TextFacePictureTest, TextsOfAnyWidthAreDrawnWhereVisible)
{
    TextCanvas narrow({u"Wide text"_s}, 2);
    TextCanvas wide({u"Wide text"_s}, 2, 2147483647);
    QList<QImage> shown;
    for (TextCanvas *canvas : {&narrow, &wide}) {
        canvas->store.setActiveBandTarget(canvas->title);
        canvas->store.setSelectedElementIDs({canvas->ids[0]});
        QCoreApplication::processEvents();
        canvas->drawn();
        QScrollBar *scroll = canvas->canvas.graphicsView()->verticalScrollBar();
        const int top = scroll->value();
        scroll->setValue(top + 40);
        canvas->drawn();
        scroll->setValue(top);
        canvas->drawn();
        // The narrow text's box without its right edge.
        shown.append(narrow.face(canvas->drawn(), 0).copy(0, 0, 280, 56));
    }
    EXPECT_EQ(wide.view(0)->faceCache().pictureCount(), 0);
    EXPECT_EQ(narrow.view(0)->faceCache().pictureCount(), 1);
    EXPECT_GT(inkOf(shown[1]), 20);
    EXPECT_LE(differingPixels(shown[0], shown[1]), 2);
}

// A page of more faces than the picture cache holds keeps pictures of as many as fit and draws
// the others directly, at every repaint: no face makes a picture that pushes out another's, to be
// made again at the next repaint.
TEST(TextFacePictureTest, FacesBeyondWhatTheCacheHoldsAreDrawnDirectly)
{
    // Eighty texts on one another, each a picture of over a megabyte at 200 %.
    QList<QString> texts;
    for (int i = 0; i < 80; ++i)
        texts.append(u"Text "_s + QString::number(i));
    TextCanvas canvas(texts, 2, 500, 180, 0);
    const auto pictures = [&] {
        int count = 0;
        for (qsizetype i = 0; i < texts.size(); ++i)
            count += canvas.view(i)->faceCache().pictureCount();
        return count;
    };
    canvas.drawn();
    const QImage kept = canvas.face(canvas.drawn(), 0);
    const int made = pictures();
    EXPECT_GT(made, 0);
    EXPECT_LT(made, texts.size());
    const QImage again = canvas.face(canvas.drawn(), 0);
    EXPECT_EQ(pictures(), made) << "pictures made again";
    EXPECT_GT(inkOf(kept), 20);
    EXPECT_LE(differingPixels(kept, again), 2);
}
