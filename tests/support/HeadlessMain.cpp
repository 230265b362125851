#include <QCoreApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

// Runs the tests inside an application object, with settings and data folders kept apart from
// the user's.
int main(int argc, char **argv)
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("QuillmarkTests"));
    QCoreApplication::setApplicationName(QStringLiteral("QuillmarkTests"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
