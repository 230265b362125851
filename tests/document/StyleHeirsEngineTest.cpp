// What the designer shows of a report's styles and of the elements that use them is what the
// engine reads from the saved file, after the styles are edited: the engine's own values
// (`read-values`) are the judge.

#include "EngineValues.h"
#include "TestSupport.h"
#include "document/DocumentStore.h"
#include "model/JrxmlCodec.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using testsupport::designerValues;
using testsupport::differences;
using testsupport::engineValues;
using testsupport::ReportValues;
using testsupport::styledValueNames;

namespace {

// Two styles marked default, the first far from the engine's defaults: the engine takes the
// last. Plain names no parent, so it inherits from the default style too.
const QByteArray twoDefaults = R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="TwoDefaults" pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20" topMargin="30" bottomMargin="30">
	<style name="First" isDefault="true" fontName="DejaVu Serif" fontSize="8" forecolor="#FF0000" hAlign="Center"/>
	<style name="Plain" isBold="true"/>
	<style name="Second" isDefault="true" fontSize="14" hAlign="Right"/>
	<title>
		<band height="60">
			<staticText><reportElement x="0" y="0" width="200" height="20"/><text><![CDATA[No style]]></text></staticText>
			<staticText><reportElement style="Plain" x="0" y="20" width="200" height="20"/><text><![CDATA[Plain]]></text></staticText>
			<textField><reportElement x="0" y="40" width="200" height="20"/><textElement><font size="11"/></textElement><textFieldExpression><![CDATA["Own size"]]></textFieldExpression></textField>
		</band>
	</title>
</jasperReport>
)";

// An older report's fonts: the default one for every text that names none, another for the text
// whose font names it (its size is not the engine's to read), and a style without a parent that
// inherits from the default one; an element whose font names a style takes that style.
const QByteArray reportFonts = R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="ReportFonts" pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20" topMargin="30" bottomMargin="30">
	<reportFont name="Arial_Normal" isDefault="true" fontName="Arial" size="8" isBold="false" isItalic="false" isUnderline="false" isStrikeThrough="false" pdfFontName="Helvetica" pdfEncoding="Cp1252" isPdfEmbedded="false"/>
	<reportFont name="Times_Bold" isDefault="false" fontName="Times New Roman" size="14" isBold="true" pdfFontName="Times-Bold"/>
	<style name="Plain" forecolor="#FF0000"/>
	<title>
		<band height="100">
			<staticText><reportElement x="0" y="0" width="200" height="20"/><text><![CDATA[No font]]></text></staticText>
			<staticText><reportElement x="0" y="20" width="200" height="20"/><textElement><font reportFont="Times_Bold"/></textElement><text><![CDATA[Times]]></text></staticText>
			<textField><reportElement x="0" y="40" width="200" height="20"/><textElement><font reportFont="Times_Bold" size="12" isItalic="true"/></textElement><textFieldExpression><![CDATA["Own size"]]></textFieldExpression></textField>
			<staticText><reportElement style="Plain" x="0" y="60" width="200" height="20"/><textElement><font reportFont="Times_Bold"/></textElement><text><![CDATA[Plain]]></text></staticText>
			<staticText><reportElement x="0" y="80" width="200" height="20"/><textElement><font reportFont="Plain"/></textElement><text><![CDATA[A style as a font]]></text></staticText>
		</band>
	</title>
</jasperReport>
)";

class StyleHeirsEngine : public ::testing::Test {
protected:
    // The report of that file in the store, and what the engine reads from the file as it is.
    void open(const QString &path)
    {
        store.load(QUrl::fromLocalFile(path));
        const std::optional<ReportValues> read = engineValues(path);
        if (!read)
            GTEST_SKIP() << "Java or sidecar/target/sidecar.jar is missing; skipping";
        asRead = *read;
    }
    void openText(const QString &name, const QByteArray &text)
    {
        const QString path = dir.filePath(name + u".jrxml"_s);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();
        open(path);
    }
    void openCorpus(const QString &report)
    {
        QUILLMARK_REQUIRE_CORPUS();
        open(QDir(testsupport::corpusDir()).filePath(u"jrxml-samples/"_s + report));
    }

