#include "JrxmlReadContext.h"

void JrxmlReadContext::setStyles(const QList<ReportStyle> &styles,
                                 const QList<InheritedStyle> &inherited)
{
    styles_ = styles;
    inherited_ = inherited;
    styleIndex_.clear();
    defaultStyle_ = nullptr;
    lastStyleName_ = QString();
    lastStyle_ = nullptr;
    for (qsizetype i = 0; i < styles_.size(); ++i) {
        const ReportStyle &style = styles_.at(i);
        if (!styleIndex_.contains(style.name))
            styleIndex_.insert(style.name, i);
        // Of several marked default, the engine takes the last.
        if (style.isDefault)
            defaultStyle_ = &style;
    }
}

const ReportStyle *JrxmlReadContext::style(const QString &name) const
{
    // The same characters in memory are the same name.
    if (!lastStyleName_.isNull() && name.constData() == lastStyleName_.constData() &&
        name.size() == lastStyleName_.size())
        return lastStyle_;
    const auto it = styleIndex_.constFind(name);
    lastStyleName_ = name;
    lastStyle_ = it == styleIndex_.cend() ? nullptr : &styles_.at(*it);
    return lastStyle_;
}

const ReportStyle *JrxmlReadContext::defaultStyle() const
{
    return defaultStyle_;
}

const InheritedStyle *JrxmlReadContext::inherited(const ReportStyle *style) const
{
    if (!style)
        return nullptr;
    const qsizetype at = style - styles_.constData();
    return at >= 0 && at < inherited_.size() ? &inherited_.at(at) : nullptr;
}

void JrxmlReadContext::dropped(const char *tag, int count)
{
    const QString key = QLatin1Char('<') + QString::fromUtf8(tag) + QLatin1Char('>');
    const auto it = noteIndex_.constFind(key);
    if (it != noteIndex_.cend()) {
        notes_[*it].count += count;
        return;
    }
    noteIndex_.insert(key, notes_.size());
    notes_.append({key, count});
}

void JrxmlReadContext::note(const QString &text)
{
    if (noteIndex_.contains(text))
        return;
    noteIndex_.insert(text, notes_.size());
    notes_.append({text, 0});
}

QStringList JrxmlReadContext::notes() const
{
    QStringList lines;
    for (const Note &n : notes_) {
        if (n.count == 0)
            lines.append(n.text);
        else if (n.count == 1)
            lines.append(QStringLiteral("1 ") + n.text + QStringLiteral(" element was not kept"));
        else
            lines.append(QString::number(n.count) + QLatin1Char(' ') + n.text +
                         QStringLiteral(" elements were not kept"));
    }
    return lines;
}
