#pragma once

#include "edits/InspectorEdits.h"
#include "inspector/ElementPart.h"
#include "inspector/SectionCard.h"

class ExpressionBuilderButton;
class QComboBox;
class QLineEdit;
class SidecarModel;

// The cards of a subreport's own payload. Each is built once for its element and shows new
// values in place; every write changes the one value its control edits in the subreport as the
// store holds it at that moment.

// The "Subreport File" card: the subreport expression, typed or built, and a note on what it
// must name.
class SubreportFileCard : public SectionCard, public ElementPart {
    Q_OBJECT

public:
    SubreportFileCard(const ElementWriter &writer, const QString &title, SidecarModel *sidecar,
                      QWidget *parent = nullptr);

    QWidget *widget() override { return this; }
    void refresh(const ReportElement &element, const ReportDocument &document) override;

private:
    void write(const QString &expression);

    ElementWriter writer_;
    QLineEdit *expression_;
    ExpressionBuilderButton *builder_;
};

// The "Data Source" card: how the subreport gets its data, worked out from its connection and
// data-source expressions, and the field of a custom expression.
class DataSourceCard : public SectionCard, public ElementPart {
    Q_OBJECT

public:
    DataSourceCard(const ElementWriter &writer, const QString &title, QWidget *parent = nullptr);

    QWidget *widget() override { return this; }
    void refresh(const ReportElement &element, const ReportDocument &document) override;

private:
    void choose(int index);
    void show(const ElementKind::Subreport &subreport);

    ElementWriter writer_;
    QComboBox *kind_;
    QLineEdit *connection_;
    QLineEdit *dataSource_;
};
