#include "DeclarationBuilders.h"
#include "FakeExpressionEngine.h"
#include "editors/CodeEditorView.h"
#include "editors/CodeTextView.h"
#include "editors/ExpressionBuilderButton.h"
#include "editors/ExpressionBuilderPresentationState.h"
#include "editors/ExpressionBuilderView.h"
#include "editors/ExpressionTestPanel.h"
#include "editors/ExpressionTestState.h"
#include "editors/FlowLayout.h"
#include "engine/SidecarModel.h"
#include "widgets/SheetDialog.h"

#include "TestSupport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStringListModel>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

ReportDocument report()
{
    using namespace testsupport;
    ReportDocument document;
    document.fields = {field(u"Amount"_s, u"java.math.BigDecimal"_s),
                       field(u"ID"_s, u"java.lang.Integer"_s)};
    document.parameters = {parameter(u"ID"_s, u"java.lang.Integer"_s),
                           parameter(u"Clause"_s, u"java.lang.String"_s)};
    document.variables = {variable(u"Sum"_s), variable(u"Cnt"_s)};
    return document;
}

void type(QWidget *target, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &press);
    }
}

// A builder bound to a plain string, shown so that focus and layouts behave.
struct Builder {
    QString expression;
    FakeExpressionEngine engine;
    bool done = false;
    ExpressionBuilderView view;
    explicit Builder(const ReportDocument &document = report(), const QString &initial = {})
        : expression(initial),
          view({[this] { return expression; }, [this](const QString &t) { expression = t; }},
               document, &engine, [this] { done = true; })
    {
        view.show();
    }
    QWidget *text() { return view.editor()->textView(); }
};

TEST(FlowLayoutTest, WorkedExamples)
{
    const QList<QSizeF> three(3, QSizeF(50, 20));
    EXPECT_EQ(FlowLayout::sizeThatFits(120, three, 8), QSizeF(120, 48));
    EXPECT_EQ(FlowLayout::placements(QRectF(0, 0, 120, 48), three, 8),
              (QList<QPointF>{{0, 0}, {58, 0}, {0, 28}}));
    EXPECT_EQ(FlowLayout::sizeThatFits(std::nullopt, three, 8), QSizeF(166, 20));
    EXPECT_EQ(FlowLayout::sizeThatFits(qInf(), three, 8), QSizeF(166, 20));
    EXPECT_EQ(FlowLayout::sizeThatFits(120, {}, 8), QSizeF(120, 0));
    EXPECT_EQ(FlowLayout::sizeThatFits(std::nullopt, {}, 8), QSizeF(0, 0));
    const QList<QSizeF> wide = {{50, 20}, {150, 30}, {50, 20}};
    EXPECT_EQ(FlowLayout::sizeThatFits(120, wide, 8), QSizeF(120, 86));
    EXPECT_EQ(FlowLayout::placements(QRectF(10, 5, 120, 86), wide, 8),
              (QList<QPointF>{{10, 5}, {10, 33}, {10, 71}}));
}

TEST(ExpressionBuilderTest, ChipJoinsAtTheCursorThroughTheBinding)
{
    Builder builder;
    builder.text()->setFocus();
    type(builder.text(), u"total"_s);
    builder.view.chip(u"$F{Amount}"_s)->click();
    EXPECT_EQ(builder.expression, u"total + $F{Amount}"_s);
    builder.view.chip(u"Today"_s)->click();
    EXPECT_EQ(builder.expression, u"total + $F{Amount} + new java.util.Date()"_s);
    builder.view.doneButton()->click();
    EXPECT_TRUE(builder.done);
}

TEST(ExpressionBuilderTest, CompletionOffersDeclarationsAndBuiltIns)
{
    Builder builder;
    EXPECT_EQ(builder.view.tokenCompletions(u'V'),
              (QStringList{u"Sum"_s, u"Cnt"_s, u"PAGE_NUMBER"_s, u"PAGE_COUNT"_s,
                           u"COLUMN_NUMBER"_s, u"REPORT_COUNT"_s, u"COLUMN_COUNT"_s}));
    EXPECT_TRUE(builder.view.tokenCompletions(u'X').isEmpty());
    EXPECT_TRUE(builder.view.tokenCompletions(u'f').isEmpty());
    builder.text()->setFocus();
    type(builder.text(), u"$P{"_s);
    const QCompleter *completer = builder.view.editor()->completer();
    ASSERT_TRUE(completer->popup()->isVisible());
    EXPECT_EQ(qobject_cast<QStringListModel *>(completer->model())->stringList(),
              (QStringList{u"ID"_s, u"Clause"_s}));
}

TEST(ExpressionBuilderTest, WarningsFollowTheText)
{
    Builder builder;
    EXPECT_TRUE(builder.view.warnings().isEmpty());
    type(builder.text(), u"$F{amount}"_s);
    EXPECT_EQ(builder.view.warnings(),
              QStringList{u"$F{amount} isn't a declared field in this report."_s});
    builder.view.editor()->setText(QString());
    type(builder.text(), u"(]"_s);
    EXPECT_EQ(builder.view.warnings(),
              (QStringList{u"Unmatched \"]\" - check your brackets/parentheses."_s,
                           u"Unclosed \"(\" - missing a closing bracket/parenthesis."_s}));
}

