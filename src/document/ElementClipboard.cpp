#include "document/ElementClipboard.h"

ElementClipboard::ElementClipboard(QObject *parent) : QObject(parent) {}

void ElementClipboard::setElements(const QList<ReportElement> &elements, const QString &language)
{
    if (elements_ == elements && language_ == language)
        return;
    elements_ = elements;
    language_ = language;
    emit elementsChanged();
}
