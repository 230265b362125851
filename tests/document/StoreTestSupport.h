#pragma once

#include "document/DocumentStore.h"

#include <QSettings>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace storetest {

using namespace Qt::StringLiterals;

inline const QString parameterValuesKey = u"com.quillmark.savedParameterValuesByPath"_s;
inline const QString connectionIDsKey = u"com.quillmark.activeConnectionIDByPath"_s;

inline ReportElement element(ElementKind kind, double x = 0, double y = 0, double width = 100,
                             double height = 20)
{
    return {
        .id = newId(), .kind = std::move(kind), .x = x, .y = y, .width = width, .height = height};
}

inline ReportElement textField(double x = 0, double y = 0, double width = 100, double height = 20)
{
    return element(ElementKind::TextField{u"$F{name}"_s}, x, y, width, height);
}

inline ReportElement frame(QList<ReportElement> children, double x = 0, double y = 0)
{
    return element(ElementKind::Frame{std::move(children)}, x, y, 200, 50);
}

inline ReportElement list(QList<ReportElement> children)
{
    return element(ElementKind::List{.children = std::move(children)}, 0, 0, 200, 50);
}

// The ids of elements, bands or any other items, in order.
template <typename List> QList<QUuid> ids(const List &items)
{
    QList<QUuid> out;
    for (const auto &item : items)
        out.append(item.id);
    return out;
}

// Changes the report as a view's binding does: no undo step, no dirty flag.
inline void editDocument(DocumentStore &store, const std::function<void(ReportDocument &)> &change)
{
    ReportDocument document = store.document();
    change(document);
    store.setDocument(document);
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

// A store on a clock that stands still, with settings of its own: test programs run in
// parallel, so each test keeps its settings file in a folder of its own.
class StoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(settingsDir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
        store.setClock([] { return qint64(0); });
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

    void placeSelected(const QList<ReportElement> &elements)
    {
        place(elements);
        const QList<QUuid> placed = ids(elements);
        store.setSelectedElementIDs(QSet<QUuid>(placed.cbegin(), placed.cend()));
    }

    QTemporaryDir settingsDir;
    DocumentStore store;
};

} // namespace storetest
