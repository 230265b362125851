#include "DataPanelFixture.h"
#include "EngineJudge.h"
#include "canvas/BandItem.h"
#include "canvas/CanvasScene.h"
#include "canvas/CanvasView.h"
#include "canvas/FormatToolbarValues.h"
#include "datapanel/ConditionalStylesEditor.h"
#include "datapanel/DataPanelCards.h"
#include "datapanel/StylesSection.h"
#include "inspector/InspectorView.h"
#include "widgets/ColorWell.h"
#include "widgets/DataRowButtons.h"
#include "widgets/StyleCoreEditor.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <algorithm>

using namespace storetest;

namespace {

const QString styles = u"datapanel.styles"_s;

QString row(int index, const QString &control)
{
    return styles + u".row"_s + QString::number(index) + u'.' + control;
}

ReportStyle namedStyle(const QString &name)
{
    ReportStyle style;
    style.name = name;
    return style;
}

ReportElement styled(ReportElement element, const QString &styleName)
{
    element.styleName = styleName;
    return element;
}

class StylesCard : public DataPanelTest {
protected:
    StylesSection *section() const
    {
        return qobject_cast<StylesSection *>(view->cardContent(DataPanelCard::styles));
    }
    void setStyles(const QList<ReportStyle> &list)
    {
        editDocument(store, [&](ReportDocument &d) { d.styles = list; });
    }
    bool visible(const QString &name) const
    {
        auto *widget = find(name);
        return widget && widget->isVisible();
    }
    QString usage(int index) const { return find<QLabel>(row(index, u"usage"_s))->text(); }
    // The saved report's text from `from` to the end of the element that starts there.
    static QString part(const QString &text, const QString &from, const QString &to)
    {
        const qsizetype start = text.indexOf(from);
        if (start < 0)
            return {};
        return text.mid(start, text.indexOf(to, start) + to.size() - start);
    }
};

TEST_F(StylesCard, AnEmptyCardOffersAddStyleWhichAddsStyle1)
{
    ASSERT_TRUE(section());
    EXPECT_TRUE(section()->rows().isEmpty());
    EXPECT_EQ(section()->addButton()->text(), u"Add Style"_s);
    click(styles + u".add"_s);
    ASSERT_EQ(store.document().styles.size(), 1);
    const ReportStyle &added = store.document().styles[0];
    EXPECT_EQ(added.name, u"Style1"_s);
    EXPECT_EQ(added.fontName, u"SansSerif"_s);
    EXPECT_EQ(added.fontSize, 10);
    EXPECT_EQ(store.undoStack().size(), 1);
    EXPECT_EQ(find<QLineEdit>(row(0, u"name"_s))->text(), u"Style1"_s);
    EXPECT_EQ(find<QComboBox>(row(0, u"font"_s))->currentText(), u"SansSerif"_s);
    EXPECT_FALSE(visible(row(0, u"up"_s))) << "a single style shows no move pair";
    EXPECT_TRUE(visible(row(0, u"remove"_s)));
    EXPECT_TRUE(visible(row(0, u"conditions.add"_s)));
    EXPECT_FALSE(visible(row(0, u"conditions.title"_s)));
}

TEST_F(StylesCard, RowsMoveAndRemoveByTheStoreAndEditsAreRowWrites)
{
    setStyles({namedStyle(u"A"_s), namedStyle(u"B"_s), namedStyle(u"C"_s)});
    view->refresh();
    ASSERT_EQ(section()->rows().size(), 3);
    EXPECT_FALSE(find<QToolButton>(row(0, u"up"_s))->isEnabled());
    EXPECT_TRUE(find<QToolButton>(row(0, u"down"_s))->isEnabled());
    EXPECT_TRUE(find<QToolButton>(row(2, u"up"_s))->isEnabled());
    EXPECT_FALSE(find<QToolButton>(row(2, u"down"_s))->isEnabled());

    StyleRow *aRow = section()->rows().at(0);
    click(row(0, u"down"_s));
    EXPECT_EQ(store.document().styles[1].name, u"A"_s);
    EXPECT_EQ(section()->rows().at(1), aRow) << "rows follow their style";
    EXPECT_EQ(find<QLineEdit>(row(1, u"name"_s))->text(), u"A"_s);
    EXPECT_EQ(store.undoStack().size(), 1);

    store.setIsDirty(false);
    type(row(1, u"name"_s), u"Heading"_s);
    click(row(1, u"conditions.add"_s));
    EXPECT_EQ(store.document().styles[1].name, u"Heading"_s);
    EXPECT_EQ(store.document().styles[1].conditionalStyles.size(), 1);
    EXPECT_TRUE(store.isDirty());
    EXPECT_TRUE(visible(row(1, u"conditions.title"_s)));

    click(row(1, u"remove"_s));
    ASSERT_EQ(store.document().styles.size(), 2);
    EXPECT_EQ(store.document().styles[0].name, u"B"_s);
    EXPECT_EQ(store.document().styles[1].name, u"C"_s);
    EXPECT_EQ(store.undoStack().size(), 3) << "the move, the row's edits, the remove";
    store.undo();
    view->refresh();
    ASSERT_EQ(store.document().styles.size(), 3);
    EXPECT_EQ(store.document().styles[1].name, u"Heading"_s);
    store.undo();
    view->refresh();
    EXPECT_EQ(store.document().styles[1].name, u"A"_s) << "the row's edits went on their own";
    EXPECT_TRUE(store.document().styles[1].conditionalStyles.isEmpty());
    store.undo();
    view->refresh();
    EXPECT_EQ(store.document().styles[0].name, u"A"_s);
    EXPECT_EQ(find<QLineEdit>(row(0, u"name"_s))->text(), u"A"_s);
}

// The usage line counts as the question before the style's deletion does: an element in a frame,
// a table whose cell names the style (once), and, of the default style, the elements that name
// none.
TEST_F(StylesCard, UsageCountsElementsInFramesTablesAndTheDefaultStylesOwn)
{
    ReportStyle base = namedStyle(u"Base"_s);
    base.isDefault = true;
    setStyles({namedStyle(u"Body"_s), namedStyle(u"Unused"_s), base});
    const ReportTableColumn column{.id = newId(),
                                   .detailCellElement = styled(textField(), u"Body"_s)};
    place({frame({styled(textField(), u"Body"_s)}),
           element(ElementKind::Table{.columns = {column}})});
    view->refresh();
    EXPECT_EQ(usage(0), u"2 elements use this style"_s);
    EXPECT_TRUE(visible(row(0, u"reapply"_s)));
    EXPECT_EQ(usage(1), u"0 elements use this style"_s);
    EXPECT_FALSE(visible(row(1, u"reapply"_s)));
    EXPECT_EQ(usage(2), u"2 elements use this style"_s) << "the frame and the table";
    EXPECT_FALSE(visible(row(2, u"reapply"_s))) << "no element names it";
    dialogs.answerAlert(1);
    click(row(2, u"remove"_s));
    ASSERT_FALSE(dialogs.alerts().isEmpty());
    EXPECT_EQ(dialogs.alerts().last().message, u"Base is used by 2 elements."_s);

    // The elements follow a rename, in table cells too.
    type(row(0, u"name"_s), u"Text"_s);
    EXPECT_EQ(usage(0), u"2 elements use this style"_s);
    EXPECT_TRUE(visible(row(0, u"reapply"_s)));
    const ReportElement cell = *std::as_const(store.document().detailBands[0].elements)
                                    .at(1)
                                    .kind.as<ElementKind::Table>()
                                    ->columns[0]
                                    .detailCellElement;
    EXPECT_EQ(cell.styleName, u"Text"_s);
}

TEST_F(StylesCard, ReapplySetsTheStyleFontAndKeepsAnElementsOwnFill)
{
    ReportStyle body = namedStyle(u"Body"_s);
    body.fontName = u"Courier New"_s;
    body.fontSize = 13;
    setStyles({body});
    ReportElement field = styled(textField(), u"Body"_s);
    field.fontName = u"Arial"_s;
    field.backColor = ElementColor{u"#112233"_s};
    place({field});
    view->refresh();
    click(row(0, u"reapply"_s));
    EXPECT_EQ(store.undoStack().size(), 1);
    const ReportElement after = *store.element(field.id);
    EXPECT_EQ(after.fontName, u"Courier New"_s);
    EXPECT_EQ(after.fontSize, 13);
    EXPECT_EQ(after.backColor, ElementColor{u"#112233"_s});

    const QString text = part(saved(), u"<textField"_s, u"</textField>"_s);
    EXPECT_TRUE(text.contains(u"fontName=\"Courier New\""_s)) << text.toStdString();
    EXPECT_TRUE(text.contains(u"size=\"13\""_s)) << text.toStdString();
    EXPECT_TRUE(text.contains(u"backcolor=\"#112233\""_s)) << text.toStdString();
}

// The card's subtitle sends the user to buttons by their names: each such button is in the card,
// and the subtitle says where "Reapply" stands, since it shows only beside a count of users.
TEST_F(StylesCard, TheSubtitleNamesButtonsTheCardShowsAndWhereReapplyStands)
{
    setStyles({namedStyle(u"Body"_s)});
    place({styled(textField(), u"Body"_s)});
    view->refresh();
    const QString subtitle = DataPanelCards::subtitle(DataPanelCard::styles);
    QStringList shown;
    for (const QPushButton *button : section()->findChildren<QPushButton *>())
        if (button->isVisible())
            shown.append(button->text());
    static const QRegularExpression quoted(u"\"([^\"]+)\""_s);
    QStringList named;
    for (const QRegularExpressionMatch &match : quoted.globalMatch(subtitle))
        named.append(match.captured(1));
    ASSERT_FALSE(named.isEmpty()) << subtitle.toStdString();
    for (const QString &name : std::as_const(named))
        EXPECT_TRUE(shown.contains(name)) << name.toStdString() << " is not a button of the card";
    EXPECT_TRUE(usage(0).contains(u"elements use"_s) || usage(0).contains(u"element uses"_s));
    EXPECT_TRUE(subtitle.contains(u"beside the count of elements that use a style"_s))
        << "the subtitle tells where \"Reapply\" stands: " << subtitle.toStdString();
}

TEST_F(StylesCard, ApplyIsOfferedForExactlyOneSelectedElement)
{
    ReportStyle body = namedStyle(u"Body"_s);
    body.isBold = true;
    setStyles({body});
    const ReportElement first = textField();
    const ReportElement second = textField(0, 30);
    place({first, second});
    view->refresh();
    EXPECT_FALSE(visible(row(0, u"apply"_s)));
    EXPECT_TRUE(visible(row(0, u"hint"_s)));
    EXPECT_EQ(find<QLabel>(row(0, u"hint"_s))->text(),
              u"Select an element on canvas to apply this style"_s);

    store.setSelectedElementIDs({first.id}); // the card follows the selection by itself
    EXPECT_TRUE(visible(row(0, u"apply"_s)));
    EXPECT_FALSE(visible(row(0, u"hint"_s)));
    EXPECT_EQ(find<QPushButton>(row(0, u"apply"_s))->text(), u"Apply to Selected Element"_s);
    click(row(0, u"apply"_s));
    EXPECT_EQ(store.element(first.id)->styleName, u"Body"_s);
    EXPECT_TRUE(store.element(first.id)->isBold);
    EXPECT_EQ(usage(0), u"1 element uses this style"_s);

    store.setSelectedElementIDs({first.id, second.id});
    EXPECT_FALSE(visible(row(0, u"apply"_s)));
    EXPECT_TRUE(visible(row(0, u"hint"_s)));
}

TEST_F(StylesCard, PickedColoursAreSavedAsUpperCaseHex)
{
    setStyles({namedStyle(u"Body"_s)});
    view->refresh();
    auto *fill = find<ColorWell>(row(0, u"fill"_s));
    ASSERT_TRUE(fill);
    fill->click();
    ASSERT_TRUE(fill->dialog());
    fill->dialog()->setCurrentColor(QColor(0xab, 0xcd, 0xef, 100));
    fill->dialog()->close();
    click(row(0, u"conditions.add"_s));
    auto *text = find<ColorWell>(row(0, u"conditions.rule0.text"_s));
    ASSERT_TRUE(text);
    text->click();
    text->dialog()->setCurrentColor(QColor(0x0f, 0x0e, 0x0d));
    text->dialog()->close();

    const QString styleText = part(saved(), u"<style name=\"Body\""_s, u"</style>\n"_s);
    EXPECT_TRUE(styleText.contains(u"backcolor=\"#ABCDEF\""_s)) << styleText.toStdString();
    EXPECT_TRUE(styleText.contains(u"forecolor=\"#0F0E0D\""_s)) << styleText.toStdString();
}

TEST_F(StylesCard, ConditionalStylesWithFontOverridesRoundTrip)
{
    const QString path = QDir(settingsDir.path()).filePath(u"report.jrxml"_s);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="R" pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20" topMargin="20" bottomMargin="20">
	<style name="Rows" fontName="DejaVu Sans" fontSize="9">
		<conditionalStyle>
			<conditionExpression><![CDATA[$V{REPORT_COUNT} % 2 == 0]]></conditionExpression>
			<style fontName="Courier New" fontSize="14" isItalic="true"/>
		</conditionalStyle>
		<conditionalStyle>
			<conditionExpression><![CDATA[$V{REPORT_COUNT} > 10]]></conditionExpression>
			<style forecolor="#FF0000" fontSize="7.5"/>
		</conditionalStyle>
	</style>
	<detail><band height="20"/></detail>
</jasperReport>
)");
    file.close();
    store.load(QUrl::fromLocalFile(path));
    view->refresh();
    const QString untouched = part(saved(), u"<style name=\"Rows\""_s, u"</style>\n"_s);
    ASSERT_TRUE(untouched.contains(u"fontSize=\"14\""_s)) << untouched.toStdString();
    EXPECT_TRUE(untouched.contains(u"fontSize=\"7.5\""_s)) << untouched.toStdString();

