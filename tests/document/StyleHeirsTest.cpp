// What the report's styles hand on follows their edits at once, as the engine prints it: the
// designer shows, after each edit, what a fresh read of the saved file gives.

#include "StoreTestSupport.h"
#include "model/JrxmlCodec.h"

using namespace storetest;

namespace {

// Base is the default style; Child names it as its parent, Loose names none; Centred sets an
// alignment. The texts: one of no style (inherits Base's size), one of no style with a size of
// its own, one of Loose (inherits Base's size through it), one of Child with its own alignment.
const QByteArray report = R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="R" pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20" topMargin="20" bottomMargin="20">
	<style name="Base" isDefault="true" fontName="DejaVu Sans" fontSize="8"/>
	<style name="Child" style="Base" isItalic="true"/>
	<style name="Loose" isBold="true"/>
	<style name="Centred" hAlign="Center"/>
	<title><band height="80">
		<staticText><reportElement x="0" y="0" width="200" height="20"/><text><![CDATA[plain]]></text></staticText>
		<staticText><reportElement x="0" y="20" width="200" height="20"/><textElement><font size="12"/></textElement><text><![CDATA[own size]]></text></staticText>
		<staticText><reportElement style="Loose" x="0" y="40" width="200" height="20"/><text><![CDATA[loose]]></text></staticText>
		<staticText><reportElement style="Child" x="0" y="60" width="200" height="20"/><textElement textAlignment="Right"/><text><![CDATA[child]]></text></staticText>
	</band></title>
</jasperReport>
)";

class StyleHeirs : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        store.setDocument(JrxmlCodec::parse(report));
    }
    const ReportStyle &style(qsizetype index) const { return store.document().styles.at(index); }
    ReportElement text(qsizetype index) const
    {
        return store.document().band(BandType::title)->elements.at(index);
    }
    // The report as a fresh read of its saved text gives it: what the engine prints.
    ReportDocument reread() const
    {
        return JrxmlCodec::parse(JrxmlCodec::serialize(store.document()));
    }
    void expectAsReread() const
    {
        const ReportDocument again = reread();
        for (qsizetype i = 0; i < store.document().styles.size(); ++i) {
            SCOPED_TRACE(store.document().styles.at(i).name.toStdString());
            const ReportStyle &shown = style(i), &printed = again.styles.at(i);
            EXPECT_EQ(shown.fontName, printed.fontName);
            EXPECT_EQ(shown.fontSize, printed.fontSize);
            EXPECT_EQ(shown.isBold, printed.isBold);
            EXPECT_EQ(shown.isItalic, printed.isItalic);
            EXPECT_EQ(shown.textAlignment, printed.textAlignment);
        }
        const ElementList printed = again.band(BandType::title)->elements;
        for (qsizetype i = 0; i < printed.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(text(i).fontName, printed.at(i).fontName);
            EXPECT_EQ(text(i).fontSize, printed.at(i).fontSize);
            EXPECT_EQ(text(i).isBold, printed.at(i).isBold);
            EXPECT_EQ(text(i).isItalic, printed.at(i).isItalic);
            EXPECT_EQ(text(i).textAlignment, printed.at(i).textAlignment);
        }
    }
};

} // namespace

