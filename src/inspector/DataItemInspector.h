#pragma once

#include "inspector/InspectorPage.h"
#include "model/ReportDocument.h"

#include <QPointer>

class ExpressionBuilderButton;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TextRow;

// A declared field or parameter chosen elsewhere (the outline): its name, class and description,
// for a parameter also its prompt flag and default value, and how many elements use it; for a
// field a button that inserts a text field showing it. Built for one item, found by its id at
// every refresh and every write; while the report holds no item with that id the panel is empty.
// Every edit is a declaration write, an undo step coalesced with the item's other edits in
// quick succession; the insertion is an undo step of its own.
class DataItemInspector : public InspectorPage {
    Q_OBJECT

public:
    DataItemInspector(const InspectorContext &context, const InspectorDataSelection &item,
                      QWidget *parent = nullptr);

    void refresh(const DocumentStore &store, const InspectorChoice &choice) override;

private:
    void buildField(QWidget *content);
    void buildParameter(QWidget *content);
    void refreshField(const DocumentStore &store, const ReportField &field);
    void refreshParameter(const DocumentStore &store, const ReportParameter &parameter);
    std::optional<ReportParameter> parameter() const;

    InspectorContext context_;
    QPointer<DocumentStore> store_;
    InspectorDataSelection item_;
    QWidget *content_;
    TextRow *name_ = nullptr;
    TextRow *className_ = nullptr;
    TextRow *description_ = nullptr;
    QPushButton *insert_ = nullptr;
    QCheckBox *prompt_ = nullptr;
    QLineEdit *defaultValue_ = nullptr;
    ExpressionBuilderButton *builder_ = nullptr;
    QLabel *usage_ = nullptr;
};
