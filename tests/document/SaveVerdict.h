#pragma once

#include "model/ReportDocument.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

// What the engine's answer to a saved report says of the designer. A refusal lists complaints;
// each is either what the engine rightly refuses in what the user made (an expression naming a
// declaration renamed or removed after the data panel said so, or one of the dataset it was
// copied from after the bar said so, a return value into a variable the dataset it was copied to
// lacks after the bar named it, an expression copied from a report of another language after the
// bar said so, two declarations of one name, a sort field not named yet,
// columns the page setup was given that do not fit, a sort field naming what a removal the user
// confirmed took away or a name never declared), or a fault of the designer. What the edits so far
// did to the fields and variables: the names they declared at some time, and those of the ones that
// went (removed after the question, or by an undo).
struct DeclarationHistory {
    QSet<QString> declared;
    QSet<QString> removed;
    // The names of the fields the sub-datasets declared at some time (a table cell's placeholder
    // among them, declared with the cell).
    QSet<QString> declaredInSubDatasets;
    // The names of fields, parameters and variables (a group's count of records among them)
    // that an edit removed or renamed while the report named them, and the data panel's words
    // then (its question before the removal, the warning under the renamed name) did not.
    QSet<QString> unsaid;
    // The same for the sub-datasets' fields, parameters and variables, and those of which the
    // words said so. A sub-dataset is known by its id, which a rename keeps, or its name, which
    // the source sheet's Apply keeps; note() follows both.
    struct SubDatasetItem {
        QUuid dataset;
        QString datasetName;
        QString name;
        bool said = false;
        bool isIn(const ReportSubDataset &subDataset) const
        {
            return subDataset.id == dataset || subDataset.name == datasetName;
        }
    };
    QList<SubDatasetItem> subDatasetItems;
    // The text fields the Fields card's insert button made.
    QSet<QUuid> fieldsCardInserts;
    // Whether two sub-datasets shared a name at some time: what a list or table of that name
    // ran, and the names the Fields card declared in it, were the user's guess.
    bool datasetNameShared = false;
    // What the designer said of names a paste, duplicate, snippet or dataset switch put where
    // the dataset lacks them (the bar's words), and of names a typed style condition holds that
    // a crosstab lacks (the condition card's words).
    QStringList lacksSaid;

    // Notes the fields and variables of the report after an event; `before` is the report before.
    void note(const ReportDocument &before, const ReportDocument &after);
    // Notes what an edit (not an undo or a redo) removed or renamed without a word.
    void noteWords(const ReportDocument &before, const ReportDocument &after);

    // Whether the words said so when an edit took the name `name` from a sub-dataset that lacks
    // it in `report`: false when they did not for one such sub-dataset, no value when no edit
    // took it from one.
    std::optional<bool> saidOfSubDatasets(const ReportDocument &report, const QString &name) const;
};

struct SaveVerdict {
    // The engine's message; empty when it compiled the report.
    QString error;
    // Why it refused what the user made, one reason for each such complaint.
    QStringList reasons;
    // The complaints of what the designer made, and the cause of each (causeOf), in that order.
    QStringList faults;
    QStringList causes;

    bool fault() const { return !faults.isEmpty(); }

    // What in the designer's work an engine complaint points at: bands past the page, a child
    // past its room, bands beside parts, a kept band naming what is gone, a group not chosen, a
    // placeholder, and so on; "other" for a complaint of no known kind.
    static QString causeOf(const QString &complaint);

    // Sorts the complaints of the engine's `error` about `report`, which the edits made from
    // `loaded` (`history`); `saved` is the report as saved when `report` is it put right
    // (`mended`).
    static SaveVerdict of(const QString &error, const ReportDocument &report,
                          const ReportDocument &loaded, const ReportDocument &saved,
                          const DeclarationHistory &history);

    // The report with what the user made that stops the engine before it checks the rest put
    // right, as the user would: a repeated name made unique (what the report tells is the later
    // item's follows it, the rest keeps naming the first), sort fields without a name or naming
    // no declaration dropped.
    static ReportDocument mended(const ReportDocument &report);
};
