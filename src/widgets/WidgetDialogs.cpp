#include "widgets/WidgetDialogs.h"

#include "workspace/ApplicationIdentity.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

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
    box.setText(request.message);
    box.setInformativeText(request.informativeText);
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
    if (!request.fileExtensions.isEmpty())
        dialog.setDefaultSuffix(request.fileExtensions.first());
    if (!request.proposedFileName.isEmpty())
        dialog.selectFile(request.proposedFileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedUrls().isEmpty())
        return std::nullopt;
    return dialog.selectedUrls().first();
}
