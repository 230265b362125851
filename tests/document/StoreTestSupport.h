#pragma once

#include "document/DocumentStore.h"

#include <QSettings>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace storetest {

inline const QString parameterValuesKey =
    QStringLiteral("com.quillmark.savedParameterValuesByPath");
inline const QString connectionIDsKey = QStringLiteral("com.quillmark.activeConnectionIDByPath");

inline ReportElement element(ElementKind kind, double x = 0, double y = 0, double width = 100,
                             double height = 20)
{
    ReportElement e;
    e.id = newId();
    e.kind = std::move(kind);
    e.x = x;
    e.y = y;
    e.width = width;
    e.height = height;
    return e;
}

inline ReportElement textField(double x = 0, double y = 0, double width = 100, double height = 20)
{
    return element(ElementKind::TextField{QStringLiteral("$F{name}")}, x, y, width, height);
}

inline ReportElement frame(QList<ReportElement> children, double x = 0, double y = 0)
{
    return element(ElementKind::Frame{std::move(children)}, x, y, 200, 50);
}

inline ReportElement list(QList<ReportElement> children)
{
    ElementKind::List payload;
    payload.children = std::move(children);
    return element(payload, 0, 0, 200, 50);
}

// Runs `action` with the process's file size limit lowered to 64 bytes, so that a longer write
// is cut short as on a full disk. Each test runs in a process of its own.
inline void withWritesCutShort(const std::function<void()> &action)
{
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 64;
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    action();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
}

// A store on a clock the test moves by hand, with settings of its own: test programs run in
// parallel, so each test keeps its settings file in a folder of its own.
class StoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(settingsDir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
        store.setClock([this] { return now; });
    }

    BandTarget detail() const
    {
        return BandTarget::detailBand(store.document().detailBands.first().id);
    }

    // Puts the elements into the detail band without recording anything.
    void place(const QList<ReportElement> &elements)
    {
        for (const ReportElement &e : elements)
            store.performAddElement(e, detail());
    }

    QTemporaryDir settingsDir;
    qint64 now = 1'000'000;
    DocumentStore store;
};

} // namespace storetest
