#pragma once

#include "inspector/InspectorPage.h"

#include <QPointer>

class LengthRow;
class QLabel;
class TextRow;

// The report itself: its name and page size, declaration writes that are undo steps of their own
// (coalesced per field), and a summary of its declarations.
class ReportInspector : public InspectorPage {
    Q_OBJECT

public:
    ReportInspector(const InspectorContext &context, QWidget *parent = nullptr);

    void refresh(const DocumentStore &store, const InspectorChoice &choice) override;

private:
    void write(const QString &key, const std::function<void(ReportDocument &)> &change);

    QPointer<DocumentStore> store_;
    QLabel *header_;
    TextRow *name_;
    LengthRow *width_;
    LengthRow *height_;
    QLabel *summary_;
};
