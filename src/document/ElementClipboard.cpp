#include "document/ElementClipboard.h"

ElementClipboard::ElementClipboard(QObject *parent) : QObject(parent) {}

void ElementClipboard::setElements(const QList<ReportElement> &elements)
{
    if (elements_ == elements)
        return;
    elements_ = elements;
    emit elementsChanged();
}
