#pragma once

#include "model/ReportElement.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QUuid>
#include <QVariant>
#include <optional>

class QSettings;

// One saved element: its id, the name shown in the snippets menu, the element as JRXML and the
// language its expressions are written in (that of the report it was saved from; empty when not
// known: one saved before the library noted it).
struct Snippet {
    QUuid id;
    QString name;
    QString xml;
    QString language;
    bool operator==(const Snippet &) const = default;
};

// The saved element snippets, in saving order, kept in the settings under "snippetLibrary" as
// one JSON array of {"id", "name", "xml"} objects, with "language" where it is known. Every
// change writes the whole list. Main thread only.
class SnippetLibrary : public QObject {
    Q_OBJECT

public:
    static inline const QString settingsKey = QStringLiteral("snippetLibrary");
    // Where a stored list that could not be read is copied before the first write replaces it.
    static inline const QString unreadableSettingsKey = QStringLiteral("snippetLibrary.unreadable");

    // Reads the stored list. One that reads is written back at once; one that does not leaves
    // the library empty and is kept until the first change. `settings` must outlive the library.
    explicit SnippetLibrary(QSettings &settings, QObject *parent = nullptr);

    const QList<Snippet> &snippets() const { return snippets_; }
    void setSnippets(const QList<Snippet> &snippets);

    // Appends the element, with everything inside it, under the name as given; `language` is
    // that of the report's expressions.
    void save(const ReportElement &element, const QString &name, const QString &language = {});
    // Removes every snippet with that id; the list is written even when none had it.
    void remove(const QUuid &id);
    // A new element with fresh ids throughout, or no value when the snippet does not read.
    std::optional<ReportElement> makeElement(const Snippet &snippet) const;

    static QByteArray encode(const QList<Snippet> &snippets);
    // No value when the data is not an array of complete records.
    static std::optional<QList<Snippet>> decode(const QByteArray &data);

signals:
    void snippetsChanged();

private:
    void persist();

    QSettings &settings_;
    QList<Snippet> snippets_;
    // The stored value that did not read, until it has been copied aside.
    std::optional<QVariant> unreadable_;
};
