#include "EngineJudge.h"
#include "InspectorViewFixture.h"
#include "TestSupport.h"
#include "inspector/ListCards.h"
#include "inspector/TableCards.h"
#include "inspector/TableCells.h"
#include "widgets/ScriptedDialogs.h"

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QWheelEvent>

using namespace storetest;

namespace {

using Text = std::optional<QString>;

const QString sameConnection = u"$P{REPORT_CONNECTION}"_s;
const QString emptyDataSource = u"new net.sf.jasperreports.engine.JREmptyDataSource()"_s;

class SubreportListTableCardsTest : public InspectorViewTest {
protected:
    static void clear(QLineEdit *edit)
    {
        ASSERT_TRUE(edit);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
    }
    void click(const QString &name)
    {
        auto *button = find<QAbstractButton>(name);
        ASSERT_TRUE(button) << name.toStdString();
        button->click();
        QApplication::processEvents();
    }
    QString comboText(const QString &name) const
    {
        const auto *picker = find<QComboBox>(name);
        return picker ? picker->currentText() : u"(missing)"_s;
    }
    bool visible(const QString &name) const
    {
        const QWidget *widget = find(name);
        return widget && widget->isVisibleTo(view->inspector());
    }

    template <typename P> P payload(const QUuid &id) const
    {
        const std::optional<ReportElement> e = store.element(id);
        EXPECT_TRUE(e && e->kind.is<P>());
        return e && e->kind.is<P>() ? *e->kind.as<P>() : P{};
    }

    // Saves the report, reads the file back into a store of its own and gives its element of
    // the kind that element `id` has (each test's report has one of that kind).
    ReportElement roundTrip(const QUuid &id)
    {
        const QString path = dir.filePath(u"r.jrxml"_s);
        store.save(QUrl::fromLocalFile(path));
        DocumentStore reread;
        reread.load(QUrl::fromLocalFile(path));
        const std::size_t kind = store.element(id)->kind.payload.index();
        std::optional<ReportElement> found;
        reread.forEveryElementInDocument([&](const ReportElement &e) {
            if (!found && e.kind.payload.index() == kind)
                found = e;
        });
        // A missing element fails the test; the empty value it gives has the kind asked for,
        // so the caller's reads stay safe.
        EXPECT_TRUE(found.has_value());
        if (!found) {
            found = ReportElement{};
            found->kind = store.element(id)->kind;
        }
        return *found;
    }
    QString savedText()
    {
        const QString path = dir.filePath(u"r.jrxml"_s);
        store.save(QUrl::fromLocalFile(path));
        return QString::fromUtf8(testsupport::readFile(path));
    }

    // The first element of the kind anywhere in the report.
    template <typename P> std::optional<ReportElement> first() const
    {
        std::optional<ReportElement> found;
        store.forEveryElementInDocument([&](const ReportElement &e) {
            if (!found && e.kind.is<P>())
                found = e;
        });
        return found;
    }

    QTemporaryDir dir;
};

QStringList names(const QList<SubreportParameter> &parameters)
{
    QStringList out;
    for (const SubreportParameter &p : parameters)
        out << p.name + u'=' + p.expression;
    return out;
}

ReportElement subreport(std::optional<QString> connection = std::nullopt,
                        std::optional<QString> dataSource = std::nullopt)
{
    return element(ElementKind::Subreport{.expression = u"\"sub.jasper\""_s,
                                          .connectionExpression = std::move(connection),
                                          .dataSourceExpression = std::move(dataSource),
                                          .parameters = {}},
                   0, 0, 200, 40);
}

TEST_F(SubreportListTableCardsTest, TheSubreportExpressionIsStoredAsTypedAndSaved)
{
    const ReportElement sub = selectNew(subreport());
    ASSERT_TRUE(find(u"inspector.subreportFile.builder"_s));
    auto *file = find<QLineEdit>(u"inspector.subreportFile.expression"_s);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->text(), u"\"sub.jasper\""_s);
    EXPECT_EQ(file->placeholderText(), u"path or expression, e.g. \"subreport.jasper\""_s);
    type(file, u"$P{SUB}"_s);
    EXPECT_EQ(payload<ElementKind::Subreport>(sub.id).expression, u"$P{SUB}"_s);
    EXPECT_TRUE(store.isDirty());
    const ReportElement back = roundTrip(sub.id);
    EXPECT_EQ(back.kind.as<ElementKind::Subreport>()->expression, u"$P{SUB}"_s);

    // The empty text stays a subreport with an empty expression.
    clear(file);
    EXPECT_EQ(payload<ElementKind::Subreport>(sub.id).expression, QString());
    // Its Evaluation card is the one of images.
    EXPECT_TRUE(find(u"inspector.evaluation.evaluationTime"_s));
}

TEST_F(SubreportListTableCardsTest, TheDataSourceKindRewritesBothExpressions)
{
    const ReportElement sub = selectNew(subreport());
    const auto expressions = [&] {
        const auto s = payload<ElementKind::Subreport>(sub.id);
        return std::pair{s.connectionExpression, s.dataSourceExpression};
    };
    const QString kind = u"inspector.dataSource.kind"_s;
    const QString connection = u"inspector.dataSource.connection"_s;
    const QString dataSource = u"inspector.dataSource.dataSource"_s;
    EXPECT_EQ(comboText(kind), u"Same Connection"_s);
    EXPECT_FALSE(visible(connection));
    EXPECT_FALSE(visible(dataSource));

    pick(find<QComboBox>(kind), u"Empty Datasource"_s);
    EXPECT_EQ(expressions(), std::pair(Text(), Text(emptyDataSource)));
    EXPECT_FALSE(visible(dataSource));
    EXPECT_EQ(roundTrip(sub.id).kind.as<ElementKind::Subreport>()->dataSourceExpression,
              emptyDataSource);

    // Custom over the empty data source keeps its text, and the picker goes back to what the
    // expressions show.
    store.setIsDirty(false);
    pick(find<QComboBox>(kind), u"Custom Datasource Expression"_s);
    EXPECT_EQ(comboText(kind), u"Empty Datasource"_s);
    EXPECT_FALSE(store.isDirty());

    // A custom connection starts from the empty text: the field shows, the kind stays "Same".
    pick(find<QComboBox>(kind), u"Custom Connection Expression"_s);
    EXPECT_EQ(expressions(), std::pair(Text(u""_s), Text()));
    EXPECT_EQ(comboText(kind), u"Same Connection"_s);
    EXPECT_TRUE(visible(connection));
    EXPECT_FALSE(visible(dataSource));
    type(find<QLineEdit>(connection), u"$P{DB}"_s);
    EXPECT_EQ(expressions(), std::pair(Text(u"$P{DB}"_s), Text()));
    EXPECT_EQ(comboText(kind), u"Custom Connection Expression"_s);
    EXPECT_EQ(roundTrip(sub.id).kind.as<ElementKind::Subreport>()->connectionExpression,
              u"$P{DB}"_s);

    // Cleared, it stores the empty text, not no value; the field stays.
    clear(find<QLineEdit>(connection));
    EXPECT_EQ(expressions(), std::pair(Text(u""_s), Text()));
    EXPECT_TRUE(visible(connection));
    EXPECT_EQ(comboText(kind), u"Same Connection"_s);

    // A custom data source over none stores the empty text and removes the connection.
    pick(find<QComboBox>(kind), u"Custom Datasource Expression"_s);
    EXPECT_EQ(expressions(), std::pair(Text(), Text(u""_s)));
    EXPECT_EQ(comboText(kind), u"Same Connection"_s);
    EXPECT_TRUE(visible(dataSource));
    EXPECT_FALSE(visible(connection));
    type(find<QLineEdit>(dataSource), u"$P{DS}"_s);
    EXPECT_EQ(comboText(kind), u"Custom Datasource Expression"_s);
    EXPECT_EQ(roundTrip(sub.id).kind.as<ElementKind::Subreport>()->dataSourceExpression,
              u"$P{DS}"_s);

    pick(find<QComboBox>(kind), u"Same Connection"_s);
    EXPECT_EQ(expressions(), std::pair(Text(sameConnection), Text()));
    EXPECT_FALSE(visible(connection));
    EXPECT_FALSE(visible(dataSource));
}