    // Edit the first rule's condition and bold, then put both back: only what was touched and
    // put back is written, the font overrides stay as read.
    type(row(0, u"conditions.rule0.condition"_s), u"$V{REPORT_COUNT} % 2 == 1"_s);
    click(row(0, u"conditions.rule0.bold"_s));
    const ConditionalStyleRule &edited = store.document().styles[0].conditionalStyles[0];
    EXPECT_EQ(edited.fontName, u"Courier New"_s);
    EXPECT_EQ(edited.fontSize, 14.0);
    EXPECT_EQ(edited.isBold, true);
    type(row(0, u"conditions.rule0.condition"_s), u"$V{REPORT_COUNT} % 2 == 0"_s);
    click(row(0, u"conditions.rule0.bold"_s));
    click(row(0, u"conditions.rule0.bold"_s));
    EXPECT_EQ(part(saved(), u"<style name=\"Rows\""_s, u"</style>\n"_s), untouched);
}

// A style whose condition holds on every second row, applied to a new text field (no value of
// which is left to a style) in each way the designer applies a style: the button of the style's
// row, Reapply, and the inspector's style picker. The saved field sets nothing the condition sets
// (the engine would print the field's own instead), the designer shows what the style itself
// gives, and the engine's print of the report shows the condition on rows 2 and 4 and the style's
// own values on rows 1 and 3. The condition stands on the style or on the parent style it names.
TEST_F(StylesCard, AnAppliedStyleKeepsItsConditionsInThePrint)
{
    QUILLMARK_REQUIRE_ENGINE();
    testsupport::EngineJudge engine(*location);
    const auto everySecondRow = [](const std::function<void(ConditionalStyleRule &)> &change) {
        ConditionalStyleRule rule;
        rule.conditionExpression = u"$V{REPORT_COUNT} % 2 == 0"_s;
        change(rule);
        return rule;
    };
    const ConditionalStyleRule italicRows =
        everySecondRow([](ConditionalStyleRule &r) { r.isItalic = true; });
    ReportStyle italic = namedStyle(u"Alternate"_s);
    italic.isBold = true;
    italic.conditionalStyles = {italicRows};
    ReportStyle filled = namedStyle(u"Alternate"_s);
    filled.backColor = ElementColor{u"#EEEEEE"_s};
    filled.conditionalStyles = {
        everySecondRow([](ConditionalStyleRule &r) { r.backColor = ElementColor{u"#FFFF00"_s}; })};
    // As a file has them: the heir leaves its parent what it does not set (the engine prints a
    // value the heir sets over one a condition of its parent sets).
    const QList<ReportStyle> heirOfBase =
        JrxmlCodec::parse(R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="R" pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20" topMargin="20" bottomMargin="20">
	<style name="Base">
		<conditionalStyle>
			<conditionExpression><![CDATA[$V{REPORT_COUNT} % 2 == 0]]></conditionExpression>
			<style isItalic="true"/>
		</conditionalStyle>
	</style>
	<style name="Alternate" style="Base" isBold="true"/>
</jasperReport>
)")
            .styles;

    using testsupport::PrintedText;
    const struct {
        const char *what;
        QList<ReportStyle> styles;
        QString leftOut; // the attribute the saved field must not set
        PrintedText odd, even;
    } cases[] = {
        {"italic on every second row",
         {italic},
         u"isItalic"_s,
         {.isBold = true},
         {.isBold = true, .isItalic = true}},
        {"a fill on every second row",
         {filled},
         u"backcolor"_s,
         {.backColor = u"#EEEEEE"_s},
         {.backColor = u"#FFFF00"_s}},
        {"italic on every second row of the parent style",
         heirOfBase,
         u"isItalic"_s,
         {.isBold = true},
         {.isBold = true, .isItalic = true}},
    };
    enum class Way { apply, reapply, picker };
    const std::pair<Way, const char *> ways[] = {{Way::apply, "Apply to Selected Element"},
                                                 {Way::reapply, "Reapply"},
                                                 {Way::picker, "the inspector's style picker"}};
    InspectorView inspector(*settings, nullptr);
    inspector.setStore(&store);
    inspector.show();
    int saves = 0;
    for (const auto &[way, wayName] : ways) {
        for (const auto &c : cases) {
            SCOPED_TRACE(std::string(wayName) + ", " + c.what);
            ReportDocument report;
            report.name = u"Rows"_s;
            report.styles = c.styles;
            report.detailBands[0].height = 20;
            store.setDocument(report);
            ReportElement field =
                element(ElementKind::TextField{u"$V{REPORT_COUNT}"_s}, 0, 0, 200, 20);
            if (way == Way::reapply)
                field.styleName = u"Alternate"_s;
            place({field});
            store.setSelectedElementIDs({field.id});
            view->refresh();
            const qsizetype styleRow = c.styles.size() - 1;
            const qsizetype steps = store.undoStack().size();
            switch (way) {
            case Way::apply:
                click(row(int(styleRow), u"apply"_s));
                break;
            case Way::reapply:
                click(row(int(styleRow), u"reapply"_s));
                break;
            case Way::picker: {
                QApplication::processEvents();
                auto *picker =
                    inspector.inspector()
                        ? inspector.inspector()->findChild<QComboBox *>(u"inspector.style.picker"_s)
                        : nullptr;
                ASSERT_TRUE(picker);
                const int index = picker->findText(u"Alternate"_s);
                ASSERT_GE(index, 0);
                picker->setCurrentIndex(index);
                emit picker->activated(index);
                break;
            }
            }
            store.flushPendingUndoSnapshot();
            EXPECT_EQ(store.undoStack().size(), steps + 1) << "one step";
            const ReportElement styled = *store.element(field.id);
            EXPECT_EQ(styled.styleName, u"Alternate"_s);
            EXPECT_EQ(styled.isBold, c.odd.isBold) << "what the style gives";
            EXPECT_FALSE(styled.isItalic) << "what the style gives";
            EXPECT_EQ(styled.backColor.value_or(ElementColor()).hex, c.odd.backColor);
            if (way == Way::apply) {
                store.setIsDirty(false);
                click(row(int(styleRow), u"apply"_s));
                EXPECT_FALSE(store.isDirty()) << "applied again, it changes nothing";
            }

            const QString path = QDir(settingsDir.path())
                                     .filePath(u"Rows"_s + QString::number(++saves) + u".jrxml"_s);
            store.save(QUrl::fromLocalFile(path));
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QString text =
                part(QString::fromUtf8(file.readAll()), u"<textField"_s, u"</textField>"_s);
            EXPECT_FALSE(text.contains(c.leftOut + u'=')) << text.toStdString();
            QString error;
            const QList<PrintedText> printed =
                testsupport::printedTexts(engine.rowsPrint(path, 4, error));
            EXPECT_EQ(error, QString());
            QList<PrintedText> expected;
            for (int n = 1; n <= 4; ++n) {
                expected.append(n % 2 ? c.odd : c.even);
                expected.last().text = QString::number(n);
            }
            EXPECT_EQ(printed, expected);
        }
    }
}

