#include "setup/ImageImportService.h"
#include "setup/ImageExpression.h"
#include "setup/PictureReader.h"

#include "HeicFile.h"
#include "HostilePictures.h"
#include "TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace Qt::StringLiterals;
using SizeMode = ImageImportOptions::SizeMode;
using FormatMode = ImageImportOptions::FormatMode;

namespace {

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(QImageWriter(&buffer, format).write(image));
    return data;
}

QImage picture(int width, int height, QColor color = Qt::red)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

ImageImportOptions resized(double maxDimension, bool aspect = true,
                           FormatMode format = FormatMode::keepOriginal)
{
    ImageImportOptions options;
    options.sizeMode = SizeMode::resize;
    options.maxDimension = maxDimension;
    options.preserveAspectRatio = aspect;
    options.formatMode = format;
    return options;
}

class ImageImportServiceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sources.isValid());
        ASSERT_TRUE(reports.isValid());
    }

    // A source picture of that name with those bytes; its URL.
    QUrl source(const QString &name, const QByteArray &data)
    {
        QFile file(QDir(sources.path()).filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
        return QUrl::fromLocalFile(file.fileName());
    }
    QUrl png(const QString &name, const QImage &image)
    {
        return source(name, encoded(image, "png"));
    }

    QString import(const QUrl &picture, const ImageImportOptions &options = {})
    {
        return ImageImportService::importImage(picture, reportURL, options);
    }
    QString stored(const QString &name) const { return QDir(reports.path()).filePath(name); }
    QStringList reportFolder() const
    {
        return QDir(reports.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    static QString expressionFor(const QString &name)
    {
        return u"$P{SUBREPORT_DIR} + \""_s + name + u'"';
    }
    static QByteArray formatOf(const QString &path) { return QImageReader(path).format(); }

    QTemporaryDir sources;
    QTemporaryDir reports;
    QUrl reportURL = QUrl::fromLocalFile(QDir(reports.path()).filePath(u"report.jrxml"_s));
};

} // namespace

TEST(ImageImportFilesTest, ImageFilesAreRecognisedByNameOnly)
{
    const struct {
        const char *name;
        bool isImage;
    } cases[] = {
        {"/pics/a.png", true},  {"/pics/a.PNG", true},  {"/pics/a.jpg", true},
        {"/pics/a.JPEG", true}, {"/pics/a.gif", true},  {"/pics/a.bmp", true},
        {"/pics/a.tif", true},  {"/pics/a.tiff", true}, {"/pics/a.heic", true},
        {"/pics/a.pdf", false}, {"/pics/a.txt", false}, {"/pics/logo", false},
        {"/pics/.png", false},  {"/pics/a.svg", false}, {"/pics/a.jrxml", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        // None of these files exists: only the name is looked at.
        EXPECT_EQ(ImageImportService::isImageFile(QUrl::fromLocalFile(QString::fromUtf8(c.name))),
                  c.isImage);
    }
    QStringList names;
    for (const QMimeType &type : ImageImportService::acceptedContentTypes())
        names.append(type.name());
    EXPECT_EQ(names.mid(0, 5), (QStringList{u"image/png"_s, u"image/jpeg"_s, u"image/gif"_s,
                                            u"image/bmp"_s, u"image/tiff"_s}));
    EXPECT_TRUE(names.size() == 6 && names.at(5).startsWith(u"image/hei"_s))
        << names.join(u' ').toStdString();
    const QStringList extensions = ImageImportService::acceptedFileExtensions();
    for (const QString &extension :
         {u"png"_s, u"jpg"_s, u"jpeg"_s, u"gif"_s, u"bmp"_s, u"tif"_s, u"tiff"_s, u"heic"_s})
        EXPECT_TRUE(extensions.contains(extension)) << extension.toStdString();
}

TEST(ImageImportFilesTest, TargetSizesKeepTheAspectShrinkOnlyAndStayDrawable)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        QSize source;
        ImageImportOptions options;
        std::optional<QSize> expected;
    } cases[] = {
        {{4000, 1000}, {}, QSize(4000, 1000)},
        {{4000, 1000}, resized(800), QSize(800, 200)},
        {{1000, 4000}, resized(800), QSize(200, 800)},
        {{300, 200}, resized(800), QSize(300, 200)},
        {{4000, 1000}, resized(800, false), QSize(800, 800)},
        {{300, 200}, resized(800, false), QSize(800, 800)},
        // 0 acts as 1; a side that rounds to nothing stays one pixel.
        {{4000, 1000}, resized(0), QSize(1, 1)},
        {{300, 200}, resized(0, false), QSize(1, 1)},
        {{3, 2}, resized(2), QSize(2, 1)},
        {{1000, 1}, resized(100), QSize(100, 1)},
        {{333, 100}, resized(100), QSize(100, 30)},
        {{4000, 1000}, resized(inf), QSize(4000, 1000)},
        {{4000, 1000}, resized(inf, false), std::nullopt},
        {{4000, 1000}, resized(nan), std::nullopt},
        {{4000, 1000}, resized(1e300, false), std::nullopt},
        {{10, 10}, resized(40000, false), std::nullopt},
        {{10, 10}, resized(-5, false), QSize(1, 1)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.source.width() << "x" << c.source.height() << " at "
                     << c.options.maxDimension << " aspect " << c.options.preserveAspectRatio);
        EXPECT_EQ(ImageImportService::targetSize(c.source, c.options), c.expected);
    }
}

