#include "AppTestSupport.h"
#include "TestSupport.h"
#include "app/ContentView.h"
#include "canvas/BandItem.h"
#include "canvas/CanvasGraphicsView.h"
#include "canvas/CanvasScene.h"
#include "canvas/CanvasView.h"
#include "canvas/SnippetLibrary.h"
#include "engine/SidecarModel.h"
#include "inspector/InspectorView.h"
#include "setup/ImageExpression.h"
#include "setup/ImageImportCoordinator.h"
#include "setup/ImageImportOptionsSheet.h"
#include "setup/PicturePool.h"
#include "widgets/ScriptedDialogs.h"
#include "workspace/AppSettings.h"
#include "workspace/WorkspaceModel.h"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QThreadPool>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// The main window's content with a report open, driven as a user drives it: files dragged
// from the file manager onto the canvas, the "Add Image" sheet answered with its buttons.
class ImageDropTest : public apptest::SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        settings = std::make_unique<AppSettings>(path(u"Docs"_s));
        settings->setIsSnapToGridEnabled(false);
        view = std::make_unique<ContentView>(workspace, *settings, dialogs, snippets, engine);
        view->resize(1400, 900);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        ASSERT_TRUE(QDir(dir.path()).mkdir(u"pictures"_s));
        ASSERT_TRUE(image.save(path(u"pictures/logo.png"_s), "PNG"));
    }

    DocumentStore &store() const { return *workspace.activeStore(); }
    ImageImportOptionsSheet *sheet() const { return view->findChild<ImageImportOptionsSheet *>(); }
    // The sheet is built when an import first shows it.
    bool sheetShows() const { return sheet() && sheet()->isVisible(); }
    BandTarget detail() const
    {
        return BandTarget::detailBand(store().document().detailBands.at(0).id);
    }
    QWidget *viewport() const { return view->canvas()->graphicsView()->viewport(); }
    // A point of the band's body on the canvas viewport.
    QPoint at(const BandTarget &target, QPointF body) const
    {
        const BandItem *band = view->canvas()->scene()->bandItem(target);
        return view->canvas()->graphicsView()->mapFromScene(
            band->mapToScene(band->bodyRect().topLeft() + body));
    }
    // Drags the files over the canvas and lets go at the point; whether the canvas took them.
    bool dropFiles(QPoint point, const QList<QUrl> &files)
    {
        QMimeData data;
        data.setUrls(files);
        QDragEnterEvent enter(point, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(viewport(), &enter);
        QDragMoveEvent move(point, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(viewport(), &move);
        if (!move.isAccepted())
            return false;
        QDropEvent dropped(point, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(viewport(), &dropped);
        return dropped.isAccepted();
    }
    QList<ReportElement> images(const BandTarget &target) const
    {
        QList<ReportElement> found;
        for (const ReportElement &e : store().elements(target)) {
            if (e.kind.is<ElementKind::Image>())
                found.append(e);
        }
        return found;
    }
    int subreportDirCount() const
    {
        int count = 0;
        for (const ReportParameter &p : store().document().parameters)
            count += p.name == u"SUBREPORT_DIR"_s ? 1 : 0;
        return count;
    }
    QUrl logo() const { return QUrl::fromLocalFile(path(u"pictures/logo.png"_s)); }

    WorkspaceModel workspace;
    ScriptedDialogs dialogs;
    std::unique_ptr<AppSettings> settings;
    QSettings snippetSettings{path(u"snippets.ini"_s), QSettings::IniFormat};
    SnippetLibrary snippets{snippetSettings};
    SidecarModel engine;
    std::unique_ptr<ContentView> view;
};

} // namespace

TEST_F(ImageDropTest, APictureDroppedOnABandIsImportedWhereItFell)
{
    workspace.openTab(QUrl::fromLocalFile(writeReport(u"sales.jrxml"_s)));
    const BandTarget band = detail();
    store().setHeight(120, band);
    QCoreApplication::processEvents();
    ASSERT_FALSE(sheetShows());

    // Only image files are taken; the band stays as it was.
    QFile text(path(u"pictures/notes.txt"_s));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.close();
    EXPECT_FALSE(dropFiles(at(band, {200, 30}), {QUrl::fromLocalFile(text.fileName())}));
    EXPECT_FALSE(sheetShows());

    ASSERT_TRUE(dropFiles(at(band, {200, 50}), {logo()}));
    ASSERT_TRUE(sheet()->isVisible()) << "the drop opens the Add Image sheet";
    EXPECT_EQ(sheet()->fileNameLabel()->text(), u"logo.png"_s);
    EXPECT_TRUE(images(band).isEmpty()) << "nothing is added before the import";

    QTest::mouseClick(sheet()->importButton(), Qt::LeftButton);
    EXPECT_FALSE(sheet()->isVisible());
    EXPECT_TRUE(QFile::exists(path(u"logo.png"_s))) << "copied beside the report";
    const QList<ReportElement> added = images(band);
    ASSERT_EQ(added.size(), 1);
    const ReportElement &image = added.first();
    EXPECT_EQ(image.kind.as<ElementKind::Image>()->expression,
              uR"($P{SUBREPORT_DIR} + "logo.png")"_s);
    EXPECT_NEAR(image.x, 140, 1);
    EXPECT_NEAR(image.y, 10, 1);
    EXPECT_EQ(QSizeF(image.width, image.height), QSizeF(120, 90));
    EXPECT_EQ(image.fontName, u"SansSerif"_s);
    EXPECT_EQ(image.fontSize, 10);
    EXPECT_EQ(image.evaluationTime, u"Now"_s);
    EXPECT_EQ(store().selectedElementIDs(), QSet<QUuid>{image.id});
    EXPECT_EQ(store().activeBandTarget(), band);
    EXPECT_EQ(subreportDirCount(), 1);
    EXPECT_EQ(ImageExpression::resolve(image.kind.as<ElementKind::Image>()->expression,
                                       store().fileURL()),
              QUrl::fromLocalFile(path(u"logo.png"_s)));

    // A second picture, dropped near the band's origin, goes to the origin; the parameter is
    // still declared once.
    ASSERT_TRUE(dropFiles(at(band, {20, 5}), {logo()}));
    QTest::mouseClick(sheet()->importButton(), Qt::LeftButton);
    ASSERT_EQ(images(band).size(), 2);
    EXPECT_EQ(QPointF(images(band).last().x, images(band).last().y), QPointF(0, 0));
    EXPECT_EQ(subreportDirCount(), 1);

    // One undo takes away one element.
    store().undo();
    EXPECT_EQ(images(band).size(), 1);
    store().undo();
    EXPECT_TRUE(images(band).isEmpty());

    // Cancelled, a drop adds nothing.
    ASSERT_TRUE(dropFiles(at(band, {200, 30}), {logo()}));
    QTest::mouseClick(sheet()->cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(sheet()->isVisible());
    EXPECT_TRUE(images(band).isEmpty());
}

TEST_F(ImageDropTest, AnUnsavedReportIsSavedBeforeThePictureIsStored)
{
    const BandTarget band = BandTarget::standard(BandType::title);
    ASSERT_FALSE(store().fileURL());
    ASSERT_TRUE(dropFiles(at(band, {300, 10}), {logo()}));
    ASSERT_TRUE(sheet()->isVisible());

    dialogs.answerSavePanel(std::nullopt);
    QTest::mouseClick(sheet()->importButton(), Qt::LeftButton);
    ASSERT_EQ(dialogs.savePanels().size(), 1);
    EXPECT_EQ(dialogs.savePanels().at(0).proposedFileName, u"report.jrxml"_s);
    EXPECT_TRUE(sheet()->isVisible()) << "a cancelled save panel keeps the sheet";
    EXPECT_FALSE(sheet()->errorRow()->isVisible());

    ASSERT_TRUE(QDir(dir.path()).mkdir(u"new"_s));
    dialogs.answerSavePanel(QUrl::fromLocalFile(path(u"new/report.jrxml"_s)));
    QTest::mouseClick(sheet()->importButton(), Qt::LeftButton);
    EXPECT_FALSE(sheet()->isVisible());
    EXPECT_EQ(store().fileURL(), QUrl::fromLocalFile(path(u"new/report.jrxml"_s)));
    EXPECT_TRUE(QFile::exists(path(u"new/logo.png"_s)));
    ASSERT_EQ(images(band).size(), 1);
    EXPECT_EQ(subreportDirCount(), 1);
}

TEST_F(ImageDropTest, TheInspectorsBrowseButtonImportsIntoTheShownImage)
{
    workspace.openTab(QUrl::fromLocalFile(writeReport(u"sales.jrxml"_s)));
    ReportElement image;
    image.id = QUuid::createUuid();
    image.kind = ElementKind::Image{u"\"old.png\""_s};
    store().addElement(image, detail());
    QCoreApplication::processEvents();
    auto *browse =
        view->inspector()->findChild<QToolButton *>(u"inspector.imageExpression.browse"_s);
    ASSERT_TRUE(browse);
    ASSERT_TRUE(browse->isEnabled());

    // A cancelled open panel changes nothing.
    QTest::mouseClick(browse, Qt::LeftButton);
    EXPECT_FALSE(sheetShows());
    ASSERT_EQ(dialogs.openPanels().size(), 1);
    EXPECT_TRUE(dialogs.openPanels().at(0).fileExtensions.contains(u"png"_s));

    dialogs.answerOpenPanel({logo()});
    QTest::mouseClick(browse, Qt::LeftButton);
    ASSERT_TRUE(sheet()->isVisible());
    // Resized to 16 pixels across, the copy keeps its aspect.
    sheet()->sizePicker()->setCurrentIndex(1);
    emit sheet()->sizePicker()->activated(1);
    sheet()->maxDimensionStepper()->setValue(50);
    QTest::mouseClick(sheet()->importButton(), Qt::LeftButton);
    ASSERT_TRUE(testsupport::waitFor([&] { return !view->imageImport()->isBusy(); }));
    EXPECT_FALSE(sheet()->isVisible());
    EXPECT_EQ(store().element(image.id)->kind.as<ElementKind::Image>()->expression,
              uR"($P{SUBREPORT_DIR} + "logo.png")"_s);
    EXPECT_EQ(QImage(path(u"logo.png"_s)).size(), QSize(50, 38));
    EXPECT_EQ(subreportDirCount(), 1);
}

// A resized picture is prepared off the window's thread while the sheet says so and takes no
// second Import; it arrives as one undo step. Cancelled meanwhile, it never arrives.
TEST_F(ImageDropTest, AResizedPictureArrivesAsOneUndoStepAndACancelledOneNever)
{
    workspace.openTab(QUrl::fromLocalFile(writeReport(u"sales.jrxml"_s)));
    const BandTarget band = detail();
    store().setHeight(120, band);
    const auto dropResized = [&] {
        ASSERT_TRUE(dropFiles(at(band, {200, 50}), {logo()}));
        sheet()->sizePicker()->setCurrentIndex(1);
        emit sheet()->sizePicker()->activated(1);
        sheet()->maxDimensionStepper()->setValue(50);
        QTest::mouseClick(sheet()->importButton(), Qt::LeftButton);
    };
    dropResized();
    EXPECT_TRUE(sheet()->isVisible());
    EXPECT_TRUE(sheet()->progressRow()->isVisible());
    EXPECT_FALSE(sheet()->importButton()->isEnabled());
    EXPECT_TRUE(sheet()->cancelButton()->isEnabled());
    EXPECT_TRUE(images(band).isEmpty());
    ASSERT_TRUE(testsupport::waitFor([&] { return !view->imageImport()->isBusy(); }));
    EXPECT_FALSE(sheet()->isVisible());
    ASSERT_EQ(images(band).size(), 1);
    EXPECT_EQ(QImage(path(u"logo.png"_s)).size(), QSize(50, 38));
    // One undo takes the picture away, and nothing done before it.
    store().undo();
    EXPECT_TRUE(images(band).isEmpty());
    EXPECT_EQ(store().height(band), 120);

    QFile::remove(path(u"logo.png"_s));
    dropResized();
    QTest::mouseClick(sheet()->cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(sheet()->isVisible());
    PicturePool::instance().waitForDone();
    QCoreApplication::processEvents();
    EXPECT_TRUE(images(band).isEmpty());
    EXPECT_FALSE(QFile::exists(path(u"logo.png"_s)));
    EXPECT_FALSE(sheet()->isVisible());
}

// The imported picture's element takes the picture's proportions: a dropped one within the
// 120 x 90 points a drop gives, one chosen in the inspector within the box it had, in the same
// undo step as its expression.
TEST_F(ImageDropTest, AnImportedPictureGivesItsElementItsProportions)
{
    workspace.openTab(QUrl::fromLocalFile(writeReport(u"sales.jrxml"_s)));
    const BandTarget band = detail();
    store().setHeight(120, band);
    QImage banner(400, 100, QImage::Format_RGB32);
    banner.fill(Qt::darkRed);
    ASSERT_TRUE(banner.save(path(u"pictures/banner.png"_s), "PNG"));

    ASSERT_TRUE(
        dropFiles(at(band, {200, 50}), {QUrl::fromLocalFile(path(u"pictures/banner.png"_s))}));
    QTest::mouseClick(sheet()->importButton(), Qt::LeftButton);
    ASSERT_EQ(images(band).size(), 1);
    EXPECT_EQ(QSizeF(images(band).first().width, images(band).first().height), QSizeF(120, 30));

    ReportElement image;
    image.id = QUuid::createUuid();
    image.kind = ElementKind::Image{u"\"old.png\""_s};
    image.width = 100;
    image.height = 100;
    store().addElement(image, band);
    QCoreApplication::processEvents();
    // The card of the image shown now: the inspector keeps those of earlier selections hidden.
    QToolButton *browse = nullptr;
    for (QToolButton *button :
         view->inspector()->findChildren<QToolButton *>(u"inspector.imageExpression.browse"_s)) {
        if (button->isVisible())
            browse = button;
    }
    ASSERT_TRUE(browse);
    dialogs.answerOpenPanel({logo()});
    QTest::mouseClick(browse, Qt::LeftButton);
    ASSERT_TRUE(sheet()->isVisible());
    QTest::mouseClick(sheet()->importButton(), Qt::LeftButton);
    const std::optional<ReportElement> chosen = store().element(image.id);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->kind.as<ElementKind::Image>()->expression,
              uR"($P{SUBREPORT_DIR} + "logo.png")"_s);
    EXPECT_EQ(QSizeF(chosen->width, chosen->height), QSizeF(100, 75)) << "the 64 x 48 logo's shape";

    store().undo();
    const std::optional<ReportElement> undone = store().element(image.id);
    ASSERT_TRUE(undone);
    EXPECT_EQ(undone->kind.as<ElementKind::Image>()->expression, u"\"old.png\""_s);
    EXPECT_EQ(QSizeF(undone->width, undone->height), QSizeF(100, 100));
}
