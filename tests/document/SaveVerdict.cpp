#include "SaveVerdict.h"

#include "datapanel/RemovalQuestions.h"
#include "document/DocumentStore.h"
#include "document/NameTies.h"
#include "model/JrxmlCodec.h"
#include "widgets/ScriptedDialogs.h"

#include <QHash>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// The complaints of the engine's message, one line each.
QStringList complaintsOf(const QString &error)
{
    static const QRegularExpression numbered(uR"(^\s*\d+\.\s*(.*)$)"_s);
    QStringList lines;
    for (const QString &line : error.split(u'\n')) {
        if (const QRegularExpressionMatch match = numbered.match(line); match.hasMatch())
            lines.append(match.captured(1).trimmed());
    }
    if (lines.isEmpty()) {
        // A declaration the reader refuses: the engine's cause closes the message.
        static const QRegularExpression cause(uR"(JRException: ([^:]+: [^:]*)$)"_s);
        const QRegularExpressionMatch match = cause.match(error.trimmed().section(u'\n', -1));
        lines.append(match.hasMatch() ? match.captured(1).trimmed() : error.trimmed());
    }
    return lines;
}

template <typename T> qsizetype countNamed(const QList<T> &items, const QString &name)
{
    return std::count_if(items.cbegin(), items.cend(),
                         [&](const T &item) { return item.name == name; });
}

// Whether the report's own dataset declares a field, parameter or variable of that name.
bool declares(const ReportDocument &report, const QString &name)
{
    return countNamed(report.parameters, name) || countNamed(report.fields, name) ||
           countNamed(report.variables, name);
}

// Whether the report's own dataset declares `name` as what the engine's complaint says is not
// found (F, P or V): a field removed may leave a parameter or variable of its name.
bool declaresAs(const ReportDocument &report, const QString &name, QChar letter)
{
    return letter == u'F'   ? countNamed(report.fields, name) > 0
           : letter == u'V' ? countNamed(report.variables, name) > 0
                            : countNamed(report.parameters, name) > 0;
}

// Whether a sub-dataset of the report declares a field, parameter or variable of that name.
bool subDatasetDeclares(const ReportDocument &report, const QString &name)
{
    return std::any_of(report.subDatasets.cbegin(), report.subDatasets.cend(),
                       [&](const ReportSubDataset &dataset) {
                           return countNamed(dataset.parameters, name) ||
                                  countNamed(dataset.fields, name) ||
                                  countNamed(dataset.variables, name);
                       });
}

// Whether a field, parameter or variable the loaded report declared now has another class.
bool classChanged(const ReportDocument &report, const ReportDocument &loaded)
{
    QHash<QString, QString> classes;
    const auto note = [&](const auto &items) {
        for (const auto &item : items)
            classes.insert(item.name, item.className);
    };
    note(loaded.parameters);
    note(loaded.fields);
    note(loaded.variables);
    bool changed = false;
    const auto compare = [&](const auto &items) {
        for (const auto &item : items)
            changed = changed ||
                      (classes.contains(item.name) && classes.value(item.name) != item.className);
    };
    compare(report.parameters);
    compare(report.fields);
    compare(report.variables);
    return changed;
}

// The most items of that name in one sub-dataset's list.
template <typename T>
qsizetype mostInSubDatasets(const ReportDocument &report, QList<T> ReportSubDataset::*list,
                            const QString &name)
{
    qsizetype most = 0;
    for (const ReportSubDataset &dataset : report.subDatasets)
        most = std::max(most, countNamed(dataset.*list, name));
    return most;
}

