#include "FollowedStyles.h"

#include "EngineValues.h"
#include "model/JrxmlCodec.h"

#include <QMap>
#include <QSet>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

namespace FollowedStyles {

namespace {

// The file outside the report's styles, one line for each element's start (with its path and
// attributes) and text.
QStringList outsideStyles(const QByteArray &file)
{
    QStringList lines;
    QStringList path;
    QXmlStreamReader xml(file);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (path.size() == 1 && xml.name() == u"style") {
                xml.skipCurrentElement();
                continue;
            }
            path.append(xml.name().toString());
            QString line = path.join(u'/');
            for (const QXmlStreamAttribute &a : xml.attributes())
                line += u' ' + a.qualifiedName() + u"=\""_s + a.value() + u'"';
            lines.append(line);
        } else if (xml.isEndElement()) {
            path.removeLast();
        } else if (xml.isCharacters() && !xml.isWhitespace()) {
            lines.append(path.join(u'/') + u" text "_s + xml.text());
        }
    }
    if (xml.hasError())
        lines.append(u"unreadable: "_s + xml.errorString());
    return lines;
}

// Where what the designer holds of the report differs from a fresh read of its file: the value's
// place and name, and how they differ.
QMap<QString, QString> misread(const ReportDocument &report, const QByteArray &file)
{
    const testsupport::ReportValues held = testsupport::designerValues(report);
    const testsupport::ReportValues read = testsupport::designerValues(JrxmlCodec::parse(file));
    QMap<QString, QString> found;
    const QString none = u"(none)"_s;
    for (const QString &key : held.keys() + read.keys()) {
        if (held.value(key, none) != read.value(key, none))
            found.insert(key,
                         u"held "_s + held.value(key, none) + u", read "_s + read.value(key, none));
    }
    return found;
}

} // namespace

QStringList lapses(const ReportDocument &before, const ReportDocument &after)
{
    QStringList found;
    const QByteArray fileBefore = JrxmlCodec::serialize(before);
    const QByteArray fileAfter = JrxmlCodec::serialize(after);
    const QStringList outsideBefore = outsideStyles(fileBefore);
    const QStringList outsideAfter = outsideStyles(fileAfter);
    for (qsizetype i = 0; i < std::max(outsideBefore.size(), outsideAfter.size()); ++i) {
        const QString was = outsideBefore.value(i, u"(nothing)"_s);
        const QString is = outsideAfter.value(i, u"(nothing)"_s);
        if (was != is) {
            found.append(u"a style edit rewrote the file outside the styles: "_s + was +
                         u" is now "_s + is);
            break;
        }
    }
    // Only what the edit changed counts: a place (an element, a band) whose values the designer
    // held otherwise already is another edit's.
    const QMap<QString, QString> already = misread(before, fileBefore);
    QSet<QString> placesAlready;
    for (const QString &key : already.keys())
        placesAlready.insert(key.section(u'\t', 0, 0));
    const QMap<QString, QString> now = misread(after, fileAfter);
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        if (!placesAlready.contains(it.key().section(u'\t', 0, 0)))
            found.append(u"after a style edit the designer holds what a fresh read does not: "_s +
                         QString(it.key()).replace(u'\t', u' ') + u": "_s + it.value());
    }
    return found;
}

} // namespace FollowedStyles
