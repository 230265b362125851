#include "DataPanelFixture.h"
#include "widgets/DataRowButtons.h"
#include "widgets/DuplicateNames.h"
#include "widgets/SymbolIcons.h"

#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>
#include <QWheelEvent>

using namespace storetest;

namespace {

using DataListCards = DataPanelTest;

const QString sortFields = u"datapanel.sortFields"_s;
const QString scriptlets = u"datapanel.scriptlets"_s;
const QString templates = u"datapanel.templates"_s;

QString row(const QString &card, int index, const QString &control)
{
    return card + u".row"_s + QString::number(index) + u'.' + control;
}

} // namespace

TEST_F(DataListCards, EmptyCardsShowOnlyTheirAddButtons)
{
    for (auto [card, title] : {std::pair{DataPanelCard::sortFields, u"Add Sort Field"_s},
                               {DataPanelCard::scriptlets, u"Add Scriptlet"_s},
                               {DataPanelCard::reportTemplates, u"Add Template"_s}}) {
        auto *section = qobject_cast<DataListSection *>(view->cardContent(card));
        ASSERT_TRUE(section);
        EXPECT_TRUE(section->rows().isEmpty());
        EXPECT_EQ(section->addButton()->text(), title);
        EXPECT_EQ(section->addButton()->property(SymbolIcons::symbolProperty).toString(),
                  u"plus"_s);
        EXPECT_EQ(section->addButton()->objectName(), DataPanelCards::objectName(card) + u".add"_s);
    }
}

TEST_F(DataListCards, SortFieldsAreAddedEditedMovedRemovedAndSaved)
{
    ReportDocument withFields = store.document();
    withFields.fields = {ReportField{.name = u"amount"_s}, ReportField{.name = u"city"_s}};
    withFields.variables = {ReportVariable{.name = u"amount"_s}};
    store.setDocument(withFields);
    view->refresh();
    click(sortFields + u".add"_s);
    ASSERT_EQ(store.document().sortFields.size(), 1);
    EXPECT_EQ(store.undoStack().size(), 1);
    EXPECT_EQ(find<QLineEdit>(row(sortFields, 0, u"name"_s))->text(), u"amount"_s);
    EXPECT_EQ(find<QLineEdit>(row(sortFields, 0, u"name"_s))->placeholderText(), u"name"_s);
    EXPECT_EQ(find<QComboBox>(row(sortFields, 0, u"type"_s))->currentText(), u"Field"_s);
    EXPECT_EQ(find<QComboBox>(row(sortFields, 0, u"order"_s))->currentText(), u"Ascending"_s);
    EXPECT_FALSE(find<QToolButton>(row(sortFields, 0, u"up"_s))->isEnabled());
    EXPECT_FALSE(find<QToolButton>(row(sortFields, 0, u"down"_s))->isEnabled());

    store.setIsDirty(false);
    type(row(sortFields, 0, u"name"_s), u"amount"_s);
    choose(row(sortFields, 0, u"type"_s), u"Variable"_s);
    choose(row(sortFields, 0, u"order"_s), u"Descending"_s);
    EXPECT_EQ(store.document().sortFields[0].name, u"amount"_s);
    EXPECT_EQ(store.document().sortFields[0].type, SortFieldType::variable);
    EXPECT_EQ(store.document().sortFields[0].order, SortFieldOrder::descending);
    EXPECT_TRUE(store.isDirty());
    EXPECT_EQ(store.undoStack().size(), 1) << "row edits record no step";

    click(sortFields + u".add"_s);
    type(row(sortFields, 1, u"name"_s), u"city"_s);
    DataListRow *amountRow = rows(DataPanelCard::sortFields).at(0);
    EXPECT_FALSE(find<QToolButton>(row(sortFields, 0, u"up"_s))->isEnabled());
    EXPECT_TRUE(find<QToolButton>(row(sortFields, 0, u"down"_s))->isEnabled());
    EXPECT_TRUE(find<QToolButton>(row(sortFields, 1, u"up"_s))->isEnabled());
    EXPECT_FALSE(find<QToolButton>(row(sortFields, 1, u"down"_s))->isEnabled());

    click(row(sortFields, 0, u"down"_s));
    EXPECT_EQ(store.document().sortFields[1].name, u"amount"_s);
    EXPECT_EQ(rows(DataPanelCard::sortFields).at(1), amountRow) << "rows follow their item";
    EXPECT_EQ(find<QLineEdit>(row(sortFields, 1, u"name"_s))->text(), u"amount"_s);
    EXPECT_EQ(find<QComboBox>(row(sortFields, 1, u"type"_s))->currentText(), u"Variable"_s);
    EXPECT_EQ(find<QLineEdit>(row(sortFields, 0, u"name"_s))->text(), u"city"_s);

    const QString text = saved();
    EXPECT_LT(
        text.indexOf(u"<sortField name=\"city\" order=\"Ascending\" type=\"Field\"/>"_s),
        text.indexOf(u"<sortField name=\"amount\" order=\"Descending\" type=\"Variable\"/>"_s));
    EXPECT_GE(text.indexOf(u"<sortField name=\"city\""_s), 0);

    store.setIsDirty(false);
    click(row(sortFields, 0, u"remove"_s));
    EXPECT_TRUE(store.isDirty());
    ASSERT_EQ(store.document().sortFields.size(), 1);
    EXPECT_EQ(store.document().sortFields[0].name, u"amount"_s);
    ASSERT_EQ(rows(DataPanelCard::sortFields).size(), 1);
    EXPECT_EQ(rows(DataPanelCard::sortFields).at(0), amountRow);
    EXPECT_FALSE(find<QToolButton>(row(sortFields, 0, u"down"_s))->isEnabled());
    EXPECT_FALSE(find(row(sortFields, 1, u"name"_s))) << "the removed row is gone";
    EXPECT_FALSE(saved().contains(u"<sortField name=\"city\""_s));
}

