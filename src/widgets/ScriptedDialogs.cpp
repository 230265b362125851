#include "widgets/ScriptedDialogs.h"

int ScriptedDialogs::runAlert(const AlertRequest &request)
{
    alerts_.append(request);
    return alertAnswers_.isEmpty() ? -1 : alertAnswers_.dequeue();
}

QList<QUrl> ScriptedDialogs::runOpenPanel(const FilePanelRequest &request)
{
    openPanels_.append(request);
    return openAnswers_.isEmpty() ? QList<QUrl>() : openAnswers_.dequeue();
}

std::optional<QUrl> ScriptedDialogs::runSavePanel(const FilePanelRequest &request)
{
    savePanels_.append(request);
    return saveAnswers_.isEmpty() ? std::nullopt : saveAnswers_.dequeue();
}

int ScriptedDialogs::runTextAlert(const AlertRequest &request, QString &text)
{
    alerts_.append(request);
    textAlertTexts_.append(text);
    if (textAnswers_.isEmpty())
        return -1;
    const auto [button, answer] = textAnswers_.dequeue();
    text = answer;
    return button;
}
