#include "UpstreamSource.h"

#include "BrowserPages.h"

#include "Instruments.h"
#include "QuoteFormat.h"

#include <QDateTime>
#include <QLocale>
#include <QNetworkReply>
#include <QTimeZone>
#include <QTimer>

#include <algorithm>
#include <limits>
#include <memory>

namespace {

// An upstream answer is read up to this size, never without limit.
constexpr qint64 kMaxBody = 1024 * 1024;

// More symbols than this in one request are not answered.
constexpr int kMaxSymbols = 200;

// At most this many symbols ride along with the ones asked for in one round.
constexpr qsizetype kMostAlong = 100;

// Past this many symbols remembered, those not asked for within the longest age go.
constexpr qsizetype kMostRemembered = 2000;

// A hold longer than this (a Retry-After of a day) is cut to it.
constexpr qint64 kMaxHoldMs = 60 * 60 * 1000;

const QByteArray kUserAgent =
    QByteArrayLiteral("Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36 (KHTML, like Gecko) "
                      "Chrome/120.0 Safari/537.36");

QByteArray htmlEscaped(const QString &text)
{
    return text.toHtmlEscaped().toUtf8();
}

// Why no HTTP answer came, in plain words. Never the reply's own error text: that names
// the address, and with it any key in the query.
QString networkFailure(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("connection refused");
    case QNetworkReply::RemoteHostClosedError:
        return QStringLiteral("connection closed by the server");
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("host not found");
    case QNetworkReply::TimeoutError:
        return QStringLiteral("time-out");
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("secure connection failed");
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
        return QStringLiteral("network down");
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyConnectionClosedError:
    case QNetworkReply::ProxyNotFoundError:
    case QNetworkReply::ProxyTimeoutError:
    case QNetworkReply::ProxyAuthenticationRequiredError:
        return QStringLiteral("the proxy failed");
    default:
        break;
    }
    return QStringLiteral("no answer (network error %1)").arg(int(error));
}

// "40 s", "2 min"
QString duration(qint64 ms)
{
    const qint64 seconds = std::max<qint64>(1, (ms + 999) / 1000);
    if (seconds < 120)
        return QStringLiteral("%1 s").arg(seconds);
    return QStringLiteral("%1 min").arg((seconds + 59) / 60);
}

} // namespace

bool UpstreamAnswer::looksLikeHtml() const
{
    if (contentType.toLower().contains("html"))
        return true;
    const QByteArray start = body.left(256).trimmed().toLower();
    return start.startsWith('<');
}

QString UpstreamAnswer::describe() const
{
    if (status == 0)
        return failure.isEmpty() ? QStringLiteral("no answer") : failure;
    if (status == 429)
        return retryAfterMs
                   ? QStringLiteral("too many requests, next try in ") + duration(*retryAfterMs)
                   : QStringLiteral("too many requests");
    if (status == 200 && looksLikeHtml())
        return QStringLiteral("HTML page instead of data");
    return QStringLiteral("HTTP %1 %2")
        .arg(status)
        .arg(QString::fromLatin1(httpReasonPhrase(status)));
}

UpstreamFailure UpstreamAnswer::toFailure(const QString &what) const
{
    // Not reached, refused for now, or too busy: 503. Reached but the answer is of no use:
    // 502. Too many requests concerns the whole source, not one step of it.
    const bool unavailable = status == 0 || status == 429 || status == 503;
    if (status == 429)
        return {503, describe()};
    return {unavailable ? 503 : 502, what + QStringLiteral(": ") + describe()};
}