// An imported picture's element takes the picture's proportions within the box it is given.
TEST_F(ImageImportServiceTest, ImportedBoxesTakeThePicturesProportions)
{
    using ImageImportService::fittedBox;
    const QSizeF box(120, 90);
    EXPECT_EQ(fittedBox(box, QSize(200, 50)), QSizeF(120, 30));
    EXPECT_EQ(fittedBox(box, QSize(50, 200)), QSizeF(23, 90)) << "rounded to whole points";
    EXPECT_EQ(fittedBox(box, QSize(64, 48)), box);
    EXPECT_EQ(fittedBox(box, QSize(10000, 1)), QSizeF(120, 1)) << "never thinner than a point";
    EXPECT_EQ(fittedBox(box, QSize()), box) << "a picture that could not be measured";

    const QString expression = import(png(u"wide.png"_s, picture(300, 100)));
    EXPECT_EQ(ImageImportService::boxForPicture(box, expression, reportURL), QSizeF(120, 40));
    EXPECT_EQ(ImageImportService::boxForPicture(box, expression, std::nullopt), box)
        << "an unsaved report finds no picture";
    EXPECT_EQ(ImageImportService::boxForPicture(box, u"$F{picture}"_s, reportURL), box);
}

TEST(ImageImportFilesTest, ErrorsCarryTheSheetsTexts)
{
    EXPECT_EQ(ImageImportError::reportNotSaved().description(),
              u"Save the report first - Quillmark copies images into a folder next to the saved "
              "report file."_s);
    EXPECT_EQ(ImageImportError::processingFailed().description(),
              u"Couldn't read or process that image."_s);
    EXPECT_EQ(ImageImportError::writeFailed(u"Permission denied"_s).description(),
              u"Couldn't copy the image: Permission denied"_s);
    EXPECT_STREQ(ImageImportError::processingFailed().what(),
                 "Couldn't read or process that image.");
}

