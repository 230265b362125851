#pragma once

#include "model/ReportElement.h"

#include <QList>
#include <QObject>

// Copied elements, held as values: later edits of the originals do not reach them and pasting
// leaves them as they are. One clipboard is shared by every tab of a workspace; it lives in
// memory only. Main thread only.
class ElementClipboard : public QObject {
    Q_OBJECT

public:
    explicit ElementClipboard(QObject *parent = nullptr);

    // In the order they were copied; empty at first.
    const QList<ReportElement> &elements() const { return elements_; }
    void setElements(const QList<ReportElement> &elements);

signals:
    void elementsChanged();

private:
    QList<ReportElement> elements_;
};
