#include "AppTestSupport.h"
#include "EngineJudge.h"
#include "canvas/PaletteActions.h"
#include "canvas/SnippetLibrary.h"
#include "engine/SidecarModel.h"
#include "model/JrxmlCodec.h"
#include "workspace/AppSettings.h"

#include <QSettings>

using namespace Qt::StringLiterals;
using Kind = PaletteActions::Kind;

// The book samples are reports of parts: their sections hold parts, and the engine allows no
// band anywhere in them. Every insert the palette, the snippets menu and the columnar layout
// offer says so where the element would go, adds nothing, and the report saved afterwards
// compiles as it did.

namespace {

class ReportOfPartsTest : public apptest::SandboxTest,
                          public testing::WithParamInterface<const char *> {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        QUILLMARK_REQUIRE_CORPUS();
        settings = std::make_unique<AppSettings>(dir.path());
        store.setDocument(JrxmlCodec::parse(
            testsupport::readFile(testsupport::corpusDir() + u"/jrxml-samples/"_s + GetParam())));
        QObject::connect(&store, &DocumentStore::bandTakesNoElements,
                         [this](const BandTarget &target) { refused.append(target); });
    }

    // The engine's complaint about the report as saved now, or no value.
    std::optional<QString> compiled() { return judge.compileError(store.document()); }

    // Whether the store is as loaded: nothing added, no undo step, not dirty.
    void expectUnchanged(const char *what)
    {
        EXPECT_EQ(store.document(), loaded) << what;
        EXPECT_TRUE(store.undoStack().isEmpty()) << what;
        EXPECT_FALSE(store.isDirty()) << what;
    }

    std::unique_ptr<AppSettings> settings;
    DocumentStore store;
    ReportDocument loaded;
    QList<BandTarget> refused;
    testsupport::JudgeWhereAtHand judge;
};

} // namespace

TEST_P(ReportOfPartsTest, InsertsSayTheSectionTakesPartsAndAddNothing)
{
    loaded = store.document();
    ASSERT_EQ(compiled(), std::nullopt) << "the sample compiles as read";
    const BandTarget detail = BandTarget::detailBand(loaded.detailBands.first().id);
    ASSERT_FALSE(loaded.groups.isEmpty());
    const BandTarget groupHeader = BandTarget::groupHeader(loaded.groups.first().id);

    // The palette's caption says where the element would go, and why nothing goes there.
    store.setActiveBandTarget(detail);
    const PaletteActions::TargetCaption caption = PaletteActions::targetCaption(store);
    EXPECT_EQ(caption.text, u"Detail: parts only"_s);
    EXPECT_TRUE(caption.toolTip.startsWith(u"Nothing can be added to Detail: this report is made "
                                           u"of parts"_s))
        << caption.toolTip.toStdString();

    for (const Kind kind : PaletteActions::allKinds) {
        if (kind == Kind::subreport)
            continue;
        PaletteActions::insert(kind, store, *settings);
    }
    ASSERT_EQ(refused.size(), 10);
    EXPECT_EQ(refused.first(), detail);
    expectUnchanged("palette");
    // The subreport button writes no subreport file for an element that cannot be added.
    store.setSavePanel([&](const SavePanelRequest &) -> std::optional<QUrl> {
        return QUrl::fromLocalFile(path(u"Book.jrxml"_s));
    });
    SidecarModel sidecar;
    PaletteActions::insertSubreport(store, *settings, sidecar);
    EXPECT_EQ(refused.size(), 11);
    EXPECT_EQ(QDir(dir.path()).entryList({u"*.jrxml"_s}), QStringList());
    expectUnchanged("subreport");

    // A snippet into the group header, and page numbers there.
    store.setActiveBandTarget(groupHeader);
    EXPECT_EQ(PaletteActions::targetCaption(store).text,
              store.label(groupHeader) + u": parts only"_s);
    QSettings snippets(path(u"snippets.ini"_s), QSettings::IniFormat);
    SnippetLibrary library(snippets);
    ReportElement label;
    label.id = newId();
    label.kind = ElementKind::StaticText{u"Chapter"_s};
    library.save(label, u"Label"_s);
    PaletteActions::insertSnippet(store, library, library.snippets().first());
    store.insertComposite(CompositeElement::pageNumber, groupHeader);
    ASSERT_EQ(refused.size(), 13);
    EXPECT_EQ(refused.last(), groupHeader);
    expectUnchanged("snippet");

    // Columns from the report's fields, and a paste.
    store.generateColumnarLayout(loaded.fields, detail, false, std::nullopt);
    EXPECT_EQ(refused.size(), 14);
    store.clipboard()->setElements({label});
    store.pasteClipboard();
    EXPECT_EQ(refused.size(), 15);
    expectUnchanged("columns and paste");

    // No band is given a height, shown or added either: each would write a band.
    store.setHeight(30, detail);
    store.setBandPresent(BandType::title, true);
    store.addDetailBand();
    expectUnchanged("bands");
    EXPECT_EQ(compiled(), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(BookSamples, ReportOfPartsTest,
                         testing::Values("book/BookReport.jrxml",
                                         "tableofcontents/TableOfContentsReport.jrxml"));

// A report of bands goes on as before: the same caption and inserts.
TEST(ReportOfBands, TheCaptionNamesTheBandAndInsertsGoThere)
{
    DocumentStore store;
    QTemporaryDir dir;
    AppSettings settings(dir.path());
    store.setActiveBandTarget(BandTarget::standard(BandType::title));
    EXPECT_EQ(PaletteActions::targetCaption(store).text, u"Add to Title:"_s);
    EXPECT_TRUE(PaletteActions::targetCaption(store).toolTip.isEmpty());
    PaletteActions::insert(Kind::rectangle, store, settings);
    EXPECT_EQ(store.elements(BandTarget::standard(BandType::title)).size(), 1);
}