// A sort field's name that names no field (no variable) of the report is warned of under the
// name, as a name two sort fields share is: the engine refuses both. The words follow what is
// typed, the type chosen and what the report declares; a variable's name takes each group's
// count of records and what the engine gives every report.
TEST_F(DataListCards, ASortFieldNamingNothingIsWarnedOfUnderItsName)
{
    ReportDocument declared = store.document();
    declared.fields = {ReportField{.name = u"city"_s}};
    declared.variables = {ReportVariable{.name = u"total"_s}};
    declared.groups = {ReportGroup{.name = u"Cities"_s}};
    store.setDocument(declared);
    view->refresh();
    click(sortFields + u".add"_s);
    click(sortFields + u".add"_s);
    const QString name = row(sortFields, 0, u"name"_s);
    const QString noCityX = u"The report declares no field \"cityX\": the engine refuses a sort "
                            u"field on a name it lacks."_s;
    struct Case {
        const char *what;
        std::function<void()> edit;
        QString warning;
    };
    const Case cases[] = {
        {"as added, on the field", [] {}, {}},
        {"a name typed that names nothing", [&] { type(name, u"cityX"_s); }, noCityX},
        {"the other row, on the variable, switched to a field of the same name",
         [&] {
             choose(row(sortFields, 1, u"type"_s), u"Field"_s);
             type(row(sortFields, 1, u"name"_s), u"cityX"_s);
         },
         DuplicateNames::warning(u"sort field"_s) + u'\n' + noCityX},
        {"the field declared",
         [&] {
             type(row(sortFields, 1, u"name"_s), u"city"_s);
             editDocument(store, [](ReportDocument &d) {
                 d.fields.append(ReportField{.name = u"cityX"_s});
             });
         },
         {}},
        {"the field removed", [&] { store.removeField(store.document().fields.last().id); },
         noCityX},
        {"sorting on a variable named after a field",
         [&] {
             choose(row(sortFields, 0, u"type"_s), u"Variable"_s);
             type(name, u"city"_s);
         },
         u"The report declares no variable \"city\" (a field has that name: choose Field): the "
         u"engine refuses a sort field on a name it lacks."_s},
        {"on a group's count", [&] { type(name, u"Cities_COUNT"_s); }, {}},
        {"on the engine's count of records", [&] { type(name, u"REPORT_COUNT"_s); }, {}},
        {"the name cleared",
         [&] {
             auto *edit = find<QLineEdit>(name);
             edit->setFocus();
             edit->selectAll();
             QTest::keyClick(edit, Qt::Key_Backspace);
         },
         u"Name the variable to sort on: the engine refuses a sort field without a name."_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        c.edit();
        QApplication::processEvents();
        const auto *warning = find<QLabel>(row(sortFields, 0, u"nameWarning"_s));
        ASSERT_TRUE(warning);
        EXPECT_EQ(warning->isVisibleTo(view.get()) ? warning->text() : QString(), c.warning);
    }
}

TEST_F(DataListCards, ScriptletsKeepTheirDescriptionAndUndoTakesBackTheTypingFirst)
{
    click(scriptlets + u".add"_s);
    type(row(scriptlets, 0, u"name"_s), u"Audit"_s);
    type(row(scriptlets, 0, u"className"_s), u"com.acme.AuditScriptlet"_s);
    EXPECT_EQ(find<QLineEdit>(row(scriptlets, 0, u"className"_s))->placeholderText(), u"class"_s);
    EXPECT_EQ(store.undoStack().size(), 1);
    EXPECT_TRUE(
        saved().contains(u"<scriptlet name=\"Audit\" class=\"com.acme.AuditScriptlet\"/>"_s));

    editDocument(store,
                 [](ReportDocument &d) { d.scriptlets[0].scriptletDescription = u"kept"_s; });
    type(row(scriptlets, 0, u"name"_s), u"Audit2"_s);
    EXPECT_EQ(store.document().scriptlets[0].scriptletDescription, u"kept"_s);

    // Ctrl+Z right after the add and the typing takes back the typing; a second, the add.
    const ReportDocument typed = store.document();
    store.undo();
    ASSERT_EQ(store.document().scriptlets.size(), 1);
    EXPECT_EQ(store.document().scriptlets[0].name, QString());
    EXPECT_EQ(find<QLineEdit>(row(scriptlets, 0, u"name"_s))->text(), QString());
    store.undo();
    EXPECT_TRUE(store.document().scriptlets.isEmpty());
    EXPECT_TRUE(rows(DataPanelCard::scriptlets).isEmpty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the row leaves
    store.redo();
    store.redo();
    EXPECT_EQ(store.document(), typed);
    EXPECT_EQ(find<QLineEdit>(row(scriptlets, 0, u"name"_s))->text(), u"Audit2"_s);
    EXPECT_EQ(find<QLineEdit>(row(scriptlets, 0, u"className"_s))->text(),
              u"com.acme.AuditScriptlet"_s);
}

TEST_F(DataListCards, TemplatesEditTheExpressionAndKeepTheirClass)
{
    click(templates + u".add"_s);
    click(templates + u".add"_s);
    EXPECT_EQ(store.document().reportTemplates[0].className, u"java.lang.String"_s);
    auto *expression = find<QLineEdit>(row(templates, 0, u"expression"_s));
    ASSERT_TRUE(expression);
    EXPECT_EQ(expression->placeholderText(), u"expression"_s);
    EXPECT_EQ(expression->font().family(),
              QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    EXPECT_EQ(expression->font().pointSizeF(), 11);
    EXPECT_GT(expression->width(), 300) << "the expression takes the row's free width";

    type(row(templates, 0, u"expression"_s), u"\"templates/base.jrtx\""_s);
    type(row(templates, 1, u"expression"_s), u"$P{SUBREPORT_DIR} + \"more.jrtx\""_s);
    click(row(templates, 1, u"up"_s));
    EXPECT_EQ(store.document().reportTemplates[0].expression,
              u"$P{SUBREPORT_DIR} + \"more.jrtx\""_s);
    EXPECT_EQ(store.undoStack().size(), 5) << "two adds, two expressions typed, the move";

    const QString text = saved();
    const qsizetype more =
        text.indexOf(u"<template><![CDATA[$P{SUBREPORT_DIR} + \"more.jrtx\"]]></template>"_s);
    const qsizetype base =
        text.indexOf(u"<template><![CDATA[\"templates/base.jrtx\"]]></template>"_s);
    EXPECT_GE(more, 0) << text.toStdString();
    EXPECT_GT(base, more);

    click(row(templates, 1, u"remove"_s));
    click(row(templates, 0, u"remove"_s));
    EXPECT_TRUE(store.document().reportTemplates.isEmpty());
    EXPECT_FALSE(saved().contains(u"<template"_s));
}

TEST_F(DataListCards, RowsShowChangesInPlaceAndLeaveTheFieldBeingTypedIn)
{
    click(scriptlets + u".add"_s);
    DataListRow *first = rows(DataPanelCard::scriptlets).at(0);
    auto *name = find<QLineEdit>(row(scriptlets, 0, u"name"_s));
    type(row(scriptlets, 0, u"name"_s), u"abc"_s);
    name->setCursorPosition(1);

    // An edit from elsewhere (another view) shows at once, without rebuilding the row.
    editDocument(store, [](ReportDocument &d) { d.scriptlets[0].className = u"x.Y"_s; });
    EXPECT_EQ(rows(DataPanelCard::scriptlets).at(0), first);
    EXPECT_EQ(find<QLineEdit>(row(scriptlets, 0, u"className"_s))->text(), u"x.Y"_s);
    EXPECT_EQ(name->cursorPosition(), 1) << "a field that shows the value keeps its caret";

    // Refreshing writes nothing.
    store.setIsDirty(false);
    const auto steps = store.undoStack().size();
    view->refresh();
    EXPECT_FALSE(store.isDirty());
    EXPECT_EQ(store.undoStack().size(), steps);
}

TEST_F(DataListCards, AFieldCommittingAfterItsRowWasRemovedWritesNothing)
{
    click(scriptlets + u".add"_s);
    click(scriptlets + u".add"_s);
    type(row(scriptlets, 1, u"name"_s), u"second"_s);
    QPointer<QLineEdit> firstName = find<QLineEdit>(row(scriptlets, 0, u"name"_s));
    store.removeScriptlet(store.document().scriptlets[0].id);
    // The removed row lingers until it is deleted; an edit landing there meanwhile is dropped.
    ASSERT_TRUE(firstName);
    store.setIsDirty(false);
    emit firstName->textEdited(u"late"_s);
    EXPECT_EQ(store.document().scriptlets.size(), 1);
    EXPECT_EQ(store.document().scriptlets[0].name, u"second"_s);
    EXPECT_FALSE(store.isDirty());
}

TEST(DataRowButtons, MoveButtonsFollowTheirPlaceAndRemoveMarksDirtyAfterItsAction)
{
    QList<int> offsets;
    MoveButtons buttons([&](int offset) { offsets << offset; });
    EXPECT_EQ(buttons.up()->property(SymbolIcons::symbolProperty).toString(), u"chevron.up"_s);
    EXPECT_EQ(buttons.down()->property(SymbolIcons::symbolProperty).toString(), u"chevron.down"_s);
    buttons.setPlace(0, 1);
    EXPECT_FALSE(buttons.up()->isEnabled());
    EXPECT_FALSE(buttons.down()->isEnabled());
    buttons.setPlace(1, 3);
    EXPECT_TRUE(buttons.up()->isEnabled());
    EXPECT_TRUE(buttons.down()->isEnabled());
    buttons.up()->click();
    buttons.down()->click();
    EXPECT_EQ(offsets, (QList<int>{-1, 1}));
    buttons.setPlace(2, 3);
    EXPECT_FALSE(buttons.down()->isEnabled());

    DocumentStore store;
    bool dirtyDuringAction = true;
    bool goesAhead = true;
    std::unique_ptr<QToolButton> remove(DataRowButtons::removeButton(&store, [&] {
        dirtyDuringAction = store.isDirty();
        return goesAhead;
    }));
    EXPECT_EQ(remove->property(SymbolIcons::symbolProperty).toString(), u"minus.circle"_s);
    remove->click();
    EXPECT_FALSE(dirtyDuringAction);
    EXPECT_TRUE(store.isDirty());

    // A removal the user cancelled marks nothing.
    store.setIsDirty(false);
    goesAhead = false;
    remove->click();
    EXPECT_FALSE(store.isDirty());
}

namespace {

// Scrolling the panel passes the pointer over the row pickers; the wheel must scroll, not pick.
TEST_F(DataListCards, TheWheelOverAPickerItIsNotInPicksNothing)
{
    ReportDocument withFields = store.document();
    withFields.fields = {ReportField{.name = u"amount"_s}, ReportField{.name = u"city"_s}};
    withFields.variables = {ReportVariable{.name = u"amount"_s}};
    store.setDocument(withFields);
    view->refresh();
    click(sortFields + u".add"_s);
    const ReportDocument before = store.document();
    for (const QString &control : {u"type"_s, u"order"_s}) {
        auto *picker = find<QComboBox>(row(sortFields, 0, control));
        ASSERT_TRUE(picker);
        ASSERT_FALSE(picker->hasFocus());
        // Down: the entry below the first.
        QWheelEvent wheel(QPointF(5, 5), picker->mapToGlobal(QPointF(5, 5)), QPoint(),
                          QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(picker, &wheel);
    }
    EXPECT_EQ(store.document().sortFields, before.sortFields);
    EXPECT_EQ(find<QComboBox>(row(sortFields, 0, u"order"_s))->currentText(), u"Ascending"_s);
}

} // namespace
