#pragma once

#include "document/DatasetLacks.h"
#include "model/ReportDocument.h"

#include <QHash>
#include <QStringList>
#include <QUuid>

// Which elements the canvas marks for naming, in their expressions, what the dataset they run
// in lacks (DatasetLacks), each with the expression editor's words for it; a table stands for
// what its cells name. Followed from change to change of the report: an element of a band that
// is the very value it was, or that value placed elsewhere, under the same declarations, is not
// looked at again.
class LackMarks {
public:
    // The marks of the report as it is now, by element id, with `languageNotes` added: the words
    // for the elements whose expressions are written in another language than the report's.
    const QHash<QUuid, QStringList> &follow(const ReportDocument &document,
                                            const QHash<QUuid, QString> &languageNotes = {});
    const QHash<QUuid, QStringList> &marks() const { return marks_; }
    // The elements whose marks the last follow() changed.
    const QList<QUuid> &changed() const { return changed_; }

private:
    // A band's element as last looked at, with the words of what it and what it holds lack.
    struct Seen {
        ElementList::Shared element;
        QHash<QUuid, QStringList> notes;
        // The call of follow() that last found it.
        quint64 generation = 0;
    };
    // What the declarations were when the elements were looked at.
    struct Declarations {
        QList<ReportField> fields;
        QList<ReportParameter> parameters;
        QList<ReportVariable> variables;
        // Only a group's name counts: it names the variable that counts its rows.
        QStringList groups;
        QList<ReportSubDataset> subDatasets;
        bool operator==(const Declarations &) const = default;
    };

    Declarations declarations_;
    QHash<QUuid, Seen> seen_;
    quint64 generation_ = 0;
    // The marks of what the datasets lack, and those with the language notes added.
    QHash<QUuid, QStringList> lacks_;
    QHash<QUuid, QString> languageNotes_;
    QHash<QUuid, QStringList> marks_;
    QList<QUuid> changed_;
};