TEST_F(SubreportListTableCardsTest, RepickingTheShownKindKeepsACustomText)
{
    // "$P{MY_REPORT_CONNECTION}" shows as Same Connection with its field; re-picking Same
    // Connection would otherwise replace the user's expression by the default.
    const ReportElement sub = selectNew(subreport(u"$P{MY_REPORT_CONNECTION}"_s));
    EXPECT_EQ(comboText(u"inspector.dataSource.kind"_s), u"Same Connection"_s);
    EXPECT_TRUE(visible(u"inspector.dataSource.connection"_s));
    pick(find<QComboBox>(u"inspector.dataSource.kind"_s), u"Same Connection"_s);
    EXPECT_EQ(payload<ElementKind::Subreport>(sub.id).connectionExpression,
              u"$P{MY_REPORT_CONNECTION}"_s);
    EXPECT_FALSE(store.isDirty());
}

TEST_F(SubreportListTableCardsTest, BothExpressionsFromAFileShowTheDataSourceUntilTheFirstWrite)
{
    const ReportElement sub = selectNew(subreport(u"$P{DB}"_s, u"$P{DS}"_s));
    EXPECT_EQ(comboText(u"inspector.dataSource.kind"_s), u"Custom Datasource Expression"_s);
    EXPECT_TRUE(visible(u"inspector.dataSource.connection"_s));
    EXPECT_TRUE(visible(u"inspector.dataSource.dataSource"_s));
    type(find<QLineEdit>(u"inspector.dataSource.connection"_s), u"$P{DB2}"_s);
    const auto s = payload<ElementKind::Subreport>(sub.id);
    EXPECT_EQ(s.connectionExpression, u"$P{DB2}"_s);
    EXPECT_EQ(s.dataSourceExpression, std::nullopt);
    EXPECT_FALSE(visible(u"inspector.dataSource.dataSource"_s));
}

TEST_F(SubreportListTableCardsTest, ParameterRowsAddEditRemoveAndPassAll)
{
    editDocument(store, [](ReportDocument &d) {
        for (const QString &name : {u"B"_s, u"C"_s, u"A"_s, u"D"_s})
            d.parameters.append({.name = name, .className = u"java.lang.String"_s});
    });
    const ReportElement sub = selectNew(subreport());
    const QString card = u"inspector.subreportParameters"_s;
    auto *passAll = find<QPushButton>(card + u".passAll"_s);
    ASSERT_TRUE(passAll);
    EXPECT_TRUE(passAll->isEnabled());
    EXPECT_EQ(passAll->toolTip(), u"Adds every master report parameter not already listed here, "
                                  u"passed through under the same name"_s);

    click(card + u".add"_s);
    click(card + u".add"_s);
    EXPECT_EQ(names(payload<ElementKind::Subreport>(sub.id).parameters),
              (QStringList{u"param1="_s, u"param2="_s}));
    type(find<QLineEdit>(card + u".row0.name"_s), u"A"_s);
    type(find<QLineEdit>(card + u".row0.expression"_s), u"$F{a}"_s);
    type(find<QLineEdit>(card + u".row1.name"_s), u"B"_s);
    EXPECT_EQ(names(payload<ElementKind::Subreport>(sub.id).parameters),
              (QStringList{u"A=$F{a}"_s, u"B="_s}));
    EXPECT_EQ(find<QLineEdit>(card + u".row0.name"_s)->placeholderText(), u"name"_s);
    EXPECT_EQ(find<QLineEdit>(card + u".row0.expression"_s)->placeholderText(), u"expression"_s);

    click(card + u".passAll"_s);
    EXPECT_EQ(names(payload<ElementKind::Subreport>(sub.id).parameters),
              (QStringList{u"A=$F{a}"_s, u"B="_s, u"C=$P{C}"_s, u"D=$P{D}"_s}));
    EXPECT_FALSE(find<QPushButton>(card + u".passAll"_s)->isEnabled());
    const ReportElement back = roundTrip(sub.id);
    EXPECT_EQ(names(back.kind.as<ElementKind::Subreport>()->parameters),
              (QStringList{u"A=$F{a}"_s, u"B="_s, u"C=$P{C}"_s, u"D=$P{D}"_s}));

    // Removing a row removes just it; the rows are drawn anew for the remaining ids.
    click(card + u".row1.remove"_s);
    EXPECT_EQ(names(payload<ElementKind::Subreport>(sub.id).parameters),
              (QStringList{u"A=$F{a}"_s, u"C=$P{C}"_s, u"D=$P{D}"_s}));
    EXPECT_EQ(find<QLineEdit>(card + u".row1.name"_s)->text(), u"C"_s);
    EXPECT_TRUE(find<QPushButton>(card + u".passAll"_s)->isEnabled());

    // A report without parameters has nothing to pass.
    editDocument(store, [](ReportDocument &d) { d.parameters.clear(); });
    EXPECT_FALSE(find<QPushButton>(card + u".passAll"_s)->isEnabled());
}

TEST_F(SubreportListTableCardsTest, WritesWithoutTheSubreportSelectedAreDropped)
{
    const ReportElement sub = selectNew(subreport());
    auto *file = find<QLineEdit>(u"inspector.subreportFile.expression"_s);
    auto *add = find<QPushButton>(u"inspector.subreportParameters.add"_s);
    ASSERT_TRUE(file && add);
    const ReportElement other = textField(0, 50);
    place({other});
    store.setSelectedElementIDs({sub.id, other.id});
    store.setIsDirty(false);
    // The multi-selection inspector is shown now; the old card's late writes go nowhere.
    QTest::keyClicks(file, u"x"_s);
    add->click();
    EXPECT_EQ(payload<ElementKind::Subreport>(sub.id).expression, u"\"sub.jasper\""_s);
    EXPECT_TRUE(payload<ElementKind::Subreport>(sub.id).parameters.isEmpty());
    EXPECT_FALSE(store.isDirty());
}

