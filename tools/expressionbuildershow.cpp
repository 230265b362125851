// Shows the expression builder sheet for a report, for looking at it as a user would:
//   expressionbuildershow REPORT.jrxml [EXPRESSION] [--dark] [--run]
// The sheet opens from its button beside a one-line field, as in the inspector; Run uses the
// engine the application would find.

#include "ShowWindowPalette.h"
#include "editors/ExpressionBuilderButton.h"
#include "editors/ExpressionBuilderView.h"
#include "editors/ExpressionTestPanel.h"
#include "engine/SidecarModel.h"
#include "model/JrxmlCodec.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QStringList args = app.arguments();
    const bool dark = args.removeAll(QStringLiteral("--dark")) > 0;
    const bool run = args.removeAll(QStringLiteral("--run")) > 0;
    if (args.size() < 2) {
        std::fprintf(stderr,
                     "usage: expressionbuildershow REPORT.jrxml [EXPRESSION] [--dark] [--run]\n");
        return 2;
    }
    useShowWindowPalette(dark);
    QFile file(args.at(1));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(args.at(1)));
        return 1;
    }
    ReportDocument document;
    try {
        document = JrxmlCodec::parse(file.readAll());
    } catch (const JrxmlCodecError &) {
        std::fprintf(stderr, "cannot parse %s\n", qPrintable(args.at(1)));
        return 1;
    }
    SidecarModel sidecar;
    QWidget window;
    auto *row = new QHBoxLayout(&window);
    auto *field = new QLineEdit(args.value(2), &window);
    auto *button = new ExpressionBuilderButton(
        {[field] { return field->text(); }, [field](const QString &text) { field->setText(text); }},
        document, &sidecar, &window);
    row->addWidget(field, 1);
    row->addWidget(button);
    window.resize(700, 640);
    window.show();
    button->click();
    if (run && button->builder())
        button->builder()->testPanel()->runButton()->click();
    return app.exec();
}
