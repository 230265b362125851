// Shows the code editor on a file, for looking at it as a user would:
//   codeeditorshow xml|sql|java FILE [--dark]
// The window uses the Fusion style with a light palette, or a dark one with --dark.

#include "editors/CodeEditorView.h"
#include "editors/JavaExpressionSyntaxHighlighter.h"
#include "editors/SQLSyntaxHighlighter.h"
#include "editors/XMLSyntaxHighlighter.h"

#include <QApplication>
#include <QFile>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <cstdio>

namespace {

QPalette darkPalette()
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(0x2B, 0x2B, 0x2E));
    p.setColor(QPalette::WindowText, QColor(0xE6, 0xE6, 0xE6));
    p.setColor(QPalette::Base, QColor(0x1E, 0x1E, 0x20));
    p.setColor(QPalette::AlternateBase, QColor(0x2B, 0x2B, 0x2E));
    p.setColor(QPalette::Text, QColor(0xE6, 0xE6, 0xE6));
    p.setColor(QPalette::Button, QColor(0x3A, 0x3A, 0x3D));
    p.setColor(QPalette::ButtonText, QColor(0xE6, 0xE6, 0xE6));
    p.setColor(QPalette::Highlight, QColor(0x2F, 0x6F, 0xDB));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::PlaceholderText, QColor(0x8A, 0x8A, 0x8E));
    p.setColor(QPalette::Mid, QColor(0x44, 0x44, 0x48));
    return p;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: codeeditorshow xml|sql|java FILE [--dark]\n");
        return 2;
    }
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(args.contains(QStringLiteral("--dark"))
                                 ? darkPalette()
                                 : QApplication::style()->standardPalette());
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
