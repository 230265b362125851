#include "InkBounds.h"
#include "canvas/ElementFaceGeometry.h"
#include "canvas/ElementImageLoader.h"
#include "canvas/ElementPainter.h"
#include "engine/SidecarClient.h"
#include "model/JrxmlCodec.h"

#include "EngineTestSupport.h"
#include "ModelBuilders.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonObject>
#include <QPainter>
#include <QPdfDocument>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Pixels a point, for both pictures.
constexpr int scale = 2;

// The image elements of the report, one for each way of scaling, aligning and bordering a
// picture, on a page without margins.
const char *const reportXml = R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="Pictures" pageWidth="560" pageHeight="520" columnWidth="560" leftMargin="0" rightMargin="0" topMargin="0" bottomMargin="0">
  <style name="Corner" scaleImage="RetainShape" hImageAlign="Right" vImageAlign="Bottom"/>
  <title>
    <band height="520">
      <image>
        <reportElement x="0" y="0" width="200" height="150"/>
        <imageExpression><![CDATA["pic.png"]]></imageExpression>
      </image>
      <image scaleImage="Clip" hAlign="Right" vAlign="Bottom">
        <reportElement x="220" y="0" width="80" height="80"/>
        <imageExpression><![CDATA["pic.png"]]></imageExpression>
      </image>
      <image scaleImage="FillFrame">
        <reportElement x="320" y="0" width="200" height="150"/>
        <graphicElement><pen lineWidth="4.0"/></graphicElement>
        <imageExpression><![CDATA["pic.png"]]></imageExpression>
      </image>
      <image scaleImage="RealHeight" hAlign="Center" vAlign="Middle">
        <reportElement x="0" y="170" width="150" height="150"/>
        <imageExpression><![CDATA["pic.png"]]></imageExpression>
      </image>
      <image scaleImage="RealSize" hAlign="Center" vAlign="Middle">
        <reportElement x="170" y="170" width="150" height="150"/>
        <imageExpression><![CDATA["pic.png"]]></imageExpression>
      </image>
      <image hAlign="Center" vAlign="Middle">
        <reportElement x="340" y="170" width="200" height="150"/>
        <box padding="10"><pen lineWidth="2.0" lineColor="#00FF00"/></box>
        <imageExpression><![CDATA["pic.png"]]></imageExpression>
      </image>
      <image>
        <reportElement style="Corner" x="0" y="340" width="150" height="150"/>
        <imageExpression><![CDATA["pic.png"]]></imageExpression>
      </image>
      <image>
        <reportElement x="320" y="340" width="150" height="100"/>
        <box><topPen lineWidth="3.0" lineColor="#00FF00"/></box>
        <imageExpression><![CDATA["pic.png"]]></imageExpression>
      </image>
    </band>
  </title>
</jasperReport>
)";

enum class Ink { red, blue, green, black };

bool isInk(QRgb pixel, Ink ink)
{
    const int r = qRed(pixel), g = qGreen(pixel), b = qBlue(pixel);
    switch (ink) {
    case Ink::red:
        return r > 200 && g < 80 && b < 80;
    case Ink::blue:
        return b > 200 && r < 80 && g < 80;
    case Ink::green:
        return g > 200 && r < 80 && b < 80;
    case Ink::black:
        return r < 60 && g < 60 && b < 60;
    }
    return false;
}

// Where `ink` shows inside `region`: the bounding box of its pixels (empty: nowhere).
QRect inked(const QImage &image, const QRect &region, Ink ink)
{
    return inkbounds::inked(image, region, [ink](QRgb pixel) { return isInk(pixel, ink); });
}

// The picture of every image element of the report: left half red, right half blue.
QImage picture()
{
    QImage image(100, 50, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QPainter painter(&image);
    painter.fillRect(0, 0, 50, 50, Qt::red);
    return image;
}

} // namespace

// The saved report is printed by the real engine and the same elements are drawn as the canvas
// draws them; inside each element the picture's halves and the border's colours stand in the
// same places, a pixel or two apart.
TEST(PicturePrintTest, TheCanvasDrawsPicturesAsTheEnginePrintsThem)
{
    QUILLMARK_REQUIRE_ENGINE();
    QTemporaryDir dir;
    ASSERT_TRUE(picture().save(dir.filePath(u"pic.png"_s)));
    ReportDocument report = JrxmlCodec::parse(reportXml);
    // A picture placed from the palette or a drop, as the designer makes it: a pen of 1 point.
    ReportElement placed = testsupport::element(ElementKind::Image{u"\"pic.png\""_s});
    placed.x = 170;
    placed.y = 340;
    placed.width = 120;
    placed.height = 90;
    for (ReportBand &band : report.bands) {
        if (band.type == BandType::title)
            band.elements.append(placed);
    }
    const QList<ReportElement> elements = report.band(BandType::title)->elements;
    ASSERT_EQ(elements.size(), 9);

    const QString jrxml = dir.filePath(u"Pictures.jrxml"_s);
    QFile file(jrxml);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(JrxmlCodec::serialize(report));
    file.close();
    const QString pdf = dir.filePath(u"Pictures.pdf"_s);
    const QSize pixels(int(report.pageWidth) * scale, int(report.pageHeight) * scale);
    QString refusal;
    const QImage printed = inkbounds::printedPage(
        *location, jrxml, dir.filePath(u"Pictures.jasper"_s), pdf, pixels, refusal);
    if (printed.isNull())
        FAIL() << "the engine refused the report: " << refusal.toStdString();
    printed.save(QStringLiteral(QUILLMARK_BINARY_DIR "/pictures-printed.png"));

    QImage drawn(pixels, QImage::Format_RGB32);
    drawn.fill(Qt::white);
    ElementImageLoader images;
    {
        QPainter painter(&drawn);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(scale, scale);
        const ElementFaceContext context{QUrl::fromLocalFile(jrxml), false, false, &images,
                                         &report.styles};
        for (const ReportElement &e : elements) {
            painter.save();
            painter.translate(e.x, e.y);
            ElementPainter::paintContent(
                &painter, e, ElementFaceGeometry::drawnFrame(e.width, e.height), context);
            painter.restore();
        }
    }
    drawn.save(QStringLiteral(QUILLMARK_BINARY_DIR "/pictures-drawn.png"));

    for (const ReportElement &e : elements) {
        const QRect frame(int(e.x) * scale, int(e.y) * scale, int(e.width) * scale,
                          int(e.height) * scale);
        for (Ink ink : {Ink::red, Ink::blue, Ink::green, Ink::black}) {
            SCOPED_TRACE(QStringLiteral("element at %1,%2, ink %3")
                             .arg(e.x)
                             .arg(e.y)
                             .arg(int(ink))
                             .toStdString());
            const QRect want = inked(printed, frame, ink);
            const QRect got = inked(drawn, frame, ink);
            ASSERT_EQ(got.isEmpty(), want.isEmpty());
            EXPECT_NEAR(got.left(), want.left(), 2);
            EXPECT_NEAR(got.top(), want.top(), 2);
            EXPECT_NEAR(got.right(), want.right(), 2);
            EXPECT_NEAR(got.bottom(), want.bottom(), 2);
        }
    }
}
