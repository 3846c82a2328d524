#pragma once

#include "UpstreamSource.h"

// Live quotes from Stooq's CSV endpoint (/q/l/?s=msft.us&f=sd2t2ohlcvn&h&e=csv&apikey=KEY),
// one request per symbol, several under way at once. It gives date and time, open, high,
// low, close, volume and name; everything else (previous close, change, EPS, P/E, bid,
// ask) is N/A. Without a key it may answer with an HTML check page and status 200: that
// is reported as "Stooq asks for an API key", never read as quotes.
class StooqSource : public UpstreamSource
{
public:
    explicit StooqSource(QUrl upstream = {}, UpstreamPolicy policy = {}, QString key = {});

    // Stooq's name for a symbol: a symbol without an exchange suffix is a US one
    // ("MSFT" -> "msft.us"); the main US indices have names of their own ("^GSPC" ->
    // "^spx"); anything else is asked as it is, in lower case.
    static QString stooqSymbol(const QString &symbol);
    // The quote of one CSV answer (empty when Stooq does not know the symbol); false when
    // the answer is not that CSV. usTime: the trade time is turned from Stooq's time
    // (Warsaw) into New York time.
    static bool parseCsv(const QByteArray &csv, bool usTime, std::optional<LiveQuote> &quote);

protected:
    void fetchQuotes(const QStringList &symbols, FetchSink sink) override;
};