ReportElement listOf(int children)
{
    QList<ReportElement> row;
    for (int i = 0; i < children; ++i)
        row.append(textField(i * 40, 0, 40, 20));
    ReportElement e = list(row);
    auto *payload = e.kind.as<ElementKind::List>();
    payload->datasetName = u"Items"_s;
    payload->connectionExpression = sameConnection;
    return e;
}

TEST_F(SubreportListTableCardsTest, TheListCardsWriteTheirValueAndKeepTheRowTemplate)
{
    store.addSubDataset();
    store.addSubDataset();
    // Items takes the row added below, which stays when the list is switched back to it.
    store.editSubDataset(store.document().subDatasets[0].id, [](ReportSubDataset &d) {
        d.name = u"Items"_s;
        d.parameters = {ReportParameter{.name = u"param1"_s}};
    });
    store.editSubDataset(store.document().subDatasets[1].id,
                         [](ReportSubDataset &d) { d.name = u"Orders"_s; });
    const ReportElement l = selectNew(listOf(3));
    const ElementList children = payload<ElementKind::List>(l.id).children;
    EXPECT_TRUE(text(u"inspector.listNote"_s).startsWith(u"3 elements in the row template"_s));
    EXPECT_EQ(comboText(u"inspector.list.dataset"_s), u"Items"_s);
    EXPECT_EQ(find<QLineEdit>(u"inspector.list.connection"_s)->placeholderText(),
              u"e.g. $P{REPORT_CONNECTION}"_s);
    EXPECT_FALSE(find(u"inspector.datasetParameters.passAll"_s));

    pick(find<QComboBox>(u"inspector.list.dataset"_s), u"Orders"_s);
    type(find<QLineEdit>(u"inspector.list.connection"_s), u"$P{DB}"_s);
    click(u"inspector.datasetParameters.add"_s);
    type(find<QLineEdit>(u"inspector.datasetParameters.row0.expression"_s), u"$F{id}"_s);
    EXPECT_EQ(comboText(u"inspector.list.printOrder"_s), u"Vertical"_s);
    pick(find<QComboBox>(u"inspector.list.printOrder"_s), u"Horizontal"_s);

    ElementKind::List now = payload<ElementKind::List>(l.id);
    EXPECT_EQ(now.datasetName, u"Orders"_s);
    EXPECT_EQ(now.connectionExpression, u"$P{DB}"_s);
    EXPECT_EQ(now.printOrder, PrintOrder::horizontal);
    EXPECT_EQ(names(now.parameters), QStringList{u"param1=$F{id}"_s});
    EXPECT_EQ(now.children, children);
    const ReportElement back = roundTrip(l.id);
    const auto *read = back.kind.as<ElementKind::List>();
    ASSERT_TRUE(read);
    EXPECT_EQ(read->datasetName, u"Orders"_s);
    EXPECT_EQ(read->connectionExpression, u"$P{DB}"_s);
    EXPECT_EQ(read->printOrder, PrintOrder::horizontal);
    EXPECT_EQ(names(read->parameters), QStringList{u"param1=$F{id}"_s});
    ASSERT_EQ(read->children.size(), children.size());
    for (qsizetype i = 0; i < children.size(); ++i)
        EXPECT_EQ(read->children.at(i).x, children.at(i).x);

    // Picked back, the dataset name is the first's again; removing the row leaves none.
    pick(find<QComboBox>(u"inspector.list.dataset"_s), u"Items"_s);
    click(u"inspector.datasetParameters.row0.remove"_s);
    now = payload<ElementKind::List>(l.id);
    EXPECT_EQ(now.datasetName, u"Items"_s);
    EXPECT_TRUE(now.parameters.isEmpty());
    EXPECT_EQ(now.children, children);
}

TEST_F(SubreportListTableCardsTest, TheListNoteCountsOneChildWithoutAnS)
{
    selectNew(listOf(1));
    EXPECT_TRUE(text(u"inspector.listNote"_s).startsWith(u"1 element in the row template - "_s));
    store.setSelectedElementIDs({});
    selectNew(listOf(0));
    EXPECT_TRUE(text(u"inspector.listNote"_s).startsWith(u"0 elements in the row template"_s));
}

TEST_F(SubreportListTableCardsTest, PrintOrderThereAndBackIsOneUndoStep)
{
    const ReportElement l = selectNew(listOf(1));
    const qsizetype steps = store.undoStack().size();
    pick(find<QComboBox>(u"inspector.list.printOrder"_s), u"Horizontal"_s);
    pick(find<QComboBox>(u"inspector.list.printOrder"_s), u"Vertical"_s);
    pick(find<QComboBox>(u"inspector.list.printOrder"_s), u"Horizontal"_s);
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(store.undoStack().size(), steps + 1);
    store.undo();
    EXPECT_EQ(payload<ElementKind::List>(l.id).printOrder, PrintOrder::vertical);
    // Re-picking the order shown writes nothing.
    store.setIsDirty(false);
    pick(find<QComboBox>(u"inspector.list.printOrder"_s), u"Vertical"_s);
    EXPECT_FALSE(store.isDirty());
    EXPECT_EQ(payload<ElementKind::List>(l.id).printOrder, PrintOrder::vertical);
}

// A card drawn before the element changed elsewhere: its writes change their one value in the
// element as the store holds it now, and drop nothing that came since.
TEST_F(SubreportListTableCardsTest, AStaleCardKeepsWhatWasAddedSinceItWasDrawn)
{
    store.addSubDataset();
    // New takes the row added behind the card's back, so the switch keeps it.
    store.editSubDataset(store.document().subDatasets[0].id, [](ReportSubDataset &d) {
        d.name = u"New"_s;
        d.parameters = {ReportParameter{.name = u"P"_s}};
    });
    const ReportElement l = selectNew(listOf(1));
    ElementWriter writer(&store, l);
    DatasetRunCard card(writer, u"List"_s, true, nullptr);
    card.refresh(l, store.document());
    const ReportElement child = textField(50, 0, 40, 20);
    store.performUpdateElement(l.id, [&](ReportElement &e) {
        e.kind.as<ElementKind::List>()->children.append(child);
        e.kind.as<ElementKind::List>()->parameters.append(
            {.id = newId(), .name = u"P"_s, .expression = u"1"_s});
    });
    pick(card.findChild<QComboBox *>(u"inspector.list.dataset"_s), u"New"_s);
    const ElementKind::List now = payload<ElementKind::List>(l.id);
    EXPECT_EQ(now.datasetName, u"New"_s);
    EXPECT_EQ(now.children.size(), 2);
    EXPECT_EQ(names(now.parameters), QStringList{u"P=1"_s});
}

// Everything of a table that its inspector does not edit, to compare before and after a write.
struct TableKeeps {
    QList<SubreportParameter> parameters;
    QList<ElementKind::Table::KeptColumnGroup> columnGroups;
    KeptParts kept;
    QHash<QUuid, QList<TableCellFormatting>> formatting;
    QHash<QUuid, KeptParts> columnKept;

