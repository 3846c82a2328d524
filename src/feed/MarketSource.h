#pragma once

#include "QuoteSource.h"
#include "SimulatedMarket.h"

// The feed's normal source: answers quote requests from a simulated market and serves
// the index page and Vantora's start page.
//
//   /download/quotes.csv?f=<codes>&s=<symbols>  one line per symbol (each request moves
//                                               the market one step first)
//   /m1                                         the index page (HTML)
//   /, /vantora, /vantora/, /index.html         the start page (HTML)
//   anything else                               404
class MarketSource : public QuoteSource
{
public:
    explicit MarketSource(quint64 seed = FeedConfig::kDefaultSeed);

    FeedReply answer(const FeedRequest &request) override;

    // The quote answer for a field-code string and a comma-separated symbol list; empty
    // entries are skipped, the rest answered in order. Does not move the market.
    QByteArray quotes(QStringView fieldCodes, QStringView symbols) const;
    QByteArray indexPage() const;
    QByteArray startPage() const;

    SimulatedMarket &market() { return m_market; }
    const SimulatedMarket &market() const { return m_market; }

    // More symbols than this in one request are not answered.
    static constexpr int kMaxSymbols = 200;

private:
    SimulatedMarket m_market;
};
