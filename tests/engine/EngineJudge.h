#pragma once

#include "EngineTestSupport.h"
#include "engine/SidecarClient.h"
#include "model/JrxmlCodec.h"

#include <QFile>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <exception>
#include <ostream>

namespace testsupport {

using namespace Qt::StringLiterals;

// The real engine as the judge of what the designer writes: it compiles or prints a report as
// the designer saves it and answers the engine's complaint, or no value when it has none. One
// engine process serves every question of a test.
class EngineJudge {
public:
    explicit EngineJudge(const SidecarClient::Location &location) { client_.start(location); }

    // The report's compile: the engine's complaint, or no value.
    std::optional<QString> compileError(const ReportDocument &report)
    {
        return compileError(JrxmlCodec::serialize(report));
    }
    std::optional<QString> compileError(const QByteArray &jrxml)
    {
        const QString name = nextName();
        return ask(u"compile"_s, {{u"jrxmlPath"_s, write(name, jrxml)},
                                  {u"jasperPath"_s, dir_.filePath(name + u".jasper"_s)}});
    }

    // The report compiled, filled with one empty record and printed as a PDF, whose path
    // `pdfPath` receives: the engine's complaint, or no value.
    std::optional<QString> printError(const ReportDocument &report, QString *pdfPath = nullptr)
    {
        const QString name = nextName();
        const QString pdf = dir_.filePath(name + u".pdf"_s);
        if (pdfPath)
            *pdfPath = pdf;
        return ask(u"render"_s, {{u"jrxmlPath"_s, write(name, JrxmlCodec::serialize(report))},
                                 {u"jasperPath"_s, dir_.filePath(name + u".jasper"_s)},
                                 {u"jrprintPath"_s, dir_.filePath(name + u".jrprint"_s)},
                                 {u"pdfPath"_s, pdf}});
    }

    // The report saved at `jrxmlPath` filled with `rows` empty records, as the subreport of a
    // report that runs it over them (its REPORT_COUNT counts 1 to `rows`), and the print exported
    // as the engine's XML: the export's text, or empty with the engine's complaint in `error`.
    QString rowsPrint(const QString &jrxmlPath, int rows, QString &error)
    {
        const QString rowsName = nextName();
        const QString name = nextName();
        const QByteArray master =
            R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="Runner" pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20" topMargin="20" bottomMargin="20">
	<title><band height="20">
		<subreport><reportElement x="0" y="0" width="555" height="20"/><dataSourceExpression><![CDATA[new net.sf.jasperreports.engine.JREmptyDataSource()" +
            QByteArray::number(rows) +
            R"()]]></dataSourceExpression><subreportExpression><![CDATA[")" + rowsName.toUtf8() +
            R"(.jasper"]]></subreportExpression></subreport>
	</band></title>
</jasperReport>
)";
        const QString jrprint = dir_.filePath(name + u".jrprint"_s);
        const QString xml = dir_.filePath(name + u".xml"_s);
        const std::optional<QString> complaint =
            ask(u"compile"_s, {{u"jrxmlPath"_s, jrxmlPath},
                               {u"jasperPath"_s, dir_.filePath(rowsName + u".jasper"_s)}});
        const std::optional<QString> printed =
            complaint ? complaint
                      : ask(u"render"_s, {{u"jrxmlPath"_s, write(name, master)},
                                          {u"jasperPath"_s, dir_.filePath(name + u".jasper"_s)},
                                          {u"jrprintPath"_s, jrprint},
                                          {u"pdfPath"_s, dir_.filePath(name + u".pdf"_s)}});
        const std::optional<QString> exported = printed
                                                    ? printed
                                                    : ask(u"export"_s, {{u"jrprintPath"_s, jrprint},
                                                                        {u"outputPath"_s, xml},
                                                                        {u"format"_s, u"xml"_s}});
        error = exported.value_or(QString());
        QFile file(xml);
        return exported || !file.open(QIODevice::ReadOnly) ? QString()
                                                           : QString::fromUtf8(file.readAll());
    }

    QString folder() const { return dir_.path(); }

