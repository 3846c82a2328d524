#pragma once

#include "UpstreamSource.h"

// Live quotes from Finnhub's documented quote API (GET /api/v1/quote?symbol=MSFT&token=KEY),
// one request per symbol, with the user's own key. It gives last, change and percent, day
// high and low, open, previous close and the time of the last trade; name, volume, EPS,
// P/E, bid and ask are N/A.
//
// At most 30 requests a minute (the free plan allows 60). Index levels are not on the free
// plan: a "^" symbol answers as unknown without a request. A 401 or 403 means the key was
// refused; a symbol the plan does not carry answers as unknown.
class FinnhubSource : public UpstreamSource
{
public:
    // Finnhub's limit of calls a minute is added to the policy's limits.
    explicit FinnhubSource(QUrl upstream = {}, QString key = {}, UpstreamPolicy policy = {});

    static constexpr int kCallsPerMinute = 30;

    // The quote of one answer (empty when Finnhub does not carry the symbol); false when
    // the answer is not that JSON.
    static bool parseQuote(const QByteArray &json, const QString &symbol,
                           std::optional<LiveQuote> &quote);

protected:
    void fetchQuotes(const QStringList &symbols, FetchSink sink) override;
};
