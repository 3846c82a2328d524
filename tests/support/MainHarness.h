#pragma once

#include "app/StockMain.h"
#include "settings/SettingsStore.h"
#include "support/TestDoubles.h"

#include <memory>

// A main window started the way the program starts it, on the platform doubles, after the
// user agreement was accepted (FirstRun = 1) and on whatever the test stored before.
struct MainHarness
{
    // Empties the store, then marks the agreement as accepted.
    static void freshStore()
    {
        SettingsStore::clearAll();
        SettingsStore::write(QStringLiteral("Settings"), QStringLiteral("FirstRun"),
                             QStringLiteral("1"));
    }

    std::unique_ptr<StockMain> start()
    {
        auto main = std::make_unique<StockMain>();
        main->Form_Load();
        return main;
    }

    static QString stored(const QString &section, const QString &key)
    {
        return SettingsStore::read(section, key);
    }
    static QString portfolioKey(const QString &portfolio, const QString &key)
    {
        return SettingsStore::read(SettingsStore::portfolioSection(portfolio), key);
    }
};
