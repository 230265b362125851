#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <exception>

// Zips a report's folder for upload to a report server, with the system's zip tool.
namespace ZipService {

inline constexpr char zipTool[] = "/usr/bin/zip";

class ZipError : public std::exception {
public:
    // A link that leads out of the folder would put a file from elsewhere into an archive meant
    // for upload; one that leads back into a folder holding it would make the archive endless.
    // The tool follows links, so a folder with either is not zipped at all.
    enum class Kind { zipToolNotFound, processFailed, linkLeavesFolder, linkLoops, cancelled };

    static ZipError zipToolNotFound() { return ZipError(Kind::zipToolNotFound, 0, {}); }
    static ZipError cancelled() { return ZipError(Kind::cancelled, 0, {}); }
    static ZipError processFailed(int status, const QString &output)
    {
        return ZipError(Kind::processFailed, status, output);
    }
    // `link` is the link's path inside the folder, `target` where it leads.
    static ZipError linkLeavesFolder(const QString &link, const QString &target)
    {
        return ZipError(Kind::linkLeavesFolder, 0, link, target);
    }
    static ZipError linkLoops(const QString &link, const QString &target)
    {
        return ZipError(Kind::linkLoops, 0, link, target);
    }

    Kind kind() const { return kind_; }
    int status() const { return status_; }
    // The tool's output; for a link, the link's path inside the folder.
    const QString &output() const { return output_; }
    QString description() const;
    const char *what() const noexcept override { return utf8_.constData(); }

private:
    ZipError(Kind kind, int status, const QString &output, const QString &target = {});

    Kind kind_;
    int status_;
    QString output_;
    QString target_;
    QByteArray utf8_;
};

// Archives the contents of `directory` (paths relative to it, without dot files, dot folders and
// __MACOSX folders at any level) into the file `destination`, replacing a file that is there.
// Links inside the folder are followed, as long as each stays inside it and none leads back into
// a folder that holds it; otherwise nothing is zipped (ZipError::linkLeavesFolder, linkLoops).
// The archive is built in the private work folder (PrivateWorkFolder: only this user can enter
// it) and renamed into place in the destination's folder only once it is complete, so a failure
// never leaves a partial archive or loses the previous one. Blocks until the tool has finished.
// Throws ZipError, or std::runtime_error for a work folder that cannot be had, a tool that cannot
// be started or a file that cannot be moved. Once `cancelled` turns true the tool is asked to end
// within a tenth of a second (it removes its own temporary file then) and killed when it has not
// ended a second later; nothing is written to the destination and ZipError::cancelled is thrown.
// `tool` is for tests.
void zipContents(const QString &directory, const QString &destination,
                 const QString &tool = QString::fromLatin1(zipTool),
                 const std::atomic<bool> *cancelled = nullptr);

} // namespace ZipService
