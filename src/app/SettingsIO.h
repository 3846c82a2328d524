#pragma once

#include "platform/WriteFailureNotice.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

struct MainState;
class frmStockMain;
class frmOptions;

// Moves the settings of the current portfolio between the store and memory: the Options
// window's controls, the main window's lists and the module-wide variables.
class SettingsIO
{
public:
    SettingsIO(MainState &state, frmStockMain &main, frmOptions &options);

    // Loads every per-portfolio setting of CurrentPortfolio and the program-wide
    // data-source addresses. Putting a value into a box runs its handler when it changes,
    // so loading also applies the enabling rules.
    void GetSettings();
    // Writes the settings back, in a fixed order, under CurrentPortfolio (the loaded
    // portfolio, never an entry only picked in the list), and writes the store's file. The
    // symbol slots above the rows in memory are deleted, so a removed row stays removed.
    // A file that cannot be written is reported once (WriteFailureNotice); what was not
    // written is tried again at the next save. Returns false then.
    bool SaveSettings();

    // The default addresses of the data sources and the home page.
    static QString defaultIndicesURL();
    static QString defaultStockURL();
    static QString defaultMarketURL();
    static QString defaultRadioURL();
    static QString defaultBTVURL();
    // The defaults in force: the feed's media pages while the quotes come from the feed.
    QString btvDefault() const;
    QString radioDefault() const;
    static QString defaultHomePage();

    // The main window's zoom in percent, key Zoom of the Settings section: a step of
    // Zoom::Steps (a stored value between steps or beyond them gives the nearest step,
    // anything but a whole number 100). Written at once when the user changes it.
    static int storedZoom();
    static void storeZoom(int percent);

private:
    QString section() const;
    QString read(const QString &key, const QString &defaultValue = {}) const;
    void write(const QString &key, const QString &value) const;
    void loadSymbolRows();
    // Says once per portfolio which stored symbols are shown but not requested, and why.
    void reportRefusedSymbols(const QStringList &refused);
    void saveSymbolRows();
    void loadColors();

    MainState &m_state;
    frmStockMain &m_main;
    frmOptions &m_options;
    std::vector<int> m_colWidthTwips; // as read, -1 where nothing was stored
    WriteFailureNotice m_saveFailure;
    QSet<QString> m_refusalsReported;
};
