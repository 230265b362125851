// The writer puts a tag's kept attributes after its own: each name once, the writer's own and a
// kept one written before winning. A tag may keep very many.

#include "CodecTestSupport.h"
#include "model/JrxmlCodecInternal.h"
#include "model/JrxmlText.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>
#include <random>

using namespace codectest;
using namespace Qt::StringLiterals;

namespace {

using Attributes = QList<KeptXml::Attribute>;

QStringList texts(const Attributes &attributes)
{
    QStringList out;
    for (const KeptXml::Attribute &a : attributes)
        out.append(a.name + u"=["_s + a.value + u']');
    return out;
}

// The attributes of a start tag, as an XML parser reads them.
QStringList parsedTag(const QString &tag)
{
    pugi::xml_document xml;
    const QByteArray text = (tag + u"/>"_s).toUtf8();
    if (!xml.load_buffer(text.constData(), size_t(text.size())))
        return {u"(does not parse) "_s + tag};
    Attributes out;
    for (pugi::xml_attribute a = xml.document_element().first_attribute(); a;
         a = a.next_attribute())
        out.append({QString::fromUtf8(a.name()), QString::fromUtf8(a.value())});
    return texts(out);
}

bool holdsName(const Attributes &list, const QString &name)
{
    return std::any_of(list.begin(), list.end(), [&](const auto &a) { return a.name == name; });
}

} // namespace

// Random tags: the writer's attributes, kept ones that repeat names among themselves and the
// writer's, few and many, with values that hold blanks, quotes, ampersands and (the kept ones) a
// closing "=", with and without an attribute the writer takes out again. The tag reads as the
// writer's attributes (but the one taken out), then each kept name not written before, in order,
// with its value.
TEST(JrxmlKeptAttributes, EachNameIsWrittenOnceWhateverTheirNumber)
{
    std::mt19937 random(11);
    const QStringList names = {u"x"_s, u"y"_s, u"a"_s, u"b"_s, u"c"_s, u"uuid"_s, u"key"_s};
    const QString characters = u"ab =\"&<>"_s;
    const auto pick = [&](int below) { return int(random() % unsigned(below)); };
    const auto value = [&](bool endsInEquals) {
        QString text;
        for (int i = pick(6); i > 0; --i)
            text += characters.at(pick(int(characters.size())));
        while (text.endsWith(u'='))
            text.chop(1);
        if (endsInEquals)
            text += u'=';
        return text;
    };
    const auto name = [&](int count) {
        const int i = pick(count);
        return i < names.size() ? names.at(i) : u"n"_s + QString::number(i);
    };
    for (int round = 0; round < 3000; ++round) {
        SCOPED_TRACE(round);
        // The writer's own attributes, each name once.
        Attributes own;
        for (int i = pick(4); i > 0; --i) {
            const QString n = name(int(names.size()));
            if (!holdsName(own, n))
                own.append({n, value(false)});
        }
        KeptXml kept;
        const int count = round % 10 == 0 ? 200 + pick(200) : pick(20);
        for (int i = 0; i < count; ++i)
            kept.attributes.append({name(int(names.size()) + count / 2), value(pick(4) == 0)});
        // Sometimes one of the writer's attributes is taken out again: the file left it out.
        Attributes expected = own;
        if (!own.isEmpty() && pick(2) == 0) {
            const KeptXml::Attribute &out = own.at(pick(int(own.size())));
            kept.absent.append({out.name, out.value, {}});
            expected.removeIf([&](const auto &a) { return a.name == out.name; });
        }
        for (const KeptXml::Attribute &a : std::as_const(kept.attributes)) {
            if (!holdsName(expected, a.name))
                expected.append(a);
        }

        QString tag = u"<reportElement"_s;
        for (const KeptXml::Attribute &a : std::as_const(own))
            JrxmlText::appendAttr(tag, QLatin1StringView(a.name.toLatin1()), a.value);
        JrxmlCodec::appendKeptAttributes(tag, 0, kept);
        ASSERT_EQ(parsedTag(tag), texts(expected)) << tag.toStdString();
    }
}

// One element with thousands of attributes of its own is saved as the file gave it.
TEST(JrxmlKeptAttributes, AnElementWithThousandsOfAttributesIsSavedAsItWas)
{
    QByteArray attributes;
    for (int i = 0; i < 5000; ++i)
        attributes += " a" + QByteArray::number(i) + "=\"" + QByteArray::number(i % 7) + '"';
    expectUnchanged(reportWithHeader("<title><band height=\"50\"><staticText><reportElement "
                                     "x=\"0\" y=\"0\" width=\"90\" height=\"20\" "
                                     "forecolor=\"#FF0000\"" +
                                     attributes + "/><text/></staticText></band></title>"));
}
