#include "SimulatedMarket.h"

#include <algorithm>
#include <cmath>

namespace {

double roundTo(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

} // namespace

SimulatedMarket::SimulatedMarket(quint64 seed) : m_seed(seed), m_state(seed)
{
    const auto stocks = stockInstruments();
    const auto indices = indexInstruments();
    m_quotes.reserve(stocks.size() + indices.size());
    for (const Instrument &instrument : stocks)
        m_quotes.push_back(MarketQuote{&instrument});
    for (const Instrument &instrument : indices)
        m_quotes.push_back(MarketQuote{&instrument});
    for (MarketQuote &quote : m_quotes)
        openDay(quote, true);
    for (int i = 0; i < int(m_quotes.size()); ++i)
        m_bySymbol.insert(QString::fromLatin1(m_quotes[i].instrument->symbol), i);
}

// splitmix64: small, fast and the same on every platform and compiler, which the
// standard library's distributions are not.
double SimulatedMarket::uniform()
{
    quint64 z = (m_state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    return double(z >> 11) * (1.0 / 9007199254740992.0);
}

double SimulatedMarket::gaussian()
{
    // Sum of four uniforms, scaled to unit variance: close enough to normal and bounded.
    const double sum = uniform() + uniform() + uniform() + uniform();
    return (sum - 2.0) * std::sqrt(3.0);
}

void SimulatedMarket::openDay(MarketQuote &quote, bool firstDay)
{
    const Instrument &in = *quote.instrument;
    const int decimals = priceDecimals(in);
    switch (in.kind) {
    case Instrument::Kind::Stock:
    case Instrument::Kind::Index: {
        if (firstDay) {
            quote.previousClose = roundTo(in.price * (1.0 + (uniform() - 0.5) * 0.06), decimals);
            quote.yearLow = roundTo(in.price * (0.70 + 0.10 * uniform()), decimals);
            quote.yearHigh = roundTo(in.price * (1.15 + 0.10 * uniform()), decimals);
        } else {
            quote.previousClose = quote.last;
        }
        quote.open = roundTo(quote.previousClose * (1.0 + (uniform() - 0.5) * 0.01), decimals);
        quote.last = quote.open;
        quote.volume = in.kind == Instrument::Kind::Stock
                           ? qint64(double(in.avgVolume) * (0.005 + 0.01 * uniform()))
                           : 0;
        break;
    }
    case Instrument::Kind::Volume:
        // Thousands of shares traded so far today; the "previous close" is yesterday's total.
        quote.previousClose =
            firstDay ? roundTo(in.price * (0.9 + 0.2 * uniform()), 0) : quote.last;
        quote.open = roundTo(in.price * (0.01 + 0.01 * uniform()), 0);
        quote.last = quote.open;
        if (firstDay) {
            quote.yearLow = roundTo(in.price * 0.55, 0);
            quote.yearHigh = roundTo(in.price * 1.60, 0);
        }
        break;
    case Instrument::Kind::Breadth:
        quote.previousClose = firstDay ? roundTo(in.price + 150.0 * gaussian(), 0) : quote.last;
        quote.open = roundTo(100.0 * gaussian(), 0);
        quote.last = quote.open;
        if (firstDay) {
            quote.yearLow = -1450;
            quote.yearHigh = 1380;
        }
        break;
    case Instrument::Kind::Ratio:
        quote.previousClose = firstDay ? roundTo(in.price + 0.1 * gaussian(), 2) : quote.last;
        quote.open = roundTo(std::clamp(1.0 + 0.1 * gaussian(), 0.3, 3.0), 2);
        quote.last = quote.open;
        if (firstDay) {
            quote.yearLow = 0.31;
            quote.yearHigh = 3.45;
        }
        break;
    }
    quote.low = quote.high = quote.last;
    quote.yearLow = std::min(quote.yearLow, quote.low);
    quote.yearHigh = std::max(quote.yearHigh, quote.high);
}

void SimulatedMarket::move(MarketQuote &quote)
{
    const Instrument &in = *quote.instrument;
    const int decimals = priceDecimals(in);
    switch (in.kind) {
    case Instrument::Kind::Stock:
    case Instrument::Kind::Index: {
        const double sigma = in.kind == Instrument::Kind::Stock ? 0.0025 : 0.0009;
        // A pull back towards the previous close keeps a day's move plausible.
        const double drift = -0.01 * std::log(quote.last / quote.previousClose);
        const double next = quote.last * std::exp(drift + sigma * gaussian());
        quote.last = std::max(roundTo(next, decimals), 0.01);
        if (in.kind == Instrument::Kind::Stock)
            quote.volume += qint64(double(in.avgVolume) / kStepsPerDay * (0.4 + 1.2 * uniform()));
        break;
    }
    case Instrument::Kind::Volume:
        quote.last += roundTo(in.price / kStepsPerDay * (0.5 + uniform()), 0);
        break;
    case Instrument::Kind::Breadth:
        quote.last = roundTo(0.8 * quote.last + 180.0 * gaussian(), 0);
        break;
    case Instrument::Kind::Ratio:
        quote.last =
            roundTo(std::clamp(1.0 + 0.85 * (quote.last - 1.0) + 0.08 * gaussian(), 0.3, 3.0), 2);
        break;
    }
    quote.low = std::min(quote.low, quote.last);
    quote.high = std::max(quote.high, quote.last);
    quote.yearLow = std::min(quote.yearLow, quote.low);
    quote.yearHigh = std::max(quote.yearHigh, quote.high);
}

void SimulatedMarket::step()
{
    ++m_steps;
    if (++m_stepOfDay > kStepsPerDay) {
        m_stepOfDay = 0;
        ++m_day;
        for (MarketQuote &quote : m_quotes)
            openDay(quote, false);
        return;
    }
    for (MarketQuote &quote : m_quotes)
        move(quote);
}

QTime SimulatedMarket::clock() const
{
    return QTime(9, 30).addSecs(m_stepOfDay * kSecondsPerStep);
}

const MarketQuote *SimulatedMarket::find(QStringView symbol) const
{
    const auto it = m_bySymbol.constFind(symbol.toString().toUpper());
    return it == m_bySymbol.cend() ? nullptr : &m_quotes[*it];
}
