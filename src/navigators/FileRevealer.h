#pragma once

#include <QList>
#include <QUrl>
#include <functional>

class QObject;
class UrlOpener;

// Shows a file or folder selected in the desktop's file manager.
class FileRevealer {
public:
    virtual ~FileRevealer() = default;
    // Shows the item. `failed` runs when nothing on the computer could show it: before this
    // returns, or later, on this thread, when the desktop's opener gives up; never once
    // `context` is gone.
    virtual void reveal(const QUrl &url, const QObject *context, std::function<void()> failed) = 0;
};

// The program's revealer: asks the file manager over the session bus (the freedesktop
// FileManager1 interface) to show the item selected; when no file manager answers, opens the
// folder that holds the item (or a folder itself) with the desktop's handler.
class DesktopFileRevealer : public FileRevealer {
public:
    explicit DesktopFileRevealer(UrlOpener &fallback) : fallback_(fallback) {}
    void reveal(const QUrl &url, const QObject *context, std::function<void()> failed) override;

    // The folder the fallback opens for an item.
    static QUrl folderToOpen(const QUrl &url);

private:
    UrlOpener &fallback_;
};

// For tests: remembers what would have been shown, and answers as a computer with a file
// manager does, or, with `shows` false, as one without.
class RecordingFileRevealer : public FileRevealer {
public:
    void reveal(const QUrl &url, const QObject *, std::function<void()> failed) override
    {
        revealed.append(url);
        if (!shows && failed)
            failed();
    }

    QList<QUrl> revealed;
    bool shows = true;
};
