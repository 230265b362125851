#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

#include <initializer_list>
#include <utility>

// Keeps widgets disabled for as long as it lives. It guards a call that waits in a local event
// loop (the keychain's, for one): a click that arrives meanwhile cannot start the same work a
// second time. Each widget gets back the enabled state it had; one deleted meanwhile is skipped.
class DisabledWhile {
public:
    explicit DisabledWhile(std::initializer_list<QWidget *> widgets);
    ~DisabledWhile();

    DisabledWhile(const DisabledWhile &) = delete;
    DisabledWhile &operator=(const DisabledWhile &) = delete;

private:
    QList<std::pair<QPointer<QWidget>, bool>> m_widgets;
};
