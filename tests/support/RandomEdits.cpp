#include "RandomEdits.h"

#include "canvas/SnippetLibrary.h"
#include "document/DocumentStore.h"
#include "document/ExpressionLanguages.h"
#include "edits/InspectorEdits.h"
#include "model/Identifiers.h"
#include "workspace/AppSettings.h"

#include <QHashSeed>
#include <QSettings>
#include <QTemporaryDir>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

// Longer than the coalescing window: the next gesture is a step of its own.
constexpr qint64 betweenGestures = 2000;
// A keystroke after the one before, well within the window.
constexpr qint64 betweenKeystrokes = 150;

// Hashes iterate in one order in every run, so that a seed replays the same edits: the order of
// the selection's set, for one, decides what a gesture on several elements does first.
[[maybe_unused]] const bool hashesReplay = [] {
    QHashSeed::setDeterministicGlobalSeed();
    return true;
}();

} // namespace

RandomEdits::RandomEdits(DocumentStore &store, quint32 seed)
    : store_(store), random_(seed), settingsDir_(std::make_unique<QTemporaryDir>()),
      settings_(std::make_unique<QSettings>(settingsDir_->filePath(u"snippets.ini"_s),
                                            QSettings::IniFormat)),
      snippets_(std::make_unique<SnippetLibrary>(*settings_)),
      appSettings_(std::make_unique<AppSettings>(settingsDir_->path()))
{
    store_.setClock([this] { return now_; });
    lacksSaidConnection_ =
        QObject::connect(&store_, &DocumentStore::namesLacked, &store_,
                         [this](const QString &words) { lacksSaid_.append(words); });
    // A snippet saved in a report of the other expression language (another tab), as the
    // palette's snippets menu offers it: a JavaScript array in a Java report, a Java cast in a
    // report of another language.
    const bool isJava = ExpressionLanguages::same(store_.document().language, u"java"_s);
    ReportElement written;
    written.id = newId();
    written.width = 140;
    written.height = 20;
    written.kind = ElementKind::TextField{isJava ? u"[\"Cyrillic:\", \"\u0431\"].join(\" \")"_s
                                                 : u"((Object) \"Cyrillic\").toString()"_s};
    snippets_->save(written, u"Written elsewhere"_s, isJava ? u"javascript"_s : u"java"_s);
    // The user's grid, which the canvas snaps to: on most of the time, now and then off or of
    // another size.
    appSettings_->setIsSnapToGridEnabled(!chance(0.3));
    static const double gridSizes[] = {10, 10, 5, 8, 20};
    appSettings_->setGridSize(gridSizes[pick(5)]);
}

RandomEdits::~RandomEdits()
{
    QObject::disconnect(lacksSaidConnection_);
}

int RandomEdits::pick(int count)
{
    return count <= 0 ? 0 : std::uniform_int_distribution<int>(0, count - 1)(random_);
}

double RandomEdits::pickWithin(double length)
{
    // Lengths an int holds are picked as they always were, so that a seed keeps its sequence.
    if (!(length < std::numeric_limits<int>::max()))
        return double(
            std::uniform_int_distribution<qint64>(0, qint64(std::min(length, 1e15)))(random_));
    return pick(int(std::max(length, double(std::numeric_limits<int>::min()))) + 1);
}

bool RandomEdits::chance(double probability)
{
    return std::bernoulli_distribution(probability)(random_);
}

QString RandomEdits::randomName()
{
    static const QStringList stems = {u"Country"_s,   u"Amount"_s,    u"Title"_s, u"Group"_s,
                                      u"Sans_Bold"_s, u"Addresses"_s, u"a"_s,     u"Ab"_s};
    QString name = stems.at(pick(int(stems.size())));
    if (chance(0.6))
        name += QString::number(pick(30));
    return name;
}

QString RandomEdits::nameBeside(const QStringList &others)
{
    if (others.isEmpty() || chance(0.4))
        return randomName();
    const QString other = others.at(pick(int(others.size())));
    switch (pick(3)) {
    case 0:
        return other + QString::number(pick(20)); // typed through `other` on the way
    case 1:
        return other.left(std::max<qsizetype>(1, other.size() - 1)); // a prefix of it
    default:
        return other; // the very name of another item
    }
}