qsizetype declarationsNamed(const ReportDocument &report, const QString &kind, const QString &name)
{
    if (kind == u"report style")
        return countNamed(report.styles, name);
    if (kind == u"group")
        return countNamed(report.groups, name);
    if (kind == u"dataset")
        return countNamed(report.subDatasets, name);
    if (kind == u"sort field")
        return countNamed(report.sortFields, name);
    // A field, parameter or variable: in the report's own dataset or in one of its sub-datasets.
    if (kind == u"parameter")
        return std::max(countNamed(report.parameters, name),
                        mostInSubDatasets(report, &ReportSubDataset::parameters, name));
    if (kind == u"field")
        return std::max(countNamed(report.fields, name),
                        mostInSubDatasets(report, &ReportSubDataset::fields, name));
    if (kind == u"variable")
        return std::max(countNamed(report.variables, name),
                        mostInSubDatasets(report, &ReportSubDataset::variables, name));
    return 0;
}

// Whether one of the `inserted` text fields names the field `name` where it runs over a
// sub-dataset that lacks it: inside a list of `dataset` (empty for the report's own).
bool insertedWhereLacking(const ReportDocument &report, const ElementList &elements,
                          const QString &dataset, const QString &name, const QSet<QUuid> &inserted)
{
    const auto lacks = [&] {
        const auto own = std::find_if(report.subDatasets.cbegin(), report.subDatasets.cend(),
                                      [&](const ReportSubDataset &d) { return d.name == dataset; });
        return own != report.subDatasets.cend() && countNamed(own->fields, name) == 0;
    };
    for (const ReportElement &element : elements) {
        const auto *field = element.kind.as<ElementKind::TextField>();
        if (field && inserted.contains(element.id) &&
            field->expression.contains(u"$F{"_s + name + u'}') && !dataset.isEmpty() && lacks())
            return true;
        const auto *list = element.kind.as<ElementKind::List>();
        if (const ElementList *children = element.kind.children();
            children && insertedWhereLacking(report, *children, list ? list->datasetName : dataset,
                                             name, inserted))
            return true;
    }
    return false;
}

bool insertedWhereLacking(const ReportDocument &report, const QString &name,
                          const QSet<QUuid> &inserted)
{
    if (inserted.isEmpty())
        return false;
    for (const QList<ReportBand> *bands : {&report.bands, &report.detailBands}) {
        for (const ReportBand &band : *bands) {
            if (insertedWhereLacking(report, band.elements, {}, name, inserted))
                return true;
        }
    }
    for (const ReportGroup &group : report.groups) {
        if (insertedWhereLacking(report, group.headerElements, {}, name, inserted) ||
            insertedWhereLacking(report, group.footerElements, {}, name, inserted))
            return true;
    }
    return false;
}

// The letter of the references to what the engine's complaint says is not found.
QChar letterOf(const QString &complaint)
{
    return complaint.startsWith(u"Field"_s)      ? u'F'
           : complaint.startsWith(u"Variable"_s) ? u'V'
                                                 : u'P';
}

// The names new text fields and table cells hold until the user names a field of their own.
bool isPlaceholder(const QString &name)
{
    return name == u"fieldName" || name == u"field";
}

// The verdict on a complaint naming `name` that an edit took from a sub-dataset lacking it now:
// `reason`, the user's, when the data panel's words said so, else the designer's (no reason).
// No value when no edit took the name from one.
std::optional<std::optional<QString>> subDatasetVerdict(const DeclarationHistory &history,
                                                        const ReportDocument &report,
                                                        const QString &name, const QString &reason)
{
    const std::optional<bool> said = history.saidOfSubDatasets(report, name);
    if (!said)
        return std::nullopt;
    return *said ? std::optional(reason) : std::optional<QString>();
}