    // The report saved as `name`: what the engine reads from it.
    ReportValues saved(const QString &name)
    {
        const QString path = dir.filePath(name + u".jrxml"_s);
        store.save(QUrl::fromLocalFile(path));
        return engineValues(path).value_or(ReportValues());
    }
    // Where what the designer shows of the styles and texts differs from what the engine reads
    // from the report saved as `name`.
    QStringList misread(const QString &name)
    {
        return differences(saved(name), designerValues(store.document()), styledValueNames());
    }

    const ReportStyle &style(const QString &name) const
    {
        for (const ReportStyle &s : store.document().styles) {
            if (s.name == name)
                return s;
        }
        ADD_FAILURE() << "no style " << name.toStdString();
        return store.document().styles.first();
    }
    // Where what the designer shows of the styles and texts differs from what the engine read
    // from the file as it was opened.
    QStringList misreadAsOpened() const
    {
        return differences(asRead, designerValues(store.document()), styledValueNames());
    }
    QString shown(const QString &place, const QString &name) const
    {
        return designerValues(store.document()).value(place + u'\t' + name);
    }

    QTemporaryDir dir;
    DocumentStore store;
    ReportValues asRead;
};

} // namespace

// FirstJasper's default style Sans_Normal gives its size and font to Sans_Bold and Sans_Italic,
// which name no parent, to OrderIdStyle, which names it, and to every text of those styles or
// of none that leaves them out. Edited as the style editor edits it, all of them follow at once;
// unticked as the default, the styles without a parent inherit from nothing.
TEST_F(StyleHeirsEngine, EditingTheDefaultStyleReachesWhatInheritsFromIt)
{
    openCorpus(u"jasper/FirstJasper.jrxml"_s);
    if (IsSkipped())
        return;
    ASSERT_EQ(misreadAsOpened(), QStringList());
    ASSERT_EQ(shown(u"columnHeader/0"_s, u"fontSize"_s), u"8"_s) << "a text of Sans_Bold";
    const QUuid normal = style(u"Sans_Normal"_s).id;

    store.editStyle(normal, [](ReportStyle &s) { s.fontSize = 14; });
    EXPECT_EQ(style(u"Sans_Bold"_s).fontSize, 14);
    EXPECT_EQ(style(u"Sans_Italic"_s).fontSize, 14);
    EXPECT_EQ(style(u"OrderIdStyle"_s).fontSize, 14);
    EXPECT_EQ(style(u"Serif_Bold"_s).fontSize, 10) << "its own";
    EXPECT_EQ(shown(u"columnHeader/0"_s, u"fontSize"_s), u"14"_s);
    EXPECT_EQ(shown(u"title/3"_s, u"fontSize"_s), u"12"_s) << "its own";
    EXPECT_EQ(misread(u"Bigger"_s), QStringList());
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(store.undoStack().size(), 1) << "one step";

    store.editStyle(normal, [](ReportStyle &s) { s.isDefault = false; });
    EXPECT_EQ(style(u"Sans_Bold"_s).fontName, u"SansSerif"_s);
    EXPECT_EQ(style(u"Sans_Bold"_s).fontSize, 10);
    EXPECT_EQ(style(u"OrderIdStyle"_s).fontSize, 14) << "it names its parent";
    EXPECT_EQ(shown(u"columnHeader/0"_s, u"fontSize"_s), u"10"_s);
    EXPECT_EQ(misread(u"NoDefault"_s), QStringList());

    // Undone, the styles and texts show what they showed before, as a whole.
    store.flushPendingUndoSnapshot();
    store.undo();
    EXPECT_EQ(style(u"Sans_Bold"_s).fontName, u"DejaVu Sans"_s);
    EXPECT_EQ(shown(u"columnHeader/0"_s, u"fontSize"_s), u"14"_s);
    store.undo();
    EXPECT_EQ(style(u"Sans_Bold"_s).fontSize, 8);
    EXPECT_EQ(shown(u"columnHeader/0"_s, u"fontSize"_s), u"8"_s);
    EXPECT_EQ(misread(u"Undone"_s), QStringList());
}

