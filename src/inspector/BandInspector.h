#pragma once

#include "inspector/InspectorPage.h"

#include <QPointer>

class LengthRow;
class QLabel;

// The active band when nothing else is selected: its name and height. Built for one band; a
// height committed after another band became active is dropped.
class BandInspector : public InspectorPage {
    Q_OBJECT

public:
    BandInspector(const InspectorContext &context, const BandTarget &band,
                  QWidget *parent = nullptr);

    void refresh(const DocumentStore &store, const InspectorChoice &choice) override;

private:
    QPointer<DocumentStore> store_;
    BandTarget band_;
    QLabel *header_;
    QLabel *hint_;
    LengthRow *height_;
};
