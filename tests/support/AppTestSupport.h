#pragma once

#include "document/DocumentStore.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

namespace apptest {

// Test programs run in parallel: each test keeps its settings file and its report files in a
// folder of its own.
class SandboxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    }

    QString path(const QString &name) const { return QDir(dir.path()).filePath(name); }

    // A report file with the given report name; its path.
    QString writeReport(const QString &fileName, const QString &reportName = QString())
    {
        DocumentStore store;
        if (!reportName.isEmpty()) {
            ReportDocument document = store.document();
            document.name = reportName;
            store.setDocument(document);
        }
        store.save(QUrl::fromLocalFile(path(fileName)));
        return path(fileName);
    }

    QString writeText(const QString &fileName, const QByteArray &text)
    {
        QFile file(path(fileName));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return path(fileName);
    }

    QTemporaryDir dir;
};

} // namespace apptest
