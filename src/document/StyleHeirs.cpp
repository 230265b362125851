#include "document/StyleHeirs.h"

#include "document/ElementWalk.h"
#include "model/JrxmlCodec.h"
#include "model/StyleChain.h"

#include <QHash>
#include <algorithm>
#include <vector>

namespace StyleHeirs {

namespace {

// Whether the two styles hold the same values for what inherits from them (their names and
// conditional styles aside).
bool alike(const ReportStyle *a, const ReportStyle *b)
{
    if (!a || !b)
        return a == b;
    ReportStyle held = *a;
    held.id = b->id;
    held.name = b->name;
    held.conditionalStyles = b->conditionalStyles;
    return held == *b;
}

// Whether the two give the same values, as the engine reads them from the styles written.
bool alike(const InheritedStyle *a, const InheritedStyle *b)
{
    return a && b ? *a == *b : a == b;
}

// Each style takes what it inherits anew, after the style it inherits from (a style that names no
// parent, where no style is marked default, from the report's default report font, `font`). A
// style whose chain runs in a circle inherits nothing from the style that closes it, as the
// reader reads it.
bool inheritAnew(QList<ReportStyle> &styles, const ReportStyle *font)
{
    const qsizetype count = styles.size();
    std::vector<qsizetype> parents(size_t(count), -1);
    for (qsizetype i = 0; i < count; ++i) {
        if (const ReportStyle *parent = StyleChain::parentOf(styles.at(i), styles))
            parents[size_t(i)] = parent - styles.constData();
    }
    enum class State { open, visiting, done };
    std::vector<State> state(size_t(count), State::open);
    bool changed = false;
    for (qsizetype i = 0; i < count; ++i) {
        std::vector<qsizetype> chain;
        for (qsizetype at = i; at >= 0 && state[size_t(at)] == State::open;
             at = parents[size_t(at)]) {
            state[size_t(at)] = State::visiting;
            chain.push_back(at);
        }
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            const qsizetype parent = parents[size_t(*it)];
            const bool inherits = parent >= 0 && state[size_t(parent)] == State::done;
            ReportStyle style = styles.at(*it);
            const bool takesFont = parent < 0 && !style.isDefault &&
                                   !style.kept.part({}).attribute(u"style") &&
                                   !StyleChain::defaultStyle(styles);
            JrxmlCodec::inheritParentStyle(style, inherits    ? &styles.at(parent)
                                                  : takesFont ? font
                                                              : nullptr);
            state[size_t(*it)] = State::done;
            if (style == styles.at(*it))
                continue;
            styles[*it] = std::move(style);
            changed = true;
        }
    }
    return changed;
}

} // namespace

bool follow(ReportDocument &document, const QList<ReportStyle> &before,
            const QSet<QUuid> &alsoElements)
{
    // The report fonts of older reports are kept as written: only what they inherit changes.
    const QStringList fonts = JrxmlCodec::reportFonts(document);
    const JrxmlCodec::StyleSources sourcesBefore = JrxmlCodec::styleSources(before, fonts);
    const qsizetype defaultFont = sourcesBefore.defaultFont();
    bool changed = inheritAnew(document.styles,
                               defaultFont >= 0 ? &sourcesBefore.fonts.at(defaultFont) : nullptr);
    const QList<ReportStyle> after = document.styles;
    const JrxmlCodec::StyleSources sourcesAfter = JrxmlCodec::styleSources(after, fonts);
    const QList<InheritedStyle> &givenBefore = sourcesBefore.styleChains;
    const QList<InheritedStyle> &givenAfter = sourcesAfter.styleChains;
    const auto given = [](const QList<ReportStyle> &styles, const QList<InheritedStyle> &of,
                          const ReportStyle *style) -> const InheritedStyle * {
        return style ? &of.at(style - styles.constData()) : nullptr;
    };
    // Whether what inherits from `was` (of the styles before) now takes other values from `is`.
    const auto moves = [&](const ReportStyle *was, const ReportStyle *is) {
        return !alike(was, is) ||
               !alike(given(before, givenBefore, was), given(after, givenAfter, is));
    };
    // The elements of a renamed style were renamed along: their name stood for it under its
    // former one.
    QHash<QString, QString> formerNames;
    for (const ReportStyle &style : after) {
        const auto was = std::find_if(before.cbegin(), before.cend(),
                                      [&](const ReportStyle &s) { return s.id == style.id; });
        if (was != before.cend() && was->name != style.name)
            formerNames.insert(style.name, was->name);
    }
    const bool defaultMoved =
        moves(StyleChain::defaultStyle(before), StyleChain::defaultStyle(after));
    // Whether the style an element names by that name now gives it other values.
    QHash<QString, bool> moved;
    for (const QList<ReportStyle> *styles : {&before, &after}) {
        for (const ReportStyle &style : *styles) {
            const QString &name = style.name;
            if (!moved.contains(name))
                moved.insert(name, moves(StyleChain::named(before, formerNames.value(name, name)),
                                         StyleChain::named(after, name)));
        }
    }
    const bool anyMoved = defaultMoved || !alsoElements.isEmpty() ||
                          std::any_of(moved.cbegin(), moved.cend(), [](bool m) { return m; });
    if (!anyMoved)
        return changed;
    const bool elementsChanged = ElementWalk::editDocument(
        document, [&](const ReportElement &element, ElementScope) -> ElementWalk::Outcome {
            // One that names no style takes the report font its font names, which inherits from
            // the default style, or the default style (or report font).
            const InheritedStyle *now = sourcesAfter.of(element, after);
            const bool follows =
                alsoElements.contains(element.id) ||
                (element.styleName
                     ? moved.value(*element.styleName, false)
                     : defaultMoved || !alike(sourcesBefore.of(element, before), now));
            if (!follows)
                return std::nullopt;
            ReportElement e = element;
            JrxmlCodec::inheritStyle(e, now);
            if (e == element)
                return std::nullopt;
            return ElementWalk::Outcome(std::move(e));
        });
    return elementsChanged || changed;
}

} // namespace StyleHeirs
