#pragma once

#include "model/ReportDocument.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>

// What a save keeps of the elements the designer shows. A save writes the shown standard bands,
// the detail bands and the groups' bands, and leaves a hidden band out with everything in it, as
// the user was told when hiding it. So every element of a band a save writes is in the file, and
// an element stands in a band a save leaves out only where it stood while that band was written
// (hidden with it): one put there afterwards (an insert, a paste, a snippet, a duplicate, a move)
// would be lost at the save without a word.
class SavedBands {
public:
    // Notes which elements stand in which bands a save writes; after every event of a run.
    void note(const ReportDocument &report);
    // What `saved`, the file a save of `report` wrote, loses of what the designer holds, and what
    // the report holds in bands the save leaves out that never stood there while they were
    // written; one line each.
    QStringList lapses(const ReportDocument &report, const QByteArray &saved) const;

private:
    // The element's id and its band's.
    QSet<QString> written_;
};