std::optional<qint64> parseRetryAfter(const QByteArray &value, const QDateTime &now)
{
    const QByteArray text = value.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    bool isNumber = false;
    const qint64 seconds = text.toLongLong(&isNumber);
    if (isNumber)
        return seconds < 0 ? std::nullopt
                           : std::optional(std::min<qint64>(seconds, kMaxHoldMs / 1000) * 1000);
    // An HTTP date: "Wed, 21 Oct 2026 07:28:00 GMT".
    QDateTime at = QDateTime::fromString(QString::fromLatin1(text), Qt::RFC2822Date);
    if (!at.isValid()) {
        const QString english = QString::fromLatin1(text).replace(QLatin1String(" GMT"), QString());
        at = QLocale::c().toDateTime(english, QStringLiteral("ddd, dd MMM yyyy HH:mm:ss"));
        at.setTimeZone(QTimeZone::utc());
    }
    if (!at.isValid())
        return std::nullopt;
    return std::clamp<qint64>(now.msecsTo(at), 0, kMaxHoldMs);
}

UpstreamSource::UpstreamSource(QString name, QUrl upstream, UpstreamPolicy policy, QString key)
    : m_name(std::move(name)), m_upstream(std::move(upstream)), m_policy(std::move(policy)),
      m_key(std::move(key).trimmed())
{
    m_clock.start();
    m_pumpTimer = new QTimer(&m_context);
    m_pumpTimer->setSingleShot(true);
    m_pumpTimer->setTimerType(Qt::PreciseTimer);
    QObject::connect(m_pumpTimer, &QTimer::timeout, &m_context, [this] { pump(); });
}

UpstreamSource::~UpstreamSource()
{
    // Requests still waiting (the feed switched to another source) get an answer rather
    // than a connection that stays silent until the client gives up.
    std::list<Job> jobs;
    jobs.swap(m_jobs);
    for (Job &job : jobs)
        job.done(
            FeedReply::failure(503, m_name + QStringLiteral(": the quote source was switched")));
}

bool UpstreamSource::isIndexSymbol(const QString &symbol)
{
    if (symbol.startsWith(u'^'))
        return true;
    const QByteArray latin = symbol.toUpper().toLatin1();
    const auto indices = indexInstruments();
    return std::any_of(indices.begin(), indices.end(),
                       [&](const Instrument &in) { return latin == in.symbol; });
}

QUrl UpstreamSource::address(const QString &host, const QString &pathAndQuery) const
{
    if (m_upstream.isEmpty())
        return QUrl(QStringLiteral("https://") + host + pathAndQuery);
    QString base = m_upstream.toString(QUrl::RemoveQuery | QUrl::RemoveFragment);
    while (base.endsWith(u'/'))
        base.chop(1);
    return QUrl(base + pathAndQuery);
}

QString UpstreamSource::withoutKey(QString text) const
{
    if (m_key.isEmpty())
        return text;
    const QString encoded = QString::fromLatin1(QUrl::toPercentEncoding(m_key));
    text.replace(m_key, QStringLiteral("…"));
    text.replace(encoded, QStringLiteral("…"));
    return text;
}

qint64 UpstreamSource::holdLeftMs() const
{
    return std::max<qint64>(0, m_holdUntil - m_clock.elapsed());
}

QString UpstreamSource::holdReason() const
{
    return QStringLiteral("too many requests, next try in ") + duration(holdLeftMs());
}

