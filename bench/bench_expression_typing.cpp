// Typing a long expression in the expression builder over the whole designer window, with the
// inspector showing the text field: every key writes the element, and the inspector, the canvas
// and the outline follow. The figure is the time per key at the end of the typing.

#include "DesignerWindow.h"
#include "GuiBenchMain.h"
#include "editors/CodeEditorView.h"
#include "editors/CodeTextView.h"
#include "editors/ExpressionBuilderButton.h"
#include "editors/ExpressionBuilderView.h"

#include <QKeyEvent>
#include <benchmark/benchmark.h>

namespace {

const QByteArray report = R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="Typing"
    pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20"
    topMargin="20" bottomMargin="20">
  <detail>
    <band height="60">
      <textField>
        <reportElement x="0" y="0" width="300" height="20"/>
        <textFieldExpression><![CDATA[]]></textFieldExpression>
      </textField>
    </band>
  </detail>
</jasperReport>
)";

// One key as the window system delivers it: pressed and released on the focus widget.
void typeKey(QChar character)
{
    QWidget *focus = QApplication::focusWidget();
    if (!focus)
        return;
    const int key = character == u' ' ? int(Qt::Key_Space) : int(character.toUpper().unicode());
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(character));
    QApplication::sendEvent(focus, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(character));
    QApplication::sendEvent(focus, &release);
    DesignerWindow::settle();
}

void BM_TypeInExpressionBuilder(benchmark::State &state)
{
    const qsizetype count = state.range(0);
    const QString words = QStringLiteral("lorem ipsum dolor sit amet consectetur adipiscing ");
    const qsizetype timedKeys = 200;
    for (auto _ : state) {
        DesignerWindow window;
        if (!window.checkSize(state))
            return;
        window.open(report);
        DocumentStore *store = window.store();
        const QUuid id = store->document().detailBands.first().elements.first().id;
        store->setSelectedElementIDs({id});
        DesignerWindow::settle();
        auto *button = DesignerWindow::find<ExpressionBuilderButton>(
            QStringLiteral("inspector.expression.builder"));
        if (!button) {
            state.SkipWithError("the inspector shows no expression builder button");
            return;
        }
        button->click();
        DesignerWindow::settle();
        if (!button->builder()) {
            state.SkipWithError("the expression builder did not open");
            return;
        }
        button->builder()->editor()->textView()->setFocus();
        DesignerWindow::settle();
        typeKey(u'"');
        QElapsedTimer clock;
        double first = 0;
        for (qsizetype i = 1; i < count - 1; ++i) {
            if (i == 1 || i == count - 1 - timedKeys)
                clock.start();
            typeKey(words.at(i % words.size()));
            if (i == timedKeys)
                first = double(clock.nsecsElapsed()) / 1e9 / double(timedKeys);
        }
        const double last = double(clock.nsecsElapsed()) / 1e9 / double(timedKeys);
        typeKey(u'"');
        state.SetIterationTime(last);
        state.counters["first_key_ms"] = first * 1000;
        state.counters["last_key_ms"] = last * 1000;
        const auto *field = store->document()
                                .detailBands.first()
                                .elements.first()
                                .kind.as<ElementKind::TextField>();
        if (!field || field->expression.size() != count)
            state.SkipWithError("the typed expression did not reach the element");
    }
}
BENCHMARK(BM_TypeInExpressionBuilder)
    ->Arg(3000)
    ->Arg(6000)
    ->Arg(20000)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

QUILLMARK_GUI_BENCHMARK_MAIN()
