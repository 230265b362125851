#pragma once

#include <QList>
#include <QUrl>
#include <functional>

class QObject;

// Opens a URL with the system's handler: the browser, the mail program for mailto: links.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    // Hands the URL to the handler. `failed` runs when no handler took it: before this returns
    // when there is none, or later, on this thread, when the desktop's opener ends saying that it
    // found none; never once `context` is gone.
    virtual void open(const QUrl &url, const QObject *context, std::function<void()> failed) = 0;
};

// The program's opener: the desktop's default handlers. Where xdg-open is installed it is run
// and watched, since it finds the handler only after it has started; elsewhere the platform's
// own way is asked.
class DesktopUrlOpener : public UrlOpener {
public:
    void open(const QUrl &url, const QObject *context, std::function<void()> failed) override;
};

// For tests: remembers what would have been opened, and answers as a system with a handler for
// every URL does, or, with `handles` false, as one without.
class RecordingUrlOpener : public UrlOpener {
public:
    void open(const QUrl &url, const QObject *, std::function<void()> failed) override
    {
        opened.append(url);
        if (!handles && failed)
            failed();
    }

    QList<QUrl> opened;
    bool handles = true;
};
