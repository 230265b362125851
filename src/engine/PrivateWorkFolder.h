#pragma once

#include <QString>
#include <stdexcept>

// The folder where the engine's work files go: "Quillmark" inside a folder that only this user
// can enter, "quillmark-<uid>" in the temporary directory. A shared temporary directory lets any
// user create names there, so each level is created with mode 0700 and, when it already exists,
// accepted only as a real folder (not a link) owned by us; a folder of ours that others could
// enter is closed to them first.
class PrivateWorkFolder {
public:
    static inline const QString folderName = QStringLiteral("Quillmark");

    // The failure to make the folder private; its text names the folder and the reason.
    class Error : public std::runtime_error {
    public:
        using std::runtime_error::runtime_error;
    };

    // `parentDir` is where the private folder is made; by default the temporary directory.
    explicit PrivateWorkFolder(const QString &parentDir = {});

    // <parent>/quillmark-<uid>: the folder that keeps the others out.
    QString privateDir() const { return privateDir_; }
    // <parent>/quillmark-<uid>/Quillmark: where work files go.
    QString path() const { return path_; }

    // Makes both folders where missing and checks them; returns path(). Throws Error.
    QString ensure() const;

private:
    QString privateDir_;
    QString path_;
};
