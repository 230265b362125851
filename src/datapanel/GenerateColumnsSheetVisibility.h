#pragma once

#include <QObject>

// Whether the data panel shows the Generate Columns sheet. It belongs to the panel (one per
// opening, made on first use) and starts hidden; the Fields card's "Generate Columns..." shows
// it and the sheet hides it when it is dismissed.
class GenerateColumnsSheetVisibility : public QObject {
    Q_OBJECT

public:
    // The panel's flag, made as a child of the panel when it has none yet.
    static GenerateColumnsSheetVisibility *of(QObject *panel);

    bool isVisible() const { return visible_; }
    void setVisible(bool visible);

signals:
    void visibleChanged(bool visible);

private:
    using QObject::QObject;

    bool visible_ = false;
};