// Why the engine rightly refuses what the user made, as the report shows it.
std::optional<QString> userMade(const QString &complaint, const ReportDocument &report,
                                const ReportDocument &saved, const DeclarationHistory &history)
{
    static const QRegularExpression notFound(
        uR"(^(?:Query parameter|Parameter|Field|Variable) not found : (.+)$)"_s);
    static const QRegularExpression duplicate(uR"(^Duplicate declaration of ([a-z ]+): (.*)\.$)"_s);
    if (const QRegularExpressionMatch match = notFound.match(complaint); match.hasMatch()) {
        const QString name = match.captured(1);
        // A sub-dataset's item removed or renamed while what runs it named it: the data panel
        // asks, or warns under the name.
        if (const auto verdict = subDatasetVerdict(
                history, report, name,
                u"an expression names a sub-dataset's field, parameter or variable renamed or "
                u"removed"_s))
            return *verdict;
        // A name the designer wrote in place of one the user is to choose, which no edit
        // declared, is the designer's. One a sub-dataset declared goes with what is copied out of
        // it, as any name does (below).
        if (isPlaceholder(name) && !history.declared.contains(name) &&
            !history.declaredInSubDatasets.contains(name))
            return std::nullopt;
        // Renames keep expressions as they are and say so; a removal asks first when
        // expressions use it.
        if (!declares(report, name) && !subDatasetDeclares(report, name)) {
            if (history.unsaid.contains(name))
                return std::nullopt;
            return u"an expression names a field, parameter or variable renamed or removed"_s;
        }
        // Which of two sub-datasets sharing a name a list or table runs is the user's guess.
        if (history.datasetNameShared)
            return u"two declarations share a name"_s;
        // The Fields card's insert into a list declares the field in the list's dataset.
        if (insertedWhereLacking(report, name, history.fieldsCardInserts))
            return std::nullopt;
        // A field or variable of the report's own renamed or removed, whose name another dataset
        // declares.
        if ((history.declared.contains(name) || history.removed.contains(name)) &&
            !declaresAs(report, name, letterOf(complaint)))
            return u"an expression names a field, parameter or variable renamed or removed"_s;
        // A copy keeps its expressions as they are, and so does a list or table switched to
        // another dataset: the bar says what the dataset they now run in lacks, naming it. The
        // condition card says what a crosstab lacks of the default style's condition typed.
        // Past a dozen names the bar counts the rest ("… and 3 more, which …").
        const QString reference = u'$' + letterOf(complaint) + u'{' + name + u'}';
        static const QRegularExpression counted(u" and [0-9,.\u00a0\u202f]+ more, which "_s);
        if (std::none_of(history.lacksSaid.cbegin(), history.lacksSaid.cend(),
                         [&](const QString &words) {
                             return words.contains(reference) || words.contains(counted);
                         }))
            return std::nullopt;
        return u"an expression copied into a list or out of one, switched to another dataset, or "
               u"typed as the default style's condition, names a field, parameter or variable its "
               u"dataset lacks, as the designer said"_s;
    }
    // A copy keeps its return values, and so does a list or table switched to another dataset:
    // the bar says which variable they go into that the dataset they now run in lacks. The
    // engine names it where a subreport's expressions are compiled, elsewhere it does not: then
    // one the report returns into is to be named.
    static const QRegularExpression unknownVariable(uR"(^Unknown variable (.+)$)"_s);
    static const QRegularExpression unnamedDestination(
        uR"(^(?:Return value destination variable|Subreport return value to variable) not found\.$)"_s);
    QStringList destinations;
    if (const QRegularExpressionMatch match = unknownVariable.match(complaint); match.hasMatch()) {
        destinations.append(match.captured(1));
    } else if (unnamedDestination.match(complaint).hasMatch()) {
        static const QRegularExpression toVariable(uR"re(toVariable="([^"]*)")re"_s);
        const QString written = QString::fromUtf8(JrxmlCodec::serialize(report));
        for (auto it = toVariable.globalMatch(written); it.hasNext();)
            destinations.append(it.next().captured(1));
    }
    for (const QString &name : std::as_const(destinations)) {
        // A variable renamed or removed after the data panel said so: its question and the
        // warning under the name count the return values that go into it.
        if (const auto verdict = subDatasetVerdict(
                history, report, name,
                u"a return value goes into a sub-dataset's variable renamed or removed"_s)) {
            if (*verdict)
                return *verdict;
        } else if ((history.declared.contains(name) || history.removed.contains(name)) &&
                   !declaresAs(report, name, u'V') && !history.unsaid.contains(name)) {
            return u"a return value goes into a variable renamed or removed"_s;
        }
    }
    if (!destinations.isEmpty()) {
        const bool said = std::any_of(
            history.lacksSaid.cbegin(), history.lacksSaid.cend(), [&](const QString &words) {
                const qsizetype returns = words.indexOf(u" return"_s);
                return returns >= 0 &&
                       std::any_of(destinations.cbegin(), destinations.cend(),
                                   [&](const QString &name) {
                                       return words.indexOf(u"$V{"_s + name + u'}', returns) > 0;
                                   });
            });
        if (!said)
            return std::nullopt;
        return u"a return value copied into a list or out of one, or switched to another "
               u"dataset, goes into a variable its dataset lacks, as the designer said"_s;
    }
    if (const QRegularExpressionMatch match = duplicate.match(complaint);
        match.hasMatch() && declarationsNamed(report, match.captured(1), match.captured(2)) > 1) {
        // Names typed, and the names of new items, are not checked against the others.
        return u"two declarations share a name"_s;
    }
    // A dataset run whose name two sub-datasets of the saved report shared: which one it ran is
    // the user's guess, and the parameters it passes may be the other's.
    // The groups a table's cells name are likewise those of either.
    static const QRegularExpression runParameter(
        uR"(^Unknown parameter (.+) in dataset (.+)\.$)"_s);
    // A parameter a run passes, removed from its sub-dataset or renamed there after the data
    // panel said so.
    if (const QRegularExpressionMatch match = runParameter.match(complaint); match.hasMatch()) {
        if (const auto verdict =
                subDatasetVerdict(history, report, match.captured(1),
                                  u"a run passes a parameter its sub-dataset no longer declares"_s))
            return *verdict;
    }
    static const QRegularExpression runGroup(
        uR"(^No group named ".*" found in subdataset (.+)$)"_s);
    // And so are the groups a list's or table's content is evaluated on.
    static const QRegularExpression contentGroup(
        uR"(^Unknown (?:reset|increment|evaluation) group '.+' for )"_s);
    if (history.datasetNameShared && contentGroup.match(complaint).hasMatch())
        return u"two declarations share a name"_s;
    for (const QRegularExpression *run : {&runParameter, &runGroup}) {
        if (const QRegularExpressionMatch match = run->match(complaint);
            match.hasMatch() &&
            countNamed(saved.subDatasets, match.captured(match.lastCapturedIndex())) > 1)
            return u"two declarations share a name"_s;
    }
    if (complaint == u"Sort field name missing." &&
        std::any_of(report.sortFields.cbegin(), report.sortFields.cend(),
                    [](const ReportSortField &sort) { return sort.name.isEmpty(); })) {
        // A new sort field has no name until the user picks one.
        return u"a sort field is not named yet"_s;
    }
    // A rename takes the sort fields along; a removal asks first when sort fields name it. A
    // sort field sorts on a field or on a variable: one of the other kind may keep the name.
    static const QRegularExpression sortField(
        uR"(^Sort (field|variable) '(.*)' not found in dataset\.$)"_s);
    if (const QRegularExpressionMatch match = sortField.match(complaint); match.hasMatch()) {
        if (const auto verdict = subDatasetVerdict(
                history, report, match.captured(2),
                u"a sort field names a sub-dataset's field or variable removed or renamed"_s))
            return *verdict;
    }
    if (const QRegularExpressionMatch match = sortField.match(complaint);
        match.hasMatch() &&
        !(match.captured(1) == u"field" ? countNamed(report.fields, match.captured(2))
                                        : countNamed(report.variables, match.captured(2))) &&
        (history.removed.contains(match.captured(2)) ||
         !history.declared.contains(match.captured(2)))) {
        return u"a sort field names a field or variable removed, or a name never declared"_s;
    }
    const double across = double(report.columnCount) * report.columnWidth +
                          double(report.columnCount - 1) * report.columnSpacing +
                          report.leftMargin + report.rightMargin;
    if (complaint == u"The columns and the margins do not fit the page width." &&
        across > report.pageWidth) {
        // The page setup takes column counts and margins that do not fit, and warns.
        return u"the columns and margins the page setup was given do not fit the page"_s;
    }
    return std::nullopt;
}

template <typename T> void renameRepeats(QList<T> &items)
{
    QHash<QString, int> seen;
    for (T &item : items) {
        if (const int times = seen[item.name]++; times > 0)
            item.name += u"_again"_s + QString::number(times);
    }
}

// The same in a list whose references the report tells apart while names are shared: each
// renamed item takes what names it along.
template <typename T> void renameRepeats(ReportDocument &report, QList<T> ReportDocument::*list)
{
    QHash<QString, int> seen;
    for (qsizetype i = 0; i < (report.*list).size(); ++i) {
        const QString name = (report.*list).at(i).name;
        if (const int times = seen[name]++; times > 0) {
            (report.*list)[i].name = name + u"_again"_s + QString::number(times);
            NameTies::follow(report, list, (report.*list).at(i).id, name);
        }
    }
}

} // namespace

void DeclarationHistory::note(const ReportDocument &before, const ReportDocument &after)
{
    QSet<QUuid> ids;
    const auto declare = [&](const auto &items) {
        for (const auto &item : items) {
            declared.insert(item.name);
            ids.insert(item.id);
        }
    };
    declare(after.fields);
    declare(after.variables);
    for (const ReportSubDataset &dataset : after.subDatasets) {
        for (const ReportField &field : dataset.fields)
            declaredInSubDatasets.insert(field.name);
    }
    const auto noteGone = [&](const auto &items) {
        for (const auto &item : items) {
            if (!ids.contains(item.id))
                removed.insert(item.name);
        }
    };
    noteGone(before.fields);
    noteGone(before.variables);
    for (const ReportSubDataset &dataset : after.subDatasets)
        datasetNameShared = datasetNameShared || countNamed(after.subDatasets, dataset.name) > 1;
    // The sub-datasets of the items noted, as they stand after the event: the one of the same id
    // (a rename), else the one of the same name (the source sheet's Apply gives new ids).
    for (SubDatasetItem &noted : subDatasetItems) {
        const auto same = [&](const auto &test) {
            return std::find_if(after.subDatasets.cbegin(), after.subDatasets.cend(), test);
        };
        auto now = same([&](const ReportSubDataset &d) { return d.id == noted.dataset; });
        if (now == after.subDatasets.cend())
            now = same([&](const ReportSubDataset &d) { return d.name == noted.datasetName; });
        if (now != after.subDatasets.cend()) {
            noted.dataset = now->id;
            noted.datasetName = now->name;
        }
    }
}

namespace {

using Declaration = RemovalQuestions::Declaration;

// Whether the report as written names the field, parameter or variable in any form the engine
// reads: read from the file's text, apart from how the designer counts uses.
bool namedIn(const QString &written, Declaration kind, const QString &name)
{
    const QString letter = kind == Declaration::field       ? u"F"_s
                           : kind == Declaration::parameter ? u"P"_s
                                                            : u"V"_s;
    if (written.contains(u'$' + letter + u'{' + name + u'}'))
        return true;
    if (kind != Declaration::parameter)
        return false;
    const QRegularExpression clause(u"\\$X\\{[^}]*,\\s*"_s + QRegularExpression::escape(name) +
                                    u"\\s*[,}]"_s);
    return written.contains(u"$P!{"_s + name + u'}') || written.contains(clause);
}

// Whether the report as written names the field, parameter or variable in an expression or
// query evaluated over the sub-dataset `dataset`: within the sub-dataset's own declaration, or
// beside a dataset run of it, in what holds the run (a list's or table's component, a chart's or
// map's dataset, a crosstab) or its `dataset` and `crosstabDataset` around it. What the run
// itself holds (its parameters, connection) and what a crosstab's cells hold are evaluated
// elsewhere. Read from the file's text, apart from how the designer scopes expressions.
bool namedOver(const QString &written, Declaration kind, const QString &name,
               const QString &dataset)
{
    struct Open {
        QString name;
        // The dataset the element's expressions are evaluated over, and that of its children
        // from now on (the run's, once one was met).
        QString over;
        QString childrenOver;
    };
    QList<Open> open{{QString(), QString(), QString()}};
    QXmlStreamReader reader(written);
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::EndElement) {
            open.removeLast();
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QString local = reader.name().toString();
        const QString over = open.last().childrenOver;
        open.append({local, over, over});
        if (local == u"subDataset"_s) {
            open.last().childrenOver = reader.attributes().value(u"name"_s).toString();
        } else if (local == u"datasetRun"_s) {
            qsizetype holder = open.size() - 2;
            if (holder > 0 && open.at(holder).name == u"dataset"_s)
                --holder;
            if (holder > 0 && open.at(holder).name == u"crosstabDataset"_s)
                --holder;
            open[holder].childrenOver = reader.attributes().value(u"subDataset"_s).toString();
        } else if ((local.endsWith(u"Expression"_s) || local == u"queryString"_s) &&
                   over == dataset && std::none_of(open.cbegin(), open.cend(), [](const Open &o) {
                       return o.name == u"cellContents"_s;
                   })) {
            const QString text = reader.readElementText(QXmlStreamReader::IncludeChildElements);
            open.removeLast();
            if (namedIn(text, kind, name))
                return true;
        }
    }
    return false;
}

// Whether the report as written passes a value to a parameter of that name, takes back the value
// of a variable of that name from a dataset run, or returns a value into a variable of that name.
bool passedOrReturned(const QString &written, const QString &name)
{
    const QString quoted = u"=\""_s + name + u'"';
    return written.contains(u"datasetParameter name"_s + quoted) ||
           written.contains(u"fromVariable"_s + quoted) ||
           written.contains(u"toVariable"_s + quoted);
}

QString reference(Declaration kind, const QString &name)
{
    return kind == Declaration::field       ? u"$F{"_s + name + u'}'
           : kind == Declaration::parameter ? u"$P{"_s + name + u'}'
                                            : u"$V{"_s + name + u'}';
}

// What the data panel asks before the item of that id goes from `before`; empty when it asks
// nothing.
QString questionBefore(const ReportDocument &before,
                       const std::function<void(Dialogs *, const DocumentStore &)> &ask)
{
    DocumentStore store;
    store.setDocument(before);
    ScriptedDialogs dialogs;
    dialogs.answerAlert(1);
    ask(&dialogs, store);
    if (dialogs.alerts().isEmpty())
        return {};
    return dialogs.alerts().last().message + u' ' + dialogs.alerts().last().informativeText;
}

} // namespace

