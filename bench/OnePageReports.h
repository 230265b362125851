#pragma once

#include <QByteArray>

// Reports of thousands of small elements in one detail band, 20 to a row, the rows overlapping,
// for the benchmarks that time what the designer window does with them.
namespace onepage {

enum class Kinds {
    // Static texts and text fields in turn.
    texts,
    // Texts, shapes, lines, pictures (of no file: their frames), frames and subreports in turn.
    mixed,
};

// `count` elements 26 by 12 points, the row of element i at rowStep * (i / 20 % rows) points,
// in a detail band `bandHeight` high.
inline QByteArray report(int count, Kinds kinds, int rowStep, int rows, int bandHeight)
{
    QByteArray elements;
    for (int i = 0; i < count; ++i) {
        const QByteArray n = QByteArray::number(i);
        const QByteArray frame = "<reportElement x=\"" + QByteArray::number(27 * (i % 20)) +
                                 "\" y=\"" + QByteArray::number(rowStep * (i / 20 % rows)) +
                                 "\" width=\"26\" height=\"12\"/>";
        const QByteArray font = "<textElement><font size=\"7\"/></textElement>";
        const int kind = kinds == Kinds::texts ? i % 2 : i % 8;
        switch (kind) {
        case 0:
            elements += "<staticText>" + frame + font + "<text><![CDATA[Text " + n +
                        "]]></text></staticText>\n";
            break;
        case 1:
            elements += "<textField>" + frame + font + "<textFieldExpression><![CDATA[$F{f" + n +
                        "}]]></textFieldExpression></textField>\n";
            break;
        case 2:
            elements += "<rectangle>" + frame + "</rectangle>\n";
            break;
        case 3:
            elements += "<ellipse>" + frame + "</ellipse>\n";
            break;
        case 4:
            elements += "<line>" + frame + "</line>\n";
            break;
        case 5:
            elements += "<image>" + frame + "<imageExpression><![CDATA[\"picture" + n +
                        ".png\"]]></imageExpression></image>\n";
            break;
        case 6:
            elements += "<frame>" + frame + "</frame>\n";
            break;
        default:
            elements += "<subreport>" + frame + "<subreportExpression><![CDATA[\"Part" + n +
                        ".jasper\"]]></subreportExpression></subreport>\n";
            break;
        }
    }
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="Bulk"
    pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20"
    topMargin="20" bottomMargin="20">
  <detail>
    <band height=")" +
           QByteArray::number(bandHeight) + R"(">
)" + elements +
           R"(    </band>
  </detail>
</jasperReport>
)";
}

} // namespace onepage
