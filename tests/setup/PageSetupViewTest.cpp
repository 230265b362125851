#include "setup/PageSetupView.h"
#include "TestSupport.h"
#include "document/DocumentStore.h"
#include "edits/LengthLimits.h"
#include "model/JrxmlCodec.h"
#include "setup/PageSetupEdits.h"
#include "widgets/MeasurementField.h"
#include "widgets/Stepper.h"
#include "workspace/AppSettings.h"

#include "AppTestSupport.h"
#include "WheelTurns.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class PageSetupViewTest : public apptest::SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        if (HasFatalFailure())
            return;
        settings = std::make_unique<AppSettings>(path(u"Docs"_s));
        settings->setMeasurementUnit(MeasurementUnit::millimeters);
        store.newDocument(595, 842);
        view = std::make_unique<PageSetupView>(&store, *settings, [this] { ++closes; });
        view->resize(460, 680);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    }

    template <typename T> T *child(const QString &name) const
    {
        T *found = view->findChild<T *>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QLineEdit *length(const QString &name) const
    {
        return child<MeasurementField>(name)->lineEdit();
    }
    // Types a length as the user does and leaves the field with Return.
    void type(const QString &name, const QString &text) const
    {
        QLineEdit *edit = length(name);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    void change(const std::function<void(ReportDocument &)> &edit)
    {
        ReportDocument document = store.document();
        edit(document);
        store.setDocument(document);
    }
    bool shown(const QString &name) const { return child<QWidget>(name)->isVisibleTo(view.get()); }

    std::unique_ptr<AppSettings> settings;
    DocumentStore store;
    std::unique_ptr<PageSetupView> view;
    int closes = 0;
};

} // namespace

TEST_F(PageSetupViewTest, MarginsTypedInMillimetresReachTheSavedFile)
{
    EXPECT_EQ(length(u"pagesetup.page.width"_s)->text(),
              measurement::format(595, MeasurementUnit::millimeters, view->locale()))
        << "shown in the user's unit";
    EXPECT_EQ(length(u"pagesetup.margins.left"_s)->text(),
              measurement::format(30, MeasurementUnit::millimeters, view->locale()));
    type(u"pagesetup.margins.left"_s, u"25.4"_s);
    type(u"pagesetup.margins.right"_s, u"12.7"_s);
    type(u"pagesetup.margins.top"_s, u"0"_s);
    EXPECT_DOUBLE_EQ(store.document().leftMargin, 72);
    EXPECT_DOUBLE_EQ(store.document().rightMargin, 36);
    EXPECT_EQ(store.document().topMargin, 0);
    EXPECT_TRUE(store.isDirty());
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(store.undoStack().size(), 3) << "each field an undo step of its own";

    // The columns no longer fit the page: the sheet says so until they are fitted.
    EXPECT_TRUE(shown(u"pagesetup.content.fitWarning"_s));
    child<QPushButton>(u"pagesetup.content.fit"_s)->click();
    EXPECT_DOUBLE_EQ(store.document().columnWidth, 595 - 72 - 36);
    EXPECT_FALSE(shown(u"pagesetup.content.fitWarning"_s));

    // A column width that does not fit is refused, with a message under the field.
    type(u"pagesetup.content.columnWidth"_s, u"200"_s);
    EXPECT_DOUBLE_EQ(store.document().columnWidth, 487);
    EXPECT_FALSE(child<MeasurementField>(u"pagesetup.content.columnWidth"_s)->message().isEmpty());

    const QString file = path(u"Margins.jrxml"_s);
    store.save(QUrl::fromLocalFile(file));
    const QByteArray saved = testsupport::readFile(file);
    EXPECT_TRUE(saved.contains(R"(leftMargin="72")")) << saved.constData();
    EXPECT_TRUE(saved.contains(R"(rightMargin="36")"));
    EXPECT_TRUE(saved.contains(R"(topMargin="0")"));
    EXPECT_TRUE(saved.contains(R"(columnWidth="487")"));
    EXPECT_FALSE(store.isDirty());
}

