// What the data panel says before and while the user changes what expressions name, on corpus
// reports, with the engine compiling each save: a removal asks about every use the engine would
// refuse, in the report's own lists and in a sub-dataset's, a rename says which expressions still
// name the old name, two sort fields of one name are warned of, and the Fields card's insert into
// a list of another dataset declares the field there.

#include "CorpusCardsFixture.h"
#include "canvas/PaletteActions.h"

#include <QLabel>

using namespace storetest;

namespace {

using UsesBeforeChanges = CorpusCardsTest;

const QString fieldsCard = u"datapanel.fields"_s;
const QString parametersCard = u"datapanel.params"_s;
const QString groupsCard = u"datapanel.groups"_s;
const QString stylesCard = u"datapanel.styles"_s;
const QString sortFieldsCard = u"datapanel.sortFields"_s;
const QString subDatasetsCard = u"datapanel.subDatasets"_s;

// A table that runs a sub-dataset and takes back the value of one of its variables.
const QByteArray returnedVariable = R"(
  <subDataset name="Lines">
    <field name="Item" class="java.lang.String"/>
    <variable name="ReturnedVariable" class="java.lang.Integer" calculation="Count">
      <variableExpression><![CDATA[$F{Item}]]></variableExpression>
    </variable>
  </subDataset>
  <variable name="Lines" class="java.lang.Integer" calculation="System"/>
  <detail><band height="40">
    <componentElement><reportElement x="0" y="0" width="200" height="40"/>
      <jr:table xmlns:jr="http://jasperreports.sourceforge.net/jasperreports/components">
        <datasetRun subDataset="Lines">
          <returnValue fromVariable="ReturnedVariable" toVariable="Lines"/>
        </datasetRun>
        <jr:column width="100">
          <jr:detailCell height="20">
            <textField><reportElement x="0" y="0" width="100" height="20"/>
              <textFieldExpression><![CDATA[$F{Item}]]></textFieldExpression></textField>
          </jr:detailCell>
        </jr:column>
      </jr:table>
    </componentElement>
  </band></detail>)";

} // namespace