    explicit TableKeeps(const ElementKind::Table &t)
        : parameters(t.parameters), columnGroups(t.keptColumnGroups), kept(t.kept)
    {
        for (const ReportTableColumn &c : t.columns) {
            formatting.insert(
                c.id, {c.columnHeaderFormatting, c.detailCellFormatting, c.columnFooterFormatting});
            columnKept.insert(c.id, c.kept);
        }
    }
    // The same for every column both tables have.
    bool keptIn(const ElementKind::Table &t) const
    {
        const TableKeeps now(t);
        if (now.parameters != parameters || now.columnGroups != columnGroups || now.kept != kept)
            return false;
        for (auto it = now.formatting.cbegin(); it != now.formatting.cend(); ++it) {
            if (formatting.contains(it.key()) &&
                (formatting.value(it.key()) != it.value() ||
                 columnKept.value(it.key()) != now.columnKept.value(it.key())))
                return false;
        }
        return true;
    }
};

TEST_F(SubreportListTableCardsTest, EveryTableWriteKeepsColumnGroupsAndCellFormatting)
{
    QUILLMARK_REQUIRE_CORPUS();
    ScriptedDialogs dialogs;
    view->setDialogs(&dialogs);
    // The corpus table with its components under the usual "jr" prefix: three columns, then a
    // column group the model keeps as written, cells with styles and row spans.
    QString source = QString::fromUtf8(testsupport::readFile(
        testsupport::corpusDir() + u"/jrxml-samples/table/TableReport.jrxml"_s));
    source.replace(u"xmlns:c="_s, u"xmlns:jr="_s)
        .replace(u"<c:"_s, u"<jr:"_s)
        .replace(u"</c:"_s, u"</jr:"_s);
    const QString path = dir.filePath(u"table.jrxml"_s);
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(source.toUtf8());
    }
    store.load(QUrl::fromLocalFile(path));
    const std::optional<ReportElement> found = first<ElementKind::Table>();
    ASSERT_TRUE(found);
    const QUuid id = found->id;
    store.setSelectedElementIDs({id});
    QApplication::processEvents();
    const ElementKind::Table original = payload<ElementKind::Table>(id);
    ASSERT_EQ(original.columns.size(), 3);
    ASSERT_EQ(original.keptColumnGroups.size(), 1);
    ASSERT_EQ(original.columns.at(0).columnHeaderFormatting.styleName, u"TableHeader"_s);
    TableKeeps keeps(original);
    const auto table = [&] { return payload<ElementKind::Table>(id); };
    const auto check = [&](const char *what) {
        EXPECT_TRUE(keeps.keptIn(table())) << what;
        const ReportElement back = roundTrip(id);
        ASSERT_TRUE(back.kind.is<ElementKind::Table>()) << what;
        EXPECT_EQ(back.kind.as<ElementKind::Table>()->keptColumnGroups.size(), 1) << what;
        EXPECT_EQ(back.kind.as<ElementKind::Table>()->columns.size(), table().columns.size())
            << what;
    };

    EXPECT_EQ(comboText(u"inspector.noData.picker"_s), u"No Pages"_s);
    EXPECT_EQ(find<QLineEdit>(u"inspector.table.dataset"_s)->text(), u"TableData"_s);
    EXPECT_FALSE(find(u"inspector.table.printOrder"_s));
    EXPECT_EQ(find<QLineEdit>(u"inspector.columns.column0.width"_s)->text(), u"100"_s);
    EXPECT_EQ(comboText(u"inspector.columns.column0.header.kind"_s), u"Static Text"_s);
    EXPECT_EQ(comboText(u"inspector.columns.column0.detail.kind"_s), u"Text Field"_s);
    EXPECT_EQ(find<QLineEdit>(u"inspector.columns.column0.detail.content"_s)->text(),
              u"$V{Column1}"_s);

    type(find<QLineEdit>(u"inspector.table.dataset"_s), u"Other"_s);
    EXPECT_EQ(table().datasetName, u"Other"_s);
    EXPECT_EQ(roundTrip(id).kind.as<ElementKind::Table>()->datasetName, u"Other"_s);
    check("dataset");
    type(find<QLineEdit>(u"inspector.table.dataset"_s), u"TableData"_s);

    // The table takes its rows from a data source expression: a connection replaces it once
    // the user agrees.
    dialogs.answerAlert(0);
    type(find<QLineEdit>(u"inspector.table.connection"_s), u"$P{DB}"_s);
    QTest::keyClick(find<QLineEdit>(u"inspector.table.connection"_s), Qt::Key_Return);
    EXPECT_EQ(dialogs.alerts().size(), 1);
    EXPECT_EQ(table().connectionExpression, u"$P{DB}"_s);
    // The replaced data source is all the kept parts lose.
    EXPECT_NE(table().kept, original.kept);
    keeps = TableKeeps(table());
    check("connection");
    clear(find<QLineEdit>(u"inspector.table.connection"_s));
    EXPECT_EQ(table().connectionExpression, QString());

    QLineEdit *width = find<QLineEdit>(u"inspector.columns.column1.width"_s);
    type(width, u"120.5"_s);
    QTest::keyClick(width, Qt::Key_Return);
    EXPECT_EQ(table().columns.at(1).width, 120.5);
    // A column's width in the file is whole points.
    EXPECT_EQ(roundTrip(id).kind.as<ElementKind::Table>()->columns.at(1).width, 121);
    check("width");
    // Text that is no number leaves the width, and the field shows it again.
    type(width, u"wide"_s);
    QTest::keyClick(width, Qt::Key_Return);
    EXPECT_EQ(table().columns.at(1).width, 120.5);
    EXPECT_EQ(width->text(), u"120.5"_s);

    const ReportElement detail0 = *original.columns.at(0).detailCellElement;
    type(find<QLineEdit>(u"inspector.columns.column0.detail.content"_s), u"$V{Column1} + 1"_s);
    const ReportElement typed = *table().columns.at(0).detailCellElement;
    EXPECT_EQ(typed.kind.as<ElementKind::TextField>()->expression, u"$V{Column1} + 1"_s);
    ReportElement expected = detail0;
    expected.kind = typed.kind;
    EXPECT_EQ(typed, expected) << "only the expression changes";
    check("content");

    pick(find<QComboBox>(u"inspector.columns.column2.detail.kind"_s), u"Static Text"_s);
    const ReportElement label = *table().columns.at(2).detailCellElement;
    EXPECT_EQ(label.kind.as<ElementKind::StaticText>()->text, u"Label"_s);
    EXPECT_EQ(find<QLineEdit>(u"inspector.columns.column2.detail.content"_s)->text(), u"Label"_s);
    check("kind");

    pick(find<QComboBox>(u"inspector.noData.picker"_s), u"No Pages"_s);
    EXPECT_EQ(store.element(id)->tableWhenNoDataType, WhenNoDataType::noPages);
    pick(find<QComboBox>(u"inspector.noData.picker"_s), u"Blank Page"_s);
    EXPECT_TRUE(savedText().contains(uR"(whenNoDataType="BlankPage")"_s));
    EXPECT_EQ(roundTrip(id).tableWhenNoDataType, WhenNoDataType::blankPage);
    check("no data");

    click(u"inspector.columns.add"_s);
    ASSERT_EQ(table().columns.size(), 4);
    const ReportTableColumn added = table().columns.at(3);
    EXPECT_EQ(added.width, 100);
    EXPECT_EQ(added.detailCellHeight, table().columns.at(0).detailCellHeight)
        << "the height of the table's detail row";
    EXPECT_FALSE(added.detailCellElement);
    EXPECT_EQ(comboText(u"inspector.columns.column3.detail.kind"_s), u"None"_s);
    EXPECT_FALSE(visible(u"inspector.columns.column3.detail.content"_s));
    check("add column");

    // Removing the middle of the first three keeps the order of the others.
    const QList<QUuid> before = ids(table().columns);
    click(u"inspector.columns.column1.remove"_s);
    EXPECT_EQ(ids(table().columns), (QList<QUuid>{before.at(0), before.at(2), before.at(3)}));
    check("remove column");
    EXPECT_EQ(find<QLineEdit>(u"inspector.columns.column1.detail.content"_s)->text(), u"Label"_s);
    const QString file = savedText();
    EXPECT_TRUE(file.contains(u"3098567e-0813-4e4a-9aad-58bae2a5b2ab"_s)) << "the column group";
    EXPECT_TRUE(file.contains(uR"(style="TableHeader" height="30" rowSpan="2")"_s));
}

