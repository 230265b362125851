// The canonical comparison that judges a no-edit save: what counts as a difference and what not.

#include "CanonicalDiff.h"

#include <gtest/gtest.h>

using namespace canonicaldiff;
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
