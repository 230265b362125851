#pragma once

#include "DataPanelFixture.h"
#include "TestSupport.h"
#include "datapanel/ConnectionEditorSheet.h"
#include "datapanel/ConnectionEditorState.h"
#include "datapanel/OutcomeText.h"
#include "engine/ConnectionPresetStore.h"
#include "engine/KeychainHelper.h"
#include "engine/SidecarModel.h"
#include "widgets/SheetDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

namespace storetest {

// The data panel with the application's connection presets on the keychain a test gives, and
// an engine model of its own (whose engine the test locates before SetUp), with the Database
// Connections card's and the connection editor's widgets found by name.
class ConnectionsPanelTest : public DataPanelTest {
protected:
    void SetUp() override
    {
        DataPanelTest::SetUp();
        // Ports show as plain digits unless a test chooses a locale that groups them.
        QLocale::setDefault(QLocale::c());
        presetSettings = std::make_unique<QSettings>(dir.filePath(QStringLiteral("presets.ini")),
                                                     QSettings::IniFormat);
        connections = std::make_unique<ConnectionPresetStore>(*presetSettings, keychainHelper());
        openPanel();
    }
    void TearDown() override
    {
        DataPanelTest::TearDown();
        QLocale::setDefault(QLocale::c());
    }
    virtual KeychainHelper &keychainHelper() = 0;

    // A new panel on the same store, as each opening of the sheet builds one.
    void openPanel()
    {
        view.reset();
        view = std::make_unique<DataPanelView>(&store, *settings, &model, connections.get(),
                                               [this] { ++closeRequests; });
        view->resize(DataPanelView::idealWidth, DataPanelView::idealHeight);
        view->show();
        QApplication::processEvents();
    }

    static QString row(int index, const QString &part)
    {
        return QStringLiteral("datapanel.connections.row") + QString::number(index) + u'.' + part;
    }
    QString text(const QString &name) const
    {
        auto *label = find<QLabel>(name);
        EXPECT_TRUE(label) << name.toStdString();
        return label ? label->text() : QString();
    }
    bool shown(const QString &name) const
    {
        auto *widget = find(name);
        EXPECT_TRUE(widget) << name.toStdString();
        return widget && widget->isVisible();
    }
    QComboBox *picker() const
    {
        return find<QComboBox>(QStringLiteral("datapanel.connections.active"));
    }
    QStringList pickerItems() const
    {
        QStringList items;
        for (int i = 0; i < picker()->count(); ++i)
            items << picker()->itemText(i);
        return items;
    }
    QString pickerChoice() const { return picker()->currentText(); }
    int rowCount() const
    {
        int count = 0;
        while (find(QStringLiteral("datapanel.connections.row") + QString::number(count)))
            ++count;
        return count;
    }
    ConnectionEditorState &editor() const { return view->connectionEditor(); }
    SheetDialog *editorDialog() const { return view->connectionEditorSheet()->dialog(); }
    QLineEdit *field(const QString &name) const
    {
        return find<QLineEdit>(QStringLiteral("connectionEditor.") + name);
    }
    void typeIn(const QString &name, const QString &keys) const
    {
        type(QStringLiteral("connectionEditor.") + name, keys);
    }
    void clickEditor(const QString &name) const
    {
        click(QStringLiteral("connectionEditor.") + name);
    }
    bool waitForTest(std::chrono::milliseconds limit = std::chrono::seconds(20)) const
    {
        return testsupport::waitFor([this] { return !model.isTestingConnection(); }, limit);
    }
    QColor colour(const QString &name) const
    {
        return find<QLabel>(name)->palette().color(QPalette::WindowText);
    }

    QTemporaryDir dir;
    PrivateWorkFolder workFolder{dir.path()};
    SidecarModel model{workFolder};
    std::unique_ptr<QSettings> presetSettings;
    std::unique_ptr<ConnectionPresetStore> connections;
};

} // namespace storetest
