#include "document/DocumentStore.h"
#include "model/JrxmlCodec.h"
#include "setup/NewReportChoiceCard.h"
#include "setup/NewReportStylesCard.h"
#include "setup/NewReportWizardSheet.h"
#include "setup/NewReportWizardState.h"
#include "setup/NewReportWizardView.h"
#include "widgets/MeasurementField.h"
#include "widgets/StyleCoreEditor.h"
#include "workspace/AppSettings.h"
#include "workspace/WorkspaceModel.h"

#include "AppTestSupport.h"
#include "EngineJudge.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPdfDocument>
#include <QPdfSelection>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class NewReportWizardTest : public apptest::SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        if (HasFatalFailure())
            return;
        settings = std::make_unique<AppSettings>(path(u"Docs"_s));
        settings->setMeasurementUnit(MeasurementUnit::pixels);
        window.resize(900, 800);
        window.show();
        sheet = std::make_unique<NewReportWizardSheet>(workspace, *settings, &window);
    }

    // Opens the sheet as "New..." does; returns its wizard.
    NewReportWizardView *open()
    {
        workspace.setIsNewReportWizardVisible(true);
        EXPECT_TRUE(sheet->isVisible());
        return sheet->view();
    }
    QString report(const QString &name, const QStringList &styleNames)
    {
        ReportDocument document = DocumentStore::defaultDocument(595, 842);
        for (const QString &styleName : styleNames) {
            ReportStyle style;
            style.name = styleName;
            style.isDefault = true;
            document.styles.append(style);
        }
        const QString filePath = path(name);
        QFile file(filePath);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(JrxmlCodec::serialize(document));
        return filePath;
    }
    static int chosenIndex(const QList<NewReportChoiceCard *> &cards)
    {
        for (qsizetype i = 0; i < cards.size(); ++i)
            if (cards[i]->isChosen())
                return int(i);
        return -1;
    }
    static QStringList names(const QList<ReportStyle> &styles)
    {
        QStringList list;
        for (const ReportStyle &style : styles)
            list.append(style.name);
        return list;
    }

    std::unique_ptr<AppSettings> settings;
    WorkspaceModel workspace;
    QWidget window;
    std::unique_ptr<NewReportWizardSheet> sheet;
};

} // namespace

TEST(NewReportChoiceCard, ThumbnailsFollowThePageAndSurviveSizesOfZeroOrLess)
{
    const double a4 = 210.0 / 297.0;
    EXPECT_DOUBLE_EQ(NewReportChoiceCard::thumbnailRatio(PageSize{842, 595}), 842.0 / 595.0);
    EXPECT_DOUBLE_EQ(NewReportChoiceCard::thumbnailRatio(std::nullopt), a4);
    EXPECT_DOUBLE_EQ(NewReportChoiceCard::thumbnailRatio(PageSize{0, 842}), a4);
    EXPECT_DOUBLE_EQ(NewReportChoiceCard::thumbnailRatio(PageSize{595, 0}), a4);
    EXPECT_DOUBLE_EQ(NewReportChoiceCard::thumbnailRatio(PageSize{-595, -842}), a4);
    EXPECT_EQ(NewReportChoiceCard::fitted(0.5, 100, 62), QSizeF(31, 62));
    EXPECT_EQ(NewReportChoiceCard::fitted(2, 100, 62), QSizeF(100, 50));
    EXPECT_EQ(NewReportChoiceCard::fitted(1, 0, 62), QSizeF(0, 0));
    EXPECT_EQ(NewReportChoiceCard::fitted(-1, 100, 62), QSizeF(0, 0));
}