TEST_F(ImageImportServiceTest, CopiesUnchangedReusesIdenticalFilesAndCountsUpForOthers)
{
    const QByteArray red = encoded(picture(40, 30), "png");
    const QUrl logo = source(u"Logo.PNG"_s, red);
    EXPECT_EQ(import(logo), expressionFor(u"Logo.png"_s));
    EXPECT_EQ(testsupport::readFile(stored(u"Logo.png"_s)), red) << "copied byte for byte";

    // The same picture again: the copy is used, nothing is written.
    const QDateTime written = QFileInfo(stored(u"Logo.png"_s)).lastModified();
    EXPECT_EQ(import(logo), expressionFor(u"Logo.png"_s));
    EXPECT_EQ(QFileInfo(stored(u"Logo.png"_s)).lastModified(), written);
    EXPECT_EQ(reportFolder(), QStringList{u"Logo.png"_s});

    // Different pictures of the same name take the next free numbers.
    const QByteArray blue = encoded(picture(40, 30, Qt::blue), "png");
    EXPECT_EQ(import(source(u"Logo.PNG"_s, blue)), expressionFor(u"Logo-2.png"_s));
    EXPECT_EQ(import(source(u"Logo.PNG"_s, encoded(picture(5, 5), "png"))),
              expressionFor(u"Logo-3.png"_s));
    // ... and an earlier one is still found under its number.
    EXPECT_EQ(import(source(u"Logo.PNG"_s, blue)), expressionFor(u"Logo-2.png"_s));
    EXPECT_EQ(testsupport::readFile(stored(u"Logo-2.png"_s)), blue);
    EXPECT_EQ(reportFolder(), (QStringList{u"Logo-2.png"_s, u"Logo-3.png"_s, u"Logo.png"_s}))
        << "no temporary file is left behind";

    // A file without an extension is stored as png; a picture already beside the report is
    // itself.
    EXPECT_EQ(import(source(u"scan"_s, red)), expressionFor(u"scan.png"_s));
    EXPECT_EQ(import(QUrl::fromLocalFile(stored(u"Logo-3.png"_s))), expressionFor(u"Logo-3.png"_s));
    EXPECT_EQ(reportFolder().size(), 4);
    // The expression finds the copy again.
    EXPECT_EQ(ImageExpression::resolve(expressionFor(u"Logo-2.png"_s), reportURL),
              QUrl::fromLocalFile(stored(u"Logo-2.png"_s)));
}

TEST_F(ImageImportServiceTest, ResizesAndReencodesAsAsked)
{
    const QUrl wide = png(u"wide.png"_s, picture(4000, 1000));
    EXPECT_EQ(import(wide, resized(800)), expressionFor(u"wide.png"_s));
    EXPECT_EQ(QImage(stored(u"wide.png"_s)).size(), QSize(800, 200));
    EXPECT_EQ(import(wide, resized(800, false)), expressionFor(u"wide-2.png"_s));
    EXPECT_EQ(QImage(stored(u"wide-2.png"_s)).size(), QSize(800, 800));
    const QUrl small = png(u"small.png"_s, picture(300, 200));
    import(small, resized(800));
    EXPECT_EQ(QImage(stored(u"small.png"_s)).size(), QSize(300, 200)) << "never enlarged";

    // A kept JPEG stays JPEG, named .jpg; a resized GIF becomes PNG; converting with the size
    // kept redraws the picture at its own size.
    const QUrl photo =
        source(u"photo.jpeg"_s,
               encoded(picture(1600, 1200).convertToFormat(QImage::Format_RGB32), "jpeg"));
    EXPECT_EQ(import(photo, resized(800)), expressionFor(u"photo.jpg"_s));
    EXPECT_EQ(formatOf(stored(u"photo.jpg"_s)), "jpeg");
    EXPECT_EQ(QImage(stored(u"photo.jpg"_s)).size(), QSize(800, 600));
    // One white pixel; Qt reads GIF but does not write it.
    const QByteArray onePixelGIF = QByteArray::fromHex(
        "47494638396101000100800000ffffff00000021f90401000000002c00000000010001000002024401003b");
    EXPECT_EQ(import(source(u"anim.gif"_s, onePixelGIF), resized(500)),
              expressionFor(u"anim.png"_s));
    EXPECT_EQ(formatOf(stored(u"anim.png"_s)), "png");
    ImageImportOptions toPNG;
    toPNG.formatMode = FormatMode::png;
    EXPECT_EQ(import(photo, toPNG), expressionFor(u"photo.png"_s));
    EXPECT_EQ(formatOf(stored(u"photo.png"_s)), "png");
    EXPECT_EQ(QImage(stored(u"photo.png"_s)).size(), QSize(1600, 1200));

    // JPEG is written at the chosen quality: a lower one gives fewer bytes.
    QImage noise(200, 200, QImage::Format_RGB32);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            noise.setPixel(x, y, qRgb((x * 37 + y * 11) % 256, (x * y) % 256, (x + 3 * y) % 256));
    const QUrl noisy = png(u"noise.png"_s, noise);
    ImageImportOptions low;
    low.formatMode = FormatMode::jpeg;
    low.jpegQuality = 0.3;
    ImageImportOptions high = low;
    high.jpegQuality = 1.0;
    EXPECT_EQ(import(noisy, low), expressionFor(u"noise.jpg"_s));
    EXPECT_EQ(import(noisy, high), expressionFor(u"noise-2.jpg"_s));
    EXPECT_LT(QFileInfo(stored(u"noise.jpg"_s)).size(),
              QFileInfo(stored(u"noise-2.jpg"_s)).size() / 2);
}

