#pragma once

#include <QPointer>
#include <QWidget>

class CodeTextView;

// The gutter of a code editor: one number per logical line, level with the line's first row; a
// wrapped line gets one number, and an empty last line after a final line break gets none.
class LineNumberRulerView : public QWidget {
    Q_OBJECT
public:
    explicit LineNumberRulerView(CodeTextView *textView);

    struct Label {
        int number;
        qreal y;      // top of the line's first row, in the gutter
        qreal ascent; // of that row, to share its baseline
        bool operator==(const Label &) const = default;
    };
    // The numbers of the lines that show, top to bottom, with the top of their first row.
    QList<Label> visibleLabels() const;

    // 36 points, or wider when the largest number needs it.
    int preferredWidth() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QFont labelFont() const;

    QPointer<CodeTextView> codeTextView_;
};