// Deleting a parent style leaves its heirs, and the elements that use them, as the saved file
// now reads: the card, the format toolbar and the elements no longer show what it gave them.
TEST_F(StylesCard, DeletingAParentStyleLeavesItsHeirsAsTheFileNowReadsThem)
{
    const QString path = QDir(settingsDir.path()).filePath(u"report.jrxml"_s);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="R" pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20" topMargin="20" bottomMargin="20">
	<style name="Heavy" isBold="true" fontSize="14" forecolor="#AA0000" hAlign="Center"/>
	<style name="StrongChild" style="Heavy"/>
	<style name="Grand" style="StrongChild" isItalic="true"/>
	<detail><band height="60">
		<staticText><reportElement style="StrongChild" x="0" y="0" width="200" height="20"/><text><![CDATA[Strong]]></text></staticText>
		<staticText><reportElement style="Grand" x="0" y="30" width="200" height="20"/><text><![CDATA[Grand]]></text></staticText>
	</band></detail>
</jasperReport>
)");
    file.close();
    store.load(QUrl::fromLocalFile(path));
    view->refresh();
    const auto shown = [this](int index) {
        return std::as_const(store.document().detailBands[0].elements).at(index);
    };
    store.setSelectedElementIDs({shown(0).id});
    ASSERT_TRUE(find<QCheckBox>(row(1, u"bold"_s))->isChecked());
    ASSERT_TRUE(FormatToolbarValues::of(store).isBold);

    dialogs.answerAlert(0);
    click(row(0, u"remove"_s));
    ASSERT_EQ(store.document().styles.size(), 2);
    EXPECT_EQ(store.undoStack().size(), 1);
    EXPECT_FALSE(find<QCheckBox>(row(0, u"bold"_s))->isChecked()) << "StrongChild's row";
    EXPECT_FALSE(find<QCheckBox>(row(1, u"bold"_s))->isChecked()) << "Grand's row";
    EXPECT_TRUE(find<QCheckBox>(row(1, u"italic"_s))->isChecked()) << "Grand's own";
    const FormatToolbarValues toolbar = FormatToolbarValues::of(store);
    EXPECT_FALSE(toolbar.isBold);
    EXPECT_EQ(toolbar.fontSize, 10);
    EXPECT_EQ(toolbar.textAlignment, TextAlignment::left);
    EXPECT_EQ(shown(0).foreColor, std::nullopt);
    EXPECT_FALSE(shown(1).isBold);
    EXPECT_TRUE(shown(1).isItalic);

    const QString text = saved();
    const ReportDocument reread = JrxmlCodec::parse(text.toUtf8());
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(reread.styles[i].isBold, store.document().styles[i].isBold);
        EXPECT_EQ(reread.styles[i].fontSize, store.document().styles[i].fontSize);
        EXPECT_EQ(reread.styles[i].textAlignment, store.document().styles[i].textAlignment);
        EXPECT_EQ(reread.styles[i].foreColor, store.document().styles[i].foreColor);
        const ReportElement &printed = reread.detailBands[0].elements.at(i);
        EXPECT_EQ(printed.isBold, shown(i).isBold);
        EXPECT_EQ(printed.isItalic, shown(i).isItalic);
        EXPECT_EQ(printed.fontSize, shown(i).fontSize);
        EXPECT_EQ(printed.foreColor, shown(i).foreColor);
        EXPECT_EQ(printed.textAlignment, shown(i).textAlignment);
    }
    EXPECT_TRUE(text.contains(u"<style name=\"StrongChild\"/>"_s)) << text.toStdString();

    QUILLMARK_REQUIRE_ENGINE();
    testsupport::EngineJudge engine(*location);
    EXPECT_EQ(engine.compileError(text.toUtf8()), std::nullopt);

    store.undo();
    view->refresh();
    EXPECT_TRUE(find<QCheckBox>(row(1, u"bold"_s))->isChecked());
    EXPECT_TRUE(shown(0).isBold);
}

