#pragma once

#include "inspector/InspectorPage.h"

class QLabel;

// Two or more selected elements: how many, and where their commands are. It has no controls.
class MultiSelectInspector : public InspectorPage {
    Q_OBJECT

public:
    explicit MultiSelectInspector(QWidget *parent = nullptr);

    void refresh(const DocumentStore &store, const InspectorChoice &choice) override;

private:
    QLabel *count_;
};