TEST_F(NewReportWizardTest, OpensOnThePresetOfTheDefaultPageSizeOrOnCustomWithIt)
{
    NewReportWizardView *view = open();
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->presetCards().size(), 13);
    ASSERT_EQ(view->headerSwatches().size(), 5);
    EXPECT_EQ(view->presetCards().at(10)->text(), u"Tabloid (11\u00D717)"_s);
    EXPECT_EQ(view->presetCards().at(12)->symbol(), u"ruler"_s);
    EXPECT_EQ(view->headerSwatches().at(0)->symbol(), u"slash.circle"_s);
    EXPECT_EQ(view->headerSwatches().at(0)->sampleFill(), QColor(Qt::white));
    EXPECT_EQ(view->headerSwatches().at(1)->sampleFill(), QColor(0x1F, 0x4E, 0x8C));
    EXPECT_EQ(chosenIndex(view->presetCards()), 0);
    EXPECT_EQ(chosenIndex(view->headerSwatches()), 0);
    EXPECT_FALSE(view->customSizeRow()->isVisible());
    view->cancelButton()->click();
    EXPECT_FALSE(workspace.isNewReportWizardVisible());
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(workspace.tabs().size(), 1) << "Cancel makes nothing";

    settings->setDefaultPageWidth(842);
    settings->setDefaultPageHeight(595);
    view = open();
    EXPECT_EQ(chosenIndex(view->presetCards()), 1);
    EXPECT_EQ(view->presetCards().at(1)->text(), u"A4 Landscape"_s);
    workspace.setIsNewReportWizardVisible(false);

    settings->setDefaultPageWidth(600);
    settings->setDefaultPageHeight(800);
    view = open();
    EXPECT_EQ(chosenIndex(view->presetCards()), 12);
    EXPECT_TRUE(view->customSizeRow()->isVisible());
    EXPECT_EQ(view->widthField()->points(), 600);
    EXPECT_EQ(view->heightField()->points(), 800);
    EXPECT_EQ(view->widthField()->lineEdit()->text(), u"600"_s);
    EXPECT_EQ(view->heightField()->lineEdit()->text(), u"800"_s);

    // A tap on another card hides the size; the custom values stay for Custom.
    QTest::mouseClick(view->presetCards().at(2), Qt::LeftButton);
    EXPECT_EQ(view->state().preset(), PageFormatPreset::letterPortrait);
    EXPECT_FALSE(view->customSizeRow()->isVisible());
    QTest::mouseClick(view->presetCards().at(12), Qt::LeftButton);
    EXPECT_TRUE(view->customSizeRow()->isVisible());
    QLineEdit *width = view->widthField()->lineEdit();
    width->selectAll();
    QTest::keyClicks(width, u"700"_s);
    // Return commits the field, then creates the report of that size.
    QTest::keyClick(width, Qt::Key_Return);
    EXPECT_FALSE(workspace.isNewReportWizardVisible());
    ASSERT_EQ(workspace.tabs().size(), 2);
    EXPECT_EQ(workspace.activeStore()->document().pageWidth, 700);
    EXPECT_EQ(workspace.activeStore()->document().pageHeight, 800);
}

// A custom size the new report cannot have is refused under its field, and Create waits for one
// it can: at least a point, wider than the margins, high enough for the margins and bands.
TEST_F(NewReportWizardTest, ACustomSizeTheEngineRefusesIsRefusedUnderTheField)
{
    settings->setDefaultPageWidth(600);
    settings->setDefaultPageHeight(800);
    NewReportWizardView *view = open();
    ASSERT_TRUE(view->customSizeRow()->isVisible());
    const auto typeInto = [](MeasurementField *field, const QString &text) {
        field->lineEdit()->setFocus();
        field->lineEdit()->selectAll();
        QTest::keyClicks(field->lineEdit(), text);
        QTest::keyClick(field->lineEdit(), Qt::Key_Return);
    };
    for (const QString &width : {u"0"_s, u"-142"_s, u"60"_s}) {
        typeInto(view->widthField(), width);
        EXPECT_EQ(view->state().customWidth(), 600) << width.toStdString();
        EXPECT_FALSE(view->widthField()->message().isEmpty());
        EXPECT_TRUE(workspace.isNewReportWizardVisible()) << "Create waits";
    }
    for (const QString &height : {u"0"_s, u"159"_s}) {
        typeInto(view->heightField(), height);
        EXPECT_EQ(view->state().customHeight(), 800) << height.toStdString();
        EXPECT_FALSE(view->heightField()->message().isEmpty());
    }
    typeInto(view->heightField(), u"160"_s);
    EXPECT_FALSE(workspace.isNewReportWizardVisible());
    ASSERT_EQ(workspace.tabs().size(), 2);
    EXPECT_EQ(workspace.activeStore()->document().pageWidth, 600);
    EXPECT_EQ(workspace.activeStore()->document().pageHeight, 160);
}

TEST_F(NewReportWizardTest, EachShowingStartsAfreshButKeepsNoChoicesOfTheLast)
{
    NewReportWizardView *view = open();
    view->stylesCard()->addButton()->click();
    QTest::mouseClick(view->presetCards().at(3), Qt::LeftButton);
    QTest::mouseClick(view->headerSwatches().at(4), Qt::LeftButton);
    EXPECT_EQ(chosenIndex(view->headerSwatches()), 4);
    workspace.setIsNewReportWizardVisible(false);
    view = open();
    EXPECT_EQ(chosenIndex(view->presetCards()), 0);
    EXPECT_EQ(chosenIndex(view->headerSwatches()), 0);
    EXPECT_TRUE(view->state().styles().isEmpty());
    EXPECT_TRUE(view->stylesCard()->boxes().isEmpty());
}

