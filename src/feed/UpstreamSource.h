#pragma once

#include "LiveQuote.h"
#include "QuoteSource.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QNetworkAccessManager>
#include <QObject>
#include <QSet>
#include <QUrl>

#include <deque>
#include <functional>
#include <list>
#include <optional>

class QTimer;

// At most `requests` upstream requests in any `windowMs` milliseconds.
struct RateLimit
{
    int requests = 2;
    int windowMs = 1100;
};

// How a live source treats its upstream server.
struct UpstreamPolicy
{
    // Every limit holds at once. Two a second, with a little room so that the upstream
    // never sees three within one second whatever the network's jitter.
    QList<RateLimit> limits{RateLimit{2, 1100}};
    int maxInFlight = 4;           // upstream requests under way at one time
    int timeoutMs = 10000;         // one upstream request gives up after this
    int retries = 2;               // further attempts after a 5xx, a time-out or no answer
    int backoffMs = 2000;          // wait before the first further attempt, doubled for each next
    int stockFreshMs = 15000;      // a share quote younger than this is served without asking
    int indexFreshMs = 60000;      // the same for an index level
    int staleWaitMs = 2000;        // an older quote is served when no fresher one came in this time
    int maxAgeMs = 15 * 60 * 1000; // a quote older than this is never served
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
    QString failure; // why no HTTP answer arrived ("time-out", "connection refused")
    std::optional<qint64> retryAfterMs; // a 429's or 503's Retry-After, in milliseconds from now

    bool ok() const { return status == 200; }
    bool looksLikeHtml() const;
    // "HTTP 404 Not Found", "time-out", "HTML page instead of data" ...
    QString describe() const;
    // This answer as the failure of the step named by what.
    UpstreamFailure toFailure(const QString &what) const;
};

// A Retry-After value (delay seconds, or an HTTP date) as milliseconds from now; nullopt
// when it is neither. now is the current time (tests give their own).
std::optional<qint64> parseRetryAfter(const QByteArray &value, const QDateTime &now);

// The part that every live source shares. It answers Vantora's quote requests
// (/download/quotes.csv?f=<codes>&s=<symbols>) from quotes that a concrete source fetches
// from its upstream server, and answers the pages itself.
//
// - Symbols are checked before they go upstream (isValidSymbol); a bad one gets the line
//   of an unknown symbol and is never sent.
// - The cache answers first: a quote younger than its freshness (shares and indices have
//   their own) is served at once. An older one is fetched again; when the upstream has not
//   answered within staleWaitMs, the old quote is served and the fetch goes on for the next
//   request. A quote older than maxAgeMs is never served: the symbol reads as unknown.
// - What is missing goes upstream in rounds, one round at a time; symbols asked while a
//   round runs go in the next one. A source that fetches several symbols in one request
//   (batchSize() above 1) gets the other stale symbols of the same kind along, so a
//   request for one index fetches the levels of the others too.
// - Every upstream request waits for its turn under the policy's rate limits and at most
//   maxInFlight are under way. A 5xx, a time-out or a failed connection is tried again at
//   most `retries` times, with a back-off that doubles.
// - A 429 holds the whole source back, for its Retry-After when it gives one: until then
//   nothing goes upstream, the cache serves, and what it cannot serve is answered with
//   "too many requests, next try in N s".
// - A key given to the source never appears in a reason, a page or a log line.
// - Nothing here blocks: answers are given from the event loop.
class UpstreamSource : public QuoteSource
{
public:
    UpstreamSource(QString name, QUrl upstream, UpstreamPolicy policy, QString key = {});
    ~UpstreamSource() override;

    // Answers pages, errors and fresh cached quote requests; a request that needs the
    // upstream is answered 503 here (answerAsync is the way to ask for it).
    FeedReply answer(const FeedRequest &request) override;
    void answerAsync(const FeedRequest &request, Done done) override;

    QString name() const { return m_name; }
    const UpstreamPolicy &policy() const { return m_policy; }
    bool hasKey() const { return !m_key.isEmpty(); }

    // An index level rather than a share: "^DJI", or a symbol of Vantora's index list.
    static bool isIndexSymbol(const QString &symbol);

protected:
    using Quotes = QHash<QString, LiveQuote>; // by upper-case symbol as asked

