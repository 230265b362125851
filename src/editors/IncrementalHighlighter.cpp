#include "IncrementalHighlighter.h"

#include <algorithm>

IncrementalHighlighter::IncrementalHighlighter(const CodeSyntaxHighlighting &scheme)
    : scheme_(scheme), matches_(size_t(scheme.passes().size()))
{
}

IncrementalHighlighter::Edit IncrementalHighlighter::difference(const QString &before,
                                                                const QString &after)
{
    const qsizetype shorter = std::min(before.size(), after.size());
    const QChar *a = before.constData();
    const QChar *b = after.constData();
    qsizetype prefix = 0;
    while (prefix < shorter && a[prefix] == b[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix &&
           a[before.size() - 1 - suffix] == b[after.size() - 1 - suffix])
        ++suffix;
    qsizetype safeFrom = prefix;
    while (safeFrom > 0 && a[safeFrom - 1].isSpace())
        --safeFrom;
    return {prefix, before.size() - suffix, after.size() - suffix, safeFrom - 1};
}

std::pair<qsizetype, qsizetype> IncrementalHighlighter::update(const QString &given)
{
    QString text = given;
    if (!text.isValidUtf16()) {
        // A lone surrogate stands in as U+FFFD: the positions stay, and matching stays safe.
        QChar *chars = text.data();
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (chars[i].isHighSurrogate() && i + 1 < text.size() && chars[i + 1].isLowSurrogate())
                ++i;
            else if (chars[i].isSurrogate())
                chars[i] = QChar::ReplacementCharacter;
        }
    }
    const Edit edit = difference(text_, text);
    if (edit.from == text_.size() && edit.from == text.size())
        return {0, 0};
    const qsizetype delta = edit.newEnd - edit.oldEnd;

    // Old styles shifted into the new positions, the edited part reset to plain.
    std::vector<quint8> before = styles_;
    styles_.erase(styles_.begin() + edit.from, styles_.begin() + edit.oldEnd);
    styles_.insert(styles_.begin() + edit.from, size_t(edit.newEnd - edit.from), 0);
    text_ = text;

    qsizetype dirtyFrom = edit.from;
    qsizetype dirtyTo = edit.newEnd;
    for (int pass = 0; pass < int(matches_.size()); ++pass)
        rescan(pass, edit, dirtyFrom, dirtyTo);
    resolve(dirtyFrom, dirtyTo);

    // Narrow the range to the characters whose style really changed.
    auto oldStyle = [&](qsizetype i) -> int {
        if (i < edit.from)
            return before[size_t(i)];
        if (i >= edit.newEnd)
            return before[size_t(i - delta)];
        return -1;
    };
    qsizetype first = dirtyFrom;
    while (first < dirtyTo && oldStyle(first) == styles_[size_t(first)])
        ++first;
    qsizetype last = dirtyTo;
    while (last > first && oldStyle(last - 1) == styles_[size_t(last - 1)])
        --last;
    return {first, last};
}

void IncrementalHighlighter::rescan(int pass, const Edit &edit, qsizetype &dirtyFrom,
                                    qsizetype &dirtyTo)
{
    const QRegularExpression &regex = scheme_.passes().at(pass).regex;
    std::vector<Range> &old = matches_[size_t(pass)];
    const qsizetype delta = edit.newEnd - edit.oldEnd;
    auto toNew = [&](qsizetype position, bool isEnd) {
        if (position < edit.from || (position == edit.from && !isEnd))
            return position;
        if (position >= edit.oldEnd)
            return position + delta;
        return isEnd ? edit.newEnd : edit.from;
    };

    // Keep every match that ends safely before the edit; the scan resumes at the end of the last
    // one, whose one character of look-behind lies in the unchanged text.
    auto kept = std::partition_point(old.begin(), old.end(),
                                     [&](const Range &r) { return r.end < edit.safeFrom; });
    qsizetype position = kept == old.begin() ? 0 : std::prev(kept)->end;
    auto next = kept; // first old match not yet accounted for
    std::vector<Range> found;
    bool inStep = false;
    while (position <= text_.size()) {
        // The text was made valid UTF-16 in update(), so PCRE need not check all of it again on
        // every call.
        const auto match = regex.match(text_, position, QRegularExpression::NormalMatch,
                                       QRegularExpression::DontCheckSubjectStringMatchOption);
        if (!match.hasMatch())
            break;
        const Range range{match.capturedStart(0), match.capturedEnd(0)};
        // An old match at the same place past the edit means the two scans agree from here on.
        while (next != old.end() && next->start + delta < range.start)
            ++next;
        if (range.start > edit.newEnd && next != old.end() && next->start + delta == range.start) {
            inStep = true;
            break;
        }
        found.push_back(range);
        position = range.end > range.start ? range.end : range.end + 1;
    }
    if (!inStep)
        next = old.end();

    for (auto it = kept; it != next; ++it) {
        dirtyFrom = std::min(dirtyFrom, toNew(it->start, false));
        dirtyTo = std::max(dirtyTo, toNew(it->end, true));
    }
    for (const Range &r : found) {
        dirtyFrom = std::min(dirtyFrom, r.start);
        dirtyTo = std::max(dirtyTo, r.end);
    }
    for (auto it = next; it != old.end(); ++it) {
        it->start += delta;
        it->end += delta;
    }
    const auto at = old.erase(kept, next);
    old.insert(at, found.begin(), found.end());
}

void IncrementalHighlighter::resolve(qsizetype from, qsizetype to)
{
    if (from >= to)
        return;
    std::fill(styles_.begin() + from, styles_.begin() + to, 0);
    const auto &passes = scheme_.passes();
    for (size_t pass = 0; pass < matches_.size(); ++pass) {
        const auto &list = matches_[pass];
        auto it = std::partition_point(list.begin(), list.end(),
                                       [&](const Range &r) { return r.end <= from; });
        for (; it != list.end() && it->start < to; ++it) {
            const qsizetype end = std::min(it->end, to);
            for (qsizetype i = std::max(it->start, from); i < end; ++i)
                styles_[size_t(i)] =
                    syntaxstyle::overlay(styles_[size_t(i)], passes.at(qsizetype(pass)).color,
                                         passes.at(qsizetype(pass)).bold);
        }
    }
}

QList<HighlightSpan> IncrementalHighlighter::spans(qsizetype start, qsizetype end) const
{
    start = std::clamp<qsizetype>(start, 0, qsizetype(styles_.size()));
    end = std::clamp<qsizetype>(end, start, qsizetype(styles_.size()));
    return syntaxstyle::runs(styles_.data() + start, end - start, start);
}
