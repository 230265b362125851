// Shows the preferences window, for looking at it by eye:
//   settingsshow [--dark] [--open-components]
// with settings of its own (the user's are left alone) and Fusion's light or a dark palette.

#include "app/AppClock.h"
#include "app/AppSettings.h"
#include "app/SettingsAboutCard.h"
#include "app/SettingsView.h"
#include "app/SettingsWindow.h"
#include "app/SymbolIcons.h"
#include "app/UpdateChecker.h"
#include "app/UrlOpener.h"
#include "app/WidgetDialogs.h"

#include <QApplication>
#include <QStandardPaths>
#include <QStyle>
#include <QStyleFactory>
#include <QToolButton>

int main(int argc, char **argv)
{
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    const bool dark = app.arguments().contains(QStringLiteral("--dark"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    if (dark) {
        QPalette palette;
        palette.setColor(QPalette::Window, QColor(40, 40, 42));
        palette.setColor(QPalette::WindowText, QColor(230, 230, 230));
        palette.setColor(QPalette::Base, QColor(28, 28, 30));
        palette.setColor(QPalette::AlternateBase, QColor(48, 48, 50));
        palette.setColor(QPalette::Text, QColor(230, 230, 230));
        palette.setColor(QPalette::Button, QColor(58, 58, 60));
        palette.setColor(QPalette::ButtonText, QColor(230, 230, 230));
        palette.setColor(QPalette::Highlight, QColor(10, 132, 255));
        palette.setColor(QPalette::HighlightedText, Qt::white);
        QApplication::setPalette(palette);
    } else {
        QApplication::setPalette(QApplication::style()->standardPalette());
    }
    SymbolIcons::useIconTheme(dark);
    AppSettings settings;
    SystemClock clock;
    WidgetDialogs dialogs;
    DesktopUrlOpener opener;
    UpdateChecker checker(clock, dialogs, opener, VersionInfo::current());
    SettingsWindow window(settings, checker, VersionInfo::current());
    window.showOrRaise();
    if (app.arguments().contains(QStringLiteral("--open-components")))
        window.view()->aboutCard()->componentsDisclosure()->click();
    return app.exec();
}