void DeclarationHistory::noteWords(const ReportDocument &before, const ReportDocument &after)
{
    QString written;
    const auto text = [&]() -> const QString & {
        if (written.isNull())
            written = QString::fromUtf8(JrxmlCodec::serialize(before));
        return written;
    };
    const auto named = [&](Declaration kind, const QString &name) {
        return namedIn(text(), kind, name);
    };
    // Each item of `itemsBefore`, of the dataset of `dataset` (the report's own for a null id),
    // that the edit removed or renamed while the report named it, with whether the data panel's
    // words then (the question, the warning under the new name) named its reference: handed to
    // `judged`. What a run passes or takes back names a sub-dataset's parameter or variable too.
    const auto wordsOf = [&](const auto &itemsBefore, const auto &itemsAfter, Declaration kind,
                             const QUuid &dataset, const QString &datasetName, const auto &judged) {
        for (const auto &item : itemsBefore) {
            const auto now = std::find_if(itemsAfter.cbegin(), itemsAfter.cend(),
                                          [&](const auto &i) { return i.id == item.id; });
            if ((now != itemsAfter.cend() && now->name == item.name) ||
                countNamed(itemsAfter, item.name) > 0 ||
                !(dataset.isNull() ? named(kind, item.name)
                                   : namedOver(text(), kind, item.name, datasetName) ||
                                         passedOrReturned(text(), item.name)))
                continue;
            const QString words =
                now != itemsAfter.cend()
                    ? RemovalQuestions::renameWarning(after, kind, item.id, item.name, dataset)
                    : questionBefore(before, [&](Dialogs *dialogs, const DocumentStore &store) {
                          RemovalQuestions::mayRemove(dialogs, store, kind, item.id, dataset);
                      });
            judged(item.name, words.contains(reference(kind, item.name)));
        }
    };
    const auto judge = [&](const QString &name, bool said) {
        if (said)
            unsaid.remove(name);
        else
            unsaid.insert(name);
    };
    wordsOf(before.fields, after.fields, Declaration::field, QUuid(), {}, judge);
    wordsOf(before.parameters, after.parameters, Declaration::parameter, QUuid(), {}, judge);
    wordsOf(before.variables, after.variables, Declaration::variable, QUuid(), {}, judge);
    // The same in each sub-dataset that stays, by its own words.
    for (const ReportSubDataset &dataset : before.subDatasets) {
        const auto now =
            std::find_if(after.subDatasets.cbegin(), after.subDatasets.cend(),
                         [&](const ReportSubDataset &d) { return d.id == dataset.id; });
        if (now == after.subDatasets.cend())
            continue;
        const auto judgeIn = [&](const QString &name, bool said) {
            subDatasetItems.removeIf([&](const SubDatasetItem &noted) {
                return noted.isIn(dataset) && noted.name == name;
            });
            subDatasetItems.append({dataset.id, dataset.name, name, said});
        };
        wordsOf(dataset.fields, now->fields, Declaration::field, dataset.id, dataset.name, judgeIn);
        wordsOf(dataset.parameters, now->parameters, Declaration::parameter, dataset.id,
                dataset.name, judgeIn);
        wordsOf(dataset.variables, now->variables, Declaration::variable, dataset.id, dataset.name,
                judgeIn);
    }
    // A group counts its records in a variable of its own.
    for (const ReportGroup &group : before.groups) {
        const auto now = std::find_if(after.groups.cbegin(), after.groups.cend(),
                                      [&](const ReportGroup &g) { return g.id == group.id; });
        const QString count = group.name + u"_COUNT"_s;
        if ((now != after.groups.cend() && now->name == group.name) ||
            countNamed(after.groups, group.name) > 0 || !named(Declaration::variable, count))
            continue;
        const QString words =
            now != after.groups.cend()
                ? RemovalQuestions::renameGroupWarning(after, group.id, group.name)
                : questionBefore(before, [&](Dialogs *dialogs, const DocumentStore &store) {
                      RemovalQuestions::mayDelete(dialogs, store, ReportReferences::Kind::group,
                                                  group.id);
                  });
        judge(count, words.contains(reference(Declaration::variable, count)));
    }
}