TEST_F(ImageImportServiceTest, TransparentAreasTurnWhiteInJPEG)
{
    QImage image = picture(20, 20, Qt::transparent);
    image.setPixelColor(0, 0, Qt::blue);
    ImageImportOptions toJPEG;
    toJPEG.formatMode = FormatMode::jpeg;
    toJPEG.jpegQuality = 1.0;
    EXPECT_EQ(import(png(u"mark.png"_s, image), toJPEG), expressionFor(u"mark.jpg"_s));
    const QImage stored = QImage(this->stored(u"mark.jpg"_s));
    ASSERT_FALSE(stored.isNull());
    const QColor corner = stored.pixelColor(19, 19);
    EXPECT_GT(corner.lightness(), 245) << corner.name().toStdString();
}

TEST_F(ImageImportServiceTest, FailuresWriteNothing)
{
    const auto kindOf = [&](const QUrl &picture, const std::optional<QUrl> &report,
                            const ImageImportOptions &options) {
        try {
            ImageImportService::importImage(picture, report, options);
        } catch (const ImageImportError &error) {
            return std::optional(error.kind());
        }
        return std::optional<ImageImportError::Kind>();
    };
    using Kind = ImageImportError::Kind;
    const QUrl missing = QUrl::fromLocalFile(QDir(sources.path()).filePath(u"gone.png"_s));
    // No report file: asked before anything is read.
    EXPECT_EQ(kindOf(missing, std::nullopt, {}), Kind::reportNotSaved);
    EXPECT_EQ(kindOf(missing, reportURL, {}), Kind::processingFailed);
    const QUrl notAPicture = source(u"fake.png"_s, "not a picture");
    EXPECT_EQ(kindOf(notAPicture, reportURL, resized(100)), Kind::processingFailed);
    EXPECT_EQ(kindOf(png(u"big.png"_s, picture(10, 10)), reportURL, resized(1e9, false)),
              Kind::processingFailed);
    // Hostile pictures under a picture's name (the reader goes by what a file holds): a
    // compressed SVG that inflates past what a read may hold is refused with the reader's words;
    // an SVG that names itself is redrawn without it.
    const QUrl bomb =
        source(u"bomb.png"_s, hostilepictures::svgzBomb(PictureReader::largestHeldMB));
    try {
        import(bomb, resized(100));
        ADD_FAILURE() << "the bomb should be refused";
    } catch (const ImageImportError &error) {
        EXPECT_EQ(error.kind(), Kind::processingFailed);
        EXPECT_EQ(error.description(),
                  u"Couldn't read or process that image. "_s + PictureReader::tooLarge());
    }
    const QUrl self = source(u"self.png"_s, hostilepictures::naming(u"self.png"_s));
    EXPECT_EQ(import(self, resized(50)), expressionFor(u"self.png"_s));
    EXPECT_EQ(QImage(stored(u"self.png"_s)).size(), QSize(50, 50));
    QFile::remove(stored(u"self.png"_s));
    // Copied unchanged, any file with an image name passes: nothing is decoded.
    EXPECT_EQ(import(notAPicture), expressionFor(u"fake.png"_s));
    QFile::remove(stored(u"fake.png"_s));
    EXPECT_TRUE(reportFolder().isEmpty());

    // A report folder that cannot be written to.
    const QUrl elsewhere =
        QUrl::fromLocalFile(QDir(reports.path()).filePath(u"no/such/folder/report.jrxml"_s));
    try {
        ImageImportService::importImage(png(u"ok.png"_s, picture(4, 4)), elsewhere, {});
        ADD_FAILURE() << "the write should fail";
    } catch (const ImageImportError &error) {
        EXPECT_EQ(error.kind(), Kind::writeFailed);
        EXPECT_TRUE(error.description().startsWith(u"Couldn't copy the image: "_s));
        EXPECT_GT(error.description().size(), 26) << "the system's message follows";
    }
    EXPECT_TRUE(reportFolder().isEmpty());
}

