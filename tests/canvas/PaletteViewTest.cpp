#include "canvas/PaletteView.h"
#include "AppTestSupport.h"
#include "EngineJudge.h"
#include "EngineTestSupport.h"
#include "ScriptedEngine.h"
#include "TestSupport.h"
#include "canvas/SaveSnippetSheet.h"
#include "canvas/SnippetLibrary.h"
#include "canvas/SnippetSheetState.h"
#include "canvas/SnippetsMenu.h"
#include "engine/SidecarModel.h"
#include "model/JrxmlCodec.h"
#include "workspace/AppSettings.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;
using testsupport::element;
using testsupport::waitFor;
using K = ElementKind;

namespace {

class PaletteViewTest : public apptest::SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        settings = std::make_unique<AppSettings>(dir.path());
        scripted.script({testsupport::ScriptedEngine::ok()});
        sidecar.setLocationProvider([this] { return scripted.location; });
        store = std::make_unique<DocumentStore>();
        palette = std::make_unique<PaletteView>(*settings, library, sidecar);
        palette->setStore(store.get());
    }
    QList<ReportElement> detail() const { return store->elements(store->activeBandTarget()); }
    QList<QAction *> menuItems() const
    {
        palette->snippetsMenu()->rebuild();
        return palette->snippetsMenu()->menu()->actions();
    }

    std::unique_ptr<AppSettings> settings;
    QSettings librarySettings{path(u"snippets.ini"_s), QSettings::IniFormat};
    SnippetLibrary library{librarySettings};
    testsupport::ScriptedEngine scripted;
    PrivateWorkFolder workFolder{path(u"work"_s)};
    SidecarModel sidecar{workFolder};
    std::unique_ptr<DocumentStore> store;
    std::unique_ptr<PaletteView> palette;
};

} // namespace

TEST_F(PaletteViewTest, ButtonsAndCompositeItemsInsertIntoTheReport)
{
    const QStringList helps{u"Static Text"_s, u"Text Field"_s, u"Rectangle"_s, u"Ellipse"_s,
                            u"Line"_s,        u"Image"_s,      u"Subreport"_s, u"Frame"_s,
                            u"List"_s,        u"Table"_s,      u"Break"_s};
    const QStringList symbols{u"textformat"_s, u"curlybraces"_s,         u"rectangle"_s,
                              u"oval"_s,       u"line.diagonal"_s,       u"photo"_s,
                              u"doc.on.doc"_s, u"square.dashed"_s,       u"list.bullet.rectangle"_s,
                              u"tablecells"_s, u"arrow.turn.down.left"_s};
    for (qsizetype i = 0; i < symbols.size(); ++i) {
        ASSERT_TRUE(palette->button(symbols[i])) << symbols[i].toStdString();
        EXPECT_EQ(palette->button(symbols[i])->toolTip(), helps[i]);
        EXPECT_EQ(palette->button(symbols[i])->size(), QSize(22, 22));
    }
    EXPECT_EQ(palette->targetLabel()->text(), u"Add to Detail:"_s);
    palette->button(u"square.dashed"_s)->click();
    EXPECT_EQ(palette->targetLabel()->text(), u"Add to Frame:"_s);
    palette->button(u"textformat"_s)->click();
    ASSERT_EQ(detail().size(), 1);
    EXPECT_EQ(detail()[0].kind.children()->size(), 1) << "into the selected frame";

    QStringList titles;
    const QList<QAction *> items = palette->compositeButton()->menu()->actions();
    for (QAction *item : items)
        titles.append(item->text());
    EXPECT_EQ(titles, (QStringList{u"Page Number"_s, u"Total Pages"_s, u"Page X of Y"_s,
                                   u"Current Date"_s, u"Time"_s}));
    items[3]->trigger();
    ASSERT_EQ(detail().size(), 2) << "a composite goes to the band, not into the frame";
    ASSERT_TRUE(detail()[1].kind.as<K::TextField>());
    EXPECT_TRUE(
        detail()[1].kind.as<K::TextField>()->expression.contains(u"new java.util.Date()"_s));
}