TEST_F(PageSetupViewTest, RaisingTheCountToTwoSelectsHorizontalAndShowsTheColumnControls)
{
    auto *count = child<Stepper>(u"pagesetup.columns.count"_s);
    EXPECT_EQ(count->text(), u"1"_s);
    EXPECT_FALSE(shown(u"pagesetup.columns.spacing"_s));
    EXPECT_FALSE(shown(u"pagesetup.columns.printOrder"_s));
    EXPECT_FALSE(shown(u"pagesetup.columns.caption"_s));
    EXPECT_EQ(child<QLabel>(u"pagesetup.content.caption"_s)->text(),
              u"Usually pageWidth − leftMargin − rightMargin."_s);

    QTest::mouseClick(count->findChild<QToolButton *>(u"up"_s), Qt::LeftButton);
    EXPECT_EQ(store.document().columnCount, 2);
    EXPECT_EQ(store.document().printOrder, PrintOrder::horizontal);
    EXPECT_TRUE(store.isDirty());
    EXPECT_EQ(count->text(), u"2"_s);
    EXPECT_TRUE(shown(u"pagesetup.columns.spacing"_s));
    EXPECT_TRUE(shown(u"pagesetup.columns.printOrder"_s));
    EXPECT_EQ(child<QComboBox>(u"pagesetup.columns.printOrder"_s)->currentText(),
              u"Horizontal (across, then down)"_s);
    EXPECT_TRUE(child<QLabel>(u"pagesetup.columns.caption"_s)
                    ->text()
                    .endsWith(u"replicates it into 2 columns at Compile & Preview time."_s));
    EXPECT_TRUE(
        child<QLabel>(u"pagesetup.content.caption"_s)->text().startsWith(u"The width of ONE"_s));

    // The order picked by hand stays when a third column is added; back at one column the
    // controls go.
    auto *order = child<QComboBox>(u"pagesetup.columns.printOrder"_s);
    order->setCurrentIndex(1);
    emit order->activated(1);
    EXPECT_EQ(store.document().printOrder, PrintOrder::vertical);
    count->stepUp();
    EXPECT_EQ(store.document().printOrder, PrintOrder::vertical);
    count->stepDown();
    count->stepDown();
    EXPECT_EQ(store.document().columnCount, 1);
    EXPECT_FALSE(shown(u"pagesetup.columns.printOrder"_s));
    // The clicks that followed the order are one step; undone, the sheet shows two columns.
    store.undo();
    EXPECT_EQ(store.document().columnCount, 2);
    EXPECT_EQ(store.document().printOrder, PrintOrder::vertical);
    EXPECT_EQ(count->text(), u"2"_s);
    EXPECT_TRUE(shown(u"pagesetup.columns.printOrder"_s));
}

TEST_F(PageSetupViewTest, ShowingValuesWritesNothing)
{
    // Counts outside the stepper's range are shown as they are, not clamped into the report.
    for (const qint64 stored : {25, 0}) {
        SCOPED_TRACE(stored);
        change([stored](ReportDocument &d) {
            d.columnCount = stored;
            d.language = u"groovy"_s;
            d.whenNoDataType = WhenNoDataType::allSectionsNoDetail;
            d.isPdfTagged = true;
        });
        EXPECT_EQ(child<Stepper>(u"pagesetup.columns.count"_s)->text(), QString::number(stored));
        EXPECT_EQ(store.document().columnCount, stored);
        EXPECT_FALSE(store.isDirty());
    }
    EXPECT_EQ(child<QComboBox>(u"pagesetup.expressions.language"_s)->currentText(), u"groovy"_s);
    EXPECT_EQ(child<QComboBox>(u"pagesetup.pagination.whenNoData"_s)->currentText(),
              u"All Sections, No Detail"_s);
    EXPECT_TRUE(child<QCheckBox>(u"pagesetup.accessibility.tagged"_s)->isChecked());

    // Re-picking the shown entry writes nothing either.
    for (const QString &name :
         {u"pagesetup.expressions.language"_s, u"pagesetup.pagination.whenNoData"_s}) {
        auto *box = child<QComboBox>(name);
        emit box->activated(box->currentIndex());
    }
    EXPECT_FALSE(store.isDirty());

    // A language the picker does not offer selects no entry and stays in the report.
    change([](ReportDocument &d) { d.language = u"python"_s; });
    EXPECT_EQ(child<QComboBox>(u"pagesetup.expressions.language"_s)->currentIndex(), -1);
    EXPECT_EQ(store.document().language, u"python"_s);
    EXPECT_FALSE(store.isDirty());

    // A unit change shows the same lengths in the new unit.
    settings->setMeasurementUnit(MeasurementUnit::inches);
    EXPECT_EQ(length(u"pagesetup.margins.left"_s)->text(),
              measurement::format(30, MeasurementUnit::inches, view->locale()));
    EXPECT_FALSE(store.isDirty());
}