// The default style's new size reaches the style that names it, the one that names no parent,
// and the texts that leave their size to either; a size of a text's own stays, also one the user
// gave it after the file was read.
TEST_F(StyleHeirs, TheDefaultStylesEditReachesWhatLeavesItsValuesToIt)
{
    store.updateElement(text(2).id, [](ReportElement &e) { e.fontSize = 9; });
    store.flushPendingUndoSnapshot();
    const qsizetype steps = store.undoStack().size();

    store.editStyle(style(0).id, [](ReportStyle &s) { s.fontSize = 16; });
    EXPECT_EQ(style(1).fontSize, 16);
    EXPECT_EQ(style(2).fontSize, 16);
    EXPECT_EQ(text(0).fontSize, 16);
    EXPECT_EQ(text(1).fontSize, 12) << "its own";
    EXPECT_EQ(text(2).fontSize, 9) << "given by the user";
    EXPECT_EQ(text(3).fontSize, 16);
    expectAsReread();
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(store.undoStack().size(), steps + 1);

    // A new name takes the texts of the style along; they still take its values.
    store.editStyle(style(0).id, [](ReportStyle &s) { s.name = u"Body"_s; });
    store.editStyle(style(0).id, [](ReportStyle &s) { s.fontName = u"DejaVu Serif"_s; });
    EXPECT_EQ(style(1).fontName, u"DejaVu Serif"_s);
    EXPECT_EQ(text(3).fontName, u"DejaVu Serif"_s);
    expectAsReread();

    // Unticked, nothing is the default: what names no parent or no style inherits from nothing.
    store.editStyle(style(0).id, [](ReportStyle &s) { s.isDefault = false; });
    EXPECT_EQ(style(2).fontName, u"SansSerif"_s);
    EXPECT_EQ(text(0).fontSize, 10);
    EXPECT_EQ(text(2).fontSize, 9);
    EXPECT_EQ(text(3).fontSize, 16) << "Child still names Body";
    expectAsReread();

    // Ticking another makes it the default: its alignment reaches the texts that leave theirs.
    store.editStyle(style(3).id, [](ReportStyle &s) { s.isDefault = true; });
    EXPECT_EQ(text(0).textAlignment, TextAlignment::center);
    EXPECT_EQ(style(2).textAlignment, TextAlignment::center);
    EXPECT_EQ(text(3).textAlignment, TextAlignment::right) << "its own";
    expectAsReread();
}

// Of two styles marked default the last is the default; moving them swaps which.
TEST_F(StyleHeirs, OfTwoDefaultStylesTheLastIsTheDefault)
{
    store.editStyle(style(3).id, [](ReportStyle &s) { s.isDefault = true; });
    EXPECT_EQ(text(0).textAlignment, TextAlignment::center);
    EXPECT_EQ(text(0).fontSize, 10) << "Centred sets no size";
    expectAsReread();
    store.moveStyle(3, -3); // the two change places
    ASSERT_EQ(style(3).name, u"Base"_s);
    EXPECT_EQ(text(0).fontSize, 8);
    EXPECT_EQ(text(0).textAlignment, TextAlignment::left);
    expectAsReread();
}

// Reapply and Apply to Selected Element copy what the style, or a style it inherits from, sets;
// what none sets stays the element's own. A style whose chain sets an alignment gives it.
TEST_F(StyleHeirs, ApplyingCopiesWhatTheStyleSetsAndLeavesTheRest)
{
    store.reapplyStyle(style(1));
    EXPECT_EQ(text(3).textAlignment, TextAlignment::right) << "Child sets no alignment";
    EXPECT_TRUE(text(3).isItalic);
    store.applyStyle(style(2), text(3).id);
    EXPECT_EQ(text(3).textAlignment, TextAlignment::right) << "nor does Loose";
    EXPECT_TRUE(text(3).isBold);
    store.applyStyle(style(3), text(3).id);
    EXPECT_EQ(text(3).textAlignment, TextAlignment::center);
    expectAsReread();
}