void RandomEdits::typeName(const QString &from, const QString &to,
                           const std::function<void(const QString &)> &write)
{
    qsizetype common = 0;
    while (common < from.size() && common < to.size() && from[common] == to[common])
        ++common;
    QString shown = from;
    while (shown.size() > common) {
        shown.chop(1);
        now_ += betweenKeystrokes;
        write(shown);
    }
    while (shown.size() < to.size()) {
        shown += to[shown.size()];
        now_ += betweenKeystrokes;
        write(shown);
    }
}

bool RandomEdits::run(int edits, const Hook &hook)
{
    // Undoes or redoes as a gesture of its own; false when the hook stops the run.
    const auto step = [&](Event::Kind kind) {
        const bool undo = kind == Event::Kind::undo;
        Event event{kind, step_, undo ? u"undo"_s : u"redo"_s, store_.document()};
        now_ += betweenGestures;
        undo ? store_.undo() : store_.redo();
        return hook(event);
    };
    // One edit made by `make`, reported.
    const auto made = [&](const std::function<QString()> &make) {
        Event event;
        event.step = step_ + 1;
        event.before = store_.document();
        event.description = make();
        return hook(event);
    };
    for (int i = 0; i < edits; ++i) {
        if (i + 1 < edits && chance(0.08)) {
            // A band shown or hidden, undone, perhaps clicked into again and redone, and then
            // something put where the active band is.
            if (!made([this] { return showOrHideBand(); }) || !step(Event::Kind::undo))
                return false;
            if (chance(0.5)) {
                store_.setActiveBandTarget(toggledBand_);
                if (!step(Event::Kind::redo))
                    return false;
            }
            ++i;
            if (!made([this] { return insertAfterBandsChanged(); }))
                return false;
            continue;
        }
        if (!made([this] { return edit(); }))
            return false;
        if (!chance(0.3))
            continue;
        const int undos = 1 + pick(3);
        for (int u = 0; u < undos; ++u) {
            if (!step(Event::Kind::undo))
                return false;
        }
        const int redos = chance(0.5) ? 1 + pick(undos) : 0;
        for (int r = 0; r < redos; ++r) {
            if (!step(Event::Kind::redo))
                return false;
        }
    }
    return true;
}

void RandomEdits::startGesture()
{
    ++step_;
    now_ += betweenGestures;
    // A gesture on the canvas or in a panel starts from a selection of its own.
    store_.setSelectedElementIDs({});
}

QString RandomEdits::edit()
{
    startGesture();
    switch (pick(53)) {
    case 0:
    case 1:
    case 2:
        return editList();
    case 3:
    case 4:
    case 5:
        return renameNamed();
    case 6:
        return editStyleValues();
    case 7:
    case 8:
        return editVariableGroups();
    case 9:
        return editBands();
    case 10:
        return editPageSetup();
    case 11:
    case 12:
    case 13:
    case 14:
        return editElement();
    case 15:
    case 16:
        return addOrRemoveElement();
    case 17:
        return applySource();
    case 18:
    case 19:
        return editClipboard();
    case 20:
    case 21:
        return insertFromPalette();
    case 22:
        return alignOrEnclose();
    case 23:
        return editDetailBands();
    case 24:
    case 25:
        return editTableColumns();
    case 26:
    case 27:
        return chooseEvaluation();
    case 28:
        return editConditions();
    case 29:
        return editSubDatasetLists();
    case 30:
    case 31:
    case 32:
        return dragElement();
    case 33:
    case 34:
        return resizeElement();
    case 35:
        return editPadding();
    case 36:
        return typeElementFrame();
    case 37:
        return typeBandHeight();
    case 38:
        return editVariableCard();
    case 39:
        return editSortFieldType();
    case 40:
        return dropOnBand();
    case 41:
    case 42:
    case 43:
        return insertIntoTightRoom();
    case 44:
    case 45:
        return placeNearRightEdge();
    case 46:
        return dragStraight();
    case 47:
    case 48:
    case 49:
    case 50:
    case 51:
        return editDataPaths();
    case 52:
        return editManySelected();
    default: {
        const QString name = randomName();
        InspectorEdits::writeDeclaration(store_, u"report.name"_s,
                                         [&](ReportDocument &d) { d.name = name; });
        return u"report name "_s + name;
    }
    }
}
