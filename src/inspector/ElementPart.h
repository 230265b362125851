#pragma once

class QWidget;
struct ReportDocument;
struct ReportElement;

// One part of the element inspector's column (a card or a note). It is built for one element
// and kind and keeps its widgets while that element stays selected; refresh() shows the
// element's new values in them. Writes go through the ElementWriter the part was built with.
class ElementPart {
public:
    virtual ~ElementPart() = default;

    virtual QWidget *widget() = 0;
    virtual void refresh(const ReportElement &element, const ReportDocument &document) = 0;
};
