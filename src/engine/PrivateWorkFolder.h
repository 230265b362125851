#pragma once

#include <QString>
#include <stdexcept>

// The folder where the engine's work files go: a folder of this process's own inside "Quillmark",
// inside a folder that only this user can enter, "quillmark-<uid>" in the temporary directory.
// A shared temporary directory lets any user create names there, so each level is created with
// mode 0700 and, when it already exists, accepted only as a real folder (not a link) owned by us;
// a folder of ours that others could enter is closed to them first. When the name is taken by
// something we cannot accept, a fresh folder with an unpredictable name ("quillmark-XXXXXX") is
// made instead and kept from then on.
//
// Two designers of one user name their work files alike (every new book is "ReportBook"), so
// each process works in a folder of its own, "session-<pid>-<random>", which it holds locked
// while it runs and removes when it ends. The first process to make its folder in "Quillmark"
// removes the folders whose process is gone (their lock is free), after ending the children
// that process noted there and left running (ChildProcesses).
class PrivateWorkFolder {
public:
    static inline const QString folderName = QStringLiteral("Quillmark");

    // The failure to have any private folder; its text names the folder and the reason.
    class Error : public std::runtime_error {
    public:
        using std::runtime_error::runtime_error;
    };

    // `parentDir` is where the private folder is made; by default the temporary directory.
    explicit PrivateWorkFolder(const QString &parentDir = {});

    // The folder that keeps the others out: <parent>/quillmark-<uid>, or the fresh one.
    QString privateDir() const { return privateDir_; }
    // The folder shared by the processes of this user: privateDir()/Quillmark.
    QString sharedDir() const { return privateDir_ + QLatin1Char('/') + folderName; }
    // Where this process's work files go: sharedDir()/session-<pid>-<random>.
    QString path() const { return sharedDir() + QLatin1Char('/') + sessionName(); }
    // The name of this process's folder, the same under every parent.
    static QString sessionName();

    // Makes the folders where missing and checks them, falling back to a fresh folder when the
    // usual one cannot be accepted; returns path(). Throws Error when no folder can be had.
    QString ensure();

private:
    QString parentDir_;
    QString privateDir_;
    bool isFallback_ = false;
};
