#pragma once

#include "KeychainHelper.h"

#include <qt6keychain/keychain.h>

// The system keychain through QtKeychain: the Secret Service on Linux, the Keychain on macOS, the
// credential store on Windows. Its insecure fallback (passwords in a settings file) stays off,
// so a password is kept by the system keychain or not at all. Calls block their caller, running
// a local event loop until the keychain answers or the wait for it ends (KeychainWait); they
// belong on the main thread.
class QtKeychainHelper final : public KeychainHelper {
public:
    // What a finished read job found, from QtKeychain's error code, its error text and the data
    // it read.
    static Read readResult(QKeychain::Error error, const QString &errorString,
                           const QByteArray &data);

    Read readPassword(const QString &account) const override;
    QString setPassword(const QString &password, const QString &account) override;
    void deletePassword(const QString &account) override;
};
