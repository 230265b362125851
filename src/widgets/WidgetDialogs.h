#pragma once

#include "widgets/Dialogs.h"

#include <QPointer>
#include <QWidget>

// The program's dialogs: message boxes and the platform's file dialogs over a parent window.
class WidgetDialogs : public Dialogs {
public:
    explicit WidgetDialogs(QWidget *parent = nullptr) : parent_(parent) {}
    void setParent(QWidget *parent) { parent_ = parent; }

    int runAlert(const AlertRequest &request) override;
    QList<QUrl> runOpenPanel(const FilePanelRequest &request) override;
    std::optional<QUrl> runSavePanel(const FilePanelRequest &request) override;
    int runTextAlert(const AlertRequest &request, QString &text) override;

private:
    QPointer<QWidget> parent_;
};