// The caption names the band as the user named its group: markup in the name shows as typed.
TEST_F(PaletteViewTest, TheCaptionShowsAGroupNameAsTyped)
{
    store->addGroup();
    ReportDocument document = store->document();
    document.groups[0].name = u"<i>G</i>"_s;
    store->setDocument(document);
    store->setActiveBandTarget(BandTarget::groupHeader(document.groups[0].id));
    QLabel *caption = palette->targetLabel();
    EXPECT_EQ(caption->text(), u"Add to <i>G</i> Header:"_s);
    // As rich text the tags would vanish and the caption would be narrower than its text.
    EXPECT_GE(caption->sizeHint().width(),
              caption->fontMetrics().horizontalAdvance(caption->text()));
}

// The buttons stand where they stood whatever band is active: a click at one place always reaches
// the same button. A band name too long for the caption is cut short and shown whole on hover.
TEST_F(PaletteViewTest, TheButtonsKeepTheirPlacesWhateverTheBandIsCalled)
{
    palette->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(palette.get()));
    const auto places = [&] {
        QCoreApplication::processEvents();
        QList<int> xs;
        for (const QToolButton *button : palette->findChildren<QToolButton *>())
            if (button->isVisible())
                xs.append(button->mapTo(palette.get(), QPoint()).x());
        return xs;
    };
    const QList<int> atDetail = places();
    ASSERT_GE(atDetail.size(), 12);
    store->addGroup();
    ReportDocument document = store->document();
    document.groups[0].name = u"CustomersByRegionAndCountryAndCity"_s;
    store->setDocument(document);
    for (const BandTarget &target :
         {BandTarget::standard(BandType::title), BandTarget::standard(BandType::pageFooter),
          BandTarget::standard(BandType::columnFooter),
          BandTarget::standard(BandType::columnHeader),
          BandTarget::groupHeader(document.groups[0].id)}) {
        store->setActiveBandTarget(target);
        EXPECT_EQ(places(), atDetail) << palette->targetLabel()->accessibleName().toStdString();
    }
    QLabel *caption = palette->targetLabel();
    EXPECT_EQ(caption->accessibleName(), u"Add to CustomersByRegionAndCountryAndCity Header:"_s);
    EXPECT_EQ(caption->toolTip(), caption->accessibleName());
    EXPECT_LE(caption->fontMetrics().horizontalAdvance(caption->text()), caption->width());
}

TEST_F(PaletteViewTest, SubreportButtonCreatesTheFileAndCompilesItInTheBackground)
{
    store->save(QUrl::fromLocalFile(path(u"Sales.jrxml"_s)));
    palette->button(u"doc.on.doc"_s)->click();
    ASSERT_EQ(detail().size(), 1);
    const ReportElement subreport = detail()[0];
    EXPECT_EQ(subreport.kind.as<K::Subreport>()->dataSourceExpression,
              u"new net.sf.jasperreports.engine.JREmptyDataSource(1)"_s);
    EXPECT_EQ(QRectF(subreport.x, subreport.y, subreport.width, subreport.height),
              QRectF(10, 10, 200, 100));
    EXPECT_EQ(store->creatingSubreportElementIDs(), QSet<QUuid>{subreport.id});
    EXPECT_EQ(settings->explorerRefreshTick(), 1);
    EXPECT_TRUE(QFile::exists(path(u"Sales_Subreport1.jrxml"_s)));

    ASSERT_TRUE(waitFor([&] { return settings->explorerRefreshTick() == 2; }));
    EXPECT_TRUE(store->creatingSubreportElementIDs().isEmpty());
    EXPECT_TRUE(testsupport::readFile(scripted.dir.filePath(u"requests"_s))
                    .contains("Sales_Subreport1.jasper"));

    // A tab closed while its compile runs: the compile's end finds no store and harms nothing.
    palette->button(u"doc.on.doc"_s)->click();
    palette->setStore(nullptr);
    store.reset();
    ASSERT_TRUE(waitFor([&] { return settings->explorerRefreshTick() == 4; }));
}

