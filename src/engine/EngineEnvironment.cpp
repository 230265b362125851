#include "EngineEnvironment.h"

#include "PrivateWorkFolder.h"

#include <clocale>
#include <langinfo.h>
#include <locale.h>
#include <mutex>

extern char **environ;

namespace {

// The value of `name` in `environment`, or an empty one.
QByteArray valueOf(const QList<QByteArray> &environment, QByteArrayView name)
{
    for (const QByteArray &entry : environment) {
        if (entry.size() > name.size() && entry.startsWith(name) && entry[name.size()] == '=')
            return entry.mid(name.size() + 1);
    }
    return {};
}

void setValue(QList<QByteArray> &environment, QByteArrayView name, const QByteArray &value)
{
    const QByteArray entry = name.toByteArray() + '=' + value;
    for (QByteArray &each : environment) {
        if (each.startsWith(name) && each.size() > name.size() && each[name.size()] == '=') {
            each = entry;
            return;
        }
    }
    environment.append(entry);
}

// True when `name` is an installed locale whose character set is UTF-8.
bool isUtf8Locale(const QByteArray &name)
{
    const locale_t locale = ::newlocale(LC_CTYPE_MASK, name.constData(), locale_t(nullptr));
    if (!locale)
        return false;
    const QByteArray codeset = ::nl_langinfo_l(CODESET, locale);
    ::freelocale(locale);
    return codeset == "UTF-8";
}

// A folder of mode 0700 at `path` that this user owns and that is no link.
} // namespace

namespace EngineEnvironment {

QList<QByteArray> current()
{
    QList<QByteArray> environment;
    for (char **entry = environ; entry && *entry; ++entry)
        environment.append(QByteArray(*entry));
    return environment;
}

QList<QByteArray> withUtf8FileNames(QList<QByteArray> environment)
{
    const QByteArray all = valueOf(environment, "LC_ALL");
    QByteArray effective = all;
    if (effective.isEmpty())
        effective = valueOf(environment, "LC_CTYPE");
    if (effective.isEmpty())
        effective = valueOf(environment, "LANG");
    if (!effective.isEmpty() && isUtf8Locale(effective))
        return environment;

    // de_DE.ISO-8859-1@euro keeps its language as de_DE.UTF-8 where that is installed.
    // (language[_territory][.codeset][@modifier])
    qsizetype end = 0;
    while (end < effective.size() && effective[end] != '.' && effective[end] != '@')
        ++end;
    const QByteArray language = effective.left(end);
    QByteArray chosen = language + ".UTF-8";
    if (language.isEmpty() || language == "C" || language == "POSIX" || !isUtf8Locale(chosen))
        chosen = "C.UTF-8";
    setValue(environment, all.isEmpty() ? "LC_CTYPE" : "LC_ALL", chosen);
    return environment;
}

QString privateFolder()
{
    static std::mutex mutex;
    static PrivateWorkFolder folder;
    std::lock_guard lock(mutex);
    try {
        return folder.ensure();
    } catch (const PrivateWorkFolder::Error &) {
        return {};
    }
}

} // namespace EngineEnvironment
