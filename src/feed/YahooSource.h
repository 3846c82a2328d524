#pragma once

#include "UpstreamSource.h"

#include <QDeadlineTimer>

#include <memory>

// Live quotes from Yahoo Finance, from whichever of its endpoints answers:
//
// - the v7 quote endpoint: every field, all symbols in one request, but it wants a
//   session (a cookie from fc.yahoo.com and a "crumb" from /v1/test/getcrumb fetched with
//   it) and may refuse every caller all the same. It is tried at most once per rest
//   period; each failure in a row doubles the rest, up to an hour;
// - the v7 spark endpoint: the chart's summary ("meta") of up to 20 symbols a request;
// - the v8 chart endpoint: one symbol a request, several under way at once.
// Spark and chart need no session and give no EPS, open, P/E, bid or ask.
class YahooSource : public UpstreamSource
{
public:
    explicit YahooSource(QUrl upstream = {}, UpstreamPolicy policy = {});

    // The quotes of a v7 quote answer by upper-case symbol; nullopt when the answer is not
    // of that shape. An entry without a price counts as an unknown symbol.
    static std::optional<Quotes> parseQuoteAnswer(const QByteArray &json);
    // The quotes of a spark answer, the same way.
    static std::optional<Quotes> parseSparkAnswer(const QByteArray &json);
    // The quote of a v8 chart answer (empty when the symbol is unknown); false when the
    // answer is not of that shape.
    static bool parseChartAnswer(const QByteArray &json, std::optional<LiveQuote> &quote);

    // How long the quote endpoint rests after its first failure, and at most.
    static constexpr int kQuoteEndpointRestMs = 5 * 60 * 1000;
    static constexpr int kLongestRestMs = 60 * 60 * 1000;
    // Symbols in one spark request.
    static constexpr int kSparkBatch = 20;

protected:
    void fetchQuotes(const QStringList &symbols, FetchSink sink) override;
    int batchSize() const override;

private:
    struct Round;

    void withSession(std::function<void(std::optional<UpstreamFailure>, bool fresh)> then);
    void fetchFromQuoteEndpoint(const QStringList &symbols, bool renewed, FetchSink sink);
    void quoteEndpointFailed();
    void fetchWithoutSession(const QStringList &symbols, FetchSink sink);
    void fetchFromSpark(const std::shared_ptr<Round> &round, const QStringList &symbols);
    void fetchFromChart(const std::shared_ptr<Round> &round, const QString &symbol);
    static void partDone(const std::shared_ptr<Round> &round);

    QString m_crumb;
    QDeadlineTimer m_quoteEndpointRest{0}; // expired: the quote endpoint may be tried
    int m_quoteEndpointFailures = 0;       // in a row
    QDeadlineTimer m_sparkRest{0};         // expired: the spark endpoint is in use
};
