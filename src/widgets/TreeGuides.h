#pragma once

#include <QWidget>

// The blank indentation at the front of a tree row: 14 points per nesting level, 20 tall.
class TreeGuides : public QWidget {
    Q_OBJECT

public:
    static constexpr int indentPerLevel = 14;
    static constexpr int rowHeight = 20;

    explicit TreeGuides(int depth, QWidget *parent = nullptr);

    int depth() const { return depth_; }
    // The width of the indentation of a row at `depth`.
    static constexpr int width(int depth) { return depth > 0 ? depth * indentPerLevel : 0; }

private:
    int depth_;
};