TEST_F(PaletteViewTest, AnInsertIntoALowBandGrowsItAndTheEngineTakesTheReport)
{
    ReportDocument low = store->document();
    low.detailBands[0].height = 13;
    store->setDocument(low);
    store->setActiveBandTarget(BandTarget::detailBand(low.detailBands[0].id));
    palette->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(palette.get()));
    QTest::mouseClick(palette->button(u"textformat"_s), Qt::LeftButton);
    ASSERT_EQ(detail().size(), 1);
    EXPECT_EQ(QRectF(detail()[0].x, detail()[0].y, detail()[0].width, detail()[0].height),
              QRectF(10, 10, 150, 20));
    EXPECT_EQ(store->document().detailBands[0].height, 30);
    const ReportDocument grown = store->document();
    store->undo();
    EXPECT_EQ(store->document(), low) << "the insert and the growth are one step";
    store->redo();

    QUILLMARK_REQUIRE_ENGINE();
    // The report as it is compiles; the same report with the band left at 13 points does not.
    ReportDocument ungrown = grown;
    ungrown.detailBands[0].height = 13;
    const auto compile = [&](const ReportDocument &report, const QString &name) {
        QFile file(path(name + u".jrxml"_s));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(JrxmlCodec::serialize(report));
        file.close();
        SidecarModel engine{PrivateWorkFolder(path(u"engine-work"_s))};
        engine.setLocationProvider([&] { return *location; });
        std::optional<std::optional<QString>> outcome;
        QObject context;
        engine.compileOnly(file.fileName(), path(name + u".jasper"_s), &context,
                           [&](const std::optional<QString> &error) { outcome = error; });
        EXPECT_TRUE(waitFor([&] { return outcome.has_value(); }, std::chrono::seconds(90)));
        return outcome.value_or(u"no answer"_s);
    };
    EXPECT_EQ(compile(grown, u"Grown"_s), std::nullopt);
    EXPECT_TRUE(compile(ungrown, u"Ungrown"_s).value_or(QString()).contains(u"outside band"_s));
}

TEST_F(PaletteViewTest, SubreportIntoAnUnsavedReportWhoseSaveIsCancelledDoesNothing)
{
    store->setSavePanel([](const SavePanelRequest &) { return std::optional<QUrl>(); });
    palette->button(u"doc.on.doc"_s)->click();
    EXPECT_TRUE(detail().isEmpty());
    EXPECT_TRUE(store->undoStack().isEmpty());
    EXPECT_EQ(settings->explorerRefreshTick(), 0);
    EXPECT_EQ(QDir(dir.path()).entryList({u"*.jrxml"_s}), QStringList());
}

