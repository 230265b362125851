#pragma once

#include <QObject>
#include <QSet>
#include <QString>

// What the project explorer remembers between draws: which folders are expanded, by
// standardised path. Entries of folders that were renamed, moved or trashed stay. Main thread
// only; lives as long as its view.
class ProjectExplorerState : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    const QSet<QString> &expandedFolders() const { return expandedFolders_; }
    bool isExpanded(const QString &path) const { return expandedFolders_.contains(path); }
    void expand(const QString &path);
    void collapse(const QString &path);
    void collapseAll();

    // Has the tree listed and drawn again (after a file operation).
    void notifyChanged() { emit changed(); }

signals:
    void changed();

private:
    QSet<QString> expandedFolders_;
};
