// The canonical comparison that judges a no-edit save: what counts as a difference and what not.

#include "CanonicalDiff.h"
#include "TestSupport.h"

#include <QFile>
#include <QRandomGenerator>
#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <pugixml.hpp>
#include <string>
#include <vector>

using namespace canonicaldiff;
using namespace Qt::StringLiterals;
using Kind = Difference::Kind;

namespace canonicaldiff {
void PrintTo(const Difference &d, std::ostream *out)
{
    *out << describe(d).toStdString();
}
} // namespace canonicaldiff

TEST(CanonicalDiff, LayoutAttributeOrderAndCharacterDataFormDoNotCount)
{
    const QByteArray before = "<r a=\"1\" b=\"2\">\n\t<q><![CDATA[x < y]]></q>\n\t<e/>\n"
                              "\t<t>\n\t\t<![CDATA[select 1]]>\n\t</t>\n</r>";
    const QByteArray after = "<r b=\"2\" a=\"1\"><q>x &lt; y</q><e></e>"
                             "<t><![CDATA[\n\t\tselect 1\n\t]]></t></r>";
    EXPECT_TRUE(compare(before, after).isEmpty());
    // A prefix declared elsewhere counts as long as it names the same namespace where it is used.
    EXPECT_TRUE(
        compare("<r xmlns:x=\"urn:x\"><a><x:b/></a></r>", "<r><a><x:b xmlns:x=\"urn:x\"/></a></r>")
            .isEmpty());
}

TEST(CanonicalDiff, CountsMissingAddedAndChangedAttributesChildrenAndTexts)
{
    // The children pair up in order by name: x is missing and w added, the two z are the same.
    const QList<Difference> found =
        compare("<r a=\"1\" b=\"2\"><x/><y>t</y><z/><z d=\"5\"/><v/></r>",
                "<r a=\"1\" b=\"3\" c=\"4\"><y>u</y><z/><w/><z/></r>");
    const QList<Difference> expected = {
        {Kind::changedAttribute, "/r@b", "2 -> 3"},
        {Kind::addedAttribute, "/r@c", "4"},
        {Kind::missingChild, "/r/x", {}},
        {Kind::changedText, "/r/y", "t -> u"},
        {Kind::addedChild, "/r/w", {}},
        {Kind::missingAttribute, "/r/z[2]@d", "5"},
        {Kind::missingChild, "/r/v", {}},
    };
    EXPECT_EQ(found, expected);
    const Counts counts = count(found);
    EXPECT_EQ(counts.total(), 7);
    EXPECT_EQ(describe(counts), QStringLiteral("1 missing attribute, 1 added attribute, "
                                               "1 changed attribute, 2 missing children, "
                                               "1 added child, 1 changed text"));
    EXPECT_EQ(describe(Counts{}), QStringLiteral("no difference"));

    // A prefix that stands for another namespace where it is used; a text of blanks that is
    // character data, which is not indentation.
    const QList<Difference> renamed =
        compare("<r xmlns:x=\"urn:a\"><x:b/></r>", "<r xmlns:x=\"urn:b\"><x:b/></r>");
    EXPECT_EQ(renamed,
              (QList<Difference>{{Kind::changedAttribute, "/r/x:b@xmlns:x", "urn:a -> urn:b"}}));
    EXPECT_EQ(count(compare("<r><t><![CDATA[ ]]><s/></t></r>", "<r><t><s/></t></r>")).changedTexts,
              1);
    EXPECT_EQ(count(compare("<r><t><![CDATA[ a]]></t></r>", "<r><t>a</t></r>")).changedTexts, 1);
    EXPECT_THROW(compare("<r>", "<r/>"), std::runtime_error);
}

namespace {

// The comparison as it is plainly written: recursive, a full table of the longest common
// sequence of the children's names, every lookup a walk. The comparison must give the same.
class PlainComparison {
public:
    QList<Difference> differences;

