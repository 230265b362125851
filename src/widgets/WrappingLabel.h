#pragma once

#include <QLabel>

class QTextLayout;

// A label of plain text that wraps at word boundaries and, where a word (a web address, a path)
// is wider than the label, inside the word: its text shows whole in the width it is given, as
// tall as it needs, never running out under its neighbours.
class WrappingLabel : public QLabel {
    Q_OBJECT
public:
    explicit WrappingLabel(QWidget *parent = nullptr);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // Lays the text out in lines of `width`; the height they take.
    qreal layOut(QTextLayout &layout, qreal width) const;
};
