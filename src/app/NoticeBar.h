#pragma once

#include <QWidget>

class QLabel;

// A bar above the working area that tells the user something about the active report: a
// warning sign, the text, and a Dismiss button. Hidden while it has nothing to tell.
class NoticeBar : public QWidget {
    Q_OBJECT

public:
    explicit NoticeBar(QWidget *parent = nullptr);

    // What the bar tells while it is shown; empty while hidden.
    QString text() const;

protected:
    // Shows the bar with `text`, or hides it for an empty text.
    void tell(const QString &text);
    // What the Dismiss button does: hides the bar.
    virtual void dismiss();

private:
    QLabel *label_;
};