TEST_F(PaletteViewTest, SnippetsAreSavedFromTheSheetInsertedAndDeletedFromTheMenu)
{
    QList<QAction *> items = menuItems();
    ASSERT_EQ(items.size(), 1) << "no divider with an empty library";
    EXPECT_EQ(items[0]->text(), u"Save Selection as Snippet..."_s);
    EXPECT_FALSE(items[0]->isEnabled());

    ReportElement frame =
        element(K::Frame{{element(K::StaticText{u"A"_s}), element(K::Rectangle{})}});
    store->addElement(frame, store->activeBandTarget());
    store->setSelectedElementIDs({frame.id});
    palette->snippetSheet()->setName(u"left over"_s);
    items = menuItems();
    ASSERT_TRUE(items[0]->isEnabled());
    items[0]->trigger();
    EXPECT_TRUE(palette->snippetSheet()->isVisible());
    EXPECT_TRUE(palette->saveSnippetSheet()->isVisible());
    EXPECT_EQ(palette->saveSnippetSheet()->nameField()->text(), QString());
    QTest::keyClicks(palette->saveSnippetSheet()->nameField(), u"Box"_s);
    palette->saveSnippetSheet()->saveButton()->click();
    EXPECT_FALSE(palette->saveSnippetSheet()->isVisible());
    ASSERT_EQ(library.snippets().size(), 1);
    EXPECT_EQ(library.snippets()[0].name, u"Box"_s);

    items[0]->trigger(); // an empty name saves as "Untitled Snippet"
    palette->saveSnippetSheet()->saveButton()->click();
    EXPECT_EQ(library.snippets()[1].name, u"Untitled Snippet"_s);

    items = menuItems();
    ASSERT_EQ(items.size(), 4);
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_EQ(items[2]->text(), u"Box"_s);
    const QList<QAction *> boxItems = items[2]->menu()->actions();
    for (int i = 0; i < 2; ++i) {
        store->setSelectedElementIDs({}); // else the second goes into the first
        boxItems[0]->trigger();
    }
    ASSERT_EQ(detail().size(), 3);
    QSet<QUuid> ids;
    for (const ReportElement &e : detail()) {
        ids.insert(e.id);
        for (const ReportElement &child : *e.kind.children())
            ids.insert(child.id);
    }
    EXPECT_EQ(ids.size(), 9) << "every id fresh";
    EXPECT_EQ(detail()[2].kind.children()->at(0).kind, K(K::StaticText{u"A"_s}));

    boxItems[1]->trigger();
    ASSERT_EQ(library.snippets().size(), 1);
    EXPECT_EQ(library.snippets()[0].name, u"Untitled Snippet"_s);
}

// The palette's text field names the first field of the dataset it lands in: the report's in a
// band, the list's sub-dataset's inside a list; only where that dataset declares none does it
// keep the placeholder. The engine compiles the report so built.
TEST_F(PaletteViewTest, ATextFieldNamesAFieldItsDatasetDeclares)
{
    palette->button(u"curlybraces"_s)->click();
    ASSERT_EQ(detail().size(), 1);
    EXPECT_EQ(detail()[0].kind.as<K::TextField>()->expression, u"$F{fieldName}"_s);

    store->setDocument(JrxmlCodec::parse(R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="r" pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20" topMargin="20" bottomMargin="20">
	<subDataset name="Items"><field name="sku" class="java.lang.String"/></subDataset>
	<field name="customer" class="java.lang.String"/>
	<field name="city" class="java.lang.String"/>
	<detail><band height="100">
		<componentElement>
			<reportElement x="0" y="0" width="300" height="60"/>
			<jr:list xmlns:jr="http://jasperreports.sourceforge.net/jasperreports/components">
				<datasetRun subDataset="Items"/>
				<jr:listContents height="60"/>
			</jr:list>
		</componentElement>
	</band></detail>
</jasperReport>)"));
    store->setActiveBandTarget(BandTarget::detailBand(store->document().detailBands.first().id));
    ASSERT_EQ(detail().size(), 1);
    const QUuid list = detail()[0].id;
    palette->button(u"curlybraces"_s)->click();
    ASSERT_EQ(detail().size(), 2);
    ASSERT_TRUE(detail()[1].kind.is<K::TextField>());
    EXPECT_EQ(detail()[1].kind.as<K::TextField>()->expression, u"$F{customer}"_s);
    store->setSelectedElementIDs({list});
    palette->button(u"curlybraces"_s)->click();
    const ElementList inList = store->element(list)->kind.as<K::List>()->children;
    ASSERT_EQ(inList.size(), 1);
    ASSERT_TRUE(inList[0].kind.is<K::TextField>());
    EXPECT_EQ(inList[0].kind.as<K::TextField>()->expression, u"$F{sku}"_s);

    QUILLMARK_REQUIRE_ENGINE();
    testsupport::EngineJudge engine(*location);
    EXPECT_EQ(engine.compileError(store->document()), std::nullopt);
}
