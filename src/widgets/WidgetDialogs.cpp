#include "widgets/WidgetDialogs.h"

#include "workspace/ApplicationIdentity.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString nameFilter(const QStringList &extensions)
{
    if (extensions.isEmpty())
        return {};
    QStringList patterns;
    for (const QString &extension : extensions)
        patterns.append(QStringLiteral("*.") + extension);
    return patterns.join(QLatin1Char(' ')).prepend(QStringLiteral("(")) + QStringLiteral(")");
}

void prepare(QFileDialog &dialog, const FilePanelRequest &request)
{
    dialog.setWindowTitle(request.title.isEmpty() ? quillmark::applicationName : request.title);
    if (!request.message.isEmpty())
        dialog.setLabelText(QFileDialog::LookIn, request.message);
    if (!request.fileExtensions.isEmpty())
        dialog.setNameFilter(nameFilter(request.fileExtensions));
    if (!request.directory.isEmpty())
        dialog.setDirectory(request.directory);
}

} // namespace

int WidgetDialogs::runAlert(const AlertRequest &request)
{
    QMessageBox box(parent_);
    box.setWindowTitle(quillmark::applicationName);
    box.setIcon(request.style == AlertRequest::Style::critical  ? QMessageBox::Critical
                : request.style == AlertRequest::Style::warning ? QMessageBox::Warning
                                                                : QMessageBox::Information);
    // Messages carry names and error texts: shown as they are, never read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(request.message);
    box.setInformativeText(request.informativeText);
    if (auto *informative = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel")))
        informative->setTextFormat(Qt::PlainText);
    QList<QAbstractButton *> buttons;
    for (const AlertRequest::Button &button : request.buttons) {
        const QMessageBox::ButtonRole role =
            button.role == AlertRequest::Role::cancel        ? QMessageBox::RejectRole
            : button.role == AlertRequest::Role::destructive ? QMessageBox::DestructiveRole
                                                             : QMessageBox::AcceptRole;
        buttons.append(box.addButton(button.title, role));
    }
    if (buttons.isEmpty())
        buttons.append(box.addButton(QMessageBox::Ok));
    box.setDefaultButton(
        qobject_cast<QPushButton *>(buttons.value(request.defaultButton, buttons.first())));
    box.exec();
    return int(buttons.indexOf(box.clickedButton()));
}

QList<QUrl> WidgetDialogs::runOpenPanel(const FilePanelRequest &request)
{
    QFileDialog dialog(parent_);
    prepare(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.choosesDirectories        ? QFileDialog::Directory
                       : request.allowsMultipleSelection ? QFileDialog::ExistingFiles
                                                         : QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedUrls();
}

std::optional<QUrl> WidgetDialogs::runSavePanel(const FilePanelRequest &request)
{
    QFileDialog dialog(parent_);
    prepare(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmsReplace);
    if (!request.fileExtensions.isEmpty())
        dialog.setDefaultSuffix(request.fileExtensions.first());
    if (!request.proposedFileName.isEmpty())
        dialog.selectFile(request.proposedFileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedUrls().isEmpty())
        return std::nullopt;
    return dialog.selectedUrls().first();
}

int WidgetDialogs::runTextAlert(const AlertRequest &request, QString &text)
{
    QDialog dialog(parent_);
    dialog.setWindowTitle(quillmark::applicationName);
    auto *layout = new QVBoxLayout(&dialog);
    auto *message = new QLabel(request.message, &dialog);
    message->setTextFormat(Qt::PlainText);
    QFont bold = message->font();
    bold.setBold(true);
    message->setFont(bold);
    layout->addWidget(message);
    if (!request.informativeText.isEmpty()) {
        auto *informative = new QLabel(request.informativeText, &dialog);
        informative->setTextFormat(Qt::PlainText);
        informative->setWordWrap(true);
        layout->addWidget(informative);
    }
    auto *field = new QLineEdit(text, &dialog);
    field->setObjectName(QStringLiteral("alert.textField"));
    field->setFixedSize(260, 24);
    layout->addWidget(field);

    auto *box = new QDialogButtonBox(&dialog);
    QList<QPushButton *> buttons;
    for (const AlertRequest::Button &button : request.buttons) {
        const QDialogButtonBox::ButtonRole role =
            button.role == AlertRequest::Role::cancel        ? QDialogButtonBox::RejectRole
            : button.role == AlertRequest::Role::destructive ? QDialogButtonBox::DestructiveRole
                                                             : QDialogButtonBox::AcceptRole;
        buttons.append(box->addButton(button.title, role));
    }
    if (buttons.isEmpty())
        buttons.append(box->addButton(QDialogButtonBox::Ok));
    buttons.first()->setDefault(true);
    int chosen = -1;
    for (int i = 0; i < buttons.size(); ++i) {
        QObject::connect(buttons.at(i), &QPushButton::clicked, &dialog, [&dialog, &chosen, i] {
            chosen = i;
            dialog.done(QDialog::Accepted);
        });
    }
    layout->addWidget(box);
    field->setFocus();
    dialog.exec();
    text = field->text();
    return chosen;
}
