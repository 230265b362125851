#pragma once

// The width of the data panel's query pane: the committed width and the offset of a divider
// drag in progress. Only the end of a drag commits; the pane follows the pointer meanwhile and
// never leaves 240...900 points. It lives as long as the panel is shown, so every opening
// starts at 367 points.
class DataPanelSplitState {
public:
    static constexpr double initialWidth = 367;
    static constexpr double minimumWidth = 240;
    static constexpr double maximumWidth = 900;

    double leftWidth() const { return leftWidth_; }
    double dragDelta() const { return dragDelta_; }
    // The width the query pane is given now.
    double effectiveWidth() const;

    // A drag in progress, `translation` points to the right of where it began.
    void drag(double translation) { dragDelta_ = translation; }
    // The drag ended there: the width is committed, clamped, and the offset returns to 0.
    void endDrag(double translation);

    static double clamped(double width);

private:
    double leftWidth_ = initialWidth;
    double dragDelta_ = 0;
};