// Sans_Bold sets no alignment: Reapply leaves every text's own alignment as it was (the column
// headers stay centred, the totals right-aligned), and what the engine prints of them with it.
TEST_F(StyleHeirsEngine, ReapplyLeavesWhatTheStyleDoesNotSet)
{
    openCorpus(u"jasper/FirstJasper.jrxml"_s);
    if (IsSkipped())
        return;
    store.reapplyStyle(style(u"Sans_Bold"_s));
    const ReportValues after = saved(u"Reapplied"_s);
    EXPECT_EQ(differences(asRead, after, {u"textAlignment"_s}), QStringList())
        << "the engine prints each text aligned as before";
    EXPECT_EQ(differences(after, designerValues(store.document()), styledValueNames()),
              QStringList());
    EXPECT_EQ(shown(u"columnHeader/0"_s, u"textAlignment"_s), u"Center"_s);
}

// Of two styles marked default the engine takes the last, for the texts that name no style and
// for the style without a parent; unticked, the first is the default.
TEST_F(StyleHeirsEngine, OfTwoDefaultStylesTheLastIsTheDefault)
{
    openText(u"TwoDefaults"_s, twoDefaults);
    if (IsSkipped())
        return;
    EXPECT_EQ(misreadAsOpened(), QStringList());
    EXPECT_EQ(shown(u"title/0"_s, u"fontSize"_s), u"14"_s);
    EXPECT_EQ(style(u"Plain"_s).textAlignment, TextAlignment::right);

    store.editStyle(style(u"Second"_s).id, [](ReportStyle &s) { s.isDefault = false; });
    EXPECT_EQ(shown(u"title/0"_s, u"fontName"_s), u"DejaVu Serif"_s);
    EXPECT_EQ(style(u"Plain"_s).textAlignment, TextAlignment::center);
    EXPECT_EQ(shown(u"title/2"_s, u"fontSize"_s), u"11"_s) << "its own";
    EXPECT_EQ(misread(u"FirstDefault"_s), QStringList());

    // The first gone, no style is the default.
    store.removeStyle(style(u"First"_s).id);
    EXPECT_EQ(shown(u"title/0"_s, u"fontSize"_s), u"10"_s);
    EXPECT_EQ(misread(u"NoDefault"_s), QStringList());
}

// The report fonts of an older report give their texts the font the engine prints them in, and
// what inherits from them follows the styles as they are edited: a style made the default takes
// over from the default report font and gives what a report font leaves out; removed, the report
// font is the default again; a text whose style is cleared takes the report font its font names;
// a style without a parent keeps what the default report font gives it when it is edited.
TEST_F(StyleHeirsEngine, ReportFontsOfOlderReportsAreStylesToo)
{
    openText(u"ReportFonts"_s, reportFonts);
    if (IsSkipped())
        return;
    EXPECT_EQ(misreadAsOpened(), QStringList());
    EXPECT_EQ(shown(u"title/0"_s, u"fontName"_s), u"Arial"_s);
    EXPECT_EQ(shown(u"title/1"_s, u"fontName"_s), u"Times New Roman"_s);
    EXPECT_EQ(shown(u"title/1"_s, u"isBold"_s), u"true"_s);
    EXPECT_EQ(style(u"Plain"_s).fontName, u"Arial"_s);

    store.addStyle();
    const QUuid added = store.document().styles.last().id;
    store.editStyle(added, [](ReportStyle &s) {
        s.isDefault = true;
        s.fontSize = 14;
        s.foreColor = ElementColor{u"#0000FF"_s};
    });
    EXPECT_EQ(shown(u"title/0"_s, u"fontName"_s), u"SansSerif"_s);
    EXPECT_EQ(shown(u"title/1"_s, u"fontSize"_s), u"14"_s) << "the report font leaves it out";
    EXPECT_EQ(misread(u"StyleDefault"_s), QStringList());

    store.removeStyle(added);
    EXPECT_EQ(shown(u"title/0"_s, u"fontName"_s), u"Arial"_s);
    EXPECT_EQ(misread(u"FontDefaultAgain"_s), QStringList());

    ReportElement plain = store.document().bands[1].elements.at(3);
    store.clearStyle(plain.id);
    EXPECT_EQ(shown(u"title/3"_s, u"fontName"_s), u"Times New Roman"_s);
    store.editStyle(style(u"Plain"_s).id, [](ReportStyle &s) { s.isItalic = true; });
    EXPECT_EQ(style(u"Plain"_s).fontName, u"Arial"_s);
    EXPECT_EQ(shown(u"title/4"_s, u"isItalic"_s), u"true"_s);
    EXPECT_EQ(misread(u"Cleared"_s), QStringList());
}