TEST_F(PageSetupViewTest, FlagsPickersAndTheTagLanguageWriteOnlyWhatTheUserChanges)
{
    EXPECT_FALSE(shown(u"pagesetup.accessibility.tagLanguage"_s));
    child<QCheckBox>(u"pagesetup.accessibility.tagged"_s)->click();
    EXPECT_TRUE(store.document().isPdfTagged);
    EXPECT_TRUE(shown(u"pagesetup.accessibility.tagLanguage"_s));
    auto *tag = child<QLineEdit>(u"pagesetup.accessibility.tagLanguage"_s);
    EXPECT_EQ(tag->text(), u"en-US"_s);
    EXPECT_EQ(tag->placeholderText(), u"en-US"_s);
    tag->setFocus();
    tag->selectAll();
    QTest::keyClicks(tag, u"de"_s);
    EXPECT_EQ(store.document().pdfTagLanguage, u"de"_s) << "every keystroke is written";
    QTest::keyClick(tag, Qt::Key_Backspace);
    QTest::keyClick(tag, Qt::Key_Backspace);
    EXPECT_EQ(store.document().pdfTagLanguage, QString());

    for (const auto &[name, flag] :
         {std::pair{u"pagesetup.pagination.summaryNewPage"_s, &ReportDocument::isSummaryNewPage},
          std::pair{u"pagesetup.pagination.summaryWithPageHeaderAndFooter"_s,
                    &ReportDocument::isSummaryWithPageHeaderAndFooter},
          std::pair{u"pagesetup.pagination.floatColumnFooter"_s,
                    &ReportDocument::isFloatColumnFooter}}) {
        child<QCheckBox>(name)->click();
        EXPECT_TRUE(store.document().*flag) << name.toStdString();
    }
    auto *whenNoData = child<QComboBox>(u"pagesetup.pagination.whenNoData"_s);
    QStringList labels;
    for (int i = 0; i < whenNoData->count(); ++i)
        labels.append(whenNoData->itemText(i));
    EXPECT_EQ(labels, QStringList({u"No Pages"_s, u"Blank Page"_s, u"All Sections, No Detail"_s,
                                   u"No Data Section"_s}));
    whenNoData->setCurrentIndex(3);
    emit whenNoData->activated(3);
    EXPECT_EQ(store.document().whenNoDataType, WhenNoDataType::noDataSection);
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(store.undoStack().size(), 6) << "the flag, the typing, three flags, the picker";

    child<QPushButton>(u"pagesetup.close"_s)->click();
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(store.document().whenNoDataType, WhenNoDataType::noDataSection)
        << "closing keeps every change";
}

