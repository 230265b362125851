#include "KeychainWait.h"

#include <QEventLoop>
#include <QList>
#include <QTimer>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr std::chrono::milliseconds usualDeadline = std::chrono::minutes(2);

struct Wait {
    QEventLoop *loop = nullptr;
    bool answered = false;
    bool cancelled = false;
    bool timedOut = false;
    bool quietOver = false;

    void end(bool Wait::*how)
    {
        this->*how = true;
        if (loop)
            loop->exit();
    }
    // Nothing yet has ended the wait: a loop that returns so was ended by the application's
    // quit.
    bool undecided() const { return !answered && !cancelled && !timedOut; }
};

QList<std::shared_ptr<Wait>> waits;
KeychainWait::View *view = nullptr;
bool viewShown = false;
std::chrono::milliseconds deadlineNow = usualDeadline;

void showView()
{
    if (viewShown || !view)
        return;
    viewShown = true;
    view->show(&KeychainWait::cancelAll);
}

void hideViewAfterLast()
{
    if (!viewShown || !waits.isEmpty())
        return;
    viewShown = false;
    if (view)
        view->hide();
}

} // namespace

void KeychainWait::setView(View *newView)
{
    if (viewShown && view)
        view->hide();
    viewShown = false;
    view = newView;
}

std::chrono::milliseconds KeychainWait::deadline()
{
    return deadlineNow;
}

QString KeychainWait::deadlineText()
{
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(deadlineNow).count();
    if (seconds >= 60 && seconds % 60 == 0)
        return seconds == 60 ? u"1 minute"_s : u"%1 minutes"_s.arg(seconds / 60);
    return seconds == 1 ? u"1 second"_s : u"%1 seconds"_s.arg(seconds);
}

void KeychainWait::setDeadline(std::chrono::milliseconds deadline)
{
    deadlineNow = deadline.count() > 0 ? deadline : usualDeadline;
}

KeychainWait::End KeychainWait::run(const std::function<void(std::function<void()>)> &start)
{
    const auto wait = std::make_shared<Wait>();
    QEventLoop loop;
    wait->loop = &loop;
    waits.append(wait);
    start([weak = std::weak_ptr<Wait>(wait)] {
        if (const std::shared_ptr<Wait> answered = weak.lock())
            answered->end(&Wait::answered);
    });

    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, [&] { wait->end(&Wait::timedOut); });
    limit.start(deadlineNow);
    if (wait->undecided()) {
        QTimer quiet;
        quiet.setSingleShot(true);
        QObject::connect(&quiet, &QTimer::timeout, &loop, [&] { wait->end(&Wait::quietOver); });
        quiet.start(quietPeriod);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    // Late: the wait shows, and the user's clicks and keys reach its view.
    if (wait->undecided() && wait->quietOver) {
        showView();
        // An exit called before the loop runs would be lost: the answer may have come meanwhile.
        if (wait->undecided())
            loop.exec(QEventLoop::AllEvents);
    }
    wait->loop = nullptr;
    waits.removeOne(wait);
    hideViewAfterLast();
    if (wait->answered)
        return End::answered;
    return wait->timedOut ? End::timedOut : End::cancelled;
}

bool KeychainWait::isWaiting()
{
    return !waits.isEmpty();
}

void KeychainWait::cancelAll()
{
    for (const std::shared_ptr<Wait> &wait : std::as_const(waits))
        wait->end(&Wait::cancelled);
}

KeychainHelper::Read KeychainWait::unanswered(End end)
{
    using Failure = KeychainHelper::Failure;
    if (end == End::timedOut)
        return {std::nullopt, u"the keyring did not answer within %1"_s.arg(deadlineText()),
                Failure::noAnswer};
    return {std::nullopt, u"the wait for the keyring was cancelled"_s, Failure::cancelled};
}
