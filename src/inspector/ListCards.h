#pragma once

#include "edits/InspectorEdits.h"
#include "inspector/ElementPart.h"
#include "inspector/SectionCard.h"

#include <QLabel>

class Dialogs;
class QComboBox;
class QLineEdit;
class TextRow;

// The dataset run of a list ("List" card) or a table ("Table" card): the sub-dataset's name and
// the connection expression, both stored as typed; a list's card also has a note on where
// sub-datasets are defined and the print order. Every write changes the one value in the payload
// the store holds at that moment, so a list's children and a table's columns pass untouched.
//
// A run the file gave a data source expression shows it, and says which of the two the run
// takes its rows from. A connection typed over a data source expression replaces it only when
// the user agrees; without an answer (no alerts) nothing is written.
class DatasetRunCard : public SectionCard, public ElementPart {
    Q_OBJECT

public:
    DatasetRunCard(const ElementWriter &writer, const QString &title, bool isList, Dialogs *dialogs,
                   QWidget *parent = nullptr);

    QWidget *widget() override { return this; }
    void refresh(const ReportElement &element, const ReportDocument &document) override;

private:
    // Changes the dataset name or connection of the list or table as the store holds it now;
    // `run` is what the file held of the run besides them.
    void writeRun(
        const std::function<void(QString &datasetName, QString &connection, KeptXml &run)> &change);
    void writeConnection(const QString &text);

    ElementWriter writer_;
    bool isList_;
    Dialogs *dialogs_;
    TextRow *dataset_;
    TextRow *connection_;
    QLineEdit *dataSource_;
    QWidget *dataSourceRow_;
    QLabel *sourceNote_;
    QComboBox *printOrder_ = nullptr;
};

// The note under a list's cards: how many elements its row template holds.
class ListNote : public QLabel, public ElementPart {
    Q_OBJECT

public:
    explicit ListNote(QWidget *parent = nullptr);

    QWidget *widget() override { return this; }
    void refresh(const ReportElement &element, const ReportDocument &document) override;
};
