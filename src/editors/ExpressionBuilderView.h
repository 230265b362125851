#pragma once

#include "TextBinding.h"
#include "model/ReportDocument.h"

#include <QWidget>

class CodeEditorView;
class ExpressionEngine;
class ExpressionTestPanel;
class ExpressionTestState;
class PendingInsertion;
class QLabel;
class QPushButton;
class QVBoxLayout;

// The sheet in which one expression of the report is written with help: a Java-coloured editor
// with reference completion, live warnings, a test panel, and chips that drop the report's
// fields, parameters, variables and ready-made snippets at the cursor. Every edit goes through
// the binding at once; "Done" only runs `onDone`.
class ExpressionBuilderView : public QWidget {
    Q_OBJECT
public:
    ExpressionBuilderView(TextBinding expression, const ReportDocument &document,
                          ExpressionEngine *engine, std::function<void()> onDone,
                          QWidget *parent = nullptr);

    // The names offered after "$F{", "$P{" and "$V{" (declared variables, then the five built-in
    // ones); nothing for any other letter.
    QStringList tokenCompletions(QChar letter) const;

    CodeEditorView *editor() const { return editor_; }
    ExpressionTestPanel *testPanel() const { return testPanel_; }
    ExpressionTestState *testState() const { return testState_; }
    QPushButton *doneButton() const { return done_; }
    // The warning texts shown, in order.
    QStringList warnings() const;
    // The chip of a token ("$F{Amount}") or snippet label, if shown.
    QPushButton *chip(const QString &title) const;
    // The section titles shown in the chip area, in order.
    QStringList sectionTitles() const;

    QSize sizeHint() const override { return {560, 560}; }

    // Cuts the builder off from its presenter, whose binding, engine and Done action may be about
    // to go: later edits reach no binding, "Done" does nothing and the test no longer runs.
    void release();

private:
    void expressionEdited(const QString &text);
    void refreshWarnings(const QString &text);
    QWidget *chipArea();
    void addSection(QVBoxLayout *column, const QString &title, int minimumColumnWidth,
                    const QList<std::pair<QString, QString>> &chips, bool monospaced);

    TextBinding expression_;
    std::function<void()> onDone_;
    ReportDocument document_;
    ExpressionTestState *testState_;
    PendingInsertion *pendingInsertion_;
    QPushButton *done_;
    CodeEditorView *editor_;
    QWidget *warnings_;
    ExpressionTestPanel *testPanel_;
    QStringList shownWarnings_;
    QStringList sectionTitles_;
};
