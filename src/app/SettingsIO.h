#pragma once

#include "platform/WriteFailureNotice.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

struct MainState;
class frmStockMain;
class frmOptions;
class OptionValue;
class OptionsModel;

// Moves the settings of the current portfolio between the store and memory: the options
// model (which the Options window's controls show), the main window's lists and the
// module-wide variables.
class SettingsIO
{
public:
    SettingsIO(MainState &state, frmStockMain &main, frmOptions &options);

    // Loads every per-portfolio setting of CurrentPortfolio and the program-wide
    // data-source addresses. A value that changes is put into its box, which runs the box's
    // handler, so loading also applies the enabling rules.
    void GetSettings();
    // Writes the settings back, in a fixed order, under CurrentPortfolio (the loaded
    // portfolio, never an entry only picked in the list), and writes the store's file. The
    // symbol slots above the rows in memory are deleted, so a removed row stays removed.
    // A file that cannot be written is reported once (WriteFailureNotice); what was not
    // written is tried again at the next save. Returns false then.
    bool SaveSettings();

private:
    // One value of the options model from or into the store, in CurrentPortfolio's section
    // or the program's.
    void load(OptionValue &value) const;
    void store(const OptionValue &value) const;
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
    OptionsModel &m_model;
    std::vector<int> m_colWidthTwips; // as read, -1 where nothing was stored
    WriteFailureNotice m_saveFailure;
    QSet<QString> m_refusalsReported;
};
