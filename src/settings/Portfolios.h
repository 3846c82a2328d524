#pragma once

struct MainState;
class frmOptions;

// The portfolio list of the Options window and the start portfolio.
class Portfolios
{
public:
    Portfolios(MainState &state, frmOptions &options);

    // Start-up: makes sure "Default" exists, lists the stored portfolios and selects the
    // start portfolio, which sets CurrentPortfolio.
    void GetPortfolio();

    // The user (or the program) picked an entry of cboPortfolio.
    void cboPortfolio_Click();

private:
    MainState &m_state;
    frmOptions &m_options;
};
