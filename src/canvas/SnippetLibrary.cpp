#include "canvas/SnippetLibrary.h"

#include "document/DocumentStore.h"
#include "model/Identifiers.h"
#include "model/JrxmlCodec.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSettings>

using namespace Qt::StringLiterals;

namespace {

// The canonical text of an identifier, in either case; braces and other forms do not read.
std::optional<QUuid> parseId(const QString &text)
{
    static const QRegularExpression canonical(
        u"^[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}$"_s);
    if (!canonical.match(text).hasMatch())
        return std::nullopt;
    return QUuid::fromString(text);
}

} // namespace

SnippetLibrary::SnippetLibrary(QSettings &settings, QObject *parent)
    : QObject(parent), settings_(settings)
{
    if (!settings_.contains(settingsKey))
        return;
    const QVariant stored = settings_.value(settingsKey);
    if (auto decoded = decode(stored.toByteArray())) {
        snippets_ = std::move(*decoded);
        persist();
    } else {
        unreadable_ = stored;
    }
}

void SnippetLibrary::setSnippets(const QList<Snippet> &snippets)
{
    snippets_ = snippets;
    emit snippetsChanged();
    persist();
}

void SnippetLibrary::save(const ReportElement &element, const QString &name,
                          const QString &language)
{
    QList<Snippet> list = snippets_;
    list.append({newId(), name, JrxmlCodec::serializeElement(element, {}), language});
    setSnippets(list);
}

void SnippetLibrary::remove(const QUuid &id)
{
    QList<Snippet> list = snippets_;
    list.removeIf([&](const Snippet &snippet) { return snippet.id == id; });
    setSnippets(list);
}

std::optional<ReportElement> SnippetLibrary::makeElement(const Snippet &snippet) const
{
    const std::optional<ReportElement> element = JrxmlCodec::parseSnippet(snippet.xml);
    if (!element)
        return std::nullopt;
    return DocumentStore::regenerateIDs(*element);
}

QByteArray SnippetLibrary::encode(const QList<Snippet> &snippets)
{
    QJsonArray array;
    for (const Snippet &snippet : snippets) {
        QJsonObject record{
            {u"id"_s, idText(snippet.id)}, {u"name"_s, snippet.name}, {u"xml"_s, snippet.xml}};
        if (!snippet.language.isEmpty())
            record.insert(u"language"_s, snippet.language);
        array.append(record);
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

std::optional<QList<Snippet>> SnippetLibrary::decode(const QByteArray &data)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;
    QList<Snippet> snippets;
    for (const QJsonValue &value : document.array()) {
        const QJsonObject record = value.toObject();
        const QJsonValue id = record.value(u"id"_s);
        const QJsonValue name = record.value(u"name"_s);
        const QJsonValue xml = record.value(u"xml"_s);
        // Saved before the library noted languages, a snippet has none.
        const QJsonValue language = record.value(u"language"_s);
        if (!value.isObject() || !id.isString() || !name.isString() || !xml.isString() ||
            !(language.isUndefined() || language.isString()))
            return std::nullopt;
        const std::optional<QUuid> parsed = parseId(id.toString());
        if (!parsed)
            return std::nullopt;
        snippets.append({*parsed, name.toString(), xml.toString(), language.toString()});
    }
    return snippets;
}

void SnippetLibrary::persist()
{
    // The list that did not read may still hold snippets the user wants back: keep a copy of
    // it before anything replaces it.
    if (unreadable_) {
        settings_.setValue(unreadableSettingsKey, *unreadable_);
        unreadable_.reset();
    }
    settings_.setValue(settingsKey, encode(snippets_));
    settings_.sync();
}
