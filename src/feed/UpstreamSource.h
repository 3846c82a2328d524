#pragma once

#include "LiveQuote.h"
#include "QuoteSource.h"

#include <QElapsedTimer>
#include <QHash>
#include <QNetworkAccessManager>
#include <QObject>
#include <QUrl>

#include <deque>
#include <functional>
#include <optional>

// How a live source treats its upstream server.
struct UpstreamPolicy
{
    int minIntervalMs = 1000; // at most one upstream request in this time
    int timeoutMs = 10000;    // one upstream request gives up after this
    int retries = 2;          // further attempts after a 429, a 5xx, a time-out or no answer
    int backoffMs = 2000;     // wait before the first further attempt, doubled for each next
    int cacheMs = 15000;      // a quote serves again for this long
};

// Why a fetch of quotes failed: the status the feed answers Vantora with (502: the
// upstream answered something unusable; 503: it could not be reached or refused) and a
// one-line reason.
struct UpstreamFailure
{
    int status = 502;
    QString reason;
};

// What came back for one upstream request.
struct UpstreamAnswer
{
    int status = 0; // HTTP status; 0 when no HTTP answer arrived
    QByteArray contentType;
    QByteArray body;
    QString failure; // why no HTTP answer arrived ("time-out", the network error)

    bool ok() const { return status == 200; }
    bool looksLikeHtml() const;
    // "HTTP 429 Too Many Requests", "time-out", "HTML page instead of data" ...
    QString describe() const;
    // This answer as the failure of the step named by what.
    UpstreamFailure toFailure(const QString &what) const;
};

// The part that every live source shares. It answers Vantora's quote requests
// (/download/quotes.csv?f=<codes>&s=<symbols>) from quotes that a concrete source fetches
// from its upstream server, and answers the pages itself.
//
// - Symbols are checked before they go upstream (isValidSymbol); a bad one gets the line
//   of an unknown symbol and is never sent.
// - Quotes are kept for cacheMs: a request whose symbols are all fresh goes nowhere.
// - Requests are worked through one at a time, so a second request for the same symbols
//   finds what the first fetched.
// - Every upstream request waits for its turn: at most one per minIntervalMs; a 429 also
//   pushes the next turn back by the back-off.
// - A 429, a 5xx, a time-out or a failed connection is tried again, at most `retries`
//   times, with a back-off that doubles.
// - Nothing here blocks: answers are given from the event loop when the upstream has
//   answered.
class UpstreamSource : public QuoteSource
{
public:
    UpstreamSource(QString name, QUrl upstream, UpstreamPolicy policy);
    ~UpstreamSource() override;

    // Answers pages, errors and fully cached quote requests; a request that needs the
    // upstream is answered 503 here (answerAsync is the way to ask for it).
    FeedReply answer(const FeedRequest &request) override;
    void answerAsync(const FeedRequest &request, Done done) override;

    QString name() const { return m_name; }
    const UpstreamPolicy &policy() const { return m_policy; }

protected:
    using Quotes = QHash<QString, LiveQuote>; // by upper-case symbol as asked
    using Fetched = std::function<void(std::optional<UpstreamFailure>, Quotes)>;

    // Fetches quotes for these upper-case, valid symbols and calls done once: with the
    // quotes found (a symbol the upstream does not know is simply missing), or with the
    // failure.
    virtual void fetchQuotes(const QStringList &symbols, Fetched done) = 0;

    // The address of a path on one of the source's hosts; with an upstream address given,
    // that address stands for every host.
    QUrl address(const QString &host, const QString &pathAndQuery) const;
    // GET at the next free turn, tried again on a failure that may pass.
    void get(const QUrl &url, std::function<void(const UpstreamAnswer &)> done);
    QNetworkAccessManager &network() { return m_network; }
    // Context object of callbacks: they die with the source.
    QObject *context() { return &m_context; }

private:
    struct Job
    {
        QStringList codes;
        QStringList entries; // the symbols as asked, empty ones dropped
        Done done;
    };

    std::optional<FeedReply> immediateReply(const FeedRequest &request, Job &job) const;
    bool allCached(const Job &job) const;
    QByteArray cachedAnswer(const Job &job) const;
    void runNext();
    void attempt(const QUrl &url, int attemptNo, std::function<void(const UpstreamAnswer &)> done);
    void send(const QUrl &url, std::function<void(const UpstreamAnswer &)> done);
    QByteArray startPage() const;

    struct Cached
    {
        std::optional<LiveQuote> quote; // empty: the upstream does not know the symbol
        qint64 at = 0;
    };

    QString m_name;
    QUrl m_upstream;
    UpstreamPolicy m_policy;
    QElapsedTimer m_clock;
    qint64 m_nextTurn = 0; // m_clock time of the next allowed upstream request
    QHash<QString, Cached> m_cache;
    std::deque<Job> m_jobs;
    bool m_busy = false;
    QNetworkAccessManager m_network;
    QObject m_context; // after m_network: goes first, so no callback outlives the source
};