    void element(pugi::xml_node before, pugi::xml_node after, const QString &path)
    {
        // Each prefix the element uses, its own first, then those of its attributes.
        std::vector<std::string> used{prefix(before.name())};
        for (pugi::xml_attribute attr : before.attributes()) {
            const std::string p = prefix(attr.name());
            if (!p.empty() && p != "xmlns" && p != "xml" &&
                std::find(used.begin(), used.end(), p) == used.end())
                used.push_back(p);
        }
        for (const std::string &name : used) {
            const std::string declaration = name.empty() ? "xmlns" : "xmlns:" + name;
            const QString a = uri(before, declaration), b = uri(after, declaration);
            const QString at = path + u'@' + QString::fromStdString(declaration);
            if (a == b)
                continue;
            differences.append(b.isEmpty() ? Difference{Kind::missingAttribute, at, a}
                               : a.isEmpty()
                                   ? Difference{Kind::addedAttribute, at, b}
                                   : Difference{Kind::changedAttribute, at, a + u" -> " + b});
        }
        for (pugi::xml_attribute attr : before.attributes()) {
            if (std::strncmp(attr.name(), "xmlns", 5) == 0)
                continue;
            const QString at = path + u'@' + QString::fromUtf8(attr.name());
            if (!after.attribute(attr.name()))
                differences.append({Kind::missingAttribute, at, QString::fromUtf8(attr.value())});
            else if (std::strcmp(attr.value(), after.attribute(attr.name()).value()) != 0)
                differences.append(
                    {Kind::changedAttribute, at,
                     shortened(QString::fromUtf8(attr.value())) + u" -> " +
                         shortened(QString::fromUtf8(after.attribute(attr.name()).value()))});
        }
        for (pugi::xml_attribute attr : after.attributes()) {
            if (std::strncmp(attr.name(), "xmlns", 5) != 0 && !before.attribute(attr.name()))
                differences.append({Kind::addedAttribute,
                                    path + u'@' + QString::fromUtf8(attr.name()),
                                    QString::fromUtf8(attr.value())});
        }
        if (text(before) != text(after))
            differences.append({Kind::changedText, path,
                                shortened(text(before)) + u" -> " + shortened(text(after))});
        std::vector<pugi::xml_node> a, b;
        for (pugi::xml_node child : before.children())
            if (child.type() == pugi::node_element)
                a.push_back(child);
        for (pugi::xml_node child : after.children())
            if (child.type() == pugi::node_element)
                b.push_back(child);
        std::vector<std::vector<int>> common(a.size() + 1, std::vector<int>(b.size() + 1, 0));
        for (size_t i = a.size(); i-- > 0;)
            for (size_t j = b.size(); j-- > 0;)
                common[i][j] = std::strcmp(a[i].name(), b[j].name()) == 0
                                   ? common[i + 1][j + 1] + 1
                                   : std::max(common[i + 1][j], common[i][j + 1]);
        for (size_t i = 0, j = 0; i < a.size() || j < b.size();) {
            if (i < a.size() && j < b.size() && std::strcmp(a[i].name(), b[j].name()) == 0) {
                element(a[i], b[j], path + u'/' + step(a[i]));
                ++i, ++j;
            } else if (j == b.size() || (i < a.size() && common[i + 1][j] >= common[i][j + 1])) {
                differences.append({Kind::missingChild, path + u'/' + step(a[i++]), {}});
            } else {
                differences.append({Kind::addedChild, path + u'/' + step(b[j++]), {}});
            }
        }
    }

private:
    static std::string prefix(const char *name)
    {
        const char *colon = std::strchr(name, ':');
        return colon ? std::string(name, colon) : std::string();
    }
    static QString uri(pugi::xml_node node, const std::string &declaration)
    {
        for (; node; node = node.parent())
            if (pugi::xml_attribute a = node.attribute(declaration.c_str()))
                return QString::fromUtf8(a.value());
        return {};
    }
    static QString shortened(const QString &value)
    {
        return value.size() > 80 ? value.left(77) + u"..." : value;
    }
    static QString text(pugi::xml_node node)
    {
        const bool hasElements =
            node.find_child([](pugi::xml_node c) { return c.type() == pugi::node_element; });
        QString out;
        bool indentation = true;
        for (pugi::xml_node child : node.children()) {
            if (child.type() != pugi::node_pcdata && child.type() != pugi::node_cdata)
                continue;
            const QString piece = QString::fromUtf8(child.value());
            const bool blank = child.type() == pugi::node_pcdata &&
                               std::all_of(piece.cbegin(), piece.cend(), [](QChar c) {
                                   return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
                               });
            if (hasElements && blank)
                continue;
            indentation = indentation && blank;
            out += piece;
        }
        return indentation ? QString() : out;
    }
    static QString step(pugi::xml_node child)
    {
        int number = 0, count = 0;
        for (pugi::xml_node sibling : child.parent().children(child.name()))
            if (++count && sibling == child)
                number = count;
        const QString name = QString::fromUtf8(child.name());
        return count > 1 ? name + u'[' + QString::number(number) + u']' : name;
    }
};

QList<Difference> plainCompare(const QByteArray &before, const QByteArray &after)
{
    pugi::xml_document a, b;
    const unsigned options = pugi::parse_default | pugi::parse_ws_pcdata;
    a.load_buffer(before.constData(), size_t(before.size()), options);
    b.load_buffer(after.constData(), size_t(after.size()), options);
    PlainComparison comparison;
    comparison.element(a.document_element(), b.document_element(),
                       u'/' + QString::fromUtf8(a.document_element().name()));
    return comparison.differences;
}

// A random element: names, prefixes, attributes and texts from a few each, so that pairs of
// documents share much and differ somewhere.
QByteArray randomElement(QRandomGenerator &random, int depth)
{
    static const char *const names[] = {"a", "b", "c", "p:a", "q:b"};
    const QByteArray name = depth == 0 ? "r" : names[random.bounded(5)];
    QByteArray out = '<' + name;
    if (random.bounded(4) == 0)
        out += random.bounded(2) ? " xmlns:p=\"urn:1\"" : " xmlns:p=\"urn:2\"";
    if (depth == 0 || random.bounded(8) == 0)
        out += depth == 0 ? " xmlns:q=\"urn:3\"" : " xmlns:q=\"urn:4\"";
    for (const char *attr : {"x", "y", "p:z"}) {
        if (random.bounded(3) == 0)
            out += QByteArray(" ") + attr + "=\"" + QByteArray::number(random.bounded(3)) + '"';
    }
    out += '>';
    if (random.bounded(3) == 0)
        out += QByteArray::number(random.bounded(3));
    for (int children = depth < 4 ? int(random.bounded(6)) : 0; children > 0; --children) {
        // Indentation, or blanks that are character data.
        if (random.bounded(3) == 0)
            out += random.bounded(4) ? "\n\t" : "<![CDATA[ ]]>";
        out += randomElement(random, depth + 1);
    }
    return out + "</" + name + '>';
}

} // namespace

