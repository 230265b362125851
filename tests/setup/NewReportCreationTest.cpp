#include "setup/NewReportCreation.h"
#include "document/DocumentStore.h"
#include "model/JrxmlCodec.h"
#include "setup/NewReportWizardState.h"
#include "workspace/WorkspaceModel.h"

#include "StyleNames.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

ReportStyle namedStyle(const QString &name, const QString &font = u"SansSerif"_s)
{
    ReportStyle style;
    style.name = name;
    style.fontName = font;
    return style;
}

ReportBand titleBand(const DocumentStore &store)
{
    return store.document().band(BandType::title).value();
}

// The title band's elements with what the header sets, and their defaults otherwise.
ReportElement expectedBar(double width, const QString &color)
{
    ReportElement bar;
    bar.kind = ElementKind::Rectangle{};
    bar.width = width;
    bar.height = 56;
    bar.backColor = ElementColor{color};
    return bar;
}

ReportElement expectedText(double width)
{
    ReportElement text;
    text.kind = ElementKind::StaticText{u"Your Company Name"_s};
    text.x = 16;
    text.y = 14;
    text.width = width;
    text.height = 28;
    text.fontName = u"Arial"_s;
    text.fontSize = 18;
    text.isBold = true;
    text.foreColor = ElementColor{u"#FFFFFF"_s};
    return text;
}

// The element as built, with the id that it was given.
ReportElement withID(ReportElement element, const QUuid &id)
{
    element.id = id;
    return element;
}

} // namespace

TEST(StarterHeader, CorporateBlueStampsABarAndTheCompanyNameAsThreeUndoSteps)
{
    DocumentStore store;
    store.newDocument(595, 842);
    NewReportCreation::applyStarterStyle(StarterHeaderStyle::corporateBlue, store);

    const ReportBand title = titleBand(store);
    EXPECT_EQ(title.height, 56);
    ASSERT_EQ(title.elements.size(), 2);
    const ReportElement bar = title.elements.at(0);
    const ReportElement text = title.elements.at(1);
    EXPECT_EQ(bar, withID(expectedBar(535, u"#1F4E8C"_s), bar.id));
    EXPECT_EQ(text, withID(expectedText(503), text.id));
    EXPECT_FALSE(bar.id.isNull());
    EXPECT_NE(bar.id, text.id);
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{text.id});
    EXPECT_TRUE(store.isDirty());

    // Undo takes the text, then the bar, then the band's height.
    store.undo();
    EXPECT_EQ(titleBand(store).elements.size(), 1);
    store.undo();
    EXPECT_TRUE(titleBand(store).elements.isEmpty());
    EXPECT_EQ(titleBand(store).height, 56);
    store.undo();
    EXPECT_EQ(titleBand(store).height, 20);
    EXPECT_FALSE(store.canUndo());
}

TEST(StarterHeader, BlankLeavesTheReportAloneAndNarrowPagesGetNoNegativeWidths)
{
    DocumentStore store;
    store.newDocument(595, 842);
    const ReportDocument before = store.document();
    NewReportCreation::applyStarterStyle(StarterHeaderStyle::none, store);
    EXPECT_EQ(store.document(), before);
    EXPECT_FALSE(store.isDirty());
    EXPECT_FALSE(store.canUndo());

    // Column 20 wide: the text would be 20 - 32 wide.
    store.newDocument(80, 200);
    NewReportCreation::applyStarterStyle(StarterHeaderStyle::crimson, store);
    ASSERT_EQ(titleBand(store).elements.size(), 2);
    EXPECT_EQ(titleBand(store).elements.at(0).width, 20);
    EXPECT_EQ(titleBand(store).elements.at(1).width, 0);
    EXPECT_EQ(titleBand(store).elements.at(0).backColor, ElementColor{u"#7A2331"_s});

    // Narrower than its margins: the column is negative, the bar no wider than nothing.
    store.newDocument(40, 200);
    NewReportCreation::applyStarterStyle(StarterHeaderStyle::slateGray, store);
    EXPECT_EQ(titleBand(store).elements.at(0).width, 0);
    EXPECT_EQ(titleBand(store).elements.at(1).width, 0);
}

TEST(CreateReport, BlankWithoutStylesOpensACleanTabOfTheChosenSize)
{
    WorkspaceModel workspace;
    const qsizetype tabsBefore = workspace.tabs().size();
    NewReportWizardState state;
    state.reset(600, 800);
    DocumentStore &store = NewReportCreation::createReport(workspace, state);
    ASSERT_EQ(workspace.tabs().size(), tabsBefore + 1);
    EXPECT_EQ(workspace.activeStore(), &store);
    EXPECT_EQ(store.document().pageWidth, 600);
    EXPECT_EQ(store.document().pageHeight, 800);
    EXPECT_TRUE(store.document().styles.isEmpty());
    EXPECT_FALSE(store.isDirty());
    EXPECT_FALSE(store.canUndo());
    EXPECT_FALSE(store.fileURL().has_value());
    EXPECT_EQ(titleBand(store).height, 20);
    EXPECT_TRUE(titleBand(store).elements.isEmpty());
}

