// The "Report Data" sheet on reports with long lists: opening it with thousands of parameters
// and fields, or with many variables and groups, and one keystroke in a group's name, which
// renames what names the group, in the sheet alone and over the whole designer window. Each
// measurement includes the layout and paint of what is on screen.

#include "DesignerWindow.h"
#include "GuiBenchMain.h"
#include "ModelFixtures.h"
#include "app/ContentView.h"
#include "datapanel/DataPanelSheet.h"
#include "datapanel/DataPanelView.h"
#include "document/DocumentStore.h"
#include "model/JrxmlCodec.h"
#include "workspace/AppSettings.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

void drawNow(QWidget &widget)
{
    QCoreApplication::processEvents();
    widget.repaint();
}

ReportDocument withParametersAndFields(int count)
{
    ReportDocument document;
    document.name = u"Long lists"_s;
    for (int i = 0; i < count; ++i) {
        ReportParameter parameter;
        parameter.name = u"param"_s + QString::number(i);
        parameter.className =
            i % 5 == 0 ? u"net.sf.jasperreports.types.date.DateRange"_s : u"java.lang.String"_s;
        parameter.isForPrompting = true;
        document.parameters.append(parameter);
        ReportField field;
        field.name = u"field"_s + QString::number(i);
        field.className = u"java.math.BigDecimal"_s;
        document.fields.append(field);
    }
    return document;
}

// `groups` groups, and `variables` variables each reset by one of them.
ReportDocument withVariablesAndGroups(int variables, int groups)
{
    ReportDocument document;
    document.name = u"Groups"_s;
    for (int i = 0; i < groups; ++i) {
        ReportGroup group;
        group.name = u"Group"_s + QString::number(i);
        group.expression = u"$F{field"_s + QString::number(i) + u'}';
        group.headerHeight = 20;
        group.footerHeight = 20;
        document.groups.append(group);
    }
    for (int i = 0; i < variables; ++i) {
        ReportVariable variable;
        variable.name = u"var"_s + QString::number(i);
        variable.className = u"java.math.BigDecimal"_s;
        variable.calculation = u"Sum"_s;
        variable.resetType = u"Group"_s;
        variable.resetGroup = u"Group"_s + QString::number(i % groups);
        variable.expression = u"$F{amount}"_s;
        document.variables.append(variable);
    }
    return document;
}

// `styles` styles, every fourth with a conditional style, and `subDatasets` sub-datasets, each
// with a query and a few parameters, fields and variables.
ReportDocument withStylesAndSubDatasets(int styles, int subDatasets)
{
    ReportDocument document;
    document.name = u"Styles"_s;
    for (int i = 0; i < styles; ++i) {
        ReportStyle style;
        style.name = u"Style"_s + QString::number(i);
        style.fontSize = 8 + i % 10;
        style.isBold = i % 3 == 0;
        if (i % 4 == 0) {
            ConditionalStyleRule conditional;
            conditional.conditionExpression = u"$V{REPORT_COUNT} % 2 == 0"_s;
            conditional.isItalic = true;
            style.conditionalStyles.append(conditional);
        }
        document.styles.append(style);
    }
    for (int i = 0; i < subDatasets; ++i) {
        ReportSubDataset dataset;
        dataset.name = u"Dataset"_s + QString::number(i);
        dataset.queryString = u"SELECT id, name, amount FROM orders WHERE region = $P{region}"_s;
        for (int j = 0; j < 3; ++j) {
            ReportParameter parameter;
            parameter.name = u"param"_s + QString::number(j);
            parameter.className = u"java.lang.String"_s;
            dataset.parameters.append(parameter);
            ReportField field;
            field.name = u"field"_s + QString::number(j);
            field.className = u"java.lang.String"_s;
            dataset.fields.append(field);
        }
        ReportVariable variable;
        variable.name = u"total"_s;
        variable.className = u"java.math.BigDecimal"_s;
        variable.calculation = u"Sum"_s;
        dataset.variables.append(variable);
        document.subDatasets.append(dataset);
    }
    return document;
}

// The sheet as the main window shows it, at its ideal size.
struct OpenSheet {
    explicit OpenSheet(DocumentStore &store)
        : view(
              &store, settings, nullptr, nullptr, [] {}, nullptr)
    {
        view.resize(DataPanelView::idealWidth, DataPanelView::idealHeight);
        view.show();
        drawNow(view);
    }

    QTemporaryDir documents;
    AppSettings settings{std::optional<QString>(documents.path())};
    DataPanelView view;
};

void BM_DataPanelOpenParametersAndFields(benchmark::State &state)
{
    QStandardPaths::setTestModeEnabled(true);
    DocumentStore store;
    store.setDocument(withParametersAndFields(int(state.range(0))));
    for (auto _ : state)
        OpenSheet sheet(store);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_DataPanelOpenParametersAndFields)
    ->Arg(500)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

void BM_DataPanelOpenVariablesAndGroups(benchmark::State &state)
{
    QStandardPaths::setTestModeEnabled(true);
    DocumentStore store;
    store.setDocument(withVariablesAndGroups(int(state.range(0)), int(state.range(1))));
    for (auto _ : state)
        OpenSheet sheet(store);
}
BENCHMARK(BM_DataPanelOpenVariablesAndGroups)->Args({200, 40})->Unit(benchmark::kMillisecond);