std::optional<FeedReply> UpstreamSource::immediateReply(const FeedRequest &request, Job &job) const
{
    if (request.method != "GET" && request.method != "HEAD")
        return FeedReply::error(405);
    const QString &path = request.path;
    if (path == u"/download/quotes.csv") {
        job.codes = QuoteFormat::parseFieldCodes(request.queryValue(u"f"));
        if (job.codes.isEmpty()) // the service's own choice when the request names no fields
            job.codes = QuoteFormat::parseFieldCodes(u"sl1d1t1c1ohgv");
        const QString symbols = request.queryValue(u"s");
        for (QStringView entry : QStringView(symbols).split(u',')) {
            entry = entry.trimmed();
            if (entry.isEmpty())
                continue;
            if (job.entries.size() == kMaxSymbols)
                break;
            job.entries.append(entry.toString());
            const QString symbol = entry.toString().toUpper();
            if (QuoteFormat::isValidSymbol(entry) && !job.symbols.contains(symbol))
                job.symbols.append(symbol);
        }
        const qint64 now = m_clock.elapsed();
        if (std::all_of(job.symbols.cbegin(), job.symbols.cend(),
                        [&](const QString &symbol) { return isFresh(symbol, now); }))
            return FeedReply::text(linesFor(job, now));
        return std::nullopt;
    }
    if (path == u"/m1" || path == u"/m1/") {
        QByteArray page = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Market "
                          "Indices</title></head><body><h1>Market Indices</h1>\n<p>Last levels "
                          "fetched from " +
                          htmlEscaped(m_name) +
                          "; indices not shown in the ticker yet read N/A.</p>\n<table><tr>"
                          "<th>Symbol</th><th>Name</th><th>Last</th><th>Change</th><th>%</th>"
                          "</tr>\n";
        for (const Instrument &in : indexInstruments()) {
            const QString symbol = QString::fromLatin1(in.symbol);
            LiveQuote q;
            if (const auto it = m_cache.constFind(symbol);
                it != m_cache.cend() && it->quote && m_clock.elapsed() - it->at < m_policy.maxAgeMs)
                q = *it->quote;
            const int dec = q.last && *q.last < 1.0 ? 4 : 2;
            page += "<tr><td>" + htmlEscaped(symbol) + "</td><td>" +
                    htmlEscaped(q.name.isEmpty() ? QString::fromLatin1(in.name) : q.name) +
                    "</td><td>" + (q.last ? QuoteFormat::number(*q.last, dec) : "N/A") +
                    "</td><td>" + (q.change ? QuoteFormat::number(*q.change, dec, true) : "N/A") +
                    "</td><td>" +
                    (q.changePercent ? QuoteFormat::number(*q.changePercent, 2, true) + '%'
                                     : QByteArray("N/A")) +
                    "</td></tr>\n";
        }
        page += "</table></body></html>\n";
        return FeedReply::html(page);
    }
    if (path == u"/" || path == u"/index.html" || path == u"/vantora" || path == u"/vantora/" ||
        path == u"/vantora/index.html")
        return FeedReply::html(startPage());
    // Charts of a live source are drawn from simulated history too; the page says so.
    if (auto page = BrowserPages::answer(request, nullptr))
        return *page;
    return FeedReply::error(404);
}

QByteArray UpstreamSource::startPage() const
{
    return BrowserPages::startPage("<p>Quotes come from " + htmlEscaped(m_name) +
                                   " through Vantora's built-in quote service. The source may "
                                   "delay its quotes.</p>");
}

qint64 UpstreamSource::freshMs(const QString &symbol) const
{
    return isIndexSymbol(symbol) ? m_policy.indexFreshMs : m_policy.stockFreshMs;
}

bool UpstreamSource::isFresh(const QString &symbol, qint64 now) const
{
    const auto it = m_cache.constFind(symbol);
    return it != m_cache.cend() && now - it->at < freshMs(symbol);
}

QByteArray UpstreamSource::linesFor(const Job &job, qint64 now) const
{
    QByteArray body;
    for (const QString &entry : job.entries) {
        const QString symbol = entry.toUpper();
        const auto it =
            QuoteFormat::isValidSymbol(entry) ? m_cache.constFind(symbol) : m_cache.cend();
        if (it != m_cache.cend() && it->quote && now - it->at < m_policy.maxAgeMs) {
            LiveQuote quote = *it->quote;
            quote.symbol = symbol; // the symbol as asked, whatever the source calls it
            body += QuoteFormat::liveLine(quote, job.codes);
        } else {
            body += QuoteFormat::unknownLine(QuoteFormat::echoSymbol(entry), job.codes);
        }
    }
    return body;
}

