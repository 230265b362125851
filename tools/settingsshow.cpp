// Shows the preferences window, for looking at it by eye:
//   settingsshow [--dark] [--open-components]
// with settings of its own (the user's are left alone) in the program's light or dark palette.

#include "app/SettingsAboutCard.h"
#include "app/SettingsView.h"
#include "app/SettingsWindow.h"
#include "app/UpdateChecker.h"
#include "widgets/AppPalettes.h"
#include "widgets/UrlOpener.h"
#include "widgets/WidgetDialogs.h"
#include "workspace/AppClock.h"
#include "workspace/AppSettings.h"

#include <QApplication>
#include <QStandardPaths>
#include <QStyleFactory>
#include <QToolButton>

int main(int argc, char **argv)
{
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    const bool dark = app.arguments().contains(QStringLiteral("--dark"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    AppPalettes::apply(dark ? AppAppearance::dark : AppAppearance::light);
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
