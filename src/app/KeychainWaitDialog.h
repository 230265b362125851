#pragma once

#include "engine/KeychainWait.h"

#include <QDialog>
#include <QPointer>
#include <functional>

// The wait for the keyring, shown: a small window over the designer's that says what it waits
// for and where the keyring's unlock prompt may be, with a spinner and Cancel. It is application
// modal: while a caller waits for the password, nothing else of the designer takes a click or a
// key. Cancel, Escape and closing the window call the wait off; the Quit shortcut calls it off
// and then quits.
class KeychainWaitDialog final : public KeychainWait::View {
public:
    explicit KeychainWaitDialog(std::function<void()> quit);
    ~KeychainWaitDialog() override;

    void show(std::function<void()> cancel) override;
    void hide() override;

    // The window while it shows.
    QDialog *dialog() const { return dialog_; }

    // The window's words.
    static QString explanation();

private:
    std::function<void()> quit_;
    QPointer<QDialog> dialog_;
};