std::optional<FeedReply> UpstreamSource::replyFor(const Job &job, qint64 now) const
{
    const bool waitedLong = now - job.started >= m_policy.staleWaitMs;
    std::optional<UpstreamFailure> failure;
    bool anyQuote = false;
    for (const QString &symbol : job.symbols) {
        const auto it = m_cache.constFind(symbol);
        const bool cached = it != m_cache.cend();
        const qint64 age = cached ? now - it->at : std::numeric_limits<qint64>::max();
        const bool servable = cached && age < m_policy.maxAgeMs;
        if (cached && (it->generation > job.generation || age < freshMs(symbol))) {
            anyQuote = anyQuote || it->quote.has_value();
            continue;
        }
        if (m_failed.value(symbol, 0u) > job.generation) {
            // The fetch failed: the last quote while it is young enough, else unavailable.
            if (servable && it->quote)
                anyQuote = true;
            else
                failure = m_failure.value(symbol);
            continue;
        }
        if (servable && waitedLong) {
            anyQuote = anyQuote || it->quote.has_value();
            continue;
        }
        return std::nullopt; // still waiting for the upstream
    }
    if (failure && !anyQuote) {
        const QString reason = failure->reason.contains(m_name)
                                   ? failure->reason
                                   : m_name + QStringLiteral(": ") + failure->reason;
        return FeedReply::failure(failure->status, withoutKey(reason));
    }
    return FeedReply::text(linesFor(job, now));
}

FeedReply UpstreamSource::answer(const FeedRequest &request)
{
    Job job;
    if (auto reply = immediateReply(request, job))
        return *reply;
    return FeedReply::failure(503, m_name + QStringLiteral(": the quotes are not fetched yet"));
}

void UpstreamSource::answerAsync(const FeedRequest &request, Done done)
{
    Job job;
    if (auto reply = immediateReply(request, job)) {
        done(*reply);
        return;
    }
    const qint64 now = m_clock.elapsed();
    job.started = now;
    job.generation = m_generation;
    job.done = std::move(done);
    QStringList stale;
    for (const QString &symbol : job.symbols) {
        m_asked.insert(symbol, now);
        if (!isFresh(symbol, now))
            stale.append(symbol);
    }
    m_jobs.push_back(std::move(job));
    if (m_asked.size() + m_cache.size() > kMostRemembered)
        forgetOld(now);
    // Served from the cache after the wait when the upstream is slow.
    QTimer::singleShot(m_policy.staleWaitMs, Qt::PreciseTimer, &m_context,
                       [this] { answerReadyJobs(); });
    want(stale);
}

void UpstreamSource::forgetOld(qint64 now)
{
    // A quote this old is never served again; a symbol not asked for in that time is no
    // longer fetched along with others.
    m_asked.removeIf([&](const auto &it) { return now - it.value() >= m_policy.maxAgeMs; });
    m_cache.removeIf([&](const auto &it) {
        return now - it.value().at >= m_policy.maxAgeMs && !m_asked.contains(it.key());
    });
    m_failed.removeIf(
        [&](const auto &it) { return !m_asked.contains(it.key()) && !m_cache.contains(it.key()); });
    m_failure.removeIf([&](const auto &it) { return !m_failed.contains(it.key()); });
}

void UpstreamSource::answerReadyJobs()
{
    const qint64 now = m_clock.elapsed();
    for (auto it = m_jobs.begin(); it != m_jobs.end();) {
        if (auto reply = replyFor(*it, now)) {
            Done done = std::move(it->done);
            it = m_jobs.erase(it);
            done(*reply);
        } else {
            ++it;
        }
    }
}

void UpstreamSource::want(const QStringList &symbols)
{
    for (const QString &symbol : symbols) {
        if (!m_fetching.contains(symbol) && !m_wanted.contains(symbol))
            m_wanted.append(symbol);
    }
    if (m_wanted.isEmpty() || m_roundRunning)
        return;
    // From the event loop: a round that fails at once must not answer inside answerAsync.
    m_roundRunning = true;
    QTimer::singleShot(0, &m_context, [this] { startRound(); });
}

