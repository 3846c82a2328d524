#pragma once

#include "UpstreamSource.h"

#include <QDeadlineTimer>

// Live quotes from Yahoo Finance.
//
// All symbols of a request go in one request to the v7 quote endpoint, which wants a
// session: a cookie (from fc.yahoo.com) and a "crumb" (/v1/test/getcrumb) fetched with
// it. Both are kept; a 401 or 403 fetches a new pair once. When the quote endpoint keeps
// failing, each symbol is asked of the v8 chart endpoint instead (no crumb, fewer fields),
// and the quote endpoint rests for a while.
class YahooSource : public UpstreamSource
{
public:
    explicit YahooSource(QUrl upstream = {}, UpstreamPolicy policy = {});

    // The quotes of a v7 quote answer by upper-case symbol; nullopt when the answer is not
    // of that shape. An entry without a price counts as an unknown symbol.
    static std::optional<Quotes> parseQuoteAnswer(const QByteArray &json);
    // The quote of a v8 chart answer (empty when the symbol is unknown); false when the
    // answer is not of that shape.
    static bool parseChartAnswer(const QByteArray &json, std::optional<LiveQuote> &quote);

    // How long the quote endpoint rests after it kept failing.
    static constexpr int kQuoteEndpointRestMs = 5 * 60 * 1000;

protected:
    void fetchQuotes(const QStringList &symbols, Fetched done) override;

private:
    void withSession(std::function<void(std::optional<UpstreamFailure>)> then);
    void fetchFromQuoteEndpoint(const QStringList &symbols, bool renewed, Fetched done);
    void fetchFromChartEndpoint(const QStringList &symbols, qsizetype next, Quotes found,
                                const QString &quoteEndpointTrouble, Fetched done);

    QString m_crumb;
    QDeadlineTimer m_quoteEndpointRest{0}; // expired: the quote endpoint is in use
};
