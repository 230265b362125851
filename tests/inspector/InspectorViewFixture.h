#pragma once

#include "StoreTestSupport.h"
#include "editors/CodeEditorView.h"
#include "editors/CodeTextView.h"
#include "editors/ExpressionBuilderButton.h"
#include "editors/ExpressionBuilderView.h"
#include "inspector/InspectorView.h"
#include "widgets/MeasurementField.h"
#include "workspace/AppSettings.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace storetest {

// An inspector shown on a store of its own, in millimetres, with its widgets found by name.
class InspectorViewTest : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        QLocale::setDefault(QLocale::c());
        settings = std::make_unique<AppSettings>(settingsDir.path());
        settings->setMeasurementUnit(MeasurementUnit::millimeters);
        view = std::make_unique<InspectorView>(*settings, nullptr);
        view->resize(420, 1400);
        view->setStore(&store);
        view->show();
        view->activateWindow();
        QApplication::processEvents();
    }

    void TearDown() override { view.reset(); }

    // A widget of the inspector shown now.
    template <typename T = QWidget> T *find(const QString &name) const
    {
        return view->inspector() ? view->inspector()->findChild<T *>(name) : nullptr;
    }
    QString text(const QString &name) const
    {
        const auto *label = find<QLabel>(name);
        return label ? label->text() : u"(missing)"_s;
    }
    QLineEdit *length(const QString &name) const
    {
        const auto *field = find<MeasurementField>(name);
        return field ? field->lineEdit() : nullptr;
    }

    // Types into a field as the user does: focus, everything selected, then the keys.
    static void type(QLineEdit *edit, const QString &keys)
    {
        ASSERT_TRUE(edit);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, keys);
    }

    // Opens the builder of the button and types the keys into its editor; the editor's text.
    static QString typeInBuilder(ExpressionBuilderButton *button, const QString &keys)
    {
        if (!button)
            return u"(no builder button)"_s;
        button->click();
        if (!button->builder())
            return u"(no builder)"_s;
        for (const QChar c : keys) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(button->builder()->editor()->textView(), &press);
        }
        return button->builder()->editor()->text();
    }

    ReportElement selectNew(const ReportElement &element)
    {
        placeSelected({element});
        return element;
    }

    // Picks an entry as the user does.
    static void pick(QComboBox *picker, const QString &entry)
    {
        ASSERT_TRUE(picker);
        const int index = picker->findText(entry);
        ASSERT_GE(index, 0) << entry.toStdString();
        picker->setCurrentIndex(index);
        emit picker->activated(index);
    }

    std::unique_ptr<AppSettings> settings;
    std::unique_ptr<InspectorView> view;
};

} // namespace storetest