// A field only a book's parts name, a parameter a map names beside the markers it runs over a
// sub-dataset, a group whose count of records a chart shows; in a sub-dataset, a field a list
// names that the Fields card's insert declared there, a field a map's markers and the
// sub-dataset's filter name, a parameter its query names and a list passes, a variable a table
// takes back: each removal asks, in words that name what the engine refuses once the user
// removes it anyway. A style's question counts every element that names it, those in a
// crosstab's cells too, and of the default style those that name none; the style's usage line
// shows the same count.
TEST_F(UsesBeforeChanges, ARemovalAsksAboutEveryUseTheEngineWouldRefuse)
{
    QUILLMARK_REQUIRE_CORPUS_AND_ENGINE();
    // The remove button of the item of that name in a sub-dataset's list ("fields").
    const auto inDataset = [this](const QString &dataset, const QString &list,
                                  const QString &name) {
        const ReportDocument &d = store.document();
        const int at = indexOf(d.subDatasets, dataset);
        if (at < 0)
            return QString();
        const ReportSubDataset &sub = d.subDatasets.at(at);
        const int item = list == u"fields"_s   ? indexOf(sub.fields, name)
                         : list == u"params"_s ? indexOf(sub.parameters, name)
                                               : indexOf(sub.variables, name);
        return row(subDatasetsCard, at, list + u".row"_s + QString::number(item) + u".remove"_s);
    };
    const auto inReport = [this](const QString &card, const QString &name) {
        const ReportDocument &d = store.document();
        const int index = card == fieldsCard       ? indexOf(d.fields, name)
                          : card == parametersCard ? indexOf(d.parameters, name)
                          : card == stylesCard     ? indexOf(d.styles, name)
                                                   : indexOf(d.groups, name);
        return row(card, index, u"remove"_s);
    };
    // TextReport with a List from the palette in Detail, into which the Fields card's insert
    // puts $F{Id}, declaring Id in the list's new Dataset1.
    const auto listOfId = [this] {
        store.setActiveBandTarget(BandTarget::detailBand(store.document().detailBands.first().id));
        PaletteActions::insert(PaletteActions::Kind::list, store, *settings);
        click(row(fieldsCard, indexOf(store.document().fields, u"Id"_s), u"insert"_s));
    };
    struct Case {
        QString sample; // below jrxml-samples; empty: the report `body`
        QByteArray body;
        std::function<void()> prepare;
        std::function<QString()> removeButton;
        QString question;
        // What the engine says once the user removes it anyway: compiling, or printing when
        // `printed`; empty: the report compiles.
        QString refused;
        bool printed = false;
        // Of a style, the usage line of its row: the question's count.
        QString usage = {};
    };
    const Case cases[] = {
        {u"book/BookReport.jrxml"_s,
         {},
         {},
         [&] { return inReport(fieldsCard, u"ShipCountry"_s); },
         u"$F{ShipCountry} is used in 2 expressions."_s,
         u"Field not found : ShipCountry"_s},
        {u"map/MapReport3.jrxml"_s,
         {},
         {},
         [&] { return inReport(parametersCard, u"zoom"_s); },
         u"$P{zoom} is used in 1 expression."_s,
         u"Parameter not found : zoom"_s},
        {u"charts/MultipleAxisChartReport.jrxml"_s,
         {},
         {},
         [&] { return inReport(groupsCard, u"CityGroup"_s); },
         u"CityGroup is used by 1 variable and 1 element. Its count of records, "
         u"$V{CityGroup_COUNT}, is used in 2 expressions."_s,
         u"Variable not found : CityGroup_COUNT"_s},
        {u"text/TextReport.jrxml"_s,
         {},
         listOfId,
         [&] { return inDataset(u"Dataset1"_s, u"fields"_s, u"Id"_s); },
         u"$F{Id} is used in 1 expression."_s,
         u"Field not found : Id"_s},
        {u"map/MapReport3.jrxml"_s,
         {},
         {},
         [&] { return inDataset(u"MarkersDataset"_s, u"fields"_s, u"latitude"_s); },
         u"$F{latitude} is used in 2 expressions."_s,
         u"Field not found : latitude"_s},
        {u"list/ListReport.jrxml"_s,
         {},
         {},
         [&] { return inDataset(u"Addresses"_s, u"params"_s, u"City"_s); },
         u"$P{City} is used in 1 expression and 1 passed value."_s,
         u"Query parameter not found : City"_s},
        {{},
         returnedVariable,
         {},
         [&] { return inDataset(u"Lines"_s, u"variables"_s, u"ReturnedVariable"_s); },
         u"$V{ReturnedVariable} is used in 1 return value."_s,
         u"Source variable ReturnedVariable not found"_s,
         true},
        {u"crosstabs/OrdersReport.jrxml"_s,
         {},
         {},
         [&] { return inReport(stylesCard, u"Sans_Bold"_s); },
         u"Sans_Bold is used by 11 elements."_s,
         {},
         false,
         u"11 elements use this style"_s},
        {u"crosstabs/OrdersReport.jrxml"_s,
         {},
         {},
         [&] { return inReport(stylesCard, u"CellStyle"_s); },
         u"CellStyle is used by 1 element."_s,
         {},
         false,
         u"1 element uses this style"_s},
        // The default style: the crosstab, which names no style, takes it.
        {u"crosstabs/OrdersReport.jrxml"_s,
         {},
         {},
         [&] { return inReport(stylesCard, u"Sans_Normal"_s); },
         u"Sans_Normal is used by 1 element and 1 style."_s,
         {},
         false,
         u"1 element uses this style"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE((c.sample.isEmpty() ? c.question : c.sample).toStdString());
        if (c.sample.isEmpty())
            openReport(c.body);
        else
            openSample(c.sample);
        if (c.prepare)
            c.prepare();
        ASSERT_EQ(compileError(), std::nullopt);
        const QString remove = c.removeButton();
        if (!c.usage.isEmpty()) {
            const QString usage = remove.chopped(int(u"remove"_s.size())) + u"usage"_s;
            ASSERT_TRUE(find<QLabel>(usage));
            EXPECT_EQ(find<QLabel>(usage)->text().toStdString(), c.usage.toStdString());
        }
        expectAskedAndKept(remove, c.question);
        if (HasFatalFailure())
            return;
        if (!c.refused.isEmpty()) {
            EXPECT_TRUE(dialogs.alerts().last().informativeText.contains(u"not compile"_s))
                << dialogs.alerts().last().informativeText.toStdString();
        }

        dialogs.answerAlert(0);
        click(remove);
        const std::optional<QString> refused =
            c.printed ? engine->printError(store.document()) : compileError();
        if (c.refused.isEmpty())
            EXPECT_EQ(refused, std::nullopt);
        else
            EXPECT_TRUE(refused.value_or(QString()).contains(c.refused))
                << "what the question named is what the engine refuses: "
                << refused.value_or(QString()).toStdString();
        dialogs.answerAlert(1);
    }
}

// TextReport: the group CityGroup typed into CityGroupX, the field City into CityX; MapReport3:
// the sub-dataset's field latitude into latitudeX. Expressions stay as written, and the row says
// how many still name the old name until it is typed back. ExcelDataSourceReport: the second sort
// field typed into the first one's name, which the engine refuses as it does two fields of one
// name.
TEST_F(UsesBeforeChanges, ARenameSaysWhatStillNamesTheOldName)
{
    QUILLMARK_REQUIRE_CORPUS_AND_ENGINE();
    struct Case {
        QString sample;
        std::function<QString()> name; // the name field, once the report is open
        QString keys;                  // typed at its end
        bool replaces;                 // the name cleared first; typed back as it was at the end
        QString warning;               // the text under the name
        QString refused;
    };
    const auto named = [this](const QString &card, const QString &name) {
        return [this, card, name] {
            const ReportDocument &d = store.document();
            return row(card, card == fieldsCard ? indexOf(d.fields, name) : indexOf(d.groups, name),
                       u"name"_s);
        };
    };
    const auto fixed = [](const QString &name) { return [name] { return name; }; };
    const Case cases[] = {
        {u"text/TextReport.jrxml"_s, named(groupsCard, u"CityGroup"_s), u"X"_s, false,
         u"$V{CityGroup_COUNT} is still used in 1 expression: the engine refuses the report until "
         u"it names $V{CityGroupX_COUNT}."_s,
         u"Variable not found : CityGroup_COUNT"_s},
        {u"text/TextReport.jrxml"_s, named(fieldsCard, u"City"_s), u"X"_s, false,
         u"$F{City} is still used in 2 expressions: the engine refuses the report until they "
         u"name $F{CityX}."_s,
         u"Field not found : City"_s},
        {u"map/MapReport3.jrxml"_s, fixed(subDatasetsCard + u".row0.fields.row1.name"_s), u"X"_s,
         false,
         u"$F{latitude} is still used in 2 expressions: the engine refuses the report until they "
         u"name $F{latitudeX}."_s,
         u"Field not found : latitude"_s},
        {u"exceldatasource/ExcelDataSourceReport.jrxml"_s, fixed(row(sortFieldsCard, 1, u"name"_s)),
         u"city"_s, true,
         u"Another sort field has this name: the engine refuses two sort fields of one name."_s,
         u"Duplicate declaration of sort field"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.sample.toStdString());
        openSample(c.sample);
        const QString name = c.name();
        const QString warningName = name.chopped(int(u"name"_s.size())) + u"nameWarning"_s;
        auto *warning = find<QLabel>(warningName);
        ASSERT_TRUE(warning);
        EXPECT_FALSE(warning->isVisibleTo(view.get()));
        auto *edit = find<QLineEdit>(name);
        ASSERT_TRUE(edit);
        const QString was = edit->text();
        if (c.replaces)
            clear(name);
        typeKeepingFocus(name, c.keys);
        EXPECT_TRUE(warning->isVisibleTo(view.get()));
        EXPECT_EQ(warning->text(), c.warning);
        EXPECT_TRUE(compileError().value_or(QString()).contains(c.refused));

        if (c.replaces) {
            clear(name);
            typeKeepingFocus(name, was);
        } else {
            for (qsizetype i = 0; i < c.keys.size(); ++i)
                QTest::keyClick(find<QLineEdit>(name), Qt::Key_Backspace);
        }
        EXPECT_EQ(edit->text(), was);
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
