#include <QApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

// Runs widget tests inside an application object (offscreen under CTest), with settings kept
// apart from the user's.
int main(int argc, char **argv)
{
    QStandardPaths::setTestModeEnabled(true);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("QuillmarkTests"));
    QCoreApplication::setApplicationName(QStringLiteral("QuillmarkTests"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
