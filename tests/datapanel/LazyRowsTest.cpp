#include "DataCardsFixture.h"
#include "widgets/CardSection.h"
#include "widgets/LazyRowColumn.h"

#include <QScrollArea>
#include <QScrollBar>

using namespace storetest;

namespace {

const QString params = u"datapanel.params"_s;
const QString groups = u"datapanel.groups"_s;
const QString variables = u"datapanel.variables"_s;

// Long lists: their rows are built as the sheet scrolls to them.
class LazyRows : public DataCardsTest {
protected:
    void addParameters(int count)
    {
        ReportDocument document = store.document();
        for (int i = 0; i < count; ++i) {
            ReportParameter parameter;
            parameter.name = u"p"_s + QString::number(i);
            parameter.className = u"java.lang.String"_s;
            document.parameters.append(parameter);
        }
        store.setDocument(document);
        view->refresh();
        QApplication::processEvents();
    }

    QScrollBar *scrollBar() const { return view->cardColumn()->verticalScrollBar(); }

    // The control as it stands now, without scrolling to it.
    template <typename T> T *shown(const QString &name) const { return view->findChild<T *>(name); }

    // Whether the widget is inside the part of the card column on screen.
    bool onScreen(QWidget *widget) const
    {
        QWidget *viewport = view->cardColumn()->viewport();
        const QRect rect(widget->mapTo(viewport, QPoint(0, 0)), widget->size());
        return viewport->rect().intersects(rect);
    }
};

} // namespace

// With hundreds of parameters only the rows near what the sheet shows exist; scrolling with the
// keyboard brings the last rows in, showing their own items, and the rows in between stay
// unbuilt. Typing into a row built that way edits its item alone, one undo step per run.
TEST_F(LazyRows, RowsAppearAsTheSheetScrollsAndEditTheirOwnItem)
{
    addParameters(300);
    const QList<DataListRow *> atOpening = rows(DataPanelCard::parameters);
    ASSERT_EQ(atOpening.size(), 300);
    EXPECT_TRUE(atOpening.at(0));
    EXPECT_FALSE(atOpening.at(150)) << "a row far below the view is not built";
    EXPECT_FALSE(atOpening.at(299));
    EXPECT_FALSE(shown<QLineEdit>(row(params, 299, u"name"_s)));

    // To the bottom of the sheet, as the End key on the scroll bar does, then up to the last
    // parameter rows above the cards that follow.
    scrollBar()->setFocus();
    QTest::keyClick(scrollBar(), Qt::Key_End);
    QApplication::processEvents();
    auto *section = qobject_cast<DataListSection *>(view->cardContent(DataPanelCard::parameters));
    ASSERT_TRUE(section);
    const QRect last = section->rowColumn()->rowRect(299);
    while (scrollBar()->value() >
           section->rowColumn()->mapTo(view->cardColumn()->widget(), last.topLeft()).y()) {
        QTest::keyClick(scrollBar(), Qt::Key_PageUp);
        QApplication::processEvents();
    }
    auto *lastName = shown<QLineEdit>(row(params, 299, u"name"_s));
    ASSERT_TRUE(lastName) << "the last row came into view";
    EXPECT_TRUE(onScreen(lastName));
    EXPECT_EQ(lastName->text(), u"p299"_s);
    EXPECT_EQ(shown<QLineEdit>(row(params, 298, u"name"_s))->text(), u"p298"_s);
    EXPECT_FALSE(rows(DataPanelCard::parameters).at(150)) << "rows in between stay unbuilt";

    const ReportDocument before = store.document();
    const qsizetype steps = store.undoStack().size();
    lastName->setFocus();
    lastName->end(false);
    QTest::keyClicks(lastName, u"ab"_s);
    auto *other = shown<QLineEdit>(row(params, 298, u"name"_s));
    other->setFocus();
    other->end(false);
    QTest::keyClick(other, Qt::Key_C);
    for (qsizetype i = 0; i < 298; ++i)
        ASSERT_EQ(store.document().parameters.at(i), before.parameters.at(i)) << i;
    EXPECT_EQ(store.document().parameters.at(298).name, u"p298c"_s);
    EXPECT_EQ(store.document().parameters.at(299).name, u"p299ab"_s);
    EXPECT_EQ(lastName->text(), u"p299ab"_s);

    store.undo();
    EXPECT_EQ(store.document().parameters.at(298).name, u"p298"_s);
    EXPECT_EQ(store.document().parameters.at(299).name, u"p299ab"_s) << "one step per run";
    EXPECT_EQ(shown<QLineEdit>(row(params, 298, u"name"_s))->text(), u"p298"_s);
    store.undo();
    EXPECT_EQ(store.document(), before);
    EXPECT_EQ(store.undoStack().size(), steps);
    EXPECT_EQ(lastName->text(), u"p299"_s);
}

// A row that grows a line (a parameter turned into a date range) pushes the rows under it down, and
// one that is removed lets the next take its place; built rows never overlap.
TEST_F(LazyRows, BuiltRowsMakeRoomForEachOther)
{
    addParameters(3);
    const auto gap = [this](int upper) {
        QWidget *a = rows(DataPanelCard::parameters).at(upper);
        QWidget *b = rows(DataPanelCard::parameters).at(upper + 1);
        return b->geometry().top() - a->geometry().bottom() - 1;
    };
    find<QWidget>(row(params, 2, u"name"_s));
    ASSERT_EQ(gap(0), CardSection::spacing);
    type(row(params, 0, u"className"_s), u"net.sf.jasperreports.types.date.DateRange"_s);
    QApplication::processEvents();
    ASSERT_TRUE(find<QWidget>(row(params, 0, u"relativeDateLine"_s))->isVisible());
    EXPECT_EQ(gap(0), CardSection::spacing);
    EXPECT_EQ(gap(1), CardSection::spacing);

    remove(params, 1);
    QApplication::processEvents();
    EXPECT_EQ(find<QLineEdit>(row(params, 1, u"name"_s))->text(), u"p2"_s);
    EXPECT_EQ(gap(0), CardSection::spacing);
}

