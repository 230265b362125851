#pragma once

#include "engine/InMemoryKeychain.h"
#include "engine/KeychainHelper.h"

#include <functional>

// An in-memory keychain that lets a test look at the window, or act, at the moment of each call,
// as the system keychain keeps its caller waiting in a local event loop.
class WatchedKeychain final : public KeychainHelper {
public:
    Read readPassword(const QString &account) const override
    {
        if (onCall)
            onCall();
        return inner.readPassword(account);
    }
    QString setPassword(const QString &password, const QString &account) override
    {
        if (onCall)
            onCall();
        return inner.setPassword(password, account);
    }
    void deletePassword(const QString &account) override
    {
        if (onCall)
            onCall();
        inner.deletePassword(account);
    }

    std::function<void()> onCall;
    InMemoryKeychain inner;
};
