#pragma once

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

// The offscreen platform's own screen is 800 x 800 points, smaller than any a user works on: the
// benchmarks that draw the designer's window run it on a screen of a common desktop's size.
namespace offscreenscreen {

inline constexpr int width = 1920;
inline constexpr int height = 1200;

// The value of QT_QPA_PLATFORM that names the offscreen platform with such a screen, described
// in a file in `folder` (which must outlive the application); the plain offscreen platform when
// the file cannot be written.
inline QByteArray platform(const QTemporaryDir &folder)
{
    const QString path = folder.filePath(QStringLiteral("screen.json"));
    QFile file(path);
    const QByteArray screen = "{\"screens\": [{\"name\": \"desktop\", \"x\": 0, \"y\": 0, "
                              "\"width\": " +
                              QByteArray::number(width) +
                              ", \"height\": " + QByteArray::number(height) +
                              ", \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}]}";
    if (!folder.isValid() || !file.open(QIODevice::WriteOnly) ||
        file.write(screen) != screen.size())
        return "offscreen";
    return "offscreen:configfile=" + QFile::encodeName(path);
}

} // namespace offscreenscreen