TEST(ExpressionBuilderTest, SectionsShowOnlyWhatIsDeclared)
{
    EXPECT_EQ(Builder(ReportDocument()).view.sectionTitles(), QStringList{u"SNIPPETS"_s});
    ReportDocument variablesOnly;
    variablesOnly.variables = report().variables;
    EXPECT_EQ(Builder(variablesOnly).view.sectionTitles(),
              (QStringList{u"VARIABLES"_s, u"SNIPPETS"_s}));
    EXPECT_EQ(Builder().view.sectionTitles(),
              (QStringList{u"FIELDS"_s, u"PARAMETERS"_s, u"VARIABLES"_s, u"SNIPPETS"_s}));
}

TEST(ExpressionTestPanelTest, SampleBoxesFollowTheReferences)
{
    Builder builder(report(), u"$F{ Amount } + $F{Amount} + $P!{Clause} + $F{Nope}"_s);
    ExpressionTestPanel *panel = builder.view.testPanel();
    EXPECT_NE(panel->sampleBox(u"$F{Amount}"_s), nullptr);
    EXPECT_EQ(panel->sampleBox(u"$P{Clause}"_s), nullptr);
    EXPECT_EQ(panel->referencedFields().size(), 1);

    // A field and a parameter of one name share their value.
    builder.view.editor()->setText(u"$F{ID} + $P{ID}"_s);
    type(builder.text(), u" "_s);
    QLineEdit *field = panel->sampleBox(u"$F{ID}"_s);
    ASSERT_NE(field, nullptr);
    field->setText(u"42"_s);
    emit field->textEdited(u"42"_s);
    EXPECT_EQ(panel->sampleBox(u"$P{ID}"_s)->text(), u"42"_s);

    panel->runButton()->click();
    ASSERT_EQ(builder.engine.requests.size(), 1);
    EXPECT_EQ(builder.engine.requests[0].parameters[0].value, u"42"_s);
    EXPECT_FALSE(panel->runButton()->isVisible());
    builder.engine.answer({std::nullopt, std::nullopt});
    EXPECT_TRUE(panel->resultLabel()->isVisible());
    EXPECT_EQ(panel->resultLabel()->text(), u"= (null)"_s);
}

TEST(ExpressionTestPanelTest, ErrorsShowAdviceWithClosedDetails)
{
    Builder builder(report(), u"1"_s);
    ExpressionTestPanel *panel = builder.view.testPanel();
    const QString recognised = u"java.lang.NullPointerException at line 1"_s;
    panel->runButton()->click();
    builder.engine.answer({std::nullopt, recognised});
    EXPECT_NE(panel->errorLabel()->text(), recognised);
    EXPECT_TRUE(panel->detailsToggle()->isVisible());
    EXPECT_FALSE(panel->detailsLabel()->isVisible());
    EXPECT_EQ(panel->detailsLabel()->text(), recognised);

    panel->runButton()->click();
    EXPECT_FALSE(panel->errorLabel()->isVisible());
    builder.engine.answer({std::nullopt, u"something odd"_s});
    EXPECT_EQ(panel->errorLabel()->text(), u"something odd"_s);
    EXPECT_FALSE(panel->detailsToggle()->isVisible());

    // Run needs some text; blanks will do.
    builder.view.editor()->textView()->clear();
    EXPECT_FALSE(panel->runButton()->isEnabled());
    type(builder.text(), u" "_s);
    EXPECT_TRUE(panel->runButton()->isEnabled());
}

TEST(ExpressionBuilderButtonTest, EveryOpeningStartsAfreshAndClosingWhileRunningIsSafe)
{
    QWidget window;
    QString field = u"1"_s;
    FakeExpressionEngine engine;
    ExpressionBuilderButton button({[&] { return field; }, [&](const QString &t) { field = t; }},
                                   report(), &engine, &window);
    ExpressionBuilderButton other({[] { return QString(); }, [](const QString &) {}}, report(),
                                  &engine, &window);
    window.show();
    EXPECT_EQ(button.toolTip(), u"Expression Builder - pick fields, parameters, and common "
                                u"patterns instead of typing Java"_s);
    EXPECT_EQ(button.property("symbolName").toString(), u"wand.and.stars"_s);

    button.click();
    ASSERT_NE(button.builder(), nullptr);
    EXPECT_FALSE(other.presentation()->isVisible());
    ExpressionTestState *first = button.builder()->testState();
    first->setSampleValue(u"ID"_s, u"5"_s);
    button.builder()->testPanel()->runButton()->click();
    type(button.builder()->editor()->textView(), u"+"_s);
    EXPECT_EQ(field, u"+1"_s);

    // Done closes the sheet while the evaluation is still pending; its answer lands nowhere.
    button.builder()->doneButton()->click();
    EXPECT_FALSE(button.presentation()->isVisible());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(button.sheet(), nullptr);
    engine.answer({u"1"_s, std::nullopt});
    EXPECT_EQ(field, u"+1"_s);

    button.click();
    ASSERT_NE(button.builder(), nullptr);
    EXPECT_TRUE(button.builder()->testState()->sampleValues().isEmpty());
    EXPECT_EQ(button.builder()->testState()->resultValue(), std::nullopt);
    button.sheet()->reject(); // dismissed by the platform
    EXPECT_FALSE(button.presentation()->isVisible());
}