// Typing into a group's name renames it in the variables that are reset or incremented by it,
// and their pickers show the new name at once; the other variables' pickers keep theirs.
TEST_F(LazyRows, AKeystrokeInAGroupNameShowsInWhatNamesTheGroup)
{
    openReport("<variable name=\"a\" class=\"java.lang.Integer\" resetType=\"Group\" "
               "resetGroup=\"Area\" incrementType=\"Group\" incrementGroup=\"Area\"/>"
               "<variable name=\"b\" class=\"java.lang.Integer\" resetType=\"Group\" "
               "resetGroup=\"Region\"/>"
               "<group name=\"Region\"><groupExpression>$F{r}</groupExpression></group>"
               "<group name=\"Area\"><groupExpression>$F{a}</groupExpression></group>");
    auto *reset = find<QComboBox>(row(variables, 0, u"resetGroup"_s));
    auto *increment = find<QComboBox>(row(variables, 0, u"incrementGroup"_s));
    auto *other = find<QComboBox>(row(variables, 1, u"resetGroup"_s));
    ASSERT_TRUE(reset && increment && other);
    ASSERT_EQ(reset->currentText(), u"Area"_s);
    ASSERT_EQ(other->currentText(), u"Region"_s);

    typeKeepingFocus(row(groups, 1, u"name"_s), u"s"_s);
    EXPECT_EQ(store.document().groups.at(1).name, u"Areas"_s);
    EXPECT_EQ(store.document().variables.at(0).resetGroup, u"Areas"_s);
    EXPECT_EQ(find<QComboBox>(row(variables, 0, u"resetGroup"_s)), reset) << "the row stays";
    EXPECT_EQ(reset->currentText(), u"Areas"_s);
    EXPECT_EQ(increment->currentText(), u"Areas"_s);
    EXPECT_EQ(other->currentText(), u"Region"_s);
    EXPECT_EQ(reset->findText(u"Area"_s), -1) << "no picker offers the old name";
    EXPECT_EQ(other->findText(u"Areas"_s), 2);

    // A group added later is offered by every picker, and choosing it is written.
    click(groups + u".add"_s);
    EXPECT_EQ(other->count(), 4);
    choose(row(variables, 1, u"resetGroup"_s), u"Group1"_s);
    EXPECT_EQ(store.document().variables.at(1).resetGroup, u"Group1"_s);
    EXPECT_EQ(reset->currentText(), u"Areas"_s);
}

// Tab goes through the rows in list order, also through rows built long after the sheet
// opened and out of order, and through a row's controls as they stand: from the last
// parameter's last control to "Add Parameter", and back with Shift+Tab to the row above.
TEST_F(LazyRows, TabFollowsTheListWhateverOrderRowsWereBuiltIn)
{
    addParameters(200);
    auto *lastDescription = find<QLineEdit>(row(params, 199, u"description"_s));
    auto *aboveDescription = find<QLineEdit>(row(params, 198, u"description"_s));
    auto *lastName = find<QLineEdit>(row(params, 199, u"name"_s));
    ASSERT_TRUE(lastDescription && aboveDescription && lastName);
    // Built after the last rows: the rows of the middle.
    auto *middleName = find<QLineEdit>(row(params, 100, u"name"_s));
    auto *middleClass = find<QLineEdit>(row(params, 100, u"className"_s));
    auto *beforeMiddle = find<QLineEdit>(row(params, 99, u"description"_s));
    ASSERT_TRUE(middleName && middleClass && beforeMiddle);

    lastDescription->setFocus();
    QTest::keyClick(lastDescription, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), find<QWidget>(params + u".add"_s));

    beforeMiddle->setFocus();
    QTest::keyClick(beforeMiddle, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), middleName);
    QTest::keyClick(middleName, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), middleClass);

    lastName->setFocus();
    QTest::keyClick(lastName, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), aboveDescription);
}

// A row is as wide as its values make it: a variable row built with all its pickers and then
// showing only some leaves the column as narrow as before, with no sideways scrolling.
TEST_F(LazyRows, TheColumnKeepsToTheWidthOfWhatTheRowsShow)
{
    QByteArray variables;
    for (int i = 0; i < 40; ++i)
        variables += "<variable name=\"v" + QByteArray::number(i) +
                     "\" class=\"java.lang.Integer\" resetType=\"Group\" resetGroup=\"Area\"/>";
    openReport(variables + "<group name=\"Area\"><groupExpression>$F{a}</groupExpression></group>");
    // The sheet opened on the report, as the window opens it.
    view = std::make_unique<DataPanelView>(
        &store, *settings, nullptr, nullptr, [] {}, nullptr, &dialogs);
    view->resize(DataPanelView::idealWidth, DataPanelView::idealHeight);
    view->show();
    QScrollArea *column = view->cardColumn();
    // The layouts up to the scroll area settle over a few turns of the event loop.
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return column->widget()->width() <= column->viewport()->width(); }));
    EXPECT_LE(column->widget()->width(), column->viewport()->width());
    EXPECT_FALSE(column->horizontalScrollBar()->isVisible());
}
