#pragma once

#include "model/ReportEnums.h"

#include <QString>
#include <QStringList>
#include <optional>

class DocumentStore;

// What the format toolbar shows: the values of the first selected text element (static text
// or text field, found at any depth), or the controls' defaults when none is selected.
struct FormatToolbarValues {
    static constexpr double minimumSize = 6;
    static constexpr double maximumSize = 96;

    bool hasTextElement = false;
    QString fontName = QStringLiteral("Arial");
    double fontSize = 10;
    bool isBold = false;
    bool isItalic = false;
    bool isUnderline = false;
    TextAlignment textAlignment = TextAlignment::left;
    VerticalTextAlignment verticalAlignment = VerticalTextAlignment::top;

    static FormatToolbarValues of(const DocumentStore &store);

    // The eight font names of styles, and the shown name after them when it is none of them.
    QStringList fontOptions() const;
    // The size as a whole number, or with its fraction to two places at most ("11.5"); a
    // placeholder for a size that is not a finite number or whose whole part does not fit a
    // 64-bit integer.
    static QString sizeLabel(double size);
    // The size one step up or down, kept within 6 to 96. A size that is not a finite number
    // steps from the default 10. No value when the step would change nothing.
    static std::optional<double> steppedSize(double size, int step);
};
