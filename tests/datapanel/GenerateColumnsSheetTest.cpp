#include "datapanel/GenerateColumnsSheet.h"
#include "DataPanelFixture.h"
#include "TestSupport.h"
#include "WheelTurns.h"
#include "datapanel/GenerateColumnsSheetVisibility.h"
#include "model/JrxmlCodec.h"
#include "model/PageLayout.h"
#include "widgets/SheetDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

using namespace storetest;

namespace {

class GenerateColumns : public DataPanelTest {
protected:
    // Declares the fields A, B, C (classes String, Integer, Date).
    void declareFields(const QStringList &names = {u"A"_s, u"B"_s, u"C"_s})
    {
        editDocument(store, [&](ReportDocument &d) {
            for (const QString &name : names)
                d.fields.append(
                    {.name = name, .className = u"java.lang.String"_s, .fieldDescription = {}});
        });
    }
    // Opens the sheet as the Fields card's "Generate Columns..." does.
    GenerateColumnsView *open()
    {
        GenerateColumnsSheetVisibility::of(view.get())->setVisible(true);
        QApplication::processEvents();
        auto *sheet = view->findChild<GenerateColumnsSheet *>();
        return sheet ? sheet->view() : nullptr;
    }
    bool isOpen() const
    {
        auto *sheet = view->findChild<GenerateColumnsSheet *>();
        return sheet && sheet->dialog() && sheet->dialog()->isVisible();
    }
    const ReportBand &columnHeader() const
    {
        for (const ReportBand &band : store.document().bands)
            if (band.type == BandType::columnHeader)
                return band;
        throw std::runtime_error("no column header");
    }
    static QString textOf(const ReportElement &element)
    {
        if (auto *label = element.kind.as<ElementKind::StaticText>())
            return label->text;
        if (auto *field = element.kind.as<ElementKind::TextField>())
            return field->expression;
        return {};
    }
};

} // namespace

TEST_F(GenerateColumns, OpeningTicksEveryFieldAndGenerateLaysThemOutAsOneUndoStep)
{
    declareFields();
    GenerateColumnsView *sheet = open();
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(isOpen());
    ASSERT_EQ(sheet->fieldBoxes().size(), 3);
    for (QCheckBox *box : sheet->fieldBoxes())
        EXPECT_TRUE(box->isChecked()) << box->text().toStdString();
    EXPECT_EQ(sheet->fieldBoxes()[1]->text(), u"B"_s);
    EXPECT_FALSE(sheet->bandRow()->isVisibleTo(sheet)) << "one detail band: no picker";
    EXPECT_FALSE(sheet->emptyText()->isVisibleTo(sheet));
    EXPECT_TRUE(sheet->generateButton()->isEnabled());
    EXPECT_TRUE(sheet->generateButton()->isDefault());

    const qsizetype headerBefore = columnHeader().elements.size();
    const qsizetype detailBefore = store.document().detailBands[0].elements.size();
    store.setIsDirty(false);
    sheet->generateButton()->click();
    QApplication::processEvents();
    EXPECT_FALSE(isOpen());
    EXPECT_FALSE(GenerateColumnsSheetVisibility::of(view.get())->isVisible());
    EXPECT_TRUE(store.isDirty());

    const ElementList &labels = columnHeader().elements;
    const ElementList &values = store.document().detailBands[0].elements;
    ASSERT_EQ(labels.size(), headerBefore + 3);
    ASSERT_EQ(values.size(), detailBefore + 3);
    const QStringList names = {u"A"_s, u"B"_s, u"C"_s};
    const double xs[] = {0, 180, 359};
    for (int k = 0; k < 3; ++k) {
        const ReportElement &label = labels.at(headerBefore + k);
        const ReportElement &value = values.at(detailBefore + k);
        EXPECT_EQ(textOf(label), names[k]);
        EXPECT_TRUE(label.kind.as<ElementKind::StaticText>());
        EXPECT_EQ(textOf(value), u"$F{"_s + names[k] + u'}');
        for (const ReportElement *element : {&label, &value}) {
            EXPECT_NEAR(element->x, xs[k], 1) << k;
            EXPECT_NEAR(element->width, 176, 1) << k;
            EXPECT_EQ(element->height, 20);
            EXPECT_FALSE(element->styleName) << "no style";
        }
        EXPECT_TRUE(value.isBlankWhenNull) << "the preference is on by default";
    }

    store.undo();
    EXPECT_EQ(columnHeader().elements.size(), headerBefore);
    EXPECT_EQ(store.document().detailBands[0].elements.size(), detailBefore);
}

