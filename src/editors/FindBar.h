#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class PlainTextEdit;

// The inline find bar above a code editor's text: a search field with Previous, Next and Done.
// Matching ignores letter case and wraps around the text; a long line held in pieces is searched
// whole.
class FindBar : public QWidget {
    Q_OBJECT
public:
    explicit FindBar(PlainTextEdit *textView, QWidget *parent = nullptr);

    // Shows the bar and puts the keyboard focus in its field, with the field's text selected.
    void activate();
    // Selects the next or previous match of the field's text; false when there is none.
    bool findNext();
    bool findPrevious();

    QLineEdit *field() const { return field_; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool find(bool backward);

    PlainTextEdit *textView_;
    QLineEdit *field_;
    QLabel *status_;
};
