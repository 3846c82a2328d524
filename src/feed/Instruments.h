#pragma once

#include <QtGlobal>

#include <span>

// The instruments the simulated market trades: well-known US stocks and the 42 market
// indices that Vantora can show in its ticker, with the names the quote service printed.
struct Instrument
{
    enum class Kind
    {
        Stock,   // a share price
        Index,   // an index level
        Volume,  // a volume index: thousands of shares traded so far today
        Breadth, // the tick: net up-ticks, a whole number around zero
        Ratio,   // the ARMS ratio, around 1
    };

    const char *symbol; // upper case, as the service prints it
    const char *name;   // company or index name (no commas: the answer is comma-separated)
    Kind kind;
    double price;     // a typical level; each seed starts the market near it
    double eps;       // earnings per share (stocks only; 0 for none)
    double dividend;  // yearly dividend per share (stocks only)
    qint64 avgVolume; // average daily share volume (stocks only)
    const char *exchange;
};

// The stocks, the four default symbols first.
std::span<const Instrument> stockInstruments();

// The 42 indices in the order of the ticker's index boxes (0 to 41).
std::span<const Instrument> indexInstruments();

// Number of decimals the service prints for an instrument's prices.
int priceDecimals(const Instrument &instrument);
