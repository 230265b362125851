#include "canvas/BandItem.h"
#include "canvas/CanvasScene.h"
#include "canvas/ElementView.h"
#include "document/DocumentStore.h"

#include "ModelBuilders.h"
#include "TestSupport.h"

#include <QFileInfo>
#include <QMutex>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWaitCondition>
#include <gtest/gtest.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Holds each picture's decode on the loader's pool until the test lets it through.
struct DecodeGate {
    PictureReader::Picture decode(const QString &path, int side)
    {
        QMutexLocker lock(&mutex);
        asked.append(QFileInfo(path).fileName());
        while (!open.contains(path))
            opened.wait(&mutex);
        lock.unlock();
        return PictureReader::readWithin(path, side);
    }
    void let(const QString &path)
    {
        const QMutexLocker lock(&mutex);
        open.insert(path);
        opened.wakeAll();
    }
    QStringList askedFor()
    {
        const QMutexLocker lock(&mutex);
        return asked;
    }

    QMutex mutex;
    QWaitCondition opened;
    QSet<QString> open;
    QStringList asked;
};

// What an element shows: its picture's frame, or the picture in one of the test's colours.
enum class Shown { frame, red, blue, green };

// A canvas without a window over two reports, whose image elements show pictures of one colour
// each; the canvas's loader decodes through the gate.
class PictureArrivalTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const auto &[name, color] :
             {std::pair{u"red.png"_s, Qt::red}, std::pair{u"blue.png"_s, Qt::blue},
              std::pair{u"green.png"_s, Qt::green}, std::pair{u"yellow.png"_s, Qt::yellow}}) {
            QImage image(40, 30, QImage::Format_RGB32);
            image.fill(color);
            ASSERT_TRUE(image.save(dir.filePath(name), "PNG"));
        }
        scene.environment().images->setDecoder(
            [gate = gate](const QString &path, int side) { return gate->decode(path, side); });
        scene.setStore(&first);
    }
    void TearDown() override
    {
        // Nothing may stay held on the pool when the test ends.
        for (const QString &name : {u"red.png"_s, u"blue.png"_s, u"green.png"_s, u"yellow.png"_s})
            gate->let(dir.filePath(name));
    }

    QString picture(const QString &name) const { return dir.filePath(name); }
    static QString expressionFor(const QString &path) { return u"\"%1\""_s.arg(path); }
    QUuid addImage(DocumentStore &store, const QString &name, double x)
    {
        ReportElement e = testsupport::element(ElementKind::Image{expressionFor(picture(name))});
        e.x = x;
        e.y = 5;
        e.width = 80;
        e.height = 40;
        store.addElement(e, title);
        return e.id;
    }
    ElementView *viewOf(const QUuid &id) const
    {
        return scene.bandItem(title)->elementItems().value(id);
    }
    // What the element shows now, drawn as the canvas draws it.
    Shown shown(const QUuid &id) const
    {
        const ElementView *view = viewOf(id);
        if (!view)
            return Shown::frame;
        const QRectF frame = view->sceneBoundingRect();
        QImage drawn(frame.size().toSize(), QImage::Format_RGB32);
        drawn.fill(Qt::white);
        QPainter painter(&drawn);
        const_cast<CanvasScene &>(scene).render(&painter, QRectF(QPointF(), frame.size()), frame);
        painter.end();
        const QColor c = drawn.pixelColor(drawn.width() / 4, drawn.height() * 3 / 4);
        if (c.red() > 200 && c.green() < 80 && c.blue() < 80)
            return Shown::red;
        if (c.blue() > 200 && c.red() < 80 && c.green() < 80)
            return Shown::blue;
        if (c.green() > 200 && c.red() < 80 && c.blue() < 80)
            return Shown::green;
        return Shown::frame;
    }
    // Lets the picture through and waits until the loader has taken it.
    void arrive(const QString &name)
    {
        QSignalSpy arrived(scene.environment().images, &ElementImageLoader::imageChanged);
        gate->let(picture(name));
        ASSERT_TRUE(testsupport::waitFor(
            [&] { return arrived.contains(QVariantList{QUrl::fromLocalFile(picture(name))}); }));
    }

    QTemporaryDir dir;
    std::shared_ptr<DecodeGate> gate = std::make_shared<DecodeGate>();
    DocumentStore first;
    DocumentStore second;
    CanvasScene scene;
    const BandTarget title = BandTarget::standard(BandType::title);
};

} // namespace

// The element shows its frame until the picture arrives, then the picture; drawing it once more
// decodes nothing.
TEST_F(PictureArrivalTest, APictureShowsItsFrameUntilItArrivesThenItself)
{
    const QUuid red = addImage(first, u"red.png"_s, 0);
    const QUuid blue = addImage(first, u"blue.png"_s, 200);
    EXPECT_EQ(shown(red), Shown::frame);
    EXPECT_EQ(shown(blue), Shown::frame);

    arrive(u"red.png"_s);
    EXPECT_EQ(shown(red), Shown::red);
    EXPECT_EQ(shown(blue), Shown::frame);

    arrive(u"blue.png"_s);
    EXPECT_EQ(shown(blue), Shown::blue);
    EXPECT_EQ(shown(red), Shown::red);
    QStringList asked = gate->askedFor();
    asked.sort();
    EXPECT_EQ(asked, (QStringList{u"blue.png"_s, u"red.png"_s})) << "each picture is decoded once";
}

// A picture that arrives after its element has come to name another picture, after its report
// has given way to another on the canvas, or after its report has gone, shows nowhere.
TEST_F(PictureArrivalTest, ALatePictureLandsOnNoOtherElementOrReport)
{
    const QUuid element = addImage(first, u"red.png"_s, 0);
    EXPECT_EQ(shown(element), Shown::frame);
    first.updateElement(element, [&](ReportElement &e) {
        e.kind = ElementKind::Image{expressionFor(picture(u"blue.png"_s))};
    });
    EXPECT_EQ(shown(element), Shown::frame);
    arrive(u"red.png"_s);
    EXPECT_EQ(shown(element), Shown::frame) << "the element names blue.png now";

    // Another report takes the canvas while the blue picture decodes; its element stands where
    // the first report's did.
    const QUuid other = addImage(second, u"green.png"_s, 0);
    scene.setStore(&second);
    arrive(u"blue.png"_s);
    EXPECT_EQ(shown(other), Shown::frame);
    arrive(u"green.png"_s);
    EXPECT_EQ(shown(other), Shown::green);

    // Back on the first report, its picture is there without another decode.
    scene.setStore(&first);
    EXPECT_EQ(shown(element), Shown::blue);
    EXPECT_EQ(gate->askedFor().count(u"blue.png"_s), 1);

    // A report that closes while its picture decodes leaves nothing behind to draw it on.
    {
        DocumentStore closing;
        const QUuid gone = addImage(closing, u"yellow.png"_s, 0);
        scene.setStore(&closing);
        EXPECT_EQ(shown(gone), Shown::frame);
        scene.setStore(&second);
    }
    arrive(u"yellow.png"_s);
    QCoreApplication::processEvents();
    EXPECT_EQ(shown(other), Shown::green);
}