// The ticked fields in document order, whatever the order of ticking; the blank-when-null flag
// follows the preference.
TEST_F(GenerateColumns, UntickedFieldsAreLeftOutAndOrderFollowsTheDocument)
{
    declareFields();
    settings->setDefaultBlankWhenNull(false);
    GenerateColumnsView *sheet = open();
    ASSERT_TRUE(sheet);
    sheet->selectNoneButton()->click();
    for (QCheckBox *box : sheet->fieldBoxes())
        EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(sheet->generateButton()->isEnabled());
    sheet->selectAllButton()->click();
    EXPECT_TRUE(sheet->generateButton()->isEnabled());
    sheet->selectNoneButton()->click();
    sheet->fieldBoxes()[2]->click(); // C first
    sheet->fieldBoxes()[0]->click(); // then A
    EXPECT_TRUE(sheet->generateButton()->isEnabled());
    sheet->generateButton()->click();

    const ElementList &values = store.document().detailBands[0].elements;
    ASSERT_GE(values.size(), 2);
    EXPECT_EQ(textOf(values.at(values.size() - 2)), u"$F{A}"_s);
    EXPECT_EQ(textOf(values.last()), u"$F{C}"_s);
    EXPECT_FALSE(values.last().isBlankWhenNull);
    EXPECT_NEAR(values.last().x, 269.5, 1) << "two columns";
}

// Ticks survive while the sheet exists; a ticked field removed meanwhile is passed over, and a
// selection of removed fields only leaves the report as it was.
TEST_F(GenerateColumns, TicksOfRemovedFieldsAreIgnored)
{
    declareFields();
    GenerateColumnsView *sheet = open();
    ASSERT_TRUE(sheet);
    sheet->fieldBoxes()[0]->click(); // untick A
    sheet->cancelButton()->click();
    EXPECT_FALSE(isOpen());
    EXPECT_FALSE(GenerateColumnsSheetVisibility::of(view.get())->isVisible());

    store.removeField(store.document().fields[1].id); // B
    sheet = open();
    ASSERT_EQ(sheet->fieldBoxes().size(), 2);
    EXPECT_FALSE(sheet->fieldBoxes()[0]->isChecked()) << "A stays unticked";
    EXPECT_TRUE(sheet->fieldBoxes()[1]->isChecked());
    const qsizetype countBefore = store.document().detailBands[0].elements.size();
    sheet->generateButton()->click();
    const ElementList &values = store.document().detailBands[0].elements;
    ASSERT_EQ(values.size(), countBefore + 1);
    EXPECT_EQ(textOf(values.last()), u"$F{C}"_s);
    EXPECT_NEAR(values.last().x, 0, 1) << "one column";

    // Only C is ticked; with C gone, Generate changes nothing and still closes.
    store.removeField(store.document().fields[1].id);
    sheet = open();
    const ReportDocument before = store.document();
    ASSERT_TRUE(sheet->generateButton()->isEnabled());
    sheet->generateButton()->click();
    EXPECT_EQ(store.document(), before);
    EXPECT_FALSE(isOpen());
}

TEST_F(GenerateColumns, TheBandPickerShowsOnlyWithSeveralDetailBands)
{
    declareFields({u"A"_s});
    store.addDetailBand();
    store.addDetailBand();
    GenerateColumnsView *sheet = open();
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(sheet->bandRow()->isVisibleTo(sheet));
    QComboBox *picker = sheet->bandPicker();
    ASSERT_EQ(picker->count(), 3);
    EXPECT_EQ(picker->itemText(0), u"Detail 1"_s);
    EXPECT_EQ(picker->itemText(2), u"Detail 3"_s);
    EXPECT_EQ(picker->currentIndex(), 0);

    picker->setFocus();
    QTest::keyClick(picker, Qt::Key_Down);
    EXPECT_EQ(picker->currentIndex(), 1);
    const qsizetype before = store.document().detailBands[1].elements.size();
    sheet->generateButton()->click();
    EXPECT_EQ(store.document().detailBands[1].elements.size(), before + 1);
    EXPECT_TRUE(store.document().detailBands[0].elements.isEmpty() ||
                textOf(store.document().detailBands[0].elements.last()) != u"$F{A}"_s);

    // Back to one detail band: the picker goes.
    store.removeDetailBand(store.document().detailBands[2].id);
    store.removeDetailBand(store.document().detailBands[1].id);
    sheet = open();
    EXPECT_FALSE(sheet->bandRow()->isVisibleTo(sheet));
}

// Scrolling the sheet's list of fields over the band picker picks no other band.
TEST_F(GenerateColumns, TheWheelOverTheBandPickerPicksNothing)
{
    declareFields();
    store.addDetailBand();
    GenerateColumnsView *sheet = open();
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(sheet->bandRow()->isVisibleTo(sheet));
    int tried = 0;
    EXPECT_EQ(testsupport::controlsTakingTheWheel(sheet, {}, &tried), QStringList());
    EXPECT_EQ(tried, 1);
    EXPECT_EQ(sheet->bandPicker()->currentIndex(), 0);
}