ReportElement tableOf(QList<ReportTableColumn> columns)
{
    return element(ElementKind::Table{.datasetName = u"Rows"_s, .columns = std::move(columns)}, 0,
                   0, 300, 60);
}

TEST_F(SubreportListTableCardsTest, PickingACellKindMakesANewElementAndRepickingWritesNothing)
{
    settings->setDefaultBlankWhenNull(true);
    ReportTableColumn column = ReportTableColumn::blank();
    ReportElement image = element(ElementKind::Image{u"\"logo.png\""_s}, 0, 0, 80, 20);
    column.columnHeaderElement = image;
    column.detailCellElement = *TableCells::newElement(TableCellKind::textField, false);
    column.detailCellFormatting.styleName = u"Cell"_s;
    const ReportElement t = selectNew(tableOf({column}));
    // The cell's element; an empty element (which fails the comparisons) when the cell is empty.
    const auto cell = [&](auto member) {
        const SharedOptional<ReportElement> &held =
            payload<ElementKind::Table>(t.id).columns.at(0).*member;
        return held ? *held : ReportElement{};
    };

    // An image shows "None" with its empty content field; neither writes anything.
    EXPECT_EQ(comboText(u"inspector.columns.column0.header.kind"_s), u"None"_s);
    EXPECT_TRUE(visible(u"inspector.columns.column0.header.content"_s));
    EXPECT_EQ(find<QLineEdit>(u"inspector.columns.column0.header.content"_s)->text(), QString());
    store.setIsDirty(false);
    pick(find<QComboBox>(u"inspector.columns.column0.header.kind"_s), u"None"_s);
    type(find<QLineEdit>(u"inspector.columns.column0.header.content"_s), u"$F{x}"_s);
    EXPECT_EQ(cell(&ReportTableColumn::columnHeaderElement), image);
    EXPECT_FALSE(store.isDirty());

    // Re-picking "Text Field" keeps the text field and its expression.
    const QUuid fieldID = cell(&ReportTableColumn::detailCellElement).id;
    pick(find<QComboBox>(u"inspector.columns.column0.detail.kind"_s), u"Text Field"_s);
    EXPECT_EQ(cell(&ReportTableColumn::detailCellElement).id, fieldID);
    EXPECT_FALSE(store.isDirty());

    // Switching makes a new element each time; nothing is carried over.
    pick(find<QComboBox>(u"inspector.columns.column0.detail.kind"_s), u"Static Text"_s);
    const ReportElement text = cell(&ReportTableColumn::detailCellElement);
    EXPECT_NE(text.id, fieldID);
    EXPECT_EQ(text.kind.as<ElementKind::StaticText>()->text, u"Label"_s);
    EXPECT_FALSE(text.isBlankWhenNull);
    pick(find<QComboBox>(u"inspector.columns.column0.detail.kind"_s), u"Text Field"_s);
    const ReportElement field = cell(&ReportTableColumn::detailCellElement);
    EXPECT_NE(field.id, text.id);
    EXPECT_EQ(field.kind.as<ElementKind::TextField>()->expression, u"$F{field}"_s);
    EXPECT_TRUE(field.isBlankWhenNull) << "the preference";
    EXPECT_EQ(payload<ElementKind::Table>(t.id).columns.at(0).detailCellFormatting.styleName,
              u"Cell"_s);

    // "None" empties the cell.
    pick(find<QComboBox>(u"inspector.columns.column0.detail.kind"_s), u"None"_s);
    EXPECT_FALSE(payload<ElementKind::Table>(t.id).columns.at(0).detailCellElement);
    EXPECT_FALSE(visible(u"inspector.columns.column0.detail.content"_s));
    const ReportElement back = roundTrip(t.id);
    EXPECT_FALSE(back.kind.as<ElementKind::Table>()->columns.at(0).detailCellElement);
}

TEST_F(SubreportListTableCardsTest, TurningTheWheelOverAPickerScrollsInsteadOfPicking)
{
    ReportTableColumn column = ReportTableColumn::blank();
    column.detailCellElement = *TableCells::newElement(TableCellKind::staticText, false);
    const ReportElement t = selectNew(tableOf({column}));
    const ElementKind::Table before = payload<ElementKind::Table>(t.id);
    for (const QString &name :
         {u"inspector.columns.column0.detail.kind"_s, u"inspector.noData.picker"_s}) {
        auto *picker = find<QComboBox>(name);
        ASSERT_TRUE(picker);
        ASSERT_FALSE(picker->hasFocus());
        for (int delta : {-120, 120}) {
            QWheelEvent wheel(QPointF(5, 5), picker->mapToGlobal(QPointF(5, 5)), QPoint(),
                              QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                              false);
            QApplication::sendEvent(picker, &wheel);
        }
    }
    EXPECT_EQ(payload<ElementKind::Table>(t.id), before);
    EXPECT_EQ(store.element(t.id)->tableWhenNoDataType, std::nullopt);
    EXPECT_FALSE(store.isDirty());
}

TEST_F(SubreportListTableCardsTest, ATableWithoutColumnsShowsOnlyAddColumn)
{
    const ReportElement t = selectNew(tableOf({}));
    EXPECT_FALSE(find(u"inspector.columns.column0.width"_s));
    ASSERT_TRUE(find(u"inspector.columns.add"_s));
    click(u"inspector.columns.add"_s);
    const QList<ReportTableColumn> columns = payload<ElementKind::Table>(t.id).columns;
    ASSERT_EQ(columns.size(), 1);
    EXPECT_EQ(columns.at(0).width, 100);
    EXPECT_EQ(columns.at(0).columnHeaderHeight, 20);
    EXPECT_EQ(columns.at(0).columnFooterHeight, 20);
    EXPECT_EQ(find<QLineEdit>(u"inspector.columns.column0.width"_s)->text(), u"100"_s);
    for (const QString &cell : {u"header"_s, u"detail"_s, u"footer"_s}) {
        EXPECT_EQ(comboText(u"inspector.columns.column0."_s + cell + u".kind"_s), u"None"_s);
    }
}

