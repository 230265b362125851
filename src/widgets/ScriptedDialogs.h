#pragma once

#include "widgets/Dialogs.h"

#include <QQueue>
#include <QStringList>
#include <utility>

// Dialogs for tests: answers queued in advance, requests recorded. With no answer queued an
// alert is dismissed (-1) and a panel cancelled.
class ScriptedDialogs : public Dialogs {
public:
    void answerAlert(int button) { alertAnswers_.enqueue(button); }
    void answerOpenPanel(const QList<QUrl> &urls) { openAnswers_.enqueue(urls); }
    void answerSavePanel(const std::optional<QUrl> &url) { saveAnswers_.enqueue(url); }
    // The button of the next text alert and what its field holds when it is answered.
    void answerTextAlert(int button, const QString &text) { textAnswers_.enqueue({button, text}); }

    const QList<AlertRequest> &alerts() const { return alerts_; }
    const QList<FilePanelRequest> &openPanels() const { return openPanels_; }
    const QList<FilePanelRequest> &savePanels() const { return savePanels_; }
    // Text alerts are recorded among the alerts too; these are the texts their fields started with.
    const QStringList &textAlertTexts() const { return textAlertTexts_; }

    int runAlert(const AlertRequest &request) override;
    QList<QUrl> runOpenPanel(const FilePanelRequest &request) override;
    std::optional<QUrl> runSavePanel(const FilePanelRequest &request) override;
    int runTextAlert(const AlertRequest &request, QString &text) override;

private:
    QQueue<int> alertAnswers_;
    QQueue<QList<QUrl>> openAnswers_;
    QQueue<std::optional<QUrl>> saveAnswers_;
    QQueue<std::pair<int, QString>> textAnswers_;
    QStringList textAlertTexts_;
    QList<AlertRequest> alerts_;
    QList<FilePanelRequest> openPanels_;
    QList<FilePanelRequest> savePanels_;
};
