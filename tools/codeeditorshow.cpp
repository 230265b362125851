// Shows the code editor on a file, for looking at it as a user would:
//   codeeditorshow xml|sql|java FILE [--dark]
// The window uses the Fusion style with a light palette, or a dark one with --dark.

#include "editors/CodeEditorView.h"
#include "editors/JavaExpressionSyntaxHighlighter.h"
#include "editors/SQLSyntaxHighlighter.h"
#include "editors/XMLSyntaxHighlighter.h"

#include "ShowWindowPalette.h"

#include <QFile>
#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: codeeditorshow xml|sql|java FILE [--dark]\n");
        return 2;
    }
    useShowWindowPalette(args.contains(QStringLiteral("--dark")));
    const QString scheme = args.at(1);
    const CodeSyntaxHighlighting &colours = scheme == u"sql" ? SQLSyntaxHighlighter::scheme()
                                            : scheme == u"java"
                                                ? JavaExpressionSyntaxHighlighter::scheme()
                                                : XMLSyntaxHighlighter::scheme();
    QFile file(args.at(2));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(args.at(2)));
        return 1;
    }
    CodeEditorView editor(colours, true);
    editor.setText(QString::fromUtf8(file.readAll()));
    editor.setWindowTitle(args.at(2));
    editor.resize(1000, 640);
    editor.show();
    return app.exec();
}