// FirstJasper's default style, edited in its row: the row of Sans_Bold, which names no parent,
// and the canvas's texts of that style show its new size at once, as the engine prints them;
// unticked as the default, they show the engine's own font and size.
TEST_F(StylesCard, EditingTheDefaultStyleReachesTheStylesWithoutAParent)
{
    QUILLMARK_REQUIRE_CORPUS();
    store.load(QUrl::fromLocalFile(
        QDir(testsupport::corpusDir()).filePath(u"jrxml-samples/jasper/FirstJasper.jrxml"_s)));
    CanvasView canvas;
    canvas.resize(900, 700);
    canvas.setStore(&store);
    canvas.show();
    view->refresh();
    ASSERT_EQ(store.document().styles[0].name, u"Sans_Normal"_s);
    ASSERT_EQ(store.document().styles[1].name, u"Sans_Bold"_s);
    const BandTarget header = BandTarget::standard(BandType::columnHeader);
    const ReportElement heading = store.elements(header).first();
    ASSERT_EQ(heading.styleName, u"Sans_Bold"_s);
    const auto drawn = [&] {
        BandItem *band = canvas.scene()->bandItem(header);
        ElementView *item = band ? band->elementItems().value(heading.id) : nullptr;
        return item ? item->element() : ReportElement();
    };
    ASSERT_EQ(drawn().fontSize, 8);
    const auto shownSize = [this] { return find<QLineEdit>(row(1, u"size"_s))->text(); };
    ASSERT_EQ(shownSize(), u"8"_s);

    type(row(0, u"size"_s), u"14"_s);
    EXPECT_EQ(shownSize(), u"14"_s);
    EXPECT_EQ(drawn().fontSize, 14);
    EXPECT_TRUE(drawn().isBold) << "the style's own";

    click(row(0, u"default"_s));
    ASSERT_FALSE(store.document().styles[0].isDefault);
    EXPECT_EQ(shownSize(), u"10"_s);
    EXPECT_EQ(find<QComboBox>(row(1, u"font"_s))->currentText(), u"SansSerif"_s);
    EXPECT_EQ(drawn().fontSize, 10);
    EXPECT_EQ(drawn().fontName, u"SansSerif"_s);
}

} // namespace

