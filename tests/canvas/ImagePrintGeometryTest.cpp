#include "canvas/ImagePrintGeometry.h"
#include "model/JrxmlCodec.h"

#include "ModelBuilders.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace ImagePrintGeometry;

namespace {

// The report of `bandXml` (the title band's elements) with the styles of `stylesXml`.
ReportDocument reportOf(const QString &bandXml, const QString &stylesXml = {})
{
    const QString xml = uR"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="r" pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20" topMargin="20" bottomMargin="20">)"_s +
                        stylesXml + u"<title><band height=\"300\">"_s + bandXml +
                        u"</band></title></jasperReport>"_s;
    return JrxmlCodec::parse(xml.toUtf8());
}

QString imageXml(const QString &attributes, const QString &inside = {})
{
    return u"<image "_s + attributes +
           u"><reportElement x=\"0\" y=\"0\" width=\"200\" height=\"100\"/>"_s + inside +
           u"<imageExpression><![CDATA[\"p.png\"]]></imageExpression></image>"_s;
}

ReportElement firstElement(const ReportDocument &report)
{
    return report.band(BandType::title)->elements.first();
}

TEST(ImagePrintGeometryTest, ScaleAndAlignmentComeFromTheElementItsStylesOrTheEngine)
{
    // Nothing said: RetainShape at the top left.
    ReportDocument plain = reportOf(imageXml({}));
    EXPECT_EQ(placement(firstElement(plain), plain.styles), Placement{});

    // The element's own attributes.
    ReportDocument own =
        reportOf(imageXml(uR"(scaleImage="Clip" hAlign="Right" vAlign="Middle")"_s));
    EXPECT_EQ(placement(firstElement(own), own.styles), (Placement{ScaleImage::clip, 1, 0.5}));

    // A style and its parent give what the element leaves out; the element's own wins.
    const QString styles = uR"(<style name="Base" scaleImage="FillFrame" vImageAlign="Bottom"/>
            <style name="Pictures" style="Base" hImageAlign="Center"/>)"_s;
    ReportDocument styled =
        reportOf(imageXml(u"vAlign=\"Top\""_s)
                     .replace(u"<reportElement "_s, u"<reportElement style=\"Pictures\" "_s),
                 styles);
    EXPECT_EQ(placement(firstElement(styled), styled.styles),
              (Placement{ScaleImage::fillFrame, 0.5, 0}));
    // An element that names no style takes the report's default style.
    ReportDocument defaulted =
        reportOf(imageXml({}), uR"(<style name="D" isDefault="true" scaleImage="RealSize"/>)"_s);
    EXPECT_EQ(placement(firstElement(defaulted), defaulted.styles).scale, ScaleImage::realSize);
    // Styles naming each other in a circle end the search.
    ReportDocument circle =
        reportOf(imageXml({}).replace(u"<reportElement "_s, u"<reportElement style=\"A\" "_s),
                 uR"(<style name="A" style="B"/><style name="B" style="A"/>)"_s);
    EXPECT_EQ(placement(firstElement(circle), circle.styles), Placement{});
}

TEST(ImagePrintGeometryTest, PicturesLandAsTheEngineScalesAndAlignsThem)
{
    const QRectF area(10, 20, 200, 100);
    const QSizeF wide(100, 50), tall(50, 100);
    struct Case {
        ScaleImage scale;
        double horizontal, vertical;
        QSizeF picture;
        QRectF expected;
    };
    const Case cases[] = {
        // Kept at its size, at the bottom right: it sticks out to the left and is cut there.
        {ScaleImage::clip, 1, 1, QSizeF(300, 50), QRectF(-90, 70, 300, 50)},
        {ScaleImage::fillFrame, 0.5, 0.5, wide, area},
        // Scaled to the height the area has, centred across.
        {ScaleImage::retainShape, 0.5, 0, wide, QRectF(10, 20, 200, 100)},
        {ScaleImage::retainShape, 0.5, 0, tall, QRectF(85, 20, 50, 100)},
        {ScaleImage::retainShape, 1, 0, tall, QRectF(160, 20, 50, 100)},
        // As wide as the area; taller than it, the element grows and the picture starts on top.
        {ScaleImage::realHeight, 0, 1, QSizeF(100, 20), QRectF(10, 80, 200, 40)},
        {ScaleImage::realHeight, 0, 1, tall, QRectF(10, 20, 200, 400)},
        // Its own size where it fits, else narrowed to the area's width.
        {ScaleImage::realSize, 0.5, 0.5, QSizeF(100, 20), QRectF(60, 60, 100, 20)},
        {ScaleImage::realSize, 0.5, 0.5, QSizeF(400, 100), QRectF(10, 45, 200, 50)},
        {ScaleImage::realSize, 0.5, 0.5, QSizeF(100, 300), QRectF(60, 20, 100, 300)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(int(c.scale));
        EXPECT_EQ(pictureRect(area, c.picture, Placement{c.scale, c.horizontal, c.vertical}),
                  c.expected);
    }

    // The padding narrows the area; it never turns negative.
    ReportDocument padded =
        reportOf(imageXml({}, uR"(<box topPadding="5" leftPadding="10" rightPadding="300"/>)"_s));
    EXPECT_EQ(pictureArea(firstElement(padded), QRectF(0, 0, 200, 100)), QRectF(10, 5, 0, 95));
}

TEST(ImagePrintGeometryTest, TheBorderIsTheBoxsSidesElseTheGraphicPen)
{
    // A file's image without pens prints none, whatever the model supplied for the width.
    ReportDocument none = reportOf(imageXml({}));
    EXPECT_EQ(border(firstElement(none)), Border{});

    // The graphic pen, in the element's colour or its own.
    ReportDocument pen = reportOf(imageXml(
        {}, uR"(<graphicElement><pen lineWidth="2.0" lineStyle="Dashed"/></graphicElement>)"_s));
    const Side dashed{2, std::nullopt, PenLineStyle::dashed};
    EXPECT_EQ(border(firstElement(pen)), (Border{dashed, dashed, dashed, dashed}));

    // The box's pen gives every side its width; a side's own pen wins for that side. With any
    // side drawn, the graphic pen is not.
    ReportDocument box = reportOf(
        imageXml({}, uR"(<box><pen lineWidth="0.5" lineColor="#00FF00"/><topPen lineWidth="3.0"/>
                <leftPen lineColor="#FF0000"/></box>
                <graphicElement><pen lineWidth="4.0"/></graphicElement>)"_s));
    const Border sides = border(firstElement(box));
    EXPECT_EQ(sides.top, (Side{3, ElementColor{u"#00FF00"_s}, PenLineStyle::solid}));
    EXPECT_EQ(sides.left, (Side{0.5, ElementColor{u"#FF0000"_s}, PenLineStyle::solid}));
    EXPECT_EQ(sides.bottom, (Side{0.5, ElementColor{u"#00FF00"_s}, PenLineStyle::solid}));
    // A box whose sides are all 0 leaves the graphic pen.
    ReportDocument zero = reportOf(imageXml(
        {},
        uR"(<box><pen lineWidth="0.0"/></box><graphicElement><pen lineWidth="1.0"/></graphicElement>)"_s));
    EXPECT_EQ(border(firstElement(zero)).right.width, 1);

    // A new image element writes its pen width: it prints, and changing a file's width does
    // too.
    ReportElement fresh = testsupport::element(ElementKind::Image{u"\"p.png\""_s});
    EXPECT_EQ(border(fresh).top.width, 1);
    ReportElement edited = firstElement(none);
    edited.penWidth = 2;
    EXPECT_EQ(border(edited).bottom.width, 2);
}

} // namespace