TEST_F(NewReportWizardTest, StyleTilesAddMoveAndRemoveThroughTheCoreEditor)
{
    NewReportWizardView *view = open();
    NewReportStylesCard *card = view->stylesCard();
    EXPECT_FALSE(card->importButton()->isVisible()) << "no recent reports, no menu";
    card->addButton()->click();
    card->addButton()->click();
    card->addButton()->click();
    ASSERT_EQ(card->boxes().size(), 3);
    StyleCoreEditor *first = card->boxes().at(0)->editor();
    StyleCoreEditor *last = card->boxes().at(2)->editor();
    EXPECT_EQ(first->nameField()->text(), u"Style1"_s);

    // Typing in a tile writes its style; the tile and its field stay while others move.
    first->nameField()->setFocus();
    first->nameField()->selectAll();
    QTest::keyClicks(first->nameField(), u"Title"_s);
    EXPECT_EQ(names(view->state().styles()), (QStringList{u"Title"_s, u"Style2"_s, u"Style3"_s}));
    EXPECT_EQ(card->boxes().at(0)->editor(), first);

    last->findChild<QToolButton *>(u"newReport.style2.remove"_s)->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(names(view->state().styles()), (QStringList{u"Title"_s, u"Style2"_s}));
    ASSERT_EQ(card->boxes().size(), 2);
    first->findChild<QToolButton *>(u"newReport.style0.down"_s)->click();
    EXPECT_EQ(names(view->state().styles()), (QStringList{u"Style2"_s, u"Title"_s}));
    EXPECT_EQ(card->boxes().at(1)->editor(), first) << "the tile moved with its style";
}

// Two prepared styles of one name would make a report the engine refuses: both tiles say so, as
// the Styles card's rows do, until one of them is named apart again.
TEST_F(NewReportWizardTest, StylesOfOneNameAreWarnedOf)
{
    NewReportWizardView *view = open();
    NewReportStylesCard *card = view->stylesCard();
    card->addButton()->click();
    card->addButton()->click();
    card->addButton()->click();
    ASSERT_EQ(card->boxes().size(), 3);
    const auto warnings = [&] {
        QList<bool> shown;
        for (int i = 0; i < card->boxes().size(); ++i) {
            const auto *label = view->findChild<QLabel *>(u"newReport.style"_s +
                                                          QString::number(i) + u".nameWarning"_s);
            EXPECT_TRUE(label) << i;
            shown.append(label && label->isVisibleTo(view));
        }
        return shown;
    };
    EXPECT_EQ(warnings(), (QList<bool>{false, false, false}));

    QLineEdit *third = card->boxes().at(2)->editor()->nameField();
    third->setFocus();
    third->selectAll();
    QTest::keyClicks(third, u"Style1"_s);
    EXPECT_EQ(warnings(), (QList<bool>{true, false, true}));
    const auto *warning = view->findChild<QLabel *>(u"newReport.style0.nameWarning"_s);
    ASSERT_TRUE(warning);
    EXPECT_EQ(warning->text(),
              u"Another style has this name: the engine refuses two styles of one name."_s);
    EXPECT_EQ(card->boxes().at(2)->editor()->nameField(), third) << "the tile stays as it is";

    QTest::keyClicks(third, u"b"_s);
    EXPECT_EQ(names(view->state().styles()), (QStringList{u"Style1"_s, u"Style2"_s, u"Style1b"_s}));
    EXPECT_EQ(warnings(), (QList<bool>{false, false, false}));
}

