#include "CodecTestSupport.h"
#include "ModelBuilders.h"
#include "SavedComments.h"

#include <QFileInfo>
#include <QUuid>
#include <functional>
#include <gtest/gtest.h>
#include <pugixml.hpp>

using namespace codectest;
using namespace Qt::StringLiterals;

namespace {

// The reports with comments inside: our own in the namespace form and in the older form, with a
// comment before every element inside the report and at the end of each element that holds
// others, and the corpus reports that hold comments inside the report.
QList<std::pair<QString, QByteArray>> commentedReports()
{
    QList<std::pair<QString, QByteArray>> reports;
    for (const QString &name : {u"CommentsEverywhere"_s, u"CommentsOlderForm"_s}) {
        reports.append({name, testsupport::readFile(testsupport::sourceDir() +
                                                    u"/tests/tools/roundtrip-fixtures/"_s + name +
                                                    u".jrxml"_s)});
    }
    const QString corpus = testsupport::corpusDir();
    for (const QString &path : {u"unicode/UnicodeReport.jrxml"_s, u"map/MapReport4.jrxml"_s}) {
        const QString file = corpus + u"/jrxml-samples/"_s + path;
        if (!corpus.isEmpty() && QFileInfo::exists(file))
            reports.append({path, testsupport::readFile(file)});
    }
    return reports;
}

// The identity our report in the namespace form gives the element it names so.
QString idOf(const char *name)
{
    return QUuid::createUuidV5(QUuid(u"6ba7b811-9dad-11d1-80b4-00c04fd430c8"_s),
                               QByteArray("comments-") + name)
        .toString(QUuid::WithoutBraces);
}

// The texts of the comments inside the element whose position line has that identity.
QStringList commentsInside(const QByteArray &jrxml, const char *key)
{
    pugi::xml_document xml;
    xml.load_buffer(jrxml.constData(), size_t(jrxml.size()),
                    pugi::parse_default | pugi::parse_comments);
    QStringList texts;
    const pugi::xpath_node element =
        xml.select_node((u"//*[*[local-name()='reportElement' and @uuid='"_s + idOf(key) + u"']]"_s)
                            .toUtf8()
                            .constData());
    std::function<void(pugi::xml_node)> collect = [&](pugi::xml_node node) {
        for (pugi::xml_node child : node.children()) {
            if (child.type() == pugi::node_comment)
                texts.append(QString::fromUtf8(child.value()));
            collect(child);
        }
    };
    collect(element.node());
    return texts;
}

ElementList *bandElements(ReportDocument &d, BandType type)
{
    for (ReportBand &band : d.bands) {
        if (band.type == type)
            return &band.elements;
    }
    return type == BandType::detail && !d.detailBands.isEmpty() ? &d.detailBands[0].elements
                                                                : nullptr;
}

qsizetype indexOfKey(const ElementList &elements, const QString &key)
{
    for (qsizetype i = 0; i < elements.size(); ++i) {
        const QString *kept = elements.at(i).kept.part(u"reportElement").attribute(u"uuid");
        if (kept && *kept == idOf(key.toLatin1().constData()))
            return i;
    }
    return -1;
}

std::string withoutBlankLines(QByteArray text)
{
    while (text.contains("\n\n"))
        text.replace("\n\n", "\n");
    return text.toStdString();
}

// Removes the element of the band whose position line has that key.
std::function<void(ReportDocument &)> removal(BandType type, const char *key)
{
    return [type, key](ReportDocument &d) {
        ElementList *elements = bandElements(d, type);
        if (const qsizetype at = indexOfKey(*elements, QString::fromLatin1(key)); at >= 0)
            elements->removeAt(at);
    };
}

struct Edit {
    const char *name;
    std::function<void(ReportDocument &)> apply;
    // The key of the element the edit removes, whose comments go with it.
    const char *removed = nullptr;
};

} // namespace

// Every comment inside a report is written back where it stood by a save without edits and by a
// save after edits of every kind: before, between and inside the elements, bands, groups,
// datasets and styles beside it. A comment goes with the element it stood inside when that
// element is removed, and only then; the text saved reads back to itself.
TEST(JrxmlComments, EverySaveKeepsTheCommentsWhereTheyStood)
{
    const Edit edits[] = {
        {"no edit", [](ReportDocument &) {}},
        {"a band's height", [](ReportDocument &d) { d.detailBands[0].height += 10; }},
        {"an element moved",
         [](ReportDocument &d) {
             for (ReportBand &band : d.bands) {
                 for (ReportElement &e : band.elements)
                     e.x += 5;
             }
         }},
        {"the elements of the detail band in reverse order",
         [](ReportDocument &d) {
             ElementList &elements = d.detailBands[0].elements;
             ElementList reversed;
             for (qsizetype i = elements.size(); i-- > 0;)
                 reversed.append(elements.at(i));
             elements = reversed;
         }},
        {"a frame removed", removal(BandType::detail, "frame"), "frame"},
        {"the title's text removed", removal(BandType::title, "titleText"), "titleText"},
        {"an element taken to another band",
         [](ReportDocument &d) {
             ElementList *from = bandElements(d, BandType::detail);
             ElementList *to = bandElements(d, BandType::title);
             if (!to || from->isEmpty())
                 return;
             to->append(from->at(0));
             from->removeAt(0);
         }},
        {"an element added to each band",
         [](ReportDocument &d) {
             for (ReportBand &band : d.bands)
                 band.elements.append(testsupport::element(ElementKind::StaticText{u"new"_s}));
         }},
        {"the first parameter and the last style removed",
         [](ReportDocument &d) {
             if (!d.parameters.isEmpty())
                 d.parameters.removeFirst();
             if (!d.styles.isEmpty())
                 d.styles.removeLast();
         }},
    };
    for (const auto &[name, jrxml] : commentedReports()) {
        SCOPED_TRACE(name.toStdString());
        QStringList warnings;
        const ReportDocument loaded = JrxmlCodec::parse(jrxml, &warnings);
        EXPECT_TRUE(warnings.isEmpty()) << warnings.join(u'\n').toStdString();
        const SavedComments comments(jrxml);
        EXPECT_GT(comments.count(), 0);
        for (const Edit &edit : edits) {
            SCOPED_TRACE(edit.name);
            ReportDocument edited = loaded;
            edit.apply(edited);
            const QByteArray saved = JrxmlCodec::serialize(edited);
            const QStringList lapses = comments.lapses(saved);
            EXPECT_TRUE(lapses.isEmpty()) << lapses.join(u'\n').toStdString();
            if (edit.removed) {
                for (const QString &inside : commentsInside(jrxml, edit.removed))
                    EXPECT_FALSE(saved.contains(inside.toUtf8())) << inside.toStdString();
            }
            // Read and written again, the comments stand where they were saved.
            EXPECT_EQ(withoutBlankLines(roundTrip(saved)), withoutBlankLines(saved))
                << "not a fixed point";
        }
    }
}