TEST_F(GenerateColumns, AReportWithoutFieldsShowsTheEmptyLine)
{
    GenerateColumnsView *sheet = open();
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(sheet->emptyText()->isVisibleTo(sheet));
    EXPECT_EQ(sheet->emptyText()->text(),
              u"No fields declared yet - add some in the Fields card of Report Data first."_s);
    EXPECT_FALSE(sheet->selectAllButton()->isVisibleTo(sheet));
    EXPECT_FALSE(sheet->bandRow()->isVisibleTo(sheet));
    EXPECT_FALSE(sheet->generateButton()->isEnabled());
}

TEST_F(GenerateColumns, TheFieldsCardButtonOpensTheSheet)
{
    declareFields();
    click(u"datapanel.fields.generateColumns"_s);
    QApplication::processEvents();
    EXPECT_TRUE(isOpen());
    auto *sheet = view->findChild<GenerateColumnsSheet *>();
    ASSERT_TRUE(sheet && sheet->view());
    EXPECT_EQ(sheet->view()->fieldBoxes().size(), 3);
}

// The book sample is a report of parts, which holds no band: the sheet says so where the columns
// would go, and Generate stays disabled with its field ticked.
TEST_F(GenerateColumns, AReportOfPartsSaysItTakesNoColumns)
{
    QUILLMARK_REQUIRE_CORPUS();
    store.setDocument(JrxmlCodec::parse(testsupport::readFile(
        testsupport::corpusDir() + u"/jrxml-samples/book/BookReport.jrxml"_s)));
    const ReportDocument loaded = store.document();
    GenerateColumnsView *sheet = open();
    ASSERT_TRUE(sheet);
    ASSERT_EQ(sheet->fieldBoxes().size(), 1);
    EXPECT_TRUE(sheet->fieldBoxes().first()->isChecked());
    EXPECT_TRUE(sheet->partsText()->isVisibleTo(sheet));
    EXPECT_TRUE(sheet->partsText()->text().startsWith(
        u"Nothing can be added to Detail: this report is made of parts"_s))
        << sheet->partsText()->text().toStdString();
    EXPECT_FALSE(sheet->generateButton()->isEnabled());
    // Ticking again leaves it disabled; Return generates nothing either.
    sheet->fieldBoxes().first()->click();
    sheet->fieldBoxes().first()->click();
    EXPECT_FALSE(sheet->generateButton()->isEnabled());
    sheet->generate();
    EXPECT_EQ(store.document(), loaded);
    EXPECT_TRUE(store.undoStack().isEmpty());

    // A report of bands shows no such line.
    store.setDocument(DocumentStore::defaultDocument());
    EXPECT_FALSE(sheet->partsText()->isVisibleTo(sheet));
}

// A page with no room for the column labels: Generate adds nothing, and the sheet stays open
// saying why in the Band Height field's words, until the report changes.
TEST_F(GenerateColumns, ALayoutThePageCannotHoldAddsNothingAndTheSheetSaysWhy)
{
    declareFields();
    editDocument(store, [](ReportDocument &d) {
        for (ReportBand &band : d.bands) {
            if (band.type == BandType::columnHeader) {
                band.isPresent = false;
                band.height = 0;
                band.elements.clear();
            }
        }
        d.pageHeight = PageLayout::neededPageHeight(d) + 5;
    });
    const ReportDocument before = store.document();
    GenerateColumnsView *sheet = open();
    ASSERT_TRUE(sheet);
    EXPECT_FALSE(sheet->refusal()->isVisibleTo(sheet));
    sheet->generateButton()->click();
    QApplication::processEvents();
    EXPECT_EQ(store.document(), before);
    EXPECT_TRUE(store.undoStack().isEmpty());
    EXPECT_TRUE(isOpen());
    EXPECT_TRUE(sheet->refusal()->isVisibleTo(sheet));
    EXPECT_TRUE(sheet->refusal()->text().startsWith(u"The page holds this band at most "_s))
        << sheet->refusal()->text().toStdString();

    // With room for the labels and the values, the same press lays them out and closes.
    editDocument(store, [](ReportDocument &d) { d.pageHeight += 100; });
    EXPECT_FALSE(sheet->refusal()->isVisibleTo(sheet));
    sheet->generateButton()->click();
    QApplication::processEvents();
    EXPECT_FALSE(isOpen());
    EXPECT_EQ(columnHeader().elements.size(), 3);
    EXPECT_LE(PageLayout::neededPageHeight(store.document()), store.document().pageHeight);
}