TEST(CreateReport, StylesComeInTheWizardsOrderAndOneUndoKeepsThemWithTheBar)
{
    WorkspaceModel workspace;
    NewReportWizardState state;
    state.reset(842, 595);
    state.setHeaderStyle(StarterHeaderStyle::forestGreen);
    state.addStyle();
    state.addStyle();
    state.addImportedStyle(namedStyle(u"Heading"_s, u"Verdana"_s));
    state.moveStyle(2, -2);
    const QList<ReportStyle> prepared = state.styles();
    ASSERT_EQ(styleNames(prepared), (QStringList{u"Heading"_s, u"Style2"_s, u"Style1"_s}));

    DocumentStore &store = NewReportCreation::createReport(workspace, state);
    EXPECT_EQ(store.document().pageWidth, 842);
    EXPECT_EQ(store.document().styles, prepared);
    EXPECT_TRUE(store.isDirty());
    ASSERT_EQ(titleBand(store).elements.size(), 2);

    store.undo();
    EXPECT_EQ(store.document().styles, prepared) << "undoing the header keeps the styles";
    ASSERT_EQ(titleBand(store).elements.size(), 1);
    EXPECT_TRUE(titleBand(store).elements.first().kind.is<ElementKind::Rectangle>());

    // The next edit does not lose them either, and undoing back to the start still has them.
    store.addStyle();
    EXPECT_EQ(store.document().styles.size(), 4);
    while (store.canUndo())
        store.undo();
    EXPECT_EQ(store.document().styles, prepared);
    EXPECT_EQ(titleBand(store).height, 20);
}

TEST(CreateReport, TheNewReportWritesAndReadsBackItsHeaderAndStyles)
{
    WorkspaceModel workspace;
    NewReportWizardState state;
    state.setHeaderStyle(StarterHeaderStyle::corporateBlue);
    state.addStyle();
    DocumentStore &store = NewReportCreation::createReport(workspace, state);
    const ReportDocument read = JrxmlCodec::parse(JrxmlCodec::serialize(store.document()));
    EXPECT_EQ(styleNames(read.styles), QStringList{u"Style1"_s});
    const ReportBand title = read.band(BandType::title).value();
    EXPECT_EQ(title.height, 56);
    ASSERT_EQ(title.elements.size(), 2);
    EXPECT_EQ(title.elements.at(0).backColor, ElementColor{u"#1F4E8C"_s});
    EXPECT_EQ(title.elements.at(0).width, 535);
    const auto *text = title.elements.at(1).kind.as<ElementKind::StaticText>();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text, u"Your Company Name"_s);
    EXPECT_EQ(title.elements.at(1).foreColor, ElementColor{u"#FFFFFF"_s});
}

class ImportableStyles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    // Writes a report holding styles of the given names; returns its path.
    QString report(const QString &name, const QList<ReportStyle> &styles)
    {
        ReportDocument document = DocumentStore::defaultDocument(595, 842);
        document.styles = styles;
        return write(name, JrxmlCodec::serialize(document));
    }
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = QDir(dir.path()).filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QTemporaryDir dir;
};

TEST_F(ImportableStyles, OfferEachNameOnceNewestFirstSkippingBadFilesAndPresentNames)
{
    ReportStyle titleStyle = namedStyle(u"Title"_s, u"Verdana"_s);
    titleStyle.isDefault = true;
    const QString newest =
        report(u"newest.jrxml"_s, {titleStyle, namedStyle(u"Body"_s), namedStyle(u"Body"_s)});
    const QString older =
        report(u"older.jrxml"_s, {namedStyle(u"Footer"_s), namedStyle(u"Title"_s, u"Calibri"_s),
                                  namedStyle(u"Note"_s)});
    const QString broken = write(u"broken.jrxml"_s, "<jasperReport><style name=\"X\"");
    const QString foreign = write(u"other.xml"_s, "<notAReport/>");
    const QString missing = QDir(dir.path()).filePath(u"gone.jrxml"_s);

    const QList<QList<ReportStyle>> read =
        NewReportCreation::readReportStyles({missing, newest, broken, foreign, older});
    ASSERT_EQ(read.size(), 2) << "the missing and unparsable files give nothing";

    QList<ReportStyle> offered = NewReportCreation::stylesAvailableToImport({}, read);
    EXPECT_EQ(styleNames(offered), (QStringList{u"Title"_s, u"Body"_s, u"Footer"_s, u"Note"_s}));
    EXPECT_EQ(offered.first().fontName, u"Verdana"_s) << "the newer report's Title wins";
    EXPECT_TRUE(offered.first().isDefault) << "offered as read";

    // Adding one through the wizard takes it off the list; renaming it frees the name again.
    NewReportWizardState state;
    state.addStyle();
    state.addImportedStyle(offered.first());
    state.addImportedStyle(offered.at(2));
    EXPECT_EQ(styleNames(state.styles()), (QStringList{u"Style1"_s, u"Title"_s, u"Footer"_s}));
    EXPECT_FALSE(state.styles().at(1).isDefault);
    offered = NewReportCreation::stylesAvailableToImport(state.styles(), read);
    EXPECT_EQ(styleNames(offered), (QStringList{u"Body"_s, u"Note"_s}));
    ReportStyle renamed = state.styles().at(1);
    renamed.name = u"Banner"_s;
    state.replaceStyle(1, renamed);
    offered = NewReportCreation::stylesAvailableToImport(state.styles(), read);
    EXPECT_EQ(styleNames(offered), (QStringList{u"Title"_s, u"Body"_s, u"Note"_s}));

    EXPECT_TRUE(NewReportCreation::readReportStyles({missing}).isEmpty());
    EXPECT_TRUE(NewReportCreation::stylesAvailableToImport(
                    {}, NewReportCreation::readReportStyles({missing, broken}))
                    .isEmpty());
}
