#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <utility>

// Reports of texts in given fonts, and the fonts the engine's PDF of them holds.
namespace testsupport {

// The fonts of a PDF as pdffonts lists them, sorted: each font's name without its subset prefix,
// followed by " embedded" when it is.
inline QStringList pdfFonts(const QString &pdf)
{
    using namespace Qt::StringLiterals;
    QProcess pdffonts;
    pdffonts.start(u"pdffonts"_s, {pdf});
    if (!pdffonts.waitForFinished(30000) || pdffonts.exitCode() != 0)
        return {u"(pdffonts failed)"_s};
    QStringList fonts;
    const QStringList lines = QString::fromUtf8(pdffonts.readAllStandardOutput()).split(u'\n');
    for (const QString &line : lines.mid(2)) {
        // name, type, encoding, then "emb sub uni" as yes/no and the object number
        static const QRegularExpression row(
            uR"(^(\S+)\s.*\s(yes|no)\s+(yes|no)\s+(yes|no)\s+\d+\s+\d+\s*$)"_s);
        const QRegularExpressionMatch match = row.match(line);
        if (!match.hasMatch())
            continue;
        QString name = match.captured(1);
        if (name.size() > 7 && name[6] == u'+')
            name = name.mid(7);
        fonts.append(match.captured(2) == u"yes"_s ? name + u" embedded"_s : name);
    }
    fonts.sort();
    return fonts;
}

// A report named Faces whose title holds one static text per entry, 20 points apart: the
// attributes of its font element and its text.
inline QByteArray reportOfTexts(const QList<std::pair<QByteArray, QByteArray>> &texts)
{
    QByteArray band;
    int y = 0;
    for (const auto &[attributes, text] : texts) {
        band += "<staticText><reportElement x=\"0\" y=\"" + QByteArray::number(y) +
                "\" width=\"400\" height=\"20\"/><textElement><font " + attributes +
                "/></textElement><text><![CDATA[" + text + "]]></text></staticText>";
        y += 20;
    }
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="Faces" pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20" topMargin="20" bottomMargin="20"><title><band height="200">)" +
           band + "</band></title></jasperReport>";
}

} // namespace testsupport
