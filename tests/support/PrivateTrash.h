#pragma once

#include <QByteArray>
#include <QStandardPaths>
#include <QString>

namespace testsupport {

// While it lives, what a test moves to the Trash goes to the trash of `dataHome` (the
// XDG_DATA_HOME of the freedesktop trash), not the user's; the environment is restored after.
class PrivateTrash {
public:
    explicit PrivateTrash(const QString &dataHome)
        : savedDataHome_(qgetenv("XDG_DATA_HOME")),
          wasTestMode_(QStandardPaths::isTestModeEnabled())
    {
        QStandardPaths::setTestModeEnabled(false);
        qputenv("XDG_DATA_HOME", dataHome.toUtf8());
    }
    ~PrivateTrash()
    {
        if (savedDataHome_.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", savedDataHome_);
        QStandardPaths::setTestModeEnabled(wasTestMode_);
    }
    PrivateTrash(const PrivateTrash &) = delete;
    PrivateTrash &operator=(const PrivateTrash &) = delete;

private:
    QByteArray savedDataHome_;
    bool wasTestMode_;
};

} // namespace testsupport
