#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// Zips a report's folder for upload to a report server, with the system's zip tool.
namespace ZipService {

inline constexpr char zipTool[] = "/usr/bin/zip";

class ZipError : public std::exception {
public:
    enum class Kind { zipToolNotFound, processFailed };

    static ZipError zipToolNotFound() { return ZipError(Kind::zipToolNotFound, 0, {}); }
    static ZipError processFailed(int status, const QString &output)
    {
        return ZipError(Kind::processFailed, status, output);
    }

    Kind kind() const { return kind_; }
    int status() const { return status_; }
    const QString &output() const { return output_; }
    QString description() const;
    const char *what() const noexcept override { return utf8_.constData(); }

private:
    ZipError(Kind kind, int status, const QString &output);

    Kind kind_;
    int status_;
    QString output_;
    QByteArray utf8_;
};

// Archives the contents of `directory` (paths relative to it, without dot files, dot folders and
// __MACOSX folders at any level) into the file `destination`, replacing a file that is there.
// The archive is built in the temporary directory and renamed into place in the destination's
// folder only once it is complete, so a failure never leaves a partial archive or loses the
// previous one. Blocks until the tool has finished. Throws ZipError, or std::runtime_error for a
// tool that cannot be started or a file that cannot be moved. `tool` is for tests.
void zipContents(const QString &directory, const QString &destination,
                 const QString &tool = QString::fromLatin1(zipTool));

} // namespace ZipService