private:
    QString nextName() { return u"Report"_s + QString::number(++count_); }

    QString write(const QString &name, const QByteArray &jrxml)
    {
        const QString path = dir_.filePath(name + u".jrxml"_s);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(jrxml);
        return path;
    }

    std::optional<QString> ask(const QString &command, const QJsonObject &params)
    {
        try {
            client_.send(command, params, std::chrono::seconds(120));
            return std::nullopt;
        } catch (const std::exception &error) {
            return QString::fromUtf8(error.what());
        }
    }

    QTemporaryDir dir_;
    SidecarClient client_;
    int count_ = 0;
};

// One text of a print as the engine's XML export of it holds it: its content, and the values
// it prints with, its own or else those of its style (the style of a condition that held, which
// names the element's style as its parent), else the engine's.
struct PrintedText {
    QString text;
    bool isBold = false;
    bool isItalic = false;
    QString backColor; // empty where it is not filled
    bool operator==(const PrintedText &) const = default;
};

inline std::ostream &operator<<(std::ostream &out, const PrintedText &t)
{
    return out << '"' << t.text.toStdString() << '"' << (t.isBold ? " bold" : "")
               << (t.isItalic ? " italic" : "")
               << (t.backColor.isEmpty() ? std::string() : " on " + t.backColor.toStdString());
}

// The texts of the print, in the export's order.
inline QList<PrintedText> printedTexts(const QString &xml)
{
    using Attributes = QMap<QString, QString>;
    QMap<QString, Attributes> styles;
    struct Text {
        Attributes own; // of its position line and its font
        QString content;
    };
    QList<Text> texts;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        Attributes attributes;
        for (const QXmlStreamAttribute &a : reader.attributes())
            attributes.insert(a.name().toString(), a.value().toString());
        const QStringView tag = reader.name();
        if (tag == u"style")
            styles.insert(attributes.value(u"name"_s), attributes);
        else if (tag == u"text")
            texts.append(Text{});
        else if (!texts.isEmpty() && (tag == u"reportElement" || tag == u"font"))
            texts.last().own.insert(attributes);
        else if (!texts.isEmpty() && tag == u"textContent")
            texts.last().content = reader.readElementText();
    }
    QList<PrintedText> out;
    for (const Text &t : std::as_const(texts)) {
        const auto value = [&](const QString &name, const QString &engines) {
            if (t.own.contains(name))
                return t.own.value(name);
            QStringList seen;
            for (QString style = t.own.value(u"style"_s);
                 styles.contains(style) && !seen.contains(style);
                 style = styles.value(style).value(u"style"_s)) {
                seen.append(style);
                if (styles.value(style).contains(name))
                    return styles.value(style).value(name);
            }
            return engines;
        };
        const bool filled = value(u"mode"_s, u"Transparent"_s) == u"Opaque";
        out.append({t.content, value(u"isBold"_s, u"false"_s) == u"true",
                    value(u"isItalic"_s, u"false"_s) == u"true",
                    filled ? value(u"backcolor"_s, u"#FFFFFF"_s) : QString()});
    }
    return out;
}

// The judge of a test that also runs without the engine: its engine starts at the first
// question, and without Java or the jar every answer is no complaint.
class JudgeWhereAtHand {
public:
    // The engine's complaint about compiling the report, or no value (also without an engine).
    std::optional<QString> compileError(const ReportDocument &report)
    {
        return judge() ? judge_->compileError(report) : std::nullopt;
    }
    // The same for a report's text, as a file holds it.
    std::optional<QString> compileError(const QByteArray &jrxml)
    {
        return judge() ? judge_->compileError(jrxml) : std::nullopt;
    }

private:
    // Whether there is an engine; it starts at the first question.
    bool judge()
    {
        if (!judge_) {
            const std::optional<SidecarClient::Location> location = realEngine();
            if (!location)
                return false;
            judge_.emplace(*location);
        }
        return true;
    }

    std::optional<EngineJudge> judge_;
};

} // namespace testsupport