// The engine refuses a table without columns: the only column offers no removal, and a click
// that reaches its button anyway keeps it.
TEST_F(SubreportListTableCardsTest, TheOnlyColumnOfATableStays)
{
    const ReportElement t =
        selectNew(tableOf({ReportTableColumn::blank(), ReportTableColumn::blank()}));
    EXPECT_FALSE(find<QToolButton>(u"inspector.columns.column0.remove"_s)->isHidden());
    click(u"inspector.columns.column1.remove"_s);
    ASSERT_EQ(payload<ElementKind::Table>(t.id).columns.size(), 1);
    const qsizetype steps = store.undoStack().size();
    auto *remove = find<QToolButton>(u"inspector.columns.column0.remove"_s);
    ASSERT_TRUE(remove);
    EXPECT_TRUE(remove->isHidden());
    remove->click();
    EXPECT_EQ(payload<ElementKind::Table>(t.id).columns.size(), 1);
    EXPECT_EQ(store.undoStack().size(), steps) << "no step for a removal that removes nothing";
}

TEST_F(SubreportListTableCardsTest, AStaleColumnsCardChangesOnlyItsColumn)
{
    ReportTableColumn a = ReportTableColumn::blank();
    a.detailCellElement = *TableCells::newElement(TableCellKind::staticText, false);
    const ReportElement t = selectNew(tableOf({a, ReportTableColumn::blank()}));
    ElementWriter writer(&store, t);
    InspectorContext context{&store, settings.get(), nullptr, nullptr};
    ColumnsCard card(writer, u"Columns"_s, context);
    card.refresh(t, store.document());

    // Behind the card's back: a third column, formatting of the first, a dataset parameter.
    const ReportTableColumn c = ReportTableColumn::blank();
    store.performUpdateElement(t.id, [&](ReportElement &e) {
        auto *table = e.kind.as<ElementKind::Table>();
        table->columns.append(c);
        table->columns[0].detailCellFormatting.boxPenWidth = 2;
        table->parameters.append({.id = newId(), .name = u"P"_s, .expression = u"1"_s});
    });

    QLineEdit *width = card.findChild<QLineEdit *>(u"inspector.columns.column0.width"_s);
    type(width, u"55"_s);
    QTest::keyClick(width, Qt::Key_Return);
    type(card.findChild<QLineEdit *>(u"inspector.columns.column0.detail.content"_s), u"Name"_s);
    card.findChild<QToolButton *>(u"inspector.columns.column1.remove"_s)->click();

    const ElementKind::Table now = payload<ElementKind::Table>(t.id);
    ASSERT_EQ(ids(now.columns), (QList<QUuid>{a.id, c.id}));
    EXPECT_EQ(now.columns.at(0).width, 55);
    EXPECT_EQ(now.columns.at(0).detailCellElement->kind.as<ElementKind::StaticText>()->text,
              u"Name"_s);
    EXPECT_EQ(now.columns.at(0).detailCellFormatting.boxPenWidth, 2);
    EXPECT_EQ(names(now.parameters), QStringList{u"P=1"_s});

    // A column removed elsewhere: its block's writes are dropped.
    store.performUpdateElement(
        t.id, [&](ReportElement &e) { e.kind.as<ElementKind::Table>()->columns.removeFirst(); });
    store.setIsDirty(false);
    type(width, u"70"_s);
    QTest::keyClick(width, Qt::Key_Return);
    EXPECT_EQ(ids(payload<ElementKind::Table>(t.id).columns), QList<QUuid>{c.id});
    EXPECT_EQ(payload<ElementKind::Table>(t.id).columns.at(0).width, 100);
    EXPECT_FALSE(store.isDirty());
}

} // namespace

// A column added to a table of a real report takes the heights of the table's rows, so that the
// engine still compiles the report; a table without columns starts at 20 points a row.
TEST_F(SubreportListTableCardsTest, AnAddedColumnTakesTheHeightsOfTheTablesRows)
{
    QUILLMARK_REQUIRE_CORPUS();
    store.load(QUrl::fromLocalFile(testsupport::corpusDir() +
                                   u"/jrxml-samples/functions/FunctionsReport.jrxml"_s));
    std::optional<ReportElement> table;
    store.forEveryElementInDocument([&](const ReportElement &e) {
        if (!table && e.kind.is<ElementKind::Table>())
            table = e;
    });
    ASSERT_TRUE(table);
    const ReportTableColumn first = table->kind.as<ElementKind::Table>()->columns.first();
    store.setSelectedElementID(table->id);
    click(u"inspector.columns.add"_s);
    ReportTableColumn added = payload<ElementKind::Table>(table->id).columns.last();
    EXPECT_EQ(added.columnHeaderHeight, first.columnHeaderHeight);
    EXPECT_EQ(added.detailCellHeight, first.detailCellHeight);
    EXPECT_EQ(added.columnFooterHeight, first.columnFooterHeight);

    // Cells picked in the new column are written at the row's height.
    pick(find<QComboBox>(u"inspector.columns.column"_s +
                         QString::number(table->kind.as<ElementKind::Table>()->columns.size()) +
                         u".header.kind"_s),
         u"Static Text"_s);

    QUILLMARK_REQUIRE_ENGINE();
    testsupport::EngineJudge engine(*location);
    EXPECT_EQ(engine.compileError(store.document()), std::nullopt);
}

// The engine wants every cell of one row as high as the row, and a row span like theirs: a cell
// picked where the column held none takes both from its row's other cells, in one step.
TEST_F(SubreportListTableCardsTest, ACellGivenContentTakesTheHeightAndSpanOfItsRow)
{
    QUILLMARK_REQUIRE_CORPUS();
    ReportTableColumn held = ReportTableColumn::blank();
    held.columnFooterHeight = 30;
    held.columnFooterElement = *TableCells::newElement(TableCellKind::staticText, false);
    const ReportTableColumn empty = ReportTableColumn::blank(); // its footer 20 high, not held
    const ReportElement t = selectNew(tableOf({held, empty}));
    const qsizetype steps = store.undoStack().size();
    pick(find<QComboBox>(u"inspector.columns.column1.footer.kind"_s), u"Text Field"_s);
    EXPECT_EQ(payload<ElementKind::Table>(t.id).columns.at(1).columnFooterHeight, 30);
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(store.undoStack().size(), steps + 1);
    store.undo();
    EXPECT_EQ(payload<ElementKind::Table>(t.id).columns.at(1), empty);

    // The corpus table: three columns whose headers span the two header rows of the column
    // group beside them. A column added, then given a header, spans them too.
    store.load(QUrl::fromLocalFile(testsupport::corpusDir() +
                                   u"/jrxml-samples/table/TableReport.jrxml"_s));
    const std::optional<ReportElement> table = first<ElementKind::Table>();
    ASSERT_TRUE(table);
    store.setSelectedElementID(table->id);
    QApplication::processEvents();
    click(u"inspector.columns.add"_s);
    pick(find<QComboBox>(u"inspector.columns.column3.header.kind"_s), u"Static Text"_s);
    const ReportTableColumn added = payload<ElementKind::Table>(table->id).columns.at(3);
    EXPECT_EQ(added.columnHeaderHeight, 30);
    const auto headerSpan = [](const ReportTableColumn &column) {
        const QString *span = column.columnHeaderFormatting.kept.part({}).attribute(u"rowSpan"_s);
        return span ? *span : QString();
    };
    EXPECT_EQ(headerSpan(added), u"2"_s);

    QUILLMARK_REQUIRE_ENGINE();
    testsupport::EngineJudge engine(*location);
    EXPECT_EQ(engine.compileError(store.document()), std::nullopt);
}