    // What a fetch reports: settled() for every part as it comes in (the symbols it
    // answered for, and the quotes found among them: a symbol missing from found is
    // unknown to the upstream), then finished() once, with the failure that ended it
    // when some symbols were left unsettled.
    struct FetchSink
    {
        std::function<void(const QStringList &settled, const Quotes &found)> settled;
        std::function<void(std::optional<UpstreamFailure>)> finished;
    };

    // Fetches quotes for these upper-case, valid symbols, the ones asked for first.
    virtual void fetchQuotes(const QStringList &symbols, FetchSink sink) = 0;
    // Fetches each symbol with a request of its own (at url(symbol)), several under way at
    // once; read() takes the quote from an answer (empty: unknown), or gives the failure.
    using ReadOne = std::function<std::optional<UpstreamFailure>(
        const UpstreamAnswer &, const QString &symbol, std::optional<LiveQuote> &quote)>;
    void fetchEach(const QStringList &symbols, FetchSink sink,
                   std::function<QUrl(const QString &)> url, ReadOne read);
    // How many symbols one upstream request can carry at present.
    virtual int batchSize() const { return 1; }

    // The address of a path on one of the source's hosts; with an upstream address given,
    // that address stands for every host.
    QUrl address(const QString &host, const QString &pathAndQuery) const;
    // GET at the next free turn, tried again on a failure that may pass.
    void get(const QUrl &url, std::function<void(const UpstreamAnswer &)> done);
    QNetworkAccessManager &network() { return m_network; }
    // Context object of callbacks: they die with the source.
    QObject *context() { return &m_context; }
    const QString &key() const { return m_key; }
    // The text with the key, plain or percent-encoded, blanked out.
    QString withoutKey(QString text) const;
    // Milliseconds left of a 429's hold; 0 when none.
    qint64 holdLeftMs() const;
    // "too many requests, next try in 40 s"
    QString holdReason() const;

private:
    struct Job
    {
        QStringList codes;
        QStringList entries; // the symbols as asked, empty ones dropped
        QStringList symbols; // the valid ones, upper case, once each
        Done done;
        qint64 started = 0;
        quint64 generation = 0; // of the cache when it came: later entries are its answers
    };
    struct Cached
    {
        std::optional<LiveQuote> quote; // empty: the upstream does not know the symbol
        qint64 at = 0;
        quint64 generation = 0;
    };
    struct Outgoing
    {
        QUrl url;
        std::function<void(const UpstreamAnswer &)> done;
    };

    std::optional<FeedReply> immediateReply(const FeedRequest &request, Job &job) const;
    qint64 freshMs(const QString &symbol) const;
    bool isFresh(const QString &symbol, qint64 now) const;
    std::optional<FeedReply> replyFor(const Job &job, qint64 now) const;
    QByteArray linesFor(const Job &job, qint64 now) const;
    void answerReadyJobs();
    void forgetOld(qint64 now);
    void want(const QStringList &symbols);
    void startRound();
    void attempt(const QUrl &url, int attemptNo, std::function<void(const UpstreamAnswer &)> done);
    void pump();
    void dispatch(const QUrl &url, std::function<void(const UpstreamAnswer &)> done);
    QByteArray startPage() const;

    QString m_name;
    QUrl m_upstream;
    UpstreamPolicy m_policy;
    QString m_key;
    QElapsedTimer m_clock;
    QHash<QString, Cached> m_cache;
    QHash<QString, qint64> m_asked;            // when each symbol was last asked for
    quint64 m_generation = 0;                  // counts what came back from the upstream
    QHash<QString, quint64> m_failed;          // the generation of each symbol's last failed fetch
    QHash<QString, UpstreamFailure> m_failure; // and why
    std::list<Job> m_jobs;                     // waiting for the upstream
    QStringList m_wanted;                      // for the next round
    QSet<QString> m_fetching;                  // in the round under way
    bool m_roundRunning = false;
    std::deque<Outgoing> m_outgoing; // waiting for their turn
    std::deque<qint64> m_sent;       // when the latest requests went out
    int m_inFlight = 0;
    qint64 m_holdUntil = 0; // m_clock time before which nothing goes upstream
    QNetworkAccessManager m_network;
    QObject m_context; // after m_network: goes first, so no callback outlives the source
    QTimer *m_pumpTimer = nullptr; // child of m_context
};