TEST_F(ImageImportServiceTest, NamesWithQuotesAndBackslashesGiveValidLiterals)
{
    const QByteArray data = encoded(picture(4, 4), "png");
    const QString quoted = import(source(u"say \"hi\".png"_s, data));
    EXPECT_EQ(quoted, uR"($P{SUBREPORT_DIR} + "say \"hi\".png")"_s);
    EXPECT_EQ(ImageExpression::resolve(quoted, reportURL),
              QUrl::fromLocalFile(stored(u"say \"hi\".png"_s)));
    const QString slashed = import(source(u"a\\b.png"_s, data));
    EXPECT_EQ(slashed, uR"($P{SUBREPORT_DIR} + "a\\b.png")"_s);
    EXPECT_EQ(ImageExpression::resolve(slashed, reportURL),
              QUrl::fromLocalFile(stored(u"a\\b.png"_s)));
}

TEST_F(ImageImportServiceTest, TIFFConvertsAndHEICCopiesWhereNoDecoderExists)
{
    if (!QImageWriter::supportedImageFormats().contains("tiff"))
        GTEST_SKIP() << "no TIFF image plugin (qt6-image-formats-plugins)";
    const QUrl tiff = source(u"scan.tif"_s, encoded(picture(1200, 600), "tiff"));
    EXPECT_EQ(import(tiff, resized(600)), expressionFor(u"scan.png"_s));
    EXPECT_EQ(QImage(stored(u"scan.png"_s)).size(), QSize(600, 300));
    EXPECT_EQ(import(tiff), expressionFor(u"scan.tif"_s));

    // Bytes that only claim to be HEIC: kept, they are copied; converting needs a decoder.
    const QUrl heic = source(u"phone.HEIC"_s, "....ftypheic....");
    EXPECT_EQ(import(heic), expressionFor(u"phone.heic"_s));
    EXPECT_THROW(import(heic, resized(100)), ImageImportError);
}

