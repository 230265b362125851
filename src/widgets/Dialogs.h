#pragma once

#include "document/DocumentStoreTypes.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

// A modal alert: a message, an informative text and buttons in order. No buttons shows the
// platform's single default button.
struct AlertRequest {
    enum class Style { informational, warning, critical };
    enum class Role { normal, cancel, destructive };
    struct Button {
        QString title;
        Role role = Role::normal;
    };

    Style style = Style::warning;
    QString message;
    QString informativeText;
    QList<Button> buttons;
    // The position of the button that Return presses. A question whose answer can lose work
    // makes it the button that keeps the work.
    int defaultButton = 0;
};

// An open or save panel. An empty list of extensions allows every file.
struct FilePanelRequest {
    QString title;
    QString message;
    QStringList fileExtensions;
    // Save panels: the name proposed to the user.
    QString proposedFileName;
    // Save panels: the panel asks before a file that exists is chosen; false when the caller
    // asks itself, in words of its own.
    bool confirmsReplace = true;
    // Where the panel starts; empty for the platform's choice.
    QString directory;
    // Open panels: several files may be chosen; folders are chosen instead of files.
    bool allowsMultipleSelection = false;
    bool choosesDirectories = false;
};

// Every alert and file panel of the program goes through one of these, so tests can answer
// them. Main thread only; every call returns when the user has answered.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // The position of the chosen button (0 for the first, also for the default button), or -1
    // when the alert was dismissed otherwise.
    virtual int runAlert(const AlertRequest &request) = 0;
    // The chosen files or folders; empty when the user cancelled.
    virtual QList<QUrl> runOpenPanel(const FilePanelRequest &request) = 0;
    virtual std::optional<QUrl> runSavePanel(const FilePanelRequest &request) = 0;
    // An alert with a one-line text field below its informative text, which holds `text` at
    // first and has the focus. Answers as runAlert does; `text` then holds the field's text.
    virtual int runTextAlert(const AlertRequest &request, QString &text) = 0;

    // The one alert for failed file actions and commands: "Quillmark" with the error's text.
    void presentError(const QString &description);
    // When nothing on the computer could open what the user asked for: an alert that says so,
    // with `copyTitle` first, which puts `text` (an address, a path) on the clipboard, then "OK".
    // Returns whether the text was copied.
    bool offerToCopy(const QString &message, const QString &informativeText,
                     const QString &copyTitle, const QString &text);
};