void UpstreamSource::startRound()
{
    QStringList round = std::exchange(m_wanted, {});
    if (round.isEmpty()) {
        m_roundRunning = false;
        return;
    }
    const qint64 now = m_clock.elapsed();
    if (batchSize() > 1) {
        // The other stale symbols of the same kinds ride along: indices of the ticker and
        // whatever was asked for lately.
        bool indices = false, stocks = false;
        for (const QString &symbol : round)
            (isIndexSymbol(symbol) ? indices : stocks) = true;
        QStringList along;
        if (indices) {
            for (const Instrument &in : indexInstruments())
                along.append(QString::fromLatin1(in.symbol));
        }
        for (auto it = m_asked.cbegin(); it != m_asked.cend(); ++it) {
            if (now - it.value() < m_policy.maxAgeMs &&
                (isIndexSymbol(it.key()) ? indices : stocks))
                along.append(it.key());
        }
        const qsizetype most = round.size() + kMostAlong;
        for (const QString &symbol : along) {
            if (round.size() >= most)
                break;
            if (!round.contains(symbol) && !isFresh(symbol, now))
                round.append(symbol);
        }
    }
    m_fetching = QSet<QString>(round.cbegin(), round.cend());

    auto finish = [this](std::optional<UpstreamFailure> failure) {
        if (!m_fetching.isEmpty()) {
            if (!failure)
                failure = UpstreamFailure{502, QStringLiteral("the answer left symbols out")};
            ++m_generation;
            for (const QString &symbol : std::as_const(m_fetching)) {
                m_failed.insert(symbol, m_generation);
                m_failure.insert(symbol, *failure);
            }
        }
        m_fetching.clear();
        m_roundRunning = false;
        answerReadyJobs();
        if (!m_wanted.isEmpty()) {
            m_roundRunning = true;
            QTimer::singleShot(0, &m_context, [this] { startRound(); });
        }
    };
    if (holdLeftMs() > m_policy.staleWaitMs) {
        finish(UpstreamFailure{503, holdReason()});
        return;
    }
    fetchQuotes(round, FetchSink{[this](const QStringList &settled, const Quotes &found) {
                                     const qint64 at = m_clock.elapsed();
                                     ++m_generation;
                                     for (const QString &symbol : settled) {
                                         const auto it = found.constFind(symbol);
                                         m_cache.insert(symbol, Cached{it == found.cend()
                                                                           ? std::nullopt
                                                                           : std::optional(*it),
                                                                       at, m_generation});
                                         m_fetching.remove(symbol);
                                     }
                                     answerReadyJobs();
                                 },
                                 finish});
}

void UpstreamSource::fetchEach(const QStringList &symbols, FetchSink sink,
                               std::function<QUrl(const QString &)> url, ReadOne read)
{
    struct Round
    {
        FetchSink sink;
        qsizetype pending = 0;
        std::optional<UpstreamFailure> failure;
    };
    auto round = std::make_shared<Round>(Round{std::move(sink), symbols.size(), {}});
    if (symbols.isEmpty()) {
        round->sink.finished(std::nullopt);
        return;
    }
    for (const QString &symbol : symbols) {
        get(url(symbol), [round, symbol, read](const UpstreamAnswer &answer) {
            std::optional<LiveQuote> quote;
            if (const auto failure = read(answer, symbol, quote)) {
                round->failure = failure;
            } else {
                Quotes found;
                if (quote)
                    found.insert(symbol, *quote);
                round->sink.settled({symbol}, found);
            }
            if (--round->pending == 0)
                round->sink.finished(round->failure);
        });
    }
}

void UpstreamSource::get(const QUrl &url, std::function<void(const UpstreamAnswer &)> done)
{
    attempt(url, 0, std::move(done));
}