std::optional<bool> DeclarationHistory::saidOfSubDatasets(const ReportDocument &report,
                                                          const QString &name) const
{
    std::optional<bool> said;
    for (const ReportSubDataset &dataset : report.subDatasets) {
        if (countNamed(dataset.parameters, name) || countNamed(dataset.fields, name) ||
            countNamed(dataset.variables, name))
            continue;
        for (const SubDatasetItem &noted : subDatasetItems) {
            if (!noted.isIn(dataset) || noted.name != name)
                continue;
            if (!noted.said)
                return false;
            said = true;
        }
    }
    return said;
}

SaveVerdict SaveVerdict::of(const QString &error, const ReportDocument &report,
                            const ReportDocument &loaded, const ReportDocument &saved,
                            const DeclarationHistory &history)
{
    SaveVerdict verdict{error, {}, {}};
    if (error.isEmpty())
        return verdict;
    // Expressions the user's new class of a declaration no longer suits.
    if (error.contains(u"compiling report expressions"_s) && classChanged(report, loaded)) {
        verdict.reasons.append(u"an expression uses a declaration whose class was changed"_s);
        return verdict;
    }
    // Expressions copied from a report of another language, after the bar said they are written
    // in it.
    if (error.contains(u"compiling report expressions"_s) &&
        std::any_of(history.lacksSaid.cbegin(), history.lacksSaid.cend(), [](const QString &words) {
            return words.contains(u" expressions are written in "_s);
        })) {
        verdict.reasons.append(u"an expression copied from a report of another language, as the "
                               u"designer said"_s);
        return verdict;
    }
    for (const QString &complaint : complaintsOf(error)) {
        if (std::optional<QString> reason = userMade(complaint, report, saved, history)) {
            verdict.reasons.append(*reason);
        } else {
            verdict.faults.append(complaint);
            verdict.causes.append(causeOf(complaint));
        }
    }
    return verdict;
}

