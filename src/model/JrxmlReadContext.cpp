#include "JrxmlReadContext.h"

void JrxmlReadContext::setStyles(const QList<ReportStyle> &styles)
{
    styles_ = styles;
    styleIndex_.clear();
    for (qsizetype i = 0; i < styles_.size(); ++i) {
        if (!styleIndex_.contains(styles_.at(i).name))
            styleIndex_.insert(styles_.at(i).name, i);
    }
}

const ReportStyle *JrxmlReadContext::style(const QString &name) const
{
    const auto it = styleIndex_.constFind(name);
    return it == styleIndex_.cend() ? nullptr : &styles_.at(*it);
}

const ReportStyle *JrxmlReadContext::defaultStyle() const
{
    for (const ReportStyle &style : styles_) {
        if (style.isDefault)
            return &style;
    }
    return nullptr;
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
