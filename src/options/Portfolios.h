#pragma once

#include <QString>

struct MainState;
class frmOptions;

// The portfolio list of the Options window (cboPortfolio), its slots Portfolio0 to
// Portfolio19 in the store, the start portfolio, and the store side of creating and
// removing a portfolio. The window-side commands (load, the create dialog, the removal
// question) live with the Options window.
class Portfolios
{
public:
    static constexpr int MaxPortfolios = 20;

    // Why a name for a new portfolio is refused.
    enum class Refusal
    {
        None,      // the name can be used
        Empty,     // nothing typed: ignored without a message
        Blank,     // only blanks
        Separator, // "\" or "/" would address a nested section of the store
        Exists,    // already listed (letter case aside)
        Full,      // the list already holds MaxPortfolios names
        SharesLog, // its trade log file would be a listed portfolio's (logClashWith)
    };

    Portfolios(MainState &state, frmOptions &options);

    // Start-up: makes sure "Default" exists, lists the stored portfolios (leaving out and
    // clearing the slot of a name with a separator, a blank name, or one listed before; in
    // other letter case too where the store does not tell letter case apart) and selects the
    // start portfolio, which sets CurrentPortfolio. The start portfolio counts as loaded, so
    // PortfolioChanged is left clear. Listed names whose trade logs would be one file are
    // reported in one message.
    void GetPortfolio();

    // The user (or the program) picked an entry of cboPortfolio; it is loaded later (Load or
    // OK), and CurrentPortfolio names the loaded portfolio until then.
    void cboPortfolio_Click();

    // Writes the listed names into slots 0 to n-1 and clears the slots n to 19, so a name
    // removed from the list never comes back at the next start.
    void saveList() const;

    // The check made before a name is added, and the message box (title and text) that
    // tells the user about a refusal (empty for None and Empty).
    Refusal checkNewName(const QString &name) const;
    static QString refusalTitle(Refusal refusal);
    // `other` names the listed portfolio a SharesLog refusal is about.
    static QString refusalText(Refusal refusal, const QString &other = {});
    // The listed portfolio whose trade log file `name` would use; empty when there is none.
    QString logClashWith(const QString &name) const;

    // Appends a new name to the list (selected, without raising cboPortfolio_Click) and
    // stores the list. A section left under that name by earlier data is removed first,
    // so the new portfolio holds exactly what is saved for it.
    void addToList(const QString &name);

    // Removes the listed name at `index` from the list and from the store: its section and
    // every slot holding it. Returns false when the portfolio had no stored settings (its
    // section holds no AlertPopUp). When the list is left empty, "Default" is listed again.
    bool removeEntry(int index);

private:
    QStringList listedNames() const;

    MainState &m_state;
    frmOptions &m_options;
};