// With hundreds of styles only the rows near what the sheet shows are built when it opens. A
// row built long after, far down the list, edits its own style alone, one undo step per run,
// and keeps showing its style when the styles above it change.
TEST_F(StylesCard, RowsBuiltLateEditTheirOwnStyle)
{
    QList<ReportStyle> list;
    for (int i = 0; i < 500; ++i)
        list.append(namedStyle(u"Style"_s + QString::number(i)));
    setStyles(list);
    view->refresh();
    QApplication::processEvents();
    const QList<StyleRow *> atOpening = section()->rows();
    ASSERT_EQ(atOpening.size(), 500);
    EXPECT_TRUE(atOpening.at(0));
    EXPECT_LT(std::count_if(atOpening.cbegin(), atOpening.cend(), [](StyleRow *r) { return r; }),
              50)
        << "only the rows near view are built";
    EXPECT_FALSE(atOpening.at(400));
    EXPECT_FALSE(view->findChild<QLineEdit *>(row(400, u"name"_s)));

    const ReportDocument before = store.document();
    const qsizetype steps = store.undoStack().size();
    auto *name = find<QLineEdit>(row(400, u"name"_s));
    ASSERT_TRUE(name) << "the sheet scrolled to the row and built it";
    EXPECT_EQ(name->text(), u"Style400"_s);
    EXPECT_FALSE(section()->rows().at(250)) << "rows in between stay unbuilt";
    name->setFocus();
    name->end(false);
    QTest::keyClicks(name, u"ab"_s);
    for (qsizetype i = 0; i < 500; ++i) {
        if (i != 400) {
            ASSERT_EQ(store.document().styles.at(i), before.styles.at(i)) << i;
        }
    }
    EXPECT_EQ(store.document().styles.at(400).name, u"Style400ab"_s);

    // The first style goes: the same row, now the 400th, shows its style in place.
    editDocument(store, [](ReportDocument &d) { d.styles.removeFirst(); });
    view->refresh();
    EXPECT_EQ(view->findChild<QLineEdit *>(row(399, u"name"_s)), name);
    EXPECT_EQ(name->text(), u"Style400ab"_s);
    store.undo();
    view->refresh();
    store.undo();
    view->refresh();
    EXPECT_EQ(store.document(), before) << "the keys typed were one step";
    EXPECT_EQ(store.undoStack().size(), steps);
    EXPECT_EQ(name->text(), u"Style400"_s);
}
