// What the data panel says before and while the user changes what expressions name, on corpus
// reports, with the engine compiling each save: a removal asks about every use the engine would
// refuse, a rename says which expressions still name the old name, and the Fields card's insert
// into a list of another dataset declares the field there.

#include "CorpusCardsFixture.h"
#include "canvas/PaletteActions.h"

#include <QLabel>

using namespace storetest;

namespace {

using UsesBeforeChanges = CorpusCardsTest;

const QString fieldsCard = u"datapanel.fields"_s;
const QString parametersCard = u"datapanel.params"_s;
const QString groupsCard = u"datapanel.groups"_s;

} // namespace

// A field only a book's parts name, a parameter a map names beside the markers it runs over a
// sub-dataset, a group whose count of records a chart shows: each removal asks, in words that
// name what the engine refuses once the user removes it anyway.
TEST_F(UsesBeforeChanges, ARemovalAsksAboutEveryUseTheEngineWouldRefuse)
{
    QUILLMARK_REQUIRE_CORPUS_AND_ENGINE();
    struct Case {
        QString sample;
        QString card;
        QString name;
        QString question;
        QString refused;
    };
    const Case cases[] = {
        {u"book/BookReport.jrxml"_s, fieldsCard, u"ShipCountry"_s,
         u"$F{ShipCountry} is used in 2 expressions."_s, u"Field not found : ShipCountry"_s},
        {u"map/MapReport3.jrxml"_s, parametersCard, u"zoom"_s,
         u"$P{zoom} is used in 1 expression."_s, u"Parameter not found : zoom"_s},
        {u"charts/MultipleAxisChartReport.jrxml"_s, groupsCard, u"CityGroup"_s,
         u"CityGroup is used by 1 variable and 1 element. Its count of records, "
         u"$V{CityGroup_COUNT}, is used in 2 expressions."_s,
         u"Variable not found : CityGroup_COUNT"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.sample.toStdString());
        openSample(c.sample);
        const ReportDocument &d = store.document();
        const int index = c.card == fieldsCard       ? indexOf(d.fields, c.name)
                          : c.card == parametersCard ? indexOf(d.parameters, c.name)
                                                     : indexOf(d.groups, c.name);
        const QString remove = row(c.card, index, u"remove"_s);
        expectAskedAndKept(remove, c.question);
        if (HasFatalFailure())
            return;
        EXPECT_TRUE(dialogs.alerts().last().informativeText.contains(u"not compile"_s))
            << dialogs.alerts().last().informativeText.toStdString();

        dialogs.answerAlert(0);
        click(remove);
        EXPECT_TRUE(compileError().value_or(QString()).contains(c.refused))
            << "what the question named is what the engine refuses";
        dialogs.answerAlert(1);
    }
}

// TextReport: the group CityGroup typed into CityGroupX, the field City into CityX. Expressions
// stay as written, and the row says how many still name the old name until it is typed back.
TEST_F(UsesBeforeChanges, ARenameSaysWhatStillNamesTheOldName)
{
    QUILLMARK_REQUIRE_CORPUS_AND_ENGINE();
    openSample(u"text/TextReport.jrxml"_s);
    struct Case {
        QString card;
        int index;
        QString warning;
        QString refused;
    };
    const Case cases[] = {
        {groupsCard, indexOf(store.document().groups, u"CityGroup"_s),
         u"$V{CityGroup_COUNT} is still used in 1 expression: the engine refuses the report until "
         u"it names $V{CityGroupX_COUNT}."_s,
         u"Variable not found : CityGroup_COUNT"_s},
        {fieldsCard, indexOf(store.document().fields, u"City"_s),
         u"$F{City} is still used in 2 expressions: the engine refuses the report until they "
         u"name $F{CityX}."_s,
         u"Field not found : City"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.card.toStdString());
        const QString name = row(c.card, c.index, u"name"_s);
        auto *warning = find<QLabel>(row(c.card, c.index, u"nameWarning"_s));
        ASSERT_TRUE(warning);
        EXPECT_FALSE(warning->isVisibleTo(view.get()));
        typeKeepingFocus(name, u"X"_s);
        EXPECT_TRUE(warning->isVisibleTo(view.get()));
        EXPECT_EQ(warning->text(), c.warning);
        EXPECT_TRUE(compileError().value_or(QString()).contains(c.refused));

        QTest::keyClick(find<QLineEdit>(name), Qt::Key_Backspace);
        EXPECT_FALSE(warning->isVisibleTo(view.get())) << "the old name is back";
        EXPECT_EQ(compileError(), std::nullopt);
    }
}

// TextReport: a List from the palette in Detail runs a new, empty Dataset1 and stays selected.
// The Fields card's insert of Id puts the text field into it, declaring Id in Dataset1 in the
// same step, as its help says.
TEST_F(UsesBeforeChanges, TheFieldsCardsInsertIntoAListDeclaresTheFieldInItsDataset)
{
    QUILLMARK_REQUIRE_CORPUS_AND_ENGINE();
    openSample(u"text/TextReport.jrxml"_s);
    store.setActiveBandTarget(BandTarget::detailBand(store.document().detailBands.first().id));
    PaletteActions::insert(PaletteActions::Kind::list, store, *settings);
    const QUuid list = *store.selectedContainerID();
    store.flushPendingUndoSnapshot();
    const ReportDocument before = store.document();
    const qsizetype steps = store.undoStack().size();
    const int id = indexOf(before.fields, u"Id"_s);
    auto *insert = find<QToolButton>(row(fieldsCard, id, u"insert"_s));
    ASSERT_TRUE(insert);
    EXPECT_EQ(insert->toolTip(),
              u"Insert as a text field bound to $F{Id} in the selected list, declaring Id in "
              u"Dataset1"_s);

    click(row(fieldsCard, id, u"insert"_s));
    const std::optional<ReportElement> inserted = store.element(list);
    ASSERT_TRUE(inserted);
    const ElementList *children = inserted->kind.children();
    ASSERT_TRUE(children && children->size() == 1);
    EXPECT_EQ(children->first().kind.as<ElementKind::TextField>()->expression, u"$F{Id}"_s);
    const ReportSubDataset &dataset = store.document().subDatasets.last();
    ASSERT_EQ(dataset.fields.size(), 1);
    EXPECT_EQ(dataset.fields.first().name, u"Id"_s);
    EXPECT_EQ(dataset.fields.first().className, u"java.lang.Integer"_s);
    EXPECT_EQ(compileError(), std::nullopt);
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(store.undoStack().size(), steps + 1);

    // Selected again, the list runs a dataset that declares Id now.
    store.setSelectedElementID(list);
    EXPECT_EQ(insert->toolTip(),
              u"Insert as a text field bound to $F{Id} in the selected list, which runs "
              u"Dataset1"_s);
    store.undo();
    EXPECT_EQ(store.document(), before);
}