// A list whose dataset run takes its rows from a data source expression shows it and says so;
// a connection typed over it replaces it only when the user agrees.
TEST_F(SubreportListTableCardsTest, AConnectionReplacesAListsDataSourceOnlyWhenTheUserAgrees)
{
    ScriptedDialogs dialogs;
    view->setDialogs(&dialogs);
    const QString file = dir.filePath(u"list.jrxml"_s);
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(
        "<jasperReport xmlns=\"http://jasperreports.sourceforge.net/jasperreports\" name=\"r\">"
        "<subDataset name=\"Rows\"/><detail><band height=\"60\"><componentElement>"
        "<reportElement x=\"0\" y=\"0\" width=\"200\" height=\"50\"/>"
        "<jr:list xmlns:jr=\"http://jasperreports.sourceforge.net/jasperreports/components\">"
        "<datasetRun subDataset=\"Rows\"><dataSourceExpression><![CDATA[new "
        "net.sf.jasperreports.engine.JREmptyDataSource(3)]]></dataSourceExpression></datasetRun>"
        "<jr:listContents height=\"50\"/></jr:list></componentElement></band></detail>"
        "</jasperReport>");
    out.close();
    store.load(QUrl::fromLocalFile(file));
    const ReportElement list = store.document().detailBands.first().elements.first();
    store.setSelectedElementID(list.id);
    const QString dataSource = u"new net.sf.jasperreports.engine.JREmptyDataSource(3)"_s;
    ASSERT_TRUE(find<QLineEdit>(u"inspector.list.dataSource"_s));
    EXPECT_TRUE(visible(u"inspector.list.dataSource"_s));
    EXPECT_EQ(find<QLineEdit>(u"inspector.list.dataSource"_s)->text(), dataSource);
    EXPECT_TRUE(text(u"inspector.list.sourceNote"_s).contains(u"data source expression"_s));

    // Cancel: nothing is written and the data source stays.
    dialogs.answerAlert(1);
    type(find<QLineEdit>(u"inspector.list.connection"_s), u"$"_s);
    QTest::keyClick(find<QLineEdit>(u"inspector.list.connection"_s), Qt::Key_Return);
    ASSERT_EQ(dialogs.alerts().size(), 1);
    EXPECT_TRUE(dialogs.alerts().first().informativeText.contains(dataSource));
    EXPECT_FALSE(store.isDirty());
    EXPECT_EQ(find<QLineEdit>(u"inspector.list.connection"_s)->text(), QString());
    EXPECT_TRUE(savedText().contains(dataSource));

    // Replace: the connection is written in place of the data source.
    dialogs.answerAlert(0);
    type(find<QLineEdit>(u"inspector.list.connection"_s), u"$P{REPORT_CONNECTION}"_s);
    EXPECT_EQ(dialogs.alerts().size(), 1) << "typing asks nothing";
    EXPECT_EQ(find<QLineEdit>(u"inspector.list.connection"_s)->text(), sameConnection);
    QTest::keyClick(find<QLineEdit>(u"inspector.list.connection"_s), Qt::Key_Return);
    EXPECT_EQ(dialogs.alerts().size(), 2) << "asked once, when the field is committed";
    EXPECT_EQ(payload<ElementKind::List>(list.id).connectionExpression, sameConnection);
    EXPECT_FALSE(visible(u"inspector.list.dataSource"_s));
    EXPECT_TRUE(text(u"inspector.list.sourceNote"_s).contains(u"connection"_s));
    const QString saved = savedText();
    EXPECT_TRUE(saved.contains(u"<connectionExpression><![CDATA[$P{REPORT_CONNECTION}]]>"_s));
    EXPECT_FALSE(saved.contains(u"dataSourceExpression"_s));
}

namespace {

// A list over Dataset1, whose group ItemGroup its text field is evaluated on; Dataset2 has no
// group. The list's rows come from a data source expression.
const QByteArray twoDatasets = R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="r" pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20" topMargin="20" bottomMargin="20">
	<subDataset name="Dataset1">
		<field name="item" class="java.lang.String"/>
		<group name="ItemGroup"><groupExpression><![CDATA[$F{item}]]></groupExpression></group>
	</subDataset>
	<subDataset name="Dataset2"><field name="item" class="java.lang.String"/></subDataset>
	<detail><band height="60">
		<componentElement>
			<reportElement x="0" y="0" width="300" height="50"/>
			<jr:list xmlns:jr="http://jasperreports.sourceforge.net/jasperreports/components">
				<datasetRun subDataset="Dataset1"><dataSourceExpression><![CDATA[new net.sf.jasperreports.engine.JREmptyDataSource(3)]]></dataSourceExpression></datasetRun>
				<jr:listContents height="50">
					<textField evaluationTime="Group" evaluationGroup="ItemGroup">
						<reportElement x="0" y="0" width="100" height="20"/>
						<textFieldExpression><![CDATA[$F{item}]]></textFieldExpression>
					</textField>
				</jr:listContents>
			</jr:list>
		</componentElement>
	</band></detail>
</jasperReport>)";

} // namespace

// A list's dataset is picked from the report's sub-datasets, with the keys; what its content
// was evaluated on a group the new dataset lacks is evaluated at once, as a new element is, in
// the same undo step, and the engine compiles the report.
TEST_F(SubreportListTableCardsTest, AListSwitchedToAnotherDatasetKeepsOnlyGroupsItHas)
{
    store.setDocument(JrxmlCodec::parse(twoDatasets));
    const ReportElement list = store.document().detailBands.first().elements.first();
    store.setSelectedElementID(list.id);
    auto *picker = find<QComboBox>(u"inspector.list.dataset"_s);
    ASSERT_TRUE(picker);
    QStringList entries;
    for (int i = 0; i < picker->count(); ++i)
        entries.append(picker->itemText(i));
    EXPECT_EQ(entries, (QStringList{u"Dataset1"_s, u"Dataset2"_s}));
    EXPECT_EQ(picker->currentText(), u"Dataset1"_s);

    const qsizetype steps = store.undoStack().size();
    picker->setFocus();
    QTest::keyClick(picker, Qt::Key_Down);
    ElementKind::List now = payload<ElementKind::List>(list.id);
    EXPECT_EQ(now.datasetName, u"Dataset2"_s);
    ASSERT_EQ(now.children.size(), 1);
    EXPECT_EQ(now.children[0].evaluationTime, u"Now"_s) << "a new element's, not Report";
    EXPECT_EQ(now.children[0].evaluationGroup, std::nullopt);
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(store.undoStack().size(), steps + 1);

    QUILLMARK_REQUIRE_ENGINE();
    testsupport::EngineJudge engine(*location);
    EXPECT_EQ(engine.compileError(store.document()), std::nullopt);

    store.undo();
    now = payload<ElementKind::List>(list.id);
    EXPECT_EQ(now.datasetName, u"Dataset1"_s);
    EXPECT_EQ(now.children[0].evaluationGroup, u"ItemGroup"_s);
}

