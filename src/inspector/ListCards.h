#pragma once

#include "edits/InspectorEdits.h"
#include "inspector/ElementPart.h"
#include "inspector/SectionCard.h"

#include <QLabel>
#include <QStringList>
#include <optional>

class Dialogs;
class QComboBox;
class QLineEdit;
class TextRow;

// The dataset run of a list ("List" card) or a table ("Table" card): the sub-dataset's name
// (picked from the report's sub-datasets for a list, typed for a table) and the connection
// expression, stored as typed; a list's card also has a note on where sub-datasets are defined
// and the print order. Every write changes the one value in the payload
// the store holds at that moment, so a list's children and a table's columns pass untouched.
//
// A run the file gave a data source expression shows it, and says which of the two the run
// takes its rows from. A connection typed over a data source expression replaces it only when
// the user agrees, asked when the field is committed (Return or leaving it); without an answer
// (no alerts) nothing is written.
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
    // The list's dataset picker: the report's sub-datasets, with the list's own name first when
    // the report does not declare it.
    void showDatasets(const QString &current, const ReportDocument &document);
    void writeListDataset(const QString &name);
    // The data source expression that `text` as the connection would replace; none when the
    // element has a connection already or no data source, or the text is empty.
    std::optional<QString> replacedDataSource(const QString &text) const;
    // The connection expression as the store holds it.
    QString storedConnection() const;
    void writeConnection(const QString &text);
    void commitConnection();
    void writeConnectionText(const QString &text);

    ElementWriter writer_;
    bool isList_;
    Dialogs *dialogs_;
    bool asking_ = false;
    TextRow *dataset_ = nullptr;         // a table's
    QComboBox *datasetPicker_ = nullptr; // a list's
    QStringList shownDatasets_;
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
