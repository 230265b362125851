#pragma once

#include "ReportElement.h"

#include <QString>
#include <optional>

// What an element takes from the style it names (or the report's default style) where it says
// nothing itself, as the engine resolves it: each value from the style, else from its parent
// style, and so on up the chain. No value where no style of the chain sets one. The reader's
// working value: the model holds what elements end up with.
struct InheritedStyle {
    // A pen's parts, each resolved on its own.
    struct Pen {
        std::optional<double> width;
        std::optional<PenLineStyle> style;
        std::optional<ElementColor> color;
        bool isEmpty() const { return !width && !style && !color; }
        bool operator==(const Pen &) const = default;
    };

    std::optional<bool> isOpaque; // the fill mode
    std::optional<ElementColor> foreColor;
    std::optional<ElementColor> backColor;
    std::optional<QString> fontName;
    std::optional<double> fontSize;
    std::optional<bool> isBold;
    std::optional<bool> isItalic;
    std::optional<bool> isUnderline;
    std::optional<QString> pdfFontName;
    std::optional<QString> pdfEncoding;
    std::optional<bool> isPdfEmbedded;
    std::optional<TextAlignment> textAlignment;
    std::optional<VerticalTextAlignment> verticalAlignment;
    // The line pen of lines and shapes.
    Pen linePen;
    // The fore colour of the topmost style of the chain that sets one: a pen that neither the
    // element nor any style of the chain colours is drawn in it, before the element's own.
    std::optional<ElementColor> penFallbackColor;
    // The box sides, top, left, bottom, right; where a style's side says nothing its box pen
    // stands for it.
    Pen sides[4];
    // The paddings, left, right, top, bottom (the model's order).
    std::optional<double> paddings[4];
    // Whether any style of the chain gives the box anything (a side or a padding).
    bool hasBox = false;

    bool operator==(const InheritedStyle &) const = default;
};
