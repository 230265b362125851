#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Which seeds the random-edit property tests run, on which report each, and how many edits: the
// same for every such test, so that a seed one of them names replays in the others.
// QUILLMARK_SEED replays one seed and QUILLMARK_REPORT one report (the seed then runs on it);
// QUILLMARK_SEEDS and QUILLMARK_EDITS change how many seeds and edits run, QUILLMARK_CORPUS_EDITS
// how many edits each corpus report gets.
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
    // Reports of the corpus that one engine process works through in turn.
    struct Shard {
        QString name;
        QList<Run> runs;
    };

    // The reports the seeds take turns on: a report of our own with something of everything
    // that names a group, sub-dataset or style (a style with a condition, and an heir of it), one
    // of our own with tables whose cells are padded, by their box or their style, and have table
    // headers and footers, one of our own with a chart over a sub-dataset, and, when the corpus is
    // present, corpus reports with groups, styles, lists, tables, charts and crosstabs, a book of
    // parts, groups of several bands, padding, a table whose columns have group cells and cells
    // of several elements, a component that runs a sub-dataset beside expressions of its own, and
    // groups whose counts of records expressions name. Last, two of our own in the older form
    // without the namespace (one with a group and a subreport, one with a sub-dataset and a
    // chart), two of our own with a comment before every element inside the report and at the
    // end of each element that holds others (one in each form), the corpus reports with comments
    // inside the report, one of our own whose subreport, list and table in the list return values
    // into variables of the datasets they stand in, and one of our own in JavaScript, which run
    // the seeds of the first reports as well, so that every other seed stays on its report.
    static QList<Report> reports();
    // Our own report with lengths as large as a file carries: a column two billion points wide, a
    // left margin as far left as a file carries, a page as wide and high as that. Each runs
    // `hostileSeeds` seeds of its own, after the others', so that they change no other seed's
    // report.
    static QList<Report> hostileReports();
    static constexpr int hostileSeeds = 2;
    static QList<Run> runs();
    static int edits();

    // Every report of the corpus, each with a short sequence of its own seed (one that follows
    // from its name), in `shardCount` shards that take the reports in turn.
    static constexpr int shardCount = 16;
    static QList<Shard> corpusShards();
    static int corpusEdits();
};
