#include "app/KeychainWaitDialog.h"

#include "widgets/Spinner.h"

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

KeychainWaitDialog::KeychainWaitDialog(std::function<void()> quit) : quit_(std::move(quit)) {}

KeychainWaitDialog::~KeychainWaitDialog()
{
    hide();
}

QString KeychainWaitDialog::explanation()
{
    return u"Quillmark is waiting for the keyring, which keeps the connections' passwords. If "
           u"the keyring asks to be unlocked, answer its prompt: it may be behind this window or "
           u"on another screen.\n\nWithout an answer the wait ends after %1; you can then type "
           u"the password in the connection's Edit sheet instead."_s.arg(
               KeychainWait::deadlineText());
}

void KeychainWaitDialog::show(std::function<void()> cancel)
{
    hide();
    // Over the window the user works in: a sheet's, when one shows.
    QWidget *over = QApplication::activeModalWidget();
    if (!over)
        over = QApplication::activeWindow();
    auto *dialog = new QDialog(over);
    dialog_ = dialog;
    dialog->setObjectName(u"keychainWait"_s);
    dialog->setWindowTitle(u"Waiting for the Keyring"_s);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setAttribute(Qt::WA_DeleteOnClose);

    auto *layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(20, 18, 20, 16);
    layout->setSpacing(10);
    auto *heading = new QHBoxLayout;
    heading->setSpacing(8);
    heading->addWidget(new Spinner(16, dialog));
    auto *title = new QLabel(u"Waiting for the keyring…"_s, dialog);
    title->setObjectName(u"keychainWait.title"_s);
    QFont font = title->font();
    font.setWeight(QFont::DemiBold);
    title->setFont(font);
    heading->addWidget(title, 1);
    layout->addLayout(heading);
    auto *text = new QLabel(explanation(), dialog);
    text->setObjectName(u"keychainWait.text"_s);
    text->setWordWrap(true);
    text->setMinimumWidth(360);
    layout->addWidget(text);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *cancelButton = new QPushButton(u"Cancel"_s, dialog);
    cancelButton->setObjectName(u"keychainWait.cancel"_s);
    cancelButton->setDefault(true);
    buttons->addWidget(cancelButton);
    layout->addLayout(buttons);

    // Cancel, Escape and closing the window all reject it.
    QObject::connect(cancelButton, &QPushButton::clicked, dialog, &QDialog::reject);
    QObject::connect(dialog, &QDialog::rejected, dialog, cancel);
    auto *quitKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), dialog);
    QObject::connect(quitKey, &QShortcut::activated, dialog, [cancel, quit = quit_] {
        cancel();
        if (quit)
            quit();
    });
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void KeychainWaitDialog::hide()
{
    if (!dialog_)
        return;
    QDialog *dialog = dialog_;
    dialog_ = nullptr;
    // Closed by the wait's end: that is no cancel.
    QObject::disconnect(dialog, &QDialog::rejected, dialog, nullptr);
    dialog->hide();
    dialog->deleteLater();
}
