#pragma once

#include <QWidget>

class QBoxLayout;
class QFrame;

// The row of the element palette, the format toolbar and the align and distribute toolbar:
// one row when the three fit the width, else two rows (format and align above, palette below).
class ToolStrip : public QWidget {
    Q_OBJECT

public:
    ToolStrip(QWidget *palette, QWidget *format, QWidget *align, QWidget *parent = nullptr);

    bool isTwoRows() const { return twoRows_; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void arrange(bool twoRows);

    QWidget *palette_;
    QWidget *format_;
    QWidget *align_;
    QBoxLayout *firstRow_;
    QBoxLayout *secondRow_;
    QFrame *divider_;
    bool twoRows_ = false;
    bool arranged_ = false;
};
