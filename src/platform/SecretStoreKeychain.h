#pragma once

#include "Platform.h"

// The secret store through QtKeychain: on Linux the desktop's Secret Service (GNOME Keyring,
// KWallet), where the entries are found under the service "Vantora". It never falls back
// to a plain-text file: where no store runs, every call answers Unavailable.
class KeychainSecretStore : public SecretStore
{
public:
    static constexpr char kService[] = "Vantora";

    void read(const QString &name, QObject *context,
              std::function<void(Status, const QString &)> done) override;
    void write(const QString &name, const QString &secret, QObject *context,
               std::function<void(Status)> done) override;
};