// Qt refuses to decode a picture over its allocation limit (128 MB, a 6000 by 5500 photograph):
// an import raises it for its own read and puts it back. Lowered to 1 MB here, a 1600 by 1200
// JPEG and a 1000 by 1000 PNG stand in for pictures of many megapixels.
TEST_F(ImageImportServiceTest, PicturesOverQtsAllocationLimitResizeAndConvert)
{
    const int defaultLimit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(1);
    const auto restore = qScopeGuard([&] { QImageReader::setAllocationLimit(defaultLimit); });
    ASSERT_TRUE(QImage(png(u"check.png"_s, picture(1000, 1000)).toLocalFile()).isNull())
        << "the lowered limit refuses the picture";

    const QUrl photo = source(
        u"photo.jpg"_s, encoded(picture(1600, 1200).convertToFormat(QImage::Format_RGB32), "jpeg"));
    EXPECT_EQ(import(photo, resized(800)), expressionFor(u"photo.jpg"_s));
    EXPECT_EQ(QImageReader(stored(u"photo.jpg"_s)).size(), QSize(800, 600));
    EXPECT_EQ(QImageReader::allocationLimit(), 1) << "put back after the read";
    ImageImportOptions toPNG;
    toPNG.formatMode = FormatMode::png;
    EXPECT_EQ(import(photo, toPNG), expressionFor(u"photo.png"_s));
    EXPECT_EQ(QImageReader(stored(u"photo.png"_s)).size(), QSize(1600, 1200));

    const QUrl square = png(u"square.png"_s, picture(1000, 1000, Qt::blue));
    EXPECT_EQ(import(square, resized(100, true, FormatMode::jpeg)), expressionFor(u"square.jpg"_s));
    QImageReader::setAllocationLimit(defaultLimit);
    const QImage small(stored(u"square.jpg"_s));
    EXPECT_EQ(small.size(), QSize(100, 100));
    EXPECT_GT(small.pixelColor(50, 50).blue(), 200);
}

// A photograph taken turned keeps its orientation once it is redrawn: the writer drops the
// orientation mark, so the picture itself is turned.
TEST_F(ImageImportServiceTest, RedrawnPicturesKeepTheirOrientation)
{
    QImage wide = picture(400, 200).convertToFormat(QImage::Format_RGB32);
    wide.fill(Qt::blue);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 100; ++x)
            wide.setPixelColor(x, y, Qt::red);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    ASSERT_TRUE(writer.write(wide));
    const QUrl turned = source(u"turned.jpg"_s, data);

    EXPECT_EQ(import(turned, resized(100)), expressionFor(u"turned.jpg"_s));
    QImageReader plain(stored(u"turned.jpg"_s));
    plain.setAutoTransform(false);
    const QImage result = plain.read();
    ASSERT_EQ(result.size(), QSize(50, 100)) << "shown upright: tall";
    // Turned clockwise, the red left end of the picture is at the top.
    EXPECT_GT(result.pixelColor(25, 5).red(), 200);
    EXPECT_GT(result.pixelColor(25, 95).blue(), 200);
}

// HEIC pictures are decoded by libheif: resized or converted, they are stored as PNG or JPEG.
TEST_F(ImageImportServiceTest, HEICPicturesResizeAndConvert)
{
    QImage halves(400, 200, QImage::Format_RGB32);
    halves.fill(Qt::blue);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            halves.setPixelColor(x, y, Qt::red);
    const QString path = QDir(sources.path()).filePath(u"phone.HEIC"_s);
    if (!testsupport::writeHeic(halves, path))
        GTEST_SKIP() << "libheif has no HEVC encoder to write the test picture";
    const QUrl heic = QUrl::fromLocalFile(path);

    EXPECT_EQ(import(heic, resized(100)), expressionFor(u"phone.png"_s));
    const QImage small(stored(u"phone.png"_s));
    ASSERT_EQ(small.size(), QSize(100, 50));
    EXPECT_GT(small.pixelColor(10, 25).red(), 200);
    EXPECT_LT(small.pixelColor(10, 25).blue(), 60);
    EXPECT_GT(small.pixelColor(90, 25).blue(), 200);

    ImageImportOptions toJPEG;
    toJPEG.formatMode = FormatMode::jpeg;
    EXPECT_EQ(import(heic, toJPEG), expressionFor(u"phone.jpg"_s));
    EXPECT_EQ(QImage(stored(u"phone.jpg"_s)).size(), QSize(400, 200));
    // Kept as it is, it is copied byte for byte.
    EXPECT_EQ(import(heic), expressionFor(u"phone.heic"_s));
    EXPECT_EQ(testsupport::readFile(stored(u"phone.heic"_s)), testsupport::readFile(path));
}