QString SaveVerdict::causeOf(const QString &complaint)
{
    struct Cause {
        QRegularExpression pattern;
        QString name;
    };
    static const QList<Cause> causes = {
        {QRegularExpression(u"do not fit the (?:first |last )?page height"_s),
         u"bands past the page"_s},
        {QRegularExpression(u"^(?:Warning : )?Element bottom reaches outside band area"_s),
         u"an element past its band"_s},
        {QRegularExpression(u"^Element reaches outside"_s), u"a child past its room"_s},
        {QRegularExpression(
             u"^Part reports cannot contain bands|Invalid content was found starting "
             u"with element '\\{[^}]*:(?:part|band)\\}'"_s),
         u"bands beside parts"_s},
        {QRegularExpression(u"^Unknown (?:reset|increment|evaluation) group 'null'"_s),
         u"an unchosen group"_s},
        {QRegularExpression(u"^Unknown (?:reset|increment|evaluation) group|Could not find "
                            u"subdataset named"_s),
         u"a kept band's sub-dataset or group"_s},
        {QRegularExpression(u"^No group named \".*\" found in subdataset"_s),
         u"a table's group cell naming a group its dataset lacks"_s},
        {QRegularExpression(u"(?:Field|Parameter|Variable) not found : (?:fieldName|field)$"_s),
         u"a placeholder"_s},
        {QRegularExpression(u"^(?:Query parameter|Parameter|Field|Variable) not found : "_s),
         u"a name its dataset lacks, with no word from the designer"_s},
        {QRegularExpression(u"^Sort (?:field|variable) '.*' not found in dataset"_s),
         u"a sort field of the other type"_s},
        {QRegularExpression(u"^Errors were encountered when compiling report expressions"_s),
         u"an expression the report's language does not read, with no word from the designer"_s},
        {QRegularExpression(u"^Unknown variable |^(?:Return value destination variable|"
                            u"Subreport return value to variable) not found"_s),
         u"a return value into a variable its dataset lacks, with no word from the designer"_s},
    };
    for (const Cause &cause : causes) {
        if (cause.pattern.match(complaint).hasMatch())
            return cause.name;
    }
    return u"other"_s;
}

ReportDocument SaveVerdict::mended(const ReportDocument &report)
{
    ReportDocument copy = report;
    renameRepeats(copy, &ReportDocument::styles);
    renameRepeats(copy, &ReportDocument::groups);
    renameRepeats(copy, &ReportDocument::subDatasets);
    renameRepeats(copy.parameters);
    renameRepeats(copy, &ReportDocument::fields);
    renameRepeats(copy, &ReportDocument::variables);
    for (ReportSubDataset &dataset : copy.subDatasets) {
        renameRepeats(dataset.parameters);
        renameRepeats(dataset.fields);
        renameRepeats(dataset.variables);
    }
    copy.sortFields.removeIf([&](const ReportSortField &sort) {
        return sort.name.isEmpty() || !declares(report, sort.name);
    });
    renameRepeats(copy.sortFields);
    return copy;
}
