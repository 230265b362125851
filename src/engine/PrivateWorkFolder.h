#pragma once

#include <QString>
#include <stdexcept>

// The folder where the engine's work files go: "Quillmark" inside a folder that only this user
// can enter, "quillmark-<uid>" in the temporary directory. A shared temporary directory lets any
// user create names there, so each level is created with mode 0700 and, when it already exists,
// accepted only as a real folder (not a link) owned by us; a folder of ours that others could
// enter is closed to them first. When the name is taken by something we cannot accept, a fresh
// folder with an unpredictable name ("quillmark-XXXXXX") is made instead and kept from then on.
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
    // Where work files go: privateDir()/Quillmark.
    QString path() const { return privateDir_ + QLatin1Char('/') + folderName; }

    // Makes the folders where missing and checks them, falling back to a fresh folder when the
    // usual one cannot be accepted; returns path(). Throws Error when no folder can be had.
    QString ensure();

private:
    QString parentDir_;
    QString privateDir_;
    bool isFallback_ = false;
};