// Each style's condition sets what an element of a file sets itself: applied, the style takes
// it over (with a condition's own attributes, such as an alignment, and a pen of a condition's
// style), and the element, written, sets none of it, holding what the style gives as a fresh
// read of the file shows it. Applied again, nothing changes; undone, the element is as read.
TEST_F(StyleHeirs, ApplyingLeavesToTheStyleWhatItsConditionsSet)
{
    const QByteArray conditioned = R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="R" pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20" topMargin="20" bottomMargin="20">
	<style name="Fonts"><conditionalStyle><conditionExpression><![CDATA[$V{REPORT_COUNT} % 2 == 0]]></conditionExpression><style fontName="DejaVu Serif" fontSize="12" isBold="true" isUnderline="true"/></conditionalStyle></style>
	<style name="Aligned" hAlign="Right"><conditionalStyle><conditionExpression><![CDATA[$V{REPORT_COUNT} % 2 == 0]]></conditionExpression><style hAlign="Center"/></conditionalStyle></style>
	<style name="Inked" forecolor="#0000FF"><conditionalStyle><conditionExpression><![CDATA[$V{REPORT_COUNT} % 2 == 0]]></conditionExpression><style forecolor="#FF0000"><pen lineWidth="3"/></style></conditionalStyle></style>
	<style name="Filled" mode="Opaque" backcolor="#EEEEEE"><conditionalStyle><conditionExpression><![CDATA[$V{REPORT_COUNT} % 2 == 0]]></conditionExpression><style mode="Opaque" backcolor="#FFFF00"/></conditionalStyle></style>
	<title><band height="60">
		<staticText><reportElement x="0" y="0" width="200" height="20"/><textElement textAlignment="Justified"><font fontName="Arial" size="9" isBold="false" isUnderline="false"/></textElement><text><![CDATA[own font]]></text></staticText>
		<rectangle><reportElement x="0" y="20" width="200" height="20" forecolor="#00FF00" backcolor="#DDDDDD"/><graphicElement><pen lineWidth="2.0" lineColor="#00FF00"/></graphicElement></rectangle>
		<staticText><reportElement mode="Transparent" x="0" y="40" width="200" height="20" backcolor="#00FF00"/><text><![CDATA[own fill]]></text></staticText>
	</band></title>
</jasperReport>
)";
    const struct {
        const char *style;
        qsizetype element;
        QStringList leftOut; // attributes the element, written, no longer sets
    } cases[] = {
        {"Fonts", 0, {u"fontName"_s, u"size"_s, u"isBold"_s, u"isUnderline"_s}},
        {"Aligned", 0, {u"textAlignment"_s}},
        {"Inked", 1, {u"forecolor"_s, u"lineColor"_s, u"lineWidth"_s}},
        {"Filled", 2, {u"backcolor"_s, u"mode"_s}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.style);
        const ReportDocument read = JrxmlCodec::parse(conditioned);
        store.setDocument(read);
        const auto styled = [&] {
            return store.document().band(BandType::title)->elements.at(c.element);
        };
        const ReportStyle *style = nullptr;
        for (const ReportStyle &s : store.document().styles)
            style = s.name == QLatin1StringView(c.style) ? &s : style;
        ASSERT_TRUE(style);
        store.applyStyle(*style, styled().id);
        const QString written = JrxmlCodec::serializeElement(styled(), store.document().styles);
        for (const QString &attribute : c.leftOut)
            EXPECT_FALSE(written.contains(u' ' + attribute + u'=')) << written.toStdString();
        const ReportElement printed = reread().band(BandType::title)->elements.at(c.element);
        EXPECT_EQ(styled().fontName, printed.fontName);
        EXPECT_EQ(styled().fontSize, printed.fontSize);
        EXPECT_EQ(styled().isBold, printed.isBold);
        EXPECT_EQ(styled().isUnderline, printed.isUnderline);
        EXPECT_EQ(styled().textAlignment, printed.textAlignment);
        EXPECT_EQ(styled().foreColor, printed.foreColor);
        EXPECT_EQ(styled().backColor, printed.backColor);
        EXPECT_EQ(styled().penWidth, printed.penWidth);

        store.flushPendingUndoSnapshot();
        store.setIsDirty(false);
        store.applyStyle(*style, styled().id);
        EXPECT_FALSE(store.isDirty()) << "applied again, it changes nothing";
        store.undo();
        EXPECT_EQ(store.document(), read);
    }
}

// A text whose style goes, or is cleared, takes what it left to it from the default style; what
// it holds of its own stays. Applied anew, it takes those values from the new style.
TEST_F(StyleHeirs, ClearingAStyleLeavesTheTextAsTheEnginePrintsIt)
{
    store.clearStyle(text(2).id);
    EXPECT_FALSE(text(2).isBold) << "Loose's, which it left to it";
    EXPECT_EQ(text(2).fontSize, 8);
    expectAsReread();
    store.applyStyle(style(1), text(2).id);
    EXPECT_TRUE(text(2).isItalic);
    EXPECT_FALSE(text(2).isBold);
    expectAsReread();
}

// The default style removed, the style without a parent and the texts that leave their values to
// it or to no style inherit from nothing: the engine's own font and size.
TEST_F(StyleHeirs, RemovingTheDefaultStyleReachesTheStylesWithoutAParent)
{
    store.removeStyle(style(0).id);
    EXPECT_EQ(style(1).fontName, u"SansSerif"_s) << "Loose";
    EXPECT_EQ(style(1).fontSize, 10);
    EXPECT_EQ(text(0).fontSize, 10);
    EXPECT_EQ(text(2).fontName, u"SansSerif"_s);
    EXPECT_EQ(text(2).fontSize, 10);
    expectAsReread();
}

