#pragma once

#include "KeychainHelper.h"

#include <chrono>
#include <functional>

// A wait for the keychain's answer. Asked for a password, the keyring may first show an unlock
// prompt of its own and wait for the user, maybe behind the designer's window or on another
// screen. The wait runs a local event loop: for a moment without user input, so that a keyring
// that answers at once shows nothing; then with the wait shown, where the user can call it off,
// until the keyring answers, the user cancels, the deadline passes or the application quits.
// Meanwhile only the view of the wait takes clicks and keys, so that nothing else starts while
// a caller waits on the stack. Main thread only.
class KeychainWait {
public:
    enum class End {
        answered,
        // The user called the wait off, or the application is quitting.
        cancelled,
        // The deadline passed without an answer.
        timedOut,
    };

    // What shows the wait to the user: `show` once the answer is late, with the function that
    // calls the wait off; `hide` when the last wait has ended. Without one, a wait shows nothing
    // (it still ends at its deadline).
    class View {
    public:
        virtual ~View() = default;
        virtual void show(std::function<void()> cancel) = 0;
        virtual void hide() = 0;
    };
    // Sets the view (none: no view); the caller keeps it alive while it is set.
    static void setView(View *view);

    // How long a wait shows nothing, and how long it lasts at most.
    static constexpr std::chrono::milliseconds quietPeriod{400};
    static std::chrono::milliseconds deadline();
    // The deadline in words: "2 minutes".
    static QString deadlineText();
    // Tests shorten the deadline; a zero or negative one brings back the usual two minutes.
    static void setDeadline(std::chrono::milliseconds deadline);

    // Starts the keychain's job through `start`, which is given the function that reports its
    // answer, and waits. The function may be called at any time: once the wait has ended it does
    // nothing.
    static End run(const std::function<void(std::function<void()> answered)> &start);

    // Whether a wait runs now.
    static bool isWaiting();
    // Calls off every wait that runs; each ends as cancelled once its loop gets control back.
    static void cancelAll();

    // What a read that got no answer gives, for `end` (not `answered`).
    static KeychainHelper::Read unanswered(End end);
};