// Lengths no page can have, or no PDF page holds, are refused with the field's words and leave
// the report as it was: sizes of 0 or less, negative margins, pages larger than 200 inches
// (700000000 mm among them, which the file could carry), columns wider than the page.
TEST_F(PageSetupViewTest, PageValuesNoPageCanHoldAreRefusedWithAMessage)
{
    struct Case {
        QString field;
        double ReportDocument::*kept;
        QString typed;
        QString words;
    };
    const QList<Case> cases = {
        {u"pagesetup.page.width"_s, &ReportDocument::pageWidth, u"0"_s,
         u"A page is at least 0.35 mm wide and high."_s},
        {u"pagesetup.page.height"_s, &ReportDocument::pageHeight, u"-10"_s,
         u"A page is at least"_s},
        {u"pagesetup.margins.bottom"_s, &ReportDocument::bottomMargin, u"-5"_s,
         u"This length is 0 or more."_s},
        {u"pagesetup.page.width"_s, &ReportDocument::pageWidth, u"700000000"_s,
         u"Wider than a PDF page: the width can be at most 5080.00 mm."_s},
        {u"pagesetup.page.height"_s, &ReportDocument::pageHeight, u"5081"_s,
         u"Higher than a PDF page: the height can be at most 5080.00 mm."_s},
        {u"pagesetup.content.columnWidth"_s, &ReportDocument::columnWidth, u"700000000"_s,
         u"The columns must fit the page between its margins"_s},
        {u"pagesetup.margins.left"_s, &ReportDocument::leftMargin, u"1e12"_s,
         u"No report holds a length this large"_s},
    };
    const ReportDocument before = store.document();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.field.toStdString() + " " + c.typed.toStdString());
        type(c.field, c.typed);
        EXPECT_TRUE(child<MeasurementField>(c.field)->message().startsWith(c.words))
            << child<MeasurementField>(c.field)->message().toStdString();
        EXPECT_EQ(length(c.field)->text(),
                  measurement::format(before.*c.kept, MeasurementUnit::millimeters, view->locale()))
            << "the stored length shows again";
    }
    EXPECT_EQ(store.document(), before);
    EXPECT_FALSE(store.isDirty());
    // The largest PDF page is taken.
    type(u"pagesetup.page.width"_s, u"5080"_s);
    EXPECT_DOUBLE_EQ(store.document().pageWidth, 14400);
    child<QPushButton>(u"pagesetup.page.portrait"_s)->click();
    child<QPushButton>(u"pagesetup.content.fit"_s)->click();
    EXPECT_TRUE(std::isfinite(store.document().columnWidth));
    EXPECT_FALSE(view->grab().isNull());

    // The sheet follows another report it is handed, and none at all.
    DocumentStore other;
    other.newDocument(300, 400);
    view->setStore(&other);
    EXPECT_EQ(length(u"pagesetup.page.width"_s)->text(),
              measurement::format(300, MeasurementUnit::millimeters, view->locale()));
    view->setStore(nullptr);
    EXPECT_FALSE(view->isEnabled());
    child<QPushButton>(u"pagesetup.content.fit"_s)->click();
    EXPECT_FALSE(other.isDirty());
}

// Every picker and spin box of the sheet, the page format's among them, lets a wheel turned to
// scroll the sheet pass.
TEST_F(PageSetupViewTest, TheWheelScrollsTheSheetOverEveryControl)
{
    view->resize(460, 480);
    change([](ReportDocument &d) { d.columnCount = 2; });
    QCoreApplication::processEvents();
    int tried = 0;
    EXPECT_EQ(testsupport::controlsTakingTheWheel(
                  view.get(), testsupport::stillAsItWas([&] { return store.document(); }), &tried),
              QStringList());
    EXPECT_GE(tried, 3);
    EXPECT_FALSE(store.isDirty());
}

