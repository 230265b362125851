#pragma once

#include "DataPanelFixture.h"

#include <QCheckBox>
#include <QPushButton>

namespace storetest {

// The data panel on a store, with the names of the rows' controls and keystrokes typed one at a
// time as a user types them.
class DataCardsTest : public DataPanelTest {
protected:
    static QString row(const QString &card, int index, const QString &control)
    {
        return card + u".row"_s + QString::number(index) + u'.' + control;
    }

    // Opens a report file whose body is `body`, as the designer opens a file.
    void openReport(const QByteArray &body)
    {
        const QString path = QDir(settingsDir.path()).filePath(u"opened.jrxml"_s);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<jasperReport xmlns=\"http://jasperreports.sourceforge.net/jasperreports\" "
                   "name=\"r\">" +
                   body + "</jasperReport>");
        file.close();
        store.load(QUrl::fromLocalFile(path));
        view->refresh();
    }

    // Clicks a row's remove button and lets the removed row go at once, as the event loop does,
    // so that its controls' names are free for the row that takes its place.
    void remove(const QString &card, int index) const
    {
        click(row(card, index, u"remove"_s));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Clears a field as the user does: everything selected, then Backspace.
    void clear(const QString &name) const
    {
        auto *edit = find<QLineEdit>(name);
        ASSERT_TRUE(edit) << name.toStdString();
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
    }

    // Types the keys one by one at the caret, checking after each that the same field object
    // still holds the focus and the caret stands right after the key typed.
    void typeKeepingFocus(const QString &name, const QString &keys) const
    {
        auto *edit = find<QLineEdit>(name);
        ASSERT_TRUE(edit) << name.toStdString();
        edit->setFocus();
        for (const QChar key : keys) {
            const int caret = edit->cursorPosition();
            QTest::keyClicks(edit, QString(key));
            QApplication::processEvents();
            ASSERT_EQ(find<QLineEdit>(name), edit) << "the field was rebuilt";
            EXPECT_TRUE(edit->hasFocus());
            EXPECT_EQ(edit->cursorPosition(), caret + 1);
        }
    }
};

} // namespace storetest
