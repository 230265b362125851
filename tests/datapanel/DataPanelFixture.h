#pragma once

#include "StoreTestSupport.h"
#include "datapanel/DataListSection.h"
#include "datapanel/DataPanelView.h"
#include "widgets/LazyRowColumn.h"
#include "widgets/ScriptedDialogs.h"
#include "workspace/AppSettings.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>

namespace storetest {

// A data panel shown on a store of its own, with its widgets found by name.
class DataPanelTest : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        settings = std::make_unique<AppSettings>(settingsDir.path());
        view = std::make_unique<DataPanelView>(
            &store, *settings, nullptr, nullptr, [this] { ++closeRequests; }, nullptr, &dialogs);
        view->resize(DataPanelView::idealWidth, DataPanelView::idealHeight);
        view->show();
        view->activateWindow();
        QApplication::processEvents();
    }

    void TearDown() override { view.reset(); }

    // A control of a list card's row is found once the sheet is scrolled to that row, as the
    // user scrolls to it before using it: rows are built as they come into view.
    template <typename T = QWidget> T *find(const QString &name) const
    {
        showListRow(name);
        return view->findChild<T *>(name);
    }
    void showListRow(const QString &name) const
    {
        static const QRegularExpression rowName(u"^(.+?)\\.row(\\d+)(\\.|$)"_s);
        const QRegularExpressionMatch match = rowName.match(name);
        if (!match.hasMatch())
            return;
        for (DataPanelCard card : DataPanelCards::order) {
            if (DataPanelCards::objectName(card) != match.captured(1))
                continue;
            QWidget *content = view->cardContent(card);
            if (auto *column = content ? content->findChild<LazyRowColumn *>(
                                             QString(), Qt::FindDirectChildrenOnly)
                                       : nullptr)
                column->showRow(match.captured(2).toInt());
        }
    }
    void click(const QString &name) const
    {
        auto *button = find<QAbstractButton>(name);
        ASSERT_TRUE(button) << name.toStdString();
        ASSERT_TRUE(button->isEnabled()) << name.toStdString();
        button->click();
        QApplication::processEvents(); // rows of removed items are deleted later
    }
    // Types into a field as the user does: focus, everything selected, then the keys.
    void type(const QString &name, const QString &keys) const
    {
        auto *edit = find<QLineEdit>(name);
        ASSERT_TRUE(edit) << name.toStdString();
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, keys);
    }
    // Chooses a picker's entry as the user does, with the keyboard.
    void choose(const QString &name, const QString &entry) const
    {
        auto *picker = find<QComboBox>(name);
        ASSERT_TRUE(picker) << name.toStdString();
        const int target = picker->findText(entry);
        ASSERT_GE(target, 0) << entry.toStdString();
        picker->setFocus();
        while (picker->currentIndex() != target) {
            const int before = picker->currentIndex();
            QTest::keyClick(picker, target > before ? Qt::Key_Down : Qt::Key_Up);
            ASSERT_NE(picker->currentIndex(), before);
        }
    }
    QList<DataListRow *> rows(DataPanelCard card) const
    {
        auto *section = qobject_cast<DataListSection *>(view->cardContent(card));
        return section ? section->rows() : QList<DataListRow *>();
    }
    // What the report looks like on disk after a save.
    QString saved()
    {
        const QString path = QDir(settingsDir.path()).filePath(u"saved.jrxml"_s);
        store.save(QUrl::fromLocalFile(path));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return QString::fromUtf8(file.readAll());
    }

    // Answers the questions asked before a removal; unanswered, they are cancelled.
    ScriptedDialogs dialogs;
    std::unique_ptr<AppSettings> settings;
    std::unique_ptr<DataPanelView> view;
    int closeRequests = 0;
};

} // namespace storetest
