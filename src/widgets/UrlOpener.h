#pragma once

#include <QList>
#include <QUrl>

// Opens a URL with the system's handler: the browser, the mail program for mailto: links.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    // False when no handler took the URL.
    virtual bool open(const QUrl &url) = 0;
};

// The program's opener: the desktop's default handlers.
class DesktopUrlOpener : public UrlOpener {
public:
    bool open(const QUrl &url) override;
};

// For tests: remembers what would have been opened, and answers as a system with a handler for
// every URL does, or, with `handles` false, as one without.
class RecordingUrlOpener : public UrlOpener {
public:
    bool open(const QUrl &url) override
    {
        opened.append(url);
        return handles;
    }

    QList<QUrl> opened;
    bool handles = true;
};