TEST_F(PageSetupViewTest, ScrollingOverAPickerScrollsTheSheetAndPicksNothing)
{
    view->resize(460, 480);
    change([](ReportDocument &d) { d.columnCount = 2; });
    QCoreApplication::processEvents();
    auto *order = child<QComboBox>(u"pagesetup.columns.printOrder"_s);
    auto *bar = child<QScrollArea>(u"pagesetup.scroll"_s)->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    bar->setValue(bar->maximum());
    // The pointer passes over the picker; the user is elsewhere.
    order->clearFocus();
    ASSERT_FALSE(order->hasFocus());
    // Up would pick the entry above the shown one.
    const QPoint centre = order->rect().center();
    QWheelEvent wheel(centre, order->mapToGlobal(centre), {}, {0, 120}, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(order, &wheel);
    EXPECT_EQ(order->currentText(), u"Vertical (down, then across)"_s);
    EXPECT_EQ(store.document().printOrder, PrintOrder::vertical);
    EXPECT_FALSE(store.isDirty());
    EXPECT_LT(bar->value(), bar->maximum()) << "the sheet scrolls instead";
}

// Landscape the page cannot hold with its bands leaves the page as it is and says why under the
// buttons, in the Height field's words, until the report changes.
TEST_F(PageSetupViewTest, LandscapeThePageCannotHoldSaysWhyUnderTheButtons)
{
    change([](ReportDocument &d) {
        for (ReportBand &band : d.bands) {
            if (band.type == BandType::pageHeader)
                band.height = 500;
        }
    });
    const ReportDocument before = store.document();
    EXPECT_FALSE(shown(u"pagesetup.page.orientationWarning"_s));
    child<QPushButton>(u"pagesetup.page.landscape"_s)->click();
    EXPECT_EQ(store.document(), before);
    EXPECT_FALSE(store.isDirty());
    EXPECT_TRUE(shown(u"pagesetup.page.orientationWarning"_s));
    ReportDocument turned = before;
    turned.pageWidth = 842;
    EXPECT_EQ(child<QLabel>(u"pagesetup.page.orientationWarning"_s)->text(),
              LengthLimits::pageLength(turned, &ReportDocument::pageHeight, 595,
                                       MeasurementUnit::millimeters)
                  .message);
    change([](ReportDocument &d) { d.name = u"Other"_s; });
    EXPECT_FALSE(shown(u"pagesetup.page.orientationWarning"_s));
}

// A length typed and not committed is taken by one click on a button of the sheet, and the
// button acts on it: even where taking it moves the button (a message under the field goes),
// the click lands. Each is an undo step of its own, the button's last.
TEST_F(PageSetupViewTest, OneClickOnAButtonTakesTheTypingAndActsOnIt)
{
    struct Case {
        QString field;
        QString typed;
        QString button;
        std::function<bool(const ReportDocument &)> done;
    };
    const QList<Case> cases = {
        {u"pagesetup.margins.left"_s, u"30"_s, u"pagesetup.content.fit"_s,
         [](const ReportDocument &d) {
             return d.columnWidth == PageSetupEdits::fittedColumnWidth(d) && d.leftMargin > 85;
         }},
        {u"pagesetup.page.width"_s, u"400"_s, u"pagesetup.page.portrait"_s,
         [](const ReportDocument &d) {
             return d.pageHeight > 1130 && d.pageWidth == 842 &&
                    d.columnWidth == PageSetupEdits::fittedColumnWidth(d);
         }},
        {u"pagesetup.margins.right"_s, u"30"_s, u"pagesetup.pagination.summaryNewPage"_s,
         [](const ReportDocument &d) { return d.isSummaryNewPage && d.rightMargin > 85; }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.button.toStdString());
        const ReportDocument before = store.document();
        const qsizetype steps = store.undoStack().size();
        // A length refused before leaves its message under the field, which taking the next one
        // clears.
        type(c.field, u"-5"_s);
        ASSERT_FALSE(child<MeasurementField>(c.field)->message().isEmpty());
        QLineEdit *edit = length(c.field);
        edit->selectAll();
        QTest::keyClicks(edit, c.typed);
        auto *button = child<QAbstractButton>(c.button);
        const QPoint at = button->mapToGlobal(button->rect().center());
        QTest::mousePress(button, Qt::LeftButton, {}, button->rect().center());
        // The sheet lays itself out before the button is let go, as it does while a user clicks.
        for (int pass = 0; pass < 4; ++pass)
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QTest::mouseRelease(button, Qt::LeftButton, {}, button->mapFromGlobal(at));
        EXPECT_TRUE(c.done(store.document()));
        store.flushPendingUndoSnapshot();
        EXPECT_EQ(store.undoStack().size(), steps + 2);
        store.undo();
        EXPECT_FALSE(c.done(store.document())) << "the button's step first";
        EXPECT_NE(store.document(), before);
        store.undo();
        EXPECT_EQ(store.document(), before);
    }
}
