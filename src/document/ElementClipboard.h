#pragma once

#include "model/ReportElement.h"

#include <QList>
#include <QObject>
#include <QString>

// Copied elements, held as values: later edits of the originals do not reach them and pasting
// leaves them as they are. One clipboard is shared by every tab of a workspace; it lives in
// memory only. Main thread only.
class ElementClipboard : public QObject {
    Q_OBJECT

public:
    explicit ElementClipboard(QObject *parent = nullptr);

    // In the order they were copied; empty at first.
    const QList<ReportElement> &elements() const { return elements_; }
    // `language`: that of the expressions of the report they were copied from; empty when not
    // known.
    void setElements(const QList<ReportElement> &elements, const QString &language = {});
    const QString &language() const { return language_; }

signals:
    void elementsChanged();

private:
    QList<ReportElement> elements_;
    QString language_;
};