// The comparison pairs children, spells paths and looks up namespaces and attributes otherwise
// than it is plainly written, and finds the same differences in the same order: over random
// pairs of documents and over pairs of the corpus's reports.
TEST(CanonicalDiff, FindsWhatThePlainComparisonFinds)
{
    QRandomGenerator random(11);
    for (int run = 0; run < 3000; ++run) {
        const QByteArray before = randomElement(random, 0);
        const QByteArray after = randomElement(random, 0);
        ASSERT_EQ(compare(before, after), plainCompare(before, after))
            << before.toStdString() << "\n"
            << after.toStdString();
    }
    const QStringList reports = testsupport::corpusReports();
    for (qsizetype i = 1; i < reports.size(); ++i) {
        QFile before(reports[i - 1]), after(reports[i]);
        ASSERT_TRUE(before.open(QIODevice::ReadOnly) && after.open(QIODevice::ReadOnly));
        const QByteArray a = before.readAll(), b = after.readAll();
        EXPECT_EQ(compare(a, b), plainCompare(a, b)) << reports[i].toStdString();
    }
}

// Documents deep, wide or with many attributes are compared in time and room linear in their
// size, and without exhausting the stack.
TEST(CanonicalDiff, HostileSizesAreComparedLinearly)
{
    const int many = 100000;
    const QByteArray deep =
        "<r>" + QByteArray("<u>").repeated(many) + "t" + QByteArray("</u>").repeated(many) + "</r>";
    QByteArray deeper = deep;
    deeper.replace("t<", "v<");
    const QList<Difference> inner = compare(deep, deeper);
    ASSERT_EQ(inner.size(), 1);
    EXPECT_TRUE(inner[0].path.endsWith(u"/u/u/u"_s));
    EXPECT_EQ(inner[0].path.size(), 2 + many * 2);

    // Children that do not pair up from the start, too many for the table.
    const QByteArray bands = QByteArray("<band/>").repeated(many);
    EXPECT_EQ(compare("<r><x/>" + bands + "</r>", "<r>" + bands + "<y/></r>"),
              (QList<Difference>{{Kind::missingChild, u"/r/x"_s, {}},
                                 {Kind::addedChild, u"/r/y"_s, {}}}));
    const QByteArray mixed = QByteArray("<a/><b/>").repeated(many / 2);
    EXPECT_EQ(count(compare("<r>" + mixed + "</r>", "<r><b/>" + mixed + "</r>")).total(), 1);

    QByteArray attributes;
    for (int i = 0; i < many; ++i)
        attributes += " a" + QByteArray::number(i) + "=\"" + QByteArray::number(i) + '"';
    const QByteArray element = "<r" + attributes + "/>";
    EXPECT_TRUE(compare(element, element).isEmpty());
    EXPECT_EQ(compare(element, "<r" + attributes + " b=\"1\"/>"),
              (QList<Difference>{{Kind::addedAttribute, u"/r@b"_s, u"1"_s}}));
}