void UpstreamSource::attempt(const QUrl &url, int attemptNo,
                             std::function<void(const UpstreamAnswer &)> done)
{
    m_outgoing.push_back({url, [this, url, attemptNo, done](const UpstreamAnswer &received) {
                              UpstreamAnswer answer = received;
                              const int backoff = m_policy.backoffMs << std::min(attemptNo, 10);
                              if (answer.status == 429) {
                                  // Holds back every request of this source, not just this one.
                                  const qint64 hold = answer.retryAfterMs.value_or(backoff);
                                  m_holdUntil = std::max(m_holdUntil, m_clock.elapsed() + hold);
                                  answer.retryAfterMs = holdLeftMs();
                                  if (hold <= m_policy.staleWaitMs &&
                                      attemptNo < m_policy.retries) {
                                      attempt(url, attemptNo + 1, done);
                                      return;
                                  }
                                  done(answer);
                                  return;
                              }
                              const bool mayPass = answer.status == 0 || answer.status >= 500;
                              if (!mayPass || attemptNo >= m_policy.retries) {
                                  done(answer);
                                  return;
                              }
                              QTimer::singleShot(backoff, Qt::PreciseTimer, &m_context,
                                                 [this, url, attemptNo, done] {
                                                     attempt(url, attemptNo + 1, done);
                                                 });
                          }});
    pump();
}

void UpstreamSource::pump()
{
    int mostInWindow = 1;
    for (const RateLimit &limit : m_policy.limits)
        mostInWindow = std::max(mostInWindow, limit.requests);
    while (!m_outgoing.empty() && m_inFlight < std::max(1, m_policy.maxInFlight)) {
        const qint64 now = m_clock.elapsed();
        if (holdLeftMs() > m_policy.staleWaitMs) {
            // A long hold: what waits is answered now rather than long after Vantora asked.
            std::deque<Outgoing> waiting;
            waiting.swap(m_outgoing);
            for (Outgoing &out : waiting) {
                UpstreamAnswer held;
                held.status = 429;
                held.retryAfterMs = holdLeftMs();
                out.done(held);
            }
            continue;
        }
        qint64 turn = std::max(now, m_holdUntil);
        for (const RateLimit &limit : m_policy.limits) {
            if (limit.requests > 0 && qsizetype(m_sent.size()) >= limit.requests)
                turn = std::max(turn, m_sent[m_sent.size() - limit.requests] + limit.windowMs);
        }
        if (turn > now) {
            m_pumpTimer->start(int(std::min<qint64>(turn - now, kMaxHoldMs)));
            return;
        }
        Outgoing out = std::move(m_outgoing.front());
        m_outgoing.pop_front();
        m_sent.push_back(now);
        while (qsizetype(m_sent.size()) > mostInWindow)
            m_sent.pop_front();
        ++m_inFlight;
        dispatch(out.url, [this, done = std::move(out.done)](const UpstreamAnswer &answer) {
            --m_inFlight;
            done(answer);
            pump();
        });
    }
}

void UpstreamSource::dispatch(const QUrl &url, std::function<void(const UpstreamAnswer &)> done)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, kUserAgent);
    request.setRawHeader("Accept", "application/json,text/csv,text/plain;q=0.9,*/*;q=0.5");
    QNetworkReply *reply = m_network.get(request);
    auto *timer = new QTimer(reply);
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, reply, [reply] {
        reply->setProperty("vantoraFailure", QStringLiteral("time-out"));
        reply->abort();
    });
    timer->start(m_policy.timeoutMs);
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received) {
        if (received > kMaxBody) {
            reply->setProperty("vantoraFailure", QStringLiteral("answer too large"));
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, &m_context, [reply, done] {
        reply->deleteLater();
        UpstreamAnswer answer;
        const QString failure = reply->property("vantoraFailure").toString();
        answer.status = failure.isEmpty()
                            ? reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt()
                            : 0;
        if (answer.status != 0) {
            answer.contentType = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
            answer.body = reply->readAll();
            if (reply->hasRawHeader("Retry-After"))
                answer.retryAfterMs = parseRetryAfter(reply->rawHeader("Retry-After"),
                                                      QDateTime::currentDateTimeUtc());
        } else {
            answer.failure = failure.isEmpty() ? networkFailure(reply->error()) : failure;
        }
        done(answer);
    });
}
