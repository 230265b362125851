#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Which seeds the random-edit property tests run, on which report each, and how many edits: the
// same for every such test, so that a seed one of them names replays in the others.
// QUILLMARK_SEED replays one seed; QUILLMARK_SEEDS and QUILLMARK_EDITS change how many seeds and
// edits run.
class RandomEditRuns {
public:
    struct Report {
        QString name;
        QByteArray jrxml;
    };
    struct Run {
        quint32 seed = 0;
        Report report;
        // How to run this seed alone.
        QString replay() const;
    };

    // The reports the seeds take turns on: a report of our own with something of everything
    // that names a group, sub-dataset or style, and, when the corpus is present, corpus reports
    // with groups, styles, lists, tables, charts and crosstabs.
    static QList<Report> reports();
    static QList<Run> runs();
    static int edits();
};
