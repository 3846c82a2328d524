#pragma once

#include "FeedConfig.h"
#include "Instruments.h"

#include <QHash>
#include <QStringView>
#include <QTime>

#include <vector>

// The state of one instrument in the simulated market.
struct MarketQuote
{
    const Instrument *instrument = nullptr;
    double previousClose = 0;
    double open = 0;
    double low = 0;
    double high = 0;
    double last = 0;
    double yearLow = 0;
    double yearHigh = 0;
    qint64 volume = 0; // shares today (stocks only)

    double change() const { return last - previousClose; }
    double changePercent() const { return previousClose != 0 ? change() / previousClose * 100 : 0; }
    bool isStock() const { return instrument->kind == Instrument::Kind::Stock; }
};

// A market that moves by one step at a time, entirely determined by its seed and the
// number of steps taken: two markets with the same seed that take the same steps show
// the same prices. Each step advances the market clock by 15 seconds through a trading
// day from 9:30am to 4:00pm; after the close a new day opens from the last prices.
class SimulatedMarket
{
public:
    explicit SimulatedMarket(quint64 seed = FeedConfig::kDefaultSeed);

    // Moves every instrument one step and advances the clock.
    void step();

    quint64 seed() const { return m_seed; }
    quint64 steps() const { return m_steps; }
    int day() const { return m_day; }
    // Time of the last trade in the simulated trading day.
    QTime clock() const;

    // The instrument with this symbol, letter case ignored, or nullptr.
    const MarketQuote *find(QStringView symbol) const;
    const std::vector<MarketQuote> &quotes() const { return m_quotes; }

    static constexpr int kSecondsPerStep = 15;
    static constexpr int kStepsPerDay = 390 * 60 / kSecondsPerStep; // 9:30am to 4:00pm

private:
    double uniform();  // in [0, 1)
    double gaussian(); // about N(0, 1)
    void openDay(MarketQuote &quote, bool firstDay);
    void move(MarketQuote &quote);

    quint64 m_seed;
    quint64 m_state;
    quint64 m_steps = 0;
    int m_stepOfDay = 0;
    int m_day = 0;
    std::vector<MarketQuote> m_quotes;
    QHash<QString, int> m_bySymbol; // upper-case symbol -> index in m_quotes
};