TEST_F(NewReportWizardTest, OffersRecentReportsStylesOnceAndCreatesTheReportWithThem)
{
    const QString newest = report(u"newest.jrxml"_s, {u"Title"_s, u"Body"_s});
    const QString older = report(u"older.jrxml"_s, {u"Body"_s, u"Footer"_s});
    settings->setRecentFilePaths({path(u"gone.jrxml"_s), newest, older});
    NewReportWizardView *view = open();
    NewReportStylesCard *card = view->stylesCard();
    EXPECT_TRUE(card->importButton()->isVisible());
    EXPECT_EQ(card->importableNames(), (QStringList{u"Title"_s, u"Body"_s, u"Footer"_s}));

    // The files were read when the sheet opened: a file deleted since still offers its styles.
    QFile::remove(older);
    card->importButton()->menu()->actions().at(2)->trigger();
    card->addButton()->click();
    card->importButton()->menu()->actions().at(0)->trigger();
    EXPECT_EQ(names(view->state().styles()), (QStringList{u"Footer"_s, u"Style1"_s, u"Title"_s}));
    EXPECT_FALSE(view->state().styles().at(2).isDefault);
    EXPECT_EQ(card->importableNames(), QStringList{u"Body"_s});
    card->importButton()->menu()->actions().at(0)->trigger();
    EXPECT_FALSE(card->importButton()->isVisible()) << "nothing left to offer";

    QTest::mouseClick(view->presetCards().at(1), Qt::LeftButton);
    QTest::mouseClick(view->headerSwatches().at(1), Qt::LeftButton);
    const QList<ReportStyle> prepared = view->state().styles();
    view->createButton()->click();
    EXPECT_FALSE(workspace.isNewReportWizardVisible());
    ASSERT_EQ(workspace.tabs().size(), 2);
    DocumentStore *store = workspace.activeStore();
    EXPECT_EQ(store, workspace.tabs().at(1));
    EXPECT_EQ(store->document().pageWidth, 842);
    EXPECT_EQ(store->document().styles, prepared);
    EXPECT_TRUE(store->isDirty());
    const ReportBand title = store->document().band(BandType::title).value();
    EXPECT_EQ(title.height, 56);
    ASSERT_EQ(title.elements.size(), 2);
    EXPECT_EQ(title.elements.at(0).width, 782);
    store->undo();
    EXPECT_EQ(store->document().styles, prepared);
}

TEST_F(NewReportWizardTest, ReturnCreatesABlankCleanTab)
{
    ASSERT_NE(open(), nullptr);
    QTest::keyClick(sheet.get(), Qt::Key_Return);
    EXPECT_FALSE(workspace.isNewReportWizardVisible());
    ASSERT_EQ(workspace.tabs().size(), 2);
    EXPECT_FALSE(workspace.activeStore()->isDirty());
    EXPECT_TRUE(workspace.activeStore()->document().styles.isEmpty());
}

// The engine prints the last page footer in place of the page footer on the last page: a new
// report, blank or from the wizard's choices, leaves it out, so that the page footer prints on
// a one-page report.
TEST_F(NewReportWizardTest, ANewReportPrintsItsPageFooterOnTheLastPage)
{
    ASSERT_NE(open(), nullptr);
    QTest::keyClick(sheet.get(), Qt::Key_Return);
    NewReportWizardView *view = open();
    QTest::mouseClick(view->headerSwatches().at(1), Qt::LeftButton);
    view->createButton()->click();
    ASSERT_EQ(workspace.tabs().size(), 3);
    for (DocumentStore *store : {workspace.tabs().at(1), workspace.tabs().at(2)}) {
        const std::optional<ReportBand> last = store->document().band(BandType::lastPageFooter);
        ASSERT_TRUE(last);
        EXPECT_FALSE(last->isPresent);
        for (const ReportBand &band : store->document().bands) {
            if (band.type != BandType::lastPageFooter) {
                EXPECT_TRUE(band.isPresent) << int(band.type);
            }
        }
        EXPECT_FALSE(JrxmlCodec::serialize(store->document()).contains("lastPageFooter"));
    }

    DocumentStore *store = workspace.tabs().at(1);
    ReportElement footer;
    footer.kind = ElementKind::TextField{u"\"Page \" + $V{PAGE_NUMBER}"_s};
    footer.width = 200;
    footer.height = 20;
    store->addElement(footer, BandTarget::standard(BandType::pageFooter));
    // The outline's Show adds it back, 20 points high, when the user wants it.
    store->setBandPresent(BandType::lastPageFooter, true);
    EXPECT_TRUE(store->document().band(BandType::lastPageFooter)->isPresent);
    EXPECT_EQ(store->document().band(BandType::lastPageFooter)->height, 20);
    store->undo();

    QUILLMARK_REQUIRE_ENGINE();
    testsupport::EngineJudge engine(*location);
    QString pdf;
    ASSERT_EQ(engine.printError(store->document(), &pdf), std::nullopt);
    QPdfDocument printed;
    ASSERT_EQ(printed.load(pdf), QPdfDocument::Error::None);
    ASSERT_EQ(printed.pageCount(), 1);
    EXPECT_TRUE(printed.getAllText(0).text().contains(u"Page 1"_s))
        << printed.getAllText(0).text().toStdString();
    EXPECT_EQ(engine.compileError(workspace.tabs().at(2)->document()), std::nullopt);
}