// Without a default style, a removed parent leaves its heir, and the texts of the heir, with the
// engine's own values for what the parent gave them.
TEST_F(StyleHeirs, RemovingAParentStyleReachesTheTextsOfItsHeirs)
{
    store.editStyle(style(0).id, [](ReportStyle &s) { s.isDefault = false; });
    ASSERT_EQ(text(3).fontSize, 8) << "Child's, from Base";
    store.removeStyle(style(0).id);
    EXPECT_EQ(style(0).fontSize, 10) << "Child";
    EXPECT_EQ(text(3).fontSize, 10);
    EXPECT_EQ(text(3).fontName, u"SansSerif"_s);
    expectAsReread();
}

// A style's colours and alignment reach only what leaves them to it: a line or rectangle shows
// its style's pen colour, and once the style has none again its own fore colour, while the file
// keeps the fore colour the element set (or left out); a rectangle without a mode fills with the
// style's fill; a text that sets Justified keeps it. Each step, undone and redone too, holds what a
// fresh read of the saved file gives.
TEST_F(StyleHeirs, AStylesColourReachesOnlyWhatLeavesItToTheStyle)
{
    store.setDocument(JrxmlCodec::parse(R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="R" pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20" topMargin="20" bottomMargin="20">
	<style name="Base" isDefault="true"/>
	<title><band height="100">
		<line><reportElement x="0" y="0" width="200" height="1" forecolor="#FF0000"/></line>
		<rectangle><reportElement x="0" y="10" width="20" height="20" forecolor="#FF0000"/></rectangle>
		<line><reportElement x="0" y="40" width="200" height="1"/></line>
		<rectangle><reportElement x="30" y="10" width="20" height="20"/></rectangle>
		<staticText><reportElement x="0" y="50" width="200" height="20"/><textElement textAlignment="Justified"/><text><![CDATA[justified]]></text></staticText>
	</band></title>
</jasperReport>
)"));
    const auto elementsOf = [](const QByteArray &saved) {
        const QString text = QString::fromUtf8(saved);
        const qsizetype start = text.indexOf(u"<title>"_s);
        return text.mid(start, text.indexOf(u"</title>"_s) - start);
    };
    const QString asRead = elementsOf(JrxmlCodec::serialize(store.document()));
    const auto color = [&](qsizetype index) {
        const std::optional<ElementColor> &c = text(index).foreColor;
        return c ? c->hex : u"none"_s;
    };
    // What the designer holds is what a fresh read of the saved file gives.
    const auto expectReread = [&](const char *step) {
        SCOPED_TRACE(step);
        const QByteArray saved = JrxmlCodec::serialize(store.document());
        EXPECT_EQ(elementsOf(saved), asRead) << "only the style changes";
        const ElementList again = JrxmlCodec::parse(saved).band(BandType::title)->elements;
        for (qsizetype i = 0; i < again.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(text(i).foreColor, again.at(i).foreColor);
            EXPECT_EQ(text(i).backColor, again.at(i).backColor);
            if (again.at(i).kind.isTextKind()) {
                EXPECT_EQ(text(i).textAlignment, again.at(i).textAlignment);
            }
        }
    };
    const QUuid base = style(0).id;
    store.editStyle(base, [](ReportStyle &s) {
        s.foreColor = ElementColor{u"#00AA00"_s};
        s.backColor = ElementColor{u"#0000FF"_s};
        s.textAlignment = TextAlignment::center;
    });
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(color(0), u"#00AA00"_s) << "the pen prints in the style's colour";
    EXPECT_EQ(color(2), u"#00AA00"_s);
    EXPECT_EQ(text(3).backColor, ElementColor{u"#0000FF"_s});
    EXPECT_EQ(text(4).textAlignment, TextAlignment::left) << "Justified, its own, shown left";
    EXPECT_TRUE(store.document()
                    .band(BandType::title)
                    ->elements.at(4)
                    .kept.part(u"textElement")
                    .attribute(u"textAlignment"));
    expectReread("coloured");

    store.editStyle(base, [](ReportStyle &s) {
        s.foreColor.reset();
        s.backColor.reset();
    });
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(color(0), u"#FF0000"_s) << "its own fore colour again";
    EXPECT_EQ(color(1), u"#FF0000"_s);
    EXPECT_EQ(color(2), u"none"_s);
    EXPECT_EQ(text(3).backColor, ElementColor{u"#FFFFFF"_s}) << "a rectangle fills white";
    expectReread("without colours");

    store.undo();
    EXPECT_EQ(color(1), u"#00AA00"_s);
    expectReread("undone");
    store.redo();
    EXPECT_EQ(color(1), u"#FF0000"_s);
    expectReread("redone");
}
