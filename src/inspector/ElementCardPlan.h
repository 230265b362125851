#pragma once

#include "model/ReportElement.h"

#include <QList>
#include <QString>

// The parts an element's column shows after its Visibility card, by kind.
enum class ElementSection {
    text,       // the static text itself
    font,       // markup, text colour, highlight of a text element
    expression, // a text field's expression
    format,     // a text field's pattern and formatting
    padding,
    borders,
    imageExpression,
    evaluation, // evaluation time and group
    subreportFile,
    dataSource,
    subreportParameters,
    fill,      // a frame's background colour
    frameNote, // no card: the number of a frame's children
    list,
    datasetParameters,
    listNote, // no card: the number of a list's children
    table,
    columns,
    noData,
    breakType,
    rawKindNotice, // chart, crosstab, other component, generic element
    shape,         // line width and colours of a rectangle, ellipse or line
};

// One part of the plan: a card with its title as given to the section card, or a note without
// a card (empty title).
struct PlannedSection {
    ElementSection section;
    QString title;

    bool isCard() const { return !title.isEmpty(); }
    bool operator==(const PlannedSection &) const = default;
};

// The parts of an element of this kind, in order. Only the kind's case decides; nothing else
// of the element adds or removes a part.
QList<PlannedSection> elementCardPlan(const ElementKind &kind);

// A stable name for the part, used in the object names of its widgets ("inspector.padding").
QString sectionName(ElementSection section);