namespace {

// A list and a table over Addresses, which declares City, each passing it City and the report
// locale; Numbers declares no parameter.
const QByteArray passedToDatasets = R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="r" pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20" topMargin="20" bottomMargin="20">
	<subDataset name="Addresses"><parameter name="City" class="java.lang.String"/></subDataset>
	<subDataset name="Numbers"/>
	<detail><band height="120">
		<componentElement>
			<reportElement x="0" y="0" width="300" height="50"/>
			<jr:list xmlns:jr="http://jasperreports.sourceforge.net/jasperreports/components">
				<datasetRun subDataset="Addresses">
					<datasetParameter name="City"><datasetParameterExpression><![CDATA["Oslo"]]></datasetParameterExpression></datasetParameter>
					<datasetParameter name="REPORT_LOCALE"><datasetParameterExpression><![CDATA[$P{REPORT_LOCALE}]]></datasetParameterExpression></datasetParameter>
					<dataSourceExpression><![CDATA[new net.sf.jasperreports.engine.JREmptyDataSource(3)]]></dataSourceExpression>
				</datasetRun>
				<jr:listContents height="50"/>
			</jr:list>
		</componentElement>
		<componentElement>
			<reportElement x="0" y="60" width="300" height="50"/>
			<jr:table xmlns:jr="http://jasperreports.sourceforge.net/jasperreports/components">
				<datasetRun subDataset="Addresses">
					<datasetParameter name="City"><datasetParameterExpression><![CDATA["Oslo"]]></datasetParameterExpression></datasetParameter>
					<datasetParameter name="REPORT_LOCALE"><datasetParameterExpression><![CDATA[$P{REPORT_LOCALE}]]></datasetParameterExpression></datasetParameter>
					<dataSourceExpression><![CDATA[new net.sf.jasperreports.engine.JREmptyDataSource(3)]]></dataSourceExpression>
				</datasetRun>
				<jr:column width="100">
					<jr:detailCell height="20"><staticText><reportElement x="0" y="0" width="100" height="20"/><text><![CDATA[x]]></text></staticText></jr:detailCell>
				</jr:column>
			</jr:table>
		</componentElement>
	</band></detail>
</jasperReport>)";

QStringList passedNames(const QList<SubreportParameter> &rows)
{
    QStringList names;
    for (const SubreportParameter &row : rows)
        names.append(row.name);
    return names;
}

} // namespace

// Switched to another dataset, a list or table passes it only the parameters it declares (and
// those the engine gives every dataset), in the step of the switch: the engine compiles the
// report, and undo brings the rows back. A table's typed name counts once it is committed.
TEST_F(SubreportListTableCardsTest, ADatasetSwitchDropsTheParametersTheNewDatasetLacks)
{
    QUILLMARK_REQUIRE_ENGINE();
    testsupport::EngineJudge engine(*location);
    store.setDocument(JrxmlCodec::parse(passedToDatasets));
    const QList<ReportElement> elements = store.document().detailBands.first().elements;
    ASSERT_EQ(elements.size(), 2);
    const QUuid list = elements.at(0).id;
    const QUuid table = elements.at(1).id;
    const QStringList both{u"City"_s, u"REPORT_LOCALE"_s};
    ASSERT_EQ(passedNames(payload<ElementKind::List>(list).parameters), both);
    ASSERT_EQ(passedNames(payload<ElementKind::Table>(table).parameters), both);
    EXPECT_EQ(engine.compileError(store.document()), std::nullopt);

    store.setSelectedElementID(list);
    auto *picker = find<QComboBox>(u"inspector.list.dataset"_s);
    ASSERT_TRUE(picker);
    qsizetype steps = store.undoStack().size();
    picker->setFocus();
    QTest::keyClick(picker, Qt::Key_Down);
    EXPECT_EQ(payload<ElementKind::List>(list).datasetName, u"Numbers"_s);
    EXPECT_EQ(passedNames(payload<ElementKind::List>(list).parameters),
              QStringList{u"REPORT_LOCALE"_s});
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(store.undoStack().size(), steps + 1);

    store.setSelectedElementID(table);
    auto *field = find<QLineEdit>(u"inspector.table.dataset"_s);
    ASSERT_TRUE(field);
    steps = store.undoStack().size();
    type(field, u"Numbers"_s);
    EXPECT_EQ(payload<ElementKind::Table>(table).datasetName, u"Numbers"_s);
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(passedNames(payload<ElementKind::Table>(table).parameters),
              QStringList{u"REPORT_LOCALE"_s});
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(store.undoStack().size(), steps + 1);
    EXPECT_EQ(engine.compileError(store.document()), std::nullopt);

    store.undo();
    EXPECT_EQ(payload<ElementKind::Table>(table).datasetName, u"Addresses"_s);
    EXPECT_EQ(passedNames(payload<ElementKind::Table>(table).parameters), both);
    store.undo();
    EXPECT_EQ(payload<ElementKind::List>(list).datasetName, u"Addresses"_s);
    EXPECT_EQ(passedNames(payload<ElementKind::List>(list).parameters), both);
    EXPECT_EQ(engine.compileError(store.document()), std::nullopt);
}

// The question whether a connection replaces the data source waits until the field is left:
// every key goes to the field, and the connection is written whole.
TEST_F(SubreportListTableCardsTest, TheConnectionQuestionComesWhenTheFieldIsLeft)
{
    ScriptedDialogs dialogs;
    view->setDialogs(&dialogs);
    store.setDocument(JrxmlCodec::parse(twoDatasets));
    const ReportElement list = store.document().detailBands.first().elements.first();
    store.setSelectedElementID(list.id);
    auto *connection = find<QLineEdit>(u"inspector.list.connection"_s);
    type(connection, sameConnection);
    EXPECT_TRUE(dialogs.alerts().isEmpty());
    EXPECT_EQ(connection->text(), sameConnection);
    dialogs.answerAlert(0);
    find<QComboBox>(u"inspector.list.printOrder"_s)->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(dialogs.alerts().size(), 1);
    EXPECT_EQ(payload<ElementKind::List>(list.id).connectionExpression, sameConnection);

    QUILLMARK_REQUIRE_ENGINE();
    testsupport::EngineJudge engine(*location);
    EXPECT_EQ(engine.compileError(store.document()), std::nullopt);
}