// An embedder's row: the field's text and the button beside it, gone together when the row is
// rebuilt.
struct Row : QWidget {
    Row(QWidget *window, SidecarModel *engine, int &writes)
        : QWidget(window), button(new ExpressionBuilderButton({[this] { return text; },
                                                               [this, &writes](const QString &t) {
                                                                   text = t;
                                                                   ++writes;
                                                               }},
                                                              report(), engine, this))
    {
    }
    QString text = u"1"_s;
    ExpressionBuilderButton *button;
};

TEST(ExpressionBuilderButtonTest, DeletingTheButtonWhileItsSheetIsOpenClosesTheSheet)
{
    QTemporaryDir dir;
    SidecarModel engine{PrivateWorkFolder(dir.path())};
    engine.setLocationProvider([] {
        return SidecarClient::Location{u"/nonexistent/java"_s, u"/nonexistent/sidecar.jar"_s};
    });
    QWidget window;
    window.show();
    int writes = 0;
    auto *row = new Row(&window, &engine, writes);
    row->button->click();
    QPointer<QDialog> sheet = row->button->sheet();
    QPointer<ExpressionBuilderView> builder = row->button->builder();
    ASSERT_TRUE(sheet && builder);
    ASSERT_TRUE(sheet->isVisible());
    type(builder->editor()->textView(), u"+"_s);
    EXPECT_EQ(row->text, u"+1"_s);
    EXPECT_EQ(writes, 1);

    delete row; // with its button, its text and the engine the button made for the builder
    ASSERT_TRUE(sheet);
    EXPECT_FALSE(sheet->isVisible()) << "the sheet closes with its button";

    // Until it is deleted, what is left of it reaches nothing of the row: typing, Run and Done
    // (the sanitizer build reports any read of the freed row or engine).
    type(builder->editor()->textView(), u"2"_s);
    builder->testPanel()->runButton()->click();
    builder->doneButton()->click();
    EXPECT_EQ(writes, 1);
    EXPECT_FALSE(engine.errorMessage()) << "no run reached the engine";
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(sheet.isNull());
    EXPECT_TRUE(builder.isNull());
}

TEST(ExpressionTestPanelTest, ValuesMessagesAndNamesShowAsTheyAre)
{
    ReportDocument document = report();
    document.fields.append(testsupport::field(u"<i>x</i>"_s, u"java.lang.String"_s));
    Builder builder(document, u"$F{<i>x</i>} + $F{<b>missing</b>}"_s);
    ExpressionTestPanel *panel = builder.view.testPanel();
    panel->runButton()->click();
    builder.engine.answer({u"<b>Total</b>"_s, std::nullopt});
    EXPECT_EQ(panel->resultLabel()->textFormat(), Qt::PlainText);
    EXPECT_EQ(panel->resultLabel()->text(), u"= <b>Total</b>"_s);
    panel->runButton()->click();
    builder.engine.answer({std::nullopt, u"<font color=red>bad</font>"_s});
    EXPECT_EQ(panel->errorLabel()->textFormat(), Qt::PlainText);
    EXPECT_EQ(panel->detailsLabel()->textFormat(), Qt::PlainText);

    // The sample box's name and the warning quote names from the report.
    QLineEdit *box = panel->sampleBox(u"$F{<i>x</i>}"_s);
    ASSERT_NE(box, nullptr);
    const QList<QLabel *> names = box->parentWidget()->findChildren<QLabel *>();
    ASSERT_EQ(names.size(), 1);
    EXPECT_EQ(names[0]->textFormat(), Qt::PlainText);
    int warnings = 0;
    for (const QLabel *label : builder.view.findChildren<QLabel *>()) {
        if (label->text().contains(u"<b>missing</b>"_s)) {
            EXPECT_EQ(label->textFormat(), Qt::PlainText);
            ++warnings;
        }
    }
    EXPECT_EQ(warnings, 1);
    // Chips show names as they are: tags in the tooltip as text, "&" as itself.
    QPushButton *chip = builder.view.chip(u"$F{<i>x</i>}"_s);
    ASSERT_NE(chip, nullptr);
    EXPECT_TRUE(chip->toolTip().contains(u"&lt;i&gt;x&lt;/i&gt;"_s))
        << chip->toolTip().toStdString();
    document.parameters.append(testsupport::parameter(u"A&B"_s, u"java.lang.String"_s));
    Builder ampersand(document);
    ASSERT_NE(ampersand.view.chip(u"$P{A&B}"_s), nullptr);
    EXPECT_EQ(ampersand.view.chip(u"$P{A&B}"_s)->text(), u"$P{A&&B}"_s);
}

} // namespace
