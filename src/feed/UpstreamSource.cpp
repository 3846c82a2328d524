#include "UpstreamSource.h"

#include "BrowserPages.h"

#include "Instruments.h"
#include "QuoteFormat.h"

#include <QNetworkReply>
#include <QTimer>

#include <algorithm>

namespace {

// An upstream answer is read up to this size, never without limit.
constexpr qint64 kMaxBody = 1024 * 1024;

// More symbols than this in one request are not answered.
constexpr int kMaxSymbols = 200;

const QByteArray kUserAgent =
    QByteArrayLiteral("Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36 (KHTML, like Gecko) "
                      "Chrome/120.0 Safari/537.36");

QByteArray htmlEscaped(const QString &text)
{
    return text.toHtmlEscaped().toUtf8();
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
    if (status == 200 && looksLikeHtml())
        return QStringLiteral("HTML page instead of data");
    return QStringLiteral("HTTP %1 %2")
        .arg(status)
        .arg(QString::fromLatin1(httpReasonPhrase(status)));
}

UpstreamFailure UpstreamAnswer::toFailure(const QString &what) const
{
    // Not reached, refused for now, or too busy: 503. Reached but the answer is of no use:
    // 502.
    const bool unavailable = status == 0 || status == 429 || status == 503;
    return {unavailable ? 503 : 502, what + QStringLiteral(": ") + describe()};
}

UpstreamSource::UpstreamSource(QString name, QUrl upstream, UpstreamPolicy policy)
    : m_name(std::move(name)), m_upstream(std::move(upstream)), m_policy(policy)
{
    m_clock.start();
}

UpstreamSource::~UpstreamSource()
{
    // Requests still waiting (the feed switched to another source) get an answer rather
    // than a connection that stays silent until the client gives up.
    std::deque<Job> jobs;
    jobs.swap(m_jobs);
    for (Job &job : jobs)
        job.done(
            FeedReply::failure(503, m_name + QStringLiteral(": the quote source was switched")));
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
        }
        if (allCached(job))
            return FeedReply::text(cachedAnswer(job));
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
            if (const auto it = m_cache.constFind(symbol); it != m_cache.cend() && it->quote)
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

bool UpstreamSource::allCached(const Job &job) const
{
    const qint64 now = m_clock.elapsed();
    return std::all_of(job.entries.cbegin(), job.entries.cend(), [&](const QString &entry) {
        if (!QuoteFormat::isValidSymbol(entry))
            return true; // never goes upstream
        const auto it = m_cache.constFind(entry.toUpper());
        return it != m_cache.cend() && now - it->at < m_policy.cacheMs;
    });
}

QByteArray UpstreamSource::cachedAnswer(const Job &job) const
{
    QByteArray body;
    for (const QString &entry : job.entries) {
        const QString symbol = entry.toUpper();
        const auto it =
            QuoteFormat::isValidSymbol(entry) ? m_cache.constFind(symbol) : m_cache.cend();
        if (it != m_cache.cend() && it->quote) {
            LiveQuote quote = *it->quote;
            quote.symbol = symbol; // the symbol as asked, whatever the source calls it
            body += QuoteFormat::liveLine(quote, job.codes);
        } else {
            body += QuoteFormat::unknownLine(QuoteFormat::echoSymbol(entry), job.codes);
        }
    }
    return body;
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
    job.done = std::move(done);
    m_jobs.push_back(std::move(job));
    if (!m_busy)
        runNext();
}

void UpstreamSource::runNext()
{
    while (!m_jobs.empty() && allCached(m_jobs.front())) {
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        job.done(FeedReply::text(cachedAnswer(job)));
    }
    if (m_jobs.empty()) {
        m_busy = false;
        return;
    }
    m_busy = true;
    const qint64 now = m_clock.elapsed();
    QStringList missing;
    for (const QString &entry : m_jobs.front().entries) {
        const QString symbol = entry.toUpper();
        const auto it = m_cache.constFind(symbol);
        if (QuoteFormat::isValidSymbol(entry) && !missing.contains(symbol) &&
            (it == m_cache.cend() || now - it->at >= m_policy.cacheMs))
            missing.append(symbol);
    }
    fetchQuotes(missing, [this, missing](std::optional<UpstreamFailure> failure, Quotes quotes) {
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        if (failure) {
            job.done(FeedReply::failure(failure->status,
                                        m_name + QStringLiteral(": ") + failure->reason));
        } else {
            const qint64 at = m_clock.elapsed();
            for (const QString &symbol : missing) {
                const auto it = quotes.constFind(symbol);
                m_cache.insert(symbol,
                               Cached{it == quotes.cend() ? std::nullopt : std::optional(*it), at});
            }
            job.done(FeedReply::text(cachedAnswer(job)));
        }
        // The next request starts from the event loop, never inside this callback.
        QTimer::singleShot(0, &m_context, [this] { runNext(); });
    });
}

void UpstreamSource::get(const QUrl &url, std::function<void(const UpstreamAnswer &)> done)
{
    attempt(url, 0, std::move(done));
}

void UpstreamSource::attempt(const QUrl &url, int attemptNo,
                             std::function<void(const UpstreamAnswer &)> done)
{
    send(url, [this, url, attemptNo, done](const UpstreamAnswer &answer) {
        const bool mayPass = answer.status == 0 || answer.status == 429 || answer.status >= 500;
        if (!mayPass || attemptNo >= m_policy.retries) {
            done(answer);
            return;
        }
        const int wait = m_policy.backoffMs << std::min(attemptNo, 10);
        if (answer.status == 429) // holds back every request of this source, not just this one
            m_nextTurn = std::max(m_nextTurn, m_clock.elapsed() + wait);
        QTimer::singleShot(wait, Qt::PreciseTimer, &m_context,
                           [this, url, attemptNo, done] { attempt(url, attemptNo + 1, done); });
    });
}

void UpstreamSource::send(const QUrl &url, std::function<void(const UpstreamAnswer &)> done)
{
    const qint64 now = m_clock.elapsed();
    const qint64 turn = std::max(now, m_nextTurn);
    m_nextTurn = turn + m_policy.minIntervalMs;
    QTimer::singleShot(int(turn - now), Qt::PreciseTimer, &m_context, [this, url, done] {
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
                answer.contentType =
                    reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
                answer.body = reply->readAll();
            } else {
                answer.failure = failure.isEmpty() ? reply->errorString() : failure;
            }
            done(answer);
        });
    });
}