// Opening the sheet on a report with many styles and sub-datasets; the goal is 150 ms.
void BM_DataPanelOpenStylesAndSubDatasets(benchmark::State &state)
{
    QStandardPaths::setTestModeEnabled(true);
    DocumentStore store;
    store.setDocument(withStylesAndSubDatasets(int(state.range(0)), int(state.range(1))));
    for (auto _ : state)
        OpenSheet sheet(store);
    state.counters["goal_ms"] = 150;
}
BENCHMARK(BM_DataPanelOpenStylesAndSubDatasets)
    ->ArgNames({"styles", "subDatasets"})
    ->Args({500, 0})
    ->Args({0, 100})
    ->Args({500, 100})
    ->Unit(benchmark::kMillisecond);

// One page down the card column of the sheet with 2,000 parameters and fields, building the
// rows that come into view.
void BM_DataPanelScrollPage(benchmark::State &state)
{
    QStandardPaths::setTestModeEnabled(true);
    DocumentStore store;
    store.setDocument(withParametersAndFields(int(state.range(0))));
    OpenSheet sheet(store);
    QScrollBar *bar = sheet.view.cardColumn()->verticalScrollBar();
    for (auto _ : state) {
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        drawNow(sheet.view);
    }
    if (bar->value() == 0)
        qFatal("the sheet did not scroll");
}
BENCHMARK(BM_DataPanelScrollPage)->Arg(2000)->Iterations(150)->Unit(benchmark::kMillisecond);

void press(QWidget *target, Qt::Key key, const QString &text)
{
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &up);
}

// One key typed at the end of the first group's name, then taken back with Backspace: every
// variable reset by that group follows its name, and the sheet shows both.
void BM_DataPanelGroupNameKeystroke(benchmark::State &state)
{
    QStandardPaths::setTestModeEnabled(true);
    DocumentStore store;
    store.setDocument(withVariablesAndGroups(int(state.range(0)), int(state.range(1))));
    OpenSheet sheet(store);
    const QString fieldName = u"datapanel.groups.row0.name"_s;
    auto *field = sheet.view.findChild<QLineEdit *>(fieldName);
    if (!field)
        qFatal("the first group's name field is missing");
    sheet.view.cardColumn()->ensureWidgetVisible(field);
    field->setFocus();
    field->end(false);
    drawNow(sheet.view);
    bool typed = false;
    for (auto _ : state) {
        if (typed)
            press(field, Qt::Key_Backspace, QString());
        else
            press(field, Qt::Key_X, u"x"_s);
        typed = !typed;
        drawNow(sheet.view);
    }
    if (store.document().groups.first().name.startsWith(u"Group0"_s) == false)
        qFatal("the keystrokes did not reach the group's name");
}
BENCHMARK(BM_DataPanelGroupNameKeystroke)->Args({200, 40})->Unit(benchmark::kMillisecond);

// The same keystrokes with the sheet open over the designer window, whose canvas, outline,
// inspector and tab follow the report; the time runs until the window has drawn what changed.
// The figure is the median keystroke; the goal is 8 ms.
void BM_DataPanelGroupNameKeystrokeInWindow(benchmark::State &state)
{
    DesignerWindow window;
    if (!window.checkSize(state))
        return;
    window.open(
        JrxmlCodec::serialize(withVariablesAndGroups(int(state.range(0)), int(state.range(1)))));
    window.app().workspace().setIsDataPanelVisible(true);
    DesignerWindow::settle();
    DataPanelView *view = window.app().contentView()->dataPanelSheet()->view();
    auto *field = view ? view->findChild<QLineEdit *>(u"datapanel.groups.row0.name"_s) : nullptr;
    if (!field) {
        state.SkipWithError("the sheet shows no name field of the first group");
        return;
    }
    view->cardColumn()->ensureWidgetVisible(field);
    field->setFocus();
    field->end(false);
    DesignerWindow::settle();
    QList<double> keys;
    bool typed = false;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        if (typed)
            press(field, Qt::Key_Backspace, QString());
        else
            press(field, Qt::Key_X, u"x"_s);
        typed = !typed;
        DesignerWindow::settle();
        keys.append(double(clock.nsecsElapsed()) / 1e6);
    }
    if (!window.store()->document().groups.first().name.startsWith(u"Group0"_s) ||
        !window.store()->canUndo()) {
        state.SkipWithError("the keystrokes did not reach the group's name");
        return;
    }
    std::sort(keys.begin(), keys.end());
    state.counters["medianMs"] = keys.value(keys.size() / 2);
    state.counters["goalMs"] = 8;
}
BENCHMARK(BM_DataPanelGroupNameKeystrokeInWindow)
    ->ArgNames({"variables", "groups", "elements"})
    ->Args({200, 40, 0})
    ->Args({200, 40, 1000})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2);

} // namespace

QUILLMARK_GUI_BENCHMARK_MAIN()
