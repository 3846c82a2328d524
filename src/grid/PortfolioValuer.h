#pragma once

#include "OptionsView.h"
#include "QuotePanel.h"

#include "common/Money.h"

#include <QString>

class FlexGrid;

// Values the holdings of the loaded portfolio after a download: the value of the stocks at
// their last price and the gain or loss since the day's opening prices, shown in the
// Options window's account summary and, when asked for, on the main window's front panel
// (the figures CalcPortfolio returns).
class PortfolioValuer
{
public:
    PortfolioValuer(const FlexGrid &gridQuotes, const OptionsView &options);

    // Reads the shares of gridSymbols and the open and last prices of the quote grid's rows
    // of the same position (the grid is still in symbol-list order when this runs), fills
    // the account summary and returns the front panel's figures: "0" and "0" unless the
    // value is to be shown there.
    PortfolioFigures CalcPortfolio();

    // The amounts of the last valuation: the opening value rounded to cents, the current
    // value, and the gain (the current value in whole cents less the opening value).
    Money openingValue() const { return m_opening; }
    Money currentValue() const { return m_current; }
    Money gainLoss() const { return m_gain; }

    // A share count as the valuation uses it: the number at the start of the text rounded
    // to the nearest whole number (halves to the even neighbour), kept within 32 bits.
    static qint32 shareCount(const QString &text);

    static constexpr qint32 NoChangeColor = 0xCCCCCC; // light grey

private:
    const FlexGrid &m_quotes;
    OptionsView m_options;
    Money m_opening;
    Money m_current;
    Money m_gain;
};
