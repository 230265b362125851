#pragma once

#include "edits/InspectorEdits.h"
#include "inspector/ElementPart.h"
#include "inspector/SectionCard.h"

#include <QUuid>

class QLineEdit;
class QPushButton;
class QVBoxLayout;

// The parameter rows of a subreport ("Parameters") or of a list's dataset run ("Dataset
// Parameters"): a name, an expression and a remove button per row, then the add button and, for
// a subreport, the button that passes every report parameter through. Rows are keyed by the
// parameter's id: a write changes that one row of the rows the element holds at that moment,
// and a write for a row that is gone is dropped.
class ParameterRowsCard : public SectionCard, public ElementPart {
    Q_OBJECT

public:
    struct Options {
        QString title;
        QString name; // object name of the card; its controls are "<name>.row<i>.name"…
        QString addLabel;
        bool withPassAll = false;
    };

    ParameterRowsCard(const ElementWriter &writer, const Options &options,
                      QWidget *parent = nullptr);

    QWidget *widget() override { return this; }
    void refresh(const ReportElement &element, const ReportDocument &document) override;

private:
    struct Row {
        QUuid id;
        QWidget *widget;
        QLineEdit *name;
        QLineEdit *expression;
    };

    void rebuildRows(const QList<SubreportParameter> &parameters);
    // Changes the element's rows as the store holds them now.
    void write(const std::function<void(QList<SubreportParameter> &)> &change);

    ElementWriter writer_;
    QString name_;
    QVBoxLayout *rowsLayout_;
    QList<Row> rows_;
    QPushButton *add_;
    QPushButton *passAll_ = nullptr;
};
