#include "document/ExpressionLanguages.h"

#include "model/JrxmlCodec.h"
#include "model/XmlFragment.h"

using namespace Qt::StringLiterals;

namespace ExpressionLanguages {

QString displayName(const QString &language)
{
    const QString lower = language.toLower();
    if (lower == u"java")
        return u"Java"_s;
    if (lower == u"groovy")
        return u"Groovy"_s;
    if (lower == u"javascript")
        return u"JavaScript"_s;
    return language;
}

bool same(const QString &one, const QString &other)
{
    return one.compare(other, Qt::CaseInsensitive) == 0;
}

QStringList expressionsWithin(const ReportElement &element)
{
    QStringList texts;
    XmlFragment::edited(JrxmlCodec::serializeElement(element, {}), [&](XmlFragment::Element &tag) {
        if (!tag.localName().endsWith(u"Expression"_s))
            return;
        tag.skipChildren();
        QString text = tag.text().trimmed();
        if (!text.isEmpty())
            texts.append(std::move(text));
    });
    return texts;
}

QString words(const QString &subject, bool plural, const QString &written, const QString &report)
{
    const QString language = displayName(report);
    return subject +
           (plural ? u"' expressions are written in "_s : u"'s expressions are written in "_s) +
           displayName(written) + u", this report's in "_s + language + u": rewrite them in "_s +
           language +
           u" where the two languages differ, or change the report's language; until then the "
           u"report does not compile."_s;
}

QString note(const QString &written, const QString &report)
{
    return u"This element's expressions are written in "_s + displayName(written) +
           u", this report's in "_s + displayName(report) + u'.';
}

} // namespace ExpressionLanguages
